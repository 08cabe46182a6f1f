#include "Strings.h"

#include "Cp936.h"

std::string TStrings::Values(const std::string& name) const
{
    for (const auto& line : lines_) {
        const auto equals = line.find('=');
        if (equals != std::string::npos && Cp936::EqualsIgnoringAsciiCase(line.substr(0, equals), name))
            return line.substr(equals + 1);
    }
    return {};
}

std::string TStrings::Text() const
{
    std::string text;
    for (const auto& line : lines_)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}
