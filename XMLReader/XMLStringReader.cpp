#include "Exception.h"
#include "XMLReader.h"

#include <typeinfo>

bool TXMLStringReader::AtEnd()
{
    return static_cast<std::int64_t>(Text.size()) < Position;
}

void TXMLStringReader::FreeState(TXMLReaderState* State)
{
    if (!SpareState && State != nullptr && typeid(*State) == typeid(TXMLStringReaderState))
        SpareState.reset(static_cast<TXMLStringReaderState*>(State));
    else
        delete State;
}

void TXMLStringReader::NextChar()
{
    if (static_cast<std::int64_t>(Text.size()) < Position) {
        CurrentChar = 0;
        return;
    }
    CurrentChar = static_cast<unsigned char>(Text[static_cast<std::size_t>(Position - 1)]);
    ++Position;
}

void TXMLStringReader::RestoreState(TXMLReaderState* State)
{
    // The exact type is checked first, as the cheaper test.
    const auto* Saved = State != nullptr && typeid(*State) == typeid(TXMLStringReaderState)
                            ? static_cast<const TXMLStringReaderState*>(State)
                            : dynamic_cast<const TXMLStringReaderState*>(State);
    if (Saved == nullptr)
        throw Exception("Invalid reader state");
    Position = Saved->Position;
    CurrentChar = Saved->CurrentChar;
}

TXMLReaderState* TXMLStringReader::SaveState()
{
    TXMLStringReaderState* State =
        SpareState ? SpareState.release() : new TXMLStringReaderState;
    State->Position = Position;
    State->CurrentChar = CurrentChar;
    return State;
}

// The run is CurrentChar followed by the characters from Position on; it is
// found by scanning Text and then taken, with the reader left exactly where
// the default's character-by-character steps would leave it.
bool TXMLStringReader::TakeRun(const TCharSet& Chars, std::string& Out, TRunStep Step)
{
    if (!InSet(Chars, CurrentChar))
        return false;
    const std::size_t Size = Text.size();
    const std::size_t Next = static_cast<std::size_t>(Position - 1); // index of the next character
    const char* const Data = Text.data();
    std::size_t End = Next;
    while (End < Size && Chars[static_cast<unsigned char>(Data[End])])
        ++End;

    if (Next > 0 && static_cast<unsigned char>(Data[Next - 1]) == CurrentChar) {
        // The current character is the one before Next: the run is one piece of Text.
        const char* const From = Data + Next - 1;
        const std::size_t Length = End - Next + 1;
        if (Out.empty() && Length > Out.capacity()) {
            // Built at its final size, the string gets an exact allocation; growing
            // an empty one would round a long run up to twice the inline capacity.
            Out = std::string(From, Length);
        } else {
            Out.append(From, Length);
        }
    } else { // before the first character, or once the text is used up
        Out += static_cast<char>(CurrentChar);
        Out.append(Data + Next, End - Next);
    }

    if (End < Size) { // the run stops before the text's end: Text[End] becomes current
        CurrentChar = static_cast<unsigned char>(Text[End]);
        Position = static_cast<std::int64_t>(End) + 2;
        return false;
    }
    // The run takes the rest of the text, its last character included.
    if (End > Next)
        CurrentChar = static_cast<unsigned char>(Text[Size - 1]);
    Position = static_cast<std::int64_t>(Size) + 1;
    switch (Step) {
    case TRunStep::Advance:
        RaiseError("Unexpected end of data"); // consuming the last character
    case TRunStep::NextChar:
        CurrentChar = 0; // used up
        return false;
    case TRunStep::KeepLast:
        break;
    }
    return true;
}

// MatchText's steps on the text itself: no state object, and the reader moves
// only when the literal matched.
bool TXMLStringReader::MatchLiteral(std::string_view Literal)
{
    const std::int64_t Size = static_cast<std::int64_t>(Text.size());
    unsigned char Current = CurrentChar;
    std::int64_t Next = Position;
    bool Matched = false;
    for (std::size_t K = 0;; ++K) {
        Matched = static_cast<unsigned char>(Literal[K]) == Current;
        if (Next > Size) { // NextChar past the end
            Current = 0;
        } else {
            Current = static_cast<unsigned char>(Text[static_cast<std::size_t>(Next - 1)]);
            ++Next;
        }
        if (!Matched || Next > Size || K + 1 == Literal.size())
            break;
    }
    if (Matched) {
        CurrentChar = Current;
        Position = Next;
    }
    return Matched;
}
