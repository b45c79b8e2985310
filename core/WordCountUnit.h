// Word and character counts of segment texts, in the units translation work is paid in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DataTypeUnit.h"

namespace lexmora {

// What one text holds.
struct TTextCount {
  std::int64_t Words = 0;
  std::int64_t Characters = 0;  // code points, white space included
};

// How the language-neutral word-break rules class a Latin-1 character, as far as counting goes:
// blanks, line ends, quotes, ':' and the rest never join a letter or a digit nor make a word.
enum class TAsciiWordClass : std::uint8_t {
  awcOther = 0,
  awcLetter = 1,            // A-Z a-z and '@'
  awcDigit = 2,             // 0-9
  awcConnector = 3,         // '_'
  awcMidLetterOrDigit = 4,  // '.' '\'' between two letters or two digits
  awcMidDigit = 5,          // ',' ';' between two digits
  awcMidLetter = 6          // beyond ASCII only: '·' between two letters
};

// The class of AChar (below 0x80) in the table that plain ASCII texts are counted by.
TAsciiWordClass AsciiWordClass(char AChar);

// Whether a counter may count texts of Latin-1 characters (but the soft hyphen) without ICU.
enum class TAsciiShortcut : std::uint8_t { ascUse = 0, ascNever = 1 };

// Counts words with the word-break rules of a language: a word is a break segment made of
// letters, numbers, kana or ideographs, so "Donaudampfschifffahrt" is one word and a Japanese
// sentence splits into its words although it has no blanks. Punctuation, blanks and symbols
// (emoji among them) are no words but count as characters.
// Note: the rules take '@' for a letter ("a@b.c" is one word, a lone '@' too) and make a word of
// two or more '_' alone but not of one.
// Note: keeps one break iterator per language; one counter per thread.
class TWordCounter {
 public:
  // Note: ascNever counts every text with ICU; the result is the same, only slower.
  explicit TWordCounter(TAsciiShortcut AShortcut = TAsciiShortcut::ascUse);
  ~TWordCounter();
  TWordCounter(const TWordCounter&) = delete;
  TWordCounter& operator=(const TWordCounter&) = delete;

  // Counts APlainText (tags already left out) by the rules of ALangCode ("de-DE", "ja",
  // "zh_Hans"...); a code the rules do not know is counted by the language-neutral rules.
  // Throws std::runtime_error when the break rules cannot be loaded at all.
  TTextCount Count(std::u32string_view APlainText, const std::string& ALangCode);

  // The words of APlainText as Count finds them, as views into APlainText, in order.
  // Throws as Count does.
  void Words(std::u32string_view APlainText, const std::string& ALangCode, std::vector<std::u32string_view>& AWords);

  // Whether Latin-1 texts of ALangCode are counted without ICU: only where the language's rules are
  // exactly the neutral ones the ASCII table was read from. Loads the rules as Count does.
  bool TakesAsciiShortcut(const std::string& ALangCode);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// ASymbols without the symbols of ADict, i.e. a symbol text with its tags left out.
// Note: the symbols of a text never occur in it as ordinary characters, so nothing else goes.
std::u32string WithoutTagSymbols(std::u32string_view ASymbols, const TTagDict& ADict);
// The same into AOut, replacing what it held (its storage kept for the next text).
void AssignWithoutTagSymbols(std::u32string& AOut, std::u32string_view ASymbols, const TTagDict& ADict);
// A text in internal markup with its tags left out.
std::u32string TagFreeText(const std::string& AMarkup);

}  // namespace lexmora
