#include "WindowsEntryNamesUnit.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "Utf8Unit.h"

namespace lexmora {

namespace {

bool IsSeparator(char AChar) { return AChar == '/' || AChar == '\\'; }

// The components of AName between separators, without empty and "." ones.
std::vector<std::string_view> Components(std::string_view AName) {
  std::vector<std::string_view> Parts;
  std::size_t Start = 0;
  while (Start <= AName.size()) {
    std::size_t End = Start;
    while (End < AName.size() && !IsSeparator(AName[End])) ++End;
    const std::string_view Part = AName.substr(Start, End - Start);
    if (!Part.empty() && Part != ".") Parts.push_back(Part);
    Start = End + 1;
  }
  return Parts;
}

char UpperAscii(char AChar) { return AChar >= 'a' && AChar <= 'z' ? static_cast<char>(AChar - 32) : AChar; }

bool EqualsIgnoringAsciiCase(std::string_view AText, std::string_view AUpper) {
  return AText.size() == AUpper.size() &&
         std::equal(AText.begin(), AText.end(), AUpper.begin(), [](char A, char B) { return UpperAscii(A) == B; });
}

// Windows opens a device for its name followed by any extension, and ignores blanks before the dot.
bool IsDeviceName(std::string_view AComponent) {
  std::string_view Stem = AComponent.substr(0, AComponent.find('.'));
  while (!Stem.empty() && Stem.back() == ' ') Stem.remove_suffix(1);
  static const std::array<std::string_view, 6> kPlain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::any_of(kPlain.begin(), kPlain.end(), [&](std::string_view D) { return EqualsIgnoringAsciiCase(Stem, D); }))
    return true;
  if (Stem.size() < 4 ||
      !(EqualsIgnoringAsciiCase(Stem.substr(0, 3), "COM") || EqualsIgnoringAsciiCase(Stem.substr(0, 3), "LPT")))
    return false;
  const std::string_view Number = Stem.substr(3);
  // Superscript one, two and three in UTF-8 count as digits for the device names.
  return (Number.size() == 1 && Number[0] >= '1' && Number[0] <= '9') || Number == "\xC2\xB9" || Number == "\xC2\xB2" ||
         Number == "\xC2\xB3";
}

// NTFS gives long names an 8.3 alias such as "VERYLO~1.SDL"; an entry of that form can name a file
// another entry made.
bool IsShortNameForm(std::string_view AComponent) {
  const std::size_t Dot = AComponent.find('.');
  const std::string_view Stem = AComponent.substr(0, Dot);
  const std::size_t Tilde = Stem.rfind('~');
  if (Tilde == std::string_view::npos || Tilde == 0 || Tilde + 1 == Stem.size() || Stem.size() > 8) return false;
  if (!std::all_of(Stem.begin() + static_cast<std::ptrdiff_t>(Tilde) + 1, Stem.end(),
                   [](char C) { return C >= '0' && C <= '9'; }))
    return false;
  return Dot == std::string_view::npos ||
         (AComponent.size() - Dot - 1 <= 3 && AComponent.find('.', Dot + 1) == std::string_view::npos);
}

bool HasForbiddenCharacter(std::string_view AComponent) {
  return std::any_of(AComponent.begin(), AComponent.end(), [](char C) {
    return static_cast<unsigned char>(C) < 0x20 || std::string_view("<>\"|?*").find(C) != std::string_view::npos;
  });
}

// The name as Windows compares it: components in upper case, "/" between them.
std::string ClashKey(std::string_view AName) {
  std::string Key;
  for (const std::string_view Part : Components(AName)) {
    if (!Key.empty()) Key += '/';
    Key += UpperCaseUtf8(Part);
  }
  return Key;
}

}  // namespace

std::string_view WindowsEntryNameProblem(std::string_view AName) {
  if (AName.empty()) return "empty entry name";
  if (AName.size() >= 2 && IsSeparator(AName[0]) && IsSeparator(AName[1]))
    return "entry name with a network or device prefix (it leaves the package)";
  if (IsSeparator(AName[0])) return "absolute entry name (it leaves the package)";
  if (AName.size() >= 2 && AName[1] == ':' &&
      ((AName[0] >= 'A' && AName[0] <= 'Z') || (AName[0] >= 'a' && AName[0] <= 'z')))
    return "entry name with a drive letter (it leaves the package)";
  for (const std::string_view Part : Components(AName)) {
    if (Part == "..") return "entry name leaves the package";
    if (HasForbiddenCharacter(Part)) return "entry name with a character windows forbids in file names";
    if (Part.find(':') != std::string_view::npos) return "entry name with a colon (a data stream on windows)";
    if (Part.back() == '.' || Part.back() == ' ') return "entry name with a trailing dot or blank (windows drops it)";
    if (IsDeviceName(Part)) return "entry name with a device name of windows";
    if (IsShortNameForm(Part)) return "entry name in the form of a windows short name";
  }
  return {};
}

std::string WindowsNameClash(const std::vector<std::string>& ANames) {
  // Per key the first name and whether it is a folder.
  std::map<std::string, std::pair<const std::string*, bool>> Seen;
  for (const std::string& Name : ANames) {
    const bool IsFolder = !Name.empty() && IsSeparator(Name.back());
    const auto [It, Added] = Seen.try_emplace(ClashKey(Name), &Name, IsFolder);
    if (!Added && !(IsFolder && It->second.second))
      return "two entry names are one file when letter case is ignored: \"" + *It->second.first + "\", \"" + Name +
             "\"";
  }
  return {};
}

}  // namespace lexmora
