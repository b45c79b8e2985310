// The HTML report: one self-contained XHTML page per language pair.
#pragma once

#include <string>

#include "ExportToBaseUnit.h"

namespace lexmora {

class THTMLFileCreator : public TBaseFileCreator {
 public:
  explicit THTMLFileCreator(const TDiffFileConstructorSettings& ASettings);
  ~THTMLFileCreator() override;

  void AddCaption() override;
  void AddRow(bool AIsEqu, bool AIsLocked, const std::string& ARecNo, const std::string& ASrcText,
              const std::string& AMatchPercent, const std::string& ATrText, const std::string& AEdText,
              const std::string& AEditDistance) override;
  void AddJoinRow(const std::string& AText) override;
  std::string GetFileExtention() const override;  // ".html"
  // Saves the page; always answers empty. A failing file operation throws.
  std::string ExecuteFileCreation(const std::string& ATrgLangPair, const TOnProgressCallback& ACallback) override;
  std::string AddTotalInfo(std::int32_t ATotalSegCount, std::int32_t AChangedSegCount,
                           const std::string& AEdDist) override;
  void AddStrToStr(bool AIsTrPart, std::string& ACurrStr, std::u32string_view ANewStr, std::int32_t ANewStrPos,
                   bool AIsNewStrTypeNormal, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                   const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) override;
  void FinishStr(std::string& ACurrStr, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                 TShowTagsFlag AShowTagsFlag) override;
  void AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept, const TTagDict& ADict,
              const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) override;

  // The analysis section after the segment table.
  void AddAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit) override;

  // Text from the input files, escaped for the page; characters XML cannot hold become U+FFFD.
  static std::string PageText(std::string_view AText);

  // The whole file as it will be saved: UTF-8 with byte-order mark, CR LF line ends.
  std::string BuildPage() const;

  // The label span of a tag symbol, or empty when the tag is not shown or not known.
  static std::string RenderTagSpan(std::u32string_view ASymbol, std::int32_t ANewStrPos, const TTagDict& ADict,
                                   TShowTagsFlag AShowTagsFlag, const TTagIDDict& AIDDict);

 private:
  // The page head down to the logo paragraph.
  std::string PageHead() const;
  // The page in order as pieces of AHead, AMiddle and ATail, made here, and the writer's own row
  // and analysis texts, which are not copied.
  std::vector<std::string_view> PagePieces(std::string& AHead, std::string& AMiddle, std::string& ATail) const;

  std::string FResultTotalInfo;    // the totals table, lines ended by CR LF
  // The comparison table so far, to append to.
  std::string& BodyToAppend();

  std::vector<std::string> FBodyChunks;  // the comparison table's first lines, lines ended by CR LF
  std::string FResultContentBody;        // and the lines after them
  std::string FResultAnalysis;     // the analysis section, lines ended by CR LF
};

}  // namespace lexmora
