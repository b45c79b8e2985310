// TImporter: the abstract reader of one input file or package, and what the readers share.
//
// How the comparison run drives a reader (one reader per input path):
//   DefineFileType(path) -> CreateImporter(group, tempDir, path, noBreakOpt) (ImporterFactoryUnit.h)
//   -> ReadAll(stop, records), which runs ExtractFile(); only on efrOk: DefineSrcAndTrgLanguages(),
//   GetSrcFileNames(), GetDataFromFile(f, stop, records) for each f of UnpackedFiles() (stop at the
//   first false), then DeleteTmpDir() (throws on failure); the reader is destroyed in every case.
//
// A reader says why a step failed with NoteFailure before it returns the failure (and a package
// reader also for a document it skipped while reading on); the run turns Failures() into the
// error-log lines (RunErrorUnit.h).
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <system_error>
#include <vector>

#include "DataTypeUnit.h"
#include "XmlDomUnit.h"
#include "XmlSlicedDocumentUnit.h"

namespace lexmora {

// The run's stop query: true once the comparison has been asked to stop.
using TIsTerminateSetFunc = std::function<bool()>;

// (TOnProgressCallback, the progress hook of archive creation, lives in DataTypeUnit.h.)

// Handed each child of a "file" element by the shared document walk.
using TFileChildFunc = std::function<void(pugi::xml_node AFileChild)>;

// Handed each "trans-unit" element by the body walk.
using TTransUnitFunc = std::function<void(pugi::xml_node ATransUnit)>;

// One failure a reader noted: the reason in one short clause (RunErrorUnit.h) and, for a document
// inside a package, that document's path relative to the package.
struct TReadFailure {
  std::string Document;
  std::string Reason;
};

// The reason for a failed working copy of AFileName (a folder given as a file, or AError).
std::string CopyFailureReason(const std::string& AFileName, const std::error_code& AError);

// Copies AFrom to the new file ATo (never over an existing one) as a working copy the user may
// change and remove, also when AFrom is read-only; false with AError set when it could not.
bool CopyWorkingFile(const std::string& AFrom, const std::string& ATo, std::error_code& AError);

class TImporter {
 public:
  // Stores the three values; touches no file. ATempDir must end with a path delimiter.
  TImporter(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);
  virtual ~TImporter();
  TImporter(const TImporter&) = delete;
  TImporter& operator=(const TImporter&) = delete;

  // Reader group by the name's ending, case-sensitively; the file need not exist.
  static TFileTypeGroup DefineFileType(const std::string& AFileName);

  // Slot 1: prepares the working folder and places (and unpacks) the working copy. Never throws.
  virtual TExtractFilesResult ExtractFile() = 0;
  // Slot 2: sets the language pair. Never throws: errors are logged, the pair stays as far as set.
  virtual void DefineSrcAndTrgLanguages() = 0;
  // Slot 3: fills UnpackedFiles(). Never throws.
  virtual void GetSrcFileNames() = 0;
  // Slot 4: appends the segments of ASrcFile to AResultData, never touching earlier entries.
  // True when read or stopped on request; false when the document could not be read
  // (records appended before the failure stay).
  virtual bool GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                               TArrayOfDiffInfoRecord& AResultData) = 0;

  // Deletes the working folder with its content. Throws on any failure, also when it is missing.
  void DeleteTmpDir();

  // How ReadAll went.
  struct TReadOutcome {
    TExtractFilesResult Extracted = TExtractFilesResult::efrUnknown;  // nothing else ran unless efrOk
    bool Stopped = false;                                             // the stop query answered true before a document
    bool ReadFailed = false;  // a document could not be read; the later ones were not tried
    TLangPair Languages;      // the pair as DefineSrcAndTrgLanguages left it (reading may change it)
  };
  // The whole reading of the input, as every caller drives it: ExtractFile, and only on efrOk
  // DefineSrcAndTrgLanguages, GetSrcFileNames, GetDataFromFile for each document (asking
  // AIsTerminateSet before each, stopping at the first failure) and DeleteTmpDir, whose failure
  // is thrown.
  // AOnDocument, when given, is told after each GetDataFromFile the document, the size of
  // AResultData before it and whether it was read.
  using TDocumentReadFunc = std::function<void(const std::string& ADocument, std::size_t ABefore, bool ARead)>;
  TReadOutcome ReadAll(const TIsTerminateSetFunc& AIsTerminateSet, TArrayOfDiffInfoRecord& AResultData,
                       const TDocumentReadFunc& AOnDocument = {});

  const std::string& TempDir() const { return FTempDir; }
  const std::string& FileFullName() const { return FFileFullName; }
  bool DoNotSeparateSpaces() const { return FDoNotSeparateSpaces; }
  const TLangPair& LangPair() const { return FLangPair; }
  const std::vector<std::string>& UnpackedFiles() const { return FUnpackedFiles; }
  // Drops the document DefineSrcAndTrgLanguages kept for the reading (for a caller that reads
  // the document another way).
  void ReleaseDocument();

