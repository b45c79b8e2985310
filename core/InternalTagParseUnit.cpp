#include "InternalTagParseUnit.h"

#include <array>
#include <bitset>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "Utf8Unit.h"
#include "XmlEscapeUnit.h"

namespace lexmora {

namespace {

// Ranges of the symbol table, in the order the symbols are handed out. Letters
// of scripts rarely found in translated text, each one code point.
// clang-format off
constexpr std::pair<char32_t, char32_t> kSymbolRanges[] = {
    // Gujarati
    {0x0A85, 0x0A8B}, {0x0A8F, 0x0A90}, {0x0A93, 0x0AA8}, {0x0AAA, 0x0AB0}, {0x0AB2, 0x0AB2}, {0x0AB5, 0x0AB9},
    {0x0AB3, 0x0AB3},
    // Arabic letters, isolated presentation forms
    {0xFE8D, 0xFE8D}, {0xFE8F, 0xFE8F}, {0xFE95, 0xFE95}, {0xFE99, 0xFE99}, {0xFE9D, 0xFE9D}, {0xFEA1, 0xFEA1},
    {0xFEA5, 0xFEA5}, {0xFEA9, 0xFEA9}, {0xFEAB, 0xFEAB}, {0xFEAD, 0xFEAD}, {0xFEAF, 0xFEAF}, {0xFEB1, 0xFEB1},
    {0xFEB5, 0xFEB5}, {0xFEB9, 0xFEB9}, {0xFEBD, 0xFEBD}, {0xFEC1, 0xFEC1}, {0xFEC5, 0xFEC5}, {0xFEC9, 0xFEC9},
    {0xFECD, 0xFECD}, {0xFED1, 0xFED1}, {0xFED5, 0xFED5}, {0xFED9, 0xFED9}, {0xFEDD, 0xFEDD}, {0xFEE1, 0xFEE1},
    {0xFEE5, 0xFEE5}, {0xFEE9, 0xFEE9}, {0xFEED, 0xFEED}, {0xFEF1, 0xFEF1},
    // Georgian
    {0x10D0, 0x10D6}, {0x10F1, 0x10F1}, {0x10D7, 0x10DC}, {0x10F2, 0x10F2}, {0x10DD, 0x10E2}, {0x10F3, 0x10F3},
    {0x10E3, 0x10E3}, {0x10F7, 0x10F7}, {0x10E4, 0x10E7}, {0x10F8, 0x10F8}, {0x10E8, 0x10EE}, {0x10F4, 0x10F4},
    {0x10EF, 0x10EF}, {0x10F0, 0x10F0}, {0x10F5, 0x10F5}, {0x10F6, 0x10F6}, {0x10F9, 0x10F9}, {0x10FA, 0x10FA},
};
// clang-format on

constexpr std::array<char32_t, TagSymbolCount> BuildSymbolTable() {
  std::array<char32_t, TagSymbolCount> Table{};
  std::size_t I = 0;
  for (const auto& [Lo, Hi] : kSymbolRanges)
    for (char32_t C = Lo; C <= Hi; ++C) Table[I++] = C;
  return Table;
}

constexpr std::size_t CountSymbols() {
  std::size_t N = 0;
  for (const auto& [Lo, Hi] : kSymbolRanges) N += Hi - Lo + 1;
  return N;
}
static_assert(CountSymbols() == TagSymbolCount, "the symbol table holds 116 code points");

constexpr std::array<char32_t, TagSymbolCount> kSymbolTable = BuildSymbolTable();
static_assert([] {
  for (const char32_t C : kSymbolTable)
    if (C < LowestTagSymbol) return false;
  return true;
}());

using TSymbolSet = std::bitset<TagSymbolCount>;

// Position of ACode in the symbol table, or -1.
int SymbolIndex(char32_t ACode) {
  const bool MayBeSymbol = (ACode >= 0x0A85 && ACode <= 0x0AB9) || (ACode >= 0x10D0 && ACode <= 0x10FA) ||
                           (ACode >= 0xFE8D && ACode <= 0xFEF1);
  if (!MayBeSymbol) return -1;
  for (int I = 0; I < TagSymbolCount; ++I)
    if (kSymbolTable[static_cast<std::size_t>(I)] == ACode) return I;
  return -1;
}

bool IsXmlChar(unsigned long ACode) {
  return ACode == 0x9 || ACode == 0xA || ACode == 0xD || (ACode >= 0x20 && ACode <= 0xD7FF) ||
         (ACode >= 0xE000 && ACode <= 0xFFFD) || (ACode >= 0x10000 && ACode <= 0x10FFFF);
}

bool IsHexDigit(char C) { return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F'); }

// Reads a character reference "&#...;" starting at APos. Returns the code
// point and sets AEnd past the ';', or returns -1 when it is not one.
long ReadCharRef(std::string_view AText, std::size_t APos, std::size_t& AEnd) {
  std::size_t I = APos + 2;
  if (APos + 2 >= AText.size() || AText[APos] != '&' || AText[APos + 1] != '#') return -1;
  const bool Hex = AText[I] == 'x';
  if (Hex) ++I;
  const std::size_t DigitsStart = I;
  unsigned long Value = 0;
  while (I < AText.size() && (Hex ? IsHexDigit(AText[I]) : (AText[I] >= '0' && AText[I] <= '9'))) {
    const char C = AText[I];
    const unsigned long Digit =
        C <= '9' ? static_cast<unsigned long>(C - '0') : static_cast<unsigned long>((C | 0x20) - 'a' + 10);
    Value = Value * (Hex ? 16 : 10) + Digit;
    if (Value > 0x10FFFF) Value = 0x110000;  // stays invalid, cannot overflow
    ++I;
  }
  if (I == DigitsStart || I >= AText.size() || AText[I] != ';') return -1;
  AEnd = I + 1;
  return static_cast<long>(Value);
}

[[noreturn]] void ThrowMarkupError(std::size_t AOffset, const std::string& AWhat) {
  throw TTagMarkupError("Malformed tag markup at offset " + std::to_string(AOffset) + ": " + AWhat);
}

// The XML parser is lenient where the markup must be strict: it leaves a stray
// '&' or an unknown entity as text and accepts control characters. Those are
// not well-formed, and "&#0;" would even cut the text short, so they are
// refused here. Comments, CDATA sections and processing instructions are
// skipped, since references are not recognised inside them. True when AText holds anything but
// plain characters: markup, a reference or a CR (which the parser turns into a line feed).
bool CheckReferencesAndCharacters(std::string_view AText) {
  bool Marked = false;
  auto SkipPast = [&](std::size_t AFrom, std::string_view AEnd) {
    const std::size_t Hit = AText.find(AEnd, AFrom);
    return Hit == std::string_view::npos ? AText.size() : Hit + AEnd.size();
  };
  // Only "<", "&" and control characters ask for a look; the rest is stepped over in a tight loop.
  static constexpr auto kLooked = [] {
    std::array<bool, 256> T{};
    for (unsigned C = 0; C < 0x20; ++C) T[C] = C != '\t' && C != '\n' && C != '\r';
    T['<'] = T['&'] = T['\r'] = true;
    return T;
  }();
  std::size_t I = 0;
  while (I < AText.size()) {
    if (!kLooked[static_cast<unsigned char>(AText[I])]) {
      ++I;
      continue;
    }
    const char C = AText[I];
    Marked = true;
    if (C == '<') {
      const std::string_view Rest = AText.substr(I);
      if (Rest.substr(0, 4) == "<!--") {
        I = SkipPast(I + 4, "-->");
        continue;
      }
      if (Rest.substr(0, 9) == "<![CDATA[") {
        I = SkipPast(I + 9, "]]>");
        continue;
      }
      if (Rest.substr(0, 2) == "<?") {
        I = SkipPast(I + 2, "?>");
        continue;
      }
    } else if (C == '&') {
      std::size_t End = 0;
      if (I + 1 < AText.size() && AText[I + 1] == '#') {
        const long Code = ReadCharRef(AText, I, End);
        if (Code < 0) ThrowMarkupError(I, "bad character reference");
        if (!IsXmlChar(static_cast<unsigned long>(Code)))
          ThrowMarkupError(I, "reference to a character XML does not allow");
        I = End;
        continue;
      }
      static constexpr std::string_view kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
      bool Known = false;
      for (std::string_view E : kEntities) {
        if (AText.substr(I, E.size()) == E) {
          I += E.size();
          Known = true;
          break;
        }
      }
      if (!Known) ThrowMarkupError(I, "'&' that starts no known entity or character reference");
      continue;
    } else if (static_cast<unsigned char>(C) < 0x20 && C != '\t' && C != '\n' && C != '\r') {
      ThrowMarkupError(I, "control character");
    }
    ++I;
  }
  return Marked;
}

// Symbols that occur in the markup, literally or as numeric character references.
TSymbolSet SymbolsUsedIn(std::string_view AMarkup) {
  TSymbolSet Used;
  // Every symbol is a three-byte sequence led by E0, E1 or EF; continuation
  // bytes never equal a lead byte, so the scan cannot start mid-character.
  for (std::size_t I = 0; I + 2 < AMarkup.size(); ++I) {
    const auto Lead = static_cast<unsigned char>(AMarkup[I]);
    if (Lead != 0xE0 && Lead != 0xE1 && Lead != 0xEF) continue;
    const auto B1 = static_cast<unsigned char>(AMarkup[I + 1]);
    const auto B2 = static_cast<unsigned char>(AMarkup[I + 2]);
    if ((B1 & 0xC0) != 0x80 || (B2 & 0xC0) != 0x80) continue;
    const char32_t C =
        (static_cast<char32_t>(Lead & 0x0F) << 12) | (static_cast<char32_t>(B1 & 0x3F) << 6) | (B2 & 0x3F);
    const int Index = SymbolIndex(C);
    if (Index >= 0) Used.set(static_cast<std::size_t>(Index));
  }
  for (std::size_t I = AMarkup.find("&#"); I != std::string_view::npos; I = AMarkup.find("&#", I + 1)) {
    std::size_t End = 0;
    const long Code = ReadCharRef(AMarkup, I, End);
    const int Index = Code < 0 ? -1 : SymbolIndex(static_cast<char32_t>(Code));
    if (Index >= 0) Used.set(static_cast<std::size_t>(Index));
  }
  return Used;
}

std::u32string SymbolFor(const TTextTag& ATag, const TSymbolSet& AUsedInText, TTagDict& ADict) {
  for (const TTagDictRec& Rec : ADict)
    if (Rec.TagType == ATag.TagType && Rec.TagContent == ATag.TagContent) return Rec.Symbol;
  TSymbolSet Taken = AUsedInText;
  for (const TTagDictRec& Rec : ADict) {
    if (Rec.Symbol.size() != 1) continue;
    const int Index = SymbolIndex(Rec.Symbol[0]);
    if (Index >= 0) Taken.set(static_cast<std::size_t>(Index));
  }
  for (std::size_t I = 0; I < kSymbolTable.size(); ++I) {
    if (Taken.test(I)) continue;
    std::u32string Symbol(1, kSymbolTable[I]);
    ADict.push_back(TTagDictRec{Symbol, ATag.TagType, ATag.TagContent});
    return Symbol;
  }
  return {};
}

// The markup the readers write is simple: text with character references, and flat x, y, z
// elements whose content is text. Such markup is read here directly; anything else (nested
// elements, CDATA, comments, line ends that XML normalises, unusual spacing) goes to the XML
// parser, which gives the same result for the simple kind, only slower.
struct TFlatItem {
  bool IsElement = false;
  std::string Text;     // decoded text, or the element's decoded content
  std::string_view Name;
  std::string Id;
  bool HasId = false;
};

// Decodes the character data AText (already checked by CheckReferencesAndCharacters) into AOut.
bool DecodeFlatText(std::string_view AText, std::string& AOut) {
  std::size_t I = 0;
  while (I < AText.size()) {
    const std::size_t Amp = AText.find('&', I);
    if (Amp == std::string_view::npos) {
      AOut.append(AText.substr(I));
      return true;
    }
    AOut.append(AText.substr(I, Amp - I));
    if (AText.substr(Amp, 2) == "&#") {
      std::size_t End = 0;
      const long Code = ReadCharRef(AText, Amp, End);
      if (Code < 0) return false;
      AppendUtf8(AOut, static_cast<char32_t>(Code));
      I = End;
      continue;
    }
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    bool Known = false;
    for (const auto& [Entity, Char] : kEntities) {
      if (AText.substr(Amp, Entity.size()) == Entity) {
        AOut.push_back(Char);
        I = Amp + Entity.size();
        Known = true;
        break;
      }
    }
    if (!Known) return false;
  }
  return true;
}

bool IsNameStart(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_' || C == ':'; }
bool IsNameChar(char C) { return IsNameStart(C) || (C >= '0' && C <= '9') || C == '-' || C == '.'; }

// Splits simple markup into text runs and flat elements; false when the markup is not simple.
bool SplitFlatMarkup(std::string_view AText, std::vector<TFlatItem>& AItems) {
  if (AText.find('\r') != std::string_view::npos) return false;
  std::size_t I = 0;
  while (I < AText.size()) {
    const std::size_t Lt = AText.find('<', I);
    const std::size_t TextEnd = Lt == std::string_view::npos ? AText.size() : Lt;
    if (TextEnd > I) {
      TFlatItem& Item = AItems.emplace_back();
      if (!DecodeFlatText(AText.substr(I, TextEnd - I), Item.Text)) return false;
    }
    if (Lt == std::string_view::npos) break;
    // A start tag: name, then attributes name="value" or name='value', each after one space.
    std::size_t P = Lt + 1;
    if (P >= AText.size() || !IsNameStart(AText[P])) return false;
    const std::size_t NameBegin = P;
    while (P < AText.size() && IsNameChar(AText[P])) ++P;
    TFlatItem Element;
    Element.IsElement = true;
    Element.Name = AText.substr(NameBegin, P - NameBegin);
    for (;;) {
      if (P >= AText.size()) return false;
      if (AText[P] == '>' || AText.substr(P, 2) == "/>") break;
      if (AText[P] != ' ' || P + 1 >= AText.size() || !IsNameStart(AText[P + 1])) return false;
      const std::size_t AttrBegin = ++P;
      while (P < AText.size() && IsNameChar(AText[P])) ++P;
      const std::string_view AttrName = AText.substr(AttrBegin, P - AttrBegin);
      if (P + 1 >= AText.size() || AText[P] != '=' || (AText[P + 1] != '"' && AText[P + 1] != '\'')) return false;
      const char Quote = AText[P + 1];
      const std::size_t ValueBegin = P + 2;
      const std::size_t ValueEnd = AText.find(Quote, ValueBegin);
      if (ValueEnd == std::string_view::npos) return false;
      const std::string_view Value = AText.substr(ValueBegin, ValueEnd - ValueBegin);
      // The parser turns tabs and line feeds of attribute values into spaces; leave those to it.
      if (Value.find_first_of("<\t\n") != std::string_view::npos) return false;
      if (AttrName == "id" && !Element.HasId) {
        if (!DecodeFlatText(Value, Element.Id)) return false;
        Element.HasId = true;
      }
      P = ValueEnd + 1;
    }
    if (AText[P] == '/') {
      I = P + 2;
    } else {
      // Content up to the matching end tag; any markup inside is not simple.
      const std::size_t ContentBegin = P + 1;
      const std::size_t ContentEnd = AText.find('<', ContentBegin);
      if (ContentEnd == std::string_view::npos) return false;
      const std::size_t CloseEnd = ContentEnd + 2 + Element.Name.size();
      if (AText.substr(ContentEnd, 2) != "</" || AText.substr(ContentEnd + 2, Element.Name.size()) != Element.Name ||
          CloseEnd >= AText.size() || AText[CloseEnd] != '>')
        return false;
      if (!DecodeFlatText(AText.substr(ContentBegin, ContentEnd - ContentBegin), Element.Text)) return false;
      I = CloseEnd + 1;
    }
    AItems.push_back(std::move(Element));
  }
  return true;
}

// The tag of a flat element, as GetTextTag gives it for the parsed element.
TTextTag FlatTextTag(const TFlatItem& AItem) {
  TTextTag Tag;
  Tag.TagType = AItem.Name == "x"   ? TTagType::ttBegin
                : AItem.Name == "y" ? TTagType::ttEnd
                : AItem.Name == "z" ? TTagType::ttFull
                                    : TTagType::ttNotNeeded;
  Tag.TagID = AItem.Id;
  Tag.TagContent.reserve(AItem.Text.size());
  AppendEscapedXmlText(Tag.TagContent, AItem.Text, TXmlEscaping::xeNumeric);
  return Tag;
}

}  // namespace

const std::u32string_view TagSymbolChars(kSymbolTable.data(), kSymbolTable.size());

std::string SerializeTagContent(const pugi::xml_node& ANode) {
  std::string Out;
  // Iterative walk: tag contents come from input files and may nest deeply.
  pugi::xml_node N = ANode.first_child();
  while (N) {
    switch (N.type()) {
      case pugi::node_pcdata:
        AppendEscapedXmlText(Out, N.value(), TXmlEscaping::xeNumeric);
        break;
      case pugi::node_cdata:
        Out += "<![CDATA[";
        Out += N.value();
        Out += "]]>";
        break;
      case pugi::node_comment:
        Out += "<!--";
        Out += N.value();
        Out += "-->";
        break;
      case pugi::node_pi:
        Out += "<?";
        Out += N.name();
        if (*N.value()) {
          Out += ' ';
          Out += N.value();
        }
        Out += "?>";
        break;
      case pugi::node_element:
        Out += '<';
        Out += N.name();
        for (const pugi::xml_attribute& A : N.attributes()) {
          Out += ' ';
          Out += A.name();
          Out += "=\"";
          AppendEscapedXmlText(Out, A.value(), TXmlEscaping::xeNumeric);
          Out += '"';
        }
        if (N.first_child()) {
          Out += '>';
          N = N.first_child();
          continue;
        }
        Out += "/>";
        break;
      default:
        break;
    }
    // Next node in document order, closing the elements that end here.
    while (N != ANode && !N.next_sibling()) {
      N = N.parent();
      if (N == ANode) break;
      Out += "</";
      Out += N.name();
      Out += '>';
    }
    N = N == ANode ? pugi::xml_node() : N.next_sibling();
  }
  return Out;
}

TTextTag GetTextTag(const pugi::xml_node& ANode) {
  TTextTag Tag;
  Tag.TagType = TTagType::ttNotNeeded;
  if (ANode.type() == pugi::node_element) {
    const char* Name = ANode.name();
    if (std::strcmp(Name, "x") == 0)
      Tag.TagType = TTagType::ttBegin;
    else if (std::strcmp(Name, "y") == 0)
      Tag.TagType = TTagType::ttEnd;
    else if (std::strcmp(Name, "z") == 0)
      Tag.TagType = TTagType::ttFull;
    Tag.TagID = ANode.attribute("id").value();
  }
  Tag.TagContent = SerializeTagContent(ANode);
  return Tag;
}

std::u32string GetTagSymbol(const TTextTag& ATag, const std::string& AText, TTagDict& ADict) {
  return SymbolFor(ATag, SymbolsUsedIn(AText), ADict);
}

std::u32string ConvertTagsToSymbols(const std::string& AText, TTagDict& ADict, TTagIDDict& AIDDict) {
  std::u32string Result;
  if (AText.empty()) return Result;

  if (!CheckReferencesAndCharacters(AText)) {
    Result.reserve(AText.size());
    AppendUtf8AsU32(Result, AText);  // what the item walk below gives for a single plain text
    return Result;
  }
  std::vector<TFlatItem> Items;
  if (SplitFlatMarkup(AText, Items)) {
    Result.reserve(AText.size());
    // Looked for only when a tag needs a symbol: most texts have none.
    std::optional<TSymbolSet> UsedInText;
    for (const TFlatItem& Item : Items) {
      if (!Item.IsElement) {
        AppendUtf8AsU32(Result, Item.Text);
        continue;
      }
      const TTextTag Tag = FlatTextTag(Item);
      if (Tag.TagType == TTagType::ttNotNeeded) continue;
      if (!UsedInText) UsedInText = SymbolsUsedIn(AText);
      const std::u32string Symbol = SymbolFor(Tag, *UsedInText, ADict);
      if (Symbol.empty()) continue;
      Result += Symbol;
      AIDDict.push_back(TTagIDDictRec{static_cast<int>(Result.size()), Tag.TagID});
    }
    return Result;
  }
  return ConvertTagsToSymbolsWithParser(AText, ADict, AIDDict);
}

std::u32string ConvertTagsToSymbolsWithParser(const std::string& AText, TTagDict& ADict, TTagIDDict& AIDDict) {
  std::u32string Result;
  if (AText.empty()) return Result;
  CheckReferencesAndCharacters(AText);
  pugi::xml_document Doc;
  pugi::xml_node Root = Doc.append_child("ROOT");
  // Note: whitespace-only text runs are kept (parse_ws_pcdata): a space between
  // two tags belongs to the text, and adding or removing it is an edit.
  const pugi::xml_parse_result Parsed =
      Root.append_buffer(AText.data(), AText.size(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment,
                         pugi::encoding_utf8);
  if (!Parsed) ThrowMarkupError(static_cast<std::size_t>(Parsed.offset), Parsed.description());

  // A symbol must not collide with a character of the text, whether written
  // literally or as a reference.
  const TSymbolSet UsedInText = SymbolsUsedIn(AText);
  for (const pugi::xml_node& Child : Root.children()) {
    if (Child.type() == pugi::node_pcdata) {
      Result += Utf8ToU32(Child.value());
      continue;
    }
    const TTextTag Tag = GetTextTag(Child);
    if (Tag.TagType == TTagType::ttNotNeeded) continue;
    const std::u32string Symbol = SymbolFor(Tag, UsedInText, ADict);
    if (Symbol.empty()) continue;  // out of symbols: the tag is dropped
    Result += Symbol;
    AIDDict.push_back(TTagIDDictRec{static_cast<int>(Result.size()), Tag.TagID});
  }
  return Result;
}

}  // namespace lexmora
