// Host failures end to end: a console that cannot be written, a reader that
// goes away, a file-size limit, an address-space limit, and runs over files a
// previous run left. Every failure ends with exit status 1, never a signal, and
// leaves the two files describing the same complete records.
#include "FuzzChecks.h"
#include "ProgramRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

#ifdef MKSKILLS_SANITIZED
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

// The console after the banner, with the error report's code location blanked.
std::string AfterBanner(const std::string& Output)
{
    if (Output.compare(0, BannerText.size(), BannerText) != 0)
        return "(no banner) " + Output.substr(0, 200);
    std::string Rest = Output.substr(BannerText.size());
    const std::size_t Report = Rest.find("Exception ");
    if (Report != std::string::npos) {
        const std::size_t At = Rest.find(" at ", Report);
        if (At != std::string::npos)
            Rest.replace(At + 4, 8, "XXXXXXXX");
    }
    return Rest;
}

std::string Report(const std::string& Kind, const std::string& Message)
{
    return "Exception " + Kind + " in module mkskills at XXXXXXXX.\n" + Message + ".\r\n";
}

// A document of Count skills, each with a name of NameLength characters.
std::string ManySkills(int Count, std::size_t NameLength)
{
    std::string Input = "<skills>\n";
    for (int I = 0; I < Count; ++I) {
        std::string Name = std::to_string(I);
        Name.resize(NameLength, '.');
        Input += "<skill name=\"" + Name + "\" useable=\"" + std::to_string(I % 2) + "\"/>\n";
    }
    return Input + "</skills>\n";
}

// The two files describe the same complete records; gives how many.
std::size_t CheckFiles(const TScratchDir& Dir)
{
    std::vector<TIndexRecord> Records;
    EXPECT_EQ(CheckSkillFiles(Dir.Read("skills.idx"), Dir.Read("skills.mul"), MaxSkillDataSize, Records), "");
    return Records.size();
}

TRunSetup WithStdout(TStdout Stdout)
{
    TRunSetup Setup;
    Setup.Stdout = Stdout;
    return Setup;
}

std::size_t CountLines(const std::string& Text)
{
    return static_cast<std::size_t>(std::count(Text.begin(), Text.end(), '\n'));
}

} // namespace

TEST(Faults, UnusableStandardOutputStopsBeforeAnyFile)
{
    for (const TStdout Stdout : {TStdout::DevFull, TStdout::Closed}) {
        SCOPED_TRACE(static_cast<int>(Stdout));
        TScratchDir Dir;
        Dir.Write("skills.xml", "<r><s name=\"a\"/></r>");
        const TRunResult Run = RunProgram(Dir, WithStdout(Stdout));
        EXPECT_EQ(Run.Signal, 0);
        EXPECT_EQ(Run.ExitStatus, 1);
        EXPECT_FALSE(Dir.Exists("skills.idx"));
        EXPECT_FALSE(Dir.Exists("skills.mul"));
    }
}

// The console output is far larger than a pipe holds, so writes fail once the
// reader has gone, wherever the program then stands.
TEST(Faults, PipeReaderQuitsAfterOneLine)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", ManySkills(100000, 20));
    const TRunResult Run = RunProgram(Dir, WithStdout(TStdout::PipeClosedAfterOneLine));
    EXPECT_EQ(Run.Signal, 0);
    EXPECT_EQ(Run.ExitStatus, 1);
    EXPECT_EQ(Run.Output.substr(0, Run.Output.find('\n') + 1), BannerText.substr(0, BannerText.find('\n') + 1));
    EXPECT_EQ(Dir.Exists("skills.idx"), Dir.Exists("skills.mul"));
    if (Dir.Exists("skills.idx"))
        CheckFiles(Dir);
}

