// Internal tag markup of segment texts and its conversion into symbol texts,
// where every inline tag is one symbol code point.
//
// The markup is an XML fragment: text mixed with top-level elements x (opening
// tag), y (closing tag) and z (standalone tag), each with an id attribute and
// the tag's display form as escaped text.
#pragma once

#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "DataTypeUnit.h"

namespace lexmora {

// Number of symbols, i.e. of distinct tags that one text can tell apart.
constexpr int TagSymbolCount = 116;
// Every tag symbol lies at or above this code point, so plain ASCII text never holds one.
constexpr char32_t LowestTagSymbol = 0x0A85;

// The symbol code points in the order they are handed out: 45 Gujarati letters,
// 28 Arabic isolated forms, 43 Georgian letters.
extern const std::u32string_view TagSymbolChars;

// Raised for markup that is not well-formed XML (unescaped < or &, unknown
// entity, unbalanced elements, characters XML does not allow).
class TTagMarkupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The symbol text of AText: plain text with each kept tag replaced by its
// symbol. Appends one ADict entry per new distinct tag and one AIDDict entry per
// tag occurrence (TagPos 1-based, in code points). Throws TTagMarkupError.
// Note: blank runs between tags are kept, since adding or removing a space
// there is an edit. Elements other than x, y, z vanish with their content.
std::u32string ConvertTagsToSymbols(const std::string& AText, TTagDict& ADict, TTagIDDict& AIDDict);

// The same, always through the XML parser. ConvertTagsToSymbols reads the common simple markup
// directly and must give exactly what this gives (tests compare the two).
std::u32string ConvertTagsToSymbolsWithParser(const std::string& AText, TTagDict& ADict, TTagIDDict& AIDDict);

// The symbol of ATag: the one of an equal entry of ADict (same TagType and
// TagContent), else the first free symbol not occurring in the markup AText
// (literally or as a numeric character reference), appended to ADict. Empty
// when all symbols are taken.
std::u32string GetTagSymbol(const TTextTag& ATag, const std::string& AText, TTagDict& ADict);

// TagType from the node's name (x, y, z; anything else, or a node that is not
// an element, is ttNotNeeded), TagID from its id attribute, TagContent as its
// content written back as XML text (see SerializeTagContent).
TTextTag GetTextTag(const pugi::xml_node& ANode);

// The children of ANode as XML text without indentation. Note: in text and
// attribute values the five characters " & ' < > are written as the numeric
// references &#34; &#38; &#39; &#60; &#62;.
std::string SerializeTagContent(const pugi::xml_node& ANode);

}  // namespace lexmora
