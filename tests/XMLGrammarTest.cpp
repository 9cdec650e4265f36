#include "XMLReader.h"
#include "XMLTreeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(XMLGrammar, DocumentsAndTheirTrees)
{
    CheckDocuments({
        {"<a/>", "a"},
        {"<a/>\n", "a"},
        {"<a></a>", "a"},
        {"<a></a >", "a"},
        {"<a></a\r\n\t>", "a"},
        {"<a></a>\n\n", "a"},
        {"  <a></a>  ", "a"},
        // Whatever follows the root element and its Misc items is not examined.
        {"<a></a>garbage", "a"},
        {"<a></a><b></b>", "a"},
        {"<a/>\0<b/>"s, "a"},
        // Attributes: written order, repeats kept, optional blanks, quotes inside values.
        {"<a x='1'y='2'/>\n", "a{@x=\"1\" @y=\"2\"}"},
        {"<a x='1' x='2'/>\n", "a{@x=\"1\" @x=\"2\"}"},
        {"<a\tx\r\n=\t'1'\n/>\n", "a{@x=\"1\"}"},
        {"<a x = '1' />\n", "a{@x=\"1\"}"},
        {"<a x=''/>", "a{@x=\"\"}"},
        {"<a x='say \"hi\">' y=\"it's\r\n>\"/>", "a{@x=\"say \\\"hi\\\">\" @y=\"it's\\r\\n>\"}"},
        {"<a x=' 1 '>t</a>", "a=\"t\"{@x=\" 1 \"}"},
        {"<a x='1\0 2'/>"s, "a{@x=\"1\\0 2\"}"}, // a NUL inside a value is collected
        {"<a x='\xE9\xFF'/>"s, "a{@x=\"\\xE9\\xFF\"}"},
        // Element text: trimmed at both ends only, joined around child elements.
        {"<a>  x y \n</a>", "a=\"x y\""},
        {"<a>x\n\ty</a>", "a=\"x\\n\\ty\""},
        {"<a>x <b/> y</a>", "a=\"x  y\"{b}"},
        {"<a>x<b>y</b>z</a>", "a=\"xz\"{b=\"y\"}"},
        {"<a>\n <b/>\n <c/>\n</a>", "a{b c}"},
        {"<a> \r\n\t </a>", "a"},
        {"<a>\v\f</a>", "a=\"\\x0B\\x0C\""},
        {"<a>x]]</a>", "a=\"x]]\""},
        {"<a>]>x]</a>", "a=\"]>x]\""},
        {"<a>\xE9\xB7\xFF</a>", "a=\"\\xE9\\xB7\\xFF\""},
        {"<r><a><b/></a><c x='1'><d>t</d></c></r>", "r{a{b} c{@x=\"1\" d=\"t\"}}"},
        // Names: ":" and "_" may start one; ".", "-", digits and byte 183 may follow.
        {"<:a_b.c-d9\xB7/>\n", ":a_b.c-d9\\xB7"},
        {"<_:x y.z-1='v'></_:x>", "_:x{@y.z-1=\"v\"}"},
        {"<A></A>", "A"},
    });
}

TEST(XMLGrammar, DocumentsAndTheirErrors)
{
    CheckDocuments({
        {"", "! Unexpected end of data"},
        {" ", "! Missing element"},
        {"x", "! Missing element"},
        {"\0<a/>"s, "! Missing element"},
        {"</a>", "! Missing element"},
        {"<1a/>\n", "! Missing element"},
        {"<\xE9/>", "! Missing element"},
        // The declaration's "<?xml" matches early when its second character is the last.
        {"<>", "! XML declaration not terminated with \"?>\""},
        // Start tags and empty-element tags.
        {"<a", "! Unexpected end of data"},
        {"<a/", "! Unexpected end of data"},
        {"<a/ >\n", "! Tag not terminated properly"},
        {"<a ", "! Tag not terminated properly"},
        {"<a\xE9/>", "! Tag not terminated properly"},
        {"<a x='1'\0/>"s, "! Tag not terminated properly"},
        {"<a x='1'!>", "! Tag not terminated properly"},
        {"<a>", "! Unexpected end of data"},
        {"<a><b>", "! Unexpected end of data"},
        // Attributes.
        {"<a x='1' y/>\n", "! Equals sign missing in attribute"},
        {"<a b>\n", "! Equals sign missing in attribute"},
        {"<a b\0='1'/>"s, "! Equals sign missing in attribute"},
        {"<a x=1/>\n", "! Attribute \"x\" missing value"},
        {"<a x=/>", "! Attribute \"x\" missing value"},
        {"<a x='a<b'/>\n", "! Invalid character \"<\" in attribute value"},
        {"<a x", "! Unexpected end of data"},
        {"<a x=", "! Unexpected end of data"},
        {"<a x='", "! Unexpected end of data"},
        {"<a x='1", "! Unexpected end of data"},
        {"<a x='1'", "! Unexpected end of data"},
        {"<a x='1\"/>", "! Unexpected end of data"},
        // Content and end tags.
        {"<a>\n", "! No ending tag for a"},
        {"<a>text", "! No ending tag for a"},
        {"<a><b></b>", "! No ending tag for a"},
        {"<a>x < y</a>", "! No ending tag for a"},
        {"<a>x\0y</a>"s, "! No ending tag for a"}, // a NUL ends the character data
        {"<a></ a>", "! No ending tag for a"},
        {"<a></>", "! No ending tag for a"},
        {"<a></1>", "! No ending tag for a"},
        {"<a></A>", "! End tag name \"A\" does not match start tag name \"a\""},
        {"<a><b></a></b>", "! End tag name \"a\" does not match start tag name \"b\""},
        {"<ab></a>", "! End tag name \"a\" does not match start tag name \"ab\""},
        {"<a>x</a b>", "! End tag missing \">\""},
        {"<a>x</a ", "! End tag missing \">\""},
        {"<a>x</a\0>"s, "! End tag missing \">\""},
        {"<a>x</a", "! Unexpected end of data"},
        {"<a></", "! Unexpected end of data"}, // "<![CDATA[" matches early on "</"
        {"<a>x]]>y</a>", "! Character data cannot contain \"]]>\""},
        {"<a><b>]]></b></a>", "! Character data cannot contain \"]]>\""},
    });
}

