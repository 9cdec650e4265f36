#include "XMLNode.h"

#include "Exception.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

const char* const XMLNodeTypeNames[5] = {
    "Document", "Element", "Attribute", "ProcessingInstruction", "XMLDeclaration",
};

namespace {

int HexDigitValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

// One or more hex digits, any number of leading zeros, at most eight significant ones.
bool TryHexDigits(std::string_view Digits, std::int32_t& Value)
{
    if (Digits.empty())
        return false;
    std::uint32_t Result = 0;
    int Significant = 0;
    for (char C : Digits) {
        const int Digit = HexDigitValue(C);
        if (Digit < 0)
            return false;
        if (Significant > 0 || Digit != 0)
            ++Significant;
        if (Significant > 8)
            return false;
        Result = (Result << 4) | static_cast<std::uint32_t>(Digit);
    }
    Value = static_cast<std::int32_t>(Result); // the 32 bits read as two's complement
    return true;
}

// An optional sign directly before one or more decimal digits, within 32 bits.
bool TryDecimal(std::string_view Text, std::int32_t& Value)
{
    const bool Negative = !Text.empty() && Text[0] == '-';
    if (!Text.empty() && (Text[0] == '-' || Text[0] == '+'))
        Text.remove_prefix(1);
    if (Text.empty())
        return false;
    const std::uint64_t Limit = Negative ? 2147483648u : 2147483647u;
    std::uint64_t Magnitude = 0;
    for (char C : Text) {
        if (C < '0' || C > '9')
            return false;
        Magnitude = Magnitude * 10 + static_cast<std::uint64_t>(C - '0');
        if (Magnitude > Limit)
            return false;
    }
    Value = Negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(Magnitude))
                     : static_cast<std::int32_t>(Magnitude);
    return true;
}

} // namespace

bool TryTextToInteger(std::string_view Text, std::int32_t& Value)
{
    const std::size_t Nul = Text.find('\0');
    if (Nul != std::string_view::npos)
        Text = Text.substr(0, Nul);
    const std::size_t First = Text.find_first_not_of(' ');
    if (First == std::string_view::npos)
        return false; // empty, or spaces only
    Text.remove_prefix(First);
    if (Text[0] == '$' || Text[0] == 'x' || Text[0] == 'X')
        return TryHexDigits(Text.substr(1), Value);
    if (Text.size() >= 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X'))
        return TryHexDigits(Text.substr(2), Value);
    return TryDecimal(Text, Value);
}

namespace {

// Under AddressSanitizer every node keeps its own allocation, so that a node
// used after its destruction, or never destroyed, is still reported.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool PoolNodes = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool PoolNodes = false;
#else
constexpr bool PoolNodes = true;
#endif
#else
constexpr bool PoolNodes = true;
#endif

// A free slot holds the link to the next free one.
union TNodeSlot {
    TNodeSlot* NextFree;
    alignas(TXMLNode) unsigned char Bytes[sizeof(TXMLNode)];
};

// The pool hands out slots from blocks that double in size up to 2 MiB, and takes
// destroyed nodes back into a free list. Blocks are never returned: a program
// that builds a big tree keeps it to the end. The pool has no destructor, so
// nodes may still be destroyed while the program shuts down. One thread only,
// as the reader itself.
struct TNodePool {
    TNodeSlot* FreeList = nullptr;
    TNodeSlot* Fresh = nullptr; // the unused rest of the newest block
    TNodeSlot* FreshEnd = nullptr;
    std::size_t NextBlockSize = 64 << 10;

    void* Take()
    {
        if (FreeList != nullptr) {
            TNodeSlot* Slot = FreeList;
            FreeList = Slot->NextFree;
            return Slot;
        }
        if (Fresh == FreshEnd)
            AddBlock();
        return Fresh++;
    }

    void Give(void* Node) noexcept
    {
        auto* Slot = static_cast<TNodeSlot*>(Node);
        Slot->NextFree = FreeList;
        FreeList = Slot;
    }

    void AddBlock()
    {
        constexpr std::size_t HugePage = 2 << 20;
        const std::size_t Size = NextBlockSize;
        void* Block = Size == HugePage ? std::aligned_alloc(HugePage, Size) : std::malloc(Size);
        if (Block == nullptr)
            throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        if (Size == HugePage) {
            // One page fault per block instead of 512 where the system offers
            // huge pages on request.
            (void)::madvise(Block, Size, MADV_HUGEPAGE);
        }
#endif
        Fresh = static_cast<TNodeSlot*>(Block);
        FreshEnd = Fresh + Size / sizeof(TNodeSlot);
        NextBlockSize = std::min(2 * Size, HugePage);
    }
};

// Constructed on first use and never destroyed (see above).
TNodePool& NodePool()
{
    static TNodePool* const Pool = new TNodePool;
    return *Pool;
}

} // namespace

void* TXMLNode::operator new(std::size_t Size)
{
    if (!PoolNodes || Size != sizeof(TXMLNode))
        return ::operator new(Size);
    return NodePool().Take();
}

void TXMLNode::operator delete(void* Node, std::size_t Size) noexcept
{
    if (Node == nullptr)
        return;
    if (!PoolNodes || Size != sizeof(TXMLNode))
        ::operator delete(Node);
    else
        NodePool().Give(Node);
}

TXMLNode::~TXMLNode()
{
    for (TXMLNode* Child : Children)
        delete Child;
}

std::int32_t TXMLNode::AddChild(std::unique_ptr<TXMLNode> Node)
{
    // The allocator's smallest block holds three entries: enough for an element
    // with two attributes, without growing the list twice on the way.
    if (Children.capacity() == 0)
        Children.reserve(3);
    Children.push_back(Node.get());
    Node.release();
    return static_cast<std::int32_t>(Children.size() - 1);
}

std::int32_t TXMLNode::RemoveChild(const TXMLNode* Node)
{
    for (std::size_t I = 0; I < Children.size(); ++I) {
        if (Children[I] == Node) {
            Children.erase(Children.begin() + static_cast<std::ptrdiff_t>(I));
            return static_cast<std::int32_t>(I);
        }
    }
    return -1;
}

TXMLNode& TXMLNode::GetChild(std::int32_t Index) const
{
    if (Index < 0 || Index >= ChildCount())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
    return *Children[static_cast<std::size_t>(Index)];
}

TXMLNode* TXMLNode::FindChild(std::string_view Name, std::int32_t Index) const
{
    std::int32_t Matches = 0;
    for (TXMLNode* Child : Children) {
        if (Child->Name == Name) {
            if (Matches == Index)
                return Child;
            ++Matches;
        }
    }
    return nullptr;
}

std::int32_t TXMLNode::AsInteger() const
{
    std::int32_t Result = 0;
    if (!TryTextToInteger(Value, Result))
        throw Exception("Node \"" + Name + "\" does not contain a valid integer");
    return Result;
}

void TXMLNode::ReadString(std::string_view Name, std::string& Text) const
{
    const TXMLNode* Child = FindChild(Name);
    Text = Child ? Child->Value : std::string();
}

void TXMLNode::ReadInteger(std::string_view Name, std::int32_t& Number) const
{
    const TXMLNode* Child = FindChild(Name);
    Number = Child ? Child->AsInteger() : 0;
}

void TXMLNode::ReadSmallInt(std::string_view Name, std::int16_t& Number) const
{
    std::int32_t Full = 0;
    ReadInteger(Name, Full);
    // The low 16 bits as two's complement: 65535 gives -1, 32768 gives -32768.
    Number = static_cast<std::int16_t>(static_cast<std::uint16_t>(Full & 0xFFFF));
}
