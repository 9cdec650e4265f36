// What must hold after the reader or the whole program has taken any input:
// shared by the fuzz targets and by the test that replays the inputs they found.
// Each check gives an empty text when all holds, else what went wrong.
#pragma once

#include "SkillRecords.h"
#include "XMLNode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Message is one the reader itself raises: a fixed text, or one of the texts
// with a name or a reference inside, told by their fixed parts.
bool IsReaderMessage(std::string_view Message);

// The invariants of a tree the reader gave: no empty child entries, attributes
// before other children, only the kinds each parent may hold, well-formed
// names, and element text trimmed of white space at both ends.
std::string CheckDocumentTree(const TXMLNode& Document);

// skills.idx and skills.mul hold the same complete records, back to back from
// Offset 0, each with Length >= 1 and "ZEB" and a zero byte, none past
// MaxDataSize, and the data file is exactly as long as the records say.
// Records receives the index records read.
std::string CheckSkillFiles(std::string_view Index, std::string_view Data, std::int64_t MaxDataSize,
                            std::vector<TIndexRecord>& Records);

// The outcome of one run of the program over an input.
struct TRunOutcome {
    int ExitStatus = -1;
    std::string Console;                // everything written to standard output
    std::optional<std::string> Index;   // skills.idx, when it exists
    std::optional<std::string> Data;    // skills.mul, when it exists
    std::int64_t MaxDataSize = 0;       // the run's limit for skill data
    std::string ModuleName = "mkskills";
};

// The two files hold the same complete records, back to back, and the console
// shows the banner, one line per record and, after an error, the report; a run
// refused by the reader created neither file.
std::string CheckRunOutcome(const TRunOutcome& Run);

// Parses Bytes as a document and checks the tree or the error.
std::string CheckReaderInput(std::string_view Bytes);

// Runs the whole program in-process in the current directory with Bytes as
// skills.xml and the console on ConsoleFd (a file it empties first), then
// checks the outcome. Inputs of odd length run with a small limit on skill
// data, so that inputs of a few bytes reach the refusal of oversized data.
std::string CheckDriverInput(std::string_view Bytes, int ConsoleFd);
