#include "XMLReader.h"
#include "XMLTreeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

struct TReferenceCase {
    std::string Reference; // from "&" to ";"
    int Code;
};

const TReferenceCase References[] = {
    {"&amp;", 38},
    {"&lt;", 60},
    {"&gt;", 62},
    {"&quot;", 34},
    {"&apos;", 39},
    // Decimal: leading zeros, a sign, leading spaces.
    {"&#65;", 65},
    {"&#065;", 65},
    {"&#+65;", 65},
    {"&# 65;", 65},
    {"&#   65;", 65},
    {"&#0;", 0},
    // Hexadecimal after "#x", and every prefix of the integer text after "#".
    {"&#x41;", 65},
    {"&#x0041;", 65},
    {"&#x4a;", 74},
    {"&#x000000000041;", 65},
    {"&#X41;", 65},
    {"&#$41;", 65},
    {"&#0x41;", 65},
    {"&#0X41;", 65},
    {"&#x0;", 0},
    // The low 8 bits of the number.
    {"&#321;", 65},
    {"&#x141;", 65},
    {"&#256;", 0},
    {"&#-1;", 255},
    {"&#-191;", 65},
    {"&#xFFFFFFFF;", 255},
    {"&#2147483647;", 255},
    {"&#-2147483648;", 0},
    // The number's text ends at a NUL; the reference still runs to its ";".
    {"&#65\0zz;"s, 65},
    {"&#x41\0;"s, 65},
};

struct TBadReferenceCase {
    std::string Reference;
    std::string Message;
};

const TBadReferenceCase BadReferences[] = {
    {"&AMP;", "Unrecognized reference"},
    {"&Amp;", "Unrecognized reference"},
    {"&nbsp;", "Unrecognized reference"},
    {"&;", "Unrecognized reference"},
    {"&amp x;", "Unrecognized reference"},
    {"& amp;", "Unrecognized reference"},
    {"&ampx;", "Unrecognized reference"},
    {"&x41;", "Unrecognized reference"},
    {"&amp\0;"s, "Unrecognized reference"},
    {"&#;", "Invalid integer in reference &#;"},
    {"&#x;", "Invalid integer in reference &#x;"},
    {"&#x 41;", "Invalid integer in reference &#x 41;"},
    {"&#x-41;", "Invalid integer in reference &#x-41;"},
    {"&#x0x41;", "Invalid integer in reference &#x0x41;"},
    {"&#xx41;", "Invalid integer in reference &#xx41;"},
    {"&#x$41;", "Invalid integer in reference &#x$41;"},
    {"&#X;", "Invalid integer in reference &#X;"},
    {"&#65 ;", "Invalid integer in reference &#65 ;"},
    {"&#6a;", "Invalid integer in reference &#6a;"},
    {"&#\t65;", "Invalid integer in reference &#\t65;"},
    {"&#2147483648;", "Invalid integer in reference &#2147483648;"},
    {"&#-2147483649;", "Invalid integer in reference &#-2147483649;"},
    {"&#x100000000;", "Invalid integer in reference &#x100000000;"},
    {"&#-$1;", "Invalid integer in reference &#-$1;"},
    // The reference text goes into the message whole, NUL and all.
    {"&#\0z;"s, "Invalid integer in reference &#\0z;"s},
};

} // namespace

TEST(XMLReferences, EveryFormGivesItsCharacter)
{
    for (const TReferenceCase& Case : References) {
        SCOPED_TRACE("reference: " + EscapedText(Case.Reference));
        TStartedReader Reader(Case.Reference + "x");
        EXPECT_EQ(static_cast<unsigned char>(Reader.ParseReference()), Case.Code);
        EXPECT_EQ(Reader.CurrentChar, 'x'); // the character after the ";"
    }
}

TEST(XMLReferences, RefusedForms)
{
    for (const TBadReferenceCase& Case : BadReferences) {
        SCOPED_TRACE("reference: " + EscapedText(Case.Reference));
        TStartedReader Reader(Case.Reference + "x");
        EXPECT_EQ(ErrorOf([&] { Reader.ParseReference(); }), Case.Message);
    }
    // The ";" must be followed by a character, and must come at all.
    for (const char* Text : {"&", "&amp", "&amp;", "&#65;"}) {
        TStartedReader Reader(Text);
        EXPECT_EQ(ErrorOf([&] { Reader.ParseReference(); }), "Unexpected end of data") << Text;
    }
}

