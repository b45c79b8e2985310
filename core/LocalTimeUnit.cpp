#include "LocalTimeUnit.h"

#include <ctime>

#include "PlatformUnit.h"

namespace lexmora {

std::string FormatLocalTime(const char* AFormat) {
  const std::tm Local = LocalBrokenDownTime(std::time(nullptr));
  char Buffer[64];
  const std::size_t Length = std::strftime(Buffer, sizeof Buffer, AFormat, &Local);
  return std::string(Buffer, Length);
}

}  // namespace lexmora
