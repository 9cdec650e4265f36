// The reader in-process: text to a complete tree, then the tree destroyed, for
// mkskills' reader and for the peer libraries that are installed, on the same
// generated documents. Throughput is reported in bytes per second.
#include "SkillDocument.h"
#include "XMLReader.h"

#include <benchmark/benchmark.h>

#include <limits>
#include <malloc.h>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#ifdef HAVE_PUGIXML
#include <pugixml.hpp>
#endif
#ifdef HAVE_TINYXML2
#include <tinyxml2.h>
#endif
#ifdef HAVE_EXPAT
#include <expat.h>
#endif
#ifdef HAVE_LIBXML2
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif

namespace {

// Document sizes: a real skills file, and generated ones of about 1 and 50 MiB.
constexpr std::int64_t RealSize = 0;
constexpr std::int64_t OneMiB = 1 << 20;
constexpr std::int64_t FiftyMiB = 50 << 20;

const std::string& Document(std::int64_t Kind, std::int64_t Size)
{
    static std::map<std::pair<std::int64_t, std::int64_t>, std::string> Cache;
    auto& Text = Cache[{Kind, Size}];
    if (Text.empty()) {
        const auto DocumentKind = Kind == 0 ? TDocumentKind::Plain : TDocumentKind::Rich;
        const std::size_t Skills =
            Size == RealSize ? 60 : SkillsForSize(DocumentKind, static_cast<std::size_t>(Size));
        Text = MakeSkillDocument(DocumentKind, Skills);
    }
    return Text;
}

void Label(benchmark::State& State, const std::string& Text)
{
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(Text.size()));
    State.SetLabel(std::string(State.range(0) == 0 ? "plain" : "rich") + ", " +
                   std::to_string(Text.size()) + " bytes");
}

void Mkskills(benchmark::State& State)
{
    const std::string& Text = Document(State.range(0), State.range(1));
    for (auto _ : State) {
        // The reader takes its text by value; the copy stands for reading the file.
        TXMLStringReader Reader(Text);
        std::unique_ptr<TXMLNode> Tree = Reader.ParseDocument();
        benchmark::DoNotOptimize(Tree.get());
    }
    Label(State, Text);
}

#ifdef HAVE_PUGIXML
void Pugixml(benchmark::State& State)
{
    const std::string& Text = Document(State.range(0), State.range(1));
    for (auto _ : State) {
        pugi::xml_document Tree;
        // Copies the text and parses the copy, as a program that keeps its input would.
        const pugi::xml_parse_result Result = Tree.load_buffer(Text.data(), Text.size());
        if (!Result)
            State.SkipWithError("parse error");
        benchmark::DoNotOptimize(Tree.first_child());
    }
    Label(State, Text);
}
#endif

#ifdef HAVE_TINYXML2
void Tinyxml2(benchmark::State& State)
{
    const std::string& Text = Document(State.range(0), State.range(1));
    for (auto _ : State) {
        tinyxml2::XMLDocument Tree;
        if (Tree.Parse(Text.data(), Text.size()) != tinyxml2::XML_SUCCESS)
            State.SkipWithError("parse error");
        benchmark::DoNotOptimize(Tree.RootElement());
    }
    Label(State, Text);
}
#endif

#ifdef HAVE_EXPAT
// A tree like mkskills' own: an element holds its text, its attributes come
// first among its children.
struct TExpatNode {
    std::string Name, Value;
    std::vector<std::unique_ptr<TExpatNode>> Children;
};

struct TExpatBuilder {
    TExpatNode Root;
    std::vector<TExpatNode*> Open{&Root};

    static void Start(void* Data, const XML_Char* Name, const XML_Char** Attributes)
    {
        auto& Builder = *static_cast<TExpatBuilder*>(Data);
        auto Element = std::make_unique<TExpatNode>();
        Element->Name = Name;
        for (const XML_Char** A = Attributes; *A; A += 2) {
            auto Attribute = std::make_unique<TExpatNode>();
            Attribute->Name = A[0];
            Attribute->Value = A[1];
            Element->Children.push_back(std::move(Attribute));
        }
        TExpatNode* Raw = Element.get();
        Builder.Open.back()->Children.push_back(std::move(Element));
        Builder.Open.push_back(Raw);
    }
    static void End(void* Data, const XML_Char*) { static_cast<TExpatBuilder*>(Data)->Open.pop_back(); }
    static void Text(void* Data, const XML_Char* Text, int Length)
    {
        static_cast<TExpatBuilder*>(Data)->Open.back()->Value.append(Text,
                                                                      static_cast<std::size_t>(Length));
    }
};

