#include "SkillDump.h"

#include <algorithm>
#include <limits>

namespace {

std::string Dec(std::int64_t Value)
{
    return std::to_string(Value);
}

std::string Dec(std::uint64_t Value)
{
    return std::to_string(Value);
}

std::string Plural(std::uint64_t Count, const char* Singular, const char* PluralForm)
{
    return Dec(Count) + " " + (Count == 1 ? Singular : PluralForm);
}

// Text between double quotes. (Built by appending: "\"" + Text + "\"" trips a
// false -Wrestrict warning in g++ 12 at -O3.)
std::string Quoted(std::string_view Text)
{
    std::string Result;
    Result.reserve(Text.size() + 2);
    Result.append(1, '"').append(Text).append(1, '"');
    return Result;
}

void WritePadded(std::ostream& Out, std::string_view Text, std::size_t Width)
{
    for (std::size_t I = Text.size(); I < Width; ++I)
        Out.put(' ');
    Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
}

// Why a consumer cannot read the record's data; the record must be unreadable.
const char* UnreadableReason(const TIndexRecord& Record)
{
    if (Record.Length < 1)
        return "Length below 1";
    if (Record.Offset < 0)
        return "negative Offset";
    return "past the end of skills.mul";
}

std::string_view ExtraBytes(const TIndexRecord& Record)
{
    return {Record.Extra.data(), Record.Extra.size()};
}

} // namespace

std::string EscapeBytes(std::string_view Bytes)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string Text;
    Text.reserve(Bytes.size());
    for (const char C : Bytes) {
        const auto Byte = static_cast<unsigned char>(C);
        if (Byte == '\\' || Byte == '"') {
            Text += '\\';
            Text += C;
        } else if (Byte >= 32 && Byte <= 126) {
            Text += C;
        } else {
            Text += "\\x";
            Text += Digits[Byte >> 4];
            Text += Digits[Byte & 0xF];
        }
    }
    return Text;
}

std::string XmlAttributeText(std::string_view Bytes)
{
    std::string Text;
    Text.reserve(Bytes.size());
    for (const char C : Bytes) {
        const auto Byte = static_cast<unsigned char>(C);
        if (Byte < 32 || Byte > 126 || Byte == '&' || Byte == '<' || Byte == '"') {
            Text += "&#";
            Text += std::to_string(Byte);
            Text += ';';
        } else {
            Text += C;
        }
    }
    return Text;
}

