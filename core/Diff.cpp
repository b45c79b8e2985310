#include "Diff.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

namespace lexmora {

namespace {

// Diagonal values that no path has reached; kept one away from the integer
// limits so that the +1/-1 of a move cannot overflow.
constexpr int kUnreachedForward = -2147483647;
constexpr int kUnreachedBackward = 2147483647;

// Recursion checks for cancellation every this many edit distances as well.
constexpr int kYieldEveryD = 200;

template <class T>
void SetFirst(TCompareRec& ARec, T AValue) {
  if constexpr (std::is_same_v<T, char32_t>)
    ARec.chr1 = AValue;
  else
    ARec.int1 = AValue;
}

template <class T>
void SetSecond(TCompareRec& ARec, T AValue) {
  if constexpr (std::is_same_v<T, char32_t>)
    ARec.chr2 = AValue;
  else
    ARec.int2 = AValue;
}

template <class T>
const char* SplitErrorText() {
  if constexpr (std::is_same_v<T, char32_t>)
    return "oops - error in RecursiveDiffChr()";
  else
    return "oops - error in RecursiveDiffInt()";
}

// AK lowered by 2 until it is at most ALimit (same parity), in one step: the
// start diagonal of a pass, which would otherwise cost O(D - n) per round when
// one sequence is much shorter than the other.
int LowerToAtMost(int AK, int ALimit) { return AK > ALimit ? AK - (AK - ALimit + 1) / 2 * 2 : AK; }

}  // namespace

TDiff::TDiff() = default;

TDiff::TDiff(int AMaxDiagonal) : fMaxDiagonal(std::clamp(AMaxDiagonal, 1, MaxDiagonal)) {}

TDiff::~TDiff() = default;

bool TDiff::Execute(const char32_t* pchrs1, const char32_t* pchrs2, int len1, int len2) {
  return ExecuteImpl(pchrs1, pchrs2, len1, len2);
}

bool TDiff::Execute(std::u32string_view AText1, std::u32string_view AText2) {
  return ExecuteImpl(AText1.data(), AText2.data(), static_cast<int>(AText1.size()), static_cast<int>(AText2.size()));
}

bool TDiff::Execute(const int* pints1, const int* pints2, int len1, int len2) {
  return ExecuteImpl(pints1, pints2, len1, len2);
}

void TDiff::Cancel() { fCancelled.store(true, std::memory_order_relaxed); }

void TDiff::Clear() {
  // A yield hook calling Clear would pull the script from under the recursion.
  if (fExecuting) return;
  ClearScript();
}

void TDiff::ClearScript() {
  fCompareList.clear();
  LastCompareRec = TCompareRec{};
  LastCompareRec.Kind = TChangeKind::ckNone;
  LastCompareRec.oldIndex1 = -1;
  LastCompareRec.oldIndex2 = -1;
  fRunStart = 0;
  fDiffStats = TDiffStats{};
}

TCompareRec TDiff::GetCompare(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw std::out_of_range("TDiff.GetCompare: index out of range");
  return fCompareList[static_cast<std::size_t>(AIndex)];
}

bool TDiff::YieldPoint() {
  if (fYieldHook) fYieldHook();
  return !Cancelled();
}

// Shortest edit script by Myers' O(ND) difference algorithm ("An O(ND)
// Difference Algorithm and Its Variations", 1986) in its linear-space form:
// search from both ends for the middle snake of an optimal path, then solve the
// two halves recursively. Guarantee: the script is minimal, i.e. the kept steps
// form a longest common subsequence, and every element of each sequence occurs
// in exactly one step, in order.
//
// Where several minimal scripts exist, these tie-breaks decide which elements
// are marked, and reports depend on them:
// - the common suffix is stripped before the common prefix (aaa against aa
//   deletes the first a);
// - in every round the forward pass runs before the backward pass, each from
//   the highest diagonal down;
// - forward, a path comes down from diagonal k+1 (insertion) only when it got
//   strictly further there than on k-1, otherwise it moves right (deletion);
//   backward, it comes from k-1 only when R[k+1] > R[k-1];
// - the forward pass tests for overlap only when delta is odd, the backward
//   pass always;
// - a deletion run followed by an insertion run (or the reverse) pairs up from
//   the start of each run into modifications (see AppendChange).
//
// F[k] is the last index of A consumed from the front on diagonal k (index of
// B = index of A - k); R[k] is the highest index of A not yet consumed from the
// back.
template <class T>
void TDiff::RecursiveDiff(const T* A, const T* B, int o1, int o2, int n, int m) {
  if (!YieldPoint()) return;
  if (n == 0) {
    AppendChange(A, B, o1, m, TChangeKind::ckAdd);
    return;
  }
  if (m == 0) {
    AppendChange(A, B, o1, n, TChangeKind::ckDelete);
    return;
  }
  if (n == 1 && m == 1) {
    // The two merge into one ckModify.
    AppendChange(A, B, o1, 1, TChangeKind::ckDelete);
    AppendChange(A, B, o1, 1, TChangeKind::ckAdd);
    return;
  }

  // Note: beyond the limit the diagonal arrays could not hold diagonal n or
  // delta, so such a part is refused before any array access.
  if (std::max(n, m) > fMaxDiagonal) throw std::runtime_error(SplitErrorText<T>());
  const int MaxD = std::max(n, m);
  const int Delta = n - m;
  int* const F = fDiag;
  int* const R = bDiag;
  // The diagonals are reset lazily: round D reads only diagonals within
  // [Lo, Hi], which grows by one on each side per round, so resetting the whole
  // range -(MaxD+1)..MaxD+1 up front would cost O(n) per recursive step for
  // nothing. Cells outside [Lo, Hi] are neither read nor written.
  int Lo = std::min(0, Delta);
  int Hi = std::max(0, Delta);
  for (int K = Lo; K <= Hi; ++K) {
    F[K] = kUnreachedForward;
    R[K] = kUnreachedBackward;
  }
  F[0] = -1;
  R[Delta] = n - 1;
  const T* const a = A + o1;
  const T* const b = B + o2;

  for (int D = 1; D <= MaxD; ++D) {
    if (D % kYieldEveryD == 0 && !YieldPoint()) return;

    const int NeedLo = std::min(std::max(-D, -m), std::max(Delta - D, -m)) - 1;
    const int NeedHi = std::max(std::min(D, n), std::min(Delta + D, n)) + 1;
    while (Lo > NeedLo) {
      --Lo;
      F[Lo] = kUnreachedForward;
      R[Lo] = kUnreachedBackward;
    }
    while (Hi < NeedHi) {
      ++Hi;
      F[Hi] = kUnreachedForward;
      R[Hi] = kUnreachedBackward;
    }

    // Forward pass.
    int K = LowerToAtMost(D, n);
    for (const int KLow = std::max(-D, -m); K >= KLow; K -= 2) {
      int x = F[K + 1] > F[K - 1] ? F[K + 1] : F[K - 1] + 1;
      int y = x - K;
      while (x < n - 1 && y < m - 1 && a[x + 1] == b[y + 1]) {
        ++x;
        ++y;
      }
      F[K] = x;
      if ((Delta & 1) != 0 && F[K] >= R[K]) {
        const int X = x + 1;
        const int Y = y + 1;
        int xs = X;
        int ys = Y;
        while (xs > 0 && ys > 0 && a[xs - 1] == b[ys - 1]) {
          --xs;
          --ys;
        }
        RecursiveDiff(A, B, o1, o2, xs, ys);
        RecursiveDiff(A, B, o1 + X, o2 + Y, n - X, m - Y);
        return;
      }
    }

    // Backward pass.
    K = LowerToAtMost(Delta + D, n);
    for (const int KLow = std::max(Delta - D, -m); K >= KLow; K -= 2) {
      int x = R[K + 1] > R[K - 1] ? R[K - 1] : R[K + 1] - 1;
      int y = x - K;
      while (x > -1 && y > -1 && a[x] == b[y]) {
        --x;
        --y;
      }
      R[K] = x;
      if (R[K] <= F[K]) {
        ++x;
        ++y;
        RecursiveDiff(A, B, o1, o2, x, y);
        while (x < n && y < m && a[x] == b[y]) {
          ++x;
          ++y;
        }
        RecursiveDiff(A, B, o1 + x, o2 + y, n - x, m - y);
        return;
      }
    }
  }
  throw std::runtime_error(SplitErrorText<T>());
}

template <class T>
void TDiff::AppendKept(const T* A, const T* B, int ALastIndex1) {
  const int Count = ALastIndex1 - LastCompareRec.oldIndex1;
  if (Count <= 0) return;
  if (fCompareList.empty() || LastCompareRec.Kind != TChangeKind::ckNone) fRunStart = fCompareList.size();
  const std::size_t First = fCompareList.size();
  fCompareList.resize(First + static_cast<std::size_t>(Count));
  TCompareRec* Out = fCompareList.data() + First;
  int I1 = LastCompareRec.oldIndex1;
  int I2 = LastCompareRec.oldIndex2;
  for (int I = 0; I < Count; ++I, ++Out) {
    Out->Kind = TChangeKind::ckNone;
    Out->oldIndex1 = ++I1;
    Out->oldIndex2 = ++I2;
    SetFirst(*Out, A[I1]);
    SetSecond(*Out, B[I2]);
  }
  LastCompareRec.oldIndex1 = I1;
  LastCompareRec.oldIndex2 = I2;
  LastCompareRec.Kind = TChangeKind::ckNone;
  fDiffStats.matches += Count;
}

// The only place where the recursion adds steps. Elements of A before o1 that
// no step covers yet are kept ones and are caught up first. A deletion run
// directly followed by insertions (or the reverse) turns into modifications
// from the start of the run; fRunStart marks that start, so no walk back is
// needed.
template <class T>
void TDiff::AppendChange(const T* A, const T* B, int o1, int ACount, TChangeKind AKind) {
  AppendKept(A, B, o1 - 1);

  const bool IsAdd = AKind == TChangeKind::ckAdd;
  const TChangeKind Opposite = IsAdd ? TChangeKind::ckDelete : TChangeKind::ckAdd;
  for (int I = 0; I < ACount; ++I) {
    if (LastCompareRec.Kind == Opposite) {
      TCompareRec& Paired = fCompareList[fRunStart];
      Paired.Kind = TChangeKind::ckModify;
      if (IsAdd) {
        --fDiffStats.deletes;
        Paired.oldIndex2 = ++LastCompareRec.oldIndex2;
        SetSecond(Paired, B[Paired.oldIndex2]);
      } else {
        --fDiffStats.adds;
        Paired.oldIndex1 = ++LastCompareRec.oldIndex1;
        SetFirst(Paired, A[Paired.oldIndex1]);
      }
      ++fDiffStats.modifies;
      if (fRunStart + 1 == fCompareList.size())
        LastCompareRec.Kind = TChangeKind::ckModify;
      else
        ++fRunStart;
      continue;
    }
    TCompareRec Rec;
    Rec.Kind = AKind;
    if (IsAdd) {
      Rec.oldIndex1 = LastCompareRec.oldIndex1;
      Rec.oldIndex2 = ++LastCompareRec.oldIndex2;
      SetSecond(Rec, B[Rec.oldIndex2]);
      ++fDiffStats.adds;
    } else {
      Rec.oldIndex1 = ++LastCompareRec.oldIndex1;
      Rec.oldIndex2 = LastCompareRec.oldIndex2;
      SetFirst(Rec, A[Rec.oldIndex1]);
      ++fDiffStats.deletes;
    }
    if (fCompareList.empty() || LastCompareRec.Kind != AKind) fRunStart = fCompareList.size();
    fCompareList.push_back(Rec);
    LastCompareRec.Kind = AKind;
  }
}

template <class T>
bool TDiff::ExecuteImpl(const T* A, const T* B, int ALen1, int ALen2) {
  if (fExecuting) return false;
  fExecuting = true;
  // fExecuting and the diagonal pointers are reset however the call ends.
  struct TExecutingGuard {
    TDiff& Diff;
    ~TExecutingGuard() {
      Diff.fDiag = nullptr;
      Diff.bDiag = nullptr;
      Diff.fExecuting = false;
    }
  } Guard{*this};
  fCancelled.store(false, std::memory_order_relaxed);
  ClearScript();

  // A negative length counts as an empty sequence.
  int N = std::max(ALen1, 0);
  int M = std::max(ALen2, 0);
  const int GivenN = N;

  // Note: the suffix goes first, so a change inside a run of equal elements
  // lands at the run's start (aaa against aa deletes the first a).
  while (N > 0 && M > 0 && A[N - 1] == B[M - 1]) {
    --N;
    --M;
  }
  if (N != 0 || M != 0) {
    int P = 0;
    while (N > 0 && M > 0 && A[P] == B[P]) {
      ++P;
      --N;
      --M;
    }
    fCompareList.reserve(static_cast<std::size_t>(GivenN) + static_cast<std::size_t>(std::max(ALen2, 0)));
    const int MaxD = std::min(std::max(N, M), fMaxDiagonal);
    const std::size_t DiagSize = 2 * static_cast<std::size_t>(MaxD) + 3;
    if (fDiagBuffer.size() < DiagSize) {
      fDiagBuffer.resize(DiagSize);
      bDiagBuffer.resize(DiagSize);
    }
    fDiag = fDiagBuffer.data() + MaxD + 1;
    bDiag = bDiagBuffer.data() + MaxD + 1;
    RecursiveDiff(A, B, P, P, N, M);
  }

  if (Cancelled()) {
    ClearScript();
    return false;
  }
  // The stripped suffix and any kept elements after the last change.
  AppendKept(A, B, GivenN - 1);
  return true;
}

}  // namespace lexmora
