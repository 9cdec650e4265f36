// The one error type of the program's own code. Host failures derive from it
// and give their own kind name for the error report.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message)
        : std::runtime_error(Message), Text(Message), Location(__builtin_return_address(0))
    {
    }

    // The whole message, zero bytes included (what() stops at the first one).
    const std::string& Message() const noexcept { return Text; }

    // The name the error report shows for this kind of error.
    virtual const char* KindName() const noexcept { return "Exception"; }

private:
    std::string Text;

public:
    // The code address that raised the error (the caller of the constructor).
    const void* Location;
};
