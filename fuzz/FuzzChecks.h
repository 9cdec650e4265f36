// What must hold after the reader or the whole program has taken any input:
// shared by the fuzz targets and by the test that replays the inputs they found.
// Each check gives an empty text when all holds, else what went wrong.
#pragma once

#include "XMLNode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Message is one the reader itself raises: a fixed text, or one of the texts
// with a name or a reference inside, told by their fixed parts.
bool IsReaderMessage(std::string_view Message);

// The invariants of a tree the reader gave: no empty child entries, attributes
// before other children, only the kinds each parent may hold, well-formed
// names, and element text trimmed of white space at both ends.
std::string CheckDocumentTree(const TXMLNode& Document);

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
