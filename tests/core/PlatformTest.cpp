#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "PlatformTestSupport.h"
#include "PlatformUnit.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <thread>
#endif

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("lexmora-platform-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  std::string At(const std::string& AName) const { return (FDir / AName).string(); }
  static void Write(const std::string& APath, const std::string& AText) { std::ofstream(APath) << AText; }
  static std::string Read(const std::string& APath) {
    std::ifstream In(APath);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  }

  fs::path FDir;
};

constexpr fs::perms kReadable =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

TEST_F(PlatformTest, RenameNoReplaceMovesOnlyOntoAFreeName) {
  Write(At("from"), "new");
  Write(At("to"), "old");
  EXPECT_EQ(RenameNoReplace(At("from"), At("to")).Result, TFileResult::frExists);
  EXPECT_EQ(Read(At("from")) + Read(At("to")), "newold");

  EXPECT_TRUE(RenameNoReplace(At("from"), At("free")));
  EXPECT_FALSE(fs::exists(At("from")));
  EXPECT_EQ(Read(At("free")), "new");

  const TFileOutcome Missing = RenameNoReplace(At("from"), At("other"));
  EXPECT_EQ(Missing.Result, TFileResult::frFailed);
#ifdef _WIN32
  EXPECT_EQ(Missing.Error, std::error_code(ERROR_FILE_NOT_FOUND, std::system_category()));
  EXPECT_FALSE(Missing.Reason().empty());  // the system's own text
#else
  EXPECT_EQ(Missing.Reason(), "No such file or directory");  // the text error lines show
#endif
}

TEST_F(PlatformTest, CreateNewFileNeverOpensWhatExists) {
  EXPECT_TRUE(CreateNewFile(At("lock")));
  Write(At("kept"), "content");
  EXPECT_EQ(CreateNewFile(At("kept")).Result, TFileResult::frExists);
  EXPECT_EQ(Read(At("kept")), "content");
  EXPECT_EQ(CreateNewFile(At("missing/lock")).Result, TFileResult::frFailed);
#ifdef _WIN32
  GTEST_SKIP() << "file modes and symbolic links (a privilege of its own) are checked on POSIX only";
#endif
  EXPECT_EQ(fs::status(At("lock")).permissions() & ~kReadable, fs::perms::none);
  fs::create_symlink(At("nowhere"), At("dangling"));
  EXPECT_EQ(CreateNewFile(At("dangling")).Result, TFileResult::frExists);
  EXPECT_FALSE(fs::exists(At("nowhere")));
}

TEST_F(PlatformTest, UniqueFilesAreNewDistinctAndReadable) {
  const std::string Prefix = At("Result_x.html.");
  std::set<std::string> Names;
  for (int I = 0; I < 20; ++I) {
    std::string Name;
    ASSERT_TRUE(CreateUniqueFile(Prefix, ".tmp", Name));
    EXPECT_EQ(Name.substr(0, Prefix.size()) + Name.substr(Prefix.size() + 6), Prefix + ".tmp");
#ifndef _WIN32
    EXPECT_EQ(fs::status(Name).permissions(), kReadable);
#endif
    Names.insert(Name);
  }
  EXPECT_EQ(Names.size(), 20u);
  std::string Name;
  EXPECT_EQ(CreateUniqueFile(At("missing/x."), "", Name).Result, TFileResult::frFailed);
}

TEST_F(PlatformTest, WriteFilePiecesReplacesTheWholeContent) {
  Write(At("out"), "a much longer old content");
  EXPECT_TRUE(WriteFilePieces(At("out"), {"one ", "", "two"}, true));
  EXPECT_EQ(Read(At("out")), "one two");
  const TFileOutcome IntoFolder = WriteFilePieces(FDir.string(), {"x"});
  EXPECT_EQ(IntoFolder.Step, TFileStep::fsCreate);
#ifdef _WIN32
  EXPECT_EQ(IntoFolder.Error, std::error_code(ERROR_ACCESS_DENIED, std::system_category()));
#else
  EXPECT_EQ(IntoFolder.Reason(), "Is a directory");
#endif
}

