// Translation edit rate: a greedy search for block shifts over a beam-limited word edit distance.
//
// Each round computes the edit distance of the current hypothesis to the reference with its
// operations, aligns the two from them, and tries every block of 1 to 10 words that occurs in both
// texts at starts at most 50 words apart, provided the block holds an error on both sides and the
// reference's first word of it is not aligned inside the block. Each such block is moved to just
// behind the hypothesis word aligned to each reference position from the one before the block to the
// block's last (to the very start for a block at the reference's start). The move that lowers the distance most wins;
// ties go to the longer block, then the earlier block, then the earlier target. Rounds stop when no move lowers the
// distance or 1000 moves have been tried in all (the round that reaches the limit is discarded). Edits = moves made +
// the final distance. A round is skipped when the distance already equals the bag distance (the larger of the
// hypothesis' surplus and missing words), which no reordering can beat.
//
// The distance: unit costs; at equal cost a cell prefers keeping or substituting, then dropping a
// hypothesis word, then taking a reference word, which decides the alignment and so the moves. Row
// i (hypothesis prefix of i words) is computed only within a beam of 25 cells either side of column
// floor(i * reference length / hypothesis length), wider when the reference is more than 50 times
// longer; the last row is complete. Cells outside count as unreachable, so on long texts whose
// alignment strays from that line the distance exceeds the true minimum, exactly as the published
// figures do. Where the beam spans every row and no move can help, the plain distance is taken by
// bit vectors instead, without the matrix.
// A moved candidate shares its rows up to its first changed word with the round's hypothesis, so
// only the rows after it are computed, with two rolling rows and no operations.
#include "TerUnit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "MetricTextUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

constexpr int kMaxShiftSize = 10;
constexpr int kMaxShiftDistance = 50;
constexpr int kBeamWidth = 25;
constexpr int kMaxShiftCandidates = 1000;
constexpr int kUnreachable = 1 << 29;

// Operations of a cell, named from the hypothesis' side.
enum TOp : char { opKeep = 0, opSubstitute = 1, opDropHyp = 2, opTakeRef = 3, opNone = 4 };

struct TRowView {
  const int* Costs;
  int Lo, Hi;
  int At(int AColumn) const { return AColumn >= Lo && AColumn < Hi ? Costs[AColumn - Lo] : kUnreachable; }
};

// Row cells Lo..Hi-1 from the row above; AOps may be null when only the costs matter.
void ComputeRow(const TRowView& APrev, int* ACosts, char* AOps, int ALo, int AHi, int AHypWord,
                const std::vector<int>& ARef) {
  for (int J = ALo; J < AHi; ++J) {
    int Best = kUnreachable;
    char Op = opNone;
    if (J == 0) {
      const int Drop = APrev.At(0) + 1;
      if (Drop < Best) Best = Drop, Op = opDropHyp;
    } else {
      const bool Same = AHypWord == ARef[J - 1];
      const int Diagonal = APrev.At(J - 1) + (Same ? 0 : 1);
      const int Drop = APrev.At(J) + 1;
      const int Take = (J - 1 >= ALo ? ACosts[J - 1 - ALo] : kUnreachable) + 1;
      if (Diagonal < Best) Best = Diagonal, Op = Same ? opKeep : opSubstitute;
      if (Drop < Best) Best = Drop, Op = opDropHyp;
      if (Take < Best) Best = Take, Op = opTakeRef;
    }
    ACosts[J - ALo] = Best;
    if (AOps) AOps[J - ALo] = Op;
  }
}

// Appends AWords[AFrom, ATo) with slice semantics: bounds clamped, an empty range when reversed.
void AppendSlice(const std::vector<int>& AWords, int AFrom, int ATo, std::vector<int>& AOut) {
  const int Size = static_cast<int>(AWords.size());
  AFrom = std::clamp(AFrom, 0, Size);
  ATo = std::clamp(ATo, 0, Size);
  if (AFrom < ATo) AOut.insert(AOut.end(), AWords.begin() + AFrom, AWords.begin() + ATo);
}

}  // namespace

double TerPercent(const TTerStats& AStats) {
  if (AStats.ReferenceWords > 0)
    return 100.0 * static_cast<double>(AStats.Edits) / static_cast<double>(AStats.ReferenceWords);
  return AStats.Edits > 0 ? 100.0 : 0.0;
}

