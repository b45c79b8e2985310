#include "ImportFromFileGroup06Unit.h"

#include <filesystem>
#include <unordered_map>

#include "ImportFromFileGroup01Unit.h"
#include "ImportFromFileGroup03Unit.h"
#include "ImportFromFileGroup05Unit.h"
#include "LoggerUnit.h"
#include "Utf8PathUnit.h"
#include "XmlDomUnit.h"
#include "XmlEscapeUnit.h"

namespace lexmora {

namespace {

const char* const kGetDataName = "TImporterFromGroup06.GetDataFromFile";
const char* const kLanguagesName = "TImporterFromGroup06.DefineSrcAndTrgLanguages";

// A segment "mrk" of XLIFF 1.2: mtype "seg" and a "mid".
bool IsSegmentMrk(pugi::xml_node ANode) {
  return IsElementNamed(ANode, "mrk") && std::string_view(ANode.attribute("mtype").value()) == "seg" &&
         ANode.attribute("mid");
}

// All text below AElement, in document order (the native code of a 1.2 inline code). Iterative.
std::string DescendantText(pugi::xml_node AElement) {
  std::string Out;
  pugi::xml_node Cur = AElement.first_child();
  while (Cur) {
    if (Cur.type() == pugi::node_pcdata || Cur.type() == pugi::node_cdata) Out += Cur.value();
    if (Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    while (Cur != AElement && !Cur.next_sibling()) Cur = Cur.parent();
    if (Cur == AElement) break;
    Cur = Cur.next_sibling();
  }
  return Out;
}

// The id that pairs a 1.2 code with its partner: "rid" where given, else "id".
std::string PairID(pugi::xml_node AElement) {
  const pugi::xml_attribute Rid = AElement.attribute("rid");
  return Rid ? Rid.value() : AElement.attribute("id").value();
}

// The inline codes of XLIFF 1.2 as tags of the internal markup. Codes that hold their native code
// ("ph", "bpt", "ept", "it") carry it as their content; the others carry their own markup, so that
// two different codes never look alike.
class TXliff12Converter : public TSegmentConverter {
 public:
  bool EnterElement(pugi::xml_node AElement, std::string& AOut) override {
    const std::string_view Name = AElement.name();
    if (Name == "g") {
      AOut += InternalTagMarkup('x', AElement.attribute("id").value(), EscapeXmlText(SerializeStartTag(AElement)));
      return true;
    }
    if (Name == "x")
      return Tag('z', AElement.attribute("id").value(), EscapeXmlText(SerializeXml(AElement, true)), AOut);
    if (Name == "bx") return Tag('x', PairID(AElement), EscapeXmlText(SerializeXml(AElement, true)), AOut);
    if (Name == "ex") return Tag('y', PairID(AElement), EscapeXmlText(SerializeXml(AElement, true)), AOut);
    if (Name == "ph") return Tag('z', AElement.attribute("id").value(), EscapeXmlText(DescendantText(AElement)), AOut);
    if (Name == "bpt") return Tag('x', PairID(AElement), EscapeXmlText(DescendantText(AElement)), AOut);
    if (Name == "ept") return Tag('y', PairID(AElement), EscapeXmlText(DescendantText(AElement)), AOut);
    if (Name == "it") {
      // An isolated code opens or closes something outside the segment.
      const char Letter = std::string_view(AElement.attribute("pos").value()) == "close" ? 'y' : 'x';
      return Tag(Letter, PairID(AElement), EscapeXmlText(DescendantText(AElement)), AOut);
    }
    return true;  // "mrk" and anything else: its text stays text
  }

  void LeaveElement(pugi::xml_node AElement, std::string& AOut) override {
    if (IsElementNamed(AElement, "g"))
      AOut += InternalTagMarkup('y', AElement.attribute("id").value(), EscapeXmlText("</g>"));
  }

 private:
  static bool Tag(char ALetter, const std::string& AID, const std::string& AContent, std::string& AOut) {
    AOut += InternalTagMarkup(ALetter, AID, AContent);
    return false;  // a code's content is its native code, never text
  }
};

}  // namespace

std::string TImporterFromGroup06::Convert12(pugi::xml_node ANode) {
  if (!ANode) return {};
  TXliff12Converter Converter;
  return ConvertTree(ANode, Converter);
}

TImporterFromGroup06::TImporterFromGroup06(const std::string& ATempDir, const std::string& AFileFullName,
                                           bool ADoNotSeparateSpaces)
    : TImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces),
      FTempFileName(ATempDir + Utf8FromPath(PathFromUtf8(AFileFullName).filename())) {}

TImporterFromGroup06::~TImporterFromGroup06() = default;

TExtractFilesResult TImporterFromGroup06::ExtractFile() { return ExtractSingleDocument(FTempFileName); }

void TImporterFromGroup06::GetSrcFileNames() { FUnpackedFiles.push_back(FTempFileName); }

TXliffDialect TImporterFromGroup06::DefineDialect(pugi::xml_node ARoot) {
  bool Sdl = false, MemoQ = false, Memsource = false;
  for (pugi::xml_attribute A = ARoot.first_attribute(); A; A = A.next_attribute()) {
    const std::string_view Name = A.name();
    if (Name != "xmlns" && !Name.starts_with("xmlns:")) continue;
    const std::string_view Uri = A.value();
    Sdl = Sdl || Uri == SdlXliffNamespace;
    MemoQ = MemoQ || Uri == MemoQXliffNamespace;
    Memsource = Memsource || Uri == MemsourceXliffNamespace;
  }
  if (Sdl) return TXliffDialect::xdSdl;
  if (MemoQ) return TXliffDialect::xdMemoQ;
  if (Memsource) return TXliffDialect::xdMemsource;
  return TXliffDialect::xdPlain;
}

void TImporterFromGroup06::DefineSrcAndTrgLanguages() {
  FLangPair = {};
  TXliffDialect Dialect = TXliffDialect::xdPlain;
  try {
    pugi::xml_document Doc;
    LoadXmlFile(Doc, FTempFileName, false);
    Dialect = DefineDialect(Doc.document_element());
    if (Dialect == TXliffDialect::xdPlain) FLangPair = DocumentLanguages(Doc.document_element());
  } catch (const std::exception& E) {
    Logger().AddException(kLanguagesName, E);
    return;
  }
  // A dialect document: its own reader decides, and its records carry what it found.
  TImporter* Inner = nullptr;
  switch (Dialect) {
    case TXliffDialect::xdSdl:
      FSdlReader = std::make_unique<TImporterFromGroup01>(FTempDir, FFileFullName, FDoNotSeparateSpaces);
      Inner = FSdlReader.get();
      break;
    case TXliffDialect::xdMemoQ:
      FMemoQReader = std::make_unique<TImporterFromGroup03>(FTempDir, FFileFullName, FDoNotSeparateSpaces);
      Inner = FMemoQReader.get();
      break;
    case TXliffDialect::xdMemsource:
      FMemsourceReader = std::make_unique<TImporterFromGroup05>(FTempDir, FFileFullName, FDoNotSeparateSpaces);
      Inner = FMemsourceReader.get();
      break;
    case TXliffDialect::xdPlain:
      return;
  }
  Inner->DefineSrcAndTrgLanguages();
  Inner->ReleaseDocument();  // the document is read from its text below, not from this parse
  FLangPair = Inner->LangPair();
}

bool TImporterFromGroup06::GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  if (ASrcFile.empty()) return true;
  std::string Data;
  try {
    Data = ReadFileData(ASrcFile);
  } catch (const std::exception& E) {
    Logger().AddException(kGetDataName, E);
    NoteFailure(ReasonOf(E));
    return false;
  }
  return GetDataFromText(Data, ASrcFile, AIsTerminateSet, AResultData);
}

