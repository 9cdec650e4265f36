#include "Exception.h"
#include "XMLNode.h"
#include "XMLTreeText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::unique_ptr<TXMLNode> MakeNode(TXMLNodeType Type, std::string Name, std::string Value = "")
{
    auto Node = std::make_unique<TXMLNode>();
    Node->NodeType = Type;
    Node->Name = std::move(Name);
    Node->Value = std::move(Value);
    return Node;
}

// Adds a child and gives it back for inspection; the parent owns it.
TXMLNode* Add(TXMLNode& Parent, TXMLNodeType Type, std::string Name, std::string Value = "")
{
    auto Node = MakeNode(Type, std::move(Name), std::move(Value));
    TXMLNode* Raw = Node.get();
    Parent.AddChild(std::move(Node));
    return Raw;
}

// Records the order in which nodes are destroyed.
std::vector<std::string> DestroyedNames;

struct TLoggingNode : TXMLNode {
    explicit TLoggingNode(std::string NodeName) { Name = std::move(NodeName); }
    ~TLoggingNode() override { DestroyedNames.push_back(Name); }
};

TXMLNode* AddLogging(TXMLNode& Parent, std::string Name)
{
    auto Node = std::make_unique<TLoggingNode>(std::move(Name));
    TXMLNode* Raw = Node.get();
    Parent.AddChild(std::move(Node));
    return Raw;
}

} // namespace

TEST(XMLNode, NewNodeIsAnEmptyDocument)
{
    const TXMLNode Node;
    EXPECT_EQ(Node.NodeType, ntDocument);
    EXPECT_EQ(Node.Name, "");
    EXPECT_EQ(Node.Value, "");
    EXPECT_EQ(Node.ChildCount(), 0);
    EXPECT_STREQ(XMLNodeTypeNames[ntDocument], "Document");
    EXPECT_STREQ(XMLNodeTypeNames[ntXMLDeclaration], "XMLDeclaration");
}

TEST(XMLNode, AddChildGivesConsecutiveIndices)
{
    TXMLNode Parent;
    EXPECT_EQ(Parent.AddChild(MakeNode(ntElement, "a")), 0);
    EXPECT_EQ(Parent.AddChild(MakeNode(ntElement, "a")), 1);
    EXPECT_EQ(Parent.AddChild(MakeNode(ntAttribute, "b")), 2);
    EXPECT_EQ(Parent.ChildCount(), 3);
}

TEST(XMLNode, RemoveChildByIdentity)
{
    TXMLNode Parent;
    TXMLNode* First = Add(Parent, ntElement, "x");
    TXMLNode* Middle = Add(Parent, ntElement, "x");
    TXMLNode* Last = Add(Parent, ntElement, "x");

    const TXMLNode Stranger;
    EXPECT_EQ(Parent.RemoveChild(&Stranger), -1);
    EXPECT_EQ(Parent.RemoveChild(nullptr), -1);
    EXPECT_EQ(Parent.ChildCount(), 3);

    // Same name as its siblings: only the node itself is taken out.
    EXPECT_EQ(Parent.RemoveChild(Middle), 1);
    std::unique_ptr<TXMLNode> Removed(Middle);
    ASSERT_EQ(Parent.ChildCount(), 2);
    EXPECT_EQ(&Parent.GetChild(0), First);
    EXPECT_EQ(&Parent.GetChild(1), Last);
    EXPECT_EQ(Parent.RemoveChild(Middle), -1);
}

TEST(XMLNode, RemovedNodeOutlivesItsFormerParent)
{
    auto Parent = std::make_unique<TXMLNode>();
    Add(*Parent, ntElement, "a");
    TXMLNode* Child = Add(*Parent, ntElement, "b", "kept");
    Add(*Child, ntAttribute, "c", "1");

    ASSERT_EQ(Parent->RemoveChild(Child), 1);
    std::unique_ptr<TXMLNode> Owned(Child);
    Parent.reset();
    // Read after the parent is gone: the sanitizer build reports a use after free.
    EXPECT_EQ(NodeText(*Owned), "b=\"kept\"{@c=\"1\"}");
}

TEST(XMLNode, DestroyingTheDocumentDestroysEveryNode)
{
    DestroyedNames.clear();
    {
        TLoggingNode Document("doc");
        TXMLNode* A = AddLogging(Document, "a");
        AddLogging(*A, "a1");
        TXMLNode* A2 = AddLogging(*A, "a2");
        AddLogging(*A2, "a21");
        AddLogging(Document, "b");
    }
    // Each node exactly once; the order is nobody's concern.
    std::sort(DestroyedNames.begin(), DestroyedNames.end());
    const std::vector<std::string> Expected = {"a", "a1", "a2", "a21", "b", "doc"};
    EXPECT_EQ(DestroyedNames, Expected);
}

