// Helpers for import tests: scratch folders, file I/O and ZIP archives built on the spot.
#pragma once

#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lexmora::testutil {

namespace fs = std::filesystem;

// A fresh folder under the system temp folder, removed with everything in it at scope end.
class TScratchDir {
 public:
  TScratchDir() {
    std::random_device Rd;
    FPath = fs::temp_directory_path() / ("lexmora-import-" + std::to_string(Rd()) + std::to_string(Rd()));
    fs::create_directories(FPath);
  }
  ~TScratchDir() {
    std::error_code Ec;
    fs::remove_all(FPath, Ec);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const fs::path& Path() const { return FPath; }
  // The folder as a string that ends with "/", the form readers take as working folder.
  std::string Dir() const { return FPath.string() + "/"; }

 private:
  fs::path FPath;
};

inline void WriteFile(const fs::path& APath, const std::string& AData) {
  fs::create_directories(APath.parent_path());
  std::ofstream Out(APath, std::ios::binary | std::ios::trunc);
  Out.write(AData.data(), static_cast<std::streamsize>(AData.size()));
  if (!Out) throw std::runtime_error("cannot write " + APath.string());
}

inline std::string ReadFile(const fs::path& APath) {
  std::ifstream In(APath, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

// Files below AFolder, relative, sorted ("a/b.txt" form).
inline std::vector<std::string> ListTree(const fs::path& AFolder) {
  std::vector<std::string> Result;
  if (!fs::exists(AFolder)) return Result;
  for (const auto& E : fs::recursive_directory_iterator(AFolder)) {
    if (E.is_regular_file()) Result.push_back(fs::relative(E.path(), AFolder).generic_string());
  }
  std::sort(Result.begin(), Result.end());
  return Result;
}

// Writes a ZIP archive with libzip from (entry name, content) pairs, deflated; a name ending in
// "/" makes a folder entry.
inline void BuildZip(const fs::path& AArchive, const std::vector<std::pair<std::string, std::string>>& AEntries) {
  int Err = 0;
  zip_t* Zip = zip_open(AArchive.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &Err);
  if (!Zip) throw std::runtime_error("zip_open failed");
  for (const auto& [Name, Data] : AEntries) {
    if (!Name.empty() && Name.back() == '/') {
      if (zip_dir_add(Zip, Name.c_str(), ZIP_FL_ENC_UTF_8) < 0) throw std::runtime_error("zip_dir_add failed");
      continue;
    }
    // The buffer must outlive zip_close, so libzip gets its own copy.
    void* Copy = std::malloc(Data.size() ? Data.size() : 1);
    std::memcpy(Copy, Data.data(), Data.size());
    zip_source_t* Src = zip_source_buffer(Zip, Copy, Data.size(), 1);
    if (zip_file_add(Zip, Name.c_str(), Src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) throw std::runtime_error("zip_file_add failed");
  }
  if (zip_close(Zip) != 0) throw std::runtime_error("zip_close failed");
}

// Entry names of an archive in stored order, as raw bytes.
inline std::vector<std::string> ZipEntryNames(const fs::path& AArchive) {
  std::vector<std::string> Result;
  int Err = 0;
  zip_t* Zip = zip_open(AArchive.string().c_str(), ZIP_RDONLY, &Err);
  if (!Zip) return Result;
  const zip_int64_t N = zip_get_num_entries(Zip, 0);
  for (zip_int64_t I = 0; I < N; ++I) Result.push_back(zip_get_name(Zip, static_cast<zip_uint64_t>(I), ZIP_FL_ENC_RAW));
  zip_discard(Zip);
  return Result;
}

// One entry of a hand-made archive: raw name bytes, stored data, and the header fields that
// hostile archives lie about.
struct TRawEntry {
  std::string Name;
  std::string Data;
  std::uint16_t Flags = 0;              // bit 11: name is UTF-8
  std::uint32_t ExternalAttributes = 0;  // Unix mode in the upper 16 bits
  std::uint8_t MadeByOs = 0;             // 3 = Unix
  std::int64_t DeclaredSize = -1;        // uncompressed size in the headers; -1 = the real one
};

inline std::uint32_t Crc32(const std::string& AData) {
  std::uint32_t Crc = 0xFFFFFFFFu;
  for (unsigned char C : AData) {
    Crc ^= C;
    for (int K = 0; K < 8; ++K) Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
  }
  return ~Crc;
}

// Builds a stored (uncompressed) ZIP byte by byte, so tests can put anything in its headers.
inline std::string BuildRawZip(const std::vector<TRawEntry>& AEntries) {
  auto Put16 = [](std::string& S, std::uint32_t V) {
    S.push_back(static_cast<char>(V & 0xFF));
    S.push_back(static_cast<char>((V >> 8) & 0xFF));
  };
  auto Put32 = [&](std::string& S, std::uint32_t V) {
    Put16(S, V & 0xFFFF);
    Put16(S, V >> 16);
  };
  std::string Out, Central;
  for (const TRawEntry& E : AEntries) {
    const std::uint32_t Offset = static_cast<std::uint32_t>(Out.size());
    const std::uint32_t Crc = Crc32(E.Data);
    const std::uint32_t Size = E.DeclaredSize < 0 ? static_cast<std::uint32_t>(E.Data.size()) : static_cast<std::uint32_t>(E.DeclaredSize);
    Put32(Out, 0x04034b50);
    Put16(Out, 20);
    Put16(Out, E.Flags);
    Put16(Out, 0);  // stored
    Put16(Out, 0);
    Put16(Out, 0x21);
    Put32(Out, Crc);
    Put32(Out, static_cast<std::uint32_t>(E.Data.size()));
    Put32(Out, Size);
    Put16(Out, static_cast<std::uint32_t>(E.Name.size()));
    Put16(Out, 0);
    Out += E.Name;
    Out += E.Data;
    Put32(Central, 0x02014b50);
    Put16(Central, (static_cast<std::uint32_t>(E.MadeByOs) << 8) | 20);
    Put16(Central, 20);
    Put16(Central, E.Flags);
    Put16(Central, 0);
    Put16(Central, 0);
    Put16(Central, 0x21);
    Put32(Central, Crc);
    Put32(Central, static_cast<std::uint32_t>(E.Data.size()));
    Put32(Central, Size);
    Put16(Central, static_cast<std::uint32_t>(E.Name.size()));
    Put16(Central, 0);
    Put16(Central, 0);
    Put16(Central, 0);
    Put16(Central, 0);
    Put32(Central, E.ExternalAttributes);
    Put32(Central, Offset);
    Central += E.Name;
  }
  const std::uint32_t CentralOffset = static_cast<std::uint32_t>(Out.size());
  Out += Central;
  Put32(Out, 0x06054b50);
  Put16(Out, 0);
  Put16(Out, 0);
  Put16(Out, static_cast<std::uint32_t>(AEntries.size()));
  Put16(Out, static_cast<std::uint32_t>(AEntries.size()));
  Put32(Out, static_cast<std::uint32_t>(Central.size()));
  Put32(Out, CentralOffset);
  Put16(Out, 0);
  return Out;
}

}  // namespace lexmora::testutil
