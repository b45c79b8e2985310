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
#include "ProgramPathsUnit.h"
#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

// Internal markup: text with top-level x/y/z elements that carry only text.
bool IsWellFormedMarkup(const std::string& AText) {
  if (!IsValidUtf8(AText)) return false;
  pugi::xml_document Doc;
  pugi::xml_node Root = Doc.append_child("ROOT");
  if (!Root.append_buffer(AText.data(), AText.size(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment, pugi::encoding_utf8))
    return AText.empty();
  for (pugi::xml_node C = Root.first_child(); C; C = C.next_sibling()) {
    if (C.type() == pugi::node_pcdata) continue;
    const std::string Name = C.name();
    if (C.type() != pugi::node_element || (Name != "x" && Name != "y" && Name != "z")) return false;
    if (C.first_child() && (C.first_child().next_sibling() || C.first_child().type() != pugi::node_pcdata)) return false;
  }
  return true;
}

[[noreturn]] void Fail(const char* AWhat, const TDiffInfoRecord& ARecord) {
  std::fprintf(stderr, "%s in unit [%s] segment [%s]\nsource: %s\ntarget: %s\n", AWhat, ARecord.UnitID.c_str(),
               ARecord.SegmentID.c_str(), ARecord.SourceString.c_str(), ARecord.ResultStr.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reader logs every malformed input: send the log to /dev/null.
  char Templ[] = "/tmp/lexmora-fuzz-XXXXXX";
  if (const char* Dir = mkdtemp(Templ)) {
    std::filesystem::create_directories(std::filesystem::path(Dir) / "Logs");
    std::filesystem::create_symlink("/dev/null", std::filesystem::path(Dir) / "Logs" / "Logger.log");
    SetProgramDataDirOverride(Dir);
  }
  return 0;
}

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
    if (!IsWellFormedMarkup(R.SourceString) || !IsWellFormedMarkup(R.ResultStr)) Fail("ill-formed markup", R);
    if (R.SegmentID.empty() || R.UnitID != TrimBlanks(R.UnitID)) Fail("bad ids", R);
  }
  return 0;
}
