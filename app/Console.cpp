#include "Console.h"

#include "HostErrors.h"
#include "WriteAll.h"

#include <cerrno>

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
