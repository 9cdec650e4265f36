#include "FuzzChecks.h"

#include "Driver.h"
#include "Exception.h"
#include "XMLReader.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const FixedReaderMessages[] = {
    "Unexpected end of data",
    "Missing element",
    "Elements nested too deeply",
    "Tag not terminated properly",
    "Equals sign missing in attribute",
    "Invalid character \"<\" in attribute value",
    "Character data cannot contain \"]]>\"",
    "End tag missing \">\"",
    "XML declaration not terminated with \"?>\"",
    "DocTypeDecl parsing not yet implemented",
    "Comments cannot end in \"--->\"",
    "Processing instruction does not contain valid name",
    "Processing instruction cannot have the reserved name \"xml\"",
    "Unterminated processing instruction",
    "Unrecognized reference",
};

const char* const BannerLines[] = {
    "mkskills - skill file builder, (c) 2026 the mkskills authors",
    "Contact: mkskills@example.org",
    "Web: https://mkskills.example.org/",
    "=================================",
    "Creating skill files...",
};

bool IsName(std::string_view Name)
{
    if (Name.empty() || !InSet(NameStartChars, static_cast<unsigned char>(Name[0])))
        return false;
    for (char C : Name)
        if (!InSet(NameChars, static_cast<unsigned char>(C)))
            return false;
    return true;
}

// Text is Prefix, a name and Suffix.
bool IsNameBetween(std::string_view Text, std::string_view Prefix, std::string_view Suffix)
{
    return Text.size() > Prefix.size() + Suffix.size() && Text.substr(0, Prefix.size()) == Prefix &&
           Text.substr(Text.size() - Suffix.size()) == Suffix &&
           IsName(Text.substr(Prefix.size(), Text.size() - Prefix.size() - Suffix.size()));
}

bool IsEndTagMismatch(std::string_view Message)
{
    constexpr std::string_view Prefix = "End tag name \"";
    constexpr std::string_view Middle = "\" does not match start tag name \"";
    if (Message.substr(0, Prefix.size()) != Prefix || Message.empty() || Message.back() != '"')
        return false;
    // Names hold no quotes, so the first quote after the prefix ends the first name.
    const std::size_t End = Message.find('"', Prefix.size());
    if (End == std::string_view::npos || Message.substr(End, Middle.size()) != Middle)
        return false;
    const std::string_view EndName = Message.substr(Prefix.size(), End - Prefix.size());
    const std::string_view StartName =
        Message.substr(End + Middle.size(), Message.size() - 1 - End - Middle.size());
    return IsName(EndName) && IsName(StartName) && EndName != StartName;
}

// "&", a reference text that starts with "#" and holds no ";", then ";".
bool IsInvalidReference(std::string_view Message)
{
    constexpr std::string_view Prefix = "Invalid integer in reference &#";
    if (Message.size() <= Prefix.size() || Message.substr(0, Prefix.size()) != Prefix ||
        Message.back() != ';')
        return false;
    return Message.substr(Prefix.size(), Message.size() - Prefix.size() - 1).find(';') ==
           std::string_view::npos;
}

bool IsTrimmed(std::string_view Text)
{
    return Text.empty() || (!InSet(WhitespaceChars, static_cast<unsigned char>(Text.front())) &&
                            !InSet(WhitespaceChars, static_cast<unsigned char>(Text.back())));
}

std::string CheckNode(const TXMLNode& Node, int Depth)
{
    const std::string Where = std::string(XMLNodeTypeNames[Node.NodeType < 5 ? Node.NodeType : 0]) +
                              " \"" + Node.Name + "\" at depth " + std::to_string(Depth) + ": ";
    if (Depth > MaxElementDepth + 1)
        return Where + "deeper than the nesting limit";
    bool SeenNonAttribute = false;
    int Elements = 0;
    for (std::size_t I = 0; I < Node.Children.size(); ++I) {
        const TXMLNode* Child = Node.Children[I];
        if (Child == nullptr)
            return Where + "empty child entry " + std::to_string(I);
        bool Allowed = false;
        switch (Node.NodeType) {
        case ntDocument:
            Allowed = Child->NodeType == ntElement || Child->NodeType == ntProcessingInstruction ||
                      (Child->NodeType == ntXMLDeclaration && I == 0);
            break;
        case ntElement:
            Allowed = Child->NodeType == ntElement || Child->NodeType == ntProcessingInstruction ||
                      Child->NodeType == ntAttribute;
            break;
        case ntXMLDeclaration:
            Allowed = Child->NodeType == ntAttribute;
            break;
        default:
            break;
        }
        if (!Allowed)
            return Where + "may not hold child " + std::to_string(I) + " of kind " +
                   std::to_string(Child->NodeType);
        if (Child->NodeType == ntAttribute && SeenNonAttribute)
            return Where + "attribute " + std::to_string(I) + " after other children";
        if (Child->NodeType != ntAttribute)
            SeenNonAttribute = true;
        if (Child->NodeType == ntElement)
            ++Elements;
        std::string Fault = CheckNode(*Child, Child->NodeType == ntElement ? Depth + 1 : Depth);
        if (!Fault.empty())
            return Fault;
    }
    switch (Node.NodeType) {
    case ntDocument:
        if (Elements != 1)
            return Where + std::to_string(Elements) + " root elements";
        if (!Node.Name.empty() || !Node.Value.empty())
            return Where + "has a name or a value";
        break;
    case ntElement:
        if (!IsName(Node.Name))
            return Where + "invalid name";
        if (!IsTrimmed(Node.Value))
            return Where + "value not trimmed";
        break;
    case ntAttribute:
        if (!IsName(Node.Name))
            return Where + "invalid name";
        break;
    case ntProcessingInstruction:
        if (!IsName(Node.Name) || Node.Name == "xml")
            return Where + "invalid target";
        if (Node.Value.find("?>") != std::string::npos)
            return Where + "data holds its terminator";
        break;
    case ntXMLDeclaration:
        if (!Node.Name.empty() || !Node.Value.empty())
            return Where + "has a name or a value";
        break;
    default:
        return Where + "unknown kind";
    }
    return {};
}

