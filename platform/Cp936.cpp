#include "Cp936.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <stdexcept>

namespace Cp936 {
namespace {

constexpr const char* kCodecName = "windows-936";

unsigned char At(std::string_view text, std::size_t index)
{
    return static_cast<unsigned char>(text[index]);
}

// Length of the character that starts at index: 2 for a lead byte with a byte after it, else 1.
std::size_t CharLength(std::string_view text, std::size_t index)
{
    return IsLeadByte(At(text, index)) && index + 1 < text.size() ? 2 : 1;
}

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool IsWellFormed(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLeadByte(At(text, i)))
            continue;
        if (i + 1 >= text.size() || !IsTrailByte(At(text, i + 1)))
            return false;
        ++i;
    }
    return true;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const auto length = CharLength(a, i);
        if (length == 2) {
            if (a.substr(i, 2) != b.substr(i, 2))
                return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

std::vector<std::string> Split(std::string_view text, char separator)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < text.size();) {
        const auto length = CharLength(text, i);
        if (length == 1 && text[i] == separator)
            parts.emplace_back();
        else
            parts.back().append(text.substr(i, length));
        i += length;
    }
    return parts;
}

QString ToUnicode(std::string_view text)
{
    QStringDecoder decoder(kCodecName);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::optional<std::string> FromUnicode(const QString& text)
{
    QStringEncoder encoder(kCodecName);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    std::string result = bytes.toStdString();
    // A character with no code in the code page may come back as a substitute instead of an error;
    // only a text that decodes to itself is stored unaltered.
    if (ToUnicode(result) != text)
        return std::nullopt;
    return result;
}

std::string ToUtf8(std::string_view text)
{
    return ToUnicode(text).toStdString();
}

std::optional<std::string> FromUtf8(std::string_view utf8)
{
    return FromUnicode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string FromDriverText(std::string_view bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        return std::string(bytes);
    QStringEncoder encoder(kCodecName);
    return QByteArray(encoder.encode(text)).toStdString();
}

std::string Literal(std::string_view utf8)
{
    auto text = FromUtf8(utf8);
    if (!text)
        throw std::logic_error("text outside code page 936: " + std::string(utf8));
    return *text;
}

} // namespace Cp936
