// Replays every input a fuzz target once failed on (fuzz/regressions) and the
// seed corpus through the fuzz targets' own checks, in the ordinary test build.
#include "FuzzChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/mman.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs()
{
    std::vector<fs::path> Paths;
    for (const char* Dir : {"regressions", "corpus"})
        for (const auto& Entry : fs::directory_iterator(fs::path(MKSKILLS_FUZZ_DIR) / Dir))
            Paths.push_back(Entry.path());
    Paths.push_back(fs::path(MKSKILLS_FUZZ_DIR) / ".." / "examples" / "skills.xml");
    std::sort(Paths.begin(), Paths.end());
    return Paths;
}

std::string ReadFile(const fs::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Bytes;
    Bytes << In.rdbuf();
    return Bytes.str();
}

} // namespace

// One test over the files as they are when it runs, so an input added to
// fuzz/regressions is replayed without rebuilding anything.
TEST(FuzzInputs, PassTheReaderAndDriverChecks)
{
    // The driver works in the current directory: give it a scratch one.
    std::string Dir = (fs::temp_directory_path() / "mkskills-replay-XXXXXX").string();
    ASSERT_NE(::mkdtemp(Dir.data()), nullptr);
    const fs::path Previous = fs::current_path();
    fs::current_path(Dir);
    const int Console = ::memfd_create("console", MFD_CLOEXEC);
    ASSERT_GE(Console, 0);
    for (const fs::path& Path : Inputs()) {
        SCOPED_TRACE(Path.string());
        const std::string Bytes = ReadFile(Path);
        EXPECT_EQ(CheckReaderInput(Bytes), "");
        // Both limits on skill data: the input as it is and with one byte more.
        EXPECT_EQ(CheckDriverInput(Bytes, Console), "");
        EXPECT_EQ(CheckDriverInput(Bytes + " ", Console), "");
    }
    ::close(Console);
    fs::current_path(Previous);
    fs::remove_all(Dir);
}
