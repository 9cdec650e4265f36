// String helpers used by the XML reader. Texts are byte strings: every byte is
// one character, NUL included; counts are in characters.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// A set of byte values.
using TCharSet = std::bitset<256>;

// The set holding exactly the bytes of Chars.
TCharSet MakeCharSet(std::string_view Chars);

inline bool InSet(const TCharSet& Set, unsigned char C) { return Set[C]; }

// The first Count characters of S (all of S when Count >= its length, none when Count <= 0).
std::string LeftStr(std::string_view S, std::int64_t Count);

// The last Count characters of S (all of S when Count >= its length, none when Count <= 0).
std::string RightStr(std::string_view S, std::int64_t Count);

// S without the characters of Chars at its start and at its end.
std::string TrimSet(std::string_view S, const TCharSet& Chars);

// TrimSet of S stored back into S, without a second copy of the text. A string
// left much smaller than its buffer is given a buffer of its size.
void TrimSetInPlace(std::string& S, const TCharSet& Chars);
