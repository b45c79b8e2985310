#include "ResourceUnit.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "LoggerUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace resources {
extern const unsigned char kLogoPng[];
extern const std::size_t kLogoPngSize;
}  // namespace resources

namespace {

struct TResourceEntry {
  std::string_view Name;
  const unsigned char* Data;
  const std::size_t* Size;
};

// The outside libraries of the desktop build (R001 to R003) are not carried on this platform.
const TResourceEntry kResources[] = {
    {"R004", resources::kLogoPng, &resources::kLogoPngSize},
};

void CopyResource(const std::string& AResName, const std::string& AFileName) {
  const auto Data = FindResource(AResName);
  if (!Data) throw std::runtime_error("Resource \"" + AResName + "\" not found");
  std::ofstream Out(AFileName, std::ios::binary | std::ios::trunc);
  if (!Out) throw std::runtime_error("Cannot create file \"" + AFileName + "\"");
  Out.write(Data->data(), static_cast<std::streamsize>(Data->size()));
  Out.close();
  if (!Out) throw std::runtime_error("Cannot write file \"" + AFileName + "\"");
}

}  // namespace

std::optional<std::string_view> FindResource(std::string_view AResName) {
  for (const auto& Entry : kResources)
    if (Entry.Name == AResName) return std::string_view(reinterpret_cast<const char*>(Entry.Data), *Entry.Size);
  return std::nullopt;
}

void ExtractResToFile(const std::string& AResName, const std::string& AFileName) {
  try {
    CopyResource(AResName, AFileName);
  } catch (const std::exception& E) {
    Logger().AddException("TMainForm.ExtractResToFile", E);
    // Only a regular file can be a partial copy; a folder or device of that name is left alone.
    std::error_code Ec;
    const std::filesystem::path Name = PathFromUtf8(AFileName);
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(Name, Ec))) std::filesystem::remove(Name, Ec);
  }
}

}  // namespace lexmora
