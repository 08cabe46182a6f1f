#include "unGlobal.h"

#include "Cp936.h"
#include "Exceptions.h"

std::string ConnectStatus;

const std::string& ConnectingMessage()
{
    static const std::string message = Cp936::Literal("系统正在连接数据库，请稍候...");
    return message;
}

namespace {
constexpr char kDigitCharacters[] = {'0', '3', '4', '7'};
constexpr std::size_t kDigitsPerByte = 4;
} // namespace

std::string EncodeCredential(const std::string& plain)
{
    std::string code;
    code.reserve(plain.size() * kDigitsPerByte);
    for (const char c : plain) {
        const auto byte = static_cast<unsigned char>(c);
        for (int shift = 6; shift >= 0; shift -= 2)
            code += kDigitCharacters[(byte >> shift) & 3];
    }
    return code;
}

std::string DecodeCredential(const std::string& code)
{
    if (code.size() % kDigitsPerByte != 0)
        return {};
    std::string plain;
    plain.reserve(code.size() / kDigitsPerByte);
    for (std::size_t group = 0; group < code.size(); group += kDigitsPerByte) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < kDigitsPerByte; ++i) {
            const char c = code[group + i];
            if (c < '0' || c > '9')
                throw EConvertError(FormatMessage("'%s' is not a valid integer value", std::string(1, c)));
            // Halving reads "1" as "0", "2" as "3" and so on; an "8" or "9" carries into the next
            // higher place, and a carry out of the top place falls away with the low eight bits.
            sum = sum * 4 + static_cast<unsigned>(c - '0') / 2;
        }
        plain += static_cast<char>(sum & 0xFF);
    }
    return plain;
}
