#include "DateTimeUnit.h"

#include <chrono>
#include <ctime>

#include "PlatformUnit.h"

namespace lexmora {

namespace {

bool IsLeap(int AYear) { return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0; }

int DaysInMonth(int AYear, int AMonth) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return AMonth == 2 && IsLeap(AYear) ? 29 : kDays[AMonth - 1];
}

// Days since 0001-01-01 (day 0).
std::int64_t DaysFromCivil(int AYear, int AMonth, int ADay) {
  const std::chrono::year_month_day Ymd{std::chrono::year{AYear}, std::chrono::month{static_cast<unsigned>(AMonth)},
                                        std::chrono::day{static_cast<unsigned>(ADay)}};
  static const std::int64_t kEpoch = std::chrono::sys_days{std::chrono::year{1} / 1 / 1}.time_since_epoch().count();
  return std::chrono::sys_days{Ymd}.time_since_epoch().count() - kEpoch;
}

bool TwoDigits(const std::string& AText, std::size_t APos, int& AValue) {
  const char A = AText[APos];
  const char B = AText[APos + 1];
  if (A < '0' || A > '9' || B < '0' || B > '9') return false;
  AValue = (A - '0') * 10 + (B - '0');
  return true;
}

}  // namespace

std::int64_t TDateTime::ToSeconds() const {
  return DaysFromCivil(Year, Month, Day) * 86400 + Hour * 3600 + Minute * 60 + Second;
}

TDateTime TDateTime::FromSeconds(std::int64_t ASeconds) {
  std::int64_t Days = ASeconds / 86400;
  std::int64_t Rest = ASeconds % 86400;
  if (Rest < 0) {
    Rest += 86400;
    --Days;
  }
  static const std::chrono::sys_days kEpoch{std::chrono::year{1} / 1 / 1};
  const std::chrono::year_month_day Ymd{kEpoch + std::chrono::days{Days}};
  TDateTime R;
  R.Year = static_cast<int>(Ymd.year());
  R.Month = static_cast<int>(static_cast<unsigned>(Ymd.month()));
  R.Day = static_cast<int>(static_cast<unsigned>(Ymd.day()));
  R.Hour = static_cast<int>(Rest / 3600);
  R.Minute = static_cast<int>(Rest / 60 % 60);
  R.Second = static_cast<int>(Rest % 60);
  return R;
}

TDateTime NowLocalDateTime() {
  const std::tm Tm = LocalBrokenDownTime(std::time(nullptr));
  TDateTime R;
  R.Year = Tm.tm_year + 1900;
  R.Month = Tm.tm_mon + 1;
  R.Day = Tm.tm_mday;
  R.Hour = Tm.tm_hour;
  R.Minute = Tm.tm_min;
  R.Second = Tm.tm_sec > 59 ? 59 : Tm.tm_sec;  // a leap second is held at :59
  return R;
}

std::string FormatIniDateTime(const TDateTime& AValue) {
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%04d-%02d-%02d %02d:%02d:%02d", AValue.Year, AValue.Month, AValue.Day, AValue.Hour,
                AValue.Minute, AValue.Second);
  return Buf;
}

std::optional<TDateTime> ParseIniDateTime(const std::string& AText) {
  // yyyy-mm-dd hh:nn:ss
  if (AText.size() != 19 || AText[4] != '-' || AText[7] != '-' || AText[10] != ' ' || AText[13] != ':' ||
      AText[16] != ':')
    return std::nullopt;
  TDateTime R;
  int Hi = 0;
  int Lo = 0;
  if (!TwoDigits(AText, 0, Hi) || !TwoDigits(AText, 2, Lo) || !TwoDigits(AText, 5, R.Month) ||
      !TwoDigits(AText, 8, R.Day) || !TwoDigits(AText, 11, R.Hour) || !TwoDigits(AText, 14, R.Minute) ||
      !TwoDigits(AText, 17, R.Second))
    return std::nullopt;
  R.Year = Hi * 100 + Lo;
  if (R.Year < 1 || R.Month < 1 || R.Month > 12 || R.Day < 1 || R.Day > DaysInMonth(R.Year, R.Month) || R.Hour > 23 ||
      R.Minute > 59 || R.Second > 59)
    return std::nullopt;
  return R;
}

double DaysBetween(const TDateTime& AFrom, const TDateTime& ATo) {
  return static_cast<double>(ATo.ToSeconds() - AFrom.ToSeconds()) / 86400.0;
}

}  // namespace lexmora
