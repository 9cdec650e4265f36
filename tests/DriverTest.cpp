// The driver run in-process, where a test can set a small data-size limit and
// give the console any descriptor.
#include "Console.h"
#include "Driver.h"
#include "ProgramRunner.h"
#include "SkillFileChecks.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Makes Dir the working directory for the scope's lifetime.
class TWorkingDir {
public:
    explicit TWorkingDir(const TScratchDir& Dir) : Previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(Dir.Path());
    }
    ~TWorkingDir() { std::filesystem::current_path(Previous); }
    TWorkingDir(const TWorkingDir&) = delete;
    TWorkingDir& operator=(const TWorkingDir&) = delete;

private:
    std::filesystem::path Previous;
};

struct TDriverResult {
    int ExitStatus = -1;
    std::string Output;
};

const std::string Module = "driver-test";

// Runs the driver in Dir with the console going to a temporary file.
TDriverResult RunDriver(const TScratchDir& Dir, std::int64_t MaxDataSize)
{
    std::FILE* Console = std::tmpfile();
    if (Console == nullptr)
        throw std::runtime_error("tmpfile failed");
    TDriverResult Result;
    {
        TWorkingDir InDir(Dir);
        TRunOptions Options;
        Options.ModuleName = Module;
        Options.OutputFd = ::fileno(Console);
        Options.MaxDataSize = MaxDataSize;
        Result.ExitStatus = RunMkskills(Options);
    }
    std::rewind(Console);
    char Buffer[4096];
    std::size_t Count;
    while ((Count = std::fread(Buffer, 1, sizeof Buffer, Console)) > 0)
        Result.Output.append(Buffer, Count);
    std::fclose(Console);
    return Result;
}

std::string DocumentOf(const TSkills& Skills)
{
    std::string Document = "<skills>";
    for (const TSkill& Skill : Skills)
        Document += "<skill name=\"" + Skill.Name + "\" useable=\"" + std::to_string(Skill.Useable) + "\"/>";
    return Document + "</skills>";
}

} // namespace

TEST(Driver, DataSizeLimit)
{
    const TSkills Three = {{"abc", 1}, {"de", 2}, {"fgh", 3}}; // records end at 4, 7 and 11
    const TSkills LastEmpty = {{"abc", 1}, {"de", 2}, {"", 3}}; // ends at 4, 7 and 8
    const struct {
        TSkills Skills;
        std::int64_t Limit;
        std::size_t Kept; // all of them: a complete run
    } Cases[] = {
        {Three, 11, 3}, {Three, 10, 2}, {Three, 4, 1}, {Three, 3, 0}, {Three, 0, 0},
        {LastEmpty, 8, 3}, {LastEmpty, 7, 2},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE("limit " + std::to_string(Case.Limit) + ", " + DocumentOf(Case.Skills));
        TScratchDir Dir;
        Dir.Write("skills.xml", DocumentOf(Case.Skills));
        const TDriverResult Run = RunDriver(Dir, Case.Limit);
        const TSkills Kept(Case.Skills.begin(), Case.Skills.begin() + static_cast<std::ptrdiff_t>(Case.Kept));
        EXPECT_EQ(Dir.Read("skills.idx"), IndexFileOf(Kept));
        EXPECT_EQ(Dir.Read("skills.mul"), DataFileOf(Kept));
        if (Case.Kept == Case.Skills.size()) {
            EXPECT_EQ(Run.ExitStatus, 0);
            EXPECT_EQ(Run.Output, BannerText + LinesOf(Kept));
        } else {
            EXPECT_EQ(Run.ExitStatus, 1);
            ExpectReport(Run.Output, BannerText + LinesOf(Kept), "Exception",
                         "Skill data exceeds " + std::to_string(Case.Limit) + " bytes.", Module);
        }
    }
}

TEST(Driver, ConsoleFailureLeavesCompleteRecords)
{
    // A pipe that nobody reads, in non-blocking mode: once it is full, console
    // writes fail, somewhere among the skill lines.
    TSkills Skills;
    for (int I = 0; I < 20000; ++I)
        Skills.push_back({std::to_string(I) + std::string(100, 'x'), static_cast<std::int16_t>(I)});
    TScratchDir Dir;
    Dir.Write("skills.xml", DocumentOf(Skills));
    int Pipe[2];
    ASSERT_EQ(::pipe2(Pipe, O_CLOEXEC | O_NONBLOCK), 0);
    int ExitStatus = -1;
    {
        TWorkingDir InDir(Dir);
        TRunOptions Options;
        Options.OutputFd = Pipe[1];
        ExitStatus = RunMkskills(Options);
    }
    std::string Output;
    char Buffer[4096];
    ssize_t Count;
    while ((Count = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0)
        Output.append(Buffer, static_cast<std::size_t>(Count));
    ::close(Pipe[0]);
    ::close(Pipe[1]);

    EXPECT_EQ(ExitStatus, 1);
    const std::vector<std::string> Records = RecordsOf(Dir.Read("skills.idx"), Dir.Read("skills.mul"));
    ASSERT_LE(Records.size(), Skills.size());
    for (std::size_t I = 0; I < Records.size(); ++I)
        ASSERT_EQ(Records[I], DataRecordOf(Skills[I])) << "record " << I;
    // Every line that got out names a skill whose records are stored.
    ASSERT_EQ(Output.substr(0, BannerText.size()), BannerText);
    const std::string Shown = Output.substr(BannerText.size());
    const std::string Stored =
        LinesOf(TSkills(Skills.begin(), Skills.begin() + static_cast<std::ptrdiff_t>(Records.size())));
    EXPECT_LE(Shown.size(), Stored.size());
    EXPECT_TRUE(Stored.compare(0, Shown.size(), Shown) == 0) << Shown.size() << " bytes shown";
}

TEST(Driver, ConsoleErrorMessages)
{
    const struct {
        int ErrorNumber;
        const char* Message;
    } Cases[] = {
        {ENOENT, "File not found"},      {ENOTDIR, "Invalid filename"},
        {EMFILE, "Too many open files"}, {EACCES, "File access denied"},
        {EPERM, "File access denied"},   {ENOSPC, "I/O error 28"},
        {EPIPE, "I/O error 32"},         {EBADF, "I/O error 9"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ConsoleErrorMessage(Case.ErrorNumber), Case.Message) << Case.ErrorNumber;
}