TEST(XMLGrammar, DirectCallsLeaveTheirAlternativesUntouched)
{
    // ParseElement gives back a "<" that no name follows, for the other productions.
    for (const std::string& Text : {"</a>"s, "<!x>"s, "<?p?>"s, "<1>"s, "< a>"s}) {
        TStartedReader Reader(Text);
        TXMLNode Parent;
        EXPECT_FALSE(Reader.ParseElement(Parent)) << Text;
        EXPECT_EQ(Reader.CurrentChar, '<') << Text;
        EXPECT_EQ(Reader.Position, 2) << Text;
        EXPECT_EQ(Parent.ChildCount(), 0) << Text;
    }

    // ParseEq consumes the character in the place of "=" whatever it is.
    TStartedReader Eq(" x 'v'");
    EXPECT_FALSE(Eq.ParseEq());
    EXPECT_EQ(Eq.CurrentChar, '\'');

    // ParseAttValue appends to what the variable holds already.
    TStartedReader Value("'b'>");
    std::string Text = "a";
    EXPECT_TRUE(Value.ParseAttValue(Text));
    EXPECT_EQ(Text, "ab");
    EXPECT_EQ(Value.CurrentChar, '>');
}

namespace {

std::string Nested(int Depth, const std::string& Innermost)
{
    std::string Text;
    for (int I = 0; I < Depth; ++I)
        Text += "<e>";
    Text += Innermost;
    for (int I = 0; I < Depth; ++I)
        Text += "</e>";
    return Text;
}

int DepthOf(const TXMLNode& Node)
{
    int Depth = 0;
    for (const TXMLNode* Child = &Node; Child->ChildCount() > 0; Child = &Child->GetChild(0))
        ++Depth;
    return Depth;
}

} // namespace

TEST(XMLGrammar, NestingIsBoundedAtAThousandLevels)
{
    ASSERT_EQ(MaxElementDepth, 1000);
    for (const std::string& Text : {Nested(1000, "x"), Nested(999, "<e/>")}) {
        TXMLStringReader Deepest(Text);
        EXPECT_EQ(DepthOf(*Deepest.ParseDocument()), 1000);
    }
    EXPECT_EQ(ParseOutcome(Nested(1001, "x")), "! Elements nested too deeply");
    EXPECT_EQ(ParseOutcome(Nested(1000, "<e/>")), "! Elements nested too deeply");
    EXPECT_EQ(ParseOutcome(Nested(1000, "<e")), "! Elements nested too deeply");
    // Far deeper input still ends in the error, not in a stack overflow.
    EXPECT_EQ(ParseOutcome(Nested(200'000, "")), "! Elements nested too deeply");

    // Depth is counted along one path: long sibling chains are no deeper than one.
    const std::string Chain = Nested(MaxElementDepth - 1, "");
    TXMLStringReader Siblings("<r>" + Chain + Chain + "<p/></r>");
    EXPECT_EQ(Siblings.ParseDocument()->GetChild(0).ChildCount(), 3);
}

// Errors deep inside a tree: the half-built elements are taken out and freed,
// with their attributes, instructions and children; the sanitizer build checks
// that nothing leaks.
TEST(XMLGrammar, ErrorsInsideNestedElementsFreeTheHalfBuiltTree)
{
    CheckDocuments({
        {"<?xml v='1'?><?p x?><a x='1'><?q?><b y='2'>t<c/><d z='3'>", "! Unexpected end of data"},
        {"<a x='1'><b y='2'><c/>text<d z='3' w/></b></a>", "! Equals sign missing in attribute"},
        {"<a x='1'><b y='2'><c/><d></e></d></b></a>",
         "! End tag name \"e\" does not match start tag name \"d\""},
        {"<a><b><c x='1'><?p data", "! Unterminated processing instruction"},
        {"<a><b x='1'><c>&bad;</c></b></a>", "! Unrecognized reference"},
        {"<a><b x='1'><c><![CDATA[x]]>", "! Unexpected end of data"},
        {"<a><b x='1' y='&#q;'/></a>", "! Invalid integer in reference &#q;"},
        {"<a><b><c/></b><d><!-- x ---></d></a>", "! Comments cannot end in \"--->\""},
        {"<a x='1'>" + Nested(MaxElementDepth, ""), "! Elements nested too deeply"},
    });

    // The failing element is taken out of its parent; earlier children stay.
    TStartedReader Reader("<a x='1'><b/><c y='2'>oops</a>");
    TXMLNode Parent;
    Parent.AddChild(std::make_unique<TXMLNode>());
    EXPECT_EQ(ErrorOf([&] { Reader.ParseElement(Parent); }),
              "End tag name \"a\" does not match start tag name \"c\"");
    EXPECT_EQ(Parent.ChildCount(), 1);
    EXPECT_EQ(Parent.GetChild(0).Name, "");
}
