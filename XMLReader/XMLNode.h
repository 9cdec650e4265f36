// The document tree: every element, attribute, processing instruction and XML
// declaration of a parsed document is a TXMLNode; an element's text is its Value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum TXMLNodeType : std::uint8_t {
    ntDocument = 0,
    ntElement = 1,
    ntAttribute = 2,
    ntProcessingInstruction = 3,
    ntXMLDeclaration = 4,
};

extern const char* const XMLNodeTypeNames[5];

// Integer text to a 32-bit signed integer: leading spaces, then a signed decimal
// or a "$", "x", "X", "0x", "0X" prefixed hexadecimal number, and nothing after it.
// The text ends at its first NUL. Returns false, leaving Value alone, on any other text.
bool TryTextToInteger(std::string_view Text, std::int32_t& Value);

class TXMLNode {
public:
    std::string Value;
    std::string Name;
    std::vector<TXMLNode*> Children; // owned; never holds a null entry
    TXMLNodeType NodeType = ntDocument;

    TXMLNode() = default;
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;
    virtual ~TXMLNode(); // destroys the whole subtree, children first to last

    // Plain nodes come from a pool of large blocks: a big document makes millions
    // of them, and the general allocator would add a header and a search to each.
    // Classes derived from TXMLNode, being of another size, use the general one.
    static void* operator new(std::size_t Size);
    static void operator delete(void* Node, std::size_t Size) noexcept;

    // Appends Node, which this node then owns; returns its index.
    std::int32_t AddChild(std::unique_ptr<TXMLNode> Node);
    // Takes Node out of Children without destroying it: the caller owns it again.
    // Returns the index it had, or -1 when it is not a child.
    std::int32_t RemoveChild(const TXMLNode* Node);

    std::int32_t ChildCount() const { return static_cast<std::int32_t>(Children.size()); }
    // The child at Index; "List index out of bounds (Index)" outside 0..ChildCount-1.
    TXMLNode& GetChild(std::int32_t Index) const;
    // The Index-th child (from 0) whose Name is exactly Name, or nullptr.
    TXMLNode* FindChild(std::string_view Name, std::int32_t Index = 0) const;

    // Value as integer text; "Node "<Name>" does not contain a valid integer" otherwise.
    std::int32_t AsInteger() const;

    // The typed reads of a named child: empty text or 0 when there is no such child.
    // A failed conversion raises AsInteger's error and leaves the output alone.
    void ReadString(std::string_view Name, std::string& Text) const;
    void ReadInteger(std::string_view Name, std::int32_t& Number) const;
    void ReadSmallInt(std::string_view Name, std::int16_t& Number) const;
};
