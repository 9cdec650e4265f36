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
#include <cstdint>
#include <string>
#include <string_view>

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
