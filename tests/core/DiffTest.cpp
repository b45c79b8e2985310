#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Diff.h"
#include "Utf8Unit.h"

using namespace lexmora;

namespace {

// Renders a script as "=a -b +c ~d>e" (kept, deleted, inserted, modified).
std::string Render(const TDiff& ADiff) {
  std::string Out;
  for (const TCompareRec& R : ADiff.CompareList()) {
    if (!Out.empty()) Out += ' ';
    switch (R.Kind) {
      case TChangeKind::ckNone:
        Out += '=';
        AppendUtf8(Out, R.chr1);
        break;
      case TChangeKind::ckAdd:
        Out += '+';
        AppendUtf8(Out, R.chr2);
        break;
      case TChangeKind::ckDelete:
        Out += '-';
        AppendUtf8(Out, R.chr1);
        break;
      case TChangeKind::ckModify:
        Out += '~';
        AppendUtf8(Out, R.chr1);
        Out += '>';
        AppendUtf8(Out, R.chr2);
        break;
    }
  }
  return Out;
}

std::string RunChars(TDiff& ADiff, const std::string& A, const std::string& B) {
  const std::u32string A32 = Utf8ToU32(A);
  const std::u32string B32 = Utf8ToU32(B);
  EXPECT_TRUE(ADiff.Execute(A32, B32));
  return Render(ADiff);
}

// Longest common subsequence length by the plain quadratic table.
template <class T>
int LcsLength(const std::vector<T>& A, const std::vector<T>& B) {
  std::vector<int> Prev(B.size() + 1, 0);
  std::vector<int> Cur(B.size() + 1, 0);
  for (std::size_t I = 1; I <= A.size(); ++I) {
    for (std::size_t J = 1; J <= B.size(); ++J)
      Cur[J] = A[I - 1] == B[J - 1] ? Prev[J - 1] + 1 : std::max(Prev[J], Cur[J - 1]);
    std::swap(Prev, Cur);
  }
  return Prev[B.size()];
}

// Checks everything a script must satisfy for any input; returns the number of kept steps.
template <class T>
int CheckScript(const TDiff& ADiff, const std::vector<T>& A, const std::vector<T>& B, bool AChars) {
  auto First = [&](const TCompareRec& R) { return AChars ? static_cast<long long>(R.chr1) : R.int1; };
  auto Second = [&](const TCompareRec& R) { return AChars ? static_cast<long long>(R.chr2) : R.int2; };
  int NextA = 0;
  int NextB = 0;
  TDiffStats Counted;
  for (const TCompareRec& R : ADiff.CompareList()) {
    const bool UsesA = R.Kind != TChangeKind::ckAdd;
    const bool UsesB = R.Kind != TChangeKind::ckDelete;
    if (UsesA) {
      EXPECT_EQ(R.oldIndex1, NextA);
      EXPECT_EQ(First(R), static_cast<long long>(A.at(static_cast<std::size_t>(NextA))));
      ++NextA;
    } else {
      EXPECT_EQ(First(R), 0);
      EXPECT_LE(R.oldIndex1, NextA - 1);
      EXPECT_GE(R.oldIndex1, -1);
    }
    if (UsesB) {
      EXPECT_EQ(R.oldIndex2, NextB);
      EXPECT_EQ(Second(R), static_cast<long long>(B.at(static_cast<std::size_t>(NextB))));
      ++NextB;
    } else {
      EXPECT_EQ(Second(R), 0);
      EXPECT_LE(R.oldIndex2, NextB - 1);
      EXPECT_GE(R.oldIndex2, -1);
    }
    switch (R.Kind) {
      case TChangeKind::ckNone:
        EXPECT_EQ(First(R), Second(R));
        ++Counted.matches;
        break;
      case TChangeKind::ckAdd:
        ++Counted.adds;
        break;
      case TChangeKind::ckDelete:
        ++Counted.deletes;
        break;
      case TChangeKind::ckModify:
        // A minimal script never replaces an element by an equal one.
        EXPECT_NE(First(R), Second(R));
        ++Counted.modifies;
        break;
    }
  }
  EXPECT_EQ(NextA, static_cast<int>(A.size()));
  EXPECT_EQ(NextB, static_cast<int>(B.size()));
  const TDiffStats S = ADiff.DiffStats();
  EXPECT_EQ(S.matches, Counted.matches);
  EXPECT_EQ(S.adds, Counted.adds);
  EXPECT_EQ(S.deletes, Counted.deletes);
  EXPECT_EQ(S.modifies, Counted.modifies);
  EXPECT_EQ(ADiff.Count(), S.matches + S.adds + S.deletes + S.modifies);
  return Counted.matches;
}

struct TScriptRow {
  const char* Name;
  const char* A;
  const char* B;
  const char* Script;
};

const TScriptRow kWorkedResults[] = {
    {"LastCharModified", "abc", "abd", "=a =b ~c>d"},
    {"Swap", "ab", "ba", "-a =b +a"},
    {"KittenSitting", "kitten", "sitting", "~k>s =i =t =t ~e>i =n +g"},
    {"AllDifferent", "abc", "xyz", "~a>x ~b>y ~c>z"},
    {"FirstEmpty", "", "abc", "+a +b +c"},
    {"SecondEmpty", "abc", "", "-a -b -c"},
    {"BothEmpty", "", "", ""},
    {"Equal", "abcd", "abcd", "=a =b =c =d"},
    {"RunShortenedDeletesFirst", "aaa", "aa", "-a =a =a"},
    {"RunLengthenedInsertsFirst", "aa", "aaa", "+a =a =a"},
    {"TwoForTwo", "xy", "ab", "~x>a ~y>b"},
    {"DeletionRunLonger", "xyz", "ab", "~x>a ~y>b -z"},
    {"InsertionRunLonger", "ab", "xyz", "~a>x ~b>y +z"},
    {"ChangeInMiddle", "the cat sat", "the dog sat", "=t =h =e =  ~c>d ~a>o ~t>g =  =s =a =t"},
    {"OnlyInsertionInMiddle", "ac", "abc", "=a +b =c"},
    {"OnlyDeletionInMiddle", "abc", "ac", "=a -b =c"},
    // A character outside the BMP is one element, never two halves.
    {"AstralCharModified",
     "a\xF0\x9F\x98\x80"
     "b",
     "a\xF0\x9F\x98\x81"
     "b",
     "=a ~\xF0\x9F\x98\x80>\xF0\x9F\x98\x81 =b"},
    {"AstralCharInserted", "ab",
     "a\xF0\x9F\x98\x80"
     "b",
     "=a +\xF0\x9F\x98\x80 =b"},
};

}  // namespace

