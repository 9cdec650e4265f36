#include "Driver.h"

#include "Console.h"
#include "HostErrors.h"
#include "SkillFileWriter.h"
#include "XMLReader.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <unistd.h>

namespace {

const char* const Banner[] = {
    "mkskills - skill file builder, (c) 2026 the mkskills authors",
    "Contact: mkskills@example.org",
    "Web: https://mkskills.example.org/",
    "=================================",
    "Creating skill files...",
};

const char* const InputFileName = "skills.xml";

// Console lines and records are written out in pieces of about this size.
constexpr std::size_t OutputChunkSize = 1 << 20;

// The tree lives until the process ends: the system takes it back at once,
// where a node-by-node teardown would only cost time.
TXMLNode* KeptDocument = nullptr;

// The skill list is the document's one root element, wherever it stands among
// the declaration and processing instructions.
const TXMLNode& FindSkillList(const TXMLNode& Document)
{
    for (const TXMLNode* Child : Document.Children)
        if (Child->NodeType == ntElement)
            return *Child;
    return Document.GetChild(0); // not reached: a parsed document always has its root
}

void WriteSkills(const TXMLNode& SkillList, TSkillFileWriter& Files, TConsole& Console)
{
    std::string Name;
    for (const TXMLNode* Skill : SkillList.Children) {
        if (Skill->NodeType != ntElement)
            continue; // the root's attributes and processing instructions are not skills
        std::int16_t Useable = 0;
        Skill->ReadString("name", Name);
        Skill->ReadSmallInt("useable", Useable);
        Files.Add(Useable, Name);
        Console.WriteLine(Name + " (Useable: " + std::to_string(Useable));
        if (Files.PendingSize() >= OutputChunkSize || Console.PendingSize() >= OutputChunkSize) {
            Files.Commit(); // records first, so no line is shown before its record is stored
            Console.Flush();
        }
    }
}

void Run(TConsole& Console, const TRunOptions& Options)
{
    for (const char* Line : Banner) {
        Console.WriteLine(Line);
        Console.Flush();
    }
    std::unique_ptr<TXMLNode> Document;
    {
        TXMLStringReader Reader(LoadTextFile(InputFileName));
        Document = Reader.ParseDocument();
    }
    const TXMLNode& SkillList = FindSkillList(*Document);

    TSkillFileWriter Files(Options.MaxDataSize);
    try {
        WriteSkills(SkillList, Files, Console);
        Files.Close();
    } catch (...) {
        // Complete records of the skills before the failing one stay in the files.
        try {
            Files.Commit();
        } catch (...) {
        }
        // Lines not yet shown whose records a failed write took back are not shown.
        if (Files.HasFailed())
            Console.DropPending();
        throw;
    }
    Console.Flush();
    delete KeptDocument;
    KeptDocument = Document.release();
}

// Code locations are shown relative to a fixed point of the program, so that
// the same error gives the same report on every run.
std::string FormatLocation(const void* Location)
{
    const auto Anchor = reinterpret_cast<std::uintptr_t>(&FormatLocation);
    const auto Address = static_cast<std::uint32_t>(
        reinterpret_cast<std::uintptr_t>(Location) - Anchor + 0x00401000u);
    static const char Digits[] = "0123456789ABCDEF";
    std::string Text(8, '0');
    for (int I = 7, Shift = 0; I >= 0; --I, Shift += 4)
        Text[static_cast<std::size_t>(I)] = Digits[(Address >> Shift) & 0xF];
    return Text;
}

void Report(TConsole& Console, const TRunOptions& Options, const char* KindName,
            const std::string& Message, const void* Location) noexcept
{
    try {
        Console.Flush(); // the report follows every line already printed
    } catch (...) {
    }
    try {
        std::string Text = "Exception " + std::string(KindName) + " in module " + Options.ModuleName +
                           " at " + FormatLocation(Location) + ".\n" + Message;
        if (!Message.empty() && Message.back() != '.')
            Text += '.';
        Text += "\r\n";
        Console.WriteUnchecked(Text);
    } catch (...) {
        Console.WriteUnchecked("Out of memory.\r\n");
    }
}

} // namespace

std::string LoadTextFile(const std::string& FileName)
{
    const int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        throw EFileOpenError("Cannot open file " + FileName);
    std::string Text;
    char Buffer[65536];
    for (;;) {
        const ssize_t Count = ::read(Fd, Buffer, sizeof Buffer);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0) {
            ::close(Fd);
            throw EReadError("Cannot read file " + FileName);
        }
        if (Count == 0)
            break;
        try {
            Text.append(Buffer, static_cast<std::size_t>(Count));
        } catch (...) {
            ::close(Fd);
            throw;
        }
    }
    ::close(Fd);
    return Text;
}

int RunMkskills(const TRunOptions& Options)
{
    TConsole Console(Options.OutputFd);
    try {
        Run(Console, Options);
        return 0;
    } catch (const Exception& Error) {
        Report(Console, Options, Error.KindName(), Error.Message(), Error.Location);
    } catch (const std::bad_alloc&) {
        Report(Console, Options, "EOutOfMemory", "Out of memory",
               reinterpret_cast<const void*>(&RunMkskills));
    } catch (const std::length_error&) {
        Report(Console, Options, "EOutOfMemory", "Out of memory",
               reinterpret_cast<const void*>(&RunMkskills));
    }
    return 1;
}
