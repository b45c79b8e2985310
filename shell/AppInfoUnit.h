// The program's own version number, from the build's project version.
#pragma once

#include <string>

namespace lexmora {

struct TAppVersion {
  int Major = 0;
  int Minor = 0;
  int Release = 0;
  int Build = 0;
  std::string MajorAndMinor;   // "3.8"
  std::string FullAppVersion;  // "3.8.0.0"
};

// Fills AVersion with the version this program was built as.
void GetAppVersion(TAppVersion& AVersion);

// The same from a version text of up to four dot-separated numbers ("1.2.3"); missing parts are 0.
// False, with AVersion unchanged, when the text holds no leading number.
bool ParseAppVersion(const std::string& AText, TAppVersion& AVersion);

}  // namespace lexmora
