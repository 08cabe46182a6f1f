// Draws the program's own pictures and writes them in the formats the program keeps:
//   splash.jpg    400 x 300, progressive JPEG, JFIF 1.02, 72 dpi: shelves of books under a quiet wall
//   splash.ico    one 32 x 32 image, 16 colours, with a transparency mask: an open book
//   mainicon.ico  one 48 x 48 image, 24 bits per pixel, with a transparency mask: a stack of books
// Usage: make-pictures OUTPUT_FOLDER
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int kDotsPerMeterAt72Dpi = 2835;

QImage Splash()
{
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wall(0, 0, 0, 300);
    wall.setColorAt(0.0, QColor(246, 242, 233));
    wall.setColorAt(0.55, QColor(232, 229, 220));
    wall.setColorAt(1.0, QColor(200, 192, 178));
    painter.fillRect(image.rect(), wall);

    // A soft pool of lamplight on the right, away from the status line.
    QRadialGradient lamp(300, 120, 140);
    lamp.setColorAt(0.0, QColor(255, 250, 230, 120));
    lamp.setColorAt(1.0, QColor(255, 250, 230, 0));
    painter.fillRect(image.rect(), lamp);

    // Two shelves of books across the lower part of the picture.
    QRandomGenerator random(936);
    const QColor spines[] = {{122, 58, 52}, {46, 74, 98}, {86, 104, 72},   {150, 118, 64},
                             {94, 70, 104}, {60, 92, 92}, {168, 140, 104}, {112, 86, 60}};
    for (const int shelfTop : {150, 225}) {
        const int shelfBottom = shelfTop + 64;
        int x = 12;
        while (x < 388) {
            const int width = 7 + static_cast<int>(random.bounded(9));
            const int height = 40 + static_cast<int>(random.bounded(22));
            const QColor colour = spines[random.bounded(8)];
            const QRectF book(x, shelfBottom - height, width, height);
            painter.fillRect(book, colour);
            painter.fillRect(QRectF(x + 1, shelfBottom - height + 6, width - 2, 2), colour.lighter(135));
            painter.fillRect(QRectF(x + 1, shelfBottom - 10, width - 2, 2), colour.lighter(135));
            painter.fillRect(QRectF(x + width - 1, shelfBottom - height, 1, height), colour.darker(140));
            x += width + (random.bounded(6) == 0 ? 4 : 1);
        }
        painter.fillRect(QRectF(4, shelfBottom, 392, 6), QColor(120, 88, 58));
        painter.fillRect(QRectF(4, shelfBottom + 6, 392, 2), QColor(84, 60, 40));
    }
    painter.fillRect(QRectF(0, 140, 4, 160), QColor(120, 88, 58));
    painter.fillRect(QRectF(396, 140, 4, 160), QColor(120, 88, 58));
    painter.end();
    image.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
    return image;
}

void DrawOpenBook(QPainter& painter, double size)
{
    const double s = size / 32.0;
    painter.setPen(QPen(QColor(0, 0, 128), 1.5 * s));
    for (const int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(16 * s, 9 * s);
        page.cubicTo((16 + side * 5) * s, 6 * s, (16 + side * 10) * s, 6 * s, (16 + side * 14) * s, 8 * s);
        page.lineTo((16 + side * 14) * s, 25 * s);
        page.cubicTo((16 + side * 10) * s, 23 * s, (16 + side * 5) * s, 23 * s, 16 * s, 26 * s);
        page.closeSubpath();
        painter.setBrush(QColor(255, 255, 255));
        painter.drawPath(page);
    }
    painter.setPen(QPen(QColor(128, 128, 128), 1 * s));
    for (int line = 0; line < 4; ++line) {
        const double y = (12 + line * 3.5) * s;
        painter.drawLine(QPointF(5 * s, y), QPointF(13 * s, y + 0.5 * s));
        painter.drawLine(QPointF(19 * s, y + 0.5 * s), QPointF(27 * s, y));
    }
    painter.setPen(QPen(QColor(128, 0, 0), 2 * s));
    painter.drawLine(QPointF(16 * s, 9 * s), QPointF(16 * s, 26 * s));
}

QImage BookIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawOpenBook(painter, size);
    return image;
}

