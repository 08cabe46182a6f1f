#pragma once

#include <string>
#include <vector>

// A list of text lines; lines of the form NAME=value can be looked up by name.
class TStrings {
public:
    void Clear() { lines_.clear(); }
    void Add(const std::string& line) { lines_.push_back(line); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // The value of the first line NAME=value whose name matches without regard to ASCII case.
    std::string Values(const std::string& name) const;
    // The lines joined with line breaks between them.
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};
