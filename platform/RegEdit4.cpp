#include "RegEdit4.h"

#include "Cp936.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kHexLineWidth = 76;

template <typename Items> auto FindByName(Items& items, std::string_view name, auto nameOf)
{
    return std::find_if(items.begin(), items.end(),
                        [&](const auto& item) { return Cp936::EqualsIgnoringAsciiCase(nameOf(item), name); });
}

std::vector<std::string> KeyNames(std::string_view path)
{
    if (path.empty())
        return {};
    auto names = Cp936::Split(path, '\\');
    if (std::any_of(names.begin(), names.end(), [](const std::string& name) { return name.empty(); }))
        throw RegEdit4Error("malformed key path");
    return names;
}

// ---- reading ----

std::uint32_t HexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return static_cast<std::uint32_t>(digit - '0');
    return static_cast<std::uint32_t>(std::tolower(static_cast<unsigned char>(digit)) - 'a' + 10);
}

class LineParser {
public:
    explicit LineParser(std::string_view line) : line_(line) {}

    bool AtEnd() const { return pos_ >= line_.size(); }
    char Peek() const { return AtEnd() ? '\0' : line_[pos_]; }
    bool Take(char c)
    {
        if (Peek() != c || AtEnd())
            return false;
        ++pos_;
        return true;
    }
    bool TakeWord(std::string_view word)
    {
        if (line_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }
    void SkipBlanks()
    {
        while (!AtEnd() && (line_[pos_] == ' ' || line_[pos_] == '\t'))
            ++pos_;
    }
    void ExpectEnd()
    {
        SkipBlanks();
        if (!AtEnd())
            throw RegEdit4Error("unexpected text after a value");
    }

    // A double-quoted text with \\ and \" escaped; the bytes of a double-byte character are taken as
    // they stand, so a second byte 0x5C is not an escape.
    std::string QuotedText()
    {
        if (!Take('"'))
            throw RegEdit4Error("a quoted text was expected");
        std::string text;
        while (!AtEnd()) {
            const auto byte = static_cast<unsigned char>(line_[pos_]);
            if (Cp936::IsLeadByte(byte) && pos_ + 1 < line_.size()) {
                text.append(line_.substr(pos_, 2));
                pos_ += 2;
            } else if (byte == '\\' && pos_ + 1 < line_.size() && (line_[pos_ + 1] == '\\' || line_[pos_ + 1] == '"')) {
                text += line_[pos_ + 1];
                pos_ += 2;
            } else if (byte == '"') {
                ++pos_;
                return text;
            } else {
                text += line_[pos_++];
            }
        }
        throw RegEdit4Error("a quoted text is not closed");
    }

    std::uint32_t HexNumber(std::size_t maxDigits)
    {
        std::uint32_t number = 0;
        std::size_t digits = 0;
        while (digits < maxDigits && std::isxdigit(static_cast<unsigned char>(Peek()))) {
            number = number * 16 + HexDigitValue(line_[pos_++]);
            ++digits;
        }
        if (digits == 0)
            throw RegEdit4Error("a hexadecimal number was expected");
        return number;
    }

    std::string HexBytes()
    {
        std::string bytes;
        SkipBlanks();
        while (!AtEnd()) {
            bytes += static_cast<char>(HexNumber(2));
            SkipBlanks();
            if (!Take(','))
                break;
            SkipBlanks();
        }
        ExpectEnd();
        return bytes;
    }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

RegistryValue ParseValueData(LineParser& parser)
{
    if (parser.Peek() == '"') {
        auto text = parser.QuotedText();
        parser.ExpectEnd();
        return {REG_SZ, text + '\0'};
    }
    if (parser.TakeWord("dword:")) {
        const auto number = parser.HexNumber(8);
        parser.ExpectEnd();
        std::string data;
        for (int shift = 0; shift < 32; shift += 8)
            data += static_cast<char>((number >> shift) & 0xFF);
        return {REG_DWORD, data};
    }
    if (parser.TakeWord("hex:"))
        return {REG_BINARY, parser.HexBytes()};
    if (parser.TakeWord("hex(")) {
        const auto type = parser.HexNumber(8);
        if (!parser.TakeWord("):"))
            throw RegEdit4Error("malformed value type");
        return {type, parser.HexBytes()};
    }
    throw RegEdit4Error("unknown value data");
}

// Physical lines, with CR LF read as LF and hex lists joined across trailing backslashes.
std::vector<std::string> LogicalLines(std::string_view text)
{
    std::vector<std::string> lines;
    bool continues = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (continues) {
            const auto indent = line.find_first_not_of(" \t");
            lines.back() += indent == std::string::npos ? std::string() : line.substr(indent);
        } else {
            lines.push_back(std::move(line));
        }
        auto& current = lines.back();
        continues = !current.empty() && current.front() != '[' && current.front() != ';' && current.back() == '\\';
        if (continues)
            current.pop_back();
    }
    return lines;
}

HiveKey* ParseSection(HiveKey& root, std::string_view line, const std::string& rootName)
{
    const auto close = line.rfind(']');
    if (close == std::string_view::npos || line.find_first_not_of(" \t", close + 1) != std::string_view::npos)
        throw RegEdit4Error("malformed key line");
    const auto path = line.substr(1, close - 1);
    if (!Cp936::EqualsIgnoringAsciiCase(path.substr(0, rootName.size()), rootName))
        throw RegEdit4Error("a key outside the hive");
    auto rest = path.substr(rootName.size());
    if (rest.empty())
        return &root;
    if (rest.front() != '\\')
        throw RegEdit4Error("a key outside the hive");
    auto* key = CreateKeyPath(root, rest.substr(1));
    if (key == nullptr)
        throw RegEdit4Error("malformed key path");
    return key;
}

// ---- writing ----

bool IsQuotable(std::string_view text)
{
    return Cp936::IsWellFormed(text) &&
           std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string Quote(std::string_view text)
{
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Cp936::IsLeadByte(static_cast<unsigned char>(text[i]))) {
            quoted.append(text.substr(i, 2));
            ++i;
            continue;
        }
        if (text[i] == '\\' || text[i] == '"')
            quoted += '\\';
        quoted += text[i];
    }
    return quoted + '"';
}

