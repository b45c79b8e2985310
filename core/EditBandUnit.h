// Edit-distance bands: how much of a language pair was left alone, touched up or rewritten.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

// The edit distance of one segment in percent, exactly as its report row computes it:
// 100 - steps * 100 / length, where length is the longer of the translated and edited symbol
// texts. Note: below 0 when there are more steps than characters.
double SegmentEditDistance(std::int64_t AEditSteps, std::int64_t ALength);

// The whole number a report row shows for the segment (halves to even, as the row text);
// a segment whose two texts are both empty (length 0) shows nothing and counts as 100.
int RoundedEditDistance(std::int64_t AEditSteps, std::int64_t ALength);

// The total edit distance text of a set of segments ("66.7%", one decimal, halves to even,
// the user's decimal separator); empty when the lengths add up to 0.
std::string TotalEditDistanceText(std::int64_t ASumSteps, std::int64_t ASumLengths);

// The bands by their lower bounds, highest first: a segment belongs to the first band whose
// bound its rounded edit distance reaches; the last band also takes every value below its bound.
class TEditBands {
 public:
  // The default bands: 100, 95-99, 85-94, 75-84, 50-74, 0-49.
  TEditBands();

  // Bands with these lower bounds. False (and the bands unchanged) unless the bounds are
  // integers from 0 to 100 in strictly descending order, at least one.
  bool SetBounds(const std::vector<int>& ABounds);
  // The same from text such as "100,95,85,75,50"; blanks around the numbers are allowed.
  bool ParseBounds(std::string_view AText);

  const std::vector<int>& Bounds() const { return FBounds; }
  std::size_t Count() const { return FBounds.size(); }
  // The band of a rounded edit distance (0 is the highest band).
  std::size_t BandOf(int ARoundedEditDistance) const;
  // The band's caption: "100", "95-99", "0-49"; a last band with a bound above 0 reads "≤74",
  // since it also holds everything below.
  std::string Label(std::size_t ABand) const;

 private:
  std::vector<int> FBounds;
};

}  // namespace lexmora
