// Speed of the XLSX writer in memory: folding cell texts into rich runs, adding rows (each text
// made loadable on the way) and building the worksheet and shared-string parts.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "ExportToExcelUnit.h"

using namespace lexmora;

namespace {

// One side of a segment of ALength characters where about one step in AChangeEvery is changed.
std::string FoldCell(TExcelFileCreator& AWriter, std::mt19937& ARng, bool AIsTr, int ALength, int AChangeEvery) {
  std::string Cell;
  bool Last = true;
  for (int I = 0; I < ALength; ++I) {
    const bool Kept = ARng() % static_cast<unsigned>(AChangeEvery) != 0;
    const std::u32string Chr(1, static_cast<char32_t>(U'a' + ARng() % 26));
    AWriter.AddStrToStr(AIsTr, Cell, Chr, I + 1, Kept, Last, {}, {}, TShowTagsFlag::stfShowTagsOnly);
    Last = Kept;
  }
  AWriter.FinishStr(Cell, Last, {}, TShowTagsFlag::stfShowTagsOnly);
  return Cell;
}

void BM_ExcelReport(benchmark::State& AState) {
  const int Rows = static_cast<int>(AState.range(0));
  TDiffFileConstructorSettings Settings;
  Settings.TranslatorFiles = {"/in/a.sdlxliff"};
  Settings.EditorFiles = {"/out/a.sdlxliff"};
  Settings.FillDiffRowColored = true;
  Settings.ResultFileName = "/nonexistent/Result_";
  std::size_t Bytes = 0;
  for (auto _ : AState) {
    std::mt19937 Rng(7);
    TExcelFileCreator Writer(Settings);
    Writer.AddCaption();
    Writer.AddJoinRow("/tmp/a.sdlxliff (en-US > de-DE)");
    for (int R = 0; R < Rows; ++R) {
      const std::string Src = FoldCell(Writer, Rng, true, 120, 1000000);
      const std::string Tr = FoldCell(Writer, Rng, true, 120, 12);
      const std::string Ed = FoldCell(Writer, Rng, false, 120, 12);
      Writer.AddRow(false, false, std::to_string(R + 1), Src, "", Tr, Ed, "80");
    }
    Writer.AddTotalInfo(Rows, Rows, "80%");
    const std::string Sheet = Writer.BuildSheet1();
    const std::string Strings = Writer.BuildSharedStrings();
    Bytes = Sheet.size() + Strings.size();
    benchmark::DoNotOptimize(Bytes);
  }
  AState.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(Rows), benchmark::Counter::kIsIterationInvariantRate);
  AState.counters["part MiB"] = static_cast<double>(Bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ExcelReport)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
