// The viewer at the end of the HTML report: a script that puts a toolbar above the segment table
// (filters, search, sort, next and previous edited row, the view kept in the address), and its styles.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "DataTypeUnit.h"
#include "MessageIds.h"

namespace lexmora {

// The styles and the script as XHTML lines ended by CR LF, to stand just before </body>. The
// toolbar's texts in ALang go into the script as data. Note: the script reads the rows as
// written and builds the toolbar itself, so a page shown without scripts is the page as before.
std::string RenderHtmlViewer(TLocalizationLanguare ALang);
// The same with the texts from ATextOf, so tests can hand it texts no message holds.
std::string RenderHtmlViewer(const std::function<std::string(TMsg)>& ATextOf);

// AText (UTF-8) as a JavaScript string literal that may stand in an inline script of an HTML or
// an XHTML page: besides quotes, backslashes and controls, "<", ">", "&" and the two Unicode
// line separators are written as \u escapes, so no text can end the script or its CDATA section.
std::string ScriptStringLiteral(std::string_view AText);

}  // namespace lexmora