QImage BookStackIcon()
{
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor covers[] = {{46, 74, 140}, {150, 52, 44}, {60, 120, 80}};
    for (int i = 0; i < 3; ++i) {
        const QRectF book(6 + i * 2, 34 - i * 9, 36 - i * 4, 9);
        painter.setPen(QPen(covers[i].darker(160), 1));
        painter.setBrush(covers[i]);
        painter.drawRoundedRect(book, 1.5, 1.5);
        painter.fillRect(QRectF(book.right() - 5, book.top() + 2, 4, book.height() - 4), QColor(245, 240, 225));
    }
    painter.translate(18, 2);
    painter.scale(0.8, 0.8);
    DrawOpenBook(painter, 32);
    return image;
}

void PutLe(QByteArray& bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The 16 colours of the standard Windows palette.
QList<QRgb> SixteenColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A Windows icon file with one image of 4 or 24 bits per pixel and its AND mask (set = transparent).
QByteArray IconFile(const QImage& argb, int bitCount)
{
    const int size = argb.width();
    const QList<QRgb> palette = SixteenColours();
    const QImage indexed = argb.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
    const int xorRow = ((size * bitCount + 31) / 32) * 4;
    const int andRow = ((size + 31) / 32) * 4;
    QByteArray bitmap;
    PutLe(bitmap, 40, 4);
    PutLe(bitmap, static_cast<quint32>(size), 4);
    PutLe(bitmap, static_cast<quint32>(size * 2), 4);
    PutLe(bitmap, 1, 2);
    PutLe(bitmap, static_cast<quint32>(bitCount), 2);
    PutLe(bitmap, 0, 4);
    PutLe(bitmap, static_cast<quint32>((xorRow + andRow) * size), 4);
    PutLe(bitmap, 0, 16);
    if (bitCount == 4) {
        for (const QRgb colour : palette)
            PutLe(bitmap, colour & 0xFFFFFF, 4);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(xorRow, '\0');
        for (int x = 0; x < size; ++x) {
            const bool opaque = qAlpha(argb.pixel(x, y)) >= 128;
            if (bitCount == 4) {
                const int index = opaque ? indexed.pixelIndex(x, y) : 0;
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
            } else {
                const QRgb colour = opaque ? argb.pixel(x, y) : 0;
                row[x * 3] = static_cast<char>(qBlue(colour));
                row[x * 3 + 1] = static_cast<char>(qGreen(colour));
                row[x * 3 + 2] = static_cast<char>(qRed(colour));
            }
        }
        bitmap.append(row);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(andRow, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(argb.pixel(x, y)) < 128)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        bitmap.append(row);
    }
    QByteArray file;
    PutLe(file, 0, 2);
    PutLe(file, 1, 2);
    PutLe(file, 1, 2);
    file.append(static_cast<char>(size));
    file.append(static_cast<char>(size));
    file.append(static_cast<char>(bitCount == 4 ? 16 : 0));
    file.append('\0');
    PutLe(file, 1, 2);
    PutLe(file, static_cast<quint32>(bitCount), 2);
    PutLe(file, static_cast<quint32>(bitmap.size()), 4);
    PutLe(file, 22, 4);
    return file + bitmap;
}

QByteArray ProgressiveJpeg(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(82);
    writer.setProgressiveScanWrite(true);
    if (!writer.write(image))
        return {};
    QByteArray jpeg = buffer.data();
    // The encoder writes JFIF 1.01; the picture declares 1.02, which reads the same.
    const auto at = jpeg.indexOf(QByteArray("JFIF\0", 5));
    if (at < 0)
        return {};
    jpeg[at + 5] = 1;
    jpeg[at + 6] = 2;
    return jpeg;
}

bool Save(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool saved = Save(folder + "/splash.jpg", ProgressiveJpeg(Splash())) &&
                       Save(folder + "/splash.ico", IconFile(BookIcon(32), 4)) &&
                       Save(folder + "/mainicon.ico", IconFile(BookStackIcon(), 24));
    if (!saved)
        std::fprintf(stderr, "make-pictures: could not write the pictures to %s\n", argv[1]);
    return saved ? 0 : 1;
}
