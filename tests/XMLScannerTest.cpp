#include "XMLReader.h"
#include "XMLTreeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

// Where a reader stands: its Position, CurrentChar and AtEnd, as one comparable value.
struct TReaderSpot {
    std::int64_t Position;
    int Char;
    bool AtEnd;
    bool operator==(const TReaderSpot&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TReaderSpot& Spot)
{
    return Out << "{Position " << Spot.Position << ", Char " << Spot.Char << ", AtEnd "
               << Spot.AtEnd << "}";
}

TReaderSpot SpotOf(TXMLStringReader& Reader)
{
    return {Reader.Position, Reader.CurrentChar, Reader.AtEnd()};
}

// A reader over Text with the character at the 1-based Index current.
TXMLStringReader ReaderOn(std::string Text, int Index)
{
    TXMLStringReader Reader(std::move(Text));
    for (int I = 0; I < Index; ++I)
        Reader.NextChar();
    return Reader;
}

} // namespace

TEST(XMLStringReader, StatesFromFreshToUsedUp)
{
    TXMLStringReader Empty("");
    EXPECT_EQ(SpotOf(Empty), (TReaderSpot{1, 0, true}));
    Empty.NextChar();
    EXPECT_EQ(SpotOf(Empty), (TReaderSpot{1, 0, true}));

    // A NUL inside the text is current like any character; AtEnd tells it from the end.
    TXMLStringReader Reader("a\0"s);
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{1, 0, false}));
    Reader.NextChar();
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{2, 'a', false}));
    Reader.NextChar();
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 0, true}));
    Reader.NextChar();
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 0, true}));
    Reader.NextChar();
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 0, true}));
}

TEST(XMLStringReader, AdvanceRefusesToConsumeTheLastCharacter)
{
    TXMLStringReader Empty("");
    EXPECT_EQ(ErrorOf([&] { Empty.Advance(); }), "Unexpected end of data");
    EXPECT_EQ(SpotOf(Empty), (TReaderSpot{1, 0, true}));

    TXMLStringReader Reader("ab");
    Reader.Advance();
    Reader.Advance();
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 'b', true}));
    EXPECT_EQ(ErrorOf([&] { Reader.Advance(); }), "Unexpected end of data");
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 'b', true}));
    Reader.NextChar(); // only NextChar moves past the last character
    EXPECT_EQ(ErrorOf([&] { Reader.Advance(); }), "Unexpected end of data");
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 0, true}));
}

TEST(XMLStringReader, SaveAndRestoreState)
{
    TXMLStringReader Reader("abc");
    Reader.NextChar();
    TXMLReaderState* State = Reader.SaveState();
    Reader.NextChar();
    Reader.NextChar();
    Reader.NextChar();
    Reader.RestoreState(State);
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{2, 'a', false}));
    Reader.NextChar();
    Reader.RestoreState(State); // a state stays valid after a restore
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{2, 'a', false}));
    Reader.FreeState(State);

    struct TForeignState : TXMLReaderState {};
    TForeignState Foreign;
    Reader.NextChar();
    EXPECT_NE(ErrorOf([&] { Reader.RestoreState(&Foreign); }), "(no error)");
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{3, 'b', false}));
}

TEST(XMLReader, RaiseErrorCarriesExactlyTheMessage)
{
    TXMLStringReader Reader("x");
    try {
        Reader.RaiseError("Some message");
        FAIL();
    } catch (const Exception& Error) {
        EXPECT_EQ(std::string(Error.Message()), "Some message");
        EXPECT_STREQ(Error.KindName(), "Exception");
    }
}

TEST(XMLReader, CharacterSets)
{
    TCharSet Letters;
    for (int C = 'A'; C <= 'Z'; ++C)
        Letters.set(static_cast<std::size_t>(C)).set(static_cast<std::size_t>(C + 32));
    const TCharSet Digits = MakeCharSet("0123456789");

    EXPECT_EQ(WhitespaceChars, MakeCharSet("\t\n\r "));
    EXPECT_EQ(NameStartChars, Letters | MakeCharSet(":_"));
    EXPECT_EQ(NameChars, Letters | Digits | MakeCharSet("-.:_\xB7"));
}

namespace {

struct TMatchCase {
    std::string Text;
    int Start; // 1-based index of the current character at the call
    std::string Literal;
    bool Matched;
    TReaderSpot After;
};

} // namespace

