// The character sets and the scanning primitives every production is built on.
#include "Exception.h"
#include "XMLReader.h"

namespace {

TCharSet BuildNameChars()
{
    TCharSet Set;
    for (unsigned char C = 'A'; C <= 'Z'; ++C)
        Set.set(C);
    for (unsigned char C = 'a'; C <= 'z'; ++C)
        Set.set(C);
    for (unsigned char C = '0'; C <= '9'; ++C)
        Set.set(C);
    Set.set(183);
    return Set | MakeCharSet("-.:_");
}

} // namespace

const TCharSet WhitespaceChars = MakeCharSet("\t\n\r ");
const TCharSet NameStartChars =
    MakeCharSet(":ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
const TCharSet NameChars = BuildNameChars();

void TXMLReader::Advance()
{
    if (AtEnd())
        RaiseError("Unexpected end of data");
    NextChar();
}

void TXMLReader::RaiseError(const std::string& Message)
{
    throw Exception(Message);
}

// Consumes Literal when the text continues with it. The match is reported early
// once the text's last character has become current: the rest of the literal
// is then not compared.
bool TXMLReader::MatchText(std::string_view Literal)
{
    if (Literal.empty())
        return false;
    // A literal whose first character differs is given back at once whatever the
    // source, so most tries in the content loop cost one comparison.
    if (static_cast<unsigned char>(Literal[0]) != CurrentChar)
        return false;
    return MatchLiteral(Literal);
}

bool TXMLReader::MatchLiteral(std::string_view Literal)
{
    TSavedState Saved(*this);
    bool Matched = false;
    for (std::size_t K = 0;; ++K) {
        Matched = static_cast<unsigned char>(Literal[K]) == CurrentChar;
        NextChar();
        if (!Matched || AtEnd() || K + 1 == Literal.size())
            break;
    }
    if (!Matched)
        Saved.Restore();
    return Matched;
}

bool TXMLReader::TakeRun(const TCharSet& Chars, std::string& Out, TRunStep Step)
{
    while (InSet(Chars, CurrentChar)) {
        Out += static_cast<char>(CurrentChar);
        if (Step == TRunStep::Advance) {
            Advance();
        } else {
            if (Step == TRunStep::KeepLast && AtEnd())
                return true;
            NextChar();
        }
    }
    return false;
}

bool TXMLReader::SkipWhitespace()
{
    bool Skipped = false;
    while (InSet(WhitespaceChars, CurrentChar)) {
        Skipped = true;
        NextChar();
        if (AtEnd())
            break;
    }
    return Skipped;
}

// Leaves Name untouched when no name starts here. A name's characters are
// consumed with Advance, so a name may not run to the end of the text.
bool TXMLReader::ReadName(std::string& Name)
{
    if (!InSet(NameStartChars, CurrentChar))
        return false;
    Name.clear();
    TakeRun(NameChars, Name, TRunStep::Advance);
    return true;
}

// The characters before the terminator's last one are taken as runs: only that
// character can complete the terminator.
std::string TXMLReader::ScanToTerminator(std::string_view Terminator)
{
    const TCharSet Run = ~MakeCharSet(Terminator.substr(Terminator.size() - 1));
    std::string Collected;
    for (;;) {
        if (TakeRun(Run, Collected, TRunStep::KeepLast))
            break; // the text's last character stays current
        Collected += static_cast<char>(CurrentChar); // the terminator's last character
        const bool Found = Collected.size() >= Terminator.size() &&
                           std::string_view(Collected).substr(Collected.size() - Terminator.size()) ==
                               Terminator;
        if (AtEnd())
            break;
        NextChar();
        if (Found)
            break;
    }
    return Collected;
}
