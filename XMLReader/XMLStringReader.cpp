#include "Exception.h"
#include "XMLReader.h"

bool TXMLStringReader::AtEnd()
{
    return static_cast<std::int64_t>(Text.size()) < Position;
}

void TXMLStringReader::FreeState(TXMLReaderState* State)
{
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
    const auto* Saved = dynamic_cast<const TXMLStringReaderState*>(State);
    if (Saved == nullptr)
        throw Exception("Invalid reader state");
    Position = Saved->Position;
    CurrentChar = Saved->CurrentChar;
}

TXMLReaderState* TXMLStringReader::SaveState()
{
    auto* State = new TXMLStringReaderState;
    State->Position = Position;
    State->CurrentChar = CurrentChar;
    return State;
}
