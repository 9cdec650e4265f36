// Runs the built mkskills as a child process in a scratch directory, for the
// end-to-end tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// A fresh temporary directory, removed with everything in it at the end.
class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::filesystem::path& Path() const { return Dir; }
    void Write(const std::string& FileName, const std::string& Bytes) const;
    std::string Read(const std::string& FileName) const;
    bool Exists(const std::string& FileName) const;

private:
    std::filesystem::path Dir;
};

enum class TStdout {
    Pipe,    // captured into TRunResult::Output
    DevFull, // every write fails with "no space left"
    Closed,  // descriptor 1 is not open
    PipeClosedAfterOneLine, // a pipe whose reader quits after the first line feed
};

struct TRunSetup {
    TStdout Stdout = TStdout::Pipe;
    std::optional<std::uint64_t> FileSizeLimit;    // RLIMIT_FSIZE, bytes
    std::optional<std::uint64_t> AddressSpaceLimit; // RLIMIT_AS, bytes
};

struct TRunResult {
    int ExitStatus = -1; // -1 when the program did not exit normally
    std::string Output;  // everything written to standard output
    int Signal = 0;      // the signal that ended the program, 0 when it exited
    long PeakMemoryKiB = 0; // the program's peak resident memory
};

// Runs mkskills with Dir as the working directory.
TRunResult RunProgram(const TScratchDir& Dir, const TRunSetup& Setup = {});

// The five banner lines as the program prints them.
extern const std::string BannerText;