std::uint64_t CheckSkillFiles(const TSkillFiles& Files, const std::function<void(const TFault&)>& Report)
{
    std::uint64_t Faults = 0;
    auto Emit = [&](TFaultKind Kind, std::optional<std::uint64_t> Record, const std::string& Text) {
        ++Faults;
        Report(TFault{Kind, Record, Record ? "record " + Dec(*Record) + ": " + Text : Text});
    };

    const std::size_t Count = IndexRecordCount(Files.Index.size());
    const auto DataSize = static_cast<std::int64_t>(Files.Data.size());
    // Where the record before the current one starts and ends, so where the
    // current one must start; unknown after a record with a negative Offset or
    // Length, whose end means nothing.
    struct TSpan {
        std::int64_t Start = 0;
        std::int64_t End = 0;
    };
    std::optional<TSpan> Previous = TSpan{};
    std::uint64_t LengthSum = 0;
    for (std::size_t I = 0; I < Count; ++I) {
        const TIndexRecord Record = IndexRecordAt(Files.Index, I);
        const std::int64_t Offset = Record.Offset;
        const std::int64_t Length = Record.Length;
        const std::uint64_t Index = I;

        if (Record.Extra != IndexExtra)
            Emit(TFaultKind::WrongExtra, Index,
                 "Extra is \"" + EscapeBytes(ExtraBytes(Record)) + "\", not \"ZEB\\x00\"");
        if (Length < 1)
            Emit(TFaultKind::LengthTooSmall, Index, "Length " + Dec(Length) + " is below 1");

        const std::int64_t End = Offset + std::max<std::int64_t>(Length, 0);
        if (Offset < 0) {
            Emit(TFaultKind::NegativeOffset, Index, "Offset " + Dec(Offset) + " is negative");
        } else if (Previous && Offset > Previous->End) {
            Emit(TFaultKind::Gap, Index,
                 "gap of " + Plural(static_cast<std::uint64_t>(Offset - Previous->End), "byte", "bytes") +
                     " before it: Offset " + Dec(Offset) + ", " +
                     (I == 0 ? std::string("the first record must start at 0")
                             : "record " + Dec(Index - 1) + " ends at " + Dec(Previous->End)));
        } else if (Previous && Offset < Previous->End) { // never for record 0, which follows 0 to 0
            const std::string Text = "record " + Dec(Index - 1) + ", which starts at " +
                                     Dec(Previous->Start) + " and ends at " + Dec(Previous->End) +
                                     ": Offset " + Dec(Offset) + ", Length " + Dec(Length);
            if (Offset >= Previous->Start || End > Previous->Start)
                Emit(TFaultKind::Overlap, Index, "overlaps " + Text);
            else
                Emit(TFaultKind::OutOfOrder, Index, "lies before " + Text);
        }
        if (Offset >= 0 && End > DataSize)
            Emit(TFaultKind::PastDataEnd, Index,
                 "reaches past the end of skills.mul: Offset " + Dec(Offset) + " and Length " +
                     Dec(Length) + " end at " + Dec(End) + ", the file has " +
                     Plural(static_cast<std::uint64_t>(DataSize), "byte", "bytes"));

        Previous = Offset >= 0 && Length >= 0 ? std::optional<TSpan>(TSpan{Offset, End}) : std::nullopt;
        if (Length > 0) {
            const auto Add = static_cast<std::uint64_t>(Length);
            LengthSum = LengthSum > std::numeric_limits<std::uint64_t>::max() - Add
                            ? std::numeric_limits<std::uint64_t>::max()
                            : LengthSum + Add;
        }
    }

    if (const std::size_t Tail = Files.Index.size() % IndexRecordSize; Tail != 0)
        Emit(TFaultKind::IncompleteRecord, Count,
             "incomplete: skills.idx ends " + Plural(Tail, "byte", "bytes") +
                 " into it (its size, " + Dec(static_cast<std::uint64_t>(Files.Index.size())) +
                 ", is not a multiple of 12)");
    const auto Size = static_cast<std::uint64_t>(Files.Data.size());
    if (Size != LengthSum)
        Emit(TFaultKind::DataSize, std::nullopt,
             "skills.mul: " + Plural(Size, "byte", "bytes") + ", but the Lengths add up to " +
                 Dec(LengthSum) + " (" +
                 (Size > LengthSum ? Dec(Size - LengthSum) + " more)" : Dec(LengthSum - Size) + " fewer)"));
    if (DataSize > MaxSkillDataSize)
        Emit(TFaultKind::DataTooLarge, std::nullopt,
             "skills.mul: " + Dec(DataSize) + " bytes, more than an Offset can reach (" +
                 Dec(MaxSkillDataSize) + ")");
    return Faults;
}