bool TImporterFromGroup06::GetDataFromText(std::string_view AData, const std::string& AFileName,
                                           const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  TXliffDialect Dialect;
  {
    pugi::xml_document Doc;
    try {
      LoadXmlText(Doc, AData, true);
    } catch (const std::exception& E) {
      Logger().AddException(kGetDataName, E);
      NoteFailure(ReasonOf(E));
      return false;
    }
    Dialect = DefineDialect(Doc.document_element());
    if (Dialect == TXliffDialect::xdPlain) {
      FLanguageSource = {};
      TXliff2Walker Walker;
      return WalkLoadedDocument(
          Doc, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, Walker, AFileName, AResultData); },
          kGetDataName);
    }
  }
  // The dialect reader parses again: its own walk, with its own error names.
  return ReadAsDialect(Dialect, AData, AFileName, AIsTerminateSet, AResultData);
}

bool TImporterFromGroup06::ReadAsDialect(TXliffDialect ADialect, std::string_view AData, const std::string& AFileName,
                                         const TIsTerminateSetFunc& AIsTerminateSet,
                                         TArrayOfDiffInfoRecord& AResultData) {
  // Note: a reader made here, without DefineSrcAndTrgLanguages, stamps empty language codes.
  const auto Make = [&](auto& AReader) -> auto& {
    using TReader = typename std::remove_reference_t<decltype(AReader)>::element_type;
    if (!AReader) AReader = std::make_unique<TReader>(FTempDir, FFileFullName, FDoNotSeparateSpaces);
    return *AReader;
  };
  // The dialect reader's reason for a failure is the reason of this file's error line.
  const auto Read = [&](auto& AReader) {
    auto& R = Make(AReader);
    const std::size_t Before = R.Failures().size();
    const bool Ok = R.GetDataFromText(AData, AFileName, AIsTerminateSet, AResultData);
    if (!Ok && R.Failures().size() > Before) NoteFailure(R.Failures().back().Reason);
    return Ok;
  };
  switch (ADialect) {
    case TXliffDialect::xdSdl:
      return Read(FSdlReader);
    case TXliffDialect::xdMemoQ:
      return Read(FMemoQReader);
    case TXliffDialect::xdMemsource:
      return Read(FMemsourceReader);
    case TXliffDialect::xdPlain:
      break;
  }
  return false;
}

