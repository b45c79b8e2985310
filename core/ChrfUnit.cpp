// Character n-gram counting with one flat hash table: an n-gram is known by the id of its first
// n-1 characters and its last character, so each order costs one table probe per position.
#include "ChrfUnit.h"

#include "MetricTextUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

constexpr std::uint64_t kEmptyKey = ~std::uint64_t{0};

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

std::uint32_t TChrfCounter::IdOf(std::uint64_t AKey) {
  const std::size_t Mask = FKeys.size() - 1;
  std::size_t Slot = static_cast<std::size_t>((AKey * 0x9E3779B97F4A7C15ULL) >> 20) & Mask;
  while (FKeys[Slot] != kEmptyKey) {
    if (FKeys[Slot] == AKey) return FValues[Slot];
    Slot = (Slot + 1) & Mask;
  }
  FKeys[Slot] = AKey;
  return FValues[Slot] = FNextId++;
}

TChrfStats TChrfCounter::MeasureUtf8(std::string_view ATranslated, std::string_view AEdited) {
  FUtf8Hyp.clear();
  FUtf8Ref.clear();
  AppendUtf8AsU32(FUtf8Hyp, ATranslated);
  AppendUtf8AsU32(FUtf8Ref, AEdited);
  return Measure(FUtf8Hyp, FUtf8Ref);
}

TChrfStats TChrfCounter::Measure(std::u32string_view ATranslated, std::u32string_view AEdited) {
  if (FOptions.KeepSpace) {
    FHyp.assign(ATranslated);
    FRef.assign(AEdited);
  } else {
    RemoveSpace(ATranslated, FHyp);
    RemoveSpace(AEdited, FRef);
  }
  TChrfStats Result;
  const std::size_t RefLength = FRef.size(), Total = RefLength + FHyp.size();
  if (FHyp == FRef) {
    // Every n-gram of an unedited text matches: the counts follow from its length.
    for (std::size_t N = 1; N <= kChrfOrders && N <= RefLength; ++N) {
      const auto Grams = static_cast<std::int64_t>(RefLength - N + 1);
      Result.Orders[N - 1] = {Grams, Grams, Grams};
    }
    return Result;
  }
  std::size_t Capacity = 16;
  while (Capacity < 2 * Total) Capacity *= 2;
  FKeys.resize(Capacity);
  FValues.resize(Capacity);
  // Position P < RefLength is in the reference, the rest in the hypothesis; an n-gram never spans
  // the seam because each side's last n-1 positions are left out.
  FIds.assign(Total, 0);
  const auto CharAt = [&](std::size_t P) { return P < RefLength ? FRef[P] : FHyp[P - RefLength]; };
  for (std::size_t N = 1; N <= kChrfOrders; ++N) {
    const std::size_t RefGrams = RefLength >= N ? RefLength - N + 1 : 0;
    const std::size_t HypGrams = FHyp.size() >= N ? FHyp.size() - N + 1 : 0;
    if (RefGrams == 0 && HypGrams == 0) break;
    std::fill(FKeys.begin(), FKeys.end(), kEmptyKey);
    FNextId = 0;
    const auto Extend = [&](std::size_t P) {
      const std::uint64_t Last = CharAt(P + N - 1);
      FIds[P] = IdOf(N == 1 ? Last : (std::uint64_t{FIds[P]} << 21 | Last));
    };
    for (std::size_t P = 0; P < RefGrams; ++P) Extend(P);
    for (std::size_t P = RefLength; P < RefLength + HypGrams; ++P) Extend(P);
    FRefCounts.assign(FNextId, 0);
    FHypCounts.assign(FNextId, 0);
    for (std::size_t P = 0; P < RefGrams; ++P) ++FRefCounts[FIds[P]];
    std::int64_t Matches = 0;
    for (std::size_t P = RefLength; P < RefLength + HypGrams; ++P)
      if (++FHypCounts[FIds[P]] <= FRefCounts[FIds[P]]) ++Matches;
    TChrfStats::TOrder& Order = Result.Orders[N - 1];
    Order.Reference = static_cast<std::int64_t>(RefGrams);
    // The tools count no hypothesis n-grams of an order the reference lacks.
    Order.Hypothesis = RefGrams > 0 ? static_cast<std::int64_t>(HypGrams) : 0;
    Order.Matches = Matches;
  }
  return Result;
}

}  // namespace lexmora