  // Whether the document walk reads bodies a slice of about ABytes at a time (see
  // XmlSlicedDocumentUnit.h) where the document allows it, or parses documents whole (0). The
  // readers whose bodies hold only trans-units read in slices. The records are the same either
  // way; tests compare them.
  void SetBodySliceBytes(std::size_t ABytes) { FBodySliceBytes = ABytes; }

  // Every failure noted so far, in order.
  const std::vector<TReadFailure>& Failures() const { return FFailures; }

  // The short reason of a caught exception: EXmlError's Reason(), else the first line of what().
  static std::string ReasonOf(const std::exception& AError);

 protected:
  void NoteFailure(std::string AReason, std::string ADocument = {});

  // Checks the input and resets the working folder: efrUnknown means "ready, go on".
  TExtractFilesResult PrepareTempDir();

  // Appends one record (unit id trimmed, languages from FLangPair as they stand now, control
  // characters XML cannot carry replaced by U+FFFD in both texts). The two texts are moved in.
  void AppendSegmentRecord(const std::string& AFileName, const std::string& AUnitID, const std::string& ASegmentID,
                           std::string ASourceString, std::string AResultStr, const std::string& AMatch, bool AIsLocked,
                           TArrayOfDiffInfoRecord& AResultData) const;

  // ExtractFile of the single-document readers: PrepareTempDir, then copy the input to
  // ATempFileName without overwriting.
  TExtractFilesResult ExtractSingleDocument(const std::string& ATempFileName);

  // DefineSrcAndTrgLanguages of the single-document readers: the first "file" element's
  // "source-language" and "target-language" of ADocFile, or for a document in XLIFF 2 form the
  // root's "srcLang" and "trgLang"; errors logged under AMethodName. The parsed document (or its
  // parse error), or the document opened in slices, is kept for the WalkDocument of the same
  // file, so a document is read once; a reader that will not walk ADocFile calls ReleaseDocument.
  void ReadLanguagesOfFirstFile(const std::string& ADocFile, const std::string& AMethodName);
  // The same languages of a parsed document's root element (empty codes where absent).
  static TLangPair DocumentLanguages(pugi::xml_node ARoot);

  // The shared document walk (GetDataFromFile of the single-document readers): parses ASrcFile
  // keeping blank text (or takes the document ReadLanguagesOfFirstFile kept), asks the stop query
  // before the root's and each "file"'s children, and hands each child of a non-empty "file"
  // element to AOnFileChild; the tree is released before it returns. Errors are logged under
  // AMethodName, noted as the failure and give false. An empty ASrcFile gives true at once.
  bool WalkDocument(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                    const TFileChildFunc& AOnFileChild, const std::string& AMethodName);

  // Same, for a document already in memory (fuzzing and tests).
  bool WalkDocumentText(std::string_view AData, const TIsTerminateSetFunc& AIsTerminateSet,
                        const TFileChildFunc& AOnFileChild, const std::string& AMethodName);

  // Same, for a document already parsed with blank text kept (a reader that looks at the root first).
  bool WalkLoadedDocument(const pugi::xml_document& ADoc, const TIsTerminateSetFunc& AIsTerminateSet,
                          const TFileChildFunc& AOnFileChild, const std::string& AMethodName);

  // The body walk: every "trans-unit" below ABody, in document order, goes to AOnTransUnit; a
  // trans-unit is not descended into. The stop query is not asked inside a body.
  // A body of a document read in slices is parsed here, one slice at a time.
  void WalkBody(pugi::xml_node ABody, const TTransUnitFunc& AOnTransUnit) const;

  // Re-reading of a segment element into internal markup. Gives what serialising ASegment and
  // parsing it again as the content of a fresh "ROOT" element would give, with blank-only text
  // runs kept, but straight from the parsed tree (comments and processing instructions are not
  // in the readers' trees, CDATA sections contribute nothing).
  static std::string ConvertSegmentXml(pugi::xml_node ASegment, TSegmentConverter& AConverter);

  std::string FTempDir;
  bool FDoNotSeparateSpaces;
  std::string FFileFullName;
  TLangPair FLangPair;
  std::vector<std::string> FUnpackedFiles;
  std::size_t FBodySliceBytes = 0;

 private:
  // The document AFileName (or AData) opened in slices, or null when it is to be parsed whole.
  std::unique_ptr<TSlicedDocument> OpenSliced(const std::string& AFileName) const;
  std::unique_ptr<TSlicedDocument> OpenSlicedText(std::string_view AData) const;
  bool WalkSlicedDocument(const TSlicedDocument& ADoc, const TIsTerminateSetFunc& AIsTerminateSet,
                          const TFileChildFunc& AOnFileChild);

  // The document ReadLanguagesOfFirstFile parsed, for the walk of FKeptFile.
  std::unique_ptr<pugi::xml_document> FKeptDoc;
  std::string FKeptFile;
  std::unique_ptr<TSlicedDocument> FKeptSliced;     // or the same document opened in slices
  std::exception_ptr FKeptError;                    // the parse error instead of a document
  const TSlicedDocument* FWalkingSliced = nullptr;  // the document being walked, when in slices
  std::vector<TReadFailure> FFailures;
};

}  // namespace lexmora
