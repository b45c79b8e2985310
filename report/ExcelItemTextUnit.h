// Makes the text of one shared-string item safe for spreadsheet programs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lexmora {

// Most characters one cell can hold; spreadsheet programs count UTF-16 units.
inline constexpr std::size_t kMaxCellTextLength = 32767;

// Returns the item text AItemText (a plain "<t>" element or a sequence of "<r>" runs, text
// already XML-escaped) with the text inside its "<t>" elements made loadable:
// - characters XML 1.0 forbids (controls other than TAB, LF, CR; U+FFFE, U+FFFF) become the
//   Office Open XML escape "_xHHHH_";
// - an underscore that would start such an escape in the stored text ("_x", four hex digits,
//   "_") is written as "_x005F_", so the cell shows the literal text;
// - a text longer than AMaxLength is cut so that, with a closing "…", it holds exactly
//   AMaxLength; the run the cut falls in is closed and the later runs are dropped.
// Markup outside the "<t>" elements is copied as it is. Invalid UTF-8 becomes U+FFFD.
std::string PrepareItemText(std::string_view AItemText, std::size_t AMaxLength = kMaxCellTextLength);
// True when PrepareItemText would return AItemText as it is, so a caller may keep it without a copy.
bool IsItemTextReady(std::string_view AItemText, std::size_t AMaxLength = kMaxCellTextLength);

}  // namespace lexmora