TTerStats TTerCalculator::Measure(std::u32string_view ATranslated, std::u32string_view AEdited) {
  // Most segments come back unedited: their words need counting only.
  if (ATranslated == AEdited) return TTerStats{0, CountSpaceSeparated(AEdited)};
  FIds.Clear();
  LowerFull(ATranslated, FLowerHyp);
  LowerFull(AEdited, FLowerRef);
  FHypIds.clear();
  FRefIds.clear();
  FIds.AppendSpaceSeparated(FLowerRef, FRefIds);
  FIds.AppendSpaceSeparated(FLowerHyp, FHypIds);
  return MeasureWords(FHypIds, FRefIds);
}

TTerStats TTerCalculator::MeasureUtf8(std::string_view ATranslated, std::string_view AEdited) {
  AssignUtf8AsU32(FUtf8Hyp, ATranslated);
  AssignUtf8AsU32(FUtf8Ref, AEdited);
  return Measure(FUtf8Hyp, FUtf8Ref);
}

TTerStats TTerCalculator::MeasureWords(const std::vector<int>& AHypothesis, const std::vector<int>& AReference) {
  TTerStats Result;
  Result.ReferenceWords = static_cast<std::int64_t>(AReference.size());
  if (AReference.empty()) {
    Result.Edits = static_cast<std::int64_t>(AHypothesis.size());
    return Result;
  }
  FHyp = AHypothesis;
  FRef = AReference;
  FBagDistance = BagDistance();
  // Where the beam spans every row, the distance is the plain one and cheap to take on its own: when
  // no move can help, it is the answer and the search with its alignment is never needed.
  if (FWholeRows && FRef.size() <= 64) {
    const int Distance = PlainDistance();
    if (Distance <= FBagDistance) return TTerStats{Distance, Result.ReferenceWords};
  }
  PlanRows(static_cast<int>(FHyp.size()), static_cast<int>(FRef.size()));
  int Shifts = 0, Checked = 0, Distance = 0;
  while (true) {
    const int Gain = BestShift(Checked);
    Distance = FCosts[FRows.back().Offset + FRef.size() - static_cast<std::size_t>(FRows.back().Lo)];
    if (Checked >= kMaxShiftCandidates || Gain <= 0) break;
    ++Shifts;
    FHyp.swap(FShifted);
  }
  Result.Edits = Shifts + Distance;
  return Result;
}

void TTerCalculator::PlanRows(int AHypLength, int ARefLength) {
  const double Ratio = AHypLength > 0 ? static_cast<double>(ARefLength) / AHypLength : 1.0;
  const int Beam = kBeamWidth < Ratio / 2 ? static_cast<int>(std::ceil(Ratio / 2 + kBeamWidth)) : kBeamWidth;
  FRows.assign(static_cast<std::size_t>(AHypLength) + 1, TRow{});
  FRows[0] = TRow{0, ARefLength + 1, 0};
  FWholeRows = true;
  std::size_t Offset = static_cast<std::size_t>(ARefLength) + 1;
  for (int I = 1; I <= AHypLength; ++I) {
    const int Diagonal = static_cast<int>(std::floor(I * Ratio));
    TRow& Row = FRows[static_cast<std::size_t>(I)];
    Row.Lo = std::max(0, Diagonal - Beam);
    Row.Hi = I == AHypLength ? ARefLength + 1 : std::min(ARefLength + 1, Diagonal + Beam);
    Row.Offset = Offset;
    FWholeRows = FWholeRows && Row.Lo == 0 && Row.Hi == ARefLength + 1;
    Offset += static_cast<std::size_t>(Row.Hi - Row.Lo);
  }
  FCosts.resize(Offset);
  FOps.resize(Offset);
  FRollA.resize(static_cast<std::size_t>(ARefLength) + 1);
  FRollB.resize(static_cast<std::size_t>(ARefLength) + 1);
}

int TTerCalculator::FullDistance() {
  for (int J = 0; J < FRows[0].Hi; ++J) {
    FCosts[static_cast<std::size_t>(J)] = J;
    FOps[static_cast<std::size_t>(J)] = opTakeRef;
  }
  for (std::size_t I = 1; I < FRows.size(); ++I) {
    const TRow& Prev = FRows[I - 1];
    const TRow& Row = FRows[I];
    ComputeRow(TRowView{FCosts.data() + Prev.Offset, Prev.Lo, Prev.Hi}, FCosts.data() + Row.Offset,
               FOps.data() + Row.Offset, Row.Lo, Row.Hi, FHyp[I - 1], FRef);
  }
  return FCosts[FRows.back().Offset + FRef.size() - static_cast<std::size_t>(FRows.back().Lo)];
}

