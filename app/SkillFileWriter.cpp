#include "SkillFileWriter.h"

#include "HostErrors.h"
#include "WriteAll.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

int CreateFile(const char* FileName)
{
    const int Fd = ::open(FileName, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (Fd < 0)
        throw EFileCreateError(std::string("Cannot create file ") + FileName);
    return Fd;
}

} // namespace

TSkillFileWriter::TSkillFileWriter(std::int64_t MaxDataSize) : MaxDataSize(MaxDataSize)
{
    DataFd = CreateFile(DataFileName);
    try {
        IndexFd = CreateFile(IndexFileName);
    } catch (...) {
        ::close(DataFd);
        throw;
    }
}

TSkillFileWriter::~TSkillFileWriter()
{
    if (DataFd >= 0)
        ::close(DataFd);
    if (IndexFd >= 0)
        ::close(IndexFd);
}

void TSkillFileWriter::Add(std::int16_t Useable, std::string_view Name)
{
    const std::int64_t Offset = DataWritten + static_cast<std::int64_t>(DataPending.size());
    const std::int64_t Length = static_cast<std::int64_t>(Name.size()) + 1;
    if (Offset > MaxDataSize || Length > MaxDataSize - Offset)
        throw Exception("Skill data exceeds " + std::to_string(MaxDataSize) + " bytes");
    AppendIndexRecord(IndexPending, {static_cast<std::int32_t>(Offset),
                                     static_cast<std::int32_t>(Length), IndexExtra});
    AppendDataRecord(DataPending, Useable, Name);
}

void TSkillFileWriter::Commit()
{
    if (Failed)
        return;
    if (WriteAll(DataFd, DataPending) != 0)
        FailWrite(DataFileName);
    if (WriteAll(IndexFd, IndexPending) != 0)
        FailWrite(IndexFileName);
    DataWritten += static_cast<std::int64_t>(DataPending.size());
    IndexWritten += static_cast<std::int64_t>(IndexPending.size());
    DataPending.clear();
    IndexPending.clear();
}

void TSkillFileWriter::Close()
{
    Commit();
    const int Data = DataFd;
    const int Index = IndexFd;
    DataFd = IndexFd = -1;
    const bool DataClosed = ::close(Data) == 0;
    const bool IndexClosed = ::close(Index) == 0;
    if (!DataClosed)
        throw EWriteError(std::string("Cannot write file ") + DataFileName);
    if (!IndexClosed)
        throw EWriteError(std::string("Cannot write file ") + IndexFileName);
}

// Cuts both files back to the records they both hold completely, so that no
// record is left half written, then reports the file that failed.
void TSkillFileWriter::FailWrite(const char* FileName)
{
    Failed = true;
    DataPending.clear();
    IndexPending.clear();
    (void)::ftruncate(IndexFd, IndexWritten);
    (void)::ftruncate(DataFd, DataWritten);
    throw EWriteError(std::string("Cannot write file ") + FileName);
}
