// What every peer builder shares: it reads skills.xml whole, prints the same
// banner and lines as mkskills, and writes the same two files with buffered writes.
// Only the XML library differs, so the end-to-end figures compare the readers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace peer {

inline std::string LoadFile(const char* FileName)
{
    std::FILE* In = std::fopen(FileName, "rb");
    if (In == nullptr) {
        std::perror(FileName);
        std::exit(1);
    }
    std::fseek(In, 0, SEEK_END);
    const long Size = std::ftell(In);
    std::fseek(In, 0, SEEK_SET);
    std::string Text(static_cast<std::size_t>(Size), '\0');
    if (std::fread(Text.data(), 1, Text.size(), In) != Text.size()) {
        std::perror(FileName);
        std::exit(1);
    }
    std::fclose(In);
    return Text;
}

// Integer text as the skill files need it: leading spaces, an optional sign, digits.
inline std::int16_t ParseUseable(std::string_view Text)
{
    const std::string Copy(Text);
    return static_cast<std::int16_t>(std::strtol(Copy.c_str(), nullptr, 10));
}

class TSkillOutput {
public:
    TSkillOutput()
    {
        static const char* const Banner[] = {
            "mkskills - skill file builder, (c) 2026 the mkskills authors",
            "Contact: mkskills@example.org",
            "Web: https://mkskills.example.org/",
            "=================================",
            "Creating skill files...",
        };
        for (const char* Line : Banner) {
            Console.append(Line);
            Console.append("\r\n");
        }
        Flush(stdout, Console);
        Data = Open("skills.mul");
        Index = Open("skills.idx");
    }

    ~TSkillOutput()
    {
        Flush(Data, DataPending);
        Flush(Index, IndexPending);
        Flush(stdout, Console);
        std::fclose(Data);
        std::fclose(Index);
    }

    void Add(std::string_view Name, std::int16_t Useable)
    {
        const auto Length = static_cast<std::uint32_t>(Name.size() + 1);
        AppendLE32(IndexPending, DataOffset);
        AppendLE32(IndexPending, Length);
        IndexPending.append("ZEB", 4);
        DataPending += static_cast<char>(Useable & 0xFF);
        DataPending.append(Name);
        DataOffset += Length;
        Console.append(Name);
        Console.append(" (Useable: ");
        Console.append(std::to_string(Useable));
        Console.append("\r\n");
        if (DataPending.size() + IndexPending.size() >= Chunk || Console.size() >= Chunk) {
            Flush(Data, DataPending);
            Flush(Index, IndexPending);
            Flush(stdout, Console);
        }
    }

private:
    static constexpr std::size_t Chunk = 1 << 20;

    static std::FILE* Open(const char* FileName)
    {
        std::FILE* File = std::fopen(FileName, "wb");
        if (File == nullptr) {
            std::perror(FileName);
            std::exit(1);
        }
        return File;
    }
    static void Flush(std::FILE* File, std::string& Pending)
    {
        std::fwrite(Pending.data(), 1, Pending.size(), File);
        std::fflush(File);
        Pending.clear();
    }
    static void AppendLE32(std::string& Out, std::uint32_t Value)
    {
        for (int Shift = 0; Shift < 32; Shift += 8)
            Out += static_cast<char>((Value >> Shift) & 0xFF);
    }

    std::FILE* Data = nullptr;
    std::FILE* Index = nullptr;
    std::string DataPending, IndexPending, Console;
    std::uint32_t DataOffset = 0;
};

} // namespace peer
