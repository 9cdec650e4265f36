#include "ProgramRunner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

const std::string BannerText = "mkskills - skill file builder, (c) 2026 the mkskills authors\r\n"
                               "Contact: mkskills@example.org\r\n"
                               "Web: https://mkskills.example.org/\r\n"
                               "=================================\r\n"
                               "Creating skill files...\r\n";

TScratchDir::TScratchDir()
{
    std::string Template = (std::filesystem::temp_directory_path() / "mkskills-test-XXXXXX").string();
    if (::mkdtemp(Template.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    Dir = Template;
}

TScratchDir::~TScratchDir()
{
    std::error_code Ignored;
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, Ignored);
    std::filesystem::remove_all(Dir, Ignored);
}

void TScratchDir::Write(const std::string& FileName, const std::string& Bytes) const
{
    std::ofstream Out(Dir / FileName, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!Out)
        throw std::runtime_error("cannot write " + FileName);
}

std::string TScratchDir::Read(const std::string& FileName) const
{
    std::ifstream In(Dir / FileName, std::ios::binary);
    if (!In)
        throw std::runtime_error("cannot read " + FileName);
    std::ostringstream Bytes;
    Bytes << In.rdbuf();
    return Bytes.str();
}

bool TScratchDir::Exists(const std::string& FileName) const
{
    return std::filesystem::exists(Dir / FileName);
}

namespace {

void SetLimit(int Resource, std::uint64_t Bytes)
{
    const rlimit Limit{static_cast<rlim_t>(Bytes), static_cast<rlim_t>(Bytes)};
    if (::setrlimit(Resource, &Limit) != 0)
        ::_exit(126);
}

// In the child: working directory, limits, standard output, then the program.
[[noreturn]] void StartChild(const TScratchDir& Dir, const TRunSetup& Setup, int PipeWrite)
{
    if (::chdir(Dir.Path().c_str()) != 0)
        ::_exit(126);
    if (Setup.FileSizeLimit)
        SetLimit(RLIMIT_FSIZE, *Setup.FileSizeLimit);
    if (Setup.AddressSpaceLimit)
        SetLimit(RLIMIT_AS, *Setup.AddressSpaceLimit);
    switch (Setup.Stdout) {
    case TStdout::Pipe:
    case TStdout::PipeClosedAfterOneLine:
        ::dup2(PipeWrite, 1);
        break;
    case TStdout::DevFull: {
        const int Full = ::open("/dev/full", O_WRONLY);
        ::dup2(Full, 1);
        ::close(Full);
        break;
    }
    case TStdout::Closed:
        ::close(1);
        break;
    }
    ::close(PipeWrite);
    ::execl(MKSKILLS_PATH, MKSKILLS_PATH, static_cast<char*>(nullptr));
    ::_exit(127);
}

} // namespace

TRunResult RunProgram(const TScratchDir& Dir, const TRunSetup& Setup)
{
    int Pipe[2];
    if (::pipe2(Pipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t Child = ::fork();
    if (Child < 0)
        throw std::runtime_error("fork failed");
    if (Child == 0) {
        ::close(Pipe[0]);
        StartChild(Dir, Setup, Pipe[1]);
    }
    ::close(Pipe[1]);
    TRunResult Result;
    char Buffer[65536];
    for (;;) {
        const ssize_t Count = ::read(Pipe[0], Buffer, sizeof Buffer);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count <= 0)
            break;
        Result.Output.append(Buffer, static_cast<std::size_t>(Count));
        if (Setup.Stdout == TStdout::PipeClosedAfterOneLine && Result.Output.find('\n') != std::string::npos)
            break;
    }
    ::close(Pipe[0]);
    int Status = 0;
    rusage Usage{};
    while (::wait4(Child, &Status, 0, &Usage) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(Status))
        Result.ExitStatus = WEXITSTATUS(Status);
    if (WIFSIGNALED(Status))
        Result.Signal = WTERMSIG(Status);
    Result.PeakMemoryKiB = Usage.ru_maxrss;
    return Result;
}
