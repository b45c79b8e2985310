// Fuzzes the extraction of packages: any bytes as a ZIP archive. Besides crashes, hangs and
// sanitizer reports it checks that nothing appears outside the destination folder.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "SevenZipHelper.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

fs::path GWork;  // holds "in.zip" and "dest/" and nothing else

std::size_t CountEntries(const fs::path& AFolder) {
  std::size_t N = 0;
  std::error_code Ec;
  for (auto It = fs::recursive_directory_iterator(AFolder, Ec); !Ec && It != fs::recursive_directory_iterator(); It.increment(Ec)) ++N;
  return N;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const fs::path Dir = fuzz::SilenceLog();
  if (!Dir.empty()) GWork = Dir / "work";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  fs::remove_all(GWork);
  fs::create_directories(GWork / "dest");
  {
    std::ofstream Out(GWork / "in.zip", std::ios::binary);
    Out.write(reinterpret_cast<const char*>(AData), static_cast<std::streamsize>(ASize));
  }
  ExtractArchiveToDir((GWork / "in.zip").string(), (GWork / "dest").string());
  std::size_t Outside = 0;
  for (const fs::directory_entry& E : fs::directory_iterator(GWork))
    if (E.path().filename() != "in.zip" && E.path().filename() != "dest") ++Outside;
  if (Outside != 0 || CountEntries(GWork.parent_path()) != CountEntries(GWork) + 4) {
    std::fprintf(stderr, "an entry was written outside the destination\n");
    std::abort();
  }
  return 0;
}
