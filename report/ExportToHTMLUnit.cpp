#include "ExportToHTMLUnit.h"

#include <iterator>

#include "HtmlAnalysisUnit.h"
#include "HtmlViewerUnit.h"
#include "InternalTagParseUnit.h"
#include "LocalizationUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

#include "HtmlLogo.inc"

const char* const CRLF = "\r\n";
const char* const MakerSiteUrl = "https://www.lexmora.example/";

void AppendLine(std::string& AOut, std::string_view ALine) {
  AOut.append(ALine);
  AOut.append(CRLF);
}

// Characters XML 1.0 cannot hold (C0 controls other than TAB, LF, CR) and bytes that are not
// UTF-8 (file names need not be) become U+FFFD, so the page always stays well-formed.
bool IsXmlChar(char32_t C) {
  return (C >= 0x20 && C != 0xFFFE && C != 0xFFFF) || C == U'\t' || C == U'\n' || C == U'\r';
}

std::string XmlSafe(std::string_view AText) {
  bool Clean = true;
  for (const char C : AText)
    if (static_cast<unsigned char>(C) < 0x20 ? !IsXmlChar(static_cast<unsigned char>(C))
                                             : static_cast<unsigned char>(C) >= 0x80) {
      Clean = false;
      break;
    }
  if (Clean) return std::string(AText);
  std::u32string Chars = Utf8ToU32(AText);
  for (char32_t& C : Chars)
    if (!IsXmlChar(C)) C = ReplacementChar;
  return U32ToUtf8(Chars);
}

// Every TAB gets a span of its own so that it shows as a wide gap.
// AText with every tab shown as a tab span, appended to AOut.
void AppendExpandedTabs(std::string& AOut, std::string_view AText) {
  for (std::size_t Tab = AText.find('\t'); Tab != std::string_view::npos; Tab = AText.find('\t')) {
    AOut.append(AText.substr(0, Tab));
    AOut += "<span class=\"tab\">\t</span>";
    AText.remove_prefix(Tab + 1);
  }
  AOut.append(AText);
}

// File names become escaped text, each followed by a line break element.
std::string FileListCell(const std::vector<std::string>& AFiles) {
  std::string Result;
  for (const std::string& File : AFiles) {
    Result += THTMLFileCreator::PageText(File);
    Result += "<br />";
  }
  return Result;
}

// Tag content arrives with its text characters as numeric references; any literal angle
// bracket left (nested markup) must not become live markup in the page.
std::string NeutraliseAngles(const std::string& AText) {
  std::string Result;
  Result.reserve(AText.size());
  for (const char C : AText) {
    if (C == '<')
      Result += "&lt;";
    else if (C == '>')
      Result += "&gt;";
    else
      Result.push_back(C);
  }
  return Result;
}

}  // namespace

std::string THTMLFileCreator::PageText(std::string_view AText) { return EscapeText(XmlSafe(AText)); }

THTMLFileCreator::THTMLFileCreator(const TDiffFileConstructorSettings& ASettings) : TBaseFileCreator(ASettings) {}

THTMLFileCreator::~THTMLFileCreator() = default;

void THTMLFileCreator::AddCaption() {
  struct TColumn {
    const char* Class;
    const char* Width;
    TMsg MsgId;
  };
  static const TColumn Columns[] = {
      {"ac", "3%", TMsg::HtmlColumnNo},          {"ac", "4%", TMsg::HtmlColumnMatch},
      {"al", "30%", TMsg::HtmlColumnSourceText}, {"al", "29%", TMsg::HtmlColumnTranslatedText},
      {"al", "29%", TMsg::HtmlColumnEditedText}, {"ac", "5%", TMsg::HtmlColumnEditDistance}};
  std::string& B = BodyToAppend();
  // Note: written as an empty element so that the page stays well-formed XHTML.
  AppendLine(B, "<br />");
  AppendLine(B, "<table cellpadding=\"3\" cellspacing=\"1\" border=\"0\" class=\"t02\">");
  AppendLine(B, "<tr style=\"background-color: #ccc;\">");
  for (const TColumn& Col : Columns) {
    B += "<th class=\"";
    B += Col.Class;
    B += "\" width=\"";
    B += Col.Width;
    B += "\">";
    B += GetLocalizedText(Col.MsgId, FSettings.LocalizationLanguare);
    AppendLine(B, "</th>");
  }
  AppendLine(B, "</tr>");
}

