#include "Console.h"

#include "HostErrors.h"

#include <cerrno>
#include <unistd.h>

namespace {

// Writes all of Text; gives 0 on success, else the error number.
int WriteAll(int Fd, std::string_view Text)
{
    while (!Text.empty()) {
        const ssize_t Written = ::write(Fd, Text.data(), Text.size());
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (Written == 0)
            return EIO;
        Text.remove_prefix(static_cast<std::size_t>(Written));
    }
    return 0;
}

} // namespace

std::string ConsoleErrorMessage(int ErrorNumber)
{
    switch (ErrorNumber) {
    case ENOENT:
        return "File not found";
    case ENOTDIR:
        return "Invalid filename";
    case EMFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(ErrorNumber);
    }
}

void TConsole::WriteLine(std::string_view Line)
{
    Pending.append(Line);
    Pending.append("\r\n");
}

void TConsole::Flush()
{
    const int Error = WriteAll(Fd, Pending);
    Pending.clear();
    if (Error != 0)
        throw EConsoleError(ConsoleErrorMessage(Error));
}

void TConsole::WriteUnchecked(std::string_view Text) noexcept
{
    (void)WriteAll(Fd, Text);
}
