#include "SkillDocument.h"

#include <string_view>

namespace {

const std::string_view Words[] = {
    "Basket", "Cloud", "Kettle", "Lantern", "Moss", "Puddle", "Rope", "Star",
    "Weaving", "Reading", "Whistling", "Trimming", "Gardening", "Jumping", "Splicing", "Mapping",
};

// A made-up skill name, unique by its number: "Kettle Mapping 000123".
void AppendName(std::string& Out, std::size_t Index)
{
    Out.append(Words[Index % 8]);
    Out += ' ';
    Out.append(Words[8 + (Index / 8) % 8]);
    Out += ' ';
    std::string Number = std::to_string(Index);
    if (Number.size() < 6)
        Out.append(6 - Number.size(), '0');
    Out.append(Number);
}

void AppendPlainSkill(std::string& Out, std::size_t Index)
{
    Out.append("  <skill name=\"");
    AppendName(Out, Index);
    Out.append("\" useable=\"");
    Out += static_cast<char>('0' + Index % 2);
    Out.append("\"/>\n");
}

// Eight forms in turn, so that every construct appears throughout the document.
void AppendRichSkill(std::string& Out, std::size_t Index)
{
    switch (Index % 8) {
    case 0:
        Out.append("  <!-- group ");
        Out.append(std::to_string(Index / 8));
        Out.append(" -->\n");
        AppendPlainSkill(Out, Index);
        break;
    case 1:
        Out.append("  <skill name=\"Tom &amp; Jerry ");
        AppendName(Out, Index);
        Out.append("\" useable='&#49;'/>\n");
        break;
    case 2:
        Out.append("  <skill>\n    <name>");
        AppendName(Out, Index);
        Out.append("</name>\n    <useable>0</useable>\n  </skill>\n");
        break;
    case 3:
        Out.append("  <skill>\n    <name><![CDATA[<");
        AppendName(Out, Index);
        Out.append(">]]></name>\n    <useable> 1 </useable>\n  </skill>\n");
        break;
    case 4:
        Out.append("  <skill useable=\"1\">\n    <name>Mary &amp; Max ");
        AppendName(Out, Index);
        Out.append("</name>\n  </skill>\n");
        break;
    case 5:
        Out.append("  <skill useable=\"&#x31;\" name=\"&lt;");
        AppendName(Out, Index);
        Out.append("&gt; &quot;quoted&quot;\" />\n");
        break;
    case 6:
        Out.append("  <skill name='");
        AppendName(Out, Index);
        Out.append("' useable='0'><!-- empty --></skill>\n");
        break;
    default:
        AppendPlainSkill(Out, Index);
        break;
    }
}

} // namespace

std::string MakeSkillDocument(TDocumentKind Kind, std::size_t SkillCount)
{
    std::string Out;
    Out.reserve(SkillCount * (Kind == TDocumentKind::Plain ? 50 : 80) + 256);
    if (Kind == TDocumentKind::Rich)
        Out.append("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                   "<!-- Generated skills for the benchmarks. -->\n");
    Out.append("<skills>\n");
    for (std::size_t I = 0; I < SkillCount; ++I) {
        if (Kind == TDocumentKind::Plain)
            AppendPlainSkill(Out, I);
        else
            AppendRichSkill(Out, I);
    }
    Out.append("</skills>\n");
    return Out;
}

std::size_t SkillsForSize(TDocumentKind Kind, std::size_t Bytes)
{
    const std::size_t Sample = 1000;
    const std::size_t SampleSize = MakeSkillDocument(Kind, Sample).size();
    return Bytes * Sample / SampleSize + 1;
}
