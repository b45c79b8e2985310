// A local calendar date and time to the second, as the settings file stores it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lexmora {

struct TDateTime {
  int Year = 2000;
  int Month = 1;   // 1 to 12
  int Day = 1;     // 1 to the month's length
  int Hour = 12;   // 0 to 23
  int Minute = 0;  // 0 to 59
  int Second = 0;  // 0 to 59

  // Seconds since 0001-01-01 00:00:00 of the proleptic Gregorian calendar, in local civil time.
  std::int64_t ToSeconds() const;
  static TDateTime FromSeconds(std::int64_t ASeconds);

  friend bool operator==(const TDateTime&, const TDateTime&) = default;
  friend auto operator<=>(const TDateTime& A, const TDateTime& B) { return A.ToSeconds() <=> B.ToSeconds(); }
};

// The current local time.
TDateTime NowLocalDateTime();

// "yyyy-mm-dd hh:nn:ss", for example "2021-04-01 09:05:00".
std::string FormatIniDateTime(const TDateTime& AValue);

// The pattern above exactly (four-digit year, two digits elsewhere, one blank); nothing for any other
// text or for a date or time that does not exist (2021-02-30, 24:00:00).
std::optional<TDateTime> ParseIniDateTime(const std::string& AText);

// Whole days from AFrom to ATo (negative when ATo is earlier), as a fraction.
double DaysBetween(const TDateTime& AFrom, const TDateTime& ATo);

}  // namespace lexmora
