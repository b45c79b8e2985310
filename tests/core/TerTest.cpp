#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "MetricTextUnit.h"
#include "TerUnit.h"
#include "Utf8Unit.h"

using namespace lexmora;

namespace {

// The rate of a corpus: segments' statistics summed, as the published figures are formed.
double CorpusTer(const std::vector<std::string>& AHyps, const std::vector<std::string>& ARefs) {
  TTerCalculator Ter;
  TTerStats Sum;
  for (std::size_t I = 0; I < AHyps.size(); ++I) Sum += Ter.MeasureUtf8(AHyps[I], ARefs[I]);
  return TerPercent(Sum);
}

struct TTerVector {
  const char* Name;
  std::vector<std::string> Hyps, Refs;
  double Percent;
};

// From sacrebleu's test/test_ter.py, checked to its EPSILON of 1e-3.
const TTerVector kPublished[] = {
    {"PerfectMatch", {"aaaa bbbb cccc dddd"}, {"aaaa bbbb cccc dddd"}, 0},
    {"NoOverlap", {"dddd eeee ffff"}, {"aaaa bbbb cccc"}, 100},
    {"EmptyHypothesis", {""}, {"a"}, 100},
    {"ASingleShiftFixesIt", {"d e f g h a b c"}, {"a b c d e f g h"}, 12.5},
    {"RealisticCorpus",
     {"wählen Sie \" Bild neu berechnen , \" um beim Ändern der Bildgröße Pixel hinzuzufügen oder zu entfernen , "
      "damit das Bild ungefähr dieselbe Größe aufweist wie die andere Größe .",
      "wenn Sie alle Aufgaben im aktuellen Dokument aktualisieren möchten , wählen Sie im Menü des "
      "Aufgabenbedienfelds die Option \" Alle Aufgaben aktualisieren . \"",
      "klicken Sie auf der Registerkarte \" Optionen \" auf die Schaltfläche \" Benutzerdefiniert \" und geben Sie "
      "Werte für \" Fehlerkorrektur-Level \" und \" Y / X-Verhältnis \" ein .",
      "Sie können beispielsweise ein Dokument erstellen , das ein Auto über die Bühne enthält .",
      "wählen Sie im Dialogfeld \" Neu aus Vorlage \" eine Vorlage aus und klicken Sie auf \" Neu . \""},
     {"wählen Sie \" Bild neu berechnen , \" um beim Ändern der Bildgröße Pixel hinzuzufügen oder zu entfernen , "
      "damit die Darstellung des Bildes in einer anderen Größe beibehalten wird .",
      "wenn Sie alle Aufgaben im aktuellen Dokument aktualisieren möchten , wählen Sie im Menü des "
      "Aufgabenbedienfelds die Option \" Alle Aufgaben aktualisieren . \"",
      "klicken Sie auf der Registerkarte \" Optionen \" auf die Schaltfläche \" Benutzerdefiniert \" und geben Sie "
      "für \" Fehlerkorrektur-Level \" und \" Y / X-Verhältnis \" niedrigere Werte ein .",
      "Sie können beispielsweise ein Dokument erstellen , das ein Auto enthalt , das sich über die Bühne bewegt .",
      "wählen Sie im Dialogfeld \" Neu aus Vorlage \" eine Vorlage aus und klicken Sie auf \" Neu . \""},
     13.6},
};

TEST(Ter, PublishedVectors) {
  for (const TTerVector& Row : kPublished) EXPECT_NEAR(CorpusTer(Row.Hyps, Row.Refs), Row.Percent, 1e-3) << Row.Name;
}

TEST(Ter, CaseAndWhiteSpaceFollowTheReferenceTools) {
  TTerCalculator Ter;
  const auto Edits = [&](std::u32string_view AHyp, std::u32string_view ARef) { return Ter.Measure(AHyp, ARef).Edits; };
  EXPECT_EQ(Edits(U"Hello World", U"hello  world"), 0);
  // The full mapping: a dotted capital I lower-cases to i and a combining dot.
  EXPECT_EQ(Edits(U"\u0130stanbul", U"i\u0307stanbul"), 0);
  // A capital sigma at the end of a word becomes the final form.
  EXPECT_EQ(Edits(U"ΟΔΟΣ", U"οδος"), 0);
  EXPECT_EQ(Edits(U"ΟΔΟΣ", U"οδοσ"), 1);
  // Ideographic space, no-break space and U+001C separate words; a zero-width space does not.
  EXPECT_EQ(Ter.Measure(U"a\u3000b\u00A0c\u001Cd", U"a b c d").Edits, 0);
  EXPECT_EQ(Ter.Measure(U"a\u200Bb", U"a b"), (TTerStats{2, 2}));
  // Punctuation stays part of its word.
  EXPECT_EQ(Edits(U"end.", U"end ."), 2);
}

TEST(Ter, EmptyTexts) {
  TTerCalculator Ter;
  EXPECT_EQ(Ter.Measure(U"a b c", U""), (TTerStats{3, 0}));
  EXPECT_EQ(Ter.Measure(U"", U" "), (TTerStats{0, 0}));
  EXPECT_EQ(Ter.Measure(U"", U"x y"), (TTerStats{2, 2}));
  EXPECT_DOUBLE_EQ(TerPercent({3, 0}), 100);
  EXPECT_DOUBLE_EQ(TerPercent({0, 0}), 0);
  EXPECT_DOUBLE_EQ(TerPercent({1, 8}), 12.5);
}

TEST(Ter, SwappingABlockCostsOneShift) {
  TTerCalculator Ter;
  EXPECT_EQ(Ter.Measure(U"five six seven one two three four", U"one two three four five six seven").Edits, 1);
  EXPECT_EQ(Ter.Measure(U"x b c d a", U"x a b c d").Edits, 1);
  // Two blocks out of place: two shifts.
  EXPECT_EQ(Ter.Measure(U"c d a b g h e f", U"a b c d e f g h").Edits, 2);
}

int Levenshtein(const std::vector<int>& A, const std::vector<int>& B) {
  std::vector<int> Row(B.size() + 1);
  for (std::size_t J = 0; J <= B.size(); ++J) Row[J] = static_cast<int>(J);
  for (std::size_t I = 1; I <= A.size(); ++I) {
    int Diagonal = Row[0];
    Row[0] = static_cast<int>(I);
    for (std::size_t J = 1; J <= B.size(); ++J) {
      const int Next = std::min({Row[J] + 1, Row[J - 1] + 1, Diagonal + (A[I - 1] == B[J - 1] ? 0 : 1)});
      Diagonal = Row[J];
      Row[J] = Next;
    }
  }
  return Row[B.size()];
}

int BagDistance(const std::vector<int>& A, const std::vector<int>& B) {
  std::map<int, int> Balance;
  for (const int W : A) ++Balance[W];
  for (const int W : B) --Balance[W];
  int Surplus = 0, Missing = 0;
  for (const auto& [Word, Count] : Balance) (Count > 0 ? Surplus : Missing) += std::abs(Count);
  return std::max(Surplus, Missing);
}

// Shifts are taken only when they pay, so the rate never exceeds the plain word edit distance (the
// beam spans the whole matrix at these lengths), and identical texts cost nothing.
TEST(Ter, NeverAboveTheWordLevenshteinDistance) {
  std::mt19937 Random(7);
  TTerCalculator Ter;
  for (int Round = 0; Round < 2000; ++Round) {
    std::vector<int> Hyp(Random() % 24), Ref(Random() % 24);
    const int Vocabulary = 2 + static_cast<int>(Random() % 6);
    for (int& W : Hyp) W = static_cast<int>(Random() % Vocabulary);
    for (int& W : Ref) W = static_cast<int>(Random() % Vocabulary);
    const TTerStats Stats = Ter.MeasureWords(Hyp, Ref);
    ASSERT_EQ(Stats.ReferenceWords, static_cast<std::int64_t>(Ref.size()));
    if (!Ref.empty()) {
      const int Plain = Levenshtein(Hyp, Ref);
      ASSERT_LE(Stats.Edits, Plain) << Round;
      // Where no reordering can come closer (the distance is just the surplus or missing words),
      // the rate is the plain distance.
      if (Plain == BagDistance(Hyp, Ref)) {
        ASSERT_EQ(Stats.Edits, Plain) << Round;
      }
    }
    ASSERT_GE(Stats.Edits, std::abs(static_cast<int>(Hyp.size()) - static_cast<int>(Ref.size())));
    ASSERT_EQ(Ter.MeasureWords(Ref, Ref).Edits, 0);
  }
}

// The rate by its definition, without the calculator's shortcuts (no skipped rounds, no reused rows,
// no bit vectors): every distance from scratch over the whole beam-limited matrix.
int PlainBeamDistance(const std::vector<int>& H, const std::vector<int>& R, std::vector<char>* ATrace) {
  constexpr int kInf = 1 << 29;
  const int Nh = static_cast<int>(H.size()), Nr = static_cast<int>(R.size());
  const double Ratio = Nh > 0 ? static_cast<double>(Nr) / Nh : 1.0;
  const int Beam = 25 < Ratio / 2 ? static_cast<int>(std::ceil(Ratio / 2 + 25)) : 25;
  std::vector<std::vector<int>> D(Nh + 1, std::vector<int>(Nr + 1, kInf));
  std::vector<std::vector<char>> Op(Nh + 1, std::vector<char>(Nr + 1, 'x'));
  for (int J = 0; J <= Nr; ++J) D[0][J] = J, Op[0][J] = 'i';
  for (int I = 1; I <= Nh; ++I) {
    const int Diagonal = static_cast<int>(std::floor(I * Ratio));
    const int Hi = I == Nh ? Nr + 1 : std::min(Nr + 1, Diagonal + Beam);
    for (int J = std::max(0, Diagonal - Beam); J < Hi; ++J) {
      const auto Try = [&](int ACost, char AOp) {
        if (ACost < D[I][J]) D[I][J] = ACost, Op[I][J] = AOp;
      };
      if (J == 0) {
        Try(D[I - 1][0] + 1, 'd');
        continue;
      }
      Try(D[I - 1][J - 1] + (H[I - 1] == R[J - 1] ? 0 : 1), H[I - 1] == R[J - 1] ? ' ' : 's');
      Try(D[I - 1][J] + 1, 'd');
      Try(D[I][J - 1] + 1, 'i');
    }
  }
  if (ATrace) {
    ATrace->clear();
    for (int I = Nh, J = Nr; I > 0 || J > 0;) {
      const char O = Op[I][J];
      ATrace->insert(ATrace->begin(), O);
      I -= O != 'i';
      J -= O != 'd';
    }
  }
  return D[Nh][Nr];
}

std::vector<int> Slice(const std::vector<int>& A, int AFrom, int ATo) {
  AFrom = std::clamp(AFrom, 0, static_cast<int>(A.size()));
  ATo = std::clamp(ATo, 0, static_cast<int>(A.size()));
  return AFrom < ATo ? std::vector<int>(A.begin() + AFrom, A.begin() + ATo) : std::vector<int>();
}

std::vector<int> Shifted(const std::vector<int>& A, int AStart, int ALength, int ATarget) {
  const int N = static_cast<int>(A.size());
  std::vector<std::vector<int>> Parts;
  if (ATarget < AStart)
    Parts = {Slice(A, 0, ATarget), Slice(A, AStart, AStart + ALength), Slice(A, ATarget, AStart),
             Slice(A, AStart + ALength, N)};
  else if (ATarget > AStart + ALength)
    Parts = {Slice(A, 0, AStart), Slice(A, AStart + ALength, ATarget), Slice(A, AStart, AStart + ALength),
             Slice(A, ATarget, N)};
  else
    Parts = {Slice(A, 0, AStart), Slice(A, AStart + ALength, ALength + ATarget), Slice(A, AStart, AStart + ALength),
             Slice(A, ALength + ATarget, N)};
  std::vector<int> Result;
  for (const std::vector<int>& Part : Parts) Result.insert(Result.end(), Part.begin(), Part.end());
  return Result;
}

TTerStats PlainTer(std::vector<int> H, const std::vector<int>& R) {
  const int Nr = static_cast<int>(R.size());
  if (R.empty()) return {static_cast<std::int64_t>(H.size()), 0};
  int Shifts = 0, Checked = 0;
  while (true) {
    std::vector<char> Trace;
    const int Before = PlainBeamDistance(H, R, &Trace);
    std::vector<int> Align(Nr), HypErr, RefErr;
    int PosH = -1, PosR = -1;
    for (const char O : Trace) {
      if (O != 'i') HypErr.push_back(O != ' '), ++PosH;
      if (O != 'd') RefErr.push_back(O != ' '), Align[++PosR] = PosH;
    }
    const auto Sum = [](const std::vector<int>& V, int AFrom, int ALength) {
      return std::accumulate(V.begin() + AFrom, V.begin() + AFrom + ALength, 0);
    };
    bool Found = false, Limit = false;
    std::tuple<int, int, int, int> Best;
    std::vector<int> BestWords;
    const int Nh = static_cast<int>(H.size());
    for (int Sh = 0; Sh < Nh && !Limit; ++Sh)
      for (int Sr = 0; Sr < Nr && !Limit; ++Sr) {
        if (std::abs(Sr - Sh) > 50) continue;
        for (int Len = 1; Len <= 10 && H[Sh + Len - 1] == R[Sr + Len - 1] && !Limit; ++Len) {
          if (Sum(HypErr, Sh, Len) > 0 && Sum(RefErr, Sr, Len) > 0 && !(Sh <= Align[Sr] && Align[Sr] < Sh + Len)) {
            for (int Offset = -1, Prev = -1; Offset < Len; ++Offset) {
              const int Idx = Sr + Offset == -1 ? 0 : Align[Sr + Offset] + 1;
              if (Idx == Prev) continue;
              Prev = Idx;
              const std::vector<int> Words = Shifted(H, Sh, Len, Idx);
              const auto Candidate = std::make_tuple(Before - PlainBeamDistance(Words, R, nullptr), Len, -Sh, -Idx);
              ++Checked;
              if (!Found || Candidate > Best) Found = true, Best = Candidate, BestWords = Words;
            }
            Limit = Checked >= 1000;
          }
          if (Sh + Len == Nh || Sr + Len == Nr) break;
        }
      }
    if (Limit || !Found || std::get<0>(Best) <= 0) break;
    ++Shifts;
    H = BestWords;
  }
  return {Shifts + PlainBeamDistance(H, R, nullptr), Nr};
}

TEST(Ter, SameAsThePlainDefinition) {
  std::mt19937 Random(5);
  TTerCalculator Ter;
  // Short and long texts (the beam limits rows beyond 25 words), texts of very different lengths
  // (a wider beam), and few words repeated often (the candidate limit).
  for (int Round = 0; Round < 300; ++Round) {
    const int MaxLength = Round % 3 == 0 ? 60 : 20;
    std::vector<int> Hyp(Random() % MaxLength), Ref(Random() % MaxLength);
    if (Round % 25 == 0) Hyp.resize(Random() % 3), Ref.resize(55 + Random() % 10);
    const int Vocabulary = 2 + static_cast<int>(Random() % 10);
    for (int& W : Hyp) W = static_cast<int>(Random() % Vocabulary);
    for (int& W : Ref) W = static_cast<int>(Random() % Vocabulary);
    ASSERT_EQ(Ter.MeasureWords(Hyp, Ref), PlainTer(Hyp, Ref)) << Round;
  }
  // 30 words missing in front: the path the plain distance takes leaves the beam, so the figure is
  // above the 30 insertions, as the published one is.
  std::vector<int> Hyp(60), Ref(30);
  std::iota(Hyp.begin(), Hyp.end(), 0);
  std::iota(Ref.begin(), Ref.end(), 100);
  Ref.insert(Ref.end(), Hyp.begin(), Hyp.end());
  const TTerStats Offset = Ter.MeasureWords(Hyp, Ref);
  EXPECT_GT(Offset.Edits, 30);
  EXPECT_EQ(Offset, PlainTer(Hyp, Ref));
}

TEST(Ter, LongRepetitiveSegmentsStayBounded) {
  // Thousands of matching blocks: the search gives up after its candidate limit and still returns
  // a figure no worse than the plain distance.
  std::vector<int> Hyp, Ref;
  for (int I = 0; I < 400; ++I) {
    Hyp.push_back(I % 3);
    Ref.push_back((I * 7) % 4);
  }
  TTerCalculator Ter;
  EXPECT_LE(Ter.MeasureWords(Hyp, Ref).Edits, Levenshtein(Hyp, Ref));
}

TEST(MetricText, SplitAndLower) {
  TWordIds Ids;
  std::vector<int> Words;
  Ids.AppendSpaceSeparated(U"  one\ttwo\n\u2028three one", Words);
  EXPECT_EQ(Words, (std::vector<int>{0, 1, 2, 0}));
  Ids.AppendSpaceSeparated(U" \u3000 ", Words);
  EXPECT_EQ(Words.size(), 4u);
  Ids.AppendSpaceSeparated(U"two", Words);
  EXPECT_EQ(Words.back(), 1);
  Ids.Clear();
  Words.clear();
  Ids.AppendSpaceSeparated(U"two", Words);
  EXPECT_EQ(Words, std::vector<int>{0});
  std::u32string Lower;
  LowerFull(U"ÀB\U00010400", Lower);
  EXPECT_EQ(Lower, U"àb\U00010428");
  // The Latin-1 table against ICU's whole-text mapping, which a character beyond Latin-1 brings in.
  std::u32string ThroughIcu;
  for (char32_t C = 0; C < 0x100; ++C) {
    LowerFull(std::u32string(1, C), Lower);
    LowerFull(std::u32string{U'\u0100', C}, ThroughIcu);
    EXPECT_EQ(U"\u0101" + Lower, ThroughIcu) << static_cast<int>(C);
  }
  // The white space of Python's str.split, by its definition, over the planes that hold any.
  for (char32_t C = 0; C < 0x3100; ++C) {
    const auto Code = static_cast<UChar32>(C);
    const UCharDirection Direction = u_charDirection(Code);
    const bool Expected = u_charType(Code) == U_SPACE_SEPARATOR || Direction == U_WHITE_SPACE_NEUTRAL ||
                          Direction == U_BLOCK_SEPARATOR || Direction == U_SEGMENT_SEPARATOR;
    ASSERT_EQ(IsMetricSpace(C), Expected) << static_cast<int>(C);
  }
  EXPECT_FALSE(IsMetricSpace(U'\uFEFF'));
  EXPECT_TRUE(IsMetricSpace(U'\u0085'));
}

}  // namespace
