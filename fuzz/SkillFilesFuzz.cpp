// Fuzz target for the skill file reader: the input is split into skills.idx and
// skills.mul, which the checker, the listing and the XML export must survive
// whatever they hold. The checker must also agree with the writer: a pair is
// sound exactly when writing its records again the way mkskills does gives the
// same bytes.
#include "SkillDump.h"
#include "SkillRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace {

std::optional<std::pair<std::string, std::string>> Rewrite(const TSkillFiles& Files)
{
    if (Files.Index.size() % IndexRecordSize != 0)
        return std::nullopt;
    std::string Index, Data;
    for (std::size_t I = 0; I < IndexRecordCount(Files.Index.size()); ++I) {
        TDataRecord Record;
        if (!TryDecodeDataRecord(Files.Data, IndexRecordAt(Files.Index, I), Record))
            return std::nullopt;
        TIndexRecord Written;
        Written.Offset = static_cast<std::int32_t>(Data.size());
        Written.Length = static_cast<std::int32_t>(Record.Name.size() + 1);
        AppendIndexRecord(Index, Written);
        AppendDataRecord(Data, static_cast<std::int16_t>(Record.Useable), Record.Name);
    }
    return std::make_pair(std::move(Index), std::move(Data));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Bytes, std::size_t Size)
{
    // The first byte says how many whole index records the index gets, the
    // second adds 0 to 11 bytes of an incomplete one; the rest is the data
    // file. Index records may then run into the data's bytes.
    if (Size < 2)
        return 0;
    const std::string_view Input(reinterpret_cast<const char*>(Bytes) + 2, Size - 2);
    const std::size_t IndexSize =
        std::min(Input.size(), std::size_t{Bytes[0]} * IndexRecordSize + Bytes[1] % IndexRecordSize);
    const TSkillFiles Files{Input.substr(0, IndexSize), Input.substr(IndexSize)};

    std::uint64_t Reported = 0;
    const std::uint64_t Faults = CheckSkillFiles(Files, [&](const TFault& Fault) {
        ++Reported;
        if (Fault.Text.empty())
            std::abort();
    });
    if (Faults != Reported)
        std::abort();

    const auto Again = Rewrite(Files);
    const bool Same = Again && Again->first == Files.Index && Again->second == Files.Data;
    if ((Faults == 0) != Same)
        std::abort();

    std::ostringstream Listing, Xml;
    const TDumpGaps ListingGaps = WriteListing(Files, Listing);
    const TDumpGaps XmlGaps = WriteSkillsXml(Files, Xml);
    if (ListingGaps.Complete() != Again.has_value() || XmlGaps.Complete() != Again.has_value())
        std::abort();
    // Sound files export to pure ASCII.
    if (Faults == 0)
        for (const char C : Xml.str())
            if (static_cast<unsigned char>(C) > 126 || (static_cast<unsigned char>(C) < 32 && C != '\n'))
                std::abort();
    return 0;
}
