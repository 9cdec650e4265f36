// The one error type of the program's own code. Host failures derive from it
// and give their own kind name for the error report.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message)
        : std::runtime_error(Message), Location(__builtin_return_address(0)), Text(Message)
    {
    }

    // The whole message: a reference's text may put a NUL into it, where what() would stop.
    const std::string& Message() const noexcept { return Text; }

    // The name the error report shows for this kind of error.
    virtual const char* KindName() const noexcept { return "Exception"; }

    // The code address that raised the error (the caller of the constructor).
    const void* Location;

private:
    std::string Text;
};