// A file-size limit stops whichever file outgrows it first: the data file when
// names are long, the index file when they are empty.
TEST(Faults, FileSizeLimitStopsAWriteMidRun)
{
    struct {
        std::size_t NameLength;
        const char* FailingFile;
    } const Cases[] = {{20, "skills.mul"}, {0, "skills.idx"}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.FailingFile);
        TScratchDir Dir;
        Dir.Write("skills.xml", ManySkills(100000, Case.NameLength));
        TRunSetup Setup;
        Setup.FileSizeLimit = 1 << 20;
        const TRunResult Run = RunProgram(Dir, Setup);
        EXPECT_EQ(Run.Signal, 0);
        EXPECT_EQ(Run.ExitStatus, 1);
        const std::string Console = AfterBanner(Run.Output);
        const std::string Expected = Report("EWriteError", std::string("Cannot write file ") + Case.FailingFile);
        ASSERT_GE(Console.size(), Expected.size());
        EXPECT_EQ(Console.substr(Console.size() - Expected.size()), Expected);
        // Every skill line shown has its record, and no record lacks its data.
        const std::size_t Records = CheckFiles(Dir);
        EXPECT_GT(Records, 0u);
        EXPECT_LT(Records, 100000u);
        EXPECT_EQ(CountLines(Console) - 2, Records);
    }
}

TEST(Faults, AddressSpaceLimitIsOutOfMemory)
{
    if (Sanitized)
        GTEST_SKIP() << "the sanitizers reserve more address space than any useful limit";
    struct {
        const char* Case;
        std::string Input;
    } const Cases[] = {
        {"loading", "<r><!--" + std::string(96 << 20, 'c') + "--></r>"},
        {"building the tree", ManySkills(200000, 8)},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        TScratchDir Dir;
        Dir.Write("skills.xml", Case.Input);
        TRunSetup Setup;
        Setup.AddressSpaceLimit = 64 << 20;
        const TRunResult Run = RunProgram(Dir, Setup);
        EXPECT_EQ(Run.Signal, 0);
        EXPECT_EQ(Run.ExitStatus, 1);
        EXPECT_EQ(AfterBanner(Run.Output), Report("EOutOfMemory", "Out of memory"));
        EXPECT_FALSE(Dir.Exists("skills.idx"));
        EXPECT_FALSE(Dir.Exists("skills.mul"));
    }
}

// A run over the files of a longer run: what it writes replaces them whole, and
// a refused document leaves them as they were.
TEST(Faults, SecondRunOverEarlierFiles)
{
    const std::string First = "<r><s name=\"a long first name\" useable=\"1\"/><s name=\"another long one\"/>"
                              "<s name=\"and a third\"/></r>";
    struct {
        const char* Second;
        int ExitStatus;
        std::string Index;
        std::string Data;
    } const Cases[] = {
        {"<r><s name=\"x\" useable=\"2\"/></r>", 0, std::string("\0\0\0\0\2\0\0\0ZEB\0", 12), "\2x"},
        {"<r/>", 0, "", ""},
        {"<r><s name=\"x\"/><s useable=\"bad\"/></r>", 1, std::string("\0\0\0\0\2\0\0\0ZEB\0", 12),
         std::string("\0x", 2)},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Second);
        TScratchDir Dir;
        Dir.Write("skills.xml", First);
        ASSERT_EQ(RunProgram(Dir).ExitStatus, 0);
        Dir.Write("skills.xml", Case.Second);
        EXPECT_EQ(RunProgram(Dir).ExitStatus, Case.ExitStatus);
        EXPECT_EQ(Dir.Read("skills.idx"), Case.Index);
        EXPECT_EQ(Dir.Read("skills.mul"), Case.Data);
    }

    TScratchDir Dir;
    Dir.Write("skills.xml", First);
    ASSERT_EQ(RunProgram(Dir).ExitStatus, 0);
    const std::string Index = Dir.Read("skills.idx");
    const std::string Data = Dir.Read("skills.mul");
    Dir.Write("skills.xml", "<r><s name=\"x\"/>"); // refused: no end tag
    EXPECT_EQ(RunProgram(Dir).ExitStatus, 1);
    EXPECT_EQ(Dir.Read("skills.idx"), Index);
    EXPECT_EQ(Dir.Read("skills.mul"), Data);
}