std::string HexList(std::string line, std::string_view bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(bytes[i]));
        line += byte;
        if (i + 1 == bytes.size())
            break;
        line += ',';
        if (line.size() > kHexLineWidth) {
            out += line + "\\" + std::string(kLineEnd);
            line = "  ";
        }
    }
    return out + line;
}

std::string ValueLine(const std::string& name, const RegistryValue& value)
{
    if (!IsQuotable(name))
        throw RegEdit4Error("a value name that a REGEDIT4 file cannot hold");
    std::string line = (name.empty() ? std::string("@") : Quote(name)) + "=";
    const std::string_view data = value.data;
    if (value.type == REG_SZ && !data.empty() && data.back() == '\0' && IsQuotable(data.substr(0, data.size() - 1)))
        return line + Quote(data.substr(0, data.size() - 1));
    if (value.type == REG_DWORD && data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(data[i]);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return line + text;
    }
    if (value.type == REG_BINARY)
        return HexList(line + "hex:", data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    return HexList(line + prefix, data);
}

void WriteKey(const HiveKey& key, const std::string& path, bool isRoot, std::string& out)
{
    if (!isRoot || !key.values.empty()) {
        if (!IsQuotable(key.name) || key.name.find(']') != std::string::npos)
            throw RegEdit4Error("a key name that a REGEDIT4 file cannot hold");
        out += "[" + path + "]" + std::string(kLineEnd);
        for (const auto& [name, value] : key.values)
            out += ValueLine(name, value) + std::string(kLineEnd);
        out += kLineEnd;
    }
    for (const auto& subkey : key.subkeys)
        WriteKey(subkey, path + "\\" + subkey.name, false, out);
}

} // namespace

const RegistryValue* HiveKey::FindValue(std::string_view valueName) const
{
    const auto it = FindByName(values, valueName, [](const auto& item) -> const std::string& { return item.first; });
    return it == values.end() ? nullptr : &it->second;
}

void HiveKey::SetValue(const std::string& valueName, RegistryValue value)
{
    const auto it = FindByName(values, valueName, [](const auto& item) -> const std::string& { return item.first; });
    if (it == values.end())
        values.emplace_back(valueName, std::move(value));
    else
        it->second = std::move(value);
}

HiveKey* HiveKey::FindSubkey(std::string_view keyName)
{
    const auto it = FindByName(subkeys, keyName, [](const HiveKey& key) -> const std::string& { return key.name; });
    return it == subkeys.end() ? nullptr : &*it;
}

const HiveKey* HiveKey::FindSubkey(std::string_view keyName) const
{
    return const_cast<HiveKey*>(this)->FindSubkey(keyName);
}

HiveKey* FindKey(HiveKey& root, std::string_view path)
{
    try {
        HiveKey* key = &root;
        for (const auto& name : KeyNames(path)) {
            key = key->FindSubkey(name);
            if (key == nullptr)
                return nullptr;
        }
        return key;
    } catch (const RegEdit4Error&) {
        return nullptr;
    }
}

const HiveKey* FindKey(const HiveKey& root, std::string_view path)
{
    return FindKey(const_cast<HiveKey&>(root), path);
}

HiveKey* CreateKeyPath(HiveKey& root, std::string_view path)
{
    try {
        HiveKey* key = &root;
        for (const auto& name : KeyNames(path)) {
            HiveKey* next = key->FindSubkey(name);
            if (next == nullptr) {
                key->subkeys.push_back(HiveKey{name, {}, {}});
                next = &key->subkeys.back();
            }
            key = next;
        }
        return key;
    } catch (const RegEdit4Error&) {
        return nullptr;
    }
}

HiveKey ParseRegEdit4(std::string_view text, const std::string& rootName)
{
    const auto lines = LogicalLines(text);
    auto line = lines.begin();
    while (line != lines.end() && line->empty())
        ++line;
    if (line == lines.end() || *line != kHeader)
        throw RegEdit4Error("not a REGEDIT4 file");
    HiveKey root{rootName, {}, {}};
    HiveKey* section = nullptr;
    for (++line; line != lines.end(); ++line) {
        if (line->empty() || line->front() == ';')
            continue;
        if (line->front() == '[') {
            section = ParseSection(root, *line, rootName);
            continue;
        }
        if (section == nullptr)
            throw RegEdit4Error("a value outside a key");
        LineParser parser(*line);
        const auto name = parser.Take('@') ? std::string() : parser.QuotedText();
        parser.SkipBlanks();
        if (!parser.Take('='))
            throw RegEdit4Error("malformed value line");
        parser.SkipBlanks();
        section->SetValue(name, ParseValueData(parser));
    }
    return root;
}

std::string WriteRegEdit4(const HiveKey& root)
{
    std::string out = std::string(kHeader) + std::string(kLineEnd) + std::string(kLineEnd);
    WriteKey(root, root.name, true, out);
    return out;
}