// Consumes Expected from the front of Text.
bool Consume(std::string_view& Text, std::string_view Expected)
{
    if (Text.substr(0, Expected.size()) != Expected)
        return false;
    Text.remove_prefix(Expected.size());
    return true;
}

// A skill line's number: the decimal text of a 16-bit value whose low 8 bits are Byte.
bool ConsumeUseable(std::string_view& Text, unsigned char Byte)
{
    std::size_t Length = Text.substr(0, 1) == "-" ? 1 : 0;
    const std::size_t DigitsStart = Length;
    while (Length < Text.size() && Length < DigitsStart + 6 && Text[Length] >= '0' && Text[Length] <= '9')
        ++Length;
    if (Length == DigitsStart)
        return false;
    const long Value = std::stol(std::string(Text.substr(0, Length)));
    if (Value < -32768 || Value > 32767 || std::to_string(Value) != Text.substr(0, Length))
        return false;
    if ((static_cast<unsigned long>(Value) & 0xFF) != Byte)
        return false;
    Text.remove_prefix(Length);
    return true;
}

} // namespace

std::string CheckSkillFiles(std::string_view Index, std::string_view Data, std::int64_t MaxDataSize,
                            std::vector<TIndexRecord>& Records)
{
    Records.clear();
    if (Index.size() % IndexRecordSize != 0)
        return "skills.idx holds a partial record";
    std::int64_t Offset = 0;
    for (std::size_t At = 0; At < Index.size(); At += IndexRecordSize) {
        const TIndexRecord Record = DecodeIndexRecord(Index.substr(At));
        const std::string Number = "record " + std::to_string(At / IndexRecordSize) + ": ";
        if (Record.Offset != Offset)
            return Number + "Offset " + std::to_string(Record.Offset) + ", expected " +
                   std::to_string(Offset);
        if (Record.Length < 1)
            return Number + "Length below 1";
        if (Record.Extra != IndexExtra)
            return Number + "Extra is not \"ZEB\" and a zero byte";
        Offset += Record.Length;
        if (Offset > MaxDataSize)
            return Number + "data passes the limit";
        Records.push_back(Record);
    }
    if (static_cast<std::int64_t>(Data.size()) != Offset)
        return "skills.mul holds " + std::to_string(Data.size()) + " bytes, the index " +
               std::to_string(Offset);
    return {};
}

bool IsReaderMessage(std::string_view Message)
{
    for (const char* Fixed : FixedReaderMessages)
        if (Message == Fixed)
            return true;
    return IsNameBetween(Message, "No ending tag for ", "") ||
           IsNameBetween(Message, "Attribute \"", "\" missing value") || IsEndTagMismatch(Message) ||
           IsInvalidReference(Message);
}

std::string CheckDocumentTree(const TXMLNode& Document)
{
    if (Document.NodeType != ntDocument)
        return "the parse gave a node that is not a document";
    return CheckNode(Document, 0);
}

