// Escaping of text for XML: segment text, internal tag markup and re-serialised document parts.
#pragma once

#include <string>
#include <string_view>

namespace lexmora {

// Which characters AppendEscapedXmlText replaces, and with what.
enum class TXmlEscaping {
  xeEntities,          // & < > " ' as &amp; &lt; &gt; &quot; &apos;
  xeNumeric,           // the same five as &#38; &#60; &#62; &#34; &#39;, as tag contents keep them
  xeNumericText,       // xeNumeric, and every C0 control but tab and line feed as &#N; (element text)
  xeNumericAttribute,  // xeNumeric, and every C0 control as &#N; (attribute values normalise the rest)
};

// AText with & < > " ' replaced by entities, in that order.
std::string EscapeXmlText(const std::string& AText);
// AText escaped as AEscaping says, appended to AOut. Note: one pass, so an inserted reference's
// "&" is never looked at again; every other byte, UTF-8 included, is copied unchanged.
void AppendEscapedXmlText(std::string& AOut, std::string_view AText, TXmlEscaping AEscaping = TXmlEscaping::xeEntities);

}  // namespace lexmora
