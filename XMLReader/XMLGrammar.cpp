// The document, the prolog and Misc loops, elements, attributes, content,
// character data and end tags.
#include "Exception.h"
#include "XMLReader.h"

std::unique_ptr<TXMLNode> TXMLReader::ParseDocument()
{
    Advance(); // the first character becomes current; an empty text fails here
    auto Document = std::make_unique<TXMLNode>();
    Document->NodeType = ntDocument;
    ParseProlog(*Document);
    if (!ParseElement(*Document))
        RaiseError("Missing element");
    while (ParseMisc(*Document)) {
    }
    return Document; // whatever follows the last Misc item is not examined
}

bool TXMLReader::ParseProlog(TXMLNode& Document)
{
    ParseXMLDecl(Document); // only ever at the first character of the text
    while (ParseMisc(Document)) {
    }
    ParseDocTypeDecl();
    while (ParseMisc(Document)) {
    }
    return true;
}

bool TXMLReader::ParseMisc(TXMLNode& Node)
{
    return SkipWhitespace() || ParseComment() || ParsePI(Node);
}

bool TXMLReader::ParseElement(TXMLNode& Parent)
{
    if (CurrentChar != '<')
        return false;
    std::string Name;
    {
        TSavedState Saved(*this);
        Advance();
        if (!ReadName(Name)) {
            Saved.Restore(); // "</", "<!", "<?" and the like belong to other productions
            return false;
        }
    }
    if (ElementDepth >= MaxElementDepth)
        RaiseError("Elements nested too deeply");

    // The element joins its parent at once; on any error below it is taken out
    // and destroyed with everything appended to it.
    auto Owned = std::make_unique<TXMLNode>();
    TXMLNode* Element = Owned.get();
    Parent.AddChild(std::move(Owned));
    ++ElementDepth;
    try {
        Element->Name = std::move(Name);
        Element->NodeType = ntElement;
        do {
            SkipWhitespace();
        } while (ParseAttribute(*Element));

        if (CurrentChar == '/') {
            Advance();
            if (CurrentChar != '>')
                RaiseError("Tag not terminated properly");
            NextChar(); // an empty-element tag may end the text
        } else if (CurrentChar == '>') {
            Advance();
            ParseContent(*Element);
            TrimSetInPlace(Element->Value, WhitespaceChars);
            if (!ParseETag(*Element))
                RaiseError("No ending tag for " + Element->Name);
        } else {
            RaiseError("Tag not terminated properly");
        }
    } catch (...) {
        --ElementDepth;
        Parent.RemoveChild(Element);
        delete Element;
        throw;
    }
    --ElementDepth;
    return true;
}

bool TXMLReader::ParseAttribute(TXMLNode& Element)
{
    std::string Name;
    if (!ReadName(Name))
        return false;
    if (!ParseEq())
        RaiseError("Equals sign missing in attribute");
    std::string Value;
    if (!ParseAttValue(Value))
        RaiseError("Attribute \"" + Name + "\" missing value");
    auto Attribute = std::make_unique<TXMLNode>();
    Attribute->NodeType = ntAttribute;
    Attribute->Name = std::move(Name);
    Attribute->Value = std::move(Value);
    Element.AddChild(std::move(Attribute));
    return true;
}

bool TXMLReader::ParseEq()
{
    SkipWhitespace();
    const bool IsEquals = CurrentChar == '=';
    Advance(); // whatever stands there
    SkipWhitespace();
    return IsEquals;
}

bool TXMLReader::ParseAttValue(std::string& Value)
{
    const unsigned char Quote = CurrentChar;
    if (Quote != '"' && Quote != '\'')
        return false;
    // The value's ordinary characters: all but its quote, "<" and "&".
    static const TCharSet InDoubleQuotes = ~MakeCharSet("\"<&");
    static const TCharSet InApostrophes = ~MakeCharSet("'<&");
    Advance();
    for (;;) {
        TakeRun(Quote == '"' ? InDoubleQuotes : InApostrophes, Value, TRunStep::Advance);
        if (CurrentChar == Quote)
            break;
        if (CurrentChar == '<')
            RaiseError("Invalid character \"<\" in attribute value");
        Value += ParseReference(); // "&"
    }
    Advance();
    return true;
}

void TXMLReader::ParseContent(TXMLNode& Element)
{
    for (;;) {
        if (ParseCDATA(Element) || ParsePI(Element) || ParseComment() || ParseElement(Element) ||
            ParseCharData(Element))
            continue;
        if (CurrentChar != '&')
            return; // an end tag, a "<" that begins nothing known, or the end of the text
        Element.Value += ParseReference();
    }
}

bool TXMLReader::ParseCharData(TXMLNode& Element)
{
    static const TCharSet CharDataChars = ~MakeCharSet(std::string_view("\0&<", 3));
    // The run goes straight into Value and is taken out again when it is refused.
    const std::size_t Start = Element.Value.size();
    TakeRun(CharDataChars, Element.Value, TRunStep::NextChar);
    if (Element.Value.find("]]>", Start) != std::string::npos) {
        Element.Value.resize(Start);
        RaiseError("Character data cannot contain \"]]>\"");
    }
    return Element.Value.size() > Start;
}

bool TXMLReader::ParseETag(TXMLNode& Element)
{
    if (!MatchText("</"))
        return false;
    std::string Name;
    if (!ReadName(Name))
        return false;
    if (Name != Element.Name)
        RaiseError("End tag name \"" + Name + "\" does not match start tag name \"" + Element.Name +
                   "\"");
    SkipWhitespace();
    if (CurrentChar != '>')
        RaiseError("End tag missing \">\"");
    NextChar(); // an end tag may end the text
    return true;
}
