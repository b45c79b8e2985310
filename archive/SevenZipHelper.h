// Archive helper: unpacks ZIP packages into a folder and packs parts held in memory into a ZIP
// archive.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "DataTypeUnit.h"
#include "PartDeflateUnit.h"

namespace lexmora {

// The progress hook of archive creation is TOnProgressCallback (DataTypeUnit.h). Here AValue is
// the work done and AMaxValue the total work, both in bytes of the parts (AMaxValue is at
// least 1); it is called on the caller's thread while the archive is written, last with
// AValue == AMaxValue.

// Limits under which a package is refused before anything is written.
inline constexpr std::uint64_t ArchiveMaxTotalSize = 4ULL * 1024 * 1024 * 1024;  // declared bytes, all entries
inline constexpr std::uint64_t ArchiveMaxRatio = 1000;                            // declared size : stored size
inline constexpr std::uint64_t ArchiveMaxEntries = 100000;

// Extracts every entry of the ZIP archive AArchiveFileName into ADestDir (created when missing),
// recreating the stored folders. Answers false, never throws, when the name's extension is not of
// the ZIP family (".zip", ".docx", ".xlsx" and so on, letter case ignored), the archive is damaged
// or encrypted, or an entry is unsafe. Unsafe means: an absolute name, a drive letter, a ".."
// component, a symbolic link or other special file, or declared sizes beyond the limits above;
// on Windows also a name WindowsEntryNameProblem refuses, or two names WindowsNameClash finds
// (WindowsEntryNamesUnit.h).
// Note: all entries are checked before the first byte is written, so a refused archive leaves
// ADestDir as it was; a damaged entry found while writing can leave the entries before it.
// Entry names are read as UTF-8 when the archive flags them so, else as CP437; "\" counts as
// a folder separator. Nothing is ever written outside ADestDir. Reasons are logged, and given in
// one short clause in *AReason when it is not null ("entry name leaves the package", ...).
bool ExtractArchiveToDir(const std::string& AArchiveFileName, const std::string& ADestDir,
                         std::string* AReason = nullptr);

// One part of an archive written from memory: its entry name ("/" separated, relative) and its
// bytes, given as one or more pieces that follow one another; they must stay valid until
// CreateZipFromParts returns. Deflated, when set, holds the same bytes deflated ahead (so a
// writer can compress a big part while it makes the others); it is used when its size agrees.
struct TZipPart {
  TZipPart(std::string AName, std::string_view AData) : Name(std::move(AName)), Pieces{AData} {}
  TZipPart(std::string AName, std::vector<std::string_view> APieces,
           std::shared_ptr<const TDeflatedPart> ADeflated = nullptr)
      : Name(std::move(AName)), Pieces(std::move(APieces)), Deflated(std::move(ADeflated)) {}
  std::string Name;
  std::vector<std::string_view> Pieces;
  std::shared_ptr<const TDeflatedPart> Deflated;
  std::uint64_t Size() const;
};

// Deflates the bytes of APart as CreateZipFromParts does (DeflatePieces, PartDeflateUnit.h), to
// be handed to it in TZipPart::Deflated. Throws std::runtime_error when deflating fails or
// ACancel, when not null, is set before it starts, and std::bad_alloc without memory.
TDeflatedPart DeflateZipPart(const TZipPart& APart, const std::atomic<bool>* ACancel = nullptr);

// Writes the ZIP archive AArchiveFileName from AParts, in their order, each deflated by
// DeflateZipPart, every entry's header as the archive library writes it for the same bytes packed
// from a file of this process; the progress counts the parts' bytes.
// The parts are deflated before the archive is written, several at a time on the machine's
// cores; the archive's bytes are those one thread would give.
// Answers false, never throws, when the name does not end in ".zip" (letter case ignored), there
// is no part, a name is not a relative "/" name or writing fails (then described in *AReason
// when it is not null). An existing file named AArchiveFileName is replaced.
bool CreateZipFromParts(const std::vector<TZipPart>& AParts, const std::string& AArchiveFileName,
                        const TOnProgressCallback& AOnProgress = nullptr, std::string* AReason = nullptr);

}  // namespace lexmora
