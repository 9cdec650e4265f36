#include "XMLReader.h"
#include "XMLTreeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(XMLMarkup, DeclarationsCommentsAndInstructionsInTheTree)
{
    CheckDocuments({
        // The declaration: first child of the document, pseudo-attributes in order.
        {"<?xml version=\"1.0\"?><a/>", "#decl{@version=\"1.0\"} a"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a/>",
         "#decl{@version=\"1.0\" @encoding=\"utf-8\"} a"},
        {"<?xml?><a/>", "#decl a"},
        {"<?xml ?><a/>", "#decl a"},
        {"<?xmlversion=\"1.0\"?><a/>", "#decl{@version=\"1.0\"} a"},
        {"<?xml b='2'a=\"1\"  b = '3' ?><a/>", "#decl{@b=\"2\" @a=\"1\" @b=\"3\"} a"},
        {"<?xml v='&lt;&#x41;'?><a/>", "#decl{@v=\"<A\"} a"},
        // A "<?xml" anywhere after the first character is an instruction.
        {" <?xml-stylesheet href=\"a\"?><a/>", "?xml-stylesheet=\"href=\\\"a\\\"\" a"},
        {"<!-- c --><?xml-stylesheet x?><a/>", "?xml-stylesheet=\"x\" a"},
        {"<?p?><?xml-stylesheet x?><a/>", "?p=\"\" ?xml-stylesheet=\"x\" a"},
        {"<a><?xml-stylesheet x?><?XML x?><?xml-foo?><?xmlx?></a>",
         "a{?xml-stylesheet=\"x\" ?XML=\"x\" ?xml-foo=\"\" ?xmlx=\"\"}"},
        // Instruction data: white space after the target skipped, the rest verbatim.
        {"<?pi data?><a/>\n", "?pi=\"data\" a"},
        {"<a><?target data?><?t?><?t   a b  ?><?t/x?><?t a?b?><?t\n&amp;<b>?></a>",
         "a{?target=\"data\" ?t=\"\" ?t=\"a b  \" ?t=\"/x\" ?t=\"a?b\" ?t=\"&amp;<b>\"}"},
        {"<?t ?" "?><a/>", "?t=\"?\" a"},
        {"<?t \0?>"s "<a/>", "?t=\"\\0\" a"},
        {"<?xml version=\"1.0\"?><?p1 x?><a z=\"1\"><?p2?><b/><?p3?></a><?p4?>",
         "#decl{@version=\"1.0\"} ?p1=\"x\" a{@z=\"1\" ?p2=\"\" b ?p3=\"\"} ?p4=\"\""},
        {"<a/><?p x?>", "a ?p=\"x\""}, // "?>" at the very end of the text
        // Comments leave nothing, wherever they stand.
        {"<!----><a/>", "a"},
        {"<!-- a -- b --><a/>", "a"},
        {"<!--- x --><a/>", "a"},
        {"<!--<a/>--><b/>", "b"},
        {"<?xml version='1'?><!-- c --><a/><!-- d -->", "#decl{@version=\"1\"} a"},
        {"<a>t<!-- c -->u</a>", "a=\"tu\""},
        {"<a>t <!-- c --> <b/><!----> u</a>", "a=\"t   u\"{b}"},
        {"<a/><!-- runs to the end", "a"},
        {"<a/><!--", "a"},
        {"<a/><!-- x --", "a"},
        {"<a/><?", "a"}, // "<!--" matches early: a comment of one "?"
        // The document type is looked for in one place only.
        {"<a/><!DOCTYPE a>", "a"},
        {"<a/><?p?><!DOCTYPE a>", "a ?p=\"\""},
    });
}

