// Inputs at the limits of size and depth, end to end: the program refuses what
// is too deep without crashing and completes everything else. Each test prints
// the program's peak memory next to the input's size.
#include "FuzzChecks.h"
#include "ProgramRunner.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr std::size_t MiB = 1 << 20;

// Sanitizers make each byte of a run many times slower (a 64 MiB name takes
// minutes) and their memory figures meaningless, so under them the large
// inputs shrink to a size that still takes the same paths.
#ifdef MKSKILLS_SANITIZED
constexpr std::size_t Scale = 16;
#else
constexpr std::size_t Scale = 1;
#endif

void ShowPeak(const char* Case, std::size_t InputBytes, const TRunResult& Run)
{
    std::cout << "[ peak     ] " << Case << ": input " << InputBytes / 1024 << " KiB, peak "
              << Run.PeakMemoryKiB << " KiB\n";
    testing::Test::RecordProperty("InputKiB", std::to_string(InputBytes / 1024));
    testing::Test::RecordProperty("PeakMemoryKiB", std::to_string(Run.PeakMemoryKiB));
}

// The console after the banner, with the error report's code location blanked.
std::string AfterBanner(const TRunResult& Run)
{
    if (Run.Output.compare(0, BannerText.size(), BannerText) != 0)
        return "(no banner) " + Run.Output.substr(0, 200);
    std::string Rest = Run.Output.substr(BannerText.size());
    const std::size_t At = Rest.find(" at ");
    if (Rest.compare(0, 10, "Exception ") == 0 && At != std::string::npos)
        Rest.replace(At + 4, 8, "XXXXXXXX");
    return Rest;
}

// Runs the program over Input and checks that both files describe the same
// records and that the console shows one line per record.
TRunResult RunComplete(TScratchDir& Dir, const std::string& Input, const char* Case)
{
    Dir.Write("skills.xml", Input);
    const TRunResult Run = RunProgram(Dir);
    ShowPeak(Case, Input.size(), Run);
    EXPECT_EQ(Run.ExitStatus, 0) << AfterBanner(Run).substr(0, 300);
    TRunOutcome Outcome;
    Outcome.ExitStatus = Run.ExitStatus;
    Outcome.Console = Run.Output;
    Outcome.Index = Dir.Read("skills.idx");
    Outcome.Data = Dir.Read("skills.mul");
    Outcome.MaxDataSize = MaxSkillDataSize;
    EXPECT_EQ(CheckRunOutcome(Outcome), "");
    return Run;
}

std::string IndexRecord(std::int32_t Offset, std::int32_t Length)
{
    std::string Bytes;
    AppendIndexRecord(Bytes, {Offset, Length, IndexExtra});
    return Bytes;
}

} // namespace

TEST(Limits, NestingTooDeepIsRefused)
{
    struct {
        int Depth;
        int ExitStatus;
    } const Cases[] = {{1000, 0}, {1001, 1}, {100000, 1}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Depth);
        std::string Input;
        for (int I = 0; I < Case.Depth; ++I)
            Input += "<a>";
        for (int I = 0; I < Case.Depth; ++I)
            Input += "</a>";
        TScratchDir Dir;
        Dir.Write("skills.xml", Input);
        const TRunResult Run = RunProgram(Dir);
        EXPECT_EQ(Run.Signal, 0);
        EXPECT_EQ(Run.ExitStatus, Case.ExitStatus);
        if (Case.ExitStatus == 0) {
            EXPECT_EQ(AfterBanner(Run), " (Useable: 0\r\n"); // the root's one child element
        } else {
            EXPECT_EQ(AfterBanner(Run), "Exception Exception in module mkskills at XXXXXXXX.\n"
                                        "Elements nested too deeply.\r\n");
            EXPECT_FALSE(Dir.Exists("skills.idx"));
            EXPECT_FALSE(Dir.Exists("skills.mul"));
        }
        if (Case.Depth == 100000)
            ShowPeak("100000 nested elements", Input.size(), Run);
    }
}

TEST(Limits, ElementNameOf64MiB)
{
    const std::string Name(64 * MiB / Scale, 'n');
    TScratchDir Dir;
    const TRunResult Run =
        RunComplete(Dir, "<r><" + Name + " useable=\"5\">text</" + Name + "></r>", "long element name");
    EXPECT_EQ(AfterBanner(Run), " (Useable: 5\r\n");
    EXPECT_EQ(Dir.Read("skills.mul"), "\5");
}

TEST(Limits, SkillNameOf64MiB)
{
    const std::string Name(64 * MiB / Scale, 'v');
    TScratchDir Dir;
    const TRunResult Run = RunComplete(Dir, "<r><s name=\"" + Name + "\" useable=\"2\"/></r>", "long skill name");
    EXPECT_EQ(AfterBanner(Run), Name + " (Useable: 2\r\n");
    EXPECT_EQ(Dir.Read("skills.idx"), IndexRecord(0, static_cast<std::int32_t>(Name.size() + 1)));
    EXPECT_EQ(Dir.Read("skills.mul"), "\2" + Name);
}

TEST(Limits, ElementWithAMillionAttributes)
{
    std::string Input = "<r><s";
    const int Count = static_cast<int>(1000000 / Scale);
    for (int I = 0; I < Count; ++I) {
        Input += " a" + std::to_string(I) + "=\"" + std::to_string(I) + "\"";
        if (I == Count / 2)
            Input += " useable=\"7\""; // found among all of them, wherever it stands
    }
    Input += " name=\"last\"/></r>";
    TScratchDir Dir;
    const TRunResult Run = RunComplete(Dir, Input, "many attributes");
    EXPECT_EQ(AfterBanner(Run), "last (Useable: 7\r\n");
    EXPECT_EQ(Dir.Read("skills.mul"), "\7last");
}

TEST(Limits, DocumentOfAMillionSkills)
{
    const int Count = static_cast<int>(1000000 / Scale);
    std::string Input = "<skills>\n";
    std::string Index;
    std::string Data;
    for (int I = 0; I < Count; ++I) {
        const std::string Name = "skill " + std::to_string(I);
        const int Useable = I % 300 - 100;
        Input += "<skill name=\"" + Name + "\" useable=\"" + std::to_string(Useable) + "\"/>\n";
        Index += IndexRecord(static_cast<std::int32_t>(Data.size()), static_cast<std::int32_t>(Name.size() + 1));
        AppendDataRecord(Data, static_cast<std::int16_t>(Useable), Name);
    }
    Input += "</skills>\n";
    TScratchDir Dir;
    RunComplete(Dir, Input, "many skills");
    EXPECT_TRUE(Dir.Read("skills.idx") == Index) << "skills.idx differs";
    EXPECT_TRUE(Dir.Read("skills.mul") == Data) << "skills.mul differs";
}

TEST(Limits, CommentOf100MiB)
{
    std::string Comment(100 * MiB / Scale, 'c');
    for (std::size_t I = 0; I < Comment.size(); I += 4096)
        Comment.replace(I, 6, "--x> <"); // near misses of the terminator throughout
    TScratchDir Dir;
    const TRunResult Run = RunComplete(Dir, "<r><s name=\"a\"/><!--" + Comment + "--><s name=\"b\"/></r>",
                                       "long comment");
    EXPECT_EQ(AfterBanner(Run), "a (Useable: 0\r\nb (Useable: 0\r\n");
    EXPECT_EQ(Dir.Read("skills.mul"), std::string("\0a\0b", 4));
}
