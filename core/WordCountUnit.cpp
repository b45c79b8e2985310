// Word counting with ICU's rule-based word-break iterator, and without it for Latin-1 texts
// under the language-neutral rules.
#include "WordCountUnit.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/rbbi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <array>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "InternalTagParseUnit.h"

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

using enum TAsciiWordClass;

// The ASCII characters as the neutral rules class them. Note: the rules add '@' to the letters and
// take ':' out of the marks between letters; '"' joins Hebrew letters only, so here it is other.
constexpr std::array<TAsciiWordClass, 0x80> kAsciiClasses = [] {
  std::array<TAsciiWordClass, 0x80> Classes{};
  for (char C = 'A'; C <= 'Z'; ++C) Classes[C] = Classes[C - 'A' + 'a'] = awcLetter;
  for (char C = '0'; C <= '9'; ++C) Classes[C] = awcDigit;
  Classes['@'] = awcLetter;
  Classes['_'] = awcConnector;
  Classes['.'] = Classes['\''] = awcMidLetterOrDigit;
  Classes[','] = Classes[';'] = awcMidDigit;
  return Classes;
}();

// The Latin-1 characters: ASCII from the table above, the rest by their word-break property, which the
// neutral rules take as it is beyond ASCII. Nothing for a character the scan below cannot follow: the
// soft hyphen, a format character the rules skip over.
constexpr auto kNoClass = static_cast<TAsciiWordClass>(0xFF);

const std::array<TAsciiWordClass, 0x100>& Latin1Classes() {
  static const std::array<TAsciiWordClass, 0x100> Classes = [] {
    std::array<TAsciiWordClass, 0x100> Result{};
    for (char32_t Code = 0; Code < 0x80; ++Code) Result[Code] = kAsciiClasses[Code];
    for (char32_t Code = 0x80; Code < 0x100; ++Code)
      switch (u_getIntPropertyValue(static_cast<UChar32>(Code), UCHAR_WORD_BREAK)) {
        case U_WB_ALETTER:
          Result[Code] = awcLetter;
          break;
        case U_WB_NUMERIC:
          Result[Code] = awcDigit;
          break;
        case U_WB_EXTENDNUMLET:
          Result[Code] = awcConnector;
          break;
        case U_WB_MIDNUMLET:
        case U_WB_SINGLE_QUOTE:
          Result[Code] = awcMidLetterOrDigit;
          break;
        case U_WB_MIDNUM:
          Result[Code] = awcMidDigit;
          break;
        case U_WB_MIDLETTER:
          Result[Code] = awcMidLetter;
          break;
        case U_WB_OTHER:
        case U_WB_CR:
        case U_WB_LF:
        case U_WB_NEWLINE:
        case U_WB_WSEGSPACE:
          Result[Code] = awcOther;
          break;
        default:
          Result[Code] = kNoClass;
          break;
      }
    return Result;
  }();
  return Classes;
}

// The length and FNV-1a hash of the neutral rules' text that the class tables and ScanShortcutWords
// were checked against (ICU 72): other rules, a tailoring or another ICU's, are left to ICU.
constexpr int32_t kNeutralRulesLength = 2317;
constexpr std::uint64_t kNeutralRulesHash = 0x89bbc8b2b543729aULL;

bool FollowsNeutralRules(const icu::BreakIterator& AIt) {
  const auto* RuleBased = dynamic_cast<const icu::RuleBasedBreakIterator*>(&AIt);
  if (!RuleBased) return false;
  const icu::UnicodeString& Rules = RuleBased->getRules();
  if (Rules.length() != kNeutralRulesLength) return false;
  std::uint64_t Hash = 14695981039346656037ULL;
  for (int32_t I = 0; I < Rules.length(); ++I) Hash = (Hash ^ Rules.charAt(I)) * 1099511628211ULL;
  return Hash == kNeutralRulesHash;
}

bool IsWordPart(TAsciiWordClass AClass) { return AClass == awcLetter || AClass == awcDigit || AClass == awcConnector; }

