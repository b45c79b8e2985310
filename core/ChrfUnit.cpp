// Character n-gram counting with one flat hash table: an n-gram is known by the id of its first
// n-1 characters and its last character, so each order costs one table probe per position.
#include "ChrfUnit.h"

#include <algorithm>

#include "MetricTextUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

// Cells of the direct table of (n-1)-gram and character pairs (4 MiB of ids and stamps at most).
constexpr std::size_t kDirectLimit = std::size_t{1} << 19;

}  // namespace

TChrfStats& TChrfStats::operator+=(const TChrfStats& AOther) {
  for (std::size_t I = 0; I < Orders.size(); ++I) {
    Orders[I].Hypothesis += AOther.Orders[I].Hypothesis;
    Orders[I].Reference += AOther.Orders[I].Reference;
    Orders[I].Matches += AOther.Orders[I].Matches;
  }
  return *this;
}

double ChrfScore(const TChrfStats& AStats, const TChrfOptions& AOptions) {
  constexpr double kEps = 1e-16;
  const double Factor = AOptions.Beta * AOptions.Beta;
  double Sum = 0, AvgPrecision = 0, AvgRecall = 0;
  int Effective = 0;
  for (const TChrfStats::TOrder& Order : AStats.Orders) {
    const double Matches = static_cast<double>(Order.Matches);
    const double Precision = Order.Hypothesis > 0 ? Matches / static_cast<double>(Order.Hypothesis) : kEps;
    const double Recall = Order.Reference > 0 ? Matches / static_cast<double>(Order.Reference) : kEps;
    const double Denominator = Factor * Precision + Recall;
    Sum += Denominator > 0 ? (1 + Factor) * Precision * Recall / Denominator : kEps;
    if (Order.Hypothesis > 0 && Order.Reference > 0) {
      AvgPrecision += Precision;
      AvgRecall += Recall;
      ++Effective;
    }
  }
  if (AOptions.EpsSmoothing) return 100 * Sum / kChrfOrders;
  if (Effective == 0) return 0;
  AvgPrecision /= Effective;
  AvgRecall /= Effective;
  if (AvgPrecision + AvgRecall == 0) return 0;
  return 100 * (1 + Factor) * AvgPrecision * AvgRecall / (Factor * AvgPrecision + AvgRecall);
}

void TChrfCounter::NextStamp() {
  if (++FStamp != 0) return;
  std::fill(FStamps.begin(), FStamps.end(), 0);
  std::fill(FDirectStamps.begin(), FDirectStamps.end(), 0);
  FStamp = 1;
}

std::uint32_t TChrfCounter::IdOf(std::uint64_t AKey) {
  const std::size_t Mask = FKeys.size() - 1;
  std::size_t Slot = static_cast<std::size_t>((AKey * 0x9E3779B97F4A7C15ULL) >> 32) & Mask;
  while (FStamps[Slot] == FStamp) {
    if (FKeys[Slot] == AKey) return FValues[Slot];
    Slot = (Slot + 1) & Mask;
  }
  FStamps[Slot] = FStamp;
  FKeys[Slot] = AKey;
  return FValues[Slot] = FNextId++;
}

TChrfStats TChrfCounter::MeasureUtf8(std::string_view ATranslated, std::string_view AEdited) {
  AssignUtf8AsU32(FUtf8Hyp, ATranslated);
  AssignUtf8AsU32(FUtf8Ref, AEdited);
  return Measure(FUtf8Hyp, FUtf8Ref);
}

