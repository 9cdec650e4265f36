// skills.idx and skills.mul from skills.xml, read with pugixml.
#include "PeerCommon.h"

#include <pugixml.hpp>

namespace {

// The attribute of that name, else the text of the child element of that name.
std::string_view Field(const pugi::xml_node& Skill, const char* Name)
{
    if (const pugi::xml_attribute Attribute = Skill.attribute(Name))
        return Attribute.value();
    return Skill.child(Name).text().get();
}

} // namespace

int main()
{
    peer::TSkillOutput Output;
    pugi::xml_document Document;
    // load_file reads the file whole into one buffer and parses it in place.
    if (!Document.load_file("skills.xml")) {
        std::puts("parse error");
        return 1;
    }
    for (const pugi::xml_node Skill : Document.document_element().children())
        if (Skill.type() == pugi::node_element)
            Output.Add(Field(Skill, "name"), peer::ParseUseable(Field(Skill, "useable")));
    return 0;
}