void THTMLFileCreator::AddRow(bool AIsEqu, bool AIsLocked, const std::string& ARecNo, const std::string& ASrcText,
                              const std::string& AMatchPercent, const std::string& ATrText, const std::string& AEdText,
                              const std::string& AEditDistance) {
  std::string& B = BodyToAppend();
  AppendLine(B, AIsEqu ? "<tr class=\"eq\">" : "<tr class=\"ne\">");
  B += "<td class=\"ac\">";
  B += ARecNo;
  AppendLine(B, "</td>");
  B += "<td class=\"ac\">";
  B += PageText(AMatchPercent);
  AppendLine(B, "</td>");
  B += AIsLocked ? "<td class=\"lbg\">" : "<td>";
  AppendExpandedTabs(B, ASrcText);
  AppendLine(B, "</td>");
  for (const std::string* Cell : {&ATrText, &AEdText}) {
    B += "<td>";
    AppendExpandedTabs(B, *Cell);
    AppendLine(B, "</td>");
  }
  B += "<td class=\"ac\">";
  B += AEditDistance;
  AppendLine(B, "</td>");
  AppendLine(B, "</tr>");
}

void THTMLFileCreator::AddJoinRow(const std::string& AText) {
  std::string& B = BodyToAppend();
  AppendLine(B, "<tr>");
  AppendLine(B, "<td colspan=\"6\" style=\"background-color: #eee;text-align:center;font-weight:bolder;color:#999\">");
  AppendLine(B, PageText(AText));
  AppendLine(B, "</td>");
  AppendLine(B, "</tr>");
}

std::string& THTMLFileCreator::BodyToAppend() {
  // A full chunk is put aside: growing one text of many MiB would copy it at every doubling.
  constexpr std::size_t kChunkBytes = 1024 * 1024;
  if (FResultContentBody.size() >= kChunkBytes) {
    FBodyChunks.push_back(std::move(FResultContentBody));
    FResultContentBody = std::string();
    FResultContentBody.reserve(kChunkBytes + kChunkBytes / 4);
  }
  return FResultContentBody;
}

std::string THTMLFileCreator::GetFileExtention() const { return ".html"; }

void THTMLFileCreator::AddAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit) {
  FResultAnalysis = RenderHtmlAnalysis(AAnalysis, AAudit, FSettings.LocalizationLanguare);
}

std::string THTMLFileCreator::AddTotalInfo(std::int32_t ATotalSegCount, std::int32_t AChangedSegCount,
                                           const std::string& AEdDist) {
  const TLocalizationLanguare L = FSettings.LocalizationLanguare;
  const std::pair<TMsg, std::string> Rows[] = {
      {TMsg::HtmlSourceFiles, FileListCell(FSettings.TranslatorFiles)},
      {TMsg::HtmlEditedFiles, FileListCell(FSettings.EditorFiles)},
      {TMsg::HtmlIdenticalSegments,
       GetLocalizedText(
           FSettings.HideEquivalentString ? TMsg::HtmlIdenticalSegmentsHidden : TMsg::HtmlIdenticalSegmentsShown, L)},
      {TMsg::HtmlSpaceDifference,
       GetLocalizedText(
           FSettings.DoNotSeparateSpaces ? TMsg::HtmlSpacesNotDifferentiated : TMsg::HtmlSpacesDifferentiated, L)},
      {TMsg::HtmlTotalSegments, std::to_string(ATotalSegCount)},
      {TMsg::HtmlEditedSegments, std::to_string(AChangedSegCount)},
      {TMsg::HtmlTotalEditDistance, AEdDist},
  };
  std::string& T = FResultTotalInfo;
  AppendLine(T, "<table border=\"0\" cellspacing=\"1\" class=\"t01\">");
  for (const auto& [MsgId, Value] : Rows) {
    AppendLine(T, "<tr>");
    AppendLine(T, "<th>" + GetLocalizedText(MsgId, L) + "</th>");
    AppendLine(T, "<td>" + Value + "</td>");
    AppendLine(T, "</tr>");
  }
  AppendLine(T, "</table>");
  return {};
}

std::string THTMLFileCreator::RenderTagSpan(std::u32string_view ASymbol, std::int32_t ANewStrPos, const TTagDict& ADict,
                                            TShowTagsFlag AShowTagsFlag, const TTagIDDict& AIDDict) {
  if (AShowTagsFlag == TShowTagsFlag::stfDontShowTags) return {};
  const TTagDictRec* Tag = nullptr;
  for (const TTagDictRec& Rec : ADict)
    if (Rec.Symbol == ASymbol) {
      Tag = &Rec;
      break;
    }
  const TTagIDDictRec* Id = nullptr;
  for (const TTagIDDictRec& Rec : AIDDict)
    if (Rec.TagPos == ANewStrPos) {
      Id = &Rec;
      break;
    }
  if (!Tag || !Id) return {};
  std::string Label;
  switch (AShowTagsFlag) {
    using enum TShowTagsFlag;
    case stfShowTagsID:
      Label = PageText(Id->TagID);
      break;
    case stfShowTagsContent:
      Label = NeutraliseAngles(XmlSafe(Tag->TagContent));
      break;
    default:
      break;
  }
  switch (Tag->TagType) {
    using enum TTagType;
    case ttBegin:
      return "<span class=\"tagX\">" + Label + "</span>";
    case ttEnd:
      return "<span class=\"tagY\">" + Label + "</span>";
    case ttFull:
      return "<span class=\"tagZ\">" + Label + "</span>";
    case ttNotNeeded:
      break;
  }
  return {};
}

