// Test helpers for the reader: a document tree written as one compact line, so
// that a table row can hold a whole document and the tree it must give.
//
// Children are written in order, separated by blanks:
//   element        name="value"{children}   (value and braces only when non-empty)
//   attribute      @name="value"
//   instruction    ?target="data"
//   declaration    #decl{attributes}
// The document itself is written as its children. Bytes outside printable
// ASCII, the double quote and the backslash are escaped (\n, \t, \r, \0, \xNN).
#pragma once

#include "Exception.h"
#include "XMLNode.h"
#include "XMLReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

inline std::string EscapedText(std::string_view Text)
{
    std::string Result;
    for (unsigned char C : Text) {
        switch (C) {
        case '\n': Result += "\\n"; break;
        case '\t': Result += "\\t"; break;
        case '\r': Result += "\\r"; break;
        case '\0': Result += "\\0"; break;
        case '"': Result += "\\\""; break;
        case '\\': Result += "\\\\"; break;
        default:
            if (C < 32 || C > 126) {
                char Hex[8];
                std::snprintf(Hex, sizeof Hex, "\\x%02X", C);
                Result += Hex;
            } else {
                Result += static_cast<char>(C);
            }
        }
    }
    return Result;
}

inline std::string ChildrenText(const TXMLNode& Node);

inline std::string BracedChildren(const TXMLNode& Node)
{
    return Node.ChildCount() > 0 ? "{" + ChildrenText(Node) + "}" : std::string();
}

inline std::string NodeText(const TXMLNode& Node)
{
    const std::string Quoted = "\"" + EscapedText(Node.Value) + "\"";
    switch (Node.NodeType) {
    case ntDocument:
        return "#document" + BracedChildren(Node);
    case ntElement: {
        std::string Result = EscapedText(Node.Name);
        if (!Node.Value.empty())
            Result += "=" + Quoted;
        return Result + BracedChildren(Node);
    }
    case ntAttribute:
        return "@" + EscapedText(Node.Name) + "=" + Quoted;
    case ntProcessingInstruction:
        return "?" + EscapedText(Node.Name) + "=" + Quoted;
    case ntXMLDeclaration:
        return "#decl" + BracedChildren(Node);
    }
    return "#kind" + std::to_string(static_cast<int>(Node.NodeType));
}

inline std::string ChildrenText(const TXMLNode& Node)
{
    std::string Result;
    for (std::int32_t I = 0; I < Node.ChildCount(); ++I) {
        if (I > 0)
            Result += " ";
        Result += NodeText(Node.GetChild(I));
    }
    return Result;
}

// The tree of a whole document, or "! " followed by the message it was refused with.
inline std::string ParseOutcome(std::string Text)
{
    TXMLStringReader Reader(std::move(Text));
    try {
        const std::unique_ptr<TXMLNode> Document = Reader.ParseDocument();
        if (Document->NodeType != ntDocument || !Document->Name.empty() ||
            !Document->Value.empty())
            return "#not-a-document " + NodeText(*Document);
        return ChildrenText(*Document);
    } catch (const Exception& Error) {
        return "! " + std::string(Error.Message());
    }
}

// The message an action fails with, or "(no error)".
template <typename TAction>
std::string ErrorOf(TAction&& Action)
{
    try {
        Action();
    } catch (const Exception& Error) {
        return std::string(Error.Message());
    }
    return "(no error)";
}

// A reader over Text with its first character current, as ParseDocument leaves it.
struct TStartedReader : TXMLStringReader {
    explicit TStartedReader(std::string Text) : TXMLStringReader(std::move(Text)) { NextChar(); }
};

// One row of a table: an input document and what it must give.
struct TDocumentCase {
    std::string Input;
    std::string Expected; // tree text, or "! " and the message
};

// Runs every row and names the failing ones by their escaped input.
inline void CheckDocuments(std::initializer_list<TDocumentCase> Cases)
{
    for (const TDocumentCase& Case : Cases)
        EXPECT_EQ(ParseOutcome(Case.Input), Case.Expected) << "input: " << EscapedText(Case.Input);
}
