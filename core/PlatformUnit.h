// What the engine needs of the operating system that the C++ standard library does not give.
// One implementation per system (PlatformPosixUnit.cpp, PlatformWindowsUnit.cpp); the comments
// below are the contract both keep. Paths are UTF-8. Everything the standard library does
// (folders, removing, plain reading) is done with it, not here.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace lexmora {

// How a file operation of this unit ended.
enum class TFileResult {
  frDone,
  frExists,  // the target exists already; nothing was created or replaced
  frFailed,
};

// The step a file operation failed at, for messages that name it.
enum class TFileStep { fsCreate, fsWrite, fsFlush, fsClose, fsRename };

// The outcome of a file operation: the result, and on failure the step and the system's reason.
struct TFileOutcome {
  TFileResult Result = TFileResult::frDone;
  TFileStep Step = TFileStep::fsCreate;
  // The system's error: errno in std::generic_category on POSIX, so Reason() reads as strerror
  // does; GetLastError in std::system_category on Windows.
  std::error_code Error;

  explicit operator bool() const { return Result == TFileResult::frDone; }
  std::string Reason() const { return Error.message(); }
};

// The user's home folder: HOME, else the account database (POSIX); USERPROFILE, else the
// profile known folder (Windows). Empty when neither gives one.
std::string UserHomeDir();

// The full path of the running program's file; empty when the system does not tell.
std::string ProgramFilePath();

// Whether the current user may create files in ADir (an existing folder).
bool CanCreateFilesIn(const std::string& ADir);

// The user's regional decimal separator (LC_NUMERIC of the environment; LOCALE_SDECIMAL of the
// user's locale on Windows), "." when unknown. Never changes the process's locale, so other
// threads may format numbers meanwhile.
std::string RegionalDecimalSeparator();

// ATime as local time; safe on several threads at once. All zero when ATime cannot be converted.
std::tm LocalBrokenDownTime(std::time_t ATime);
// ATime as UTC; the same guarantees.
std::tm UtcBrokenDownTime(std::time_t ATime);

// Creates APath as a new empty file (POSIX: mode 0644 less the umask).
// frExists when anything of that name exists, also a dangling link: it is never opened, truncated
// or replaced, so two processes never both succeed.
TFileOutcome CreateNewFile(const std::string& APath);

// Creates a new empty file APrefix + six random characters + ASuffix and sets ACreated to its
// name; readable by all, writable by the user (POSIX: mode 0644 whatever the umask, as the other
// files of the folder). Never opens an existing file: every call gives a file no other call or
// process got.
TFileOutcome CreateUniqueFile(const std::string& APrefix, const std::string& ASuffix, std::string& ACreated);

// Writes APieces one after another to APath, creating it (as CreateNewFile) or truncating it;
// on failure the file may hold part of them.
// With AFlush the data reaches the disk before this returns. Closing is checked too: some file
// systems report a full disk only there. Step names what failed.
TFileOutcome WriteFilePieces(const std::string& APath, const std::vector<std::string_view>& APieces,
                             bool AFlush = false);

// Moves the file AFrom to ATo in one step unless ATo exists. frExists when ATo exists, with both
// files left as they were: ATo is never replaced, also when it appears meanwhile. Note: on file
// systems without an atomic no-replace move, a hard link to ATo is made and AFrom removed after.
TFileOutcome RenameNoReplace(const std::string& AFrom, const std::string& ATo);

// Makes a new folder AParent / (AName + "-" + six random characters) that only the current user
// may enter; AParent must exist. Never takes a folder that exists. Empty when none could be made.
std::filesystem::path MakePrivateFolder(const std::filesystem::path& AParent, const std::string& AName);

// Told of a Ctrl-C. Runs in a signal handler (POSIX) or on a thread of the system's (Windows), so
// it may only touch lock-free atomics. Returns false to let Ctrl-C end the process as it does
// without a handler (POSIX: the default action; Windows: the next handler in the chain).
using TInterruptCallback = bool (*)();

// Calls ACallback on every Ctrl-C until RestoreInterruptHandler. One at a time: installing again
// before restoring is not allowed.
void InstallInterruptHandler(TInterruptCallback ACallback);
// Puts back the handling of Ctrl-C that was in place before InstallInterruptHandler.
void RestoreInterruptHandler();

// Whether the process's standard error is a terminal (so progress may be redrawn in place).
bool StandardErrorIsTerminal();

// Makes standard output and error pass bytes through unchanged (no LF turned into CR LF on
// Windows) and a console show them as UTF-8. Nothing to do on POSIX. Call before any output.
void PrepareStandardStreams();

}  // namespace lexmora
