// The platform seam on Windows: every call takes UTF-16, converted from and to the seam's UTF-8.
#include <windows.h>
// After windows.h, which these need.
#include <bcrypt.h>
#include <fcntl.h>
#include <io.h>
#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "PlatformUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace {

std::wstring Widen(std::string_view AText) {
  if (AText.empty()) return {};
  const int Size = ::MultiByteToWideChar(CP_UTF8, 0, AText.data(), static_cast<int>(AText.size()), nullptr, 0);
  std::wstring R(static_cast<std::size_t>(Size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, AText.data(), static_cast<int>(AText.size()), R.data(), Size);
  return R;
}

std::string Narrow(std::wstring_view AText) {
  if (AText.empty()) return {};
  const int Size =
      ::WideCharToMultiByte(CP_UTF8, 0, AText.data(), static_cast<int>(AText.size()), nullptr, 0, nullptr, nullptr);
  std::string R(static_cast<std::size_t>(Size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, AText.data(), static_cast<int>(AText.size()), R.data(), Size, nullptr, nullptr);
  return R;
}

TFileOutcome Failed(TFileStep AStep, DWORD AError) {
  TFileOutcome R;
  R.Result =
      AError == ERROR_FILE_EXISTS || AError == ERROR_ALREADY_EXISTS ? TFileResult::frExists : TFileResult::frFailed;
  R.Step = AStep;
  R.Error = std::error_code(static_cast<int>(AError), std::system_category());
  return R;
}

// Closes AFile keeping the error of the failure that made the caller give up.
TFileOutcome CloseAfterFailure(HANDLE AFile, TFileStep AStep, DWORD AError) {
  ::CloseHandle(AFile);
  return Failed(AStep, AError);
}

// Six characters from the system's random generator, as mkstemp's: letters and digits, which are
// valid in every file system's names (the case-insensitive ones just have fewer to choose from).
std::string RandomName() {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char Bytes[6] = {};
  if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, Bytes, sizeof Bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    // Still unique enough with the time and process id: creation never takes an existing name.
    const unsigned long long Seed =
        ::GetTickCount64() ^ (static_cast<unsigned long long>(::GetCurrentProcessId()) << 20);
    for (std::size_t I = 0; I < sizeof Bytes; ++I) Bytes[I] = static_cast<unsigned char>(Seed >> (I * 7));
  }
  std::string R;
  for (const unsigned char B : Bytes) R += kChars[B % (sizeof kChars - 1)];
  return R;
}

// Tries random names until one is new; gives up after as many tries as mkstemp does at most.
constexpr int kNameTries = 100;

HANDLE CreateNew(const std::string& APath, DWORD AFlags = FILE_ATTRIBUTE_NORMAL) {
  return ::CreateFileW(Widen(APath).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                       AFlags, nullptr);
}

// A protected access list that lets only the current user in, inherited by what is made inside.
// Empty when the process's user cannot be told.
std::wstring OwnerOnlySecurity() {
  HANDLE Token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &Token)) return {};
  DWORD Size = 0;
  ::GetTokenInformation(Token, TokenUser, nullptr, 0, &Size);
  std::string Buffer(Size, '\0');
  std::wstring R;
  LPWSTR Sid = nullptr;
  if (Size > 0 && ::GetTokenInformation(Token, TokenUser, Buffer.data(), Size, &Size) &&
      ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(Buffer.data())->User.Sid, &Sid)) {
    R = std::wstring(L"D:P(A;OICI;FA;;;") + Sid + L")";
    ::LocalFree(Sid);
  }
  ::CloseHandle(Token);
  return R;
}

std::atomic<TInterruptCallback> GInterruptCallback{nullptr};

BOOL WINAPI OnConsoleControl(DWORD AEvent) {
  if (AEvent != CTRL_C_EVENT) return FALSE;
  const TInterruptCallback Callback = GInterruptCallback.load();
  // FALSE hands the event on, in the end to the system's handler, which ends the process.
  return Callback && Callback() ? TRUE : FALSE;
}

}  // namespace

std::string UserHomeDir() {
  if (const wchar_t* Profile = ::_wgetenv(L"USERPROFILE"); Profile && *Profile) return Narrow(Profile);
  PWSTR Known = nullptr;
  std::string R;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &Known))) R = Narrow(Known);
  ::CoTaskMemFree(Known);
  return R;
}

std::string ProgramFilePath() {
  std::wstring Buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD N = ::GetModuleFileNameW(nullptr, Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (N == 0) return {};
    // A full buffer means the name was cut (long paths exceed MAX_PATH).
    if (N < Buffer.size()) return Narrow(std::wstring_view(Buffer.data(), N));
    Buffer.resize(Buffer.size() * 2);
  }
}

