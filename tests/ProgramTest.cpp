// The built mkskills, run in scratch directories: both files byte for byte, the
// console, the error report and the exit status.
#include "ProgramRunner.h"
#include "SkillFileChecks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const std::string Sentinel = "left by an earlier run";

// Runs Document and expects a complete run that stored exactly Skills.
void ExpectSkills(const std::string& Document, const TSkills& Skills)
{
    SCOPED_TRACE(Document);
    TScratchDir Dir;
    Dir.Write("skills.xml", Document);
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Output, BannerText + LinesOf(Skills));
    EXPECT_EQ(Dir.Read("skills.idx"), IndexFileOf(Skills));
    EXPECT_EQ(Dir.Read("skills.mul"), DataFileOf(Skills));
}

// A root element holding one skill element per name, with useable 1.
std::string DocumentOf(const std::vector<std::string>& Names)
{
    std::string Document = "<skills>\n";
    for (const std::string& Name : Names)
        Document += "  <skill name=\"" + Name + "\" useable=\"1\"/>\n";
    return Document + "</skills>\n";
}

std::string Nested(int Depth)
{
    std::string Text;
    for (int I = 0; I < Depth; ++I)
        Text += "<a>";
    for (int I = 0; I < Depth; ++I)
        Text += "</a>";
    return Text;
}

} // namespace

TEST(Program, OneSkill)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", "<skills><skill name=\"abc\" useable=\"1\"/></skills>");
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Output, BannerText + "abc (Useable: 1\r\n");
    EXPECT_EQ(Dir.Read("skills.idx"), std::string("\0\0\0\0\4\0\0\0ZEB\0", 12));
    EXPECT_EQ(Dir.Read("skills.mul"), "\1abc");
}

TEST(Program, SecondSkillStartsWhereTheFirstEnds)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", "<skills><skill name=\"abc\" useable=\"1\"/>"
                            "<skill name=\"de\" useable=\"2\"/></skills>");
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Output, BannerText + "abc (Useable: 1\r\nde (Useable: 2\r\n");
    EXPECT_EQ(Dir.Read("skills.idx"), "\0\0\0\0\4\0\0\0ZEB\0"
                                      "\4\0\0\0\3\0\0\0ZEB\0"s);
    EXPECT_EQ(Dir.Read("skills.mul"), "\1abc\2de");
}

TEST(Program, Documents)
{
    const struct {
        std::string Document;
        TSkills Skills;
    } Cases[] = {
        {"<skills><skill useable=\"5\"/></skills>", {{"", 5}}},
        {"<skills><skill name=\"abc\"/></skills>", {{"abc", 0}}},
        {"<skills><skill name=\"a\" useable=\"300\"/><skill name=\"b\" useable=\"-1\"/>"
         "<skill name=\"c\" useable=\"65535\"/></skills>",
         {{"a", 300}, {"b", -1}, {"c", -1}}},
        {"<skills><skill name=\"x\" useable=\"32768\"/><skill name=\"y\" useable=\"$1FF\"/></skills>",
         {{"x", -32768}, {"y", 511}}},
        // The attribute comes first among the skill's children, so it wins.
        {"<skills><skill name=\"attr\"><name>child</name></skill></skills>", {{"attr", 0}}},
        {"<skills><skill Name=\"x\" useable=\"2\"><NAME>y</NAME></skill></skills>", {{"", 2}}},
        {"<skills>\n <skill>\n  <name> Fire ball\t</name>\n  <useable> 7 </useable>\n </skill>\n</skills>",
         {{"Fire ball", 7}}},
        {"<skills><skill name=\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xFF\" useable=\"1\"/></skills>",
         {{"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xFF", 1}}},
        {"<skills><skill name=\"a&amp;b &lt;&#65;&#x42;&gt;\"/></skills>", {{"a&b <AB>", 0}}},
        {"<skills><skill name=\"a\0b\0\" useable=\"1\"/></skills>"s, {{"a\0b\0"s, 1}}},
        {"<skills><skill name=\"a\" useable=\" 7\0junk\"/></skills>"s, {{"a", 7}}},
        {"<skills></skills>", {}},
        {"<skills/>", {}},
        {"<skills>\n  just text\n</skills>", {}},
        // Every element child of the root is a skill, whatever its name.
        {"<list><one name=\"a\"/><two name=\"b\"/></list>", {{"a", 0}, {"b", 0}}},
        // Root attributes, processing instructions and comments are not skills;
        // an empty element is.
        {"<skills version=\"2\" count=\"3\"><?note not a skill?><skill name=\"a\" useable=\"1\"/>"
         "<!-- nor this --><?x?><skill/><skill name=\"c\"/></skills>",
         {{"a", 1}, {"", 0}, {"c", 0}}},
        {"<!-- before --><?style sheet?>\n<skills><skill name=\"a\" useable=\"3\"/></skills>\n"
         "<?after it?><!-- after -->",
         {{"a", 3}}},
        {"<?xml version=\"1.0\"?><skills><skill name=\"a\"/></skills>", {{"a", 0}}},
    };
    for (const auto& Case : Cases)
        ExpectSkills(Case.Document, Case.Skills);
}

