// Any bytes as a document for the reader: a parse either gives a tree that keeps
// its invariants or fails with one of the reader's own messages.
#include "Exception.h"
#include "FuzzChecks.h"
#include "XMLReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void Fail(const std::string& What)
{
    std::fprintf(stderr, "reader fault: %s\n", What.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Bytes, std::size_t Size)
{
    TXMLStringReader Reader(std::string(reinterpret_cast<const char*>(Bytes), Size));
    std::unique_ptr<TXMLNode> Document;
    try {
        Document = Reader.ParseDocument();
    } catch (const Exception& Error) {
        if (std::strcmp(Error.KindName(), "Exception") != 0)
            Fail(std::string("kind ") + Error.KindName());
        if (!IsReaderMessage(Error.Message()))
            Fail(std::string("message \"") + Error.Message() + "\"");
        return 0;
    }
    const std::string Fault = CheckDocumentTree(*Document);
    if (!Fault.empty())
        Fail(Fault);
    return 0; // the tree is destroyed here, node by node
}
