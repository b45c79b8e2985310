// A bilingual document read without one tree of it all.
//
// Nearly all of such a document is its bodies (the "body" children of the root's "file"
// elements), and a reader looks at a body only one trans-unit at a time. So the bodies' content is
// cut out of the text: the rest (root, files, headers) is parsed as one small tree, the skeleton,
// in which every body is empty, and a body's content is parsed on demand a slice of its children
// at a time into one scratch tree. The whole document thus never stands in memory as a tree.
//
// Open parses every piece once, so a document that would read differently this way than parsed
// whole is refused, and the caller parses it whole: anything malformed, a DOCTYPE (it may declare
// entities), a NUL byte, text that is not UTF-8. A reader of an opened document sees the same
// nodes in the same order as in the whole tree, except that a body's children are handed over
// slice by slice, each slice's nodes being children of the scratch document.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

namespace lexmora {

class TSlicedDocument {
 public:
  // About this many bytes of body content go into one slice (a slice always holds whole children).
  static constexpr std::size_t kSliceBytes = 256 * 1024;

  // Null when AData is not to be read this way (see above). The text is kept.
  static std::unique_ptr<TSlicedDocument> Open(std::string AData, std::size_t ASliceBytes = kSliceBytes);
  // The same for the file AFileName; also null when it cannot be read (the whole parse then says why).
  static std::unique_ptr<TSlicedDocument> OpenFile(const std::string& AFileName, std::size_t ASliceBytes = kSliceBytes);

  const pugi::xml_document& Skeleton() const { return FSkeleton; }

  // True when some body's content was cut out.
  bool HasCutOuts() const { return !FBodies.empty(); }
  // True when ABody is a body of the skeleton whose content was cut out.
  bool IsCutOut(pugi::xml_node ABody) const;
  // Parses the slices of the cut-out ABody in document order, handing each to AOnSlice as the
  // children of a scratch document (valid during the call only). Throws EXmlError when a slice
  // fails to parse, which Open has ruled out.
  void ForEachSlice(pugi::xml_node ABody, const std::function<void(const pugi::xml_document& ASlice)>& AOnSlice) const;

 private:
  using TSlices = std::vector<std::string_view>;  // into FData
  TSlicedDocument() = default;
  const TSlices* SlicesOf(pugi::xml_node ABody) const;

  std::string FData;
  pugi::xml_document FSkeleton;
  std::unordered_map<const void*, TSlices> FBodies;  // by the skeleton's body element
};

}  // namespace lexmora
