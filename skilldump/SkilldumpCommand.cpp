#include "SkilldumpCommand.h"

#include "SkillDump.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <unistd.h>

#ifndef SKILLDUMP_VERSION
#define SKILLDUMP_VERSION "unknown"
#endif

const char* const SkilldumpHelp =
    "Usage: skilldump [--check] [--xml] [DIR]\n"
    "Shows, checks or turns back into XML the skill files skills.idx and skills.mul\n"
    "that mkskills writes, read from DIR (default: the current directory).\n"
    "\n"
    "  (no option)    list every record, then a summary line\n"
    "  --check        check both files against what mkskills writes and name each\n"
    "                 fault with its record's index\n"
    "  --xml          print a skills.xml from which mkskills writes the same records\n"
    "  --check --xml  print the skills.xml only when the check finds no fault; the\n"
    "                 faults go to standard error\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "  --             take the next argument as DIR even if it begins with \"-\"\n"
    "\n"
    "Names are listed between double quotes with \\\\, \\\" and \\xNN escapes for the\n"
    "backslash, the double quote and every byte outside printable ASCII.\n"
    "\n"
    "Exit status: 0 done (with --check: the files are sound); 1 the files are not\n"
    "sound (--check) or some records could not be read; 2 usage error, a file that\n"
    "cannot be read, or standard output cannot be written.\n";

namespace {

const char* const Program = "skilldump";

struct TOptions {
    bool Check = false;
    bool Xml = false;
    std::optional<std::string> Dir;
};

class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string PathOf(const TOptions& Options, const char* FileName)
{
    if (!Options.Dir)
        return FileName;
    return (std::filesystem::path(*Options.Dir) / FileName).string();
}

std::string LoadFile(const std::string& Path)
{
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        throw TFileError("cannot open " + Path + ": " + std::strerror(errno));
    std::string Bytes;
    char Buffer[65536];
    for (;;) {
        const ssize_t Count = ::read(Fd, Buffer, sizeof Buffer);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0) {
            const int Error = errno;
            ::close(Fd);
            throw TFileError("cannot read " + Path + ": " + std::strerror(Error));
        }
        if (Count == 0)
            break;
        try {
            Bytes.append(Buffer, static_cast<std::size_t>(Count));
        } catch (...) {
            ::close(Fd);
            throw TFileError("cannot read " + Path + ": too large for memory");
        }
    }
    ::close(Fd);
    return Bytes;
}

std::string Count(std::uint64_t Number, const char* Singular, const char* Plural)
{
    return std::to_string(Number) + " " + (Number == 1 ? Singular : Plural);
}

// Reports on Err what a listing or an export could not show.
void ReportGaps(const TDumpGaps& Gaps, std::ostream& Err, const char* Consequence)
{
    if (Gaps.UnreadableRecords > 0)
        Err << Program << ": " << Count(Gaps.UnreadableRecords, "record", "records")
            << " could not be read" << Consequence << "; skilldump --check tells why\n";
    if (Gaps.IncompleteBytes > 0)
        Err << Program << ": skills.idx ends with " << Count(Gaps.IncompleteBytes, "byte", "bytes")
            << " of an incomplete record\n";
}

int Run(const TOptions& Options, std::ostream& Out, std::ostream& Err)
{
    const std::string Index = LoadFile(PathOf(Options, IndexFileName));
    const std::string Data = LoadFile(PathOf(Options, DataFileName));
    const TSkillFiles Files{Index, Data};
    const std::uint64_t Skills = IndexRecordCount(Index.size());

    if (Options.Check && Options.Xml) {
        const std::uint64_t Faults = CheckSkillFiles(
            Files, [&](const TFault& Fault) { Err << Program << ": " << Fault.Text << '\n'; });
        if (Faults > 0) {
            Err << Program << ": " << Count(Faults, "fault", "faults") << ", so no skills.xml is written\n";
            return ExitFaults;
        }
        WriteSkillsXml(Files, Out);
        return ExitSuccess;
    }
    if (Options.Check) {
        const std::uint64_t Faults =
            CheckSkillFiles(Files, [&](const TFault& Fault) { Out << Fault.Text << '\n'; });
        if (Faults > 0) {
            Out << Count(Faults, "fault", "faults") << " in skills.idx and skills.mul\n";
            return ExitFaults;
        }
        Out << "skills.idx and skills.mul are sound: " << Count(Skills, "skill", "skills") << '\n';
        return ExitSuccess;
    }
    if (Options.Xml) {
        const TDumpGaps Gaps = WriteSkillsXml(Files, Out);
        if (!Gaps.Complete()) {
            ReportGaps(Gaps, Err, ", the XML holds an empty skill in place of each");
            return ExitFaults;
        }
        if (CheckSkillFiles(Files, [](const TFault&) {}) > 0)
            Err << Program
                << ": warning: the files are not laid out as mkskills writes them, so mkskills will"
                   " write these skills differently; skilldump --check tells where\n";
        return ExitSuccess;
    }
    const TDumpGaps Gaps = WriteListing(Files, Out);
    if (!Gaps.Complete()) {
        ReportGaps(Gaps, Err, "");
        return ExitFaults;
    }
    return ExitSuccess;
}

} // namespace

int RunSkilldump(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err)
{
    try {
        TOptions Options;
        bool OptionsEnd = false;
        for (const std::string& Arg : Args) {
            if (!OptionsEnd && Arg.size() > 1 && Arg[0] == '-') {
                if (Arg == "--") {
                    OptionsEnd = true;
                } else if (Arg == "--check") {
                    Options.Check = true;
                } else if (Arg == "--xml") {
                    Options.Xml = true;
                } else if (Arg == "--help" || Arg == "-h") {
                    Out << SkilldumpHelp;
                    return ExitSuccess;
                } else if (Arg == "--version") {
                    Out << Program << " " << SKILLDUMP_VERSION << '\n';
                    return ExitSuccess;
                } else {
                    throw TUsageError("unknown option \"" + EscapeBytes(Arg) + "\"");
                }
            } else if (Options.Dir) {
                throw TUsageError("more than one DIR: \"" + EscapeBytes(*Options.Dir) + "\" and \"" +
                                  EscapeBytes(Arg) + "\"");
            } else if (Arg.empty()) {
                throw TUsageError("DIR is empty");
            } else {
                Options.Dir = Arg;
            }
        }
        return Run(Options, Out, Err);
    } catch (const TUsageError& Error) {
        Err << Program << ": " << Error.what() << "\nUsage: skilldump [--check] [--xml] [DIR]; "
            << "skilldump --help tells more\n";
    } catch (const TFileError& Error) {
        Err << Program << ": " << Error.what() << '\n';
    } catch (const std::bad_alloc&) {
        Err << Program << ": out of memory\n";
    }
    return ExitUsageOrFile;
}
