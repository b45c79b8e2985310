// Word and character counts of segment texts, in the units translation work is paid in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "DataTypeUnit.h"

namespace lexmora {

// What one text holds.
struct TTextCount {
  std::int64_t Words = 0;
  std::int64_t Characters = 0;  // code points, white space included
};

// Counts words with the word-break rules of a language: a word is a break segment made of
// letters, numbers, kana or ideographs, so "Donaudampfschifffahrt" is one word and a Japanese
// sentence splits into its words although it has no blanks. Punctuation, blanks and symbols
// (emoji among them) are no words but count as characters.
// Note: keeps one break iterator per language; one counter per thread.
class TWordCounter {
 public:
  TWordCounter();
  ~TWordCounter();
  TWordCounter(const TWordCounter&) = delete;
  TWordCounter& operator=(const TWordCounter&) = delete;

  // Counts APlainText (tags already left out) by the rules of ALangCode ("de-DE", "ja",
  // "zh_Hans"...); a code the rules do not know is counted by the language-neutral rules.
  // Throws std::runtime_error when the break rules cannot be loaded at all.
  TTextCount Count(std::u32string_view APlainText, const std::string& ALangCode);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// ASymbols without the symbols of ADict, i.e. a symbol text with its tags left out.
// Note: the symbols of a text never occur in it as ordinary characters, so nothing else goes.
std::u32string WithoutTagSymbols(std::u32string_view ASymbols, const TTagDict& ADict);

}  // namespace lexmora