TEST(Diff, WorkedResults) {
  TDiff Diff;
  for (const auto& Row : kWorkedResults) {
    SCOPED_TRACE(Row.Name);
    EXPECT_EQ(RunChars(Diff, Row.A, Row.B), Row.Script);
    const std::u32string A = Utf8ToU32(Row.A);
    const std::u32string B = Utf8ToU32(Row.B);
    CheckScript(Diff, std::vector<char32_t>(A.begin(), A.end()), std::vector<char32_t>(B.begin(), B.end()), true);
  }
}

TEST(Diff, IndexesOfKittenSitting) {
  TDiff Diff;
  RunChars(Diff, "kitten", "sitting");
  const std::vector<std::pair<int, int>> Expected = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {5, 6}};
  ASSERT_EQ(Diff.Count(), static_cast<int>(Expected.size()));
  for (int I = 0; I < Diff.Count(); ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(Diff.Compares(I).oldIndex1, Expected[static_cast<std::size_t>(I)].first);
    EXPECT_EQ(Diff.Compares(I).oldIndex2, Expected[static_cast<std::size_t>(I)].second);
  }
  const TDiffStats S = Diff.DiffStats();
  EXPECT_EQ(S.matches, 4);
  EXPECT_EQ(S.adds, 1);
  EXPECT_EQ(S.deletes, 0);
  EXPECT_EQ(S.modifies, 2);
}

TEST(Diff, DeletionPairedLaterKeepsItsSecondIndex) {
  TDiff Diff;
  RunChars(Diff, "xyz", "ab");
  ASSERT_EQ(Diff.Count(), 3);
  EXPECT_EQ(Diff.Compares(0).oldIndex2, 0);
  EXPECT_EQ(Diff.Compares(1).oldIndex2, 1);
  const TCompareRec Z = Diff.Compares(2);
  EXPECT_EQ(Z.Kind, TChangeKind::ckDelete);
  EXPECT_EQ(Z.oldIndex1, 2);
  EXPECT_EQ(Z.oldIndex2, -1);
  EXPECT_EQ(Z.chr2, 0u);
}

