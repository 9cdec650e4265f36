// The XML reader: an abstract character source with one character of lookahead
// and saved states, the scanning primitives built on it, and one recursive-descent
// production per grammar rule. Every error stops the parse with an Exception.
#pragma once

#include "Strlib.h"
#include "XMLNode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

extern const TCharSet WhitespaceChars; // tab, line feed, carriage return, space
extern const TCharSet NameStartChars;  // ":", "A"-"Z", "_", "a"-"z"
extern const TCharSet NameChars;       // NameStartChars, "-", ".", "0"-"9" and byte 183

// A saved position of a character source; each source derives its own.
class TXMLReaderState {
public:
    virtual ~TXMLReaderState() = default;
};

// Elements may nest this deep (the root is level 1); deeper ones are refused so
// that no document can exhaust the stack.
constexpr int MaxElementDepth = 1000;

class TXMLReader {
public:
    // The character under examination; 0 before the first and after the last one.
    unsigned char CurrentChar = 0;

    virtual ~TXMLReader() = default;

    // The character source. AtEnd: no character follows the current one.
    // NextChar: make the next character current (0 past the end); never fails.
    virtual bool AtEnd() = 0;
    virtual void FreeState(TXMLReaderState* State) = 0;
    virtual void NextChar() = 0;
    virtual void RestoreState(TXMLReaderState* State) = 0;
    virtual TXMLReaderState* SaveState() = 0;

    // How TakeRun consumes each character of its run.
    enum class TRunStep {
        Advance,  // Advance: the text may not end inside the run
        NextChar, // NextChar: the run may use the text up (Chars must not hold 0)
        KeepLast, // NextChar, but the text's last character stays current
    };

    // Fast-path hooks. The defaults are built on the five operations above, one
    // character at a time; a source that can do better overrides them with the
    // same outcome (TXMLStringReader scans its text directly).

    // While CurrentChar is in Chars: appends it to Out and consumes it as Step
    // says. Gives true only for KeepLast, when the run stopped on the text's last
    // character (which is then in Out and still current).
    virtual bool TakeRun(const TCharSet& Chars, std::string& Out, TRunStep Step);
    // MatchText's comparison, for a non-empty Literal: saves the state, compares
    // and consumes character by character (a match is reported early once the
    // text's last character has become current), and restores after a mismatch.
    virtual bool MatchLiteral(std::string_view Literal);

    // Scanning primitives.
    void Advance();
    [[noreturn]] void RaiseError(const std::string& Message);
    bool MatchText(std::string_view Literal);
    bool SkipWhitespace();
    bool ReadName(std::string& Name);

    // The entry point: the document node, which the caller owns with its whole tree.
    std::unique_ptr<TXMLNode> ParseDocument();

    // Document structure and elements.
    bool ParseProlog(TXMLNode& Document);
    bool ParseMisc(TXMLNode& Node);
    bool ParseElement(TXMLNode& Parent);
    bool ParseAttribute(TXMLNode& Element);
    bool ParseEq();
    bool ParseAttValue(std::string& Value);
    void ParseContent(TXMLNode& Element);
    bool ParseCharData(TXMLNode& Element);
    bool ParseETag(TXMLNode& Element);

    // Declaration, document type, comments and processing instructions.
    void ParseXMLDecl(TXMLNode& Document);
    void ParseDocTypeDecl();
    bool ParseComment();
    bool ParsePI(TXMLNode& Node);

    // CDATA sections and references.
    bool ParseCDATA(TXMLNode& Node);
    char ParseReference();

private:
    // Collects characters from the current one up to and including Terminator,
    // or to the end of the text.
    std::string ScanToTerminator(std::string_view Terminator);

    int ElementDepth = 0; // elements open around the current position
};

// A state saved on construction and freed however the scope is left.
class TSavedState {
public:
    explicit TSavedState(TXMLReader& Reader) : Reader(Reader), State(Reader.SaveState()) {}
    ~TSavedState() { Reader.FreeState(State); }
    TSavedState(const TSavedState&) = delete;
    TSavedState& operator=(const TSavedState&) = delete;
    void Restore() { Reader.RestoreState(State); }

private:
    TXMLReader& Reader;
    TXMLReaderState* State;
};

class TXMLStringReaderState : public TXMLReaderState {
public:
    std::int64_t Position = 1;
    unsigned char CurrentChar = 0;
};

// A character source over a text held in memory.
class TXMLStringReader : public TXMLReader {
public:
    explicit TXMLStringReader(std::string Text) : Text(std::move(Text)) {}

    std::string Text;
    std::int64_t Position = 1; // 1-based index of the character NextChar reads next

    bool AtEnd() override;
    void FreeState(TXMLReaderState* State) override;
    void NextChar() override;
    void RestoreState(TXMLReaderState* State) override;
    TXMLReaderState* SaveState() override;

    bool TakeRun(const TCharSet& Chars, std::string& Out, TRunStep Step) override;
    bool MatchLiteral(std::string_view Literal) override;

private:
    // The last freed state, handed out again by the next SaveState: a parse
    // saves a state for every element, and this spares an allocation each time.
    std::unique_ptr<TXMLStringReaderState> SpareState;
};
