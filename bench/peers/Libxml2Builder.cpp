// skills.idx and skills.mul from skills.xml, read with libxml2's tree.
#include "PeerCommon.h"

#include <cstring>
#include <libxml/parser.h>
#include <libxml/tree.h>

namespace {

// The attribute of that name, else the text of the child element of that name.
std::string Field(xmlNode* Skill, const char* Name)
{
    const auto* XmlName = reinterpret_cast<const xmlChar*>(Name);
    std::string Result;
    if (xmlChar* Value = xmlGetProp(Skill, XmlName)) {
        Result = reinterpret_cast<const char*>(Value);
        xmlFree(Value);
        return Result;
    }
    for (xmlNode* Child = Skill->children; Child; Child = Child->next)
        if (Child->type == XML_ELEMENT_NODE && xmlStrcmp(Child->name, XmlName) == 0) {
            xmlChar* Content = xmlNodeGetContent(Child);
            Result = reinterpret_cast<const char*>(Content);
            xmlFree(Content);
            break;
        }
    return Result;
}

} // namespace

int main()
{
    peer::TSkillOutput Output;
    const std::string Text = peer::LoadFile("skills.xml");
    xmlDoc* Document = xmlReadMemory(Text.data(), static_cast<int>(Text.size()), "skills.xml",
                                     nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
    if (Document == nullptr) {
        std::puts("parse error");
        return 1;
    }
    for (xmlNode* Skill = xmlDocGetRootElement(Document)->children; Skill; Skill = Skill->next)
        if (Skill->type == XML_ELEMENT_NODE)
            Output.Add(Field(Skill, "name"), peer::ParseUseable(Field(Skill, "useable")));
    return 0;
}
