// Fuzzes the plain XLIFF reader and the XLIFF 2 form of the Memsource reader from a memory buffer;
// the first byte picks the reader (even: plain XLIFF, odd: Memsource). Besides crashes, hangs and
// sanitizer reports it checks that every record holds valid UTF-8 markup that the report
// construction can convert, that plain XLIFF markup has only flat x/y/z tags, and that unit ids are
// trimmed and never empty.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "ImportFromFileGroup05Unit.h"
#include "ImportFromFileGroup06Unit.h"
#include "InternalTagParseUnit.h"
#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

[[noreturn]] void Fail(const char* AWhat, const TDiffInfoRecord& ARecord) {
  std::fprintf(stderr, "%s in unit [%s] segment [%s]\nsource: %s\ntarget: %s\n", AWhat, ARecord.UnitID.c_str(),
               ARecord.SegmentID.c_str(), ARecord.SourceString.c_str(), ARecord.ResultStr.c_str());
  std::abort();
}

bool Converts(const std::string& AMarkup) {
  try {
    TTagDict Dict;
    TTagIDDict IDs;
    ConvertTagsToSymbols(AMarkup, Dict, IDs);
    return true;
  } catch (const TTagMarkupError&) {
    return false;
  }
}

}  // namespace

LEXMORA_FUZZ_WITH_SILENCED_LOG()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  if (ASize == 0) return 0;
  const bool IsPlain = (AData[0] & 1) == 0;
  const std::string_view Input(reinterpret_cast<const char*>(AData) + 1, ASize - 1);
  TArrayOfDiffInfoRecord Records;
  if (IsPlain) {
    TImporterFromGroup06 Reader("/nonexistent-lexmora-fuzz/", "/nonexistent-lexmora-fuzz/in.xlf", false);
    Reader.GetDataFromText(Input, "doc.xlf", nullptr, Records);
  } else {
    TImporterFromGroup05 Reader("/nonexistent-lexmora-fuzz/", "/nonexistent-lexmora-fuzz/in.mxliff", false);
    Reader.GetDataFromText(Input, "doc.mxliff", nullptr, Records);
  }
  // A document of another dialect is read by that dialect's reader, whose markup may nest.
  pugi::xml_document Doc;
  const bool PlainDialect = IsPlain && Doc.load_buffer(Input.data(), Input.size()) &&
                            TImporterFromGroup06::DefineDialect(Doc.document_element()) == TXliffDialect::xdPlain;
  for (const TDiffInfoRecord& R : Records) {
    if (!fuzz::ParsesAsFragment(R.SourceString, PlainDialect) || !fuzz::ParsesAsFragment(R.ResultStr, PlainDialect))
      Fail("ill-formed markup", R);
    if (!Converts(R.SourceString) || !Converts(R.ResultStr)) Fail("markup the report cannot convert", R);
    // A unit id of blanks only gives a record with an empty id: the segment is kept, not dropped.
    if (R.UnitID != TrimBlanks(R.UnitID)) Fail("untrimmed unit id", R);
  }
  return 0;
}
