// What the readers of XLIFF 2 documents share: the form of the root, the namespaces in scope, the
// walk from a child of "file" down to its units, and the segments of a unit in internal markup.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "XmlEscapeUnit.h"

namespace lexmora {

// The namespace URIs of the dialects that have readers of their own, and of XLIFF itself.
inline constexpr std::string_view SdlXliffNamespace = "http://sdl.com/FileTypes/SdlXliff/1.0";
inline constexpr std::string_view MemoQXliffNamespace = "MQXliff";
inline constexpr std::string_view MemsourceXliffNamespace = "http://www.memsource.com/mxlf/2.0";
inline constexpr std::string_view Xliff1NamespacePrefix = "urn:oasis:names:tc:xliff:document:1.";
inline constexpr std::string_view Xliff2NamespacePrefix = "urn:oasis:names:tc:xliff:document:2.";

// True for an XLIFF 2 namespace, or none at all (documents that declare no namespace).
bool IsXliff2Namespace(std::string_view AUri);

// True when ARoot is in XLIFF 2 form: its own "version" attribute (that exact name, so that a
// dialect's "m:version" does not count) is "2" or starts with "2."; without one, when the root's
// name is in an XLIFF 2 namespace.
bool IsXliff2Root(pugi::xml_node ARoot);

// The namespace bindings in force while walking down a tree. Enter an element before its content
// and Leave it after, in nested order; each call costs the element's attributes, whatever the depth.
class TXmlNamespaceScope {
 public:
  void Enter(pugi::xml_node AElement);
  void Leave(pugi::xml_node AElement);
  // Enters every ancestor element of ANode, outermost first (not ANode itself).
  void EnterAncestors(pugi::xml_node ANode);
  // The namespace of an entered element's name (its prefix's binding, or the default one); empty
  // when nothing is bound.
  std::string_view NamespaceOf(pugi::xml_node AElement) const;

 private:
  std::unordered_map<std::string, std::vector<std::string>> FBindings;  // prefix ("" = default)
};

// One segment of a unit.
struct TXliff2Segment {
  std::string SegmentID;  // the segment's "id", else its 1-based position among the unit's segments
  std::string Source;     // internal markup
  std::string Target;     // internal markup; empty without a target
  bool TranslateNo = false;  // translate="no" on the segment itself
};

// Handed each unit: the unit, whether translate="no" holds for it (its own attribute, else that of
// the nearest enclosing group or file that has one) and the scope at the unit (entered).
using TXliff2UnitFunc = std::function<void(pugi::xml_node AUnit, bool ATranslateNo, TXmlNamespaceScope& AScope)>;

// Walks the units of an XLIFF 2 document the way the shared document walk hands it over: one child
// of a "file" element at a time. Only "group" elements of XLIFF 2 are descended into, so notes,
// skeletons and elements of other namespaces never give units. Iterative: nesting depth is safe.
// One walker per parsed document.
class TXliff2Walker {
 public:
  // True when the document of AFileChild is in XLIFF 2 form (decided once per walker).
  bool IsXliff2(pugi::xml_node AFileChild);
  // Hands every unit at or below AFileChild to AOnUnit, in document order.
  void WalkUnits(pugi::xml_node AFileChild, const TXliff2UnitFunc& AOnUnit);

 private:
  void EnterFile(pugi::xml_node AFile);

  bool FDecided = false;
  bool FIsXliff2 = false;
  pugi::xml_node FFile;
  bool FFileTranslateNo = false;
  TXmlNamespaceScope FScope;  // bindings of the root and of FFile
};

// The segments of AUnit in document order. Inline codes become internal tags: "ph" standalone,
// "pc" an opening and a closing tag around its content, "sc" opening, "ec" closing (paired by
// "startRef"), with the unit's "originalData" as their content where they refer to it and their
// own markup where they do not; "mrk" keeps its text, "sm" and "em" give nothing, "cp" gives its
// character. Elements of other namespaces (an XLIFF 1.2 "alt-trans", say) are never segment text.
// A segment without a source gives no entry. Text is escaped as AEscaping says: xeEntities, or
// xeNumeric as the serialiser writes it, in which form the Memsource reader finds its tokens.
std::vector<TXliff2Segment> ReadXliff2Segments(pugi::xml_node AUnit, TXmlNamespaceScope& AScope,
                                               TXmlEscaping AEscaping);

}  // namespace lexmora
