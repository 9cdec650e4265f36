// mkskills: builds skills.idx and skills.mul from skills.xml in the current directory.
#include "Driver.h"

#include <csignal>
#include <filesystem>
#include <system_error>

namespace {

// The running program's file name without its directory.
std::string ModuleName(const char* Argv0)
{
    std::error_code Error;
    const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
    if (!Error && !Exe.filename().empty())
        return Exe.filename().string();
    if (Argv0 != nullptr && *Argv0 != '\0')
        return std::filesystem::path(Argv0).filename().string();
    return "mkskills";
}

} // namespace

int main(int, char** Argv)
{
    // A closed pipe or a file-size limit is a failed write, reported like any other.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    TRunOptions Options;
    Options.ModuleName = ModuleName(Argv[0]);
    return RunMkskills(Options);
}