TDumpGaps WriteListing(const TSkillFiles& Files, std::ostream& Out)
{
    const std::size_t Count = IndexRecordCount(Files.Index.size());

    // Column widths from the widest value, so that the columns line up.
    std::size_t IndexWidth = 5;
    std::size_t OffsetWidth = 6;
    std::size_t LengthWidth = 6;
    if (Count > 0)
        IndexWidth = std::max(IndexWidth, Dec(static_cast<std::uint64_t>(Count - 1)).size());
    for (std::size_t I = 0; I < Count; ++I) {
        const TIndexRecord Record = IndexRecordAt(Files.Index, I);
        OffsetWidth = std::max(OffsetWidth, Dec(std::int64_t{Record.Offset}).size());
        LengthWidth = std::max(LengthWidth, Dec(std::int64_t{Record.Length}).size());
    }
    constexpr std::size_t UseableWidth = 7; // "Useable"; the values reach "-128"
    constexpr std::size_t ByteWidth = 4;    // "Byte"; the values reach "255"

    auto WriteRow = [&](std::string_view Index, std::string_view Offset, std::string_view Length,
                        std::string_view Useable, std::string_view Byte, std::string_view Name) {
        WritePadded(Out, Index, IndexWidth);
        Out << "  ";
        WritePadded(Out, Offset, OffsetWidth);
        Out << "  ";
        WritePadded(Out, Length, LengthWidth);
        Out << "  ";
        WritePadded(Out, Useable, UseableWidth);
        Out << "  ";
        WritePadded(Out, Byte, ByteWidth);
        Out << "  ";
        Out.write(Name.data(), static_cast<std::streamsize>(Name.size()));
        Out << '\n';
    };

    WriteRow("Index", "Offset", "Length", "Useable", "Byte", "Name");
    TDumpGaps Gaps;
    std::uint64_t NameBytes = 0;
    for (std::size_t I = 0; I < Count && Out; ++I) {
        const TIndexRecord Record = IndexRecordAt(Files.Index, I);
        const std::string Index = Dec(static_cast<std::uint64_t>(I));
        const std::string Offset = Dec(std::int64_t{Record.Offset});
        const std::string Length = Dec(std::int64_t{Record.Length});
        TDataRecord Data;
        if (TryDecodeDataRecord(Files.Data, Record, Data)) {
            NameBytes += Data.Name.size();
            WriteRow(Index, Offset, Length, Dec(std::int64_t{static_cast<std::int8_t>(Data.Useable)}),
                     Dec(std::uint64_t{Data.Useable}), Quoted(EscapeBytes(Data.Name)));
        } else {
            ++Gaps.UnreadableRecords;
            WriteRow(Index, Offset, Length, "-", "-",
                     std::string("(unreadable: ") + UnreadableReason(Record) + ")");
        }
    }
    Gaps.IncompleteBytes = Files.Index.size() % IndexRecordSize;

    std::string Summary = Plural(Count, "skill", "skills");
    if (Gaps.UnreadableRecords > 0)
        Summary += " (" + Dec(Gaps.UnreadableRecords) + " unreadable)";
    Summary += ", " + Plural(NameBytes, "name byte", "name bytes") + "; skills.idx " +
               Plural(Files.Index.size(), "byte", "bytes");
    if (Gaps.IncompleteBytes > 0)
        Summary += " (" + Dec(static_cast<std::uint64_t>(Gaps.IncompleteBytes)) +
                   " after the last whole record)";
    Summary += ", skills.mul " + Plural(Files.Data.size(), "byte", "bytes");
    Out << Summary << '\n';
    return Gaps;
}

TDumpGaps WriteSkillsXml(const TSkillFiles& Files, std::ostream& Out)
{
    const std::size_t Count = IndexRecordCount(Files.Index.size());
    TDumpGaps Gaps;
    Out << "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<skills>\n";
    for (std::size_t I = 0; I < Count && Out; ++I) {
        const TIndexRecord Record = IndexRecordAt(Files.Index, I);
        TDataRecord Data;
        if (TryDecodeDataRecord(Files.Data, Record, Data)) {
            // The useable byte as its unsigned value: mkskills stores its low 8 bits.
            Out << "  <skill name=\"" << XmlAttributeText(Data.Name) << "\" useable=\""
                << unsigned{Data.Useable} << "\"/>\n";
        } else {
            ++Gaps.UnreadableRecords;
            Out << "  <!-- record " << I << " cannot be read (" << UnreadableReason(Record)
                << "): an empty skill keeps the later skills' indices -->\n"
                << "  <skill name=\"\" useable=\"0\"/>\n";
        }
    }
    Gaps.IncompleteBytes = Files.Index.size() % IndexRecordSize;
    if (Gaps.IncompleteBytes > 0)
        Out << "  <!-- skills.idx ends with " << Gaps.IncompleteBytes
            << " bytes of an incomplete record, left out -->\n";
    Out << "</skills>\n";
    return Gaps;
}
