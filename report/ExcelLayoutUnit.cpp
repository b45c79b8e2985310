#include "ExcelLayoutUnit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Utf8Unit.h"

namespace lexmora {

namespace {

// A column character unit in points as the narrowest program draws it (the digit width of the
// font at 96 dpi), less the cell's inner margins on both sides.
constexpr double kPointsPerWidthUnit = 7.5;
constexpr double kCellPadding = 6;
// One line of the font and the margin above and below the text; bold runs a little wider.
constexpr double kLineHeight = 17.5;
constexpr double kRowPadding = 4;
constexpr double kBoldFactor = 1.1;
constexpr double kMaxRowHeight = 409.5;  // what a row can hold in the common programs

// Advance widths in em, taken from the widest common sans-serif faces (so a reader that puts
// another face in place of the font still fits).
constexpr double EmWidthOf(char32_t C) {
  if (C == U' ' || C == U'\u00A0') return 0.32;
  if (C == U'\t') return 1.0;
  if (C >= U'0' && C <= U'9') return 0.64;
  if (C == U'm' || C == U'w') return 0.98;
  if (C == U'M' || C == U'W' || C == U'@' || C == U'%') return 1.0;
  if (std::u32string_view(U"iljtfrI.,:;'|!()[]{}").find(C) != std::u32string_view::npos) return 0.42;
  if (C >= U'a' && C <= U'z') return 0.64;
  if (C >= U'A' && C <= U'Z') return 0.78;
  if (C < 0x80) return 0.84;                 // other signs: & # < > = + and the like
  if (C >= 0x0300 && C <= 0x036F) return 0;  // combining marks sit on the letter before
  // East Asian wide characters (Hangul Jamo, CJK, Hangul syllables, compatibility and full-width
  // forms, the supplementary ideographs) and the tag markers take a full em.
  if ((C >= 0x1100 && C <= 0x115F) || (C >= 0x2E80 && C <= 0xA4CF) || (C >= 0xAC00 && C <= 0xD7A3) ||
      (C >= 0xF900 && C <= 0xFAFF) || (C >= 0xFE30 && C <= 0xFE4F) || (C >= 0xFF00 && C <= 0xFF60) ||
      (C >= 0xFFE0 && C <= 0xFFE6) || C >= 0x20000 || (C >= 0x25A0 && C <= 0x25FF))
    return 1.0;
  return 0.8;  // Latin with marks, Cyrillic, Greek and the rest
}

// The widths of the ASCII characters, looked up instead of worked out for each character.
struct TAsciiWidths {
  double Width[0x80];
};
constexpr TAsciiWidths kAsciiWidths = [] {
  TAsciiWidths Table{};
  for (char32_t C = 0; C < 0x80; ++C) Table.Width[C] = EmWidthOf(C);
  return Table;
}();

double EmWidth(char32_t C) { return C < 0x80 ? kAsciiWidths.Width[C] : EmWidthOf(C); }

bool IsWide(char32_t C) { return C > 0x1000 && EmWidth(C) >= 1.0; }

// Appends the characters of the UTF-8 text AText (ASCII copied straight).
void AppendCharacters(std::u32string& AOut, std::string_view AText) {
  std::size_t Ascii = 0;
  while (Ascii < AText.size() && static_cast<unsigned char>(AText[Ascii]) < 0x80) ++Ascii;
  const std::size_t At = AOut.size();
  AOut.resize(At + Ascii);
  for (std::size_t I = 0; I < Ascii; ++I) AOut[At + I] = static_cast<char32_t>(AText[I]);
  if (Ascii < AText.size()) AOut += Utf8ToU32(AText.substr(Ascii));
}

// Decodes the XML-escaped text of one "<t>" element: an entity is the character it names.
void AppendDecoded(std::u32string& AOut, std::string_view AText) {
  std::size_t I = 0;
  while (I < AText.size()) {
    const std::size_t Amp = AText.find('&', I);
    AppendCharacters(AOut, AText.substr(I, Amp == std::string_view::npos ? std::string_view::npos : Amp - I));
    if (Amp == std::string_view::npos) break;
    const std::size_t Semi = AText.find(';', Amp);
    if (Semi == std::string_view::npos) {
      AOut += U'&';
      I = Amp + 1;
      continue;
    }
    const std::string_view Name = AText.substr(Amp + 1, Semi - Amp - 1);
    char32_t C = U'&';
    if (Name.size() > 1 && Name[0] == '#') {
      const bool Hex = Name[1] == 'x' || Name[1] == 'X';
      C = static_cast<char32_t>(std::strtoul(std::string(Name.substr(Hex ? 2 : 1)).c_str(), nullptr, Hex ? 16 : 10));
    }
    AOut += C;  // &lt; &gt; &amp; &quot; &apos; are all about as wide as "&"
    I = Semi + 1;
  }
}

// The characters of an item: the texts of its "<t>" elements in order, into AResult.
void ItemCharacters(std::string_view AItem, std::u32string& Result) {
  Result.clear();
  std::size_t I = 0;
  while ((I = AItem.find("<t", I)) != std::string_view::npos) {
    const std::size_t TagEnd = AItem.find('>', I);
    if (TagEnd == std::string_view::npos) break;
    const char After = AItem[I + 2];
    if (After != '>' && After != ' ' && After != '/') {
      I += 2;
      continue;
    }
    if (AItem[TagEnd - 1] == '/') {  // "<t/>": empty
      I = TagEnd + 1;
      continue;
    }
    const std::size_t Close = AItem.find("</t>", TagEnd);
    if (Close == std::string_view::npos) break;
    AppendDecoded(Result, AItem.substr(TagEnd + 1, Close - TagEnd - 1));
    I = Close + 4;
  }
}

// Lines of one paragraph (no line break inside) wrapped greedily into AWidth points.
std::size_t ParagraphLines(std::u32string_view AText, double AWidth, double AEm) {
  std::size_t Lines = 1;
  double Line = 0;
  auto Put = [&](double AAdvance) {
    if (Line > 0 && Line + AAdvance > AWidth) {
      ++Lines;
      Line = 0;
    }
    Line += AAdvance;
  };
  std::size_t I = 0;
  while (I < AText.size()) {
    if (AText[I] == U' ' || IsWide(AText[I])) {
      // Blanks hang at the line end; wide characters may be broken before and after.
      if (AText[I] == U' ')
        Line += EmWidth(U' ') * AEm;
      else
        Put(EmWidth(AText[I]) * AEm);
      ++I;
      continue;
    }
    std::size_t End = I;
    double Word = 0;
    while (End < AText.size() && AText[End] != U' ' && !IsWide(AText[End])) Word += EmWidth(AText[End++]) * AEm;
    if (Word <= AWidth) {
      Put(Word);
    } else {
      // A word longer than the line is broken between characters.
      for (std::size_t K = I; K < End; ++K) Put(EmWidth(AText[K]) * AEm);
    }
    I = End;
  }
  return Lines;
}

}  // namespace

std::string ExcelFontElements(std::string_view AIndent, std::string_view ANameElement, bool ABold,
                              std::string_view AColour) {
  const std::string I(AIndent);
  std::string Result;
  if (ABold) Result += I + "<b/>\r\n";
  Result += I + "<sz val=\"" + std::to_string(kExcelFontSize) + "\"/>\r\n";
  if (!AColour.empty()) Result += I + "<color rgb=\"" + std::string(AColour) + "\"/>\r\n";
  Result += I + "<" + std::string(ANameElement) + " val=\"" + kExcelFontName + "\"/>\r\n";
  Result += I + "<family val=\"" + std::to_string(kExcelFontFamily) + "\"/>\r\n";
  Result += I + "<charset val=\"" + std::to_string(kExcelFontCharset) + "\"/>\r\n";
  return Result;
}

void TExcelRowHeight::AddCell(std::string_view AItemText, int AFirstColumn, int ALastColumn, bool ABold) {
  AFirstColumn = std::clamp(AFirstColumn, 0, kExcelColumnCount - 1);
  ALastColumn = std::clamp(ALastColumn, AFirstColumn, kExcelColumnCount - 1);
  double Units = 0;
  for (int C = AFirstColumn; C <= ALastColumn; ++C) Units += kExcelColumnWidths[C];
  const double Width = std::max(Units * kPointsPerWidthUnit - kCellPadding, 1.0);
  const double Em = kExcelFontSize * (ABold ? kBoldFactor : 1.0);
  // One buffer per thread: a row's cells are measured one after another.
  static thread_local std::u32string Text;
  ItemCharacters(AItemText, Text);
  std::size_t Lines = 0;
  std::size_t Start = 0;
  for (;;) {
    std::size_t Break = Start;
    while (Break < Text.size() && Text[Break] != U'\r' && Text[Break] != U'\n') ++Break;
    if (Break == Text.size()) Break = std::u32string::npos;
    const std::size_t End = Break == std::u32string::npos ? Text.size() : Break;
    Lines += ParagraphLines(std::u32string_view(Text).substr(Start, End - Start), Width, Em);
    if (Break == std::u32string::npos) break;
    if (Text[Break] == U'\r' && Break + 1 < Text.size() && Text[Break + 1] == U'\n') ++Break;  // CR LF: one break
    Start = Break + 1;
  }
  FLines = std::max(FLines, Lines);
}

double TExcelRowHeight::Height() const {
  if (FLines <= 1) return kExcelDefaultRowHeight;
  const double Needed = static_cast<double>(FLines) * kLineHeight + kRowPadding;
  // Quarter points, so the value is written exactly.
  return std::clamp(std::ceil(Needed * 4) / 4, kExcelDefaultRowHeight, kMaxRowHeight);
}

std::string TExcelRowHeight::Attributes() const {
  const double H = Height();
  if (H <= kExcelDefaultRowHeight) return {};
  char Buf[48];
  std::snprintf(Buf, sizeof Buf, " ht=\"%g\" customHeight=\"1\"", H);
  return Buf;
}

}  // namespace lexmora