TEST(Program, DeclarationChangesNothing)
{
    const std::string Body = "<skills>\n  <skill name=\"Archery\" useable=\"1\"/>\n"
                             "  <skill name=\"Cooking\" useable=\"0\"/>\n</skills>\n";
    TScratchDir Plain;
    TScratchDir Declared;
    Plain.Write("skills.xml", Body);
    Declared.Write("skills.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + Body);
    const TRunResult PlainRun = RunProgram(Plain);
    const TRunResult DeclaredRun = RunProgram(Declared);
    EXPECT_EQ(PlainRun.ExitStatus, 0);
    EXPECT_EQ(DeclaredRun.ExitStatus, 0);
    EXPECT_EQ(DeclaredRun.Output, PlainRun.Output);
    EXPECT_EQ(Declared.Read("skills.idx"), Plain.Read("skills.idx"));
    EXPECT_EQ(Declared.Read("skills.mul"), Plain.Read("skills.mul"));
    EXPECT_EQ(Plain.Read("skills.mul"), "\1Archery\0Cooking"s);
}

TEST(Program, EveryByteValueInAName)
{
    std::string References;
    std::string Name;
    for (int Byte = 0; Byte < 256; ++Byte) {
        References += "&#" + std::to_string(Byte) + ";";
        Name += static_cast<char>(Byte);
    }
    ExpectSkills("<skills><skill name=\"" + References + "\" useable=\"9\"/>"
                 "<skill><name>" + References + "</name></skill></skills>",
                 {{Name, 9}, {Name, 0}});
}

TEST(Program, InputSizes)
{
    // Sizes around the reading blocks; the name cycles through letters and NUL
    // so that a lost, doubled or shifted block shows.
    const std::string Head = "<skills><skill useable=\"1\" name=\"";
    const std::string Tail = "\"/></skills>\n";
    for (const std::size_t Size : {1023u, 1024u, 1025u, 4097u, 65535u, 65536u, 65537u, 200003u}) {
        std::string Name;
        for (std::size_t I = 0; I < Size - Head.size() - Tail.size(); ++I)
            Name += I % 27 == 26 ? '\0' : static_cast<char>('a' + I % 27);
        SCOPED_TRACE(Size);
        ExpectSkills(Head + Name + Tail, {{Name, 1}});
    }
}

TEST(Program, NestingDepth)
{
    // Levels count from the root as 1: the root's child is the one skill.
    ExpectSkills(Nested(1000), {{"", 0}});
    for (const int Depth : {1001, 100000}) {
        TScratchDir Dir;
        Dir.Write("skills.xml", Nested(Depth));
        const TRunResult Run = RunProgram(Dir);
        EXPECT_EQ(Run.ExitStatus, 1) << Depth;
        ExpectReport(Run.Output, BannerText, "Exception", "Elements nested too deeply.");
        EXPECT_FALSE(Dir.Exists("skills.idx"));
        EXPECT_FALSE(Dir.Exists("skills.mul"));
    }
}

TEST(Program, RefusedDocumentLeavesFilesUntouched)
{
    const struct {
        std::string Document;
        std::string Message; // as printed
    } Cases[] = {
        {"", "Unexpected end of data."},
        {"   \n", "Missing element."},
        {"<skills><skill name=\"a\"", "Unexpected end of data."},
        {"<skills><skill name=\"a\"/>", "No ending tag for skills."},
                // A message that ends in "." gets no second one.
        {"<skills.></>", "No ending tag for skills."},
        {"<skills></Skills>", "End tag name \"Skills\" does not match start tag name \"skills\"."},
        {"<skills><skill name=\"a<b\"/></skills>", "Invalid character \"<\" in attribute value."},
        {"<!DOCTYPE skills><skills/>", "DocTypeDecl parsing not yet implemented."},
        {"<skills><skill name=\"&nbsp;\"/></skills>", "Unrecognized reference."},
        {"<skills><skill name=\"&#x;\"/></skills>", "Invalid integer in reference &#x;."},
        {"<?xml version=\"1.0\"><skills/>", "XML declaration not terminated with \"?>\"."},
        // NUL ends character data and names as the end of the text would.
        {"<skills>\0<skill/></skills>"s, "No ending tag for skills."},
        {"<ski\0lls/>"s, "Tag not terminated properly."},
        // A byte-order mark is not skipped.
        {"\xEF\xBB\xBF<skills/>", "Missing element."},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Document);
        TScratchDir Dir;
        Dir.Write("skills.xml", Case.Document);
        Dir.Write("skills.idx", Sentinel + " (index)");
        Dir.Write("skills.mul", Sentinel + " (data)");
        const TRunResult Run = RunProgram(Dir);
        EXPECT_EQ(Run.ExitStatus, 1);
        ExpectReport(Run.Output, BannerText, "Exception", Case.Message);
        EXPECT_EQ(Dir.Read("skills.idx"), Sentinel + " (index)");
        EXPECT_EQ(Dir.Read("skills.mul"), Sentinel + " (data)");
    }
}

