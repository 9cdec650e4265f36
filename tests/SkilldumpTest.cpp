// skilldump: the checker, the listing and the XML export on bytes in memory,
// then the built program against files that mkskills wrote.
#include "ProgramRunner.h"
#include "SkillDump.h"
#include "SkilldumpCommand.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Hand-made files.

std::string Index(std::initializer_list<TIndexRecord> Records)
{
    std::string Bytes;
    for (const TIndexRecord& Record : Records)
        AppendIndexRecord(Bytes, Record);
    return Bytes;
}

TIndexRecord Rec(std::int32_t Offset, std::int32_t Length, std::array<char, 4> Extra = IndexExtra)
{
    return TIndexRecord{Offset, Length, Extra};
}

using TFaultList = std::vector<std::pair<TFaultKind, std::optional<std::uint64_t>>>;

TFaultList CheckFaults(const std::string& IndexBytes, const std::string& DataBytes,
                       std::vector<std::string>* Texts = nullptr)
{
    TFaultList Faults;
    const std::uint64_t Count = CheckSkillFiles({IndexBytes, DataBytes}, [&](const TFault& Fault) {
        Faults.emplace_back(Fault.Kind, Fault.Record);
        if (Texts)
            Texts->push_back(Fault.Text);
    });
    EXPECT_EQ(Count, Faults.size());
    return Faults;
}

// Two sound records: "abc" with useable 1 and "de" with useable 2.
const std::string SoundIndex = Index({Rec(0, 4), Rec(4, 3)});
const std::string SoundData = "\1abc\2de";

// The records read as a consumer reads them, written again the way mkskills
// writes them; none when some record cannot be read.
std::optional<std::pair<std::string, std::string>> Rewrite(const TSkillFiles& Files)
{
    if (Files.Index.size() % IndexRecordSize != 0)
        return std::nullopt;
    std::string IndexBytes, DataBytes;
    for (std::size_t I = 0; I < IndexRecordCount(Files.Index.size()); ++I) {
        TDataRecord Data;
        if (!TryDecodeDataRecord(Files.Data, IndexRecordAt(Files.Index, I), Data))
            return std::nullopt;
        const auto Offset = static_cast<std::int32_t>(DataBytes.size());
        AppendIndexRecord(IndexBytes, Rec(Offset, static_cast<std::int32_t>(Data.Name.size() + 1)));
        AppendDataRecord(DataBytes, static_cast<std::int16_t>(Data.Useable), Data.Name);
    }
    return std::make_pair(IndexBytes, DataBytes);
}

// ---------------------------------------------------------------------------
// Running the built programs.

struct TDumpResult {
    int ExitStatus = -1;
    std::string Out;
    std::string Err;
};

