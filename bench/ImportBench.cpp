// Reading speed of the SDLXLIFF reader on generated documents shaped like real ones: one tag
// definition per tag occurrence, a few tags per segment. Reading must stay linear in the size.
#include <benchmark/benchmark.h>

#include <string>

#include "ImportFromFileGroup01Unit.h"

using namespace lexmora;

namespace {

std::string MakeDocument(int ASegments) {
  std::string Defs = "<tag-defs>", Body;
  for (int I = 0; I < ASegments; ++I) {
    const std::string Id = std::to_string(I);
    Defs += "<tag id=\"" + Id + "\"><bpt>&lt;cf bold=\"True\"&gt;</bpt><ept>&lt;/cf&gt;</ept></tag>";
    if (I % 5 == 0) Defs += "<tag id=\"p" + Id + "\"><ph>&lt;br/&gt;</ph></tag>";
    Body += "<trans-unit id=\"" + Id + "\"><source>x</source><seg-source><mrk mtype=\"seg\" mid=\"1\">Press <g id=\"" + Id +
            "\">Start</g> to begin the &amp; process.</mrk></seg-source><target><mrk mtype=\"seg\" mid=\"1\">Dr\xC3\xBC"
            "cken Sie <g id=\"" + Id + "\">Start</g>, um zu beginnen.</mrk></target><sdl:seg-defs><sdl:seg id=\"1\" "
            "conf=\"Translated\" percent=\"100\"/></sdl:seg-defs></trans-unit>";
  }
  return "<xliff><file source-language=\"en-US\" target-language=\"de-DE\"><header>" + Defs + "</tag-defs></header><body>" +
         Body + "</body></file></xliff>";
}

void BM_ReadSdlxliff(benchmark::State& AState) {
  const std::string Doc = MakeDocument(static_cast<int>(AState.range(0)));
  for (auto _ : AState) {
    TImporterFromGroup01 Reader("/nonexistent/", "/nonexistent/a.sdlxliff", false);
    TArrayOfDiffInfoRecord Records;
    Reader.GetDataFromText(Doc, "a.sdlxliff", nullptr, Records);
    benchmark::DoNotOptimize(Records.data());
  }
  AState.SetBytesProcessed(static_cast<std::int64_t>(AState.iterations()) * static_cast<std::int64_t>(Doc.size()));
  AState.SetComplexityN(AState.range(0));
}
BENCHMARK(BM_ReadSdlxliff)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
