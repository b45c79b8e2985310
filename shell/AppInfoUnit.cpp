#include "AppInfoUnit.h"

#include <charconv>

#ifndef LEXMORA_VERSION
#error "LEXMORA_VERSION must be defined by the build (the CMake project version)"
#endif

namespace lexmora {

bool ParseAppVersion(const std::string& AText, TAppVersion& AVersion) {
  int Parts[4] = {0, 0, 0, 0};
  const char* P = AText.data();
  const char* End = P + AText.size();
  int Count = 0;
  while (Count < 4 && P < End) {
    const auto [Next, Ec] = std::from_chars(P, End, Parts[Count]);
    if (Ec != std::errc() || Parts[Count] < 0) break;
    ++Count;
    P = Next;
    if (P == End || *P != '.') break;
    ++P;
  }
  if (Count == 0) return false;
  AVersion.Major = Parts[0];
  AVersion.Minor = Parts[1];
  AVersion.Release = Parts[2];
  AVersion.Build = Parts[3];
  AVersion.MajorAndMinor = std::to_string(Parts[0]) + "." + std::to_string(Parts[1]);
  AVersion.FullAppVersion = AVersion.MajorAndMinor + "." + std::to_string(Parts[2]) + "." + std::to_string(Parts[3]);
  return true;
}

void GetAppVersion(TAppVersion& AVersion) { ParseAppVersion(LEXMORA_VERSION, AVersion); }

}  // namespace lexmora