TEST(XMLNode, GetChildBounds)
{
    TXMLNode Parent;
    Add(Parent, ntElement, "a");
    Add(Parent, ntElement, "b");
    EXPECT_EQ(Parent.GetChild(1).Name, "b");
    EXPECT_EQ(ErrorOf([&] { Parent.GetChild(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { Parent.GetChild(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { Parent.GetChild(INT32_MIN); }),
              "List index out of bounds (-2147483648)");
    const TXMLNode Empty;
    EXPECT_EQ(ErrorOf([&] { Empty.GetChild(0); }), "List index out of bounds (0)");
}

TEST(XMLNode, FindChildByNameAndIndex)
{
    TXMLNode Parent;
    TXMLNode* Declaration = Add(Parent, ntXMLDeclaration, "");
    TXMLNode* X0 = Add(Parent, ntAttribute, "x");
    Add(Parent, ntElement, "Name");
    TXMLNode* X1 = Add(Parent, ntElement, "x");
    TXMLNode* Pi = Add(Parent, ntProcessingInstruction, "p");
    Add(Parent, ntElement, "x\0y"s);

    EXPECT_EQ(Parent.FindChild("x"), X0);
    EXPECT_EQ(Parent.FindChild("x", 0), X0);
    EXPECT_EQ(Parent.FindChild("x", 1), X1);
    EXPECT_EQ(Parent.FindChild("x", 2), nullptr);
    EXPECT_EQ(Parent.FindChild("x", -1), nullptr);
    EXPECT_EQ(Parent.FindChild("x", INT32_MIN), nullptr);
    EXPECT_EQ(Parent.FindChild("p"), Pi);      // every kind takes part
    EXPECT_EQ(Parent.FindChild(""), Declaration); // the empty name too
    EXPECT_EQ(Parent.FindChild("name"), nullptr); // case matters
    EXPECT_EQ(Parent.FindChild("x "), nullptr);
    EXPECT_EQ(Parent.FindChild("x\0y"s), &Parent.GetChild(5)); // NUL is compared like any byte
    EXPECT_EQ(Parent.FindChild("x\0"s), nullptr);
}

TEST(XMLNode, TypedReadsOfNamedChildren)
{
    TXMLNode Skill;
    Add(Skill, ntAttribute, "name", "A");
    Add(Skill, ntElement, "name", "B");
    Add(Skill, ntAttribute, "empty", "");
    Add(Skill, ntAttribute, "number", "-12");
    Add(Skill, ntAttribute, "useable", "");

    std::string Text = "old";
    Skill.ReadString("name", Text);
    EXPECT_EQ(Text, "A"); // the attribute stands before the element of the same name
    Skill.ReadString("missing", Text);
    EXPECT_EQ(Text, "");
    Text = "old";
    Skill.ReadString("empty", Text);
    EXPECT_EQ(Text, "");

    std::int32_t Number = 99;
    Skill.ReadInteger("number", Number);
    EXPECT_EQ(Number, -12);
    Skill.ReadInteger("missing", Number);
    EXPECT_EQ(Number, 0);

    std::int16_t Small = 99;
    Skill.ReadSmallInt("missing", Small);
    EXPECT_EQ(Small, 0);

    // A child that exists without integer text fails, and the output keeps its value.
    Number = 99;
    Small = 99;
    EXPECT_EQ(ErrorOf([&] { Skill.ReadInteger("useable", Number); }),
              "Node \"useable\" does not contain a valid integer");
    EXPECT_EQ(ErrorOf([&] { Skill.ReadSmallInt("name", Small); }),
              "Node \"name\" does not contain a valid integer");
    EXPECT_EQ(Number, 99);
    EXPECT_EQ(Small, 99);
}

TEST(XMLNode, ReadSmallIntKeepsTheLow16Bits)
{
    const struct {
        const char* Text;
        std::int16_t Expected;
    } Cases[] = {
        {"65535", -1},   {"32768", -32768}, {"-1", -1},           {"$FFFF", -1},
        {"32767", 32767}, {"65536", 0},      {"-32769", 32767},    {"$12345678", 0x5678},
        {"2147483647", -1}, {"-2147483648", 0}, {"70000", 4464},
    };
    for (const auto& Case : Cases) {
        TXMLNode Parent;
        Add(Parent, ntElement, "n", Case.Text);
        std::int16_t Small = 99;
        Parent.ReadSmallInt("n", Small);
        EXPECT_EQ(Small, Case.Expected) << Case.Text;
    }
}

namespace {

struct TIntegerCase {
    std::string Text;
    bool Valid;
    std::int32_t Expected;
};

const TIntegerCase IntegerCases[] = {
    // Decimal, leading spaces, signs, leading zeros, limits.
    {"42", true, 42},
    {"  42", true, 42},
    {"+7", true, 7},
    {"007", true, 7},
    {"0", true, 0},
    {"-0", true, 0},
    {"-12", true, -12},
    {"0000000000000000000000042", true, 42},
    {"2147483647", true, INT32_MAX},
    {"+2147483647", true, INT32_MAX},
    {"-2147483648", true, INT32_MIN},
    {"-00002147483648", true, INT32_MIN},
    // Hexadecimal: every prefix, either case, leading zeros, eight significant digits.
    {"$ff", true, 255},
    {"x1F", true, 31},
    {"X1f", true, 31},
    {"0x1F", true, 31},
    {"0X10", true, 16},
    {"$aBcD", true, 0xABCD},
    {" $0", true, 0},
    {"$000000001", true, 1},
    {"$00000000000000FFFFFFFF", true, -1},
    {"$7FFFFFFF", true, INT32_MAX},
    {"$80000000", true, INT32_MIN},
    {"$FFFFFFFF", true, -1},
    {"0x12345678", true, 0x12345678},
    // The text ends at its first NUL.
    {"12\0"s "34", true, 12},
    {"7\0 junk"s, true, 7},
    {"$1\0g"s, true, 1},
    {"\0"s "42", false, 0},
    {"  \0"s "1", false, 0},
    {"-\0"s "1", false, 0},
    // Refused.
    {"", false, 0},
    {"   ", false, 0},
    {"-", false, 0},
    {"+", false, 0},
    {"$", false, 0},
    {"x", false, 0},
    {"0x", false, 0},
    {"42 ", false, 0},
    {"\t42", false, 0},
    {"\n42", false, 0},
    {"\r42", false, 0},
    {"- 5", false, 0},
    {"+-1", false, 0},
    {"--1", false, 0},
    {"-$5", false, 0},
    {"+0x5", false, 0},
    {"-0x5", false, 0},
    {"00x5", false, 0},
    {"0x-5", false, 0},
    {"$ 5", false, 0},
    {"$$5", false, 0},
    {"0xx5", false, 0},
    {"1e3", false, 0},
    {"1.0", false, 0},
    {"12abc", false, 0},
    {"1 2", false, 0},
    {"$fg", false, 0},
    {"2147483648", false, 0},
    {"-2147483649", false, 0},
    {"99999999999999999999999", false, 0},
    {"$100000000", false, 0},
    {"0x123456789", false, 0},
};

} // namespace

TEST(IntegerText, EveryAcceptedAndRefusedForm)
{
    for (const TIntegerCase& Case : IntegerCases) {
        SCOPED_TRACE("text: " + EscapedText(Case.Text));
        std::int32_t Value = 12345;
        EXPECT_EQ(TryTextToInteger(Case.Text, Value), Case.Valid);
        EXPECT_EQ(Value, Case.Valid ? Case.Expected : 12345); // untouched when refused

        // AsInteger follows the same rules and replaces every failure by its own message.
        TXMLNode Node;
        Node.Name = "useable";
        Node.Value = Case.Text;
        if (Case.Valid)
            EXPECT_EQ(Node.AsInteger(), Case.Expected);
        else
            EXPECT_EQ(ErrorOf([&] { Node.AsInteger(); }),
                      "Node \"useable\" does not contain a valid integer");
    }
}

TEST(IntegerText, ElementTextIsTrimmedButAttributeValuesAreNot)
{
    TXMLStringReader Reader("<a v=' 7' w='7 '>\n\t7 </a>");
    const std::unique_ptr<TXMLNode> Document = Reader.ParseDocument();
    const TXMLNode& A = Document->GetChild(0);
    EXPECT_EQ(A.AsInteger(), 7);
    std::int32_t Number = 0;
    A.ReadInteger("v", Number);
    EXPECT_EQ(Number, 7);
    EXPECT_EQ(ErrorOf([&] { A.ReadInteger("w", Number); }),
              "Node \"w\" does not contain a valid integer");
}

TEST(XMLNode, DocumentWithDeclarationFindsItUnderTheEmptyName)
{
    TXMLStringReader Reader("<?xml version=\"1.0\"?><a/>");
    const std::unique_ptr<TXMLNode> Document = Reader.ParseDocument();
    ASSERT_EQ(Document->ChildCount(), 2);
    EXPECT_EQ(Document->GetChild(0).NodeType, ntXMLDeclaration);
    EXPECT_EQ(Document->FindChild(""), &Document->GetChild(0));
    EXPECT_EQ(Document->FindChild("a"), &Document->GetChild(1));
}