// The words of AText by the neutral rules, reported to AOnWord with their first and one-past-last
// positions; false when AText holds a code point beyond Latin-1 or one the table has no class for. Letters, digits and
// '_' run together in any order; a single '.', '\'' or '·' joins two letters, and a single '.', '\'', ',' or ';' two
// digits; every other character stands alone and is no word. A run is a word once it holds a letter or a digit, or a
// second '_'.
template <class TOnWord>
bool ScanShortcutWords(std::u32string_view AText, TOnWord&& AOnWord) {
  const std::array<TAsciiWordClass, 0x100>& Classes = Latin1Classes();
  TAsciiWordClass BeforePrev = awcOther, Prev = awcOther;
  bool RunIsWord = false;
  std::size_t RunStart = 0, RunEnd = 0;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    // Note: words reported before a character the table cannot follow are the caller's to drop.
    if (AText[I] >= Classes.size() || Classes[AText[I]] == kNoClass) return false;
    const TAsciiWordClass Class = Classes[AText[I]];
    if (IsWordPart(Class)) {
      const bool Joins =
          IsWordPart(Prev) ||
          (BeforePrev == awcLetter && (Prev == awcMidLetterOrDigit || Prev == awcMidLetter) && Class == awcLetter) ||
          (BeforePrev == awcDigit && (Prev == awcMidLetterOrDigit || Prev == awcMidDigit) && Class == awcDigit);
      if (!Joins) {
        if (RunIsWord) AOnWord(RunStart, RunEnd);
        RunIsWord = false;
        RunStart = I;
      }
      RunEnd = I + 1;
      if (!RunIsWord && (Class != awcConnector || Prev == awcConnector)) RunIsWord = true;
    }
    BeforePrev = Prev;
    Prev = Class;
  }
  if (RunIsWord) AOnWord(RunStart, RunEnd);
  return true;
}

}  // namespace

TAsciiWordClass AsciiWordClass(char AChar) {
  const auto Code = static_cast<unsigned char>(AChar);
  return Code < kAsciiClasses.size() ? kAsciiClasses[Code] : awcOther;
}

struct TWordCounter::TImpl {
  struct TLanguage {
    std::unique_ptr<icu::BreakIterator> It;
    bool AsciiShortcut = false;  // decided once, when the iterator is made
  };
  const TAsciiShortcut Shortcut;
  // Break iterators by language code as given; creating one costs far more than a segment.
  std::unordered_map<std::string, TLanguage> Languages;
  // The text being counted; the iterator keeps an alias of it until the next text comes.
  icu::UnicodeString Text;

  explicit TImpl(TAsciiShortcut AShortcut) : Shortcut(AShortcut) {}

  TLanguage& LanguageFor(const std::string& ALangCode) {
    auto Found = Languages.find(ALangCode);
    if (Found != Languages.end()) return Found->second;
    UErrorCode Status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> It(icu::BreakIterator::createWordInstance(LocaleOf(ALangCode), Status));
    if (U_FAILURE(Status) || !It) {
      Status = U_ZERO_ERROR;
      It.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), Status));
    }
    if (U_FAILURE(Status) || !It)
      throw std::runtime_error(std::string("The word-break rules cannot be loaded: ") + u_errorName(Status));
    const bool AsciiShortcut = Shortcut == TAsciiShortcut::ascUse && FollowsNeutralRules(*It);
    return Languages.emplace(ALangCode, TLanguage{std::move(It), AsciiShortcut}).first->second;
  }
};

TWordCounter::TWordCounter(TAsciiShortcut AShortcut) : FImpl(std::make_unique<TImpl>(AShortcut)) {}
TWordCounter::~TWordCounter() = default;

