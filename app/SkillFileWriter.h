// Writes skills.mul and skills.idx. Records are gathered in memory and written
// out in large pieces, data file first, so that the index file never names data
// that is not in the data file. A failed write rolls both files back to the last
// record they both hold completely.
#pragma once

#include "SkillRecords.h"

#include <cstdint>
#include <string>
#include <string_view>

class TSkillFileWriter {
public:
    // Creates or truncates the data file, then the index file.
    explicit TSkillFileWriter(std::int64_t MaxDataSize = MaxSkillDataSize);
    ~TSkillFileWriter();
    TSkillFileWriter(const TSkillFileWriter&) = delete;
    TSkillFileWriter& operator=(const TSkillFileWriter&) = delete;

    // Adds one skill's two records. Refused with "Skill data exceeds N bytes"
    // when its Offset or its end would pass MaxDataSize.
    void Add(std::int16_t Useable, std::string_view Name);
    // Bytes added but not yet written out.
    std::size_t PendingSize() const { return DataPending.size() + IndexPending.size(); }
    // Writes out every record added so far.
    void Commit();
    // Commit, then close the data file, then the index file.
    void Close();
    // A write failed: the files were cut back to the last records written out.
    bool WriteFailed() const { return Failed; }

private:
    [[noreturn]] void FailWrite(const char* FileName);

    std::int64_t MaxDataSize;
    int DataFd = -1;
    int IndexFd = -1;
    std::string DataPending;
    std::string IndexPending;
    std::int64_t DataWritten = 0;  // bytes of complete records in the data file
    std::int64_t IndexWritten = 0; // bytes of complete records in the index file
    bool Failed = false;
};