TEST(Program, BadUseableKeepsEarlierSkills)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", "<skills><skill name=\"abc\" useable=\"1\"/><skill name=\"de\" useable=\"-2\"/>"
                            "<skill name=\"bad\" useable=\"12x\"/><skill name=\"after\"/></skills>");
    const TSkills Kept = {{"abc", 1}, {"de", -2}};
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 1);
    ExpectReport(Run.Output, BannerText + LinesOf(Kept), "Exception",
                 "Node \"useable\" does not contain a valid integer.");
    EXPECT_EQ(Dir.Read("skills.idx"), IndexFileOf(Kept));
    EXPECT_EQ(Dir.Read("skills.mul"), DataFileOf(Kept));
}

TEST(Program, MissingInput)
{
    TScratchDir Dir;
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 1);
    ExpectReport(Run.Output, BannerText, "EFileOpenError", "Cannot open file skills.xml.");
    EXPECT_FALSE(Dir.Exists("skills.idx"));
    EXPECT_FALSE(Dir.Exists("skills.mul"));
}

TEST(Program, InputIsADirectory)
{
    TScratchDir Dir;
    std::filesystem::create_directory(Dir.Path() / "skills.xml");
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 1);
    ExpectReport(Run.Output, BannerText, "EReadError", "Cannot read file skills.xml.");
    EXPECT_FALSE(Dir.Exists("skills.idx"));
    EXPECT_FALSE(Dir.Exists("skills.mul"));
}

