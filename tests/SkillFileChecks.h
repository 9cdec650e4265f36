// Expected contents of skills.idx, skills.mul and the console, built from a
// list of skills, and the checks the end-to-end tests share. The byte layouts
// are written out here on their own rather than taken from the program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

struct TSkill {
    std::string Name;
    std::int16_t Useable = 0;
};
using TSkills = std::vector<TSkill>;

inline void AppendLittleEndian32(std::string& Out, std::uint32_t Value)
{
    for (int Shift = 0; Shift < 32; Shift += 8)
        Out += static_cast<char>((Value >> Shift) & 0xFF);
}

inline std::uint32_t LittleEndian32At(const std::string& Bytes, std::size_t At)
{
    std::uint32_t Value = 0;
    for (std::size_t I = 4; I-- > 0;)
        Value = (Value << 8) | static_cast<unsigned char>(Bytes[At + I]);
    return Value;
}

inline std::string IndexFileOf(const TSkills& Skills)
{
    std::string Index;
    std::uint32_t Offset = 0;
    for (const TSkill& Skill : Skills) {
        const auto Length = static_cast<std::uint32_t>(Skill.Name.size() + 1);
        AppendLittleEndian32(Index, Offset);
        AppendLittleEndian32(Index, Length);
        Index.append("ZEB\0", 4);
        Offset += Length;
    }
    return Index;
}

inline std::string DataRecordOf(const TSkill& Skill)
{
    return static_cast<char>(Skill.Useable & 0xFF) + Skill.Name;
}

inline std::string DataFileOf(const TSkills& Skills)
{
    std::string Data;
    for (const TSkill& Skill : Skills)
        Data += DataRecordOf(Skill);
    return Data;
}

inline std::string LinesOf(const TSkills& Skills)
{
    std::string Lines;
    for (const TSkill& Skill : Skills)
        Lines += Skill.Name + " (Useable: " + std::to_string(Skill.Useable) + "\r\n";
    return Lines;
}

// The data records that the two files describe together, in index order. Adds
// a failure for every index record that does not follow its predecessor or
// names bytes the data file does not hold, and for data the index does not name.
inline std::vector<std::string> RecordsOf(const std::string& Index, const std::string& Data)
{
    std::vector<std::string> Records;
    EXPECT_EQ(Index.size() % 12, 0u) << "index size " << Index.size();
    std::size_t Expected = 0;
    for (std::size_t At = 0; At + 12 <= Index.size(); At += 12) {
        const std::uint32_t Offset = LittleEndian32At(Index, At);
        const std::uint32_t Length = LittleEndian32At(Index, At + 4);
        EXPECT_EQ(Index.substr(At + 8, 4), std::string("ZEB\0", 4)) << "record " << At / 12;
        if (Offset != Expected || Length < 1 || Data.size() < Expected + Length) {
            ADD_FAILURE() << "record " << At / 12 << ": Offset " << Offset << ", Length " << Length
                          << ", data file size " << Data.size();
            return Records;
        }
        Records.push_back(Data.substr(Offset, Length));
        Expected += Length;
    }
    EXPECT_EQ(Data.size(), Expected) << "data file holds bytes no index record names";
    return Records;
}

// Output is Head followed by the error report of the given kind and message
// (Message as printed, its final "." included).
inline void ExpectReport(const std::string& Output, const std::string& Head, const std::string& Kind,
                         const std::string& Message, const std::string& Module = "mkskills")
{
    // Outputs may run to megabytes: show only where they part.
    const auto Parted = std::mismatch(Head.begin(), Head.end(), Output.begin(), Output.end());
    const auto At = static_cast<std::size_t>(Parted.first - Head.begin());
    ASSERT_EQ(At, Head.size()) << "output differs at byte " << At << ": expected \""
                               << Head.substr(At, 80) << "\", got \"" << Output.substr(At, 160) << '"';
    const std::string Report = Output.substr(Head.size());
    const std::regex Format("Exception ([A-Za-z]+) in module " + Module + " at [0-9A-F]{8}\\.\n");
    std::smatch Match;
    ASSERT_TRUE(std::regex_search(Report, Match, Format, std::regex_constants::match_continuous))
        << "report: " << Report.substr(0, 240);
    EXPECT_EQ(Match.str(1), Kind);
    EXPECT_EQ(Report.substr(static_cast<std::size_t>(Match.length(0))), Message + "\r\n");
}
