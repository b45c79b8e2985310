#include "ImportFromBaseUnit.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "RunErrorUnit.h"
#include "Utf8PathUnit.h"
#include "Xliff2ReadUnit.h"
#include "XmlDomUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& AText, std::string_view AEnding) {
  return AText.size() >= AEnding.size() && AText.compare(AText.size() - AEnding.size(), AEnding.size(), AEnding) == 0;
}

// A working folder we may wipe: not empty and not a file-system root.
bool IsDeletableFolder(const fs::path& ADir) {
  const fs::path Clean = ADir.lexically_normal();
  return !Clean.empty() && Clean.has_relative_path() && Clean.relative_path() != "." && Clean.relative_path() != "..";
}

// True when APath lies inside the folder ADir (or is it).
bool IsInsideFolder(const fs::path& APath, const fs::path& ADir) {
  std::error_code Ec;
  const fs::path P = fs::weakly_canonical(fs::absolute(APath, Ec), Ec);
  const fs::path D = fs::weakly_canonical(fs::absolute(ADir, Ec), Ec);
  if (Ec) return false;
  auto PIt = P.begin();
  for (auto DIt = D.begin(); DIt != D.end(); ++DIt, ++PIt) {
    if (DIt->empty()) continue;  // the trailing delimiter of a folder path
    if (PIt == P.end() || *PIt != *DIt) return false;
  }
  return true;
}

// Walks the children of the document's root element, then of each "file" element.
bool WalkParsedDocument(const pugi::xml_document& ADoc, const TIsTerminateSetFunc& AIsTerminateSet,
                        const TFileChildFunc& AOnFileChild) {
  const auto Stopped = [&] { return AIsTerminateSet && AIsTerminateSet(); };
  if (Stopped()) return true;
  const pugi::xml_node Root = ADoc.document_element();
  for (pugi::xml_node Child = Root.first_child(); Child; Child = Child.next_sibling()) {
    if (Stopped()) return true;
    if (!IsElementNamed(Child, "file") || !Child.first_child()) continue;
    for (pugi::xml_node FileChild = Child.first_child(); FileChild; FileChild = FileChild.next_sibling()) {
      if (Stopped()) return true;
      AOnFileChild(FileChild);
    }
  }
  return true;
}

// Hands every "trans-unit" below AParent (a body, or a slice of one: never a unit itself) to
// AOnTransUnit, in document order, without descending into one.
void WalkTransUnits(pugi::xml_node AParent, const TTransUnitFunc& AOnTransUnit) {
  ForEachOutermost(AParent, "trans-unit", AOnTransUnit);
}

// An XLIFF 2 document's units are walked without the body walk, so none of its content may be
// cut out; with nothing cut out, the skeleton is the whole document and serves as it is.
std::unique_ptr<TSlicedDocument> UsableSliced(std::unique_ptr<TSlicedDocument> ADoc) {
  if (ADoc && ADoc->HasCutOuts() && IsXliff2Root(ADoc->Skeleton().document_element())) return nullptr;
  return ADoc;
}

// Room for the records of ADocuments, so that the array is not moved again and again as it grows
// (each move of a large array touches fresh pages). A segment takes some hundred bytes of markup
// at the least; room that is never used is never touched, so it costs address space only.
void ReserveRecordsFor(const std::vector<std::string>& ADocuments, TArrayOfDiffInfoRecord& ARecords) {
  constexpr std::uintmax_t kLeastBytesPerSegment = 256;
  std::uintmax_t Bytes = 0;
  for (const std::string& D : ADocuments) {
    std::error_code Ec;
    const std::uintmax_t Size = fs::file_size(PathFromUtf8(D), Ec);
    if (!Ec) Bytes += Size;
  }
  constexpr std::uintmax_t kMostReserved = 1 << 20;  // beyond, the array grows as it must
  const std::uintmax_t Wanted = ARecords.size() + std::min(Bytes / kLeastBytesPerSegment, kMostReserved);
  if (Wanted <= ARecords.capacity()) return;
  try {
    ARecords.reserve(static_cast<std::size_t>(Wanted));
  } catch (const std::exception&) {
    // Only a saving: without the room the array grows as it must.
  }
}

}  // namespace

