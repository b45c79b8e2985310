// Fuzzes the SDLXLIFF reader's document walk from a memory buffer. Besides crashes, hangs and
// sanitizer reports it checks that every record holds valid UTF-8 and well-formed internal markup.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <pugixml.hpp>

#include "ImportFromFileGroup01Unit.h"
#include "FuzzSupport.h"
#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

[[noreturn]] void Fail(const char* AWhat, const TDiffInfoRecord& ARecord) {
  std::fprintf(stderr, "%s in unit [%s] segment [%s]\nsource: %s\ntarget: %s\n", AWhat, ARecord.UnitID.c_str(),
               ARecord.SegmentID.c_str(), ARecord.SourceString.c_str(), ARecord.ResultStr.c_str());
  std::abort();
}

}  // namespace

LEXMORA_FUZZ_WITH_SILENCED_LOG()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  // The first byte, when it is below 8, picks after how many stop queries the walk is stopped.
  int StopAfter = -1;
  std::string_view Input(reinterpret_cast<const char*>(AData), ASize);
  if (!Input.empty() && static_cast<unsigned char>(Input[0]) < 8) {
    StopAfter = static_cast<unsigned char>(Input[0]);
    Input.remove_prefix(1);
  }
  int Queries = 0;
  const TIsTerminateSetFunc Stop = [&] { return StopAfter >= 0 && Queries++ >= StopAfter; };
  TImporterFromGroup01 Reader("/nonexistent-lexmora-fuzz/", "/nonexistent-lexmora-fuzz/in.sdlxliff", false);
  TArrayOfDiffInfoRecord Records;
  Reader.GetDataFromText(Input, "doc.sdlxliff", Stop, Records);
  for (const TDiffInfoRecord& R : Records) {
    if (!fuzz::ParsesAsFragment(R.SourceString, true) || !fuzz::ParsesAsFragment(R.ResultStr, true)) Fail("ill-formed markup", R);
    if (R.SegmentID.empty() || R.UnitID != TrimBlanks(R.UnitID)) Fail("bad ids", R);
  }
  return 0;
}