void THTMLFileCreator::AddStrToStr(bool AIsTrPart, std::string& ACurrStr, std::u32string_view ANewStr,
                                   std::int32_t ANewStrPos, bool AIsNewStrTypeNormal, bool AIsLastStrTypeNormal,
                                   const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) {
  // Note: an empty fragment still opens or closes a mark, so a change with no character on
  // this side leaves an empty marked span at its place.
  if (AIsNewStrTypeNormal != AIsLastStrTypeNormal) {
    if (AIsNewStrTypeNormal)
      ACurrStr += "</span>";
    else
      ACurrStr += AIsTrPart ? "<span class=\"dbg\">" : "<span class=\"mbg\">";
  }
  if (ANewStr.empty()) return;
  if (IsSpecialChar(ANewStr))
    ACurrStr += EscapeChar(ANewStr);
  else if (IsTagSymbol(ANewStr, ADict))
    ACurrStr += RenderTagSpan(ANewStr, ANewStrPos, ADict, AShowTagsFlag, AIDDict);
  else if (IsXmlChar(ANewStr[0]))
    AppendUtf8(ACurrStr, ANewStr);
  else
    AppendUtf8(ACurrStr, std::u32string_view(U"\uFFFD"));
}

void THTMLFileCreator::AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept,
                              const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) {
  // A run opens or closes the mark once, even without a character on this side.
  if (ARun.Kept != APrevKept)
    ACurrStr += ARun.Kept ? "</span>" : (AIsTrPart ? "<span class=\"dbg\">" : "<span class=\"mbg\">");
  for (std::size_t I = 0; I < ARun.Text.size(); ++I) {
    const char32_t C = ARun.Text[I];
    if (AppendSpecialChar(ACurrStr, C)) continue;
    if (C >= 0x20 && C < 0x80) {  // the common case, and never a tag symbol (LowestTagSymbol)
      ACurrStr.push_back(static_cast<char>(C));
      continue;
    }
    const std::u32string_view One = ARun.Text.substr(I, 1);
    if (C >= LowestTagSymbol && !ADict.empty() && IsTagSymbol(One, ADict))
      ACurrStr += RenderTagSpan(One, ARun.FirstPos + static_cast<std::int32_t>(I), ADict, AShowTagsFlag, AIDDict);
    else
      lexmora::AppendUtf8(ACurrStr, IsXmlChar(C) ? C : ReplacementChar);
  }
}

void THTMLFileCreator::FinishStr(std::string& ACurrStr, bool AIsLastStrTypeNormal, const TTagDict& /*ADict*/,
                                 TShowTagsFlag /*AShowTagsFlag*/) {
  if (!AIsLastStrTypeNormal) ACurrStr += "</span>";
}

