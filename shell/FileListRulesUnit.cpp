#include "FileListRulesUnit.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <unordered_set>

namespace lexmora {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 8> kExtensions = {".sdlrpx", ".sdlppx", ".sdlxliff", ".mqxliff",
                                                         ".mqxlz",  ".mxliff", ".xlf",      ".xliff"};

// Next code point of the UTF-8 text at APos; a byte that starts no valid sequence stands for itself.
char32_t NextCodePoint(const std::string& AText, std::size_t& APos) {
  const auto B = static_cast<unsigned char>(AText[APos++]);
  int More = B >= 0xF0 && B < 0xF8 ? 3 : B >= 0xE0 ? 2 : B >= 0xC0 ? 1 : 0;
  if (B >= 0x80 && B < 0xC0) More = 0;
  char32_t C = More == 3 ? B & 0x07 : More == 2 ? B & 0x0F : More == 1 ? B & 0x1F : B;
  const std::size_t Start = APos;
  for (int I = 0; I < More; ++I) {
    if (APos >= AText.size() || (static_cast<unsigned char>(AText[APos]) & 0xC0) != 0x80) {
      APos = Start;
      return B;
    }
    C = (C << 6) | (static_cast<unsigned char>(AText[APos++]) & 0x3F);
  }
  return C;
}

// Lower case for the scripts file names are usually written in.
char32_t FoldCase(char32_t C) {
  if (C >= U'A' && C <= U'Z') return C + 32;
  if ((C >= 0xC0 && C <= 0xDE && C != 0xD7) || (C >= 0x391 && C <= 0x3AB && C != 0x3A2) || (C >= 0x410 && C <= 0x42F))
    return C + 32;
  if (C >= 0x400 && C <= 0x40F) return C + 80;  // Ѐ to Џ
  if (C == 0x178) return 0xFF;                  // Ÿ
  if (C >= 0x100 && C <= 0x17F && C != 0x130 && C != 0x131 && C != 0x138 && C != 0x149 && C != 0x17F) {
    // Latin Extended-A pairs: even upper, odd lower, except for the run 0x139-0x148 and 0x179-0x17E.
    const bool OddUpper = (C >= 0x139 && C <= 0x148) || (C >= 0x179 && C <= 0x17E);
    if (OddUpper ? (C % 2 == 1) : (C % 2 == 0)) return C + 1;
  }
  return C;
}

int CompareFolded(const std::string& A, const std::string& B) {
  std::size_t I = 0;
  std::size_t J = 0;
  while (I < A.size() && J < B.size()) {
    const char32_t X = FoldCase(NextCodePoint(A, I));
    const char32_t Y = FoldCase(NextCodePoint(B, J));
    if (X != Y) return X < Y ? -1 : 1;
  }
  if (I < A.size()) return 1;
  if (J < B.size()) return -1;
  return 0;
}

std::string AbsoluteNormal(const std::string& APath) {
  std::error_code Ec;
  const fs::path Abs = fs::absolute(APath, Ec);
  return (Ec ? fs::path(APath) : Abs).lexically_normal().string();
}

}  // namespace

bool HasAcceptedExtension(const std::string& APath) {
  return std::any_of(kExtensions.begin(), kExtensions.end(), [&](std::string_view E) {
    return APath.size() > E.size() && APath.compare(APath.size() - E.size(), E.size(), E) == 0;
  });
}

TFileRefusal CheckFileForList(const std::string& APath, bool ACheckExtension) {
  if (APath.find_first_of("\r\n") != std::string::npos) return TFileRefusal::frLineBreak;
  if (ACheckExtension && !HasAcceptedExtension(APath)) return TFileRefusal::frExtension;
  std::error_code Ec;
  if (APath.empty() || !fs::is_regular_file(APath, Ec)) return TFileRefusal::frNotRegularFile;
  return TFileRefusal::frAccepted;
}

std::string CanonicalFileKey(const std::string& APath) {
  std::error_code Ec;
  const fs::path Canonical = fs::canonical(APath, Ec);
  return Ec ? AbsoluteNormal(APath) : Canonical.string();
}

TAddFilesResult AddFilesToList(std::vector<std::string>& AList, const std::vector<std::string>& APaths,
                               bool ACheckExtension) {
  TAddFilesResult Result;
  std::unordered_set<std::string> Keys;
  Keys.reserve(AList.size() + APaths.size());
  for (const std::string& P : AList) Keys.insert(CanonicalFileKey(P));
  for (const std::string& P : APaths) {
    const TFileRefusal R = CheckFileForList(P, ACheckExtension);
    if (R == TFileRefusal::frLineBreak) {
      Result.LineBreakPaths.push_back(P);
    } else if (R != TFileRefusal::frAccepted || !Keys.insert(CanonicalFileKey(P)).second) {
      ++Result.SkippedCount;
    } else {
      AList.push_back(AbsoluteNormal(P));
      ++Result.AddedCount;
    }
  }
  if (Result.AddedCount > 0) SortFileList(AList);
  return Result;
}

bool FileListLess(const std::string& A, const std::string& B) {
  const int C = CompareFolded(A, B);
  return C != 0 ? C < 0 : A < B;
}

void SortFileList(std::vector<std::string>& AList) { std::sort(AList.begin(), AList.end(), FileListLess); }

}  // namespace lexmora
