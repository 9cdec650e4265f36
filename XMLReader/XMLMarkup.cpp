// The XML declaration, the refused document type, comments and processing instructions.
#include "Exception.h"
#include "XMLReader.h"

namespace {

bool EndsWith(std::string_view Text, std::string_view Tail)
{
    return Text.size() >= Tail.size() && Text.substr(Text.size() - Tail.size()) == Tail;
}

} // namespace

// Pseudo-attributes are read as element attributes and not validated.
void TXMLReader::ParseXMLDecl(TXMLNode& Document)
{
    if (!MatchText("<?xml"))
        return;
    auto Declaration = std::make_unique<TXMLNode>();
    Declaration->NodeType = ntXMLDeclaration;
    do {
        SkipWhitespace();
    } while (ParseAttribute(*Declaration));
    SkipWhitespace();
    if (!MatchText("?>"))
        RaiseError("XML declaration not terminated with \"?>\"");
    Document.AddChild(std::move(Declaration));
}

void TXMLReader::ParseDocTypeDecl()
{
    if (MatchText("<!DOCTYPE"))
        RaiseError("DocTypeDecl parsing not yet implemented");
}

// A comment leaves nothing in the tree. One that runs to the end of the text
// ends there without error; the caller's grammar decides what follows.
bool TXMLReader::ParseComment()
{
    if (!MatchText("<!--"))
        return false;
    if (EndsWith(ScanToTerminator("-->"), "--->"))
        RaiseError("Comments cannot end in \"--->\"");
    return true;
}

bool TXMLReader::ParsePI(TXMLNode& Node)
{
    if (!MatchText("<?"))
        return false;
    std::string Target;
    if (!ReadName(Target))
        RaiseError("Processing instruction does not contain valid name");
    if (Target == "xml")
        RaiseError("Processing instruction cannot have the reserved name \"xml\"");
    auto Instruction = std::make_unique<TXMLNode>();
    Instruction->NodeType = ntProcessingInstruction;
    Instruction->Name = std::move(Target);
    SkipWhitespace();
    std::string Data = ScanToTerminator("?>");
    if (!EndsWith(Data, "?>"))
        RaiseError("Unterminated processing instruction");
    Data.resize(Data.size() - 2);
    Instruction->Value = std::move(Data);
    Node.AddChild(std::move(Instruction));
    return true;
}
