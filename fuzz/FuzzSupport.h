// Shared pieces of the reader fuzz targets: a silenced log and the checks on produced markup.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <pugixml.hpp>

#include "ProgramPathsUnit.h"
#include "XmlDomUnit.h"

namespace lexmora::fuzz {

// Readers log every malformed input; point the program folder at a fresh temp folder whose
// log file is /dev/null so the fuzzer is not slowed down by disk writes. Returns that temp
// folder (empty on failure), where a target may keep its own work files beside "log".
inline std::filesystem::path SilenceLog() {
  char Templ[] = "/tmp/lexmora-fuzz-XXXXXX";
  const char* Dir = mkdtemp(Templ);
  if (!Dir) return {};
  // Every run (and every job of a -fork run) makes one; it goes when the run ends normally.
  static std::filesystem::path Made;
  Made = Dir;
  std::atexit([] {
    std::error_code Ec;
    std::filesystem::remove_all(Made, Ec);
  });
  const std::filesystem::path Base = std::filesystem::path(Dir) / "log";
  std::filesystem::create_directories(Base / "Logs");
  std::filesystem::create_symlink("/dev/null", Base / "Logs" / "Logger.log");
  SetProgramDataDirOverride(Base.string());
  return Dir;
}

// The libFuzzer start-up of a reader target that needs nothing but a silenced log.
#define LEXMORA_FUZZ_WITH_SILENCED_LOG()                 \
  extern "C" int LLVMFuzzerInitialize(int*, char***) { \
    lexmora::fuzz::SilenceLog();                       \
    return 0;                                          \
  }

// True when AText is valid UTF-8 that parses as an XML fragment; with AOnlyFlatTags its elements
// must also be top-level x/y/z elements carrying only text (the internal markup).
inline bool ParsesAsFragment(const std::string& AText, bool AOnlyFlatTags) {
  if (!IsValidUtf8(AText)) return false;
  if (AText.empty()) return true;
  pugi::xml_document Doc;
  pugi::xml_node Root = Doc.append_child("ROOT");
  if (!Root.append_buffer(AText.data(), AText.size(),
                          pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment, pugi::encoding_utf8))
    return false;
  if (!AOnlyFlatTags) return true;
  for (pugi::xml_node C = Root.first_child(); C; C = C.next_sibling()) {
    if (C.type() == pugi::node_pcdata) continue;
    const std::string Name = C.name();
    if (C.type() != pugi::node_element || (Name != "x" && Name != "y" && Name != "z")) return false;
    if (C.first_child() && (C.first_child().next_sibling() || C.first_child().type() != pugi::node_pcdata))
      return false;
  }
  return true;
}

}  // namespace lexmora::fuzz