#ifdef _WIN32
// The folder's access list is its own (nothing inherited) and lets in the current user alone.
// wine keeps no access lists on Linux file systems: it reads them back from the Unix modes.
void ExpectOnlyTheUsers(const fs::path& AFolder) {
  if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
    GTEST_SKIP() << "under wine, access lists are not kept";
  PACL Dacl = nullptr;
  PSECURITY_DESCRIPTOR Descriptor = nullptr;
  ASSERT_EQ(::GetNamedSecurityInfoW(AFolder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &Dacl,
                                    nullptr, &Descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  SECURITY_DESCRIPTOR_CONTROL Control = 0;
  DWORD Revision = 0;
  ::GetSecurityDescriptorControl(Descriptor, &Control, &Revision);
  EXPECT_TRUE(Control & SE_DACL_PROTECTED);
  ASSERT_NE(Dacl, nullptr);
  ASSERT_EQ(Dacl->AceCount, 1);
  ACCESS_ALLOWED_ACE* Ace = nullptr;
  ASSERT_TRUE(::GetAce(Dacl, 0, reinterpret_cast<void**>(&Ace)));
  EXPECT_EQ(Ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
  HANDLE Token = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &Token));
  std::string User(256, '\0');
  DWORD Size = static_cast<DWORD>(User.size());
  ASSERT_TRUE(::GetTokenInformation(Token, TokenUser, User.data(), Size, &Size));
  ::CloseHandle(Token);
  EXPECT_TRUE(::EqualSid(&Ace->SidStart, reinterpret_cast<TOKEN_USER*>(User.data())->User.Sid));
  ::LocalFree(Descriptor);
}
#endif

TEST_F(PlatformTest, PrivateFoldersAreDistinctAndOnlyTheUsers) {
  const fs::path A = MakePrivateFolder(FDir, "run");
  const fs::path B = MakePrivateFolder(FDir, "run");
  ASSERT_FALSE(A.empty() || B.empty());
  EXPECT_NE(A, B);
  EXPECT_EQ(A.parent_path(), FDir);
  EXPECT_EQ(A.filename().string().rfind("run-", 0), 0u);
  EXPECT_EQ(A.filename().string().size(), 10u);
#ifdef _WIN32
  ExpectOnlyTheUsers(A);
#else
  EXPECT_EQ(fs::status(A).permissions(), fs::perms::owner_all);
#endif
  EXPECT_TRUE(MakePrivateFolder(FDir / "missing", "run").empty());
}

std::string Stamp(const std::tm& ATime) {
  char Buffer[32];
  return std::string(Buffer, std::strftime(Buffer, sizeof Buffer, "%Y-%m-%d %H:%M:%S", &ATime));
}

// Windows's C library knows no zone names, only the POSIX form, and applies the US rules for
// summer time to it (wine none at all): there the zone is one hour east without summer time.
#ifdef _WIN32
constexpr const char* kZone = "CET-1";
constexpr const char* kJulyNoon = "2024-07-01 13:00:00";
void ReadTimeZone() { ::_tzset(); }
#else
constexpr const char* kZone = "Europe/Berlin";
constexpr const char* kJulyNoon = "2024-07-01 14:00:00";  // summer time
void ReadTimeZone() { ::tzset(); }
#endif

TEST(PlatformTime, BrokenDownTimeOfKnownMoments) {
  EXPECT_EQ(Stamp(UtcBrokenDownTime(0)), "1970-01-01 00:00:00");
  EXPECT_EQ(Stamp(UtcBrokenDownTime(951827696)), "2000-02-29 12:34:56");
  {
    test_support::TScopedEnv Zone("TZ", kZone);
    ReadTimeZone();
    EXPECT_EQ(Stamp(LocalBrokenDownTime(1719835200)), kJulyNoon);
    EXPECT_EQ(Stamp(LocalBrokenDownTime(1704110400)), "2024-01-01 13:00:00");
    // Read back through mktime, local time gives the moment again, across the year's changes.
    for (std::time_t T = 1704067200; T < 1735689600; T += 86400 * 7 + 3607) {
      std::tm Local = LocalBrokenDownTime(T);
      EXPECT_EQ(std::mktime(&Local), T);
    }
  }
  ReadTimeZone();
}

// No signal reaches the engine under emscripten.
#ifndef __EMSCRIPTEN__
std::atomic<int> GCalls{0};

#ifdef _WIN32
// Ctrl-C goes to every process of a console, handled on a thread of the system's. A console of
// the test's own keeps it from the test programs that run beside it.
bool MakeOwnConsole() {
  ::FreeConsole();
  return ::AllocConsole() != 0;
}

bool CallsComeTo(int ACount) {
  for (int I = 0; I < 500 && GCalls.load() != ACount; ++I) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return GCalls.load() == ACount;
}

TEST(PlatformInterrupt, CallbackOnEveryCtrlCWhileInstalled) {
  if (!MakeOwnConsole()) GTEST_SKIP() << "no console to press Ctrl-C in";
  InstallInterruptHandler([] { return GCalls.fetch_add(1) >= 0; });
  ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
  EXPECT_TRUE(CallsComeTo(1));
  ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
  EXPECT_TRUE(CallsComeTo(2));
  RestoreInterruptHandler();
  // Ignored for the moment, so that it cannot end the test: the callback is not told any more.
  ::SetConsoleCtrlHandler(nullptr, TRUE);
  ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ::SetConsoleCtrlHandler(nullptr, FALSE);
  EXPECT_EQ(GCalls.load(), 2);
}

TEST(PlatformInterruptDeathTest, CallbackAnsweringFalseEndsTheProcessAsCtrlCDoes) {
  if (!MakeOwnConsole()) GTEST_SKIP() << "no console to press Ctrl-C in";
  EXPECT_EXIT(
      {
        MakeOwnConsole();
        InstallInterruptHandler([] { return false; });
        ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        std::this_thread::sleep_for(std::chrono::seconds(10));
      },
      // Windows's own handler exits with STATUS_CONTROL_C_EXIT, wine's with 0; a process that
      // outlived the sleep would fail the test as one that did not die.
      [](int ACode) { return ACode == static_cast<int>(STATUS_CONTROL_C_EXIT) || ACode == 0; }, "");
}
#else
std::atomic<int> GPreviousCalls{0};
extern "C" void PreviousHandler(int) { GPreviousCalls.fetch_add(1); }

TEST(PlatformInterrupt, CallbackWhileInstalledThenThePreviousHandler) {
  const auto Previous = std::signal(SIGINT, PreviousHandler);
  InstallInterruptHandler([] { return GCalls.fetch_add(1) >= 0; });
  std::raise(SIGINT);
  std::raise(SIGINT);
  RestoreInterruptHandler();
  EXPECT_EQ(GCalls.load(), 2);
  EXPECT_EQ(GPreviousCalls.load(), 0);
  std::raise(SIGINT);
  EXPECT_EQ(GPreviousCalls.load(), 1);
  std::signal(SIGINT, Previous);
}

TEST(PlatformInterruptDeathTest, CallbackAnsweringFalseEndsTheProcessAsCtrlCDoes) {
  EXPECT_EXIT(
      {
        InstallInterruptHandler([] { return false; });
        std::raise(SIGINT);
      },
      ::testing::KilledBySignal(SIGINT), "");
}
#endif
#endif

}  // namespace
