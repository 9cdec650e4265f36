// Standard output for the banner, the skill lines and the error report.
#pragma once

#include <string>
#include <string_view>

// The message for a failed console write, by the host's error number.
std::string ConsoleErrorMessage(int ErrorNumber);

class TConsole {
public:
    explicit TConsole(int Fd) : Fd(Fd) {}

    // Adds Line and a carriage return and line feed to the pending output.
    void WriteLine(std::string_view Line);
    // Writes out everything pending; raises EConsoleError when that fails
    // (what could not be written is dropped).
    void Flush();
    std::size_t PendingSize() const { return Pending.size(); }
    // Forgets everything pending, unwritten.
    void DropPending() { Pending.clear(); }
    // Writes Text directly, without checking the result: for the error report.
    void WriteUnchecked(std::string_view Text) noexcept;

private:
    int Fd;
    std::string Pending;
};
