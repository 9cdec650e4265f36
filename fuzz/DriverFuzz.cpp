// Any bytes as skills.xml for the whole program, run in-process in a scratch
// directory: after every run the two files and the console must agree.
#include "Driver.h"
#include "FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::filesystem::path ScratchDir;
int ConsoleFd = -1;

// A small limit on skill data for half of the inputs, so the fuzzer reaches
// the refusal of oversized data without gigabytes of input.
constexpr std::int64_t SmallDataLimit = 64;

[[noreturn]] void Fail(const std::string& What)
{
    std::fprintf(stderr, "driver fault: %s\n", What.c_str());
    std::abort();
}

void RemoveScratchDir()
{
    std::error_code Ignored;
    std::filesystem::remove_all(ScratchDir, Ignored);
}

std::string ReadAll(int Fd)
{
    std::string Text;
    char Buffer[65536];
    ssize_t Count;
    while ((Count = ::read(Fd, Buffer, sizeof Buffer)) > 0)
        Text.append(Buffer, static_cast<std::size_t>(Count));
    if (Count < 0)
        Fail("cannot read back an output");
    return Text;
}

std::optional<std::string> ReadIfExists(const char* FileName)
{
    const int Fd = ::open(FileName, O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        return std::nullopt;
    std::string Text = ReadAll(Fd);
    ::close(Fd);
    return Text;
}

void WriteInput(const std::uint8_t* Bytes, std::size_t Size)
{
    const int Fd = ::open("skills.xml", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (Fd < 0 || ::write(Fd, Bytes, Size) != static_cast<ssize_t>(Size) || ::close(Fd) != 0)
        Fail("cannot write skills.xml");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Shared memory keeps the many small file writes off the disk.
    const std::filesystem::path Base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string Template = (Base / "mkskills-fuzz-XXXXXX").string();
    if (::mkdtemp(Template.data()) == nullptr || ::chdir(Template.c_str()) != 0)
        Fail("cannot make a scratch directory");
    ScratchDir = Template;
    std::atexit(RemoveScratchDir);
    ConsoleFd = ::memfd_create("console", MFD_CLOEXEC);
    if (ConsoleFd < 0)
        Fail("cannot make the console file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Bytes, std::size_t Size)
{
    ::unlink("skills.idx");
    ::unlink("skills.mul");
    WriteInput(Bytes, Size);
    if (::ftruncate(ConsoleFd, 0) != 0 || ::lseek(ConsoleFd, 0, SEEK_SET) != 0)
        Fail("cannot reset the console file");

    TRunOptions Options;
    Options.OutputFd = ConsoleFd;
    Options.MaxDataSize = Size % 2 == 1 ? SmallDataLimit : MaxSkillDataSize;

    TRunOutcome Run;
    Run.ExitStatus = RunMkskills(Options);
    Run.MaxDataSize = Options.MaxDataSize;
    Run.ModuleName = Options.ModuleName;
    if (::lseek(ConsoleFd, 0, SEEK_SET) != 0)
        Fail("cannot rewind the console file");
    Run.Console = ReadAll(ConsoleFd);
    Run.Index = ReadIfExists("skills.idx");
    Run.Data = ReadIfExists("skills.mul");

    const std::string Fault = CheckRunOutcome(Run);
    if (!Fault.empty())
        Fail(Fault);
    return 0;
}
