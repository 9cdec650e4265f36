// Reading, checking and printing a pair of skill files held in memory. Every
// function here is safe on any bytes: the index and the data file may come from
// any tool, or from no tool at all.
#pragma once

#include "SkillRecords.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

// The bytes of skills.idx and skills.mul.
struct TSkillFiles {
    std::string_view Index;
    std::string_view Data;
};

enum class TFaultKind {
    IncompleteRecord, // skills.idx ends inside a record
    WrongExtra,       // Extra is not "ZEB" and a zero byte
    LengthTooSmall,   // Length below 1: no room for the useable byte
    NegativeOffset,
    Gap,              // Offset after the end of the record before it (or after 0)
    Overlap,          // shares bytes with the record before it, or starts inside it
    OutOfOrder,       // lies wholly before the record before it
    PastDataEnd,      // the record reaches past the end of skills.mul
    DataSize,         // skills.mul's size is not the sum of the Lengths
    DataTooLarge,     // skills.mul is larger than an Offset can reach
};

struct TFault {
    TFaultKind Kind;
    std::optional<std::uint64_t> Record; // none for the faults of skills.mul as a whole
    std::string Text;                    // one line: "record 3: ..." or "skills.mul: ..."
};

// Checks every record and both files' sizes against what mkskills writes, and
// hands each fault to Report, in record order, file-wide faults last. Gives the
// number of faults.
std::uint64_t CheckSkillFiles(const TSkillFiles& Files, const std::function<void(const TFault&)>& Report);

// What a listing or an XML export could not show.
struct TDumpGaps {
    std::uint64_t UnreadableRecords = 0; // index records whose data could not be read
    std::size_t IncompleteBytes = 0;     // bytes of skills.idx after the last whole record
    bool Complete() const { return UnreadableRecords == 0 && IncompleteBytes == 0; }
};

// One line per index record, a header line before them and a summary line after.
TDumpGaps WriteListing(const TSkillFiles& Files, std::ostream& Out);

// A skills.xml from which mkskills writes the same records. A record that
// cannot be read becomes an empty skill after a comment that says so, so that
// every later skill keeps its index.
TDumpGaps WriteSkillsXml(const TSkillFiles& Files, std::ostream& Out);

// Bytes as a listing shows them: printable ASCII as it is, the backslash and the
// double quote as \\ and \", every other byte as \xNN with upper-case digits.
std::string EscapeBytes(std::string_view Bytes);

// Bytes as an attribute value between double quotes: "&", "<", the double quote
// and every byte below 32 or above 126 as a character reference &#N;.
std::string XmlAttributeText(std::string_view Bytes);