TEST(XMLReferences, InAttributeValuesAndContent)
{
    CheckDocuments({
        {"<a x='&amp;'/>\n", "a{@x=\"&\"}"},
        {"<a x='x&amp;' y='2'/>\n", "a{@x=\"x&\" @y=\"2\"}"},
        {"<a x='&lt;b&gt;'/>\n", "a{@x=\"<b>\"}"},
        {"<a x=\"&quot;&apos;&#34;\" y='&apos;'/>", "a{@x=\"\\\"'\\\"\" @y=\"'\"}"},
        {"<a x='&#0;'/>", "a{@x=\"\\0\"}"},
        {"<a x=' &#32;'/>", "a{@x=\"  \"}"}, // attribute values are not trimmed
        {"<a>x&amp;y</a>", "a=\"x&y\""},
        {"<a>&amp;&amp;</a>", "a=\"&&\""},
        {"<a><b>&amp;</b>&lt;</a>", "a=\"<\"{b=\"&\"}"},
        {"<a>&#0;</a>", "a=\"\\0\""},
        {"<a>&#65\0zz;</a>"s, "a=\"A\""},
        // References are expanded before the element text is trimmed.
        {"<a>&#32;x&#32;</a>", "a=\"x\""},
        {"<a>&#32;x</a>", "a=\"x\""},
        {"<a>&#9;&#10;&#13;</a>", "a"},
        {"<a> x&#32;y </a>", "a=\"x y\""},
    });
}

TEST(XMLReferences, ErrorsInDocuments)
{
    CheckDocuments({
        // The reference text runs on past a closing quote or "<" to the next ";".
        {"<a b=\"x&y\"/>", "! Unexpected end of data"},
        {"<a b=\"x&y\"/><!-- ; -->", "! Unrecognized reference"},
        {"<a>&amp text;</a>", "! Unrecognized reference"},
        {"<a>&amp</a>", "! Unexpected end of data"},
        {"<a>x&</a>", "! Unexpected end of data"},
        {"<a>&amp;", "! Unexpected end of data"},
        {"<a>&#x;</a>", "! Invalid integer in reference &#x;"},
        {"<a x='&#x 41;'/>", "! Invalid integer in reference &#x 41;"},
        {"<a>&nbsp;</a>", "! Unrecognized reference"},
        {"<a>&#\0;</a>"s, "! Invalid integer in reference &#\0;"s},
    });
}

TEST(XMLCDATA, SectionsJoinTheElementText)
{
    CheckDocuments({
        {"<a><![CDATA[]]></a>", "a"},
        {"<a><![CDATA[<x>&amp;]]></a>", "a=\"<x>&amp;\""},
        {"<a><![CDATA[]]]></a>", "a=\"]\""},
        {"<a><![CDATA[a]]b]]></a>", "a=\"a]]b\""},
        {"<a><![CDATA[]]]]]></a>", "a=\"]]]\""},
        {"<a><![CDATA[<!-- c --><?p?>\"']]></a>", "a=\"<!-- c --><?p?>\\\"'\""},
        {"<a>x<![CDATA[ y ]]>z</a>", "a=\"x y z\""},
        {"<a> <![CDATA[ y ]]> </a>", "a=\"y\""},
        {"<a><![CDATA[\0\n]]></a>"s, "a=\"\\0\""},
        {"<a><![CDATA[<b>]]><b/>&amp;</a>", "a=\"<b>&\"{b}"},
        {"<a>&#32;<![CDATA[ ]]></a>", "a"},
    });
}

TEST(XMLCDATA, Errors)
{
    CheckDocuments({
        {"<a><![CDATA[x]]>", "! Unexpected end of data"}, // "]]>" as the last three characters
        {"<a><![CDATA[x]]", "! Unexpected end of data"},
        {"<a><![CDATA[x", "! Unexpected end of data"},
        {"<a><![CDATA[", "! Unexpected end of data"},
        {"<a><![CD", "! Unexpected end of data"}, // "<![CDATA[" matches early at the end
        {"<a><!", "! Unexpected end of data"},
        {"<a><![CDATA[x]]>\n", "! No ending tag for a"},
        {"<a><![CDATA[x]]>]]></a>", "! Character data cannot contain \"]]>\""},
        {"<a><![cdata[x]]></a>", "! No ending tag for a"},
        {"<![CDATA[x]]><a/>", "! Missing element"}, // only inside an element
    });

    // Nothing is appended unless the whole section was read.
    TStartedReader Reader("<![CDATA[abc]]>");
    TXMLNode Element;
    Element.Value = "v";
    EXPECT_EQ(ErrorOf([&] { Reader.ParseCDATA(Element); }), "Unexpected end of data");
    EXPECT_EQ(Element.Value, "v");
}
