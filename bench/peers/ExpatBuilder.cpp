// skills.idx and skills.mul from skills.xml, read with expat's callbacks: each
// skill is written as soon as its element ends, so no tree is kept.
#include "PeerCommon.h"

#include <cstring>
#include <expat.h>

namespace {

struct TState {
    peer::TSkillOutput* Output = nullptr;
    int Depth = 0;
    std::string Name, Useable; // of the skill being read
    bool HasName = false, HasUseable = false;
    std::string* Collecting = nullptr; // a child element's text
    std::string ChildText;
};

void StartElement(void* Data, const XML_Char* Element, const XML_Char** Attributes)
{
    auto& State = *static_cast<TState*>(Data);
    ++State.Depth;
    if (State.Depth == 2) {
        State.Name.clear();
        State.Useable.clear();
        State.HasName = State.HasUseable = false;
        for (const XML_Char** A = Attributes; *A; A += 2) {
            if (!State.HasName && std::strcmp(A[0], "name") == 0) {
                State.Name = A[1];
                State.HasName = true;
            } else if (!State.HasUseable && std::strcmp(A[0], "useable") == 0) {
                State.Useable = A[1];
                State.HasUseable = true;
            }
        }
    } else if (State.Depth == 3) {
        State.ChildText.clear();
        if (!State.HasName && std::strcmp(Element, "name") == 0)
            State.Collecting = &State.Name;
        else if (!State.HasUseable && std::strcmp(Element, "useable") == 0)
            State.Collecting = &State.Useable;
    }
}

void EndElement(void* Data, const XML_Char*)
{
    auto& State = *static_cast<TState*>(Data);
    if (State.Depth == 3 && State.Collecting != nullptr) {
        *State.Collecting = State.ChildText;
        (State.Collecting == &State.Name ? State.HasName : State.HasUseable) = true;
        State.Collecting = nullptr;
    } else if (State.Depth == 2) {
        State.Output->Add(State.Name, peer::ParseUseable(State.Useable));
    }
    --State.Depth;
}

void CharacterData(void* Data, const XML_Char* Text, int Length)
{
    auto& State = *static_cast<TState*>(Data);
    if (State.Collecting != nullptr)
        State.ChildText.append(Text, static_cast<std::size_t>(Length));
}

} // namespace

int main()
{
    peer::TSkillOutput Output;
    const std::string Text = peer::LoadFile("skills.xml");
    TState State;
    State.Output = &Output;
    XML_Parser Parser = XML_ParserCreate(nullptr);
    XML_SetUserData(Parser, &State);
    XML_SetElementHandler(Parser, StartElement, EndElement);
    XML_SetCharacterDataHandler(Parser, CharacterData);
    if (XML_Parse(Parser, Text.data(), static_cast<int>(Text.size()), 1) == XML_STATUS_ERROR) {
        std::puts("parse error");
        return 1;
    }
    XML_ParserFree(Parser);
    return 0;
}
