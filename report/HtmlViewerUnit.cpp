// The viewer at the end of the HTML report.
#include "HtmlViewerUnit.h"

#include <cstdio>

#include "LocalizationUnit.h"

namespace lexmora {

namespace {

#include "HtmlViewerText.inc"

const char* const CRLF = "\r\n";

// The page is CR LF throughout; the script and style files are kept with plain line ends.
void AppendLines(std::string& AOut, std::string_view AText) {
  while (!AText.empty()) {
    const std::size_t End = AText.find('\n');
    std::string_view Line = AText.substr(0, End);
    if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
    AOut.append(Line);
    AOut.append(CRLF);
    if (End == std::string_view::npos) break;
    AText.remove_prefix(End + 1);
  }
}

// The toolbar's texts by the names the script uses.
std::string TextsObject(const std::function<std::string(TMsg)>& ATextOf) {
  using enum TMsg;
  static const std::pair<const char*, TMsg> Texts[] = {
      {"showAll", ViewerShowAll},
      {"showEdited", ViewerShowEdited},
      {"anyBand", ViewerAnyBand},
      {"anyDocument", ViewerAnyDocument},
      {"anyMatch", ViewerAnyMatch},
      {"withMatch", ViewerWithMatch},
      {"withoutMatch", ViewerWithoutMatch},
      {"anyLock", ViewerAnyLock},
      {"lockedOnly", ViewerLockedOnly},
      {"unlockedOnly", ViewerUnlockedOnly},
      {"search", ViewerSearch},
      {"inAll", ViewerInAllTexts},
      {"inSource", ViewerInSourceText},
      {"inTranslated", ViewerInTranslatedText},
      {"inEdited", ViewerInEditedText},
      {"sortByRow", ViewerSortByRow},
      {"sortByEd", ViewerSortByEditDistance},
      {"previous", ViewerPreviousEdited},
      {"next", ViewerNextEdited},
      {"reset", ViewerShowEverything},
      {"rowsShown", ViewerRowsShown},
      {"linkHint", ViewerLinkHint},
  };
  std::string Result = "{";
  for (const auto& [Key, Msg] : Texts) {
    if (Result.size() > 1) Result += ",";
    Result += ScriptStringLiteral(Key);
    Result += ":";
    Result += ScriptStringLiteral(ATextOf(Msg));
  }
  return Result + "}";
}

}  // namespace

std::string ScriptStringLiteral(std::string_view AText) {
  std::string Result = "\"";
  for (std::size_t I = 0; I < AText.size(); ++I) {
    const unsigned char C = static_cast<unsigned char>(AText[I]);
    // U+2028 and U+2029 (E2 80 A8/A9) end a line in older script engines.
    if (C == 0xE2 && I + 2 < AText.size() && static_cast<unsigned char>(AText[I + 1]) == 0x80 &&
        (static_cast<unsigned char>(AText[I + 2]) == 0xA8 || static_cast<unsigned char>(AText[I + 2]) == 0xA9)) {
      Result += static_cast<unsigned char>(AText[I + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      I += 2;
    } else if (C == '"' || C == '\\') {
      Result += '\\';
      Result += static_cast<char>(C);
    } else if (C < 0x20 || C == '<' || C == '>' || C == '&') {
      char Escape[8];
      std::snprintf(Escape, sizeof Escape, "\\u%04x", C);
      Result += Escape;
    } else {
      Result += static_cast<char>(C);
    }
  }
  return Result + "\"";
}

std::string RenderHtmlViewer(TLocalizationLanguare ALang) {
  return RenderHtmlViewer([ALang](TMsg AMsg) { return GetLocalizedText(AMsg, ALang); });
}

std::string RenderHtmlViewer(const std::function<std::string(TMsg)>& ATextOf) {
  std::string Out;
  AppendLines(Out, "<style>");
  AppendLines(Out, ViewerStyle);
  AppendLines(Out, "</style>");
  // Note: the CDATA section keeps the page well-formed XML; its markers are comments to a browser
  // that reads the page as HTML.
  AppendLines(Out, "<script>\n//<![CDATA[");
  std::string Script = ViewerScript;
  while (!Script.empty() && (Script.back() == '\n' || Script.back() == '\r')) Script.pop_back();
  Script += '(';
  Script += TextsObject(ATextOf);
  Script += ");";
  AppendLines(Out, Script);
  AppendLines(Out, "//]]>\n</script>");
  return Out;
}

}  // namespace lexmora