TEST(Diff, EmptySideGivesOnlyInsertionsOrDeletionsWithMinusOne) {
  TDiff Diff;
  RunChars(Diff, "", "abc");
  ASSERT_EQ(Diff.Count(), 3);
  for (int I = 0; I < 3; ++I) {
    EXPECT_EQ(Diff.Compares(I).Kind, TChangeKind::ckAdd);
    EXPECT_EQ(Diff.Compares(I).oldIndex1, -1);
    EXPECT_EQ(Diff.Compares(I).oldIndex2, I);
    EXPECT_EQ(Diff.Compares(I).chr1, 0u);
  }
  RunChars(Diff, "abc", "");
  ASSERT_EQ(Diff.Count(), 3);
  for (int I = 0; I < 3; ++I) {
    EXPECT_EQ(Diff.Compares(I).Kind, TChangeKind::ckDelete);
    EXPECT_EQ(Diff.Compares(I).oldIndex1, I);
    EXPECT_EQ(Diff.Compares(I).oldIndex2, -1);
  }
}

TEST(Diff, EqualSequencesGiveOnlyMatches) {
  TDiff Diff;
  const std::u32string A(37, U'q');
  ASSERT_TRUE(Diff.Execute(A, A));
  const TDiffStats S = Diff.DiffStats();
  EXPECT_EQ(S.matches, 37);
  EXPECT_EQ(S.adds + S.deletes + S.modifies, 0);
  EXPECT_EQ(Diff.Count(), 37);
}

TEST(Diff, IntegerVariantMatchesCharacterVariant) {
  TDiff Diff;
  const std::vector<int> A = {7, -1, 2147483647, 5, 9};
  const std::vector<int> B = {7, 2147483647, -2147483647 - 1, 9, 9};
  ASSERT_TRUE(Diff.Execute(A.data(), B.data(), static_cast<int>(A.size()), static_cast<int>(B.size())));
  EXPECT_EQ(CheckScript(Diff, A, B, false), LcsLength(A, B));
  const TCompareRec Last = Diff.Compares(Diff.Count() - 1);
  EXPECT_EQ(Last.Kind, TChangeKind::ckNone);
  EXPECT_EQ(Last.int1, 9);
  EXPECT_EQ(Last.int2, 9);
}

TEST(Diff, NewExecuteAndClearDiscardThePreviousScript) {
  TDiff Diff;
  RunChars(Diff, "kitten", "sitting");
  EXPECT_EQ(RunChars(Diff, "ab", "ab"), "=a =b");
  Diff.Clear();
  EXPECT_EQ(Diff.Count(), 0);
  const TDiffStats S = Diff.DiffStats();
  EXPECT_EQ(S.matches + S.adds + S.deletes + S.modifies, 0);
  EXPECT_THROW(Diff.GetCompare(0), std::out_of_range);
  EXPECT_THROW(Diff.GetCompare(-1), std::out_of_range);
}

TEST(Diff, RecordsAreCopiesOfTheElements) {
  TDiff Diff;
  std::u32string A = U"abc";
  std::u32string B = U"abd";
  ASSERT_TRUE(Diff.Execute(A, B));
  A.assign(3, U'z');
  B.assign(3, U'z');
  EXPECT_EQ(Render(Diff), "=a =b ~c>d");
}

// Minimality, order and counts over many random short pairs on small alphabets,
// where ties between minimal scripts are frequent.
TEST(Diff, RandomPairsGiveMinimalOrderedScripts) {
  std::mt19937 Rng(20261209);
  TDiff Diff;
  for (int Round = 0; Round < 4000; ++Round) {
    const int Alphabet = 2 + Round % 3;
    std::uniform_int_distribution<int> Len(0, 14);
    std::uniform_int_distribution<int> Letter(0, Alphabet - 1);
    std::vector<char32_t> A(static_cast<std::size_t>(Len(Rng)));
    std::vector<char32_t> B(static_cast<std::size_t>(Len(Rng)));
    for (auto& C : A) C = static_cast<char32_t>(U'a' + Letter(Rng));
    for (auto& C : B) C = static_cast<char32_t>(U'a' + Letter(Rng));
    ASSERT_TRUE(Diff.Execute(A.data(), B.data(), static_cast<int>(A.size()), static_cast<int>(B.size())));
    const int Kept = CheckScript(Diff, A, B, true);
    ASSERT_EQ(Kept, LcsLength(A, B)) << "pair " << U32ToUtf8(std::u32string(A.begin(), A.end())) << " / "
                                     << U32ToUtf8(std::u32string(B.begin(), B.end()));
    if (HasFailure()) break;
  }
}