TEST(Program, IndexFileCannotBeCreated)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", DocumentOf({"abc"}));
    Dir.Write("skills.mul", Sentinel);
    std::filesystem::create_directory(Dir.Path() / "skills.idx");
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 1);
    ExpectReport(Run.Output, BannerText, "EFileCreateError", "Cannot create file skills.idx.");
    EXPECT_EQ(Dir.Read("skills.mul"), ""); // created first, so already truncated
    EXPECT_TRUE(std::filesystem::is_directory(Dir.Path() / "skills.idx"));
}

TEST(Program, DataFileCannotBeCreated)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", DocumentOf({"abc"}));
    Dir.Write("skills.idx", Sentinel);
    std::filesystem::create_directory(Dir.Path() / "skills.mul");
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 1);
    ExpectReport(Run.Output, BannerText, "EFileCreateError", "Cannot create file skills.mul.");
    EXPECT_EQ(Dir.Read("skills.idx"), Sentinel);
}

TEST(Program, NoUsableStandardOutput)
{
    for (const TStdout Stdout : {TStdout::DevFull, TStdout::Closed}) {
        TScratchDir Dir;
        Dir.Write("skills.xml", DocumentOf({"abc"}));
        TRunSetup Setup;
        Setup.Stdout = Stdout;
        EXPECT_EQ(RunProgram(Dir, Setup).ExitStatus, 1);
        EXPECT_FALSE(Dir.Exists("skills.idx"));
        EXPECT_FALSE(Dir.Exists("skills.mul"));
    }
}

TEST(Program, WriteFailureLeavesMatchingRecords)
{
    // Long names fill the data file first; empty names fill the index file first.
    std::vector<std::string> LongNames;
    for (int I = 0; I < 3000; ++I)
        LongNames.push_back(std::to_string(I) + std::string(1000, 'x'));
    const std::vector<std::string> EmptyNames(200000, "");
    const struct {
        std::vector<std::string> Names;
        std::uint64_t Limit;
        std::string FailedFile;
    } Cases[] = {
        {{"abc", "de"}, 2, "skills.mul"},
        {LongNames, 1536 * 1024, "skills.mul"},
        {EmptyNames, 1536 * 1024, "skills.idx"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.FailedFile + " limit " + std::to_string(Case.Limit));
        TScratchDir Dir;
        Dir.Write("skills.xml", DocumentOf(Case.Names));
        TRunSetup Setup;
        Setup.FileSizeLimit = Case.Limit;
        const TRunResult Run = RunProgram(Dir, Setup);
        EXPECT_EQ(Run.ExitStatus, 1);

        const std::vector<std::string> Records = RecordsOf(Dir.Read("skills.idx"), Dir.Read("skills.mul"));
        ASSERT_LT(Records.size(), Case.Names.size());
        TSkills Kept;
        for (std::size_t I = 0; I < Records.size(); ++I) {
            Kept.push_back({Case.Names[I], 1});
            EXPECT_EQ(Records[I], DataRecordOf(Kept.back())) << "record " << I;
        }
        // The console shows no skill whose records are not in the files.
        ExpectReport(Run.Output, BannerText + LinesOf(Kept), "EWriteError",
                     "Cannot write file " + Case.FailedFile + ".");
    }
}

TEST(Program, SecondRun)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", DocumentOf({"Alchemy", "Blacksmithy", "Carpentry"}));
    ASSERT_EQ(RunProgram(Dir).ExitStatus, 0);
    const std::string Index = Dir.Read("skills.idx");
    const std::string Data = Dir.Read("skills.mul");
    ASSERT_EQ(RunProgram(Dir).ExitStatus, 0);
    EXPECT_EQ(Dir.Read("skills.idx"), Index);
    EXPECT_EQ(Dir.Read("skills.mul"), Data);

    Dir.Write("skills.xml", DocumentOf({"Al"}));
    ASSERT_EQ(RunProgram(Dir).ExitStatus, 0);
    EXPECT_EQ(Dir.Read("skills.idx"), IndexFileOf({{"Al", 1}}));
    EXPECT_EQ(Dir.Read("skills.mul"), "\1Al");
}
