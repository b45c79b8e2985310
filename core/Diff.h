// Difference engine: a shortest edit script between two sequences of code
// points or integers, one record per element.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace lexmora {

// Kind of one step of an edit script.
enum class TChangeKind : std::uint8_t {
  ckNone = 0,    // element kept
  ckAdd = 1,     // element inserted from the second sequence
  ckDelete = 2,  // element of the first sequence deleted
  ckModify = 3   // element of the first sequence replaced by one of the second
};

// One step of the script.
struct TCompareRec {
  TChangeKind Kind = TChangeKind::ckNone;
  // Index in the first sequence; for ckAdd the last consumed index there (-1 when none).
  int oldIndex1 = -1;
  // Index in the second sequence; for ckDelete the last consumed index there (-1 when none).
  // Note: not updated when a later insertion turns an earlier deletion of the run into ckModify.
  int oldIndex2 = -1;
  // Elements of the first and second sequence; 0 on the side that takes no part.
  // The character variant fills chr1/chr2, the integer variant int1/int2.
  union {
    char32_t chr1 = 0;
    int int1;
  };
  union {
    char32_t chr2 = 0;
    int int2;
  };
};

// Number of steps of each kind.
struct TDiffStats {
  int matches = 0;
  int adds = 0;
  int deletes = 0;
  int modifies = 0;
};

// Computes and holds one edit script. One object serves one thread at a time;
// only Cancel may be called from another thread.
class TDiff {
 public:
  // Longest stripped sequence the diagonal range covers.
  static constexpr int MaxDiagonal = 16777215;

  TDiff();
  // An engine whose diagonal range stops at AMaxDiagonal (at most MaxDiagonal),
  // so that the behaviour at the limit can be exercised on short inputs.
  explicit TDiff(int AMaxDiagonal);
  ~TDiff();
  TDiff(const TDiff&) = delete;
  TDiff& operator=(const TDiff&) = delete;

  // Compares the first len1 code points of pchrs1 with the first len2 of pchrs2.
  // False when an Execute already runs on this object or when cancelled (script cleared).
  bool Execute(const char32_t* pchrs1, const char32_t* pchrs2, int len1, int len2);
  // The same for two whole code-point strings.
  bool Execute(std::u32string_view AText1, std::u32string_view AText2);
  // The same over integers.
  bool Execute(const int* pints1, const int* pints2, int len1, int len2);

  // Asks a running Execute to stop at its next yield point; safe from any thread.
  void Cancel();
  // Discards the script and the counters. Note: ignored while Execute runs.
  void Clear();

  // A copy of step AIndex (0-based); throws std::out_of_range outside 0..Count-1.
  TCompareRec GetCompare(int AIndex) const;
  TCompareRec Compares(int AIndex) const { return GetCompare(AIndex); }
  // Number of steps.
  int Count() const { return static_cast<int>(fCompareList.size()); }
  // All steps in sequence order, for walking without copies.
  const std::vector<TCompareRec>& CompareList() const { return fCompareList; }
  bool Cancelled() const { return fCancelled.load(std::memory_order_relaxed); }
  TDiffStats DiffStats() const { return fDiffStats; }

  // Called at every yield point (start of each recursive step, every 200th
  // edit distance), before the cancel check; empty by default. Note: the hook
  // runs on the Execute thread inside the computation.
  void SetYieldHook(std::function<void()> AHook) { fYieldHook = std::move(AHook); }

 private:
  template <class T>
  bool ExecuteImpl(const T* A, const T* B, int ALen1, int ALen2);
  template <class T>
  void RecursiveDiff(const T* A, const T* B, int o1, int o2, int n, int m);
  template <class T>
  void AppendChange(const T* A, const T* B, int o1, int ACount, TChangeKind AKind);
  // Appends kept steps until ALastIndex1 is the last consumed index of A.
  template <class T>
  void AppendKept(const T* A, const T* B, int ALastIndex1);
  bool YieldPoint();
  void ClearScript();

  std::vector<TCompareRec> fCompareList;  // the script, one contiguous array
  std::atomic<bool> fCancelled{false};
  bool fExecuting = false;
  std::vector<int> fDiagBuffer;  // forward diagonals, kept for the next Execute
  std::vector<int> bDiagBuffer;  // backward diagonals, likewise
  // Kind of the last step and the last consumed index in each sequence.
  TCompareRec LastCompareRec;
  // First step of the trailing run of steps of the last step's kind, so that
  // pairing a deletion run with an insertion run needs no walk back.
  std::size_t fRunStart = 0;
  int* fDiag = nullptr;  // addressed by diagonal k, centre of fDiagBuffer
  int* bDiag = nullptr;
  TDiffStats fDiffStats;
  std::function<void()> fYieldHook;
  int fMaxDiagonal = MaxDiagonal;
};

}  // namespace lexmora
