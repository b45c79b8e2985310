// The per-segment export beside a report: one CSV record per segment of the language pair, for
// people who work on the figures in a spreadsheet or a script.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "DataTypeUnit.h"
#include "PostEditMetricsUnit.h"

namespace lexmora {

// One segment as the export lists it.
struct TCsvSegment {
  int Row = 0;  // the report's row number; 0 when the report leaves the segment out
  std::string_view Document, UnitID, SegmentID, SourceLang, TargetLang, Match;
  bool Locked = false;
  std::int64_t EditSteps = 0;  // the row's character edit distance, as TSegmentFacts has it
  std::int64_t Length = 0;
  const TMetricSums* Metrics = nullptr;
  std::int64_t SourceWords = 0, SourceCharacters = 0;
  std::string_view Band;
  std::string_view SourceText, TranslatedText, EditedText;  // tags as their display text
};

// The whole file in memory: UTF-8 with a byte-order mark (spreadsheet programs take such a file
// for Unicode), records ended by CR LF, fields quoted as RFC 4180 does where they need it.
// Numbers are written with "." whatever the user's decimal separator, so scripts read them alike.
class TCsvSegmentTable {
 public:
  // Starts with the mark and the record of column names.
  TCsvSegmentTable();
  void Add(const TCsvSegment& ASegment);
  const std::string& Text() const { return FText; }

 private:
  void Field(std::string_view AValue);
  void EndRecord();

  std::string FText;
  bool FRecordOpen = false;
};

// A symbol text with each tag written as its display text ("<b>", "{1}"), the tags' numeric
// character references read back.
std::string TextWithTagDisplay(std::u32string_view ASymbols, const TTagDict& ADict);

// The name of the export beside a report: the report's name with ".csv" for its extension.
std::string CsvFileNameFor(const std::string& AReportFile);

}  // namespace lexmora
