// skills.idx and skills.mul from skills.xml, read with tinyxml2.
#include "PeerCommon.h"

#include <tinyxml2.h>

namespace {

std::string_view Field(const tinyxml2::XMLElement& Skill, const char* Name)
{
    if (const char* Value = Skill.Attribute(Name))
        return Value;
    const tinyxml2::XMLElement* Child = Skill.FirstChildElement(Name);
    const char* Text = Child != nullptr ? Child->GetText() : nullptr;
    return Text != nullptr ? Text : "";
}

} // namespace

int main()
{
    peer::TSkillOutput Output;
    const std::string Text = peer::LoadFile("skills.xml");
    tinyxml2::XMLDocument Document;
    if (Document.Parse(Text.data(), Text.size()) != tinyxml2::XML_SUCCESS) {
        std::puts("parse error");
        return 1;
    }
    for (const tinyxml2::XMLElement* Skill = Document.RootElement()->FirstChildElement(); Skill;
         Skill = Skill->NextSiblingElement())
        Output.Add(Field(*Skill, "name"), peer::ParseUseable(Field(*Skill, "useable")));
    return 0;
}
