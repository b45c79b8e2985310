#include "InputFolderUnit.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ImportFromBaseUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

std::vector<std::string> SupportedFilesBelow(const std::string& ADir) {
  std::vector<std::string> Relative;
  std::error_code Ec;
  const fs::path Dir = PathFromUtf8(ADir);
  if (!fs::is_directory(Dir, Ec)) return {};
  fs::recursive_directory_iterator It(Dir, fs::directory_options::skip_permission_denied, Ec), End;
  for (; !Ec && It != End; It.increment(Ec)) {
    std::error_code TypeEc;
    if (!It->is_regular_file(TypeEc)) continue;
    const std::string Name = Utf8FromPath(It->path().filename());
    if (TImporter::DefineFileType(Name) == TFileTypeGroup::ftg_undefined) continue;
    Relative.push_back(GenericUtf8FromPath(It->path().lexically_relative(Dir)));
  }
  std::sort(Relative.begin(), Relative.end());
  std::vector<std::string> Files;
  Files.reserve(Relative.size());
  const std::string Base = !ADir.empty() && ADir.back() == '/' ? ADir : ADir + "/";
  for (const std::string& R : Relative) Files.push_back(Base + R);
  return Files;
}

std::string NoReaderReason(const std::string& AFileName) {
  std::error_code Ec;
  const fs::path Path = PathFromUtf8(AFileName);
  if (fs::is_directory(Path, Ec))
    return SupportedFilesBelow(AFileName).empty() ? "a folder with no supported file" : "a folder, not a file";
  if (!fs::exists(Path, Ec)) return "no such file";
  const std::string Ext = Utf8FromPath(Path.extension());
  return Ext.empty() ? "unsupported file type" : "unsupported file type (" + Ext + ")";
}

}  // namespace lexmora