void TImporterFromGroup06::ReadFileChild(pugi::xml_node AFileChild, TXliff2Walker& AWalker,
                                         const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  if (AWalker.IsXliff2(AFileChild)) {
    const pugi::xml_node Root = AFileChild.parent().parent();
    if (FLanguageSource != Root) {
      FLanguageSource = Root;
      FLangPair = {Root.attribute("srcLang").value(), Root.attribute("trgLang").value()};
    }
    AWalker.WalkUnits(AFileChild, [&](pugi::xml_node AUnit, bool ATranslateNo, TXmlNamespaceScope& AScope) {
      ReadUnit(AUnit, ATranslateNo, AScope, AFileName, AResultData);
    });
    return;
  }
  if (!IsElementNamed(AFileChild, "body")) return;
  // Each "file" of XLIFF 1.2 names its own languages.
  const pugi::xml_node File = AFileChild.parent();
  if (FLanguageSource != File) {
    FLanguageSource = File;
    FLangPair = {File.attribute("source-language").value(), File.attribute("target-language").value()};
  }
  WalkBody(AFileChild, [&](pugi::xml_node AUnit) { ReadTransUnit(AUnit, AFileName, AResultData); });
}

void TImporterFromGroup06::ReadUnit(pugi::xml_node AUnit, bool ATranslateNo, TXmlNamespaceScope& AScope,
                                    const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  const std::string ID = AUnit.attribute("id").value();
  if (ID.empty()) return;  // no identity to pair it by
  for (const TXliff2Segment& S : ReadXliff2Segments(AUnit, AScope, TXmlEscaping::xeEntities))
    AppendSegmentRecord(AFileName, ID, S.SegmentID, S.Source, S.Target, "", ATranslateNo || S.TranslateNo, AResultData);
}

void TImporterFromGroup06::ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  const std::string ID = AUnit.attribute("id").value();
  const pugi::xml_node Source = LastChildNamed(AUnit, "source");
  if (ID.empty() || !Source) return;  // no identity to pair it by, or nothing to compare
  const bool IsLocked = std::string_view(AUnit.attribute("translate").value()) == "no";
  const pugi::xml_node Target = LastChildNamed(AUnit, "target");
  // Segmented units: the segment marks of seg-source, each with the target's mark of the same mid.
  std::vector<pugi::xml_node> SourceSegments;
  ForEachOutermost(LastChildNamed(AUnit, "seg-source"), IsSegmentMrk,
                   [&](pugi::xml_node M) { SourceSegments.push_back(M); });
  if (SourceSegments.empty()) {
    AppendSegmentRecord(AFileName, ID, "", Convert12(Source), Convert12(Target), "", IsLocked, AResultData);
    return;
  }
  std::unordered_map<std::string, pugi::xml_node> TargetSegments;
  ForEachOutermost(Target, IsSegmentMrk,
                   [&](pugi::xml_node M) { TargetSegments.emplace(M.attribute("mid").value(), M); });
  for (const pugi::xml_node M : SourceSegments) {
    const std::string Mid = M.attribute("mid").value();
    const auto Found = TargetSegments.find(Mid);
    AppendSegmentRecord(AFileName, ID, Mid, Convert12(M), Found != TargetSegments.end() ? Convert12(Found->second) : "",
                        "", IsLocked, AResultData);
  }
}

}  // namespace lexmora
