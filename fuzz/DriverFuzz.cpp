// Any bytes as skills.xml for the whole program, run in-process in a scratch
// directory: after every run the two files and the console must agree.
// The target changes into its scratch directory, so give it absolute paths.
#include "FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::filesystem::path ScratchDir;
int ConsoleFd = -1;

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
    const std::string Fault =
        CheckDriverInput(std::string_view(reinterpret_cast<const char*>(Bytes), Size), ConsoleFd);
    if (!Fault.empty())
        Fail(Fault);
    return 0;
}
