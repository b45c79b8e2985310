#include "Xliff2ReadUnit.h"

#include <cstdint>
#include <utility>

#include "Utf8Unit.h"
#include "XmlDomUnit.h"

namespace lexmora {

namespace {

bool IsNamespaceDeclaration(std::string_view AName, std::string_view& APrefix) {
  if (AName == "xmlns") {
    APrefix = {};
    return true;
  }
  if (AName.starts_with("xmlns:")) {
    APrefix = AName.substr(6);
    return true;
  }
  return false;
}

std::string_view PrefixOf(std::string_view AQualifiedName) {
  const std::size_t Colon = AQualifiedName.find(':');
  return Colon == std::string_view::npos ? std::string_view() : AQualifiedName.substr(0, Colon);
}

bool SaysNo(pugi::xml_node AElement, bool AInherited) {
  const pugi::xml_attribute A = AElement.attribute("translate");
  return A ? std::string_view(A.value()) == "no" : AInherited;
}

// The character of a "cp" element. Note: the internal markup is XML and cannot carry what XML
// forbids (most C0 controls, U+FFFE, U+FFFF), which is what "cp" is mostly for: such a code, and a
// value that is no character at all, becomes U+FFFD, as the reports show such characters anyway.
std::string CodePointText(pugi::xml_node ACp) {
  std::string_view Hex = ACp.attribute("hex").value();
  std::uint32_t Value = 0;
  bool Valid = !Hex.empty() && Hex.size() <= 6;
  for (const char C : Hex) {
    int Digit;
    if (C >= '0' && C <= '9') Digit = C - '0';
    else if (C >= 'a' && C <= 'f') Digit = C - 'a' + 10;
    else if (C >= 'A' && C <= 'F') Digit = C - 'A' + 10;
    else { Valid = false; break; }
    Value = Value * 16 + static_cast<std::uint32_t>(Digit);
  }
  const bool XmlChar = Value == 0x9 || Value == 0xA || Value == 0xD || (Value >= 0x20 && Value <= 0xD7FF) ||
                       (Value >= 0xE000 && Value <= 0xFFFD) || (Value >= 0x10000 && Value <= 0x10FFFF);
  if (!Valid || !XmlChar) Value = ReplacementChar;
  std::string Out;
  AppendUtf8(Out, static_cast<char32_t>(Value));
  return Out;
}

// The "originalData" of a unit: data id -> its native code as plain text.
using TOriginalData = std::unordered_map<std::string, std::string>;

TOriginalData ReadOriginalData(pugi::xml_node AOriginalData) {
  TOriginalData Result;
  for (pugi::xml_node Data = AOriginalData.first_child(); Data; Data = Data.next_sibling()) {
    if (Data.type() != pugi::node_element || LocalName(Data.name()) != "data") continue;
    std::string Text;
    for (pugi::xml_node C = Data.first_child(); C; C = C.next_sibling()) {
      if (C.type() == pugi::node_pcdata || C.type() == pugi::node_cdata) Text += C.value();
      else if (C.type() == pugi::node_element && LocalName(C.name()) == "cp") Text += CodePointText(C);
    }
    Result.emplace(Data.attribute("id").value(), std::move(Text));  // the first of a repeated id counts
  }
  return Result;
}

// Converts one "source" or "target" into internal markup.
class TInlineConverter : public TSegmentConverter {
 public:
  TInlineConverter(TXmlNamespaceScope& AScope, const TOriginalData& AData, TXmlEscaping AEscaping)
      : FScope(AScope), FData(AData), FEscaping(AEscaping) {}

  std::string Convert(pugi::xml_node ASegmentPart) { return ConvertTree(ASegmentPart, *this); }

  void AppendText(pugi::xml_node AText, std::string& AOut) override {
    AppendEscapedXmlText(AOut, AText.value(), FEscaping);
  }

