// Any bytes as a document for the reader: a parse either gives a tree that keeps
// its invariants or fails with one of the reader's own messages.
#include "FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Bytes, std::size_t Size)
{
    const std::string Fault = CheckReaderInput(std::string_view(reinterpret_cast<const char*>(Bytes), Size));
    if (!Fault.empty()) {
        std::fprintf(stderr, "reader fault: %s\n", Fault.c_str());
        std::abort();
    }
    return 0;
}