void Expat(benchmark::State& State)
{
    const std::string& Text = Document(State.range(0), State.range(1));
    for (auto _ : State) {
        TExpatBuilder Builder;
        XML_Parser Parser = XML_ParserCreate(nullptr);
        XML_SetUserData(Parser, &Builder);
        XML_SetElementHandler(Parser, TExpatBuilder::Start, TExpatBuilder::End);
        XML_SetCharacterDataHandler(Parser, TExpatBuilder::Text);
        if (XML_Parse(Parser, Text.data(), static_cast<int>(Text.size()), 1) == XML_STATUS_ERROR)
            State.SkipWithError("parse error");
        XML_ParserFree(Parser);
        benchmark::DoNotOptimize(Builder.Root.Children.data());
    }
    Label(State, Text);
}
#endif

#ifdef HAVE_LIBXML2
void Libxml2(benchmark::State& State)
{
    const std::string& Text = Document(State.range(0), State.range(1));
    for (auto _ : State) {
        xmlDoc* Tree = xmlReadMemory(Text.data(), static_cast<int>(Text.size()), "skills.xml",
                                     nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
        if (Tree == nullptr)
            State.SkipWithError("parse error");
        xmlFreeDoc(Tree);
    }
    Label(State, Text);
}
#endif

// Documents with one thing taken to extremes, at two sizes sixteen times apart:
// time per byte must stay the same (no quadratic path).
std::string ExtremeDocument(std::int64_t Shape, std::int64_t Count)
{
    const auto N = static_cast<std::size_t>(Count);
    std::string Text;
    switch (Shape) {
    case 0: // one long name
        Text = "<a " + std::string(N, 'n') + "='1'/>\n";
        break;
    case 1: // one element with many attributes
        Text = "<a";
        for (std::size_t I = 0; I < N; ++I)
            Text += " a" + std::to_string(I) + "='" + std::to_string(I % 10) + "'";
        Text += "/>\n";
        break;
    case 2: // many comments
        Text = "<a>";
        for (std::size_t I = 0; I < N; ++I)
            Text += "<!-- c -->";
        Text += "</a>";
        break;
    default: // long element text with references
        Text = "<a>";
        for (std::size_t I = 0; I < N; ++I)
            Text += "x &amp; y ";
        Text += "</a>";
        break;
    }
    return Text;
}

void Extremes(benchmark::State& State)
{
    static std::map<std::pair<std::int64_t, std::int64_t>, std::string> Cache;
    std::string& Text = Cache[{State.range(0), State.range(1)}];
    if (Text.empty())
        Text = ExtremeDocument(State.range(0), State.range(1));
    for (auto _ : State) {
        TXMLStringReader Reader(Text);
        std::unique_ptr<TXMLNode> Tree = Reader.ParseDocument();
        benchmark::DoNotOptimize(Tree.get());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(Text.size()));
    static const char* const Shapes[] = {"long name", "many attributes", "many comments",
                                         "long text with references"};
    State.SetLabel(std::string(Shapes[State.range(0)]) + ", " + std::to_string(Text.size()) +
                   " bytes");
}

void Sizes(benchmark::internal::Benchmark* Bench)
{
    for (const std::int64_t Kind : {0, 1})
        for (const std::int64_t Size : {RealSize, OneMiB, FiftyMiB})
            Bench->Args({Kind, Size});
    Bench->ArgNames({"rich", "bytes"})->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(Mkskills)->Apply(Sizes);
BENCHMARK(Extremes)
    ->ArgNames({"shape", "count"})
    ->Args({0, 4 << 20})
    ->Args({0, 64 << 20})
    ->Args({1, 62500})
    ->Args({1, 1000000})
    ->Args({2, 62500})
    ->Args({2, 1000000})
    ->Args({3, 62500})
    ->Args({3, 1000000})
    ->Unit(benchmark::kMillisecond);
#ifdef HAVE_PUGIXML
BENCHMARK(Pugixml)->Apply(Sizes);
#endif
#ifdef HAVE_EXPAT
BENCHMARK(Expat)->Apply(Sizes);
#endif
#ifdef HAVE_TINYXML2
BENCHMARK(Tinyxml2)->Apply(Sizes);
#endif
#ifdef HAVE_LIBXML2
BENCHMARK(Libxml2)->Apply(Sizes);
#endif

// The heap keeps what it has been given, for every library alike: otherwise each
// iteration's big blocks go back to the system and come again as fresh pages,
// and on a virtual machine those page faults outweigh the parsing itself.
int main(int Argc, char** Argv)
{
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    benchmark::Initialize(&Argc, Argv);
    if (benchmark::ReportUnrecognizedArguments(Argc, Argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