std::string CopyFailureReason(const std::string& AFileName, const std::error_code& AError) {
  std::error_code Ec;
  if (fs::is_directory(PathFromUtf8(AFileName), Ec)) return "a folder, not a file";
  return "cannot copy: " + (AError ? AError.message() : std::string("unknown error"));
}

bool CopyWorkingFile(const std::string& AFrom, const std::string& ATo, std::error_code& AError) {
  if (!fs::copy_file(PathFromUtf8(AFrom), PathFromUtf8(ATo), fs::copy_options::none, AError) || AError) return false;
  // Windows copies the read-only flag, and a read-only file keeps the working folder from being
  // removed there.
  std::error_code Ignored;
  fs::permissions(PathFromUtf8(ATo), fs::perms::owner_write, fs::perm_options::add, Ignored);
  return true;
}

TImporter::TImporter(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces)
    : FTempDir(ATempDir), FDoNotSeparateSpaces(ADoNotSeparateSpaces), FFileFullName(AFileFullName) {}

TImporter::~TImporter() = default;

TFileTypeGroup TImporter::DefineFileType(const std::string& AFileName) {
  using enum TFileTypeGroup;
  if (EndsWith(AFileName, ".sdlxliff")) return ftg_01;
  if (EndsWith(AFileName, ".sdlrpx") || EndsWith(AFileName, ".sdlppx")) return ftg_02;
  if (EndsWith(AFileName, ".mqxliff")) return ftg_03;
  if (EndsWith(AFileName, ".mqxlz")) return ftg_04;
  if (EndsWith(AFileName, ".mxliff")) return ftg_05;
  if (EndsWith(AFileName, ".xlf") || EndsWith(AFileName, ".xliff")) return ftg_06;
  return ftg_undefined;
}

std::string TImporter::ReasonOf(const std::exception& AError) {
  if (const auto* Xml = dynamic_cast<const EXmlError*>(&AError)) return Xml->Reason();
  return ShortReason(AError.what());
}

void TImporter::NoteFailure(std::string AReason, std::string ADocument) {
  FFailures.push_back({std::move(ADocument), std::move(AReason)});
}

void TImporter::DeleteTmpDir() {
  const fs::path Dir = PathFromUtf8(FTempDir);
  if (!IsDeletableFolder(Dir)) throw std::runtime_error("Refusing to delete the working folder \"" + FTempDir + "\"");
  if (!fs::is_directory(Dir)) throw std::runtime_error("The working folder \"" + FTempDir + "\" does not exist");
  fs::remove_all(Dir);  // throws fs::filesystem_error on failure
}

TImporter::TReadOutcome TImporter::ReadAll(const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData, const TDocumentReadFunc& AOnDocument) {
  TReadOutcome Outcome;
  Outcome.Extracted = ExtractFile();
  if (Outcome.Extracted != TExtractFilesResult::efrOk) return Outcome;
  DefineSrcAndTrgLanguages();
  Outcome.Languages = FLangPair;
  GetSrcFileNames();
  ReserveRecordsFor(UnpackedFiles(), AResultData);
  for (const std::string& Document : UnpackedFiles()) {
    if (AIsTerminateSet && AIsTerminateSet()) {
      Outcome.Stopped = true;
      break;
    }
    const std::size_t Before = AResultData.size();
    const bool Read = GetDataFromFile(Document, AIsTerminateSet, AResultData);
    if (AOnDocument) AOnDocument(Document, Before, Read);
    if (!Read) {
      Outcome.ReadFailed = true;
      break;
    }
  }
  DeleteTmpDir();
  return Outcome;
}

