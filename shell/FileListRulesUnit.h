// Which files the two file lists take, and their order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lexmora {

// The answer for one path offered to a file list.
enum class TFileRefusal : std::uint8_t {
  frAccepted = 0,
  frLineBreak = 1,       // the path holds CR or LF: it could not be shown on one line of the lists, log and reports
  frNotRegularFile = 2,  // missing, a folder, a device, a pipe...
  frExtension = 3,       // none of the eight extensions (compared case-sensitively, as the readers decide)
  frAlreadyInList = 4,   // the list holds a path to the same file (same canonical path)
};

// True when APath ends with .sdlrpx, .sdlppx, .sdlxliff, .mqxliff, .mqxlz, .mxliff, .xlf or .xliff
// (exact case).
bool HasAcceptedExtension(const std::string& APath);

// The refusal for APath by itself (not looking at any list). ACheckExtension is false for paths
// chosen in the file dialog, whose filter the user may have set to all files.
TFileRefusal CheckFileForList(const std::string& APath, bool ACheckExtension = true);

// The key under which two paths name the same file: the canonical path (links and "." / ".."
// resolved); the absolute normal path when it cannot be resolved.
std::string CanonicalFileKey(const std::string& APath);

struct TAddFilesResult {
  int AddedCount = 0;
  std::vector<std::string> LineBreakPaths;  // refused, to be named in a message to the user
  int SkippedCount = 0;                     // refused silently: other types, folders, duplicates
};

// Adds each accepted path of APaths (in their order) to AList as its absolute normal path, unless
// AList already holds the same file; then sorts AList with FileListLess.
TAddFilesResult AddFilesToList(std::vector<std::string>& AList, const std::vector<std::string>& APaths,
                               bool ACheckExtension = true);

// The lists' order: alphabetical without regard to letter case (Latin, Greek, Cyrillic), ties by
// the exact text so that the order is total.
bool FileListLess(const std::string& A, const std::string& B);
void SortFileList(std::vector<std::string>& AList);

}  // namespace lexmora
