// The places one comparison run writes to: a report name prefix of its own in the results folder
// and a private working folder. Shared by both front ends.
#pragma once

#include <filesystem>
#include <string>

namespace lexmora {

// The local time as report names carry it: "yyyymmdd_hhnnss".
std::string ResultTimeStamp();

// Reserves a report name prefix in AOutputDir: "Result_" + ATimeStamp + "_", with "-2", "-3"...
// appended to the time part while a file of the folder already starts with it. The reservation
// is a file "<prefix>.lock" created exclusively, so concurrent runs (also of different programs)
// never share a prefix; release it with ReleaseResultPrefix when the run is over. Empty when no
// prefix could be reserved (a missing or unwritable folder).
std::string ReserveResultPrefix(const std::string& AOutputDir, const std::string& ATimeStamp);

// Removes the reservation of APrefix (its "<prefix>.lock" file); nothing for an empty prefix.
void ReleaseResultPrefix(const std::string& APrefix);

// A private working folder "<AName>-XXXXXX" made inside AParent (created when missing), removed
// with everything in it when the object goes. The readers wipe their working folder for every
// input, so a run gets one of its own, never a folder the user named or another run uses.
class TPrivateWorkDir {
 public:
  TPrivateWorkDir(const std::filesystem::path& AParent, const std::string& AName);
  ~TPrivateWorkDir();
  TPrivateWorkDir(const TPrivateWorkDir&) = delete;
  TPrivateWorkDir& operator=(const TPrivateWorkDir&) = delete;

  // Empty when the folder could not be made.
  const std::filesystem::path& Path() const { return FPath; }
  // Leaves the folder to the caller: the destructor no longer removes it.
  std::filesystem::path Release();

 private:
  std::filesystem::path FPath;
};

}  // namespace lexmora