  // Appends what AElement stands for; true when its content is to be converted (Leave follows).
  bool EnterElement(pugi::xml_node ANode, std::string& AOut) override {
    FScope.Enter(ANode);
    const bool Core = IsXliff2Namespace(FScope.NamespaceOf(ANode));
    const std::string_view Name = LocalName(ANode.name());
    bool Descend = Core;
    if (!Core) {
      // Another vocabulary inside a segment (an XLIFF 1.2 element, say) is never its text.
    } else if (Name == "ph") {
      Tag('z', Attr(ANode, "id"), ANode, "dataRef", SerializeXml(ANode, true), AOut);
      Descend = false;
    } else if (Name == "pc") {
      Tag('x', Attr(ANode, "id"), ANode, "dataRefStart", SerializeStartTag(ANode), AOut);
    } else if (Name == "sc") {
      Tag('x', Attr(ANode, "id"), ANode, "dataRef", SerializeXml(ANode, true), AOut);
      Descend = false;
    } else if (Name == "ec") {
      // An isolated end code names itself; a paired one names its start code.
      const pugi::xml_attribute StartRef = ANode.attribute("startRef");
      Tag('y', StartRef ? StartRef.value() : Attr(ANode, "id"), ANode, "dataRef", SerializeXml(ANode, true), AOut);
      Descend = false;
    } else if (Name == "sm" || Name == "em") {
      Descend = false;  // annotation boundaries carry no text and no code
    } else if (Name == "cp") {
      AppendEscapedXmlText(AOut, CodePointText(ANode), FEscaping);
      Descend = false;
    }
    if (!Descend) FScope.Leave(ANode);
    return Descend;
  }

  void LeaveElement(pugi::xml_node AElement, std::string& AOut) override {
    if (LocalName(AElement.name()) == "pc" && IsXliff2Namespace(FScope.NamespaceOf(AElement)))
      Tag('y', Attr(AElement, "id"), AElement, "dataRefEnd", "</" + std::string(AElement.name()) + ">", AOut);
    FScope.Leave(AElement);
  }

 private:
  static std::string Attr(pugi::xml_node AElement, const char* AName) { return AElement.attribute(AName).value(); }

  // A tag whose content is the original data ARefAttr refers to, else AOwnMarkup.
  void Tag(char ALetter, const std::string& AID, pugi::xml_node AElement, const char* ARefAttr,
           const std::string& AOwnMarkup, std::string& AOut) {
    const pugi::xml_attribute Ref = AElement.attribute(ARefAttr);
    const auto Found = Ref ? FData.find(Ref.value()) : FData.end();
    std::string Content;
    AppendEscapedXmlText(Content, Found != FData.end() ? Found->second : AOwnMarkup, FEscaping);
    AOut += InternalTagMarkup(ALetter, AID, Content);
  }

