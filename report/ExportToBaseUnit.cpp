#include "ExportToBaseUnit.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "Utf8Unit.h"

namespace lexmora {

TBaseFileCreator::TBaseFileCreator(const TDiffFileConstructorSettings& ASettings) : FSettings(ASettings) {}

TBaseFileCreator::~TBaseFileCreator() = default;

void TBaseFileCreator::AddAnalysis(const TPairAnalysis& /*AAnalysis*/, const TPairingAudit& /*AAudit*/) {}

std::string TBaseFileCreator::ResultFileFor(const std::string& ATrgLangPair) const {
  return FSettings.ResultFileName + ATrgLangPair + GetFileExtention();
}

bool TBaseFileCreator::IsSpecialChar(std::u32string_view AStr) {
  return AStr.size() == 1 && (AStr[0] == U'&' || AStr[0] == U'<' || AStr[0] == U'>');
}

std::string TBaseFileCreator::EscapeChar(std::u32string_view AStr) {
  if (AStr.size() == 1) {
    switch (AStr[0]) {
      case U'&':
        return "&amp;";
      case U'<':
        return "&lt;";
      case U'>':
        return "&gt;";
      default:
        break;
    }
  }
  std::string Result;
  AppendUtf8(Result, AStr);
  return Result;
}

bool TBaseFileCreator::AppendSpecialChar(std::string& AOut, char32_t AChar) {
  switch (AChar) {
    case U'&':
      AOut += "&amp;";
      return true;
    case U'<':
      AOut += "&lt;";
      return true;
    case U'>':
      AOut += "&gt;";
      return true;
    default:
      return false;
  }
}

bool TBaseFileCreator::IsTagSymbol(std::u32string_view AStr, const TTagDict& ADict) {
  for (const TTagDictRec& Rec : ADict)
    if (Rec.Symbol == AStr) return true;
  return false;
}

std::string TBaseFileCreator::EscapeText(std::string_view AText) {
  // One pass gives the same result as the three ordered replace-all passes: an inserted
  // entity's "&" is never looked at again.
  std::string Result;
  Result.reserve(AText.size() + AText.size() / 8);
  for (const char C : AText) {
    switch (C) {
      case '&':
        Result += "&amp;";
        break;
      case '<':
        Result += "&lt;";
        break;
      case '>':
        Result += "&gt;";
        break;
      default:
        Result.push_back(C);
        break;
    }
  }
  return Result;
}

void TBaseFileCreator::AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept,
                              const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) {
  bool Last = APrevKept;
  if (!ARun.OpensWithChar) {
    // The steps before the first character have none on this side; one of them stands for all.
    AddStrToStr(AIsTrPart, ACurrStr, {}, ARun.FirstPos - 1, ARun.Kept, Last, ADict, AIDDict, AShowTagsFlag);
    Last = ARun.Kept;
  }
  for (std::size_t I = 0; I < ARun.Text.size(); ++I) {
    AddStrToStr(AIsTrPart, ACurrStr, ARun.Text.substr(I, 1), ARun.FirstPos + static_cast<std::int32_t>(I), ARun.Kept,
                Last, ADict, AIDDict, AShowTagsFlag);
    Last = ARun.Kept;
  }
}

void TBaseFileCreator::AppendUtf8(std::string& AOut, std::u32string_view AStr) {
  for (const char32_t C : AStr) lexmora::AppendUtf8(AOut, C);
}

namespace {

std::string SystemReason(int AErrno) { return std::strerror(AErrno); }

// Writes all of AContent to AFd; false with errno set on failure. close() is checked too: some
// file systems report a full disk only there.
bool WriteAllAndClose(int AFd, const std::vector<std::string_view>& APieces) {
  for (const std::string_view Piece : APieces) {
    const char* P = Piece.data();
    std::size_t Left = Piece.size();
    while (Left > 0) {
      const ssize_t N = ::write(AFd, P, Left);
      if (N < 0 && errno == EINTR) continue;
      if (N <= 0) {
        const int Saved = N == 0 ? EIO : errno;
        ::close(AFd);
        errno = Saved;
        return false;
      }
      P += N;
      Left -= static_cast<std::size_t>(N);
    }
  }
  return ::close(AFd) == 0;
}

}  // namespace

void TBaseFileCreator::WriteFileContent(const std::string& AFileName, std::string_view AContent) {
  const int Fd = ::open(AFileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (Fd < 0) throw std::runtime_error("Cannot create file " + AFileName + ": " + SystemReason(errno));
  if (!WriteAllAndClose(Fd, {AContent}))
    throw std::runtime_error("Cannot write file " + AFileName + ": " + SystemReason(errno));
}

void TBaseFileCreator::WriteNewFile(const std::string& AFileName, std::string_view AContent) {
  WriteNewFile(AFileName, std::vector<std::string_view>{AContent});
}

void TBaseFileCreator::WriteNewFile(const std::string& AFileName, const std::vector<std::string_view>& APieces) {
  std::string Temp = AFileName + ".XXXXXX.tmp";
  const int Fd = ::mkostemps(Temp.data(), 4, O_CLOEXEC);
  if (Fd < 0) throw std::runtime_error("cannot create a temporary file: " + SystemReason(errno));
  const auto Fail = [&Temp](const std::string& AWhat) {
    const int Saved = errno;
    ::unlink(Temp.c_str());
    throw std::runtime_error(AWhat + ": " + SystemReason(Saved));
  };
  // mkostemps creates the file 0600; a report is as readable as the other files it writes.
  ::fchmod(Fd, 0644);
  if (!WriteAllAndClose(Fd, APieces)) Fail("cannot write");
  if (!RenameNoReplace(Temp, AFileName)) {
    if (errno == EEXIST) {
      ::unlink(Temp.c_str());
      throw std::runtime_error("a file of this name exists already");
    }
    Fail("cannot rename the temporary file");
  }
}

bool TBaseFileCreator::RenameNoReplace(const std::string& AFrom, const std::string& ATo) {
  if (::renameat2(AT_FDCWD, AFrom.c_str(), AT_FDCWD, ATo.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace flag: a hard link fails just as well when ATo exists.
  if (::link(AFrom.c_str(), ATo.c_str()) != 0) return false;
  ::unlink(AFrom.c_str());
  return true;
}

}  // namespace lexmora
