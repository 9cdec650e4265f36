// Generated skills.xml documents for the benchmarks.
//
// Plain: one root element and one empty-element skill per line with the two
// attributes, as a machine would write it.
// Rich: the same skills, but the document also has a declaration, and the list
// mixes comments, references, CDATA sections and skills written with child
// elements instead of attributes. (No processing instructions: tinyxml2 refuses
// them after the first element.)
#pragma once

#include <cstddef>
#include <string>

enum class TDocumentKind { Plain, Rich };

std::string MakeSkillDocument(TDocumentKind Kind, std::size_t SkillCount);

// Enough skills for a document of about Bytes bytes.
std::size_t SkillsForSize(TDocumentKind Kind, std::size_t Bytes);