TTextCount TWordCounter::Count(std::u32string_view APlainText, const std::string& ALangCode) {
  TTextCount Result;
  Result.Characters = static_cast<std::int64_t>(APlainText.size());
  if (APlainText.empty()) return Result;
  if (APlainText.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2))
    throw std::runtime_error("The text is too long to count its words");
  TImpl::TLanguage& Language = FImpl->LanguageFor(ALangCode);
  if (Language.AsciiShortcut)
    if (ScanShortcutWords(APlainText, [&](std::size_t, std::size_t) { ++Result.Words; })) return Result;
  Result.Words = 0;
  // Note: code points that are not Unicode scalar values become U+FFFD here, never an error.
  FImpl->Text = icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(APlainText.data()),
                                              static_cast<int32_t>(APlainText.size()));
  icu::BreakIterator& It = *Language.It;
  It.setText(FImpl->Text);
  It.first();
  // The status of a boundary describes the segment that ends there; "none" is blanks,
  // punctuation and symbols, everything above is letters, numbers, kana or ideographs.
  for (int32_t End = It.next(); End != icu::BreakIterator::DONE; End = It.next())
    if (It.getRuleStatus() >= UBRK_WORD_NONE_LIMIT) ++Result.Words;
  return Result;
}

void TWordCounter::Words(std::u32string_view APlainText, const std::string& ALangCode,
                         std::vector<std::u32string_view>& AWords) {
  AWords.clear();
  if (APlainText.empty()) return;
  if (APlainText.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2))
    throw std::runtime_error("The text is too long to count its words");
  TImpl::TLanguage& Language = FImpl->LanguageFor(ALangCode);
  const auto OnWord = [&](std::size_t AStart, std::size_t AEnd) {
    AWords.push_back(APlainText.substr(AStart, AEnd - AStart));
  };
  if (Language.AsciiShortcut && ScanShortcutWords(APlainText, OnWord)) return;
  AWords.clear();
  FImpl->Text = icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(APlainText.data()),
                                              static_cast<int32_t>(APlainText.size()));
  icu::BreakIterator& It = *Language.It;
  It.setText(FImpl->Text);
  // Boundaries are UTF-16 offsets: walk the text alongside to turn them into code-point positions.
  std::size_t Position = 0;
  int32_t Utf16 = 0;
  const auto PositionOf = [&](int32_t AUtf16) {
    for (; Utf16 < AUtf16; ++Position)
      Utf16 += APlainText[Position] > 0xFFFF && APlainText[Position] <= 0x10FFFF ? 2 : 1;
    return Position;
  };
  std::size_t Start = PositionOf(It.first());
  for (int32_t End = It.next(); End != icu::BreakIterator::DONE; End = It.next()) {
    const std::size_t EndPosition = PositionOf(End);
    if (It.getRuleStatus() >= UBRK_WORD_NONE_LIMIT) OnWord(Start, EndPosition);
    Start = EndPosition;
  }
}

bool TWordCounter::TakesAsciiShortcut(const std::string& ALangCode) {
  return FImpl->LanguageFor(ALangCode).AsciiShortcut;
}

std::u32string WithoutTagSymbols(std::u32string_view ASymbols, const TTagDict& ADict) {
  std::u32string Result;
  AssignWithoutTagSymbols(Result, ASymbols, ADict);
  return Result;
}

std::u32string TagFreeText(const std::string& AMarkup) {
  TTagDict Dict;
  TTagIDDict IDDict;
  return WithoutTagSymbols(ConvertTagsToSymbols(AMarkup, Dict, IDDict), Dict);
}

void AssignWithoutTagSymbols(std::u32string& AOut, std::u32string_view ASymbols, const TTagDict& ADict) {
  AOut.clear();
  for (const char32_t C : ASymbols) {
    if (C < LowestTagSymbol) {
      AOut.push_back(C);
      continue;
    }
    bool IsTag = false;
    for (const TTagDictRec& Rec : ADict)
      if (Rec.Symbol.size() == 1 && Rec.Symbol[0] == C) {
        IsTag = true;
        break;
      }
    if (!IsTag) AOut.push_back(C);
  }
}

}  // namespace lexmora