std::string THTMLFileCreator::PageHead() const {
  static const char* const HeadLines[] = {
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">",
      "<html xmlns=\"http://www.w3.org/1999/xhtml\">",
      "<head><meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\" />",
      "<title></title>",
      "<style>",
      "h4 {margin: 24px auto 0px;padding: 0px 0px;font-size: 48px;font-weight: bold;text-align: center;width: "
      "100%;color:#007A14}",
      "table.t01 {margin: 5px auto; width: 100%;}",
      "table.t01 th{margin: 0px;padding: 0px 4px 0px 0px;text-align: right;font-weight: bold;  width: "
      "50%;vertical-align: top;}",
      "table.t01 td{margin: 0px;padding: 0px 0px 0px 4px;text-align: left; font-weight: normal;width: "
      "50%;vertical-align: top;}",
      "table.t02 {background-color: #999;font: 20px Arial, sans-serif;}",
      "table.t02 th{padding: 8px 12px 5px; vertical-align: top}",
      "table.t02 td{padding: 3px 12px 1px; vertical-align: top}",
      ".eq{background-color:#fff;}",
      nullptr,  // the .ne rule depends on the highlighting option
      ".ar{text-align:right}",
      ".ac{text-align:center}",
      ".al{text-align:left;}",
      ".rd{background-color:#fdd;font-weight:bolder;color:#900;text-align:right}",
      ".gr{background-color:#dfd;font-weight:bolder;color:#090;text-align:center}",
      ".abg{background-color:#E6FFCC;color:#028200;border-radius:4px;}",
      ".dbg{background-color:#FFCFCF;color:#BF0000;border-radius:4px;}",
      ".mbg{background-color:#D4E2FA;color:#0040FF;border-radius:4px;}",
      ".tab{padding: 0px 18px;}",
      ".lbg{color:#cccccc}",
      ".tagX, .tagY, .tagZ {",
      "  background-color: #bbbbbb;",
      "  margin-bottom: 0px;",
      "  margin-top: 0px;",
      "  margin-left: 3px;",
      "  margin-right: 3px;",
      "  padding-bottom: 0px;",
      "  padding-top: 1px;",
      "  font-size: 14px;",
      "  color: #f9f9f9;",
      "  height: 13px;",
      "  position: relative;",
      "  bottom: 2px;",
      "  font-weight: bold;",
      "}",
      ".tagY {",
      "  padding-left: 5px;",
      "  padding-right: 9px;",
      "  border-top-right-radius: 30px;",
      "  border-bottom-right-radius: 30px;",
      "  border-left-color: #999999;",
      "  border-left-width: 3px;",
      "  border-left-style: solid;",
      "}",
      ".tagX {",
      "  padding-left: 9px;",
      "  padding-right: 5px;",
      "  border-top-left-radius: 30px;",
      "  border-bottom-left-radius: 30px;",
      "  border-right-color: #999999;",
      "  border-right-width: 3px;",
      "  border-right-style: solid;",
      "}",
      ".tagZ {",
      "  padding-left: 9px;",
      "  padding-right: 9px;",
      "  border-top-left-radius: 30px;",
      "  border-bottom-left-radius: 30px;",
      "  border-top-right-radius: 30px;",
      "  border-bottom-right-radius: 30px;",
      "}",
      "</style>",
      "</head>",
      "<body style=\"font: 18px Arial, sans-serif;\">",
      "<p align=\"right\">",
  };
  std::string Head;
  Head.reserve(8192);
  for (const char* Line : HeadLines)
    AppendLine(
        Head, Line ? Line
                   : (FSettings.FillDiffRowColored ? ".ne{background-color:#fff0f0;}" : ".ne{background-color:#fff;}"));
  AppendLine(Head, std::string("<a href=\"") + MakerSiteUrl + "\" target=\"_blank\">");
  AppendLine(Head, "<img src=\"data:image/png;base64,");
  const std::size_t LogoLines = std::size(HtmlLogoBase64Lines);
  for (std::size_t I = 0; I < LogoLines; ++I) {
    Head += HtmlLogoBase64Lines[I];
    if (I + 1 == LogoLines) Head += "\" width=\"212\" height=\"68\" alt=\"Lexmora\"/>";
    Head += CRLF;
  }
  AppendLine(Head, "</a>");
  AppendLine(Head, "</p>");
  return Head;
}

std::vector<std::string_view> THTMLFileCreator::PagePieces(std::string& AHead, std::string& AMiddle,
                                                           std::string& ATail) const {
  AHead = "\xEF\xBB\xBF";
  AHead += PageHead();
  // A list added to the page as one entry leaves an empty line after its own lines.
  if (!FResultTotalInfo.empty()) {
    AHead += FResultTotalInfo;
    AHead += CRLF;
  }
  std::vector<std::string_view> Pieces{AHead};
  AMiddle.clear();
  if (FBodyChunks.empty() && FResultContentBody.empty()) {
    AppendLine(AMiddle, "<h4>" + GetLocalizedText(TMsg::HtmlNoDifferences, FSettings.LocalizationLanguare) + "</h4>");
  } else {
    Pieces.insert(Pieces.end(), FBodyChunks.begin(), FBodyChunks.end());
    Pieces.push_back(FResultContentBody);
    AppendLine(AMiddle, "</table>");
    AMiddle += CRLF;
  }
  Pieces.push_back(AMiddle);
  Pieces.push_back(FResultAnalysis);
  ATail = RenderHtmlViewer(FSettings.LocalizationLanguare);
  AppendLine(ATail, "</body>");
  AppendLine(ATail, "</html>");
  Pieces.push_back(ATail);
  return Pieces;
}

std::string THTMLFileCreator::BuildPage() const {
  std::string Head, Middle, Tail, Page;
  for (const std::string_view Piece : PagePieces(Head, Middle, Tail)) Page += Piece;
  return Page;
}

std::string THTMLFileCreator::ExecuteFileCreation(const std::string& ATrgLangPair,
                                                  const TOnProgressCallback& /*ACallback*/) {
  // Note: the page is complete under its final name or not there at all.
  std::string Head, Middle, Tail;
  WriteNewFile(ResultFileFor(ATrgLangPair), PagePieces(Head, Middle, Tail));
  return {};
}

}  // namespace lexmora
