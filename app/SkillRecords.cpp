#include "SkillRecords.h"

namespace {

void AppendLittleEndian32(std::string& Out, std::int32_t Value)
{
    const auto Bits = static_cast<std::uint32_t>(Value);
    for (int Shift = 0; Shift < 32; Shift += 8)
        Out += static_cast<char>((Bits >> Shift) & 0xFF);
}

std::int32_t ReadLittleEndian32(std::string_view Bytes)
{
    std::uint32_t Bits = 0;
    for (int I = 3; I >= 0; --I)
        Bits = (Bits << 8) | static_cast<unsigned char>(Bytes[static_cast<std::size_t>(I)]);
    return static_cast<std::int32_t>(Bits);
}

} // namespace

void AppendIndexRecord(std::string& Out, const TIndexRecord& Record)
{
    AppendLittleEndian32(Out, Record.Offset);
    AppendLittleEndian32(Out, Record.Length);
    Out.append(Record.Extra.data(), Record.Extra.size());
}

TIndexRecord DecodeIndexRecord(std::string_view Bytes)
{
    TIndexRecord Record;
    Record.Offset = ReadLittleEndian32(Bytes.substr(0, 4));
    Record.Length = ReadLittleEndian32(Bytes.substr(4, 4));
    for (std::size_t I = 0; I < 4; ++I)
        Record.Extra[I] = Bytes[8 + I];
    return Record;
}

void AppendDataRecord(std::string& Out, std::int16_t Useable, std::string_view Name)
{
    Out += static_cast<char>(static_cast<std::uint16_t>(Useable) & 0xFF);
    Out.append(Name);
}

TIndexRecord IndexRecordAt(std::string_view IndexBytes, std::size_t Index)
{
    return DecodeIndexRecord(IndexBytes.substr(Index * IndexRecordSize, IndexRecordSize));
}

bool TryDecodeDataRecord(std::string_view Data, const TIndexRecord& Record, TDataRecord& Result)
{
    if (Record.Offset < 0 || Record.Length < 1)
        return false;
    const auto Offset = static_cast<std::uint64_t>(Record.Offset);
    const auto Length = static_cast<std::uint64_t>(Record.Length);
    if (Offset + Length > Data.size()) // both below 2^31: the sum cannot wrap
        return false;
    Result.Useable = static_cast<std::uint8_t>(Data[Offset]);
    Result.Name = Data.substr(Offset + 1, Length - 1);
    return true;
}