bool CanCreateFilesIn(const std::string& ADir) {
  // Windows answers this only by trying: access lists, not the read-only flag, decide.
  const std::string Base = Utf8FromPath(PathFromUtf8(ADir) / ".lexmora-probe-");
  for (int Try = 0; Try < kNameTries; ++Try) {
    const HANDLE H = CreateNew(Base + RandomName(), FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
    if (H != INVALID_HANDLE_VALUE) {
      ::CloseHandle(H);
      return true;
    }
    const DWORD Error = ::GetLastError();
    if (Error != ERROR_FILE_EXISTS && Error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

std::string RegionalDecimalSeparator() {
  wchar_t Buffer[8] = {};
  const int N = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, Buffer, 8);
  // N counts the terminating zero.
  if (N <= 1) return ".";
  return Narrow(std::wstring_view(Buffer, static_cast<std::size_t>(N - 1)));
}

std::tm LocalBrokenDownTime(std::time_t ATime) {
  std::tm R{};
  if (::localtime_s(&R, &ATime) != 0) return std::tm{};
  return R;
}

std::tm UtcBrokenDownTime(std::time_t ATime) {
  std::tm R{};
  if (::gmtime_s(&R, &ATime) != 0) return std::tm{};
  return R;
}

TFileOutcome CreateNewFile(const std::string& APath) {
  const HANDLE H = CreateNew(APath);
  if (H == INVALID_HANDLE_VALUE) return Failed(TFileStep::fsCreate, ::GetLastError());
  ::CloseHandle(H);  // nothing was written, so nothing can be lost
  return {};
}

TFileOutcome CreateUniqueFile(const std::string& APrefix, const std::string& ASuffix, std::string& ACreated) {
  TFileOutcome R;
  for (int Try = 0; Try < kNameTries; ++Try) {
    std::string Name = APrefix + RandomName() + ASuffix;
    R = CreateNewFile(Name);
    if (R) {
      ACreated = std::move(Name);
      return R;
    }
    if (R.Result != TFileResult::frExists) return R;
  }
  // As mkstemp: every name tried was taken.
  R.Result = TFileResult::frFailed;
  return R;
}

TFileOutcome WriteFilePieces(const std::string& APath, const std::vector<std::string_view>& APieces, bool AFlush) {
  const HANDLE H = ::CreateFileW(Widen(APath).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (H == INVALID_HANDLE_VALUE) return Failed(TFileStep::fsCreate, ::GetLastError());
  for (const std::string_view Piece : APieces) {
    const char* P = Piece.data();
    std::size_t Left = Piece.size();
    while (Left > 0) {
      // One call writes at most what a DWORD counts.
      const DWORD Chunk = static_cast<DWORD>(std::min<std::size_t>(Left, 1u << 30));
      DWORD Written = 0;
      if (!::WriteFile(H, P, Chunk, &Written, nullptr))
        return CloseAfterFailure(H, TFileStep::fsWrite, ::GetLastError());
      if (Written == 0) return CloseAfterFailure(H, TFileStep::fsWrite, ERROR_WRITE_FAULT);
      P += Written;
      Left -= Written;
    }
  }
  if (AFlush && !::FlushFileBuffers(H)) return CloseAfterFailure(H, TFileStep::fsFlush, ::GetLastError());
  if (!::CloseHandle(H)) return Failed(TFileStep::fsClose, ::GetLastError());
  return {};
}

TFileOutcome RenameNoReplace(const std::string& AFrom, const std::string& ATo) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when ATo exists, checked by the file system in
  // the same step; without MOVEFILE_COPY_ALLOWED it stays one step, as rename on POSIX.
  if (::MoveFileExW(Widen(AFrom).c_str(), Widen(ATo).c_str(), 0)) return {};
  return Failed(TFileStep::fsRename, ::GetLastError());
}

std::filesystem::path MakePrivateFolder(const std::filesystem::path& AParent, const std::string& AName) {
  const std::wstring Sddl = OwnerOnlySecurity();
  PSECURITY_DESCRIPTOR Descriptor = nullptr;
  if (Sddl.empty() ||
      !::ConvertStringSecurityDescriptorToSecurityDescriptorW(Sddl.c_str(), SDDL_REVISION_1, &Descriptor, nullptr))
    return {};
  SECURITY_ATTRIBUTES Security{sizeof(SECURITY_ATTRIBUTES), Descriptor, FALSE};
  std::filesystem::path R;
  for (int Try = 0; Try < kNameTries && R.empty(); ++Try) {
    const std::filesystem::path Candidate = AParent / Widen(AName + "-" + RandomName());
    if (::CreateDirectoryW(Candidate.c_str(), &Security))
      R = Candidate;
    else if (::GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  ::LocalFree(Descriptor);
  return R;
}

void InstallInterruptHandler(TInterruptCallback ACallback) {
  GInterruptCallback.store(ACallback);
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void RestoreInterruptHandler() {
  ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  GInterruptCallback.store(nullptr);
}

bool StandardErrorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }

void PrepareStandardStreams() {
  // Reports' paths and the JSON end their lines with LF, as on every other system.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace lexmora
