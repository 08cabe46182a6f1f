#include "ConnectionSettings.h"
#include "Cp936.h"
#include "OdbcSandbox.h"
#include "Startup.h"
#include "TestSupport.h"
#include "dmLibData.h"
#include "frmDbPara.h"
#include "frmFlash.h"
#include "frmKestruneMain.h"
#include "unGlobal.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

QByteArray Asset(const char* name)
{
    QFile file(QStringLiteral(ASSETS_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 Le(const QByteArray& bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes.at(at + i));
    return value;
}

quint32 Be(const QByteArray& bytes, int at)
{
    return (static_cast<quint8>(bytes.at(at)) << 8) | static_cast<quint8>(bytes.at(at + 1));
}

bool Near(QColor a, QColor b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// What the splash looked like from the proxy's thread while the main thread was blocked in the open.
struct SplashDuringOpen {
    bool seen = false;
    bool present = false;
    bool visible = false;
    bool centred = false;
};

} // namespace

class TestFlash : public QObject {
    Q_OBJECT

    std::unique_ptr<HiveFixture> hive;
    std::unique_ptr<ScopedApplication> application;
    std::unique_ptr<MessageBoxRecorder> messages;

private slots:
    void init()
    {
        hive = std::make_unique<HiveFixture>();
        application = std::make_unique<ScopedApplication>();
        messages = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup()
    {
        OdbcSandbox::Instance().OnSlowAccept(nullptr);
        messages.reset();
        application.reset();
        hive.reset();
    }

    void splashPictureIsAProgressiveJfifJpeg()
    {
        const QByteArray jpeg = Asset("splash.jpg");
        QVERIFY(jpeg.startsWith("\xFF\xD8\xFF\xE0"));
        QCOMPARE(jpeg.mid(6, 5), QByteArray("JFIF\0", 5));
        QCOMPARE(jpeg.mid(11, 2), QByteArray("\x01\x02", 2)); // version 1.02
        QCOMPARE(static_cast<int>(jpeg.at(13)), 1);           // dots per inch
        QCOMPARE(Be(jpeg, 14), 72u);
        QCOMPARE(Be(jpeg, 16), 72u);
        const auto frame = jpeg.indexOf("\xFF\xC2"); // start of a progressive frame
        QVERIFY(frame > 0);
        QVERIFY(jpeg.indexOf("\xFF\xC0") < 0 || jpeg.indexOf("\xFF\xC0") > frame);
        QCOMPARE(static_cast<int>(jpeg.at(frame + 4)), 8); // bits per sample
        QCOMPARE(Be(jpeg, frame + 5), 300u);
        QCOMPARE(Be(jpeg, frame + 7), 400u);
        QCOMPARE(static_cast<int>(jpeg.at(frame + 9)), 3); // colour components
    }

    void icons_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bitCount");
        QTest::addColumn<int>("fileSize");
        QTest::newRow("splash icon, 16 colours") << "splash.ico" << 32 << 4 << 766;
        QTest::newRow("program icon, 24 bits") << "mainicon.ico" << 48 << 24 << 7358;
    }
    void icons()
    {
        QFETCH(QString, file);
        QFETCH(int, size);
        QFETCH(int, bitCount);
        QFETCH(int, fileSize);
        const QByteArray icon = Asset(file.toLatin1().constData());
        QCOMPARE(icon.size(), fileSize);
        QCOMPARE(Le(icon, 0, 2), 0u); // reserved
        QCOMPARE(Le(icon, 2, 2), 1u); // an icon
        QCOMPARE(Le(icon, 4, 2), 1u); // one image
        QCOMPARE(static_cast<int>(static_cast<quint8>(icon.at(6))), size);
        QCOMPARE(static_cast<int>(static_cast<quint8>(icon.at(7))), size);
        QCOMPARE(static_cast<int>(static_cast<quint8>(icon.at(8))), bitCount == 4 ? 16 : 0);
        QCOMPARE(static_cast<int>(Le(icon, 12, 2)), bitCount);
        const int bitmap = static_cast<int>(Le(icon, 18, 4));
        QCOMPARE(static_cast<int>(Le(icon, bitmap + 4, 4)), size);
        QCOMPARE(static_cast<int>(Le(icon, bitmap + 8, 4)), size * 2); // the image and its mask
        QCOMPARE(static_cast<int>(Le(icon, bitmap + 14, 2)), bitCount);
        const int maskBytes = ((size + 31) / 32) * 4 * size;
        QVERIFY(icon.right(maskBytes).count('\0') < maskBytes); // some of it is transparent
    }

    void programIconIsTheApplicationsIcon()
    {
        Application->Initialize();
        QCOMPARE(QApplication::windowIcon().availableSizes(), QList<QSize>{QSize(48, 48)});
    }

    void splashLooksAsLaidOut()
    {
        Application->Initialize();
        ConnectStatus = ConnectingMessage();
        TComponent owner(nullptr);
        auto* flash = owner.Adopt(std::make_unique<TFlash>(&owner));
        QCOMPARE(flash->lbView->text(), QString::fromUtf8("系统正在连接数据库，请稍候..."));
        flash->Show();
        QVERIFY(QTest::qWaitForWindowExposed(flash));
        QCOMPARE(flash->size(), QSize(400, 300));
        QVERIFY(flash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(flash->geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
        QCOMPARE(flash->lbView->pos(), QPoint(16, 56));
        QVERIFY(flash->lbView->width() > 189); // widened to the longer status text
        QVERIFY(flash->Label1->width() >= flash->Label1->fontMetrics().horizontalAdvance(flash->Label1->text()));

        const QImage shown = flash->grab().toImage();
        QImage picture(QStringLiteral(ASSETS_DIR "/splash.jpg"));
        QCOMPARE(shown.size(), QSize(400, 300));
        const QRect status = flash->lbView->geometry();
        const int blue = CountPoints(status, [&](const QPoint& at) { return IsBlue(shown.pixelColor(at)); });
        const int throughPicture =
            CountPoints(status, [&](const QPoint& at) { return Near(shown.pixelColor(at), picture.pixelColor(at)); });
        QVERIFY2(blue > 40, qPrintable(QString::number(blue)));
        QVERIFY2(throughPicture > status.width() * status.height() / 2, qPrintable(QString::number(throughPicture)));
        // The icon's corner is masked out, its pages are white.
        QVERIFY(Near(shown.pixelColor(296, 8), picture.pixelColor(296, 8)));
        QVERIFY(Near(shown.pixelColor(296 + 9, 8 + 20), Qt::white, 8));
    }

    void splashIsUpDuringTheOpenAndGoneAfterwards_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<bool>("connects");
        if (OdbcSandbox::Instance().HasPostgres())
            QTest::newRow("slow server, connected") << "PgSlow" << true;
        QTest::newRow("slow server that hangs up") << "PgSlowDead" << false;
    }
    void splashIsUpDuringTheOpenAndGoneAfterwards()
    {
        QFETCH(QString, dataSource);
        QFETCH(bool, connects);
        if (connects)
            OdbcSandbox::CreateLibrary("PgLib", {});
        QVERIFY(WriteConnectionSettings(dataSource.toStdString(), OdbcSandbox::kPgUser, OdbcSandbox::kPgPassword));
        SplashDuringOpen during;
        // The main thread is blocked in the open while this runs, so the splash cannot change under it.
        OdbcSandbox::Instance().OnSlowAccept([&during] {
            during.seen = true;
            during.present = Flash != nullptr;
            during.visible = during.present && Flash->isVisible();
            during.centred = during.present && Flash->geometry().center() ==
                                                   QGuiApplication::primaryScreen()->availableGeometry().center();
        });
        StartUp();
        QVERIFY(during.seen);
        QVERIFY(during.present);
        QVERIFY(during.visible);
        QVERIFY(during.centred);
        QCOMPARE(Flash, nullptr);
        QVERIFY(!LiveWindows().contains("Flash"));
        QCOMPARE(Application->MainForm(), connects ? static_cast<TForm*>(KestruneMain) : static_cast<TForm*>(DbPara));
    }

    // On a real X display the splash is on the screen, not merely in existence, while the open waits.
    void splashReachesARealScreen()
    {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        const QString import = QStandardPaths::findExecutable("import");
        if (xvfb.isEmpty() || import.isEmpty())
            QSKIP("Xvfb and ImageMagick are needed; scripts/test.sh installs them");
        const QString display = QString(":%1").arg(150 + QRandomGenerator::global()->bounded(500));
        QProcess server;
        server.start(xvfb, {display, "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        QVERIFY(server.waitForStarted());
        QTest::qWait(500);
        QVERIFY(WriteConnectionSettings("PgSlowDead", OdbcSandbox::kPgUser, OdbcSandbox::kPgPassword));

        QImage screen;
        OdbcSandbox::Instance().OnSlowAccept([&] {
            QProcess grab;
            grab.start(import, {"-display", display, "-window", "root", "png:-"});
            if (grab.waitForFinished(5000))
                screen.loadFromData(grab.readAllStandardOutput(), "PNG");
        });
        QProcess program;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        program.setProcessEnvironment(environment);
        program.start(START_ON_DISPLAY, {QString::fromStdString(hive->Path())});
        const bool finished = program.waitForFinished(30000);
        server.kill();
        server.waitForFinished();
        QVERIFY(finished);
        QCOMPARE(program.exitCode(), 1); // the open failed, so the dialog took over
        QCOMPARE(screen.size(), QSize(800, 600));
        // The splash is centred: its status line starts 16, 56 from its top-left corner.
        const QRect status(QPoint((800 - 400) / 2 + 16, (600 - 300) / 2 + 56), QSize(200, 16));
        const int blue = CountPoints(status, [&](const QPoint& at) { return IsBlue(screen.pixelColor(at)); });
        QVERIFY2(blue > 40, qPrintable(QString::number(blue)));
    }
};

QObject* NewTestFlash()
{
    return new TestFlash;
}

#include "TestFlash.moc"
