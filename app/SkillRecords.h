// The two record formats, written down once for every program that reads or
// writes them.
//
// skills.idx: one 12-byte index record per skill, little-endian:
//   bytes 0-3  Offset  where the skill's data record starts in skills.mul
//   bytes 4-7  Length  size of that data record: name length + 1, at least 1
//   bytes 8-11 Extra   "ZEB" and a zero byte
// skills.mul: one data record per skill, back to back: the Useable byte (low
//   8 bits of the useable value), then the name's bytes, unterminated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* IndexFileName = "skills.idx";
inline constexpr const char* DataFileName = "skills.mul";

constexpr std::size_t IndexRecordSize = 12;
constexpr std::array<char, 4> IndexExtra = {'Z', 'E', 'B', '\0'};
// Offsets and lengths are signed 32-bit: no data record may reach past this.
constexpr std::int64_t MaxSkillDataSize = 2147483647;

struct TIndexRecord {
    std::int32_t Offset = 0;
    std::int32_t Length = 0;
    std::array<char, 4> Extra = IndexExtra;
};

// Appends the 12 bytes of Record to Out.
void AppendIndexRecord(std::string& Out, const TIndexRecord& Record);
// Reads an index record from the first 12 bytes of Bytes (which must hold them).
TIndexRecord DecodeIndexRecord(std::string_view Bytes);

// Appends a skill's data record (useable byte and name) to Out.
void AppendDataRecord(std::string& Out, std::int16_t Useable, std::string_view Name);

// For readers. The number of whole index records in an index file of IndexSize
// bytes; a shorter tail is an incomplete record.
constexpr std::size_t IndexRecordCount(std::size_t IndexSize)
{
    return IndexSize / IndexRecordSize;
}

// Index record number Index of the index file's bytes (which must hold it).
TIndexRecord IndexRecordAt(std::string_view IndexBytes, std::size_t Index);

struct TDataRecord {
    std::uint8_t Useable = 0;
    std::string_view Name; // a view into the data file's bytes
};

// The data record that Record names, read as a consumer reads it: false when
// the record cannot be read, because its Length is below 1 (no room for the
// useable byte), its Offset is negative or it reaches past the end of Data.
// Any Offset and Length are safe.
bool TryDecodeDataRecord(std::string_view Data, const TIndexRecord& Record, TDataRecord& Result);
