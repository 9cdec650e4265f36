// A reader over another character source, which implements only the five
// source operations, must read every text exactly as TXMLStringReader does:
// same tree, same error, same final position. TXMLStringReader takes runs and
// literals straight from its text; this compares it with the one-character-at-a-
// time defaults, on the scanning hooks alone and on whole documents.
#include "Exception.h"
#include "XMLReader.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct TPlainState : TXMLReaderState {
    std::size_t Next = 0;
    unsigned char Current = 0;
};

// Implements the five operations and nothing else.
class TPlainReader : public TXMLReader {
public:
    explicit TPlainReader(std::string Text) : Text(std::move(Text)) {}
    std::string Text;
    std::size_t Next = 0; // index of the character NextChar reads next

    bool AtEnd() override { return Next >= Text.size(); }
    void FreeState(TXMLReaderState* State) override { delete State; }
    void NextChar() override
    {
        if (Next >= Text.size()) {
            CurrentChar = 0;
            return;
        }
        CurrentChar = static_cast<unsigned char>(Text[Next++]);
    }
    void RestoreState(TXMLReaderState* State) override
    {
        const auto& Saved = dynamic_cast<TPlainState&>(*State);
        Next = Saved.Next;
        CurrentChar = Saved.Current;
    }
    TXMLReaderState* SaveState() override
    {
        auto* State = new TPlainState;
        State->Next = Next;
        State->Current = CurrentChar;
        return State;
    }
};

void Dump(const TXMLNode& Node, std::string& Out)
{
    Out += std::to_string(Node.NodeType) + "[" + Node.Name + "=" + Node.Value + "](";
    for (const TXMLNode* Child : Node.Children)
        Dump(*Child, Out);
    Out += ")";
}

// The tree or the error, then where the reader stopped.
std::string Outcome(TXMLReader& Reader, std::int64_t (*Position)(TXMLReader&))
{
    std::string Out;
    try {
        const std::unique_ptr<TXMLNode> Document = Reader.ParseDocument();
        Dump(*Document, Out);
    } catch (const Exception& Error) {
        Out = std::string("error: ") + Error.Message();
    }
    return Out + " at " + std::to_string(Position(Reader)) + "/" + std::to_string(Reader.CurrentChar);
}

std::int64_t StringPosition(TXMLReader& Reader) { return static_cast<TXMLStringReader&>(Reader).Position; }
std::int64_t PlainPosition(TXMLReader& Reader)
{
    return static_cast<std::int64_t>(static_cast<TPlainReader&>(Reader).Next) + 1;
}

void ExpectSameDocument(const std::string& Text)
{
    TXMLStringReader Fast(Text);
    TPlainReader Plain(Text);
    EXPECT_EQ(Outcome(Fast, StringPosition), Outcome(Plain, PlainPosition)) << "text: " << Text;
}

TEST(ReaderSource, DocumentsReadAlikeOnEitherSource)
{
    const char* const Texts[] = {
        "", " ", "<a/>", "<a/", "<a>", "<a>\n", "<a>text", "<a></a>", "<a></a >", "<a></",
        "<a x='1'y=\"2\"/>\n", "<a x='1' x='2'/>\n", "<a x = '1' />\n", "<a x='a<b'/>\n",
        "<a x='&amp;&#65;&#x42;'/>\n", "<a x='1", "<a x='1'", "<a x=1/>\n", "<a b>\n",
        "<a>  x <b/> y </a>", "<a>x]]>y</a>", "<a>x]]</a>", "<a>x < y</a>", "<a>&#32;x</a>",
        "<?xml version='1.0'?><a/>", " <?xml version='1.0'?><a/>", "<?xml", "<?pi data?><a/>",
        "<a><!-- c -->u<?p d?><![CDATA[<x>]]></a>", "<!-- never closed", "<!-- a --->",
        "<a><![CDATA[x]]>", "<a><![CDATA[x", "<a>&amp", "<a>&amp;", "<abc", "<a:b.c-d9\xb7/>\n",
        "<a></A>", "<a></a", "<a>x</a ", "<!DOCTYPE a><a/>", "<a/>garbage", "<?t data",
        "<?t data?>", "<a><?t a?b?></a>\n", "<!---->", "<!-->",
    };
    for (const char* Text : Texts)
        ExpectSameDocument(Text);
    ExpectSameDocument(std::string("<a>x\0y</a>", 10));
    ExpectSameDocument(std::string("<a x='\0'/>\n", 11));
}