TExtractFilesResult TImporter::PrepareTempDir() {
  using enum TExtractFilesResult;
  try {
    std::error_code Ec;
    if (!fs::exists(PathFromUtf8(FFileFullName), Ec)) {
      if (!Ec || Ec == std::errc::no_such_file_or_directory) return efrFileNotFound;
      NoteFailure(Ec.message());
      return efrPrepareExtractOtherError;
    }
    const fs::path Dir = PathFromUtf8(FTempDir);
    // Note: an input inside the working folder would be wiped with it; refuse instead of losing it.
    if (!IsDeletableFolder(Dir) || IsInsideFolder(PathFromUtf8(FFileFullName), Dir)) {
      NoteFailure("the input lies inside the working folder");
      return efrPrepareExtractOtherError;
    }
    if (fs::exists(Dir, Ec)) {
      fs::remove_all(Dir, Ec);
      if (Ec) {
        NoteFailure("cannot empty the working folder: " + Ec.message());
        return efrDeleteTempDirError;
      }
    }
    fs::create_directories(Dir, Ec);
    if (Ec || !fs::is_directory(Dir)) {
      NoteFailure("cannot create the working folder" + (Ec ? ": " + Ec.message() : std::string()));
      return efrCreateTempDirError;
    }
    return efrUnknown;
  } catch (const std::exception& E) {
    NoteFailure(ReasonOf(E));
    return efrPrepareExtractOtherError;
  }
}

void TImporter::AppendSegmentRecord(const std::string& AFileName, const std::string& AUnitID,
                                    const std::string& ASegmentID, std::string ASourceString, std::string AResultStr,
                                    const std::string& AMatch, bool AIsLocked,
                                    TArrayOfDiffInfoRecord& AResultData) const {
  TDiffInfoRecord& R = AResultData.emplace_back();
  R.FileName = AFileName;
  R.UnitID = TrimBlanks(AUnitID);
  R.SegmentID = ASegmentID;
  R.Match = AMatch;
  R.IsLocked = AIsLocked;
  R.SourceString = std::move(ASourceString);
  R.ResultStr = std::move(AResultStr);
  // Note: one control character in one segment would otherwise fail the whole report.
  ReplaceForbiddenControls(R.SourceString);
  ReplaceForbiddenControls(R.ResultStr);
  R.SourceLang = FLangPair.SrcLang;
  R.TargetLang = FLangPair.TrgLang;
}

TExtractFilesResult TImporter::ExtractSingleDocument(const std::string& ATempFileName) {
  using enum TExtractFilesResult;
  const TExtractFilesResult Prepared = PrepareTempDir();
  if (Prepared != efrUnknown) return Prepared;
  try {
    std::error_code Ec;
    if (CopyWorkingFile(FFileFullName, ATempFileName, Ec)) return efrOk;
    NoteFailure(CopyFailureReason(FFileFullName, Ec));
    return efrFileCopyError;
  } catch (const std::exception& E) {
    NoteFailure(ReasonOf(E));
    return efrFileCopyError;
  }
}

TLangPair TImporter::DocumentLanguages(pugi::xml_node ARoot) {
  // XLIFF 2 names both languages on the root, for every file.
  if (IsXliff2Root(ARoot)) return {ARoot.attribute("srcLang").value(), ARoot.attribute("trgLang").value()};
  const pugi::xml_node File = FindChildElement(ARoot, "file");
  return {FindAttribute(File, "source-language").value(), FindAttribute(File, "target-language").value()};
}

void TImporter::ReadLanguagesOfFirstFile(const std::string& ADocFile, const std::string& AMethodName) {
  FLangPair = {};
  ReleaseDocument();
  try {
    if (FBodySliceBytes > 0) {
      if (std::unique_ptr<TSlicedDocument> Sliced = OpenSliced(ADocFile)) {
        FLangPair = DocumentLanguages(Sliced->Skeleton().document_element());
        FKeptFile = ADocFile;
        FKeptSliced = std::move(Sliced);
        return;
      }
    }
    // Parsed keeping blank text, as the walk wants it: blank text nodes are not elements, so the
    // languages are the same.
    auto Doc = std::make_unique<pugi::xml_document>();
    try {
      LoadXmlFile(*Doc, ADocFile, true);
    } catch (const EXmlError&) {
      FKeptFile = ADocFile;
      FKeptError = std::current_exception();
      throw;
    }
    FLangPair = DocumentLanguages(Doc->document_element());
    FKeptFile = ADocFile;
    FKeptDoc = std::move(Doc);
  } catch (const std::exception& E) {
    Logger().AddException(AMethodName, E);
  }
}

void TImporter::ReleaseDocument() {
  FKeptDoc.reset();
  FKeptSliced.reset();
  FKeptFile.clear();
  FKeptError = nullptr;
}

