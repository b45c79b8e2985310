// Helpers shared by the import tests: scratch folders, files and SDLXLIFF documents.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ImportFromFileGroup01Unit.h"

namespace lexmora::test {

// A scratch folder removed again at the end of the test.
class TScratchDir {
 public:
  explicit TScratchDir(const std::string& AName)
      : FPath(std::filesystem::temp_directory_path() /
              ("lexmora-import-" + std::to_string(::getpid()) + "-" + AName)) {
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
  }
  ~TScratchDir() {
    std::error_code Ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, Ec);
    std::filesystem::remove_all(FPath, Ec);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // Path inside the folder, as a string.
  std::string operator/(const std::string& AName) const { return (FPath / AName).string(); }

 private:
  std::filesystem::path FPath;
};

inline void WriteFile(const std::string& AFileName, const std::string& AData) {
  std::filesystem::create_directories(std::filesystem::path(AFileName).parent_path());
  std::ofstream(AFileName, std::ios::binary) << AData;
}

inline std::string ReadFile(const std::string& AFileName) {
  std::ifstream F(AFileName, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(F)), std::istreambuf_iterator<char>());
}

// An SDLXLIFF document with one "file" element holding AHeader and ABody.
inline std::string SdlDoc(const std::string& ABody, const std::string& AHeader = "") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<xliff xmlns:sdl=\"http://sdl.com/FileTypes/SdlXliff/1.0\" version=\"1.2\">"
         "<file source-language=\"en-US\" target-language=\"de-DE\"><header>" +
         AHeader + "</header><body>" + ABody + "</body></file></xliff>";
}

// A reader whose protected steps the tests may call.
class TOpenGroup01 : public TImporterFromGroup01 {
 public:
  using TImporterFromGroup01::TImporterFromGroup01;
  using TImporter::ConvertSegmentXml;
  using TImporter::PrepareTempDir;
  using TImporter::AppendSegmentRecord;
  using TImporterFromGroup01::ReadTagDefs;
  void SetLangPair(const TLangPair& APair) { FLangPair = APair; }
};

// Reads ADoc from memory with a fresh reader; the records name "doc.sdlxliff" as their file.
inline bool ReadSdl(const std::string& ADoc, TArrayOfDiffInfoRecord& ARecords, const TIsTerminateSetFunc& AStop = nullptr) {
  TImporterFromGroup01 Reader("/nonexistent/", "/nonexistent/doc.sdlxliff", false);
  return Reader.GetDataFromText(ADoc, "doc.sdlxliff", AStop, ARecords);
}

}  // namespace lexmora::test
