// Character n-gram F-score of a segment, from per-order counts that add up over segments.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

// Character n-gram orders counted (1 to 6).
constexpr int kChrfOrders = 6;

// The n-gram counts of one segment or the sums over many.
struct TChrfStats {
  struct TOrder {
    std::int64_t Hypothesis = 0;  // n-grams of the translated text (0 when the edited text has none)
    std::int64_t Reference = 0;   // n-grams of the edited text
    std::int64_t Matches = 0;     // n-grams the two share, each as often as the rarer side has it
  };
  std::array<TOrder, kChrfOrders> Orders{};

  TChrfStats& operator+=(const TChrfStats& AOther);
};

// How the score is formed; the defaults are the common evaluation tools' defaults.
struct TChrfOptions {
  double Beta = 2;            // recall weighs Beta times as much as precision
  bool KeepSpace = false;     // count white space as characters
  bool EpsSmoothing = false;  // average the orders' F-scores, an empty order counting almost 0,
                              // rather than the F-score of the averages over the orders both sides have
};

// The score 0-100 of a segment's or many segments' summed statistics.
double ChrfScore(const TChrfStats& AStats, const TChrfOptions& AOptions = {});

// Counts character n-grams: characters are code points, case is kept, white space is left out
// unless the options keep it.
// Note: keeps its tables between segments; one object per thread.
class TChrfCounter {
 public:
  explicit TChrfCounter(const TChrfOptions& AOptions = {}) : FOptions(AOptions) {}
  // The statistics of one segment: ATranslated is the hypothesis, AEdited the reference.
  TChrfStats Measure(std::u32string_view ATranslated, std::u32string_view AEdited);
  // The same for two UTF-8 texts.
  TChrfStats MeasureUtf8(std::string_view ATranslated, std::string_view AEdited);

 private:
  // The dense id of an n-gram key (its (n-1)-gram's id and its last character), new ids counting up.
  std::uint32_t IdOf(std::uint64_t AKey);
  // Empties both tables at once by moving to a new stamp.
  void NextStamp();

  TChrfOptions FOptions;
  std::u32string FUtf8Hyp, FUtf8Ref;
  // The reference's counted characters followed by the hypothesis'.
  std::u32string FText;
  // Ids of the n-grams starting at each position of FText, order by order.
  std::vector<std::uint32_t> FIds;
  // Open-addressing table from n-gram key to id; a slot is taken when its stamp is the current one.
  // Note: the stamp moves on with every order, so neither table is ever cleared between segments.
  std::vector<std::uint64_t> FKeys;
  std::vector<std::uint32_t> FValues;
  std::vector<std::uint32_t> FStamps;
  std::uint32_t FStamp = 0;
  std::uint32_t FNextId = 0;
  std::vector<std::int32_t> FRefCounts;
  // Order-1 ids of the characters of FText.
  std::vector<std::uint32_t> FCharIds;
  // Ids of the n-grams by (n-1)-gram id and character id, where that table stays small.
  std::vector<std::uint32_t> FDirectIds, FDirectStamps;
};

}  // namespace lexmora