// Random texts over the characters that matter to the grammar.
TEST(ReaderSource, RandomTextsReadAlikeOnEitherSource)
{
    const std::string Alphabet = std::string("<>/!?-[]&;#x'\"= \nab1", 21) + '\0';
    const char* const Pieces[] = {"<a", "</a>", "<!--", "-->", "<?p", "?>", "<![CDATA[", "]]>",
                                  "&amp;", "&#65;", "x='", "/>", "<?xml"};
    std::mt19937 Random(42);
    for (int Round = 0; Round < 20000; ++Round) {
        std::string Text = Round % 2 ? "<a>" : "";
        const int Length = static_cast<int>(Random() % 24);
        for (int I = 0; I < Length; ++I) {
            if (Random() % 3 == 0)
                Text += Pieces[Random() % std::size(Pieces)];
            else
                Text += Alphabet[Random() % Alphabet.size()];
        }
        ExpectSameDocument(Text);
        if (HasFailure())
            return;
    }
}

// The hooks alone, from every position of a text and in every step kind.
TEST(ReaderSource, HooksMatchTheirDefaults)
{
    using TStep = TXMLReader::TRunStep;
    const std::string Text("ab<c>\0d ", 8);
    const TCharSet Sets[] = {~MakeCharSet(">"), MakeCharSet("abc"), ~MakeCharSet(std::string_view("\0<", 2)),
                             ~TCharSet()};
    const char* const Literals[] = {"<", "<c", "<c>", "ab<c>x", "b", " ", " x"};
    for (std::size_t Start = 0; Start <= Text.size() + 1; ++Start) {
        for (const TCharSet& Set : Sets) {
            for (const TStep Step : {TStep::Advance, TStep::NextChar, TStep::KeepLast}) {
                if (Step == TStep::NextChar && Set[0])
                    continue; // would never end on a used-up text
                TXMLStringReader Fast(Text);
                TPlainReader Plain(Text);
                for (std::size_t I = 0; I < Start; ++I) {
                    Fast.NextChar();
                    Plain.NextChar();
                }
                std::string FastOut = "x", PlainOut = "x";
                std::string FastResult, PlainResult;
                try {
                    FastResult = Fast.TakeRun(Set, FastOut, Step) ? "true" : "false";
                } catch (const Exception& Error) {
                    FastResult = Error.Message();
                }
                try {
                    PlainResult = Plain.TXMLReader::TakeRun(Set, PlainOut, Step) ? "true" : "false";
                } catch (const Exception& Error) {
                    PlainResult = Error.Message();
                }
                EXPECT_EQ(FastResult, PlainResult) << Start;
                EXPECT_EQ(FastOut, PlainOut) << Start;
                EXPECT_EQ(Fast.CurrentChar, Plain.CurrentChar) << Start;
                EXPECT_EQ(StringPosition(Fast), PlainPosition(Plain)) << Start;
            }
        }
        for (const char* Literal : Literals) {
            TXMLStringReader Fast(Text);
            TPlainReader Plain(Text);
            for (std::size_t I = 0; I < Start; ++I) {
                Fast.NextChar();
                Plain.NextChar();
            }
            EXPECT_EQ(Fast.MatchLiteral(Literal), Plain.TXMLReader::MatchLiteral(Literal))
                << Start << " " << Literal;
            EXPECT_EQ(Fast.CurrentChar, Plain.CurrentChar) << Start << " " << Literal;
            EXPECT_EQ(StringPosition(Fast), PlainPosition(Plain)) << Start << " " << Literal;
        }
    }
}

} // namespace
