// The per-segment CSV export.
#include "CsvSegmentsUnit.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "EditBandUnit.h"
#include "InternalTagParseUnit.h"
#include "LocalizationUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

constexpr std::string_view kColumns[] = {
    "row",    "document",    "unit_id",         "segment_id", "source_lang", "target_lang",  "match",
    "locked", "ed_percent",  "word_ed_percent", "ter",        "chrf",        "source_words", "source_characters",
    "band",   "source_text", "translated_text", "edited_text"};

std::string Fixed(int ADigits, double AValue) {
  return FloatToRoundedStr(static_cast<std::uint8_t>(ADigits), AValue, ".");
}

// AContent with "&#NN;", "&#xNN;" and the five XML entities read back; anything else as it is.
std::string WithReferencesRead(std::string_view AContent) {
  std::string Out;
  Out.reserve(AContent.size());
  for (std::size_t I = 0; I < AContent.size(); ++I) {
    const std::size_t End = AContent[I] == '&' ? AContent.find(';', I) : std::string_view::npos;
    if (End == std::string_view::npos || End - I > 10) {
      Out += AContent[I];
      continue;
    }
    const std::string_view Name = AContent.substr(I + 1, End - I - 1);
    char32_t Code = 0;
    if (Name == "amp")
      Code = '&';
    else if (Name == "lt")
      Code = '<';
    else if (Name == "gt")
      Code = '>';
    else if (Name == "quot")
      Code = '"';
    else if (Name == "apos")
      Code = '\'';
    else if (Name.size() > 1 && Name[0] == '#') {
      const bool Hex = Name[1] == 'x' || Name[1] == 'X';
      const std::string_view Digits = Name.substr(Hex ? 2 : 1);
      std::uint32_t Value = 0;
      const auto [Ptr, Ec] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value, Hex ? 16 : 10);
      if (Ec == std::errc() && Ptr == Digits.data() + Digits.size() && !Digits.empty()) Code = Value;
    }
    if (Code == 0) {
      Out += AContent[I];
      continue;
    }
    AppendUtf8(Out, Code);
    I = End;
  }
  return Out;
}

}  // namespace

TCsvSegmentTable::TCsvSegmentTable() {
  FText = "\xEF\xBB\xBF";
  for (const std::string_view Column : kColumns) Field(Column);
  EndRecord();
}

void TCsvSegmentTable::Field(std::string_view AValue) {
  if (FRecordOpen) FText += ',';
  FRecordOpen = true;
  // Note: a plain loop, as find_first_of looks each byte up in the set through memchr.
  const bool NeedsQuotes =
      std::any_of(AValue.begin(), AValue.end(), [](char C) { return C == ',' || C == '"' || C == '\r' || C == '\n'; });
  if (!NeedsQuotes) {
    FText += AValue;
    return;
  }
  FText += '"';
  for (const char C : AValue) {
    if (C == '"') FText += '"';
    FText += C;
  }
  FText += '"';
}

void TCsvSegmentTable::EndRecord() {
  FText += "\r\n";
  FRecordOpen = false;
}

void TCsvSegmentTable::Add(const TCsvSegment& S) {
  Field(S.Row > 0 ? std::to_string(S.Row) : std::string());
  for (const std::string_view Text : {S.Document, S.UnitID, S.SegmentID, S.SourceLang, S.TargetLang, S.Match})
    Field(Text);
  Field(S.Locked ? "1" : "0");
  Field(S.Length == 0 ? std::string() : Fixed(0, SegmentEditDistance(S.EditSteps, S.Length)));
  const TMetricSums Empty;
  const TMetricSums& M = S.Metrics ? *S.Metrics : Empty;
  Field(Fixed(2, M.WordEditDistance()));
  Field(Fixed(2, M.TerPercent()));
  Field(Fixed(2, M.ChrfScore()));
  Field(std::to_string(S.SourceWords));
  Field(std::to_string(S.SourceCharacters));
  for (const std::string_view Text : {S.Band, S.SourceText, S.TranslatedText, S.EditedText}) Field(Text);
  EndRecord();
}

std::string TextWithTagDisplay(std::u32string_view ASymbols, const TTagDict& ADict) {
  std::string Out;
  Out.reserve(ASymbols.size());
  for (const char32_t C : ASymbols) {
    if (C < 0x80) {
      Out += static_cast<char>(C);
      continue;
    }
    const TTagDictRec* Tag = nullptr;
    if (C >= LowestTagSymbol)
      for (const TTagDictRec& Rec : ADict)
        if (Rec.Symbol.size() == 1 && Rec.Symbol[0] == C) {
          Tag = &Rec;
          break;
        }
    if (Tag)
      Out += WithReferencesRead(Tag->TagContent);
    else
      AppendUtf8(Out, C);
  }
  return Out;
}

std::string CsvFileNameFor(const std::string& AReportFile) {
  const std::size_t Dot = AReportFile.find_last_of('.');
  const std::size_t Slash = AReportFile.find_last_of("/\\");
  const bool HasExtension = Dot != std::string::npos && (Slash == std::string::npos || Dot > Slash);
  return (HasExtension ? AReportFile.substr(0, Dot) : AReportFile) + ".csv";
}

}  // namespace lexmora