  TXmlNamespaceScope& FScope;
  const TOriginalData& FData;
  TXmlEscaping FEscaping;
};

}  // namespace

bool IsXliff2Namespace(std::string_view AUri) { return AUri.empty() || AUri.starts_with(Xliff2NamespacePrefix); }

bool IsXliff2Root(pugi::xml_node ARoot) {
  if (ARoot.type() != pugi::node_element) return false;
  if (const pugi::xml_attribute Version = ARoot.attribute("version")) {
    const std::string_view V = Version.value();
    return V == "2" || V.starts_with("2.");
  }
  TXmlNamespaceScope Scope;
  Scope.Enter(ARoot);
  const std::string_view Ns = Scope.NamespaceOf(ARoot);
  return !Ns.empty() && Ns.starts_with(Xliff2NamespacePrefix);
}

void TXmlNamespaceScope::Enter(pugi::xml_node AElement) {
  for (pugi::xml_attribute A = AElement.first_attribute(); A; A = A.next_attribute()) {
    std::string_view Prefix;
    if (IsNamespaceDeclaration(A.name(), Prefix)) FBindings[std::string(Prefix)].emplace_back(A.value());
  }
}

void TXmlNamespaceScope::Leave(pugi::xml_node AElement) {
  for (pugi::xml_attribute A = AElement.first_attribute(); A; A = A.next_attribute()) {
    std::string_view Prefix;
    if (!IsNamespaceDeclaration(A.name(), Prefix)) continue;
    const auto It = FBindings.find(std::string(Prefix));
    if (It != FBindings.end() && !It->second.empty()) It->second.pop_back();
  }
}

void TXmlNamespaceScope::EnterAncestors(pugi::xml_node ANode) {
  std::vector<pugi::xml_node> Chain;
  for (pugi::xml_node P = ANode.parent(); P && P.type() == pugi::node_element; P = P.parent()) Chain.push_back(P);
  for (auto It = Chain.rbegin(); It != Chain.rend(); ++It) Enter(*It);
}

std::string_view TXmlNamespaceScope::NamespaceOf(pugi::xml_node AElement) const {
  const auto It = FBindings.find(std::string(PrefixOf(AElement.name())));
  return It == FBindings.end() || It->second.empty() ? std::string_view() : std::string_view(It->second.back());
}

bool TXliff2Walker::IsXliff2(pugi::xml_node AFileChild) {
  if (!FDecided) {
    // The shared walk hands children of "file" elements that are children of the root.
    FIsXliff2 = IsXliff2Root(AFileChild.parent().parent());
    FDecided = true;
  }
  return FIsXliff2;
}

void TXliff2Walker::EnterFile(pugi::xml_node AFile) {
  if (AFile == FFile) return;
  FScope = {};
  FScope.EnterAncestors(AFile);
  FScope.Enter(AFile);
  FFile = AFile;
  FFileTranslateNo = SaysNo(AFile, false);
}

void TXliff2Walker::WalkUnits(pugi::xml_node AFileChild, const TXliff2UnitFunc& AOnUnit) {
  if (AFileChild.type() != pugi::node_element) return;
  EnterFile(AFileChild.parent());
  // Groups being walked, each with the translate state around it.
  std::vector<std::pair<pugi::xml_node, bool>> Open;
  bool TranslateNo = FFileTranslateNo;
  pugi::xml_node Cur = AFileChild;
  for (;;) {
    if (Cur.type() == pugi::node_element) {
      FScope.Enter(Cur);
      const bool Core = IsXliff2Namespace(FScope.NamespaceOf(Cur));
      const std::string_view Name = LocalName(Cur.name());
      if (Core && Name == "group" && Cur.first_child()) {
        Open.emplace_back(Cur, TranslateNo);
        TranslateNo = SaysNo(Cur, TranslateNo);
        Cur = Cur.first_child();
        continue;  // left again when its last child is done
      }
      if (Core && Name == "unit") AOnUnit(Cur, SaysNo(Cur, TranslateNo), FScope);
      FScope.Leave(Cur);
    }
    for (;;) {
      if (Open.empty()) return;
      if (Cur.next_sibling()) {
        Cur = Cur.next_sibling();
        break;
      }
      Cur = Open.back().first;
      TranslateNo = Open.back().second;
      Open.pop_back();
      FScope.Leave(Cur);
    }
  }
}

std::vector<TXliff2Segment> ReadXliff2Segments(pugi::xml_node AUnit, TXmlNamespaceScope& AScope,
                                               TXmlEscaping AEscaping) {
  std::vector<TXliff2Segment> Result;
  // Children of the unit in XLIFF 2 with the wanted name; the scope stays as it was.
  const auto ForEachCore = [&](pugi::xml_node AParent, std::string_view AName, const auto& AVisit) {
    for (pugi::xml_node C = AParent.first_child(); C; C = C.next_sibling()) {
      if (C.type() != pugi::node_element || LocalName(C.name()) != AName) continue;
      AScope.Enter(C);
      if (IsXliff2Namespace(AScope.NamespaceOf(C))) AVisit(C);
      AScope.Leave(C);
    }
  };
  TOriginalData Data;
  bool HaveData = false;
  ForEachCore(AUnit, "originalData", [&](pugi::xml_node AOriginal) {
    if (!HaveData) Data = ReadOriginalData(AOriginal);
    HaveData = true;
  });
  std::size_t Position = 0;
  ForEachCore(AUnit, "segment", [&](pugi::xml_node ASegment) {
    ++Position;
    pugi::xml_node Source, Target;
    ForEachCore(ASegment, "source", [&](pugi::xml_node N) { if (!Source) Source = N; });
    ForEachCore(ASegment, "target", [&](pugi::xml_node N) { if (!Target) Target = N; });
    if (!Source) return;
    TXliff2Segment& S = Result.emplace_back();
    const pugi::xml_attribute ID = ASegment.attribute("id");
    S.SegmentID = ID ? std::string(ID.value()) : std::to_string(Position);
    S.TranslateNo = SaysNo(ASegment, false);
    // The segment is in scope here; the converter enters the part itself.
    TInlineConverter Converter(AScope, Data, AEscaping);
    S.Source = Converter.Convert(Source);
    if (Target) S.Target = Converter.Convert(Target);
  });
  return Result;
}

}  // namespace lexmora
