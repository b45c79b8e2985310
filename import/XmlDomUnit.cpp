#include "XmlDomUnit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "AsciiTextUnit.h"
#include "Utf8PathUnit.h"
#include "XmlEscapeUnit.h"

namespace lexmora {

namespace {

// AData is the parsed text when its bytes are what pugixml counted in (UTF-8); else empty and
// the position stays unknown.
EXmlError ParseError(const pugi::xml_parse_result& AResult, std::string_view AData) {
  const std::string What =
      std::string("XML parse error: ") + AResult.description() + " at offset " + std::to_string(AResult.offset);
  std::string Reason = "not well-formed XML";
  if (!AData.empty() && AResult.offset >= 0) {
    const TTextPosition P = TextPositionAt(AData, static_cast<std::size_t>(AResult.offset));
    Reason += " at line " + std::to_string(P.Line) + ", column " + std::to_string(P.Column);
  }
  return EXmlError(What, Reason + " (" + LowerFirst(AResult.description()) + ")");
}

const char* const kNotUtf8 = "not UTF-8";
const char* const kBadReference = "a character reference names no valid character";

bool StartsWith(std::string_view AData, std::string_view APrefix) { return AData.substr(0, APrefix.size()) == APrefix; }

// Only a byte-order mark of UTF-16/32 lets pugixml convert; everything else is taken as UTF-8.
pugi::xml_encoding ChooseEncoding(std::string_view AData) {
  if (StartsWith(AData, std::string_view("\x00\x00\xFE\xFF", 4)) ||
      StartsWith(AData, std::string_view("\xFF\xFE\x00\x00", 4)) || StartsWith(AData, "\xFE\xFF") ||
      StartsWith(AData, "\xFF\xFE"))
    return pugi::encoding_auto;
  return pugi::encoding_utf8;
}

void AppendStartTag(std::string& AOut, pugi::xml_node AElement, bool AEmpty) {
  AOut += '<';
  AOut += AElement.name();
  for (pugi::xml_attribute A = AElement.first_attribute(); A; A = A.next_attribute()) {
    AOut += ' ';
    AOut += A.name();
    AOut += "=\"";
    AppendEscapedXmlText(AOut, A.value(), TXmlEscaping::xeNumericAttribute);
    AOut += '"';
  }
  AOut += AEmpty ? "/>" : ">";
}

void AppendEndTag(std::string& AOut, pugi::xml_node AElement) {
  AOut += "</";
  AOut += AElement.name();
  AOut += '>';
}

// Everything of one node except its children and its end tag.
void AppendNodeHead(std::string& AOut, pugi::xml_node ANode) {
  switch (ANode.type()) {
    case pugi::node_pcdata:
      AppendEscapedXmlText(AOut, ANode.value(), TXmlEscaping::xeNumericText);
      break;
    case pugi::node_cdata: {
      // "]]>" cannot stand inside one section; split it over two.
      std::string_view V = ANode.value();
      AOut += "<![CDATA[";
      for (std::size_t Pos; (Pos = V.find("]]>")) != std::string_view::npos; V.remove_prefix(Pos + 2)) {
        AOut.append(V.substr(0, Pos + 2));
        AOut += "]]><![CDATA[";
      }
      AOut.append(V);
      AOut += "]]>";
      break;
    }
    case pugi::node_comment:
      AOut += "<!--";
      AOut += ANode.value();
      AOut += "-->";
      break;
    case pugi::node_pi:
      AOut += "<?";
      AOut += ANode.name();
      if (*ANode.value()) {
        AOut += ' ';
        AOut += ANode.value();
      }
      AOut += "?>";
      break;
    case pugi::node_element:
      AppendStartTag(AOut, ANode, !ANode.first_child());
      break;
    default:
      break;  // declarations and doctypes never occur inside the nodes we serialise
  }
}

// pugixml decodes a reference such as "&#xD800;" or "&#99999999;" into bytes that are not UTF-8.
// Such a reference names no XML character, so the document is not well-formed: refuse it.
void CheckDecodedReferences(pugi::xml_node ARoot, std::string_view ARawText) {
  if (ARawText.find("&#") == std::string_view::npos) return;
  const auto Check = [](const char* AValue) {
    if (!IsValidUtf8(AValue))
      throw EXmlError("XML parse error: a character reference names no valid character", kBadReference);
  };
  pugi::xml_node Cur = ARoot.first_child();
  while (Cur) {
    Check(Cur.value());
    for (pugi::xml_attribute A = Cur.first_attribute(); A; A = A.next_attribute()) Check(A.value());
    if (Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    while (Cur != ARoot && !Cur.next_sibling()) Cur = Cur.parent();
    if (Cur == ARoot) break;
    Cur = Cur.next_sibling();
  }
}

// The encoding to parse AData with; throws when it is taken as UTF-8 and is not.
pugi::xml_encoding CheckEncoding(std::string_view AData) {
  const pugi::xml_encoding Encoding = ChooseEncoding(AData);
  if (Encoding == pugi::encoding_utf8) {
    std::string_view Body = AData;
    if (StartsWith(Body, "\xEF\xBB\xBF")) Body.remove_prefix(3);
    if (!IsValidUtf8(Body)) throw EXmlError("XML parse error: the document is not valid UTF-8", kNotUtf8);
  }
  return Encoding;
}

}  // namespace

TTextPosition TextPositionAt(std::string_view AData, std::size_t AOffset) {
  TTextPosition P;
  const std::size_t End = std::min(AOffset, AData.size());
  for (std::size_t I = 0; I < End; ++I) {
    const unsigned char C = static_cast<unsigned char>(AData[I]);
    if (C == '\n') {
      ++P.Line;
      P.Column = 1;
    } else if ((C & 0xC0) != 0x80 && !(I == 0 && AData.substr(0, 3) == "\xEF\xBB\xBF")) {
      // A lead byte or ASCII starts a character; continuation bytes and the BOM do not.
      ++P.Column;
    }
  }
  return P;
}

unsigned int XmlParseOptions(bool AKeepBlanks) {
  return AKeepBlanks ? (pugi::parse_default | pugi::parse_ws_pcdata) : pugi::parse_default;
}

void LoadXmlText(pugi::xml_document& ADoc, std::string_view AData, bool AKeepBlanks) {
  const pugi::xml_encoding Encoding = CheckEncoding(AData);
  const pugi::xml_parse_result Result =
      ADoc.load_buffer(AData.data(), AData.size(), XmlParseOptions(AKeepBlanks), Encoding);
  if (!Result) throw ParseError(Result, Encoding == pugi::encoding_utf8 ? AData : std::string_view());
  // Converted UTF-16/32 text may hold "&#" too, so it is checked whatever the raw bytes say.
  CheckDecodedReferences(ADoc, Encoding == pugi::encoding_utf8 ? AData : std::string_view("&#"));
}

bool IsUtf8Document(std::string_view AData) {
  if (ChooseEncoding(AData) != pugi::encoding_utf8) return false;
  if (StartsWith(AData, "\xEF\xBB\xBF")) AData.remove_prefix(3);
  return IsValidUtf8(AData);
}

void LoadXmlFragment(pugi::xml_document& ADoc, std::string_view AText, bool AKeepBlanks) {
  const pugi::xml_parse_result Result = ADoc.load_buffer(
      AText.data(), AText.size(), XmlParseOptions(AKeepBlanks) | pugi::parse_fragment, pugi::encoding_utf8);
  if (!Result) throw ParseError(Result, AText);
  CheckDecodedReferences(ADoc, AText);
}

std::string ReadFileData(const std::string& AFileName) {
  std::ifstream File(AFileName, std::ios::binary);
  if (!File) throw EXmlError("Cannot open the file " + AFileName, "cannot open the document");
  std::string Data;
  std::error_code Ec;
  // A plain file is read in one go; a pipe or device as a stream.
  if (const auto Size = std::filesystem::file_size(PathFromUtf8(AFileName), Ec); !Ec) {
    Data.resize(static_cast<std::size_t>(Size));
    File.read(Data.data(), static_cast<std::streamsize>(Data.size()));
    Data.resize(static_cast<std::size_t>(File.gcount()));
  }
  if (!File.eof()) Data.append(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
  if (File.bad()) throw EXmlError("Cannot read the file " + AFileName, "cannot read the document");
  return Data;
}

void LoadXmlFile(pugi::xml_document& ADoc, const std::string& AFileName, bool AKeepBlanks) {
  // One buffer of the parser's own allocator, read in one go and parsed in place: the document
  // owns it, so a file costs its size once, not three times (stream, copy, parser's copy).
  std::FILE* File = std::fopen(AFileName.c_str(), "rb");
  if (!File) throw EXmlError("Cannot open the file " + AFileName, "cannot open the document");
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> Closer(File, &std::fclose);
  std::error_code Ec;
  const std::filesystem::path Path = PathFromUtf8(AFileName);
  const bool IsPlainFile = std::filesystem::is_regular_file(Path, Ec);
  const std::uintmax_t FileSize = IsPlainFile ? std::filesystem::file_size(Path, Ec) : 0;
  if (!IsPlainFile || Ec) {
    // Not a plain file (a pipe, a device): read it as a stream.
    LoadXmlText(ADoc, ReadFileData(AFileName), AKeepBlanks);
    return;
  }
  const auto Size = static_cast<std::size_t>(FileSize);
  const auto Free = pugi::get_memory_deallocation_function();
  std::unique_ptr<char, void (*)(void*)> Buffer(
      static_cast<char*>(pugi::get_memory_allocation_function()(Size == 0 ? 1 : Size)), Free);
  if (!Buffer) throw EXmlError("Cannot read the file " + AFileName + ": out of memory", "cannot read the document");
  if (std::fread(Buffer.get(), 1, Size, File) != Size || std::ferror(File))
    throw EXmlError("Cannot read the file " + AFileName, "cannot read the document");
  const std::string_view Data(Buffer.get(), Size);
  const pugi::xml_encoding Encoding = CheckEncoding(Data);
  // Known before the parse: parsing in place overwrites the references it decodes.
  const bool HasReferences = Encoding != pugi::encoding_utf8 || Data.find("&#") != std::string_view::npos;
  const pugi::xml_parse_result Result =
      ADoc.load_buffer_inplace_own(Buffer.release(), Size, XmlParseOptions(AKeepBlanks), Encoding);
  if (!Result) {
    // The parse in place has overwritten the text, and counts some offsets differently (after a
    // byte-order mark); the message and its line and column must be those a parse of a copy
    // gives, so the failing file is read once more that way.
    std::string Copy(Size, '\0');
    std::rewind(File);
    if (std::fread(Copy.data(), 1, Size, File) != Size) throw ParseError(Result, std::string_view());
    LoadXmlText(ADoc, Copy, AKeepBlanks);
    throw ParseError(Result, std::string_view());  // not reached: the same bytes fail the same way
  }
  if (HasReferences) CheckDecodedReferences(ADoc, "&#");
}

void ParseAsContent(pugi::xml_node AElement, std::string_view AText, bool AKeepBlanks) {
  while (pugi::xml_node Child = AElement.first_child()) AElement.remove_child(Child);
  if (AText.empty()) return;
  if (!IsValidUtf8(AText)) throw EXmlError("XML parse error: the text is not valid UTF-8", kNotUtf8);
  const pugi::xml_parse_result Result = AElement.append_buffer(
      AText.data(), AText.size(), XmlParseOptions(AKeepBlanks) | pugi::parse_fragment, pugi::encoding_utf8);
  if (!Result) throw ParseError(Result, AText);
  CheckDecodedReferences(AElement, AText);
}

bool NameMatches(std::string_view AName, std::string_view AWanted) {
  if (AName == AWanted) return true;
  const std::size_t Colon = AName.find(':');
  return Colon != std::string_view::npos && AName.substr(Colon + 1) == AWanted;
}

namespace {

// True when the node or attribute name AName is exactly AWanted (no length taken first: names are
// compared by the million).
bool IsName(const char* AName, std::string_view AWanted) {
  for (const char C : AWanted)
    if (*AName++ != C) return false;  // a shorter name fails at its terminating NUL
  return *AName == '\0';
}

}  // namespace

bool IsElementNamed(pugi::xml_node ANode, std::string_view AName) {
  return ANode.type() == pugi::node_element && IsName(ANode.name(), AName);
}

pugi::xml_node LastChildNamed(pugi::xml_node AParent, std::string_view AName) {
  pugi::xml_node Result;
  for (pugi::xml_node C = AParent.first_child(); C; C = C.next_sibling())
    if (IsElementNamed(C, AName)) Result = C;
  return Result;
}

void ForEachOutermost(pugi::xml_node ANode, std::string_view AName, const std::function<void(pugi::xml_node)>& AVisit) {
  ForEachOutermost(
      ANode, [AName](pugi::xml_node C) { return IsElementNamed(C, AName); }, AVisit);
}

void ForEachOutermost(pugi::xml_node ANode, const std::function<bool(pugi::xml_node)>& AIsHit,
                      const std::function<void(pugi::xml_node)>& AVisit) {
  if (!ANode) return;
  if (AIsHit(ANode)) {
    AVisit(ANode);
    return;
  }
  pugi::xml_node Cur = ANode.first_child();
  while (Cur) {
    const bool Hit = AIsHit(Cur);
    if (Hit) AVisit(Cur);
    if (!Hit && Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    while (Cur != ANode && !Cur.next_sibling()) Cur = Cur.parent();
    if (Cur == ANode) break;
    Cur = Cur.next_sibling();
  }
}

std::string_view LocalName(std::string_view AQualifiedName) {
  const std::size_t Colon = AQualifiedName.find(':');
  return Colon == std::string_view::npos ? AQualifiedName : AQualifiedName.substr(Colon + 1);
}

pugi::xml_node FindChildElement(pugi::xml_node ANode, std::string_view AName) {
  for (pugi::xml_node C = ANode.first_child(); C; C = C.next_sibling())
    if (C.type() == pugi::node_element && NameMatches(C.name(), AName)) return C;
  return {};
}

pugi::xml_attribute FindAttribute(pugi::xml_node ANode, std::string_view AName) {
  pugi::xml_attribute Prefixed;
  for (pugi::xml_attribute A = ANode.first_attribute(); A; A = A.next_attribute()) {
    const char* Name = A.name();
    if (IsName(Name, AName)) return A;
    if (!Prefixed)
      if (const char* Colon = std::strchr(Name, ':'); Colon && IsName(Colon + 1, AName)) Prefixed = A;
  }
  return Prefixed;
}

bool HasAttribute(pugi::xml_node ANode, std::string_view AName) {
  return static_cast<bool>(FindAttribute(ANode, AName));
}

std::string AttributeValue(pugi::xml_node ANode, std::string_view AName) { return FindAttribute(ANode, AName).value(); }

std::string ElementText(pugi::xml_node AElement) {
  const pugi::xml_node First = AElement.first_child();
  if (!First) return {};
  if (!First.next_sibling() && (First.type() == pugi::node_pcdata || First.type() == pugi::node_cdata))
    return First.value();
  throw EXmlError(std::string("The element \"") + AElement.name() + "\" holds mixed content, not a single text");
}

std::string SerializeXml(pugi::xml_node ANode, bool AWithOwnMarkup) {
  std::string Out;
  if (!ANode) return Out;
  if (AWithOwnMarkup) AppendNodeHead(Out, ANode);
  if (!ANode.first_child()) return Out;
  // Pre-order walk over parent links: no recursion, no stack.
  pugi::xml_node Cur = ANode.first_child();
  while (Cur) {
    AppendNodeHead(Out, Cur);
    if (Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    while (Cur != ANode && !Cur.next_sibling()) {
      Cur = Cur.parent();
      if (Cur != ANode) AppendEndTag(Out, Cur);
    }
    if (Cur == ANode) break;
    Cur = Cur.next_sibling();
  }
  if (AWithOwnMarkup && ANode.type() == pugi::node_element) AppendEndTag(Out, ANode);
  return Out;
}

std::string InternalTagMarkup(char AName, const std::string& AID, const std::string& AContent) {
  std::string Out;
  Out.reserve(AID.size() + AContent.size() + 16);
  Out += '<';
  Out += AName;
  Out += " id=\"";
  Out += EscapeXmlText(AID);
  Out += "\">";
  Out += AContent;
  Out += "</";
  Out += AName;
  Out += '>';
  return Out;
}

namespace {

constexpr bool IsForbiddenControl(std::uint32_t AValue) {
  return AValue < 0x20 && AValue != 0x9 && AValue != 0xA && AValue != 0xD;
}

// Length of a numeric character reference at APos naming a forbidden control, else 0.
std::size_t ForbiddenReferenceAt(std::string_view AText, std::size_t APos) {
  if (AText.compare(APos, 2, "&#") != 0) return 0;
  std::size_t I = APos + 2;
  const bool Hex = I < AText.size() && AText[I] == 'x';
  if (Hex) ++I;
  std::uint32_t Value = 0;
  const std::size_t DigitsStart = I;
  for (; I < AText.size() && I - DigitsStart < 8; ++I) {
    const char C = AText[I];
    int D;
    if (C >= '0' && C <= '9')
      D = C - '0';
    else if (Hex && C >= 'a' && C <= 'f')
      D = C - 'a' + 10;
    else if (Hex && C >= 'A' && C <= 'F')
      D = C - 'A' + 10;
    else
      break;
    Value = Value * (Hex ? 16 : 10) + static_cast<std::uint32_t>(D);
  }
  if (I == DigitsStart || I >= AText.size() || AText[I] != ';' || !IsForbiddenControl(Value)) return 0;
  return I + 1 - APos;
}

}  // namespace

void ReplaceForbiddenControls(std::string& AMarkup) {
  // Nearly every text has nothing to replace: the search looks only at controls and "&".
  static constexpr auto kSuspect = [] {
    std::array<bool, 256> T{};
    for (unsigned C = 0; C < 0x20; ++C) T[C] = IsForbiddenControl(C);
    T['&'] = true;
    return T;
  }();
  std::size_t First = 0;
  for (; First < AMarkup.size(); ++First) {
    // Eight bytes at a time while none of them is below U+0020 or an "&".
    while (First + 8 <= AMarkup.size()) {
      std::uint64_t Word;
      std::memcpy(&Word, AMarkup.data() + First, 8);
      constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
      const std::uint64_t Amps = Word ^ (kOnes * '&');
      if ((((Word - kOnes * 0x20) & ~Word) | ((Amps - kOnes) & ~Amps)) & kHighs) break;
      First += 8;
    }
    if (First >= AMarkup.size()) break;
    const unsigned char C = static_cast<unsigned char>(AMarkup[First]);
    if (kSuspect[C] && (C != '&' || ForbiddenReferenceAt(AMarkup, First) != 0)) break;
  }
  if (First == AMarkup.size()) return;
  std::string Out(AMarkup, 0, First);
  for (std::size_t I = First; I < AMarkup.size();) {
    const unsigned char C = static_cast<unsigned char>(AMarkup[I]);
    std::size_t Skip = IsForbiddenControl(C) ? 1 : 0;
    if (C == '&') Skip = ForbiddenReferenceAt(AMarkup, I);
    if (Skip == 0) {
      Out += AMarkup[I++];
      continue;
    }
    Out += "\xEF\xBF\xBD";
    I += Skip;
  }
  AMarkup = std::move(Out);
}

std::string SerializeStartTag(pugi::xml_node AElement) {
  std::string Out;
  if (AElement.type() == pugi::node_element) AppendStartTag(Out, AElement, false);
  return Out;
}

bool IsBlankText(std::string_view AText) {
  for (const char C : AText)
    if (static_cast<unsigned char>(C) > 0x20) return false;
  return true;
}

namespace {

// The part of AText between its leading and trailing characters up to U+0020.
std::string_view WithoutBlankEnds(std::string_view AText) {
  std::size_t B = 0, E = AText.size();
  while (B < E && static_cast<unsigned char>(AText[B]) <= 0x20) ++B;
  while (E > B && static_cast<unsigned char>(AText[E - 1]) <= 0x20) --E;
  return AText.substr(B, E - B);
}

}  // namespace

std::string TrimBlanks(std::string_view AText) { return std::string(WithoutBlankEnds(AText)); }

void TrimBlanksInPlace(std::string& AText) {
  const std::string_view Kept = WithoutBlankEnds(AText);
  const std::size_t Begin = static_cast<std::size_t>(Kept.data() - AText.data());
  AText.erase(Begin + Kept.size());
  AText.erase(0, Begin);
}

bool IsValidUtf8(std::string_view AData) {
  const auto* P = reinterpret_cast<const unsigned char*>(AData.data());
  const auto* End = P + AData.size();
  while (P < End) {
    // Markup is mostly ASCII: eight bytes at a time while none has its high bit set.
    while (End - P >= 8) {
      std::uint64_t Word;
      std::memcpy(&Word, P, sizeof Word);
      if (Word & 0x8080808080808080ULL) break;
      P += 8;
    }
    if (P == End) break;
    const unsigned char C = *P;
    if (C < 0x80) {
      ++P;
      continue;
    }
    int Len;
    std::uint32_t Cp;
    if (C >= 0xC2 && C <= 0xDF) {
      Len = 2;
      Cp = C & 0x1F;
    } else if (C >= 0xE0 && C <= 0xEF) {
      Len = 3;
      Cp = C & 0x0F;
    } else if (C >= 0xF0 && C <= 0xF4) {
      Len = 4;
      Cp = C & 0x07;
    } else {
      return false;
    }
    if (End - P < Len) return false;
    for (int I = 1; I < Len; ++I) {
      if ((P[I] & 0xC0) != 0x80) return false;
      Cp = (Cp << 6) | (P[I] & 0x3F);
    }
    if ((Len == 3 && (Cp < 0x800 || (Cp >= 0xD800 && Cp <= 0xDFFF))) || (Len == 4 && (Cp < 0x10000 || Cp > 0x10FFFF)))
      return false;
    P += Len;
  }
  return true;
}

void TSegmentConverter::AppendText(pugi::xml_node AText, std::string& AOut) {
  if (AText.type() == pugi::node_pcdata) AppendEscapedXmlText(AOut, AText.value());
}

namespace {

// Builds ANode's text into AOut (see ConvertTree).
void ConvertTreeInto(pugi::xml_node ANode, TSegmentConverter& AConverter, std::string& Out) {
  // Visits ANode's subtree in document order; returns true when Cur's content is to be entered.
  const auto Enter = [&](pugi::xml_node Cur) {
    if (Cur.type() == pugi::node_pcdata || Cur.type() == pugi::node_cdata) {
      AConverter.AppendText(Cur, Out);
      return false;
    }
    if (Cur.type() != pugi::node_element) return false;  // comments and PIs give nothing
    return AConverter.EnterElement(Cur, Out);
  };
  if (!Enter(ANode)) return;
  pugi::xml_node Cur = ANode.first_child();
  while (Cur) {
    const bool Entered = Enter(Cur);
    if (Entered && Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    if (Entered) AConverter.LeaveElement(Cur, Out);  // an empty element let in still gets its leave call
    while (Cur != ANode && !Cur.next_sibling()) {
      Cur = Cur.parent();
      if (Cur != ANode) AConverter.LeaveElement(Cur, Out);
    }
    if (Cur == ANode) break;
    Cur = Cur.next_sibling();
  }
  AConverter.LeaveElement(ANode, Out);
}

}  // namespace

std::string ConvertTree(pugi::xml_node ANode, TSegmentConverter& AConverter) {
  if (!ANode) return {};
  // Built in a buffer of the thread's that keeps its room, then copied once at its size: grown
  // from empty, a segment's text would be copied at each doubling. A nested call takes the
  // buffer away and simply leaves one of its own behind. A buffer grown by a huge segment is let go.
  constexpr std::size_t kKeptBytes = 1024 * 1024;
  thread_local std::string Scratch;
  std::string Out = std::move(Scratch);
  Out.clear();
  ConvertTreeInto(ANode, AConverter, Out);
  std::string Result(Out);
  if (Out.capacity() <= kKeptBytes) Scratch = std::move(Out);
  return Result;
}

}  // namespace lexmora
