// Drives a reader through the steps the comparison run takes, for tests of whole inputs.
#pragma once

#include <memory>
#include <string>

#include "ImportFromBaseUnit.h"
#include "ImporterFactoryUnit.h"
#include "LoggerUnit.h"
#include "ZipTestUtil.h"

namespace lexmora::testutil {

struct TReaderRun {
  TExtractFilesResult Extract = TExtractFilesResult::efrUnknown;
  TLangPair Pair;                  // the reader's pair after DefineSrcAndTrgLanguages
  std::vector<std::string> Files;  // its document list
  bool AllRead = true;             // no GetDataFromFile answered false
  TArrayOfDiffInfoRecord Records;
  std::vector<TReadFailure> Failures;  // what the reader noted, in order
};

// ExtractFile; on efrOk the languages, the document list, every document (stopping at the first
// false, as the run does) and DeleteTmpDir. The reader is chosen by AInput's extension unless
// AReader is given.
inline TReaderRun RunReader(const std::string& ATempDir, const std::string& AInput,
                            std::unique_ptr<TImporter> AReader = nullptr) {
  TReaderRun R;
  if (!AReader) AReader = CreateImporter(TImporter::DefineFileType(AInput), ATempDir, AInput, false);
  if (!AReader) throw std::runtime_error("no reader for " + AInput);
  R.Extract = AReader->ExtractFile();
  if (R.Extract != TExtractFilesResult::efrOk) {
    R.Failures = AReader->Failures();
    return R;
  }
  AReader->DefineSrcAndTrgLanguages();
  R.Pair = AReader->LangPair();
  AReader->GetSrcFileNames();
  R.Files = AReader->UnpackedFiles();
  for (const std::string& F : R.Files) {
    if (!AReader->GetDataFromFile(F, nullptr, R.Records)) {
      R.AllRead = false;
      break;
    }
  }
  R.Failures = AReader->Failures();
  AReader->DeleteTmpDir();
  return R;
}

// The current text of the global log.
inline std::string LogText() { return ReadFile(Logger().LogFileName()); }

// Number of times ANeedle occurs in AText.
inline std::size_t CountOf(const std::string& AText, const std::string& ANeedle) {
  std::size_t N = 0;
  for (std::size_t P = AText.find(ANeedle); P != std::string::npos; P = AText.find(ANeedle, P + ANeedle.size())) ++N;
  return N;
}

}  // namespace lexmora::testutil
