#include "LocalTimeUnit.h"

#include <ctime>

namespace lexmora {

std::string FormatLocalTime(const char* AFormat) {
  const std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);  // the re-entrant form: several threads log at once
  char Buffer[64];
  const std::size_t Length = std::strftime(Buffer, sizeof Buffer, AFormat, &Local);
  return std::string(Buffer, Length);
}

}  // namespace lexmora
