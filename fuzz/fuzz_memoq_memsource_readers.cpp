// Fuzzes the memoQ and the Memsource document readers from a memory buffer; the first byte picks
// the reader. Besides crashes, hangs and sanitizer reports it checks that every record holds valid
// UTF-8 and markup that parses again as an XML fragment (memoQ: text with top-level x/y/z elements
// that carry only text).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <pugixml.hpp>

#include "ImportFromFileGroup03Unit.h"
#include "ImportFromFileGroup05Unit.h"
#include "FuzzSupport.h"
#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

[[noreturn]] void Fail(const char* AWhat, const TDiffInfoRecord& ARecord) {
  std::fprintf(stderr, "%s in unit [%s]\nsource: %s\ntarget: %s\n", AWhat, ARecord.UnitID.c_str(), ARecord.SourceString.c_str(),
               ARecord.ResultStr.c_str());
  std::abort();
}

}  // namespace

LEXMORA_FUZZ_WITH_SILENCED_LOG()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  if (ASize == 0) return 0;
  const bool IsMemoQ = (AData[0] & 1) == 0;
  const std::string_view Input(reinterpret_cast<const char*>(AData) + 1, ASize - 1);
  TArrayOfDiffInfoRecord Records;
  if (IsMemoQ) {
    TImporterFromGroup03 Reader("/nonexistent-lexmora-fuzz/", "/nonexistent-lexmora-fuzz/in.mqxliff", false);
    Reader.GetDataFromText(Input, "doc.mqxliff", nullptr, Records);
  } else {
    TImporterFromGroup05 Reader("/nonexistent-lexmora-fuzz/", "/nonexistent-lexmora-fuzz/in.mxliff", false);
    Reader.GetDataFromText(Input, "doc.mxliff", nullptr, Records);
  }
  for (const TDiffInfoRecord& R : Records) {
    if (!fuzz::ParsesAsFragment(R.SourceString, IsMemoQ) || !fuzz::ParsesAsFragment(R.ResultStr, IsMemoQ)) Fail("ill-formed markup", R);
    // A unit id of blanks only gives a record with an empty id: the segment is kept, not dropped.
    if (R.UnitID != TrimBlanks(R.UnitID)) Fail("untrimmed unit id", R);
  }
  return 0;
}