TEST(Diff, RandomLongerIntegerPairsAreMinimal) {
  std::mt19937 Rng(7);
  TDiff Diff;
  for (int Round = 0; Round < 200; ++Round) {
    std::uniform_int_distribution<int> Len(0, 300);
    std::uniform_int_distribution<int> Value(-2, 3);
    std::vector<int> A(static_cast<std::size_t>(Len(Rng)));
    for (auto& V : A) V = Value(Rng);
    // B is A with a few random edits, so long snakes and many ties occur.
    std::vector<int> B = A;
    std::uniform_int_distribution<int> Edits(0, 12);
    for (int E = Edits(Rng); E > 0; --E) {
      const std::size_t Pos = B.empty() ? 0 : static_cast<std::size_t>(Rng() % (B.size() + 1));
      switch (Rng() % 3) {
        case 0:
          B.insert(B.begin() + static_cast<std::ptrdiff_t>(Pos), Value(Rng));
          break;
        case 1:
          if (Pos < B.size()) B.erase(B.begin() + static_cast<std::ptrdiff_t>(Pos));
          break;
        default:
          if (Pos < B.size()) B[Pos] = Value(Rng);
      }
    }
    ASSERT_TRUE(Diff.Execute(A.data(), B.data(), static_cast<int>(A.size()), static_cast<int>(B.size())));
    ASSERT_EQ(CheckScript(Diff, A, B, false), LcsLength(A, B)) << "round " << Round;
    if (HasFailure()) break;
  }
}

TEST(Diff, CancelFromYieldPointClearsTheScript) {
  TDiff Diff;
  Diff.SetYieldHook([&] { Diff.Cancel(); });
  const std::u32string A = U"abcdefgh";
  const std::u32string B = U"abXdeYgh";
  EXPECT_FALSE(Diff.Execute(A, B));
  EXPECT_TRUE(Diff.Cancelled());
  EXPECT_EQ(Diff.Count(), 0);
  EXPECT_EQ(Diff.DiffStats().matches, 0);
}

TEST(Diff, CancelFromAnotherThreadStopsARunningExecute) {
  TDiff Diff;
  std::atomic<bool> Started{false};
  Diff.SetYieldHook([&] {
    Started = true;
    // Hold the run at its first yield point until the other thread has cancelled.
    const auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Diff.Cancelled() && std::chrono::steady_clock::now() < Until) std::this_thread::yield();
  });
  std::thread Canceller([&] {
    while (!Started) std::this_thread::yield();
    Diff.Cancel();
  });
  std::u32string A(500, U'a');
  std::u32string B(500, U'b');
  const bool Ok = Diff.Execute(A, B);
  Canceller.join();
  EXPECT_FALSE(Ok);
  EXPECT_EQ(Diff.Count(), 0);
}

TEST(Diff, CancelBeforeExecuteHasNoEffect) {
  TDiff Diff;
  Diff.Cancel();
  EXPECT_EQ(RunChars(Diff, "abc", "abd"), "=a =b ~c>d");
  EXPECT_FALSE(Diff.Cancelled());
}

TEST(Diff, ExecuteFromInsideARunningExecuteIsRefused) {
  TDiff Diff;
  int Nested = 0;
  int Refused = 0;
  Diff.SetYieldHook([&] {
    ++Nested;
    const std::u32string X = U"xy";
    if (!Diff.Execute(X, X)) ++Refused;
    Diff.Clear();  // ignored while running
  });
  EXPECT_EQ(RunChars(Diff, "kitten", "sitting"), "~k>s =i =t =t ~e>i =n +g");
  EXPECT_GT(Nested, 0);
  EXPECT_EQ(Refused, Nested);
}

TEST(Diff, PartBeyondTheDiagonalLimitRaisesAndLeavesTheEngineUsable) {
  TDiff Diff(3);
  const std::u32string A = U"abcdef";
  const std::u32string B = U"uvwxyz";
  try {
    Diff.Execute(A, B);
    FAIL() << "no exception";
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "oops - error in RecursiveDiffChr()");
  }
  const std::vector<int> IA = {1, 2, 3, 4, 5};
  const std::vector<int> IB = {6, 7, 8, 9, 10};
  try {
    Diff.Execute(IA.data(), IB.data(), 5, 5);
    FAIL() << "no exception";
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "oops - error in RecursiveDiffInt()");
  }
  // Within the limit after stripping: long common ends do not count.
  EXPECT_EQ(RunChars(Diff, "0123456789abc", "0123456789xbc"), "=0 =1 =2 =3 =4 =5 =6 =7 =8 =9 ~a>x =b =c");
}

TEST(Diff, NegativeLengthCountsAsEmpty) {
  TDiff Diff;
  const std::u32string B = U"ab";
  ASSERT_TRUE(Diff.Execute(nullptr, B.data(), -5, 2));
  EXPECT_EQ(Render(Diff), "+a +b");
}
