// gen_skills plain|rich COUNT [FILE]: writes a generated skills document with
// COUNT skills to FILE, or to standard output.
#include "SkillDocument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int Argc, char** Argv)
{
    if (Argc < 3 || (std::strcmp(Argv[1], "plain") != 0 && std::strcmp(Argv[1], "rich") != 0)) {
        std::fprintf(stderr, "usage: gen_skills plain|rich COUNT [FILE]\n");
        return 2;
    }
    const TDocumentKind Kind =
        std::strcmp(Argv[1], "plain") == 0 ? TDocumentKind::Plain : TDocumentKind::Rich;
    const std::string Text = MakeSkillDocument(Kind, std::strtoull(Argv[2], nullptr, 10));
    std::FILE* Out = Argc > 3 ? std::fopen(Argv[3], "wb") : stdout;
    if (Out == nullptr || std::fwrite(Text.data(), 1, Text.size(), Out) != Text.size() ||
        std::fclose(Out) != 0) {
        std::perror("gen_skills");
        return 1;
    }
    return 0;
}
