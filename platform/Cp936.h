#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Texts inside the program are code page 936 byte strings. This module is the one place where they
// meet Unicode (Qt, the ODBC drivers) and where their double-byte structure is looked at.
namespace Cp936 {

// A byte that starts a double-byte character.
constexpr bool IsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}
// A byte that may follow a lead byte.
constexpr bool IsTrailByte(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// True when every lead byte is followed by a trail byte.
bool IsWellFormed(std::string_view text);

// Compares without regard to ASCII letter case; the bytes of a double-byte character compare exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Splits at a separator byte that is not the second byte of a double-byte character.
std::vector<std::string> Split(std::string_view text, char separator);

QString ToUnicode(std::string_view text);
// Empty when the text holds a character that code page 936 cannot represent.
std::optional<std::string> FromUnicode(const QString& text);

std::string ToUtf8(std::string_view text);
// Empty when the UTF-8 text holds a character that code page 936 cannot represent.
std::optional<std::string> FromUtf8(std::string_view utf8);

// A text as a driver returned it: UTF-8 when it is valid UTF-8, otherwise taken as code page 936
// already. Characters that code page 936 lacks become "?".
std::string FromDriverText(std::string_view bytes);

// The program's own texts are written in UTF-8 in the sources; this gives their code page 936 bytes.
std::string Literal(std::string_view utf8);

} // namespace Cp936
