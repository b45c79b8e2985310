// Fuzzes the re-reading of segment elements: converting the parsed tree directly must give what
// serialising the element and parsing it again as the content of a fresh "ROOT" element gives.
// Also checks that the serialiser's output always parses again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <pugixml.hpp>

#include "ImportFromFileGroup01Unit.h"
#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

const TImporterFromGroup01& ReaderWithDefinitions() {
  static TImporterFromGroup01* Reader = [] {
    auto* R = new TImporterFromGroup01("/nonexistent-lexmora-fuzz/", "/nonexistent-lexmora-fuzz/in.sdlxliff", false);
    TArrayOfDiffInfoRecord None;
    R->GetDataFromText(
        "<xliff><file><header><tag-defs><tag id=\"1\"><bpt>&lt;b&gt;</bpt><ept>&lt;/b&gt;</ept></tag>"
        "<tag id=\"2\"><ph>&lt;br/&gt;</ph></tag><tag id=\"a\"><st>s</st></tag></tag-defs></header></file></xliff>",
        "defs", nullptr, None);
    return R;
  }();
  return *Reader;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  pugi::xml_document Doc;
  try {
    LoadXmlText(Doc, std::string_view(reinterpret_cast<const char*>(AData), ASize), true);
  } catch (const EXmlError&) {
    return 0;
  }
  const pugi::xml_node Segment = Doc.document_element();
  if (!Segment) return 0;
  const TImporterFromGroup01& Reader = ReaderWithDefinitions();
  const std::string Direct = Reader.ConvertNode(Segment);
  const std::string Markup = SerializeXml(Segment, true);
  pugi::xml_document Fresh;
  pugi::xml_node Root = Fresh.append_child("ROOT");
  try {
    ParseAsContent(Root, Markup, true);
  } catch (const EXmlError& E) {
    std::fprintf(stderr, "serialised markup does not parse again: %s\n%s\n", E.what(), Markup.c_str());
    std::abort();
  }
  if (Reader.ConvertNode(Root) != Direct) {
    std::fprintf(stderr, "re-reading differs\nmarkup: %s\ndirect: %s\n", Markup.c_str(), Direct.c_str());
    std::abort();
  }
  return 0;
}