TEST(XMLMarkup, Errors)
{
    CheckDocuments({
        // "<?xml" matches early at the end of a text of just "<".
        {"<", "! XML declaration not terminated with \"?>\""},
        {"<?xml-stylesheet href=\"a\"?><a/>", "! XML declaration not terminated with \"?>\""},
        {"<?xml version=\"1.0\" ?x><a/>", "! XML declaration not terminated with \"?>\""},
        {"<?xml version=\"1.0\"><a/>", "! XML declaration not terminated with \"?>\""},
        {"<?xml?", "! Missing element"}, // "?>" matches early too
        {"<?xmlns?><a/>", "! Equals sign missing in attribute"},
        {"<?xml v=1?><a/>", "! Attribute \"v\" missing value"},
        {"<?xml v='a<b'?><a/>", "! Invalid character \"<\" in attribute value"},
        {"<?xml v='&bad;'?><a/>", "! Unrecognized reference"},
        {"<?xml v='1'", "! Unexpected end of data"},
        // The declaration only at the first character of the text.
        {" <?xml version=\"1.0\"?><a/>", "! Processing instruction cannot have the reserved name \"xml\""},
        {"\n<?xml version=\"1.0\"?><a/>", "! Processing instruction cannot have the reserved name \"xml\""},
        {"<!-- c --><?xml version=\"1.0\"?><a/>",
         "! Processing instruction cannot have the reserved name \"xml\""},
        {"<?xml?><?xml?><a/>", "! Processing instruction cannot have the reserved name \"xml\""},
        {"<a><?xml x?></a>", "! Processing instruction cannot have the reserved name \"xml\""},
        {"<a/><?xml?>", "! Processing instruction cannot have the reserved name \"xml\""},
        // Document type.
        {"<!DOCTYPE skills><a/>", "! DocTypeDecl parsing not yet implemented"},
        {"<?xml version=\"1.0\"?><!DOCTYPE skills><a/>", "! DocTypeDecl parsing not yet implemented"},
        {"<!-- c --> <?p?>\n<!DOCTYPE skills><a/>", "! DocTypeDecl parsing not yet implemented"},
        {"<!DOC", "! DocTypeDecl parsing not yet implemented"}, // matches early at the end
        {"<!doctype a><a/>", "! Missing element"},
        {"<?p?><a><!DOCTYPE a></a>", "! No ending tag for a"},
        // Comments.
        {"<!-- a ---><a/>", "! Comments cannot end in \"--->\""},
        {"<!-----><a/>", "! Comments cannot end in \"--->\""},
        {"<a><!-- a ---></a>", "! Comments cannot end in \"--->\""},
        {"<a/><!-- a --->", "! Comments cannot end in \"--->\""},
        {"<!---><a/>-->", "! Missing element"}, // "<!--->" does not close the comment
        {"<!-- x", "! Missing element"},
        {"<a><!-- x</a>", "! No ending tag for a"},
        // Processing instructions.
        {"<? t?><a/>", "! Processing instruction does not contain valid name"},
        {"<?1t?><a/>", "! Processing instruction does not contain valid name"},
        {"<a><?" "?></a>", "! Processing instruction does not contain valid name"},
        {"<?t data", "! Unterminated processing instruction"},
        {"<a/><?t data?", "! Unterminated processing instruction"},
        {"<a/><?t ?", "! Unterminated processing instruction"},
        {"<a><?t data</a>", "! Unterminated processing instruction"},
        {"<?t", "! Unexpected end of data"},
        {"<a/><?target", "! Unexpected end of data"},
    });
}

namespace {

struct TScanCase {
    std::string Text;
    int After;  // the current character afterwards
    bool AtEnd; // whether it is the text's last character (or the text is used up)
};

} // namespace

// Where a comment or instruction leaves the reader decides what the caller sees next.
TEST(XMLMarkup, TerminatorScanEndsOnTheRightCharacter)
{
    const TScanCase Comments[] = {
        {"<!-- x -->y", 'y', true},
        {"<!-- x -->yz", 'y', false},
        {"<!-- x -->", '>', true}, // a terminator at the last character stays current
        {"<!-- x", 'x', true},     // so does the last character of an unclosed comment
        {"<!---->", '>', true},
        {"<!--", '-', true},
        {"<!-", '-', true},
        {"<!", '!', true},
    };
    for (const TScanCase& Case : Comments) {
        TStartedReader Reader(Case.Text);
        EXPECT_TRUE(Reader.ParseComment()) << Case.Text;
        EXPECT_EQ(Reader.CurrentChar, Case.After) << Case.Text;
        EXPECT_EQ(Reader.AtEnd(), Case.AtEnd) << Case.Text;
    }

    const TScanCase Instructions[] = {
        {"<?t d?>y", 'y', true},
        {"<?t d?>", '>', true},
        {"<?t?>", '>', true},
        {"<?t  ?>", '>', true},
    };
    for (const TScanCase& Case : Instructions) {
        TStartedReader Reader(Case.Text);
        TXMLNode Parent;
        EXPECT_TRUE(Reader.ParsePI(Parent)) << Case.Text;
        EXPECT_EQ(Reader.CurrentChar, Case.After) << Case.Text;
        EXPECT_EQ(Reader.AtEnd(), Case.AtEnd) << Case.Text;
        EXPECT_EQ(Parent.ChildCount(), 1) << Case.Text;
    }

    // No opening literal: nothing is consumed.
    for (const std::string& Text : {"<!-x-->"s, "<?x?>"s, "<a>"s, "x"s}) {
        TStartedReader Reader(Text);
        EXPECT_FALSE(Reader.ParseComment()) << Text;
        EXPECT_EQ(Reader.Position, 2) << Text;
    }
    for (const std::string& Text : {"<!-- -->"s, "<a?>"s, "?>"s}) {
        TStartedReader Reader(Text);
        TXMLNode Parent;
        EXPECT_FALSE(Reader.ParsePI(Parent)) << Text;
        EXPECT_EQ(Reader.Position, 2) << Text;
    }
}

// A failing declaration or instruction frees its node and adds nothing to the parent.
TEST(XMLMarkup, FailuresAddNothingToTheParent)
{
    const std::string Declarations[] = {
        "<?xml a='1' b='2' c",
        "<?xml a='1' b='2'>",
        "<?xml a='1' b='&x;'?>",
    };
    for (const std::string& Text : Declarations) {
        TStartedReader Reader(Text);
        TXMLNode Document;
        EXPECT_NE(ErrorOf([&] { Reader.ParseXMLDecl(Document); }), "(no error)") << Text;
        EXPECT_EQ(Document.ChildCount(), 0) << Text;
    }

    const std::string Instructions[] = {"<?t data", "<?t", "<?xml ?>", "<?1?>"};
    for (const std::string& Text : Instructions) {
        TStartedReader Reader(Text);
        TXMLNode Parent;
        EXPECT_NE(ErrorOf([&] { Reader.ParsePI(Parent); }), "(no error)") << Text;
        EXPECT_EQ(Parent.ChildCount(), 0) << Text;
    }
}
