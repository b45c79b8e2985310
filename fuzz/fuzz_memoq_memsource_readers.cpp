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
#include "ProgramPathsUnit.h"
#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

bool ParsesAsFragment(const std::string& AText, bool AOnlyFlatTags) {
  if (!IsValidUtf8(AText)) return false;
  if (AText.empty()) return true;
  pugi::xml_document Doc;
  pugi::xml_node Root = Doc.append_child("ROOT");
  if (!Root.append_buffer(AText.data(), AText.size(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment,
                          pugi::encoding_utf8))
    return false;
  if (!AOnlyFlatTags) return true;
  for (pugi::xml_node C = Root.first_child(); C; C = C.next_sibling()) {
    if (C.type() == pugi::node_pcdata) continue;
    const std::string Name = C.name();
    if (C.type() != pugi::node_element || (Name != "x" && Name != "y" && Name != "z")) return false;
    if (C.first_child() && (C.first_child().next_sibling() || C.first_child().type() != pugi::node_pcdata)) return false;
  }
  return true;
}

[[noreturn]] void Fail(const char* AWhat, const TDiffInfoRecord& ARecord) {
  std::fprintf(stderr, "%s in unit [%s]\nsource: %s\ntarget: %s\n", AWhat, ARecord.UnitID.c_str(), ARecord.SourceString.c_str(),
               ARecord.ResultStr.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The readers log every malformed input: send the log to /dev/null.
  char Templ[] = "/tmp/lexmora-fuzz-XXXXXX";
  if (const char* Dir = mkdtemp(Templ)) {
    std::filesystem::create_directories(std::filesystem::path(Dir) / "Logs");
    std::filesystem::create_symlink("/dev/null", std::filesystem::path(Dir) / "Logs" / "Logger.log");
    SetProgramDataDirOverride(Dir);
  }
  return 0;
}

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
    if (!ParsesAsFragment(R.SourceString, IsMemoQ) || !ParsesAsFragment(R.ResultStr, IsMemoQ)) Fail("ill-formed markup", R);
    if (R.UnitID.empty() || R.UnitID != TrimBlanks(R.UnitID)) Fail("bad unit id", R);
  }
  return 0;
}