int TTerCalculator::DistanceFrom(const std::vector<int>& AWords, int AKeptRows) {
  const TRow& Kept = FRows[static_cast<std::size_t>(AKeptRows) - 1];
  TRowView Prev{FCosts.data() + Kept.Offset, Kept.Lo, Kept.Hi};
  int* Cur = FRollA.data();
  int* Spare = FRollB.data();
  for (std::size_t I = static_cast<std::size_t>(AKeptRows); I < FRows.size(); ++I) {
    const TRow& Row = FRows[I];
    ComputeRow(Prev, Cur, nullptr, Row.Lo, Row.Hi, AWords[I - 1], FRef);
    Prev = TRowView{Cur, Row.Lo, Row.Hi};
    std::swap(Cur, Spare);
  }
  return Prev.At(static_cast<int>(FRef.size()));
}

void TTerCalculator::Align() {
  const int HypLength = static_cast<int>(FHyp.size()), RefLength = static_cast<int>(FRef.size());
  // The operations from the last cell back; read in reverse they run from the start.
  std::vector<char>& Trace = FTrace;
  Trace.clear();
  for (int I = HypLength, J = RefLength; I > 0 || J > 0;) {
    const TRow& Row = FRows[static_cast<std::size_t>(I)];
    const char Op = FOps[Row.Offset + static_cast<std::size_t>(J - Row.Lo)];
    Trace.push_back(Op);
    if (Op == opKeep || Op == opSubstitute)
      --I, --J;
    else if (Op == opDropHyp)
      --I;
    else
      --J;
  }
  FAlign.assign(static_cast<std::size_t>(RefLength), -1);
  FHypErrSum.assign(static_cast<std::size_t>(HypLength) + 1, 0);
  FRefErrSum.assign(static_cast<std::size_t>(RefLength) + 1, 0);
  int PosHyp = -1, PosRef = -1;
  for (auto It = Trace.rbegin(); It != Trace.rend(); ++It) {
    const char Op = *It;
    const bool Error = Op != opKeep;
    if (Op != opTakeRef) FHypErrSum[static_cast<std::size_t>(++PosHyp) + 1] = Error;
    if (Op != opDropHyp) {
      FAlign[static_cast<std::size_t>(++PosRef)] = PosHyp;
      FRefErrSum[static_cast<std::size_t>(PosRef) + 1] = Error;
    }
  }
  for (std::size_t I = 1; I < FHypErrSum.size(); ++I) FHypErrSum[I] += FHypErrSum[I - 1];
  for (std::size_t I = 1; I < FRefErrSum.size(); ++I) FRefErrSum[I] += FRefErrSum[I - 1];
}

int TTerCalculator::BagDistance() {
  int Top = 0;
  for (const int Id : FHyp) Top = std::max(Top, Id);
  for (const int Id : FRef) Top = std::max(Top, Id);
  FBag.assign(static_cast<std::size_t>(Top) + 1, 0);
  for (const int Id : FHyp) ++FBag[static_cast<std::size_t>(Id)];
  for (const int Id : FRef) --FBag[static_cast<std::size_t>(Id)];
  int Surplus = 0, Missing = 0;
  for (const int Count : FBag) (Count > 0 ? Surplus : Missing) += std::abs(Count);
  return std::max(Surplus, Missing);
}

int TTerCalculator::PlainDistance() {
  // Hyyrö's bit-vector form of Myers' algorithm: column deltas of the distance matrix along the
  // reference, one bit per reference word, updated word by word of the hypothesis.
  const std::size_t Words = FRef.size();
  FPeq.assign(FBag.size(), 0);
  for (std::size_t J = 0; J < Words; ++J) FPeq[static_cast<std::size_t>(FRef[J])] |= std::uint64_t{1} << J;
  const std::uint64_t Last = std::uint64_t{1} << (Words - 1);
  std::uint64_t Plus = Words == 64 ? ~std::uint64_t{0} : (Last << 1) - 1, Minus = 0;
  int Distance = static_cast<int>(Words);
  for (const int Word : FHyp) {
    const std::uint64_t Eq = FPeq[static_cast<std::size_t>(Word)];
    const std::uint64_t Xv = Eq | Minus;
    const std::uint64_t Xh = (((Eq & Plus) + Plus) ^ Plus) | Eq;
    std::uint64_t Ph = Minus | ~(Xh | Plus);
    std::uint64_t Mh = Plus & Xh;
    if (Ph & Last)
      ++Distance;
    else if (Mh & Last)
      --Distance;
    // The top row grows by one per hypothesis word: a plus enters at the top.
    Ph = (Ph << 1) | 1;
    Mh <<= 1;
    Plus = Mh | ~(Xv | Ph);
    Minus = Ph & Xv;
  }
  return Distance;
}