// Runs skilldump with Args in Dir; standard output goes to a file, or to
// /dev/full when OutputFull.
TDumpResult RunDump(const TScratchDir& Dir, const std::vector<std::string>& Args,
                    bool OutputFull = false)
{
    const TScratchDir Capture;
    const std::string OutPath = (Capture.Path() / "out").string();
    const std::string ErrPath = (Capture.Path() / "err").string();
    const pid_t Child = ::fork();
    if (Child < 0)
        throw std::runtime_error("fork failed");
    if (Child == 0) {
        const int OutFd = ::open(OutputFull ? "/dev/full" : OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int ErrFd = ::open(ErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (OutFd < 0 || ErrFd < 0 || ::chdir(Dir.Path().c_str()) != 0)
            ::_exit(126);
        ::dup2(OutFd, 1);
        ::dup2(ErrFd, 2);
        std::vector<char*> Argv{const_cast<char*>(SKILLDUMP_PATH)};
        for (const std::string& Arg : Args)
            Argv.push_back(const_cast<char*>(Arg.c_str()));
        Argv.push_back(nullptr);
        ::execv(SKILLDUMP_PATH, Argv.data());
        ::_exit(127);
    }
    int Status = 0;
    while (::waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
    }
    TDumpResult Result;
    if (WIFEXITED(Status))
        Result.ExitStatus = WEXITSTATUS(Status);
    if (!OutputFull)
        Result.Out = Capture.Read("out");
    Result.Err = Capture.Read("err");
    return Result;
}

struct TSkill {
    std::string Name;
    std::int32_t Useable = 0;
};

// A skills.xml in this test's own spelling: letters and digits as they are,
// every other byte as a hexadecimal character reference.
std::string SkillsXml(const std::vector<TSkill>& Skills)
{
    static const char Digits[] = "0123456789abcdef";
    std::string Xml = "<skills>\n";
    for (const TSkill& Skill : Skills) {
        Xml += "<skill name=\"";
        for (const char C : Skill.Name) {
            const auto Byte = static_cast<unsigned char>(C);
            if ((Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= '0' && Byte <= '9')) {
                Xml += C;
            } else {
                Xml += "&#x";
                Xml += Digits[Byte >> 4];
                Xml += Digits[Byte & 0xF];
                Xml += ';';
            }
        }
        Xml += "\" useable=\"" + std::to_string(Skill.Useable) + "\"/>\n";
    }
    return Xml + "</skills>\n";
}

// mkskills on Xml, skilldump --xml on its files, mkskills on that: both runs of
// mkskills must give the same files, which skilldump --check finds sound.
void ExpectRoundTrip(const std::string& Xml)
{
    TScratchDir First, Second;
    First.Write("skills.xml", Xml);
    ASSERT_EQ(RunProgram(First).ExitStatus, 0);

    const TDumpResult Check = RunDump(First, {"--check"});
    EXPECT_EQ(Check.ExitStatus, 0) << Check.Out;
    const TDumpResult Export = RunDump(First, {"--xml"});
    ASSERT_EQ(Export.ExitStatus, 0);
    EXPECT_EQ(Export.Err, "");

    Second.Write("skills.xml", Export.Out);
    ASSERT_EQ(RunProgram(Second).ExitStatus, 0) << Export.Out;
    EXPECT_TRUE(First.Read("skills.idx") == Second.Read("skills.idx"));
    EXPECT_TRUE(First.Read("skills.mul") == Second.Read("skills.mul"));
}

std::string RandomBytes(std::mt19937& Random, std::size_t Length)
{
    std::uniform_int_distribution<int> Byte(0, 255);
    std::string Bytes(Length, '\0');
    for (char& C : Bytes)
        C = static_cast<char>(Byte(Random));
    return Bytes;
}

} // namespace

// ---------------------------------------------------------------------------
// The checker.

TEST(SkilldumpCheck, NamesEachFaultWithItsRecord)
{
    const std::array<char, 4> WrongExtra = {'Z', 'E', 'B', '1'};
    using K = TFaultKind;
    const std::optional<std::uint64_t> File;
    const struct {
        const char* Case;
        std::string IndexBytes;
        std::string DataBytes;
        TFaultList Expected;
    } Cases[] = {
        {"sound", SoundIndex, SoundData, {}},
        {"no skills", "", "", {}},
        {"truncated index", SoundIndex.substr(0, 19), SoundData, {{K::IncompleteRecord, 1}, {K::DataSize, File}}},
        {"gap", Index({Rec(0, 4), Rec(5, 3)}), "\1abcX\2de", {{K::Gap, 1}, {K::DataSize, File}}},
        {"first record not at 0", Index({Rec(1, 4)}), "X\1abc", {{K::Gap, 0}, {K::DataSize, File}}},
        {"overlap", Index({Rec(0, 4), Rec(3, 3)}), "\1abc\2d", {{K::Overlap, 1}, {K::DataSize, File}}},
        {"reordered", Index({Rec(4, 3), Rec(0, 4)}), SoundData, {{K::Gap, 0}, {K::OutOfOrder, 1}}},
        {"overlapping the start", Index({Rec(4, 3), Rec(2, 4)}), SoundData, {{K::Gap, 0}, {K::Overlap, 1}}},
        {"wrong Extra", Index({Rec(0, 4), Rec(4, 3, WrongExtra)}), SoundData, {{K::WrongExtra, 1}}},
        {"short data file", SoundIndex, "\1abc\2d", {{K::PastDataEnd, 1}, {K::DataSize, File}}},
        {"long data file", SoundIndex, "\1abc\2deX", {{K::DataSize, File}}},
        {"Length 0", Index({Rec(0, 0), Rec(0, 4)}), "\1abc", {{K::LengthTooSmall, 0}}},
        {"negative Offset and Length",
         Index({Rec(0, 4), Rec(-1, -5), Rec(4, 3)}),
         SoundData,
         {{K::LengthTooSmall, 1}, {K::NegativeOffset, 1}}},
        {"largest Offset and Length",
         Index({Rec(2147483647, 2147483647)}),
         "",
         {{K::Gap, 0}, {K::PastDataEnd, 0}, {K::DataSize, File}}},
        {"smallest Offset and Length",
         Index({Rec(-2147483647 - 1, -2147483647 - 1)}),
         "",
         {{K::LengthTooSmall, 0}, {K::NegativeOffset, 0}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(CheckFaults(Case.IndexBytes, Case.DataBytes), Case.Expected) << Case.Case;
}

TEST(SkilldumpCheck, MessagesSayWhatIsWrong)
{
    std::vector<std::string> Texts;
    CheckFaults(Index({Rec(0, 4, {'Z', 'E', 'B', '\n'}), Rec(5, 3), Rec(6, 0)}) + "12345", "\1abcX\2d",
                &Texts);
    CheckFaults(SoundIndex, SoundData + "XY", &Texts);
    const std::vector<std::string> Expected = {
        "record 0: Extra is \"ZEB\\x0A\", not \"ZEB\\x00\"",
        "record 1: gap of 1 byte before it: Offset 5, record 0 ends at 4",
        "record 1: reaches past the end of skills.mul: Offset 5 and Length 3 end at 8, the file has 7 bytes",
        "record 2: Length 0 is below 1",
        "record 2: overlaps record 1, which starts at 5 and ends at 8: Offset 6, Length 0",
        "record 3: incomplete: skills.idx ends 5 bytes into it (its size, 41, is not a multiple of 12)",
        "skills.mul: 9 bytes, but the Lengths add up to 7 (2 more)",
    };
    EXPECT_EQ(Texts, Expected);
}

// Any bytes at all: nothing is read out of bounds (the sanitizer build sees to
// that), and the pair is sound exactly when writing its records again the way
// mkskills does gives the same bytes.
TEST(SkilldumpCheck, SoundExactlyWhenMkskillsWouldWriteTheSameBytes)
{
    std::mt19937 Random(7);
    for (int Round = 0; Round < 3000; ++Round) {
        std::string IndexBytes, DataBytes;
        const int Skills = static_cast<int>(Random() % 5);
        for (int I = 0; I < Skills; ++I) {
            const std::string Name = RandomBytes(Random, Random() % 4);
            AppendIndexRecord(IndexBytes, Rec(static_cast<std::int32_t>(DataBytes.size()),
                                              static_cast<std::int32_t>(Name.size() + 1)));
            AppendDataRecord(DataBytes, static_cast<std::int16_t>(Random()), Name);
        }
        std::string& Target = Random() % 2 ? IndexBytes : DataBytes;
        switch (Random() % 4) {
        case 0:
            break; // left sound
        case 1:
            if (!Target.empty())
                Target[Random() % Target.size()] = static_cast<char>(Random());
            break;
        case 2:
            Target.resize(Target.size() - std::min<std::size_t>(Target.size(), Random() % 3));
            break;
        case 3:
            Target += RandomBytes(Random, Random() % 13);
            break;
        }
        const TSkillFiles Files{IndexBytes, DataBytes};
        const auto Again = Rewrite(Files);
        const bool Same = Again && Again->first == IndexBytes && Again->second == DataBytes;
        EXPECT_EQ(CheckSkillFiles(Files, [](const TFault&) {}) == 0, Same) << "round " << Round;

        std::ostringstream Listing, Xml;
        const TDumpGaps ListingGaps = WriteListing(Files, Listing);
        const TDumpGaps XmlGaps = WriteSkillsXml(Files, Xml);
        EXPECT_EQ(ListingGaps.Complete(), Again.has_value());
        EXPECT_EQ(XmlGaps.Complete(), Again.has_value());
    }
}

// ---------------------------------------------------------------------------
// Listing and export on bytes in memory.

TEST(SkilldumpListing, EscapesNamesAndMarksUnreadableRecords)
{
    const std::string IndexBytes = Index({Rec(0, 4), Rec(4, 1), Rec(5, 6), Rec(11, 0), Rec(11, 99)}) + "xy";
    const std::string DataBytes = std::string("\1abc\xff", 5) + std::string("\x80q\\\"\0\x7f", 6);
    std::ostringstream Out;
    const TDumpGaps Gaps = WriteListing({IndexBytes, DataBytes}, Out);
    EXPECT_EQ(Out.str(), "Index  Offset  Length  Useable  Byte  Name\n"
                         "    0       0       4        1     1  \"abc\"\n"
                         "    1       4       1       -1   255  \"\"\n"
                         "    2       5       6     -128   128  \"q\\\\\\\"\\x00\\x7F\"\n"
                         "    3      11       0        -     -  (unreadable: Length below 1)\n"
                         "    4      11      99        -     -  (unreadable: past the end of skills.mul)\n"
                         "5 skills (2 unreadable), 8 name bytes; skills.idx 62 bytes (2 after the last "
                         "whole record), skills.mul 11 bytes\n");
    EXPECT_EQ(Gaps.UnreadableRecords, 2u);
    EXPECT_EQ(Gaps.IncompleteBytes, 2u);
}

TEST(SkilldumpXml, ReferencesForEveryByteThatNeedsThem)
{
    const std::string IndexBytes = Index({Rec(0, 9), Rec(9, 1), Rec(-4, 1)});
    const std::string DataBytes = std::string("\x80<&\"'>\0\t\xe9", 9) + "\x05";
    std::ostringstream Out;
    const TDumpGaps Gaps = WriteSkillsXml({IndexBytes, DataBytes}, Out);
    EXPECT_EQ(Out.str(), "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n"
                         "<skills>\n"
                         "  <skill name=\"&#60;&#38;&#34;'>&#0;&#9;&#233;\" useable=\"128\"/>\n"
                         "  <skill name=\"\" useable=\"5\"/>\n"
                         "  <!-- record 2 cannot be read (negative Offset): an empty skill keeps the "
                         "later skills' indices -->\n"
                         "  <skill name=\"\" useable=\"0\"/>\n"
                         "</skills>\n");
    EXPECT_EQ(Gaps.UnreadableRecords, 1u);
}

// ---------------------------------------------------------------------------
// The round trip through both programs.

TEST(SkilldumpRoundTrip, GeneratedSkillLists)
{
    std::mt19937 Random(2026);
    std::vector<std::vector<TSkill>> Lists = {
        {},
        {{"", 0}},
        {{"", -1}, {"", 300}, {"", 65535}, {"", -32768}, {"", 32767}, {"", 128}},
    };
    std::vector<TSkill> EveryByte, AllBytesInOne(1);
    for (int Byte = 0; Byte < 256; ++Byte) {
        EveryByte.push_back({std::string(1, static_cast<char>(Byte)), Byte - 128});
        AllBytesInOne[0].Name += static_cast<char>(Byte);
    }
    Lists.push_back(EveryByte);
    Lists.push_back(AllBytesInOne);
    Lists.push_back({{RandomBytes(Random, 100000), 1}, {"", 0}, {RandomBytes(Random, 70000), -7}});
    std::vector<TSkill> Many;
    for (int I = 0; I < 5000; ++I)
        Many.push_back({RandomBytes(Random, Random() % 24), static_cast<std::int32_t>(Random() % 70000) - 35000});
    Lists.push_back(Many);
    for (int I = 0; I < 8; ++I) {
        std::vector<TSkill> List;
        for (std::uint32_t J = Random() % 40; J > 0; --J)
            List.push_back({RandomBytes(Random, Random() % 60), static_cast<std::int32_t>(Random())});
        Lists.push_back(List);
    }
    for (std::size_t I = 0; I < Lists.size(); ++I) {
        SCOPED_TRACE("list " + std::to_string(I));
        ExpectRoundTrip(SkillsXml(Lists[I]));
    }
}

TEST(SkilldumpRoundTrip, Example)
{
    std::ifstream In(EXAMPLES_DIR "/skills.xml", std::ios::binary);
    ASSERT_TRUE(In);
    std::ostringstream Xml;
    Xml << In.rdbuf();
    ExpectRoundTrip(Xml.str());
}

// ---------------------------------------------------------------------------
// The command: arguments, files, output and exit status.

TEST(SkilldumpProgram, ListsChecksAndExportsFilesFromMkskills)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", "<skills><skill name=\"abc\" useable=\"1\"/><skill name=\"d\xe9\" useable=\"-1\"/></skills>");
    ASSERT_EQ(RunProgram(Dir).ExitStatus, 0);
    const struct {
        std::vector<std::string> Args;
        std::string Out;
    } Cases[] = {
        {{},
         "Index  Offset  Length  Useable  Byte  Name\n"
         "    0       0       4        1     1  \"abc\"\n"
         "    1       4       3       -1   255  \"d\\xE9\"\n"
         "2 skills, 5 name bytes; skills.idx 24 bytes, skills.mul 7 bytes\n"},
        {{"--check"}, "skills.idx and skills.mul are sound: 2 skills\n"},
        {{"--check", "--xml", "."},
         "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<skills>\n"
         "  <skill name=\"abc\" useable=\"1\"/>\n  <skill name=\"d&#233;\" useable=\"255\"/>\n</skills>\n"},
    };
    for (const auto& Case : Cases) {
        const TDumpResult Run = RunDump(Dir, Case.Args);
        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Out, Case.Out);
        EXPECT_EQ(Run.Err, "");
    }
    // DIR given from elsewhere, and after "--".
    TScratchDir Elsewhere;
    EXPECT_EQ(RunDump(Elsewhere, {"--check", "--", Dir.Path().string()}).ExitStatus, 0);
}

TEST(SkilldumpProgram, BrokenFilesExitWithOne)
{
    TScratchDir Dir;
    Dir.Write("skills.idx", Index({Rec(0, 4), Rec(4, 9)}));
    Dir.Write("skills.mul", SoundData);

    const TDumpResult Check = RunDump(Dir, {"--check"});
    EXPECT_EQ(Check.ExitStatus, 1);
    EXPECT_EQ(Check.Out, "record 1: reaches past the end of skills.mul: Offset 4 and Length 9 end at 13, "
                         "the file has 7 bytes\n"
                         "skills.mul: 7 bytes, but the Lengths add up to 13 (6 fewer)\n"
                         "2 faults in skills.idx and skills.mul\n");

    const TDumpResult Strict = RunDump(Dir, {"--xml", "--check"});
    EXPECT_EQ(Strict.ExitStatus, 1);
    EXPECT_EQ(Strict.Out, "");
    EXPECT_NE(Strict.Err.find("skilldump: record 1: reaches past"), std::string::npos) << Strict.Err;

    // The listing and the export show what they can and say what they could not.
    for (const std::vector<std::string>& Args : {std::vector<std::string>{"--xml"}, std::vector<std::string>{}}) {
        const TDumpResult Run = RunDump(Dir, Args);
        EXPECT_EQ(Run.ExitStatus, 1);
        EXPECT_NE(Run.Out.find("abc"), std::string::npos);
        EXPECT_EQ(Run.Err.rfind("skilldump: 1 record could not be read", 0), 0u) << Run.Err;
    }

    // Readable but laid out differently: exported with a warning.
    Dir.Write("skills.idx", Index({Rec(4, 3), Rec(0, 4)}));
    const TDumpResult Export = RunDump(Dir, {"--xml"});
    EXPECT_EQ(Export.ExitStatus, 0);
    EXPECT_NE(Export.Out.find("<skill name=\"de\" useable=\"2\"/>\n  <skill name=\"abc\""), std::string::npos);
    EXPECT_EQ(Export.Err.rfind("skilldump: warning: ", 0), 0u) << Export.Err;
}

TEST(SkilldumpProgram, UsageAndFileErrorsExitWithTwo)
{
    TScratchDir Dir;
    Dir.Write("skills.idx", "");
    std::filesystem::create_directory(Dir.Path() / "only_index");
    std::filesystem::create_directory(Dir.Path() / "index_is_dir");
    std::filesystem::create_directory(Dir.Path() / "index_is_dir" / "skills.idx");
    Dir.Write("only_index/skills.idx", "");
    Dir.Write("index_is_dir/skills.mul", "");
    const struct {
        std::vector<std::string> Args;
        std::string Err;
    } Cases[] = {
        {{"--bogus"}, "skilldump: unknown option \"--bogus\"\n"},
        {{"-x"}, "skilldump: unknown option \"-x\"\n"},
        {{"a", "b"}, "skilldump: more than one DIR: \"a\" and \"b\"\n"},
        {{""}, "skilldump: DIR is empty\n"},
        {{"missing"}, "skilldump: cannot open missing/skills.idx: No such file or directory\n"},
        {{"only_index"}, "skilldump: cannot open only_index/skills.mul: No such file or directory\n"},
        {{"--check", "index_is_dir"}, "skilldump: cannot read index_is_dir/skills.idx: Is a directory\n"},
        {{"skills.idx"}, "skilldump: cannot open skills.idx/skills.idx: Not a directory\n"},
    };
    for (const auto& Case : Cases) {
        const TDumpResult Run = RunDump(Dir, Case.Args);
        EXPECT_EQ(Run.ExitStatus, 2);
        EXPECT_EQ(Run.Out, "");
        EXPECT_EQ(Run.Err.substr(0, Case.Err.size()), Case.Err);
    }

    // Output that cannot be written.
    TScratchDir Sound;
    Sound.Write("skills.idx", SoundIndex);
    Sound.Write("skills.mul", SoundData);
    const TDumpResult Full = RunDump(Sound, {}, true);
    EXPECT_EQ(Full.ExitStatus, 2);
    EXPECT_EQ(Full.Err, "skilldump: cannot write to standard output: No space left on device\n");
}

TEST(SkilldumpProgram, HelpAndVersion)
{
    TScratchDir Dir;
    for (const char* Help : {"--help", "-h"}) {
        const TDumpResult Run = RunDump(Dir, {"--check", Help, "--bogus"});
        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Out, SkilldumpHelp);
    }
    const TDumpResult Version = RunDump(Dir, {"--version"});
    EXPECT_EQ(Version.ExitStatus, 0);
    EXPECT_EQ(Version.Out, "skilldump 1.0\n");
    EXPECT_EQ(Version.Err, "");
}
