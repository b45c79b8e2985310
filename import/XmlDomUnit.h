// The XML behaviours the readers rely on, on top of pugixml.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace lexmora {

// Failure of the XML layer: unreadable file, parse error, text query on mixed content.
// Reason() is the short clause for the run's error line (see RunErrorUnit.h): "not well-formed
// XML at line 3, column 7 (...)", "not UTF-8", ...; the what() text is the logged one.
class EXmlError : public std::runtime_error {
 public:
  explicit EXmlError(const std::string& AWhat, std::string AReason = {})
      : std::runtime_error(AWhat), FReason(AReason.empty() ? AWhat : std::move(AReason)) {}
  const std::string& Reason() const { return FReason; }

 private:
  std::string FReason;
};

// Line and column (both from 1, the column counted in characters) of byte AOffset of AData.
struct TTextPosition {
  std::size_t Line = 1;
  std::size_t Column = 1;
};
TTextPosition TextPositionAt(std::string_view AData, std::size_t AOffset);

// Parse options for whole documents and fragments. Qualified names are kept as written
// (pugixml never resolves namespaces); entities and numeric references are decoded.
// With AKeepBlanks a text node made only of blanks is kept, else it is dropped.
unsigned int XmlParseOptions(bool AKeepBlanks);

// Parses the file AFileName into ADoc. Throws EXmlError when the file cannot be read or parsed.
// Note: the bytes must be UTF-8 (a BOM is skipped); only a UTF-16/32 byte-order mark selects
// another encoding. Anything else that is not valid UTF-8 is refused rather than read as garbage.
void LoadXmlFile(pugi::xml_document& ADoc, const std::string& AFileName, bool AKeepBlanks);

// The same for a document held in memory.
void LoadXmlText(pugi::xml_document& ADoc, std::string_view AData, bool AKeepBlanks);

// True when AData is read as UTF-8 (no UTF-16/32 byte-order mark) and is valid UTF-8 after an
// optional UTF-8 byte-order mark: what LoadXmlText accepts before parsing.
bool IsUtf8Document(std::string_view AData);

// Parses AText, valid UTF-8 (the caller has checked), as a fragment into ADoc: text and any number
// of elements at the top. Throws EXmlError as LoadXmlText does.
void LoadXmlFragment(pugi::xml_document& ADoc, std::string_view AText, bool AKeepBlanks);

// Parses AText as the new content of AElement; its previous children are removed first.
// Note: removing children recurses inside pugixml, so call it on elements whose content is shallow
// (a freshly created element in practice).
void ParseAsContent(pugi::xml_node AElement, std::string_view AText, bool AKeepBlanks);

// True when AName equals AWanted, or AName is "prefix:" followed by AWanted.
bool NameMatches(std::string_view AName, std::string_view AWanted);

// True for an element whose qualified name is exactly AName (the readers' own loops).
bool IsElementNamed(pugi::xml_node ANode, std::string_view AName);

// The last direct child element whose qualified name is exactly AName; empty when there is none.
pugi::xml_node LastChildNamed(pugi::xml_node AParent, std::string_view AName);

// Calls AVisit for each element named exactly AName at or below ANode, in document order, without
// looking inside those elements; everything else is descended into. Iterative.
void ForEachOutermost(pugi::xml_node ANode, std::string_view AName, const std::function<void(pugi::xml_node)>& AVisit);
// The same for the elements AIsHit answers true for.
void ForEachOutermost(pugi::xml_node ANode, const std::function<bool(pugi::xml_node)>& AIsHit,
                      const std::function<void(pugi::xml_node)>& AVisit);

// The part of a qualified name after its prefix ("m:mark" gives "mark", "unit" stays "unit").
std::string_view LocalName(std::string_view AQualifiedName);

// First child element named AName (a prefixed name with that local part also counts).
pugi::xml_node FindChildElement(pugi::xml_node ANode, std::string_view AName);

// Attribute AName; an exact name wins over a prefixed one with that local part. Empty when absent.
pugi::xml_attribute FindAttribute(pugi::xml_node ANode, std::string_view AName);
bool HasAttribute(pugi::xml_node ANode, std::string_view AName);
std::string AttributeValue(pugi::xml_node ANode, std::string_view AName);

// Text of an element: its only child's text when that is a text or CDATA node, empty without
// children. Throws EXmlError for any other content.
std::string ElementText(pugi::xml_node AElement);

// Serialises ANode (with its own markup, or its content only). No indentation is added;
// " & ' < > are written as &#34; &#38; &#39; &#60; &#62;, control characters as numeric references.
// Iterative, so any nesting depth is safe.
std::string SerializeXml(pugi::xml_node ANode, bool AWithOwnMarkup);

// One tag of the internal markup: <AName id="AID">AContent</AName> (AName x, y or z), the id
// escaped so that a quote or "<" in it cannot break the markup, AContent as given (escaped text).
std::string InternalTagMarkup(char AName, const std::string& AID, const std::string& AContent);

// AMarkup with every C0 control character but tab, line feed and carriage return, written raw or
// as a numeric character reference, replaced by U+FFFD: XML cannot carry them, so the internal
// markup of a segment must not hold them (a document may, since the parser is lenient).
void ReplaceForbiddenControls(std::string& AMarkup);

// The start tag of AElement alone ("<pc id=&#34;1&#34;>" in the escaping of SerializeXml).
std::string SerializeStartTag(pugi::xml_node AElement);

// The bytes of the file AFileName. Throws EXmlError when it cannot be opened or read.
std::string ReadFileData(const std::string& AFileName);

// True when every character of AText is at most U+0020 (also for the empty text).
bool IsBlankText(std::string_view AText);

// AText without leading and trailing characters up to U+0020.
std::string TrimBlanks(std::string_view AText);
// The same in place.
void TrimBlanksInPlace(std::string& AText);

// True when AData is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view AData);

// A reader's conversion of a segment's tree to internal tag markup: what a text node and an
// element stand for; ConvertTree walks the tree.
class TSegmentConverter {
 public:
  virtual ~TSegmentConverter() = default;
  // A text or CDATA node: by default text escaped with EscapeXmlText, CDATA gives nothing.
  virtual void AppendText(pugi::xml_node AText, std::string& AOut);
  // On entering AElement: may append markup to AOut; false skips the element's content.
  virtual bool EnterElement(pugi::xml_node AElement, std::string& AOut) = 0;
  // After the content of an element that EnterElement let in.
  virtual void LeaveElement(pugi::xml_node AElement, std::string& AOut) = 0;
};

// Converts ANode and its content to internal markup as AConverter says, in document order;
// comments and processing instructions give nothing. Iterative, so any nesting depth is safe.
std::string ConvertTree(pugi::xml_node ANode, TSegmentConverter& AConverter);

}  // namespace lexmora
