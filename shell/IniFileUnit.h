// A small INI document: read leniently, written back in a fixed order and form.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexmora {

// Sections of "[Name]" lines, each followed by "Key=value" lines. Reading accepts section and key
// names in any letter case, blanks around names and values, CR LF or LF line ends, a UTF-8 byte
// order mark, comment lines starting with ';' or '#'; lines that are none of these are skipped.
// Note: a key that occurs twice in a section reads with its first value, as the system profile
// functions do; writing keeps the order of SetValue calls and writes each key once.
class TIniDocument {
 public:
  struct TEntry {
    std::string Key;
    std::string Value;
  };
  struct TSection {
    std::string Name;
    std::vector<TEntry> Entries;
  };

  // Parses AText; never fails (what cannot be understood is skipped).
  static TIniDocument Parse(const std::string& AText);

  // The value of AKey in ASection (both compared without regard to ASCII letter case), trimmed.
  std::optional<std::string> Value(const std::string& ASection, const std::string& AKey) const;

  // Sets AKey in ASection, creating the section at the end and the key at the section's end
  // when missing; an existing key keeps its place and its first spelling.
  void SetValue(const std::string& ASection, const std::string& AKey, const std::string& AValue);

  // Removes every occurrence of AKey from ASection.
  void RemoveKey(const std::string& ASection, const std::string& AKey);

  // "[Name]" and "Key=value" lines ended by ALineEnd, one empty line between sections.
  std::string ToText(const std::string& ALineEnd = "\n") const;

  const std::vector<TSection>& Sections() const { return FSections; }

 private:
  TSection* FindSection(const std::string& AName);
  const TSection* FindSection(const std::string& AName) const;

  std::vector<TSection> FSections;
};

// True when A and B are equal without regard to ASCII letter case.
bool SameTextAscii(const std::string& A, const std::string& B);

}  // namespace lexmora
