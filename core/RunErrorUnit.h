// One line of a comparison run's error log, kept as a record until it is shown.
//
// Every failure the run reports names what failed and, where known, why:
//   "<message>: <path>[ (<document>)][: <reason>]"
// for instance
//   "Failed to read source file data!: before/p.sdlppx (de-de/a.sdlxliff): not well-formed XML at line 12, column 5"
// The same record gives the desktop's log pane line, the command-line tool's stderr line and its
// JSON object ({"side", "path", "document", "message", "reason"}).
//
// How a part of the program reports a reason:
// - A reader (TImporter) calls NoteFailure(reason) before it returns a failure (ExtractFile other
//   than efrOk, GetDataFromFile false); a reader of a package also names the document inside it.
//   The run takes the reasons from the reader's Failures() once ReadAll returns
//   (TDiffFileConstructor::ImportFile).
// - The XML layer throws EXmlError, whose Reason() is the short clause (line and column of a
//   parse error, "not UTF-8", ...); a reader that catches it passes that on with NoteFailure.
// - The archive helper hands its refusal reason out through ExtractArchiveToDir's last argument.
// - A report writer calls NoteFailure before ExecuteFileCreation returns its failure text; an
//   exception escaping a writer is turned into the reason by the run.
// A reason is one short English clause in lower case, without the path and without a full stop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DataTypeUnit.h"

namespace lexmora {

// Which list the failed path came from, or the report a pair could not write.
enum class TErrorSide : std::uint8_t { esSource = 0, esEdited = 1, esReport = 2 };

struct TRunError {
  TErrorSide Side = TErrorSide::esSource;
  std::string Message;   // the message text, in the run's language
  std::string Path;      // the input as it stands in the file list, or the report file
  std::string Document;  // the document inside a package, relative to the package; else empty
  std::string Reason;    // one short clause; empty when nothing more is known
};
using TRunErrors = std::vector<TRunError>;

// "source", "edited" or "report".
const char* ErrorSideName(TErrorSide ASide);

// The path part of a line: Path, then " (" Document ")" for a document inside a package.
std::string ErrorPathText(const TRunError& AError);

// The whole line, without a line end.
std::string FormatErrorLine(const TRunError& AError);

// A short reason from an exception text: the first line, without a trailing full stop.
std::string ShortReason(const std::string& AText);

}  // namespace lexmora
