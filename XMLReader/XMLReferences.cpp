// CDATA sections and entity and character references.
#include "Exception.h"
#include "XMLReader.h"

namespace {

// The character of one of the five predefined entities, compared exactly.
bool TryEntityChar(std::string_view Name, char& Char)
{
    static constexpr std::pair<std::string_view, char> Entities[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
    };
    for (const auto& [EntityName, EntityChar] : Entities) {
        if (Name == EntityName) {
            Char = EntityChar;
            return true;
        }
    }
    return false;
}

// "#x" digits are read in the "$" form, so nothing may stand between the
// prefix and the digits; after a plain "#" the whole integer text applies.
bool TryCharCode(const std::string& Reference, std::int32_t& Number)
{
    if (Reference.compare(0, 2, "#x") == 0) {
        std::string Hexadecimal = "$";
        Hexadecimal.append(Reference, 2);
        return TryTextToInteger(Hexadecimal, Number);
    }
    return TryTextToInteger(std::string_view(Reference).substr(1), Number);
}

} // namespace

// The section's text joins the element's Value verbatim. Its characters are
// consumed with Advance, so at least one character must follow the "]]>".
bool TXMLReader::ParseCDATA(TXMLNode& Node)
{
    if (!MatchText("<![CDATA["))
        return false;
    // Only a ">" can complete the "]]>", so the characters up to it are one run.
    static const TCharSet BeforeGreater = ~MakeCharSet(">");
    std::string Collected;
    do {
        TakeRun(BeforeGreater, Collected, TRunStep::Advance);
        Collected += static_cast<char>(CurrentChar); // ">"
        Advance();
    } while (Collected.size() < 3 || Collected.compare(Collected.size() - 3, 3, "]]>") != 0);
    Node.Value.append(Collected, 0, Collected.size() - 3);
    return true;
}

// Called with "&" current. The reference text runs to the next ";", whatever
// stands between; the result is one 8-bit character.
char TXMLReader::ParseReference()
{
    Advance();
    static const TCharSet BeforeSemicolon = ~MakeCharSet(";");
    std::string Reference;
    TakeRun(BeforeSemicolon, Reference, TRunStep::Advance);
    char Result = 0;
    if (Reference.compare(0, 1, "#") == 0) {
        std::int32_t Number = 0;
        if (!TryCharCode(Reference, Number))
            RaiseError("Invalid integer in reference &" + Reference + ";");
        Result = static_cast<char>(static_cast<std::uint8_t>(Number & 0xFF)); // the low 8 bits
    } else if (!TryEntityChar(Reference, Result)) {
        RaiseError("Unrecognized reference");
    }
    Advance(); // past the ";"
    return Result;
}
