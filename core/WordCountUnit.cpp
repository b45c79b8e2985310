// Word counting with ICU's rule-based word-break iterator.
#include "WordCountUnit.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/ubrk.h>
#include <unicode/unistr.h>

#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace lexmora {

namespace {

// The ICU locale of a language code as the inputs write it; unknown codes fall back to root.
icu::Locale LocaleOf(const std::string& ALangCode) {
  std::string Tag = ALangCode;
  for (char& C : Tag)
    if (C == '_') C = '-';
  UErrorCode Status = U_ZERO_ERROR;
  icu::Locale Result = icu::Locale::forLanguageTag(Tag, Status);
  if (U_FAILURE(Status) || Result.isBogus()) return icu::Locale::getRoot();
  return Result;
}

}  // namespace

struct TWordCounter::TImpl {
  // Break iterators by language code as given; creating one costs far more than a segment.
  std::unordered_map<std::string, std::unique_ptr<icu::BreakIterator>> Iterators;
  // The text being counted; the iterator keeps an alias of it until the next text comes.
  icu::UnicodeString Text;

  icu::BreakIterator& IteratorFor(const std::string& ALangCode) {
    auto Found = Iterators.find(ALangCode);
    if (Found != Iterators.end()) return *Found->second;
    UErrorCode Status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> It(icu::BreakIterator::createWordInstance(LocaleOf(ALangCode), Status));
    if (U_FAILURE(Status) || !It) {
      Status = U_ZERO_ERROR;
      It.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), Status));
    }
    if (U_FAILURE(Status) || !It)
      throw std::runtime_error(std::string("The word-break rules cannot be loaded: ") + u_errorName(Status));
    return *Iterators.emplace(ALangCode, std::move(It)).first->second;
  }
};

TWordCounter::TWordCounter() : FImpl(std::make_unique<TImpl>()) {}
TWordCounter::~TWordCounter() = default;

TTextCount TWordCounter::Count(std::u32string_view APlainText, const std::string& ALangCode) {
  TTextCount Result;
  Result.Characters = static_cast<std::int64_t>(APlainText.size());
  if (APlainText.empty()) return Result;
  if (APlainText.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2))
    throw std::runtime_error("The text is too long to count its words");
  // Note: code points that are not Unicode scalar values become U+FFFD here, never an error.
  FImpl->Text = icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(APlainText.data()),
                                              static_cast<int32_t>(APlainText.size()));
  icu::BreakIterator& It = FImpl->IteratorFor(ALangCode);
  It.setText(FImpl->Text);
  It.first();
  // The status of a boundary describes the segment that ends there; "none" is blanks,
  // punctuation and symbols, everything above is letters, numbers, kana or ideographs.
  for (int32_t End = It.next(); End != icu::BreakIterator::DONE; End = It.next())
    if (It.getRuleStatus() >= UBRK_WORD_NONE_LIMIT) ++Result.Words;
  return Result;
}

std::u32string WithoutTagSymbols(std::u32string_view ASymbols, const TTagDict& ADict) {
  std::u32string Result;
  Result.reserve(ASymbols.size());
  for (const char32_t C : ASymbols) {
    bool IsTag = false;
    for (const TTagDictRec& Rec : ADict)
      if (Rec.Symbol.size() == 1 && Rec.Symbol[0] == C) {
        IsTag = true;
        break;
      }
    if (!IsTag) Result.push_back(C);
  }
  return Result;
}

}  // namespace lexmora
