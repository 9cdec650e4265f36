// The run of mkskills: banner, skills.xml in, skills.idx and skills.mul out,
// and the error report that ends a failed run.
#pragma once

#include "SkillRecords.h"

#include <cstdint>
#include <string>

// The whole content of the named file, byte for byte. Raises EFileOpenError
// when it cannot be opened and EReadError when reading it fails.
std::string LoadTextFile(const std::string& FileName);

struct TRunOptions {
    std::string ModuleName = "mkskills"; // shown in the error report
    int OutputFd = 1;                    // standard output
    std::int64_t MaxDataSize = MaxSkillDataSize;
};

// Runs the program in the current directory; gives the exit status.
int RunMkskills(const TRunOptions& Options);
