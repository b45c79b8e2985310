// Records and enumerations shared by readers, the comparison core and the writers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CostTermsUnit.h"

namespace lexmora {

// Text convention: every std::string holds UTF-8. Symbol texts handed to the
// difference engine are std::u32string, one element per code point.

// Interface language; selects the column of the message table.
enum class TLocalizationLanguare : std::uint8_t { llEN = 0, llRU = 1 };

// Reader group of an input file, decided by its extension (ftg_06: plain XLIFF, .xlf and .xliff).
enum class TFileTypeGroup : std::uint8_t {
  ftg_undefined = 0,
  ftg_01 = 1,
  ftg_02 = 2,
  ftg_03 = 3,
  ftg_04 = 4,
  ftg_05 = 5,
  ftg_06 = 6
};

// Outcome of a reader's preparation step (copy or unpack into the temp folder).
enum class TExtractFilesResult : std::uint8_t {
  efrUnknown = 0,
  efrFileNotFound = 1,
  efrDeleteTempDirError = 2,
  efrCreateTempDirError = 3,
  efrPrepareExtractOtherError = 4,
  efrFileCopyError = 5,
  efrFileUnpackError = 6,
  efrOk = 7
};

// Report format.
enum class TResultFileFormat : std::uint8_t { rffHTML = 0, rffXLSX = 1 };

// How inline tags appear in a report.
enum class TShowTagsFlag : std::uint8_t {
  stfDontShowTags = 0,
  stfShowTagsOnly = 1,
  stfShowTagsID = 2,
  stfShowTagsContent = 3
};

// Kind of an inline tag element in the internal markup.
enum class TTagType : std::uint8_t { ttBegin = 0, ttEnd = 1, ttFull = 2, ttNotNeeded = 3 };

// A source/target language pair, codes exactly as the input states them.
struct TLangPair {
  std::string SrcLang;
  std::string TrgLang;
};

// One inline tag taken out of a text in internal markup.
struct TTextTag {
  TTagType TagType = TTagType::ttBegin;
  std::string TagID;       // empty when the element has no id
  std::string TagContent;  // element content written back as XML text
};

// Which symbol stands for which tag. Same tag = same TagType and TagContent.
struct TTagDictRec {
  std::u32string Symbol;  // one code point
  TTagType TagType = TTagType::ttBegin;
  std::string TagContent;
};

// Where in a symbol text a tag symbol stands and which id the tag had.
struct TTagIDDictRec {
  int TagPos = 0;  // 1-based, in code points
  std::string TagID;
};

// Everything one comparison run needs; copied into the run and into each writer.
struct TDiffFileConstructorSettings {
  std::vector<std::string> TranslatorFiles;  // full paths, in reading order
  std::vector<std::string> EditorFiles;
  bool HideEquivalentString = false;
  bool DoNotSeparateSpaces = false;
  bool FillDiffRowColored = false;
  TShowTagsFlag ShowTagsFlag = TShowTagsFlag::stfDontShowTags;
  std::string TempDirectory;
  std::string ResultFileName;  // path prefix; the pair suffix and extension are appended
  TResultFileFormat ResultFileFormat = TResultFileFormat::rffHTML;
  TLocalizationLanguare LocalizationLanguare = TLocalizationLanguare::llEN;
  // Lower bounds of the analysis's edit-distance bands, highest first; empty: the default bands.
  std::vector<int> EditBandBounds;
  // Shares of the full rate by band (their bounds are the bands when EditBandBounds is empty),
  // the price and the currency; no rates: no cost table.
  TCostTerms Cost;
  // Also write each report's segments as "<report name>.csv".
  bool WriteCsv = false;
};

// One segment of one bilingual document, as a reader read it.
struct TDiffInfoRecord {
  std::string FileName;  // working copy of the document inside the temp folder
  // The document as the user named it: the input's path as given, and for a document of a
  // package that path with the document's path inside the package, "p.sdlppx (de-DE/a.sdlxliff)".
  // Filled by the run; empty in records made elsewhere.
  std::string UserPath;
  std::string UnitID;
  std::string SegmentID;
  std::string Match;
  bool IsLocked = false;
  std::string SourceString;  // internal tag markup
  std::string ResultStr;     // internal tag markup
  std::string SourceLang;
  std::string TargetLang;
};

using TArrayOfDiffInfoRecord = std::vector<TDiffInfoRecord>;
using TLangPairs = std::vector<TLangPair>;
using TTagDict = std::vector<TTagDictRec>;
using TTagIDDict = std::vector<TTagIDDictRec>;

// Progress hook of archive creation (work done, total work); the writers pass it through.
// May be empty.
using TOnProgressCallback = std::function<void(std::int64_t AValue, std::int64_t AMaxValue)>;

// Splits a CR LF (or LF) separated list into its non-empty lines.
std::vector<std::string> SplitLines(const std::string& AText);

}  // namespace lexmora