int TTerCalculator::BestShift(int& ACheckedCandidates) {
  const int Before = FullDistance();
  // No order of the hypothesis' words comes closer than the words it lacks or has too many of, so
  // no move can gain: the search would find nothing.
  if (Before <= FBagDistance) return 0;
  Align();
  const int HypLength = static_cast<int>(FHyp.size()), RefLength = static_cast<int>(FRef.size());
  bool Found = false;
  int BestGain = 0, BestLength = 0, BestStart = 0, BestTarget = 0;
  for (int StartHyp = 0; StartHyp < HypLength; ++StartHyp)
    for (int StartRef = 0; StartRef < RefLength; ++StartRef) {
      if (std::abs(StartRef - StartHyp) > kMaxShiftDistance) continue;
      for (int Length = 1; Length <= kMaxShiftSize && FHyp[StartHyp + Length - 1] == FRef[StartRef + Length - 1];
           ++Length) {
        const bool Worth = FHypErrSum[StartHyp + Length] != FHypErrSum[StartHyp] &&
                           FRefErrSum[StartRef + Length] != FRefErrSum[StartRef] &&
                           !(StartHyp <= FAlign[StartRef] && FAlign[StartRef] < StartHyp + Length);
        if (Worth) {
          int PrevTarget = -1;
          for (int Offset = -1; Offset < Length; ++Offset) {
            const int Target = StartRef + Offset == -1 ? 0 : FAlign[StartRef + Offset] + 1;
            if (Target == PrevTarget) continue;
            PrevTarget = Target;
            PerformShift(StartHyp, Length, Target, FCandidate);
            int Same = 0;
            while (Same < HypLength && FCandidate[Same] == FHyp[Same]) ++Same;
            const int Gain = Before - (Same == HypLength ? Before : DistanceFrom(FCandidate, Same + 1));
            ++ACheckedCandidates;
            const bool Better =
                !Found || Gain > BestGain ||
                (Gain == BestGain &&
                 (Length > BestLength ||
                  (Length == BestLength && (StartHyp < BestStart || (StartHyp == BestStart && Target < BestTarget)))));
            if (Better) {
              Found = true;
              BestGain = Gain, BestLength = Length, BestStart = StartHyp, BestTarget = Target;
              FShifted.swap(FCandidate);
            }
          }
          if (ACheckedCandidates >= kMaxShiftCandidates) return Found ? BestGain : 0;
        }
        if (StartHyp + Length == HypLength || StartRef + Length == RefLength) break;
      }
    }
  return Found ? BestGain : 0;
}

void TTerCalculator::PerformShift(int AStart, int ALength, int ATarget, std::vector<int>& AOut) const {
  AOut.clear();
  const int Size = static_cast<int>(FHyp.size());
  if (ATarget < AStart) {
    AppendSlice(FHyp, 0, ATarget, AOut);
    AppendSlice(FHyp, AStart, AStart + ALength, AOut);
    AppendSlice(FHyp, ATarget, AStart, AOut);
    AppendSlice(FHyp, AStart + ALength, Size, AOut);
  } else if (ATarget > AStart + ALength) {
    AppendSlice(FHyp, 0, AStart, AOut);
    AppendSlice(FHyp, AStart + ALength, ATarget, AOut);
    AppendSlice(FHyp, AStart, AStart + ALength, AOut);
    AppendSlice(FHyp, ATarget, Size, AOut);
  } else {
    // Note: a target inside the block moves it right by the target's distance from its start.
    AppendSlice(FHyp, 0, AStart, AOut);
    AppendSlice(FHyp, AStart + ALength, ALength + ATarget, AOut);
    AppendSlice(FHyp, AStart, AStart + ALength, AOut);
    AppendSlice(FHyp, ALength + ATarget, Size, AOut);
  }
}

}  // namespace lexmora