bool TImporter::WalkDocument(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                             const TFileChildFunc& AOnFileChild, const std::string& AMethodName) {
  if (ASrcFile.empty()) return true;
  std::unique_ptr<pugi::xml_document> Doc;
  std::unique_ptr<TSlicedDocument> Sliced;
  std::exception_ptr KeptError;
  if (ASrcFile == FKeptFile) {
    Doc = std::move(FKeptDoc);
    Sliced = std::move(FKeptSliced);
    KeptError = FKeptError;
  }
  ReleaseDocument();
  try {
    if (KeptError) std::rethrow_exception(KeptError);
    if (!Doc && !Sliced && FBodySliceBytes > 0) Sliced = OpenSliced(ASrcFile);
    if (Sliced) return WalkSlicedDocument(*Sliced, AIsTerminateSet, AOnFileChild);
    if (!Doc) {
      Doc = std::make_unique<pugi::xml_document>();
      LoadXmlFile(*Doc, ASrcFile, true);
    }
    return WalkParsedDocument(*Doc, AIsTerminateSet, AOnFileChild);
  } catch (const std::exception& E) {
    Logger().AddException(AMethodName, E);
    NoteFailure(ReasonOf(E));
    return false;
  }
}

bool TImporter::WalkDocumentText(std::string_view AData, const TIsTerminateSetFunc& AIsTerminateSet,
                                 const TFileChildFunc& AOnFileChild, const std::string& AMethodName) {
  try {
    if (FBodySliceBytes > 0)
      if (const std::unique_ptr<TSlicedDocument> Sliced = OpenSlicedText(AData))
        return WalkSlicedDocument(*Sliced, AIsTerminateSet, AOnFileChild);
    pugi::xml_document Doc;
    LoadXmlText(Doc, AData, true);
    return WalkParsedDocument(Doc, AIsTerminateSet, AOnFileChild);
  } catch (const std::exception& E) {
    Logger().AddException(AMethodName, E);
    NoteFailure(ReasonOf(E));
    return false;
  }
}

bool TImporter::WalkLoadedDocument(const pugi::xml_document& ADoc, const TIsTerminateSetFunc& AIsTerminateSet,
                                   const TFileChildFunc& AOnFileChild, const std::string& AMethodName) {
  try {
    return WalkParsedDocument(ADoc, AIsTerminateSet, AOnFileChild);
  } catch (const std::exception& E) {
    Logger().AddException(AMethodName, E);
    NoteFailure(ReasonOf(E));
    return false;
  }
}

void TImporter::WalkBody(pugi::xml_node ABody, const TTransUnitFunc& AOnTransUnit) const {
  if (FWalkingSliced && FWalkingSliced->IsCutOut(ABody)) {
    FWalkingSliced->ForEachSlice(ABody,
                                 [&](const pugi::xml_document& ASlice) { WalkTransUnits(ASlice, AOnTransUnit); });
    return;
  }
  WalkTransUnits(ABody, AOnTransUnit);
}

std::unique_ptr<TSlicedDocument> TImporter::OpenSliced(const std::string& AFileName) const {
  return UsableSliced(TSlicedDocument::OpenFile(AFileName, FBodySliceBytes));
}

std::unique_ptr<TSlicedDocument> TImporter::OpenSlicedText(std::string_view AData) const {
  return UsableSliced(TSlicedDocument::Open(std::string(AData), FBodySliceBytes));
}

bool TImporter::WalkSlicedDocument(const TSlicedDocument& ADoc, const TIsTerminateSetFunc& AIsTerminateSet,
                                   const TFileChildFunc& AOnFileChild) {
  struct TWalking {
    const TSlicedDocument*& Slot;
    ~TWalking() { Slot = nullptr; }
  } Walking{FWalkingSliced};
  FWalkingSliced = &ADoc;
  return WalkParsedDocument(ADoc.Skeleton(), AIsTerminateSet, AOnFileChild);
}

std::string TImporter::ConvertSegmentXml(pugi::xml_node ASegment, TSegmentConverter& AConverter) {
  if (!ASegment) throw EXmlError("Cannot serialise a missing segment element");
  return ConvertTree(ASegment, AConverter);
}

}  // namespace lexmora