std::string CheckRunOutcome(const TRunOutcome& Run)
{
    std::string_view Console = Run.Console;
    for (const char* Line : BannerLines)
        if (!Consume(Console, Line) || !Consume(Console, "\r\n"))
            return "banner missing";

    // The records: where both files exist, they must agree with each other.
    if (Run.Index.has_value() != Run.Data.has_value())
        return "only one of the two files exists";
    std::vector<TIndexRecord> Records;
    if (Run.Index) {
        const std::string& Data = *Run.Data;
        std::string Fault = CheckSkillFiles(*Run.Index, Data, Run.MaxDataSize, Records);
        if (!Fault.empty())
            return Fault;
        for (std::size_t I = 0; I < Records.size(); ++I) {
            const auto Start = static_cast<std::size_t>(Records[I].Offset);
            const auto Length = static_cast<std::size_t>(Records[I].Length);
            const std::string_view Name = std::string_view(Data).substr(Start + 1, Length - 1);
            if (!Consume(Console, Name) || !Consume(Console, " (Useable: ") ||
                !ConsumeUseable(Console, static_cast<unsigned char>(Data[Start])) ||
                !Consume(Console, "\r\n"))
                return "console line " + std::to_string(I) + " does not match its record";
        }
    }

    if (Run.ExitStatus == 0) {
        if (!Run.Index)
            return "a complete run without both files";
        if (!Console.empty())
            return "more console output than the skill lines";
        return {};
    }
    if (Run.ExitStatus != 1)
        return "exit status " + std::to_string(Run.ExitStatus);

    // The error report: "Exception <kind> in module <module> at <8 hex digits>.\n<message>[.]\r\n".
    const std::string Head = "Exception Exception in module " + Run.ModuleName + " at ";
    if (!Consume(Console, Head) || Console.size() < 9)
        return "error report missing";
    for (char C : Console.substr(0, 8))
        if (!((C >= '0' && C <= '9') || (C >= 'A' && C <= 'F')))
            return "code location is not eight upper-case hex digits";
    Console.remove_prefix(8);
    if (!Consume(Console, ".\n") || Console.size() < 3 || Console.substr(Console.size() - 2) != "\r\n")
        return "error report malformed";
    std::string_view Message = Console.substr(0, Console.size() - 2);
    if (Message.back() != '.')
        return "error report without its full stop";
    if (!IsReaderMessage(Message))
        Message.remove_suffix(1); // the report's own full stop
    const std::string Exceeds = "Skill data exceeds " + std::to_string(Run.MaxDataSize) + " bytes";
    if (IsReaderMessage(Message)) {
        if (Run.Index)
            return "a document the reader refused left output files";
        return {};
    }
    if (Message == "Node \"useable\" does not contain a valid integer" || Message == Exceeds) {
        if (!Run.Index)
            return "a failed skill left no output files";
        return {};
    }
    return "unexpected message: " + std::string(Message);
}

namespace {

// Small enough for a few short skills to pass it.
constexpr std::int64_t SmallDataLimit = 64;

bool ReadAll(int Fd, std::string& Text)
{
    char Buffer[65536];
    ssize_t Count;
    while ((Count = ::read(Fd, Buffer, sizeof Buffer)) > 0)
        Text.append(Buffer, static_cast<std::size_t>(Count));
    return Count == 0;
}

std::optional<std::string> ReadIfExists(const char* FileName)
{
    const int Fd = ::open(FileName, O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        return std::nullopt;
    std::string Text;
    const bool Read = ReadAll(Fd, Text);
    ::close(Fd);
    if (!Read)
        return std::nullopt;
    return Text;
}

bool WriteFile(const char* FileName, std::string_view Bytes)
{
    const int Fd = ::open(FileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (Fd < 0)
        return false;
    const bool Written = ::write(Fd, Bytes.data(), Bytes.size()) == static_cast<ssize_t>(Bytes.size());
    return ::close(Fd) == 0 && Written;
}

} // namespace

std::string CheckReaderInput(std::string_view Bytes)
{
    TXMLStringReader Reader{std::string(Bytes)};
    std::unique_ptr<TXMLNode> Document;
    try {
        Document = Reader.ParseDocument();
    } catch (const Exception& Error) {
        if (std::strcmp(Error.KindName(), "Exception") != 0)
            return std::string("error of kind ") + Error.KindName();
        if (!IsReaderMessage(Error.Message()))
            return "message \"" + std::string(Error.Message()) + "\"";
        return {};
    }
    return CheckDocumentTree(*Document); // the tree is destroyed on return, node by node
}

std::string CheckDriverInput(std::string_view Bytes, int ConsoleFd)
{
    ::unlink("skills.idx");
    ::unlink("skills.mul");
    if (!WriteFile("skills.xml", Bytes))
        return "cannot write skills.xml";
    if (::ftruncate(ConsoleFd, 0) != 0 || ::lseek(ConsoleFd, 0, SEEK_SET) != 0)
        return "cannot empty the console file";

    TRunOptions Options;
    Options.OutputFd = ConsoleFd;
    Options.MaxDataSize = Bytes.size() % 2 == 1 ? SmallDataLimit : MaxSkillDataSize;

    TRunOutcome Run;
    Run.ExitStatus = RunMkskills(Options);
    Run.MaxDataSize = Options.MaxDataSize;
    Run.ModuleName = Options.ModuleName;
    if (::lseek(ConsoleFd, 0, SEEK_SET) != 0 || !ReadAll(ConsoleFd, Run.Console))
        return "cannot read the console file back";
    Run.Index = ReadIfExists("skills.idx");
    Run.Data = ReadIfExists("skills.mul");
    return CheckRunOutcome(Run);
}