TEST(XMLReader, MatchText)
{
    const TMatchCase Cases[] = {
        {"</a>", 1, "</", true, {4, 'a', false}},
        {"<a>", 1, "</", false, {2, '<', false}},   // restored after a mismatch
        {"ab<!-xy", 3, "<!--", false, {4, '<', false}},
        {"<x", 1, "</", true, {3, 'x', true}},      // stops once the last character is current
        {"<!-x", 1, "<!--", true, {5, 'x', true}},
        {"abc", 1, "abd", true, {4, 'c', true}},
        {"abcd", 1, "abd", false, {2, 'a', false}},
        {"<", 1, "<!--", true, {2, 0, true}},        // the last character current at the call
        {"<", 1, "?", false, {2, '<', true}},
        {"ab", 1, "a", true, {3, 'b', true}},
        {"abc", 1, "abc", true, {4, 'c', true}},
        {"abcd", 1, "abc", true, {5, 'd', true}},
        {"abc", 1, "", false, {2, 'a', false}},      // the empty literal never matches
        {"a", 2, "a", false, {2, 0, true}},          // used up
        {"a\0"s, 2, "\0"s, true, {3, 0, true}},
    };
    for (const TMatchCase& Case : Cases) {
        SCOPED_TRACE("text: " + EscapedText(Case.Text) + ", start " + std::to_string(Case.Start) +
                     ", literal: " + EscapedText(Case.Literal));
        TXMLStringReader Reader = ReaderOn(Case.Text, Case.Start);
        EXPECT_EQ(Reader.MatchText(Case.Literal), Case.Matched);
        EXPECT_EQ(SpotOf(Reader), Case.After);
    }
}

TEST(XMLReader, SkipWhitespace)
{
    TXMLStringReader Reader = ReaderOn(" \t\r\nx ", 1);
    EXPECT_TRUE(Reader.SkipWhitespace());
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{6, 'x', false}));
    EXPECT_FALSE(Reader.SkipWhitespace());
    Reader.NextChar();
    // The last character stops the loop once it is current, whitespace or not:
    // the next call consumes it, and only the one after that finds nothing.
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{7, ' ', true}));
    EXPECT_TRUE(Reader.SkipWhitespace());
    EXPECT_EQ(SpotOf(Reader), (TReaderSpot{7, 0, true}));
    EXPECT_FALSE(Reader.SkipWhitespace());

    TXMLStringReader Two = ReaderOn("  ", 1);
    EXPECT_TRUE(Two.SkipWhitespace());
    EXPECT_EQ(SpotOf(Two), (TReaderSpot{3, ' ', true}));
    EXPECT_TRUE(Two.SkipWhitespace());
    EXPECT_EQ(SpotOf(Two), (TReaderSpot{3, 0, true}));
    EXPECT_FALSE(Two.SkipWhitespace());

    for (const std::string& Other : {"\v"s, "\f"s, "\xA0"s, "\x85"s, "\0 "s}) {
        TXMLStringReader NotBlank = ReaderOn(Other + " ", 1);
        EXPECT_FALSE(NotBlank.SkipWhitespace()) << EscapedText(Other);
        EXPECT_EQ(NotBlank.Position, 2);
    }
}

TEST(XMLReader, ReadName)
{
    const struct {
        std::string Text;
        std::string Name;
        int After;
    } Names[] = {
        {"abc>", "abc", '>'},
        {":a_b.c-d9\xB7/"s, ":a_b.c-d9\xB7"s, '/'},
        {"_x=", "_x", '='},
        {"a\xE9", "a", 0xE9},
        {"a\0"s, "a", 0},
        {"Ab cd", "Ab", ' '},
    };
    for (const auto& Case : Names) {
        SCOPED_TRACE("text: " + EscapedText(Case.Text));
        TXMLStringReader Reader = ReaderOn(Case.Text, 1);
        std::string Name = "old";
        EXPECT_TRUE(Reader.ReadName(Name));
        EXPECT_EQ(Name, Case.Name);
        EXPECT_EQ(Reader.CurrentChar, Case.After);
    }

    // No name here: the variable is untouched and nothing is consumed.
    for (const std::string& Text : {"1a"s, "-a"s, ".a"s, "\xB7"s "a", " a"s, "\0a"s}) {
        SCOPED_TRACE("text: " + EscapedText(Text));
        TXMLStringReader Reader = ReaderOn(Text, 1);
        std::string Name = "old";
        EXPECT_FALSE(Reader.ReadName(Name));
        EXPECT_EQ(Name, "old");
        EXPECT_EQ(Reader.Position, 2);
    }

    // A name's characters are consumed with Advance, so it may not run to the end.
    for (const std::string& Text : {"a"s, "abc"s, "x-1"s}) {
        TXMLStringReader Reader = ReaderOn(Text, 1);
        std::string Name;
        EXPECT_EQ(ErrorOf([&] { Reader.ReadName(Name); }), "Unexpected end of data") << Text;
    }
}
