#pragma once

#include <exception>
#include <string>

// Every failure travels as an exception that carries its message. Messages are code page 936 bytes,
// like every other text inside the program.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// The silent abort: the standard error box shows nothing for it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Replaces the first "%s" of a message pattern with an argument.
std::string FormatMessage(const std::string& pattern, const std::string& argument);