TChrfStats TChrfCounter::Measure(std::u32string_view ATranslated, std::u32string_view AEdited) {
  // The reference's characters, then the hypothesis'; an n-gram never spans the seam because each
  // side's last n-1 positions start none.
  TChrfStats Result;
  if (ATranslated == AEdited) {
    // Unedited: every n-gram matches, and the counts follow from the length.
    std::size_t Length = AEdited.size();
    if (!FOptions.KeepSpace)
      for (const char32_t C : AEdited) Length -= IsMetricSpace(C);
    for (std::size_t N = 1; N <= kChrfOrders && N <= Length; ++N) {
      const auto Grams = static_cast<std::int64_t>(Length - N + 1);
      Result.Orders[N - 1] = {Grams, Grams, Grams};
    }
    return Result;
  }
  FText.resize(AEdited.size() + ATranslated.size());
  char32_t* Out = FText.data();
  const auto Take = [&](std::u32string_view AText) {
    for (const char32_t C : AText) {
      *Out = C;
      Out += FOptions.KeepSpace || !IsMetricSpace(C);
    }
  };
  Take(AEdited);
  const auto RefLength = static_cast<std::size_t>(Out - FText.data());
  Take(ATranslated);
  FText.resize(static_cast<std::size_t>(Out - FText.data()));
  const std::size_t HypLength = FText.size() - RefLength;
  const std::u32string_view Ref = std::u32string_view(FText).substr(0, RefLength);
  const std::u32string_view Hyp = std::u32string_view(FText).substr(RefLength);
  // An n-gram inside the common prefix or the common suffix occurs on both sides alike, so it
  // matches itself: only the n-grams that touch the differing middle need counting.
  const std::size_t Shorter = std::min(RefLength, HypLength);
  std::size_t Prefix = 0, Suffix = 0;
  while (Prefix < Shorter && Ref[Prefix] == Hyp[Prefix]) ++Prefix;
  while (Suffix < Shorter - Prefix && Ref[RefLength - 1 - Suffix] == Hyp[HypLength - 1 - Suffix]) ++Suffix;
  // Starts from which ids are made: kChrfOrders - 1 before the middle, for the longer n-grams there.
  const std::size_t WorkFrom = Prefix >= kChrfOrders ? Prefix - (kChrfOrders - 1) : 0;
  const bool Differ = Prefix < RefLength || Prefix < HypLength;

  std::size_t Capacity = 64;
  while (Capacity < 2 * FText.size()) Capacity *= 2;
  if (FKeys.size() < Capacity) {
    FKeys.resize(Capacity);
    FValues.resize(Capacity);
    FStamps.assign(Capacity, 0);
  }
  FIds.resize(FText.size());
  FCharIds.resize(FText.size());
  std::uint32_t Characters = 0;  // distinct characters
  for (std::size_t N = 1; N <= kChrfOrders; ++N) {
    const std::size_t RefGrams = RefLength >= N ? RefLength - N + 1 : 0;
    const std::size_t HypGrams = HypLength >= N ? HypLength - N + 1 : 0;
    if (RefGrams == 0 && HypGrams == 0) break;
    TChrfStats::TOrder& Order = Result.Orders[N - 1];
    Order.Reference = static_cast<std::int64_t>(RefGrams);
    // The tools count no hypothesis n-grams of an order the reference lacks.
    Order.Hypothesis = RefGrams > 0 ? static_cast<std::int64_t>(HypGrams) : 0;
    Order.Matches = static_cast<std::int64_t>((Prefix >= N ? Prefix - N + 1 : 0) + (Suffix >= N ? Suffix - N + 1 : 0));
    if (!Differ) continue;

    NextStamp();
    const std::uint32_t ShorterGrams = FNextId;  // distinct (n-1)-grams
    FNextId = 0;
    // Few distinct characters and (n-1)-grams, as in most texts: their pairs index a table directly.
    const std::size_t Pairs = std::size_t{ShorterGrams} * Characters;
    const bool Direct = N > 1 && Pairs <= kDirectLimit;
    if (Direct && FDirectStamps.size() < Pairs) {
      FDirectStamps.resize(Pairs, 0);
      FDirectIds.resize(Pairs);
    }
    const auto Extend = [&](std::size_t P) {
      if (N == 1) {
        FIds[P] = FCharIds[P] = IdOf(FText[P]);
      } else if (Direct) {
        const std::size_t Index = std::size_t{FIds[P]} * Characters + FCharIds[P + N - 1];
        if (FDirectStamps[Index] != FStamp) {
          FDirectStamps[Index] = FStamp;
          FDirectIds[Index] = FNextId++;
        }
        FIds[P] = FDirectIds[Index];
      } else {
        FIds[P] = IdOf(std::uint64_t{FIds[P]} << 21 | FText[P + N - 1]);
      }
    };
    // The starts of one side (of ALength characters at ABase) given ids, and the counted ones: those
    // of n-grams that reach into the middle. Order 1 also takes the suffix' first characters, since
    // the longer n-grams of the middle end in them.
    struct TSpan {
      std::size_t From, To, CountFrom, CountTo;
    };
    const auto SpanOf = [&](std::size_t ABase, std::size_t ALength) {
      const std::size_t Grams = ALength >= N ? ALength - N + 1 : 0;
      const std::size_t Middle = std::min(Grams, ALength - Suffix);
      const std::size_t To = N == 1 ? std::min(ALength, ALength - Suffix + kChrfOrders - 1) : Middle;
      const std::size_t CountFrom = std::min(Prefix >= N ? Prefix - N + 1 : 0, Middle);
      return TSpan{ABase + std::min(WorkFrom, To), ABase + To, ABase + CountFrom, ABase + Middle};
    };
    const TSpan RefSpan = SpanOf(0, RefLength), HypSpan = SpanOf(RefLength, HypLength);
    // No more ids than starts.
    FRefCounts.assign(RefSpan.To - RefSpan.From + HypSpan.To - HypSpan.From, 0);
    for (std::size_t P = RefSpan.From; P < RefSpan.CountFrom; ++P) Extend(P);
    for (std::size_t P = RefSpan.CountFrom; P < RefSpan.CountTo; ++P) {
      Extend(P);
      ++FRefCounts[FIds[P]];
    }
    for (std::size_t P = RefSpan.CountTo; P < RefSpan.To; ++P) Extend(P);
    for (std::size_t P = HypSpan.From; P < HypSpan.CountFrom; ++P) Extend(P);
    // Each hypothesis n-gram matches while the reference has occurrences of it left.
    for (std::size_t P = HypSpan.CountFrom; P < HypSpan.CountTo; ++P) {
      Extend(P);
      if (FRefCounts[FIds[P]]-- > 0) ++Order.Matches;
    }
    for (std::size_t P = HypSpan.CountTo; P < HypSpan.To; ++P) Extend(P);
    if (N == 1) Characters = FNextId;
  }
  return Result;
}

}  // namespace lexmora
