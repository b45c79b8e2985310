// lexmora-compare: compares source and edited files from the command line with the same
// comparison run as the desktop program.
#pragma once

#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "DataTypeUnit.h"
#include "JsonTextUnit.h"

namespace lexmora {

// Exit statuses of the tool.
enum class TCliExit : int { ceOk = 0, ceCreateDiffFileError = 1, ceUsage = 2, ceTerminatedByUser = 3, ceUnknown = 4 };

// What the command line asks for.
struct TCliOptions {
  std::vector<std::string> SourceFiles;
  std::vector<std::string> EditedFiles;
  std::string OutputDir = "Results";
  TResultFileFormat Format = TResultFileFormat::rffHTML;
  bool ShowIdentical = false;
  bool IgnoreNbsp = false;
  bool NoHighlight = false;
  TShowTagsFlag ShowTags = TShowTagsFlag::stfShowTagsOnly;
  TLocalizationLanguare Lang = TLocalizationLanguare::llEN;
  std::string TempDir;          // empty: a new private folder in the system's temp
  std::vector<int> BandBounds;  // empty: the default edit-distance bands
  TCostTerms Cost;              // no rates: no cost table
  bool Csv = false;
  bool Json = false;
  bool Quiet = false;
  bool Help = false;
  bool Version = false;
};

// Parses AArgs (without the program name). False with a message in AError on bad usage.
bool ParseCliArgs(const std::vector<std::string>& AArgs, TCliOptions& AOptions, std::string& AError);

// The usage text.
std::string CliUsage();

// Runs the tool: AArgs without the program name; reports and results on AOut, messages and
// progress on AErr. Returns the exit status (TCliExit).
int RunCli(const std::vector<std::string>& AArgs, std::ostream& AOut, std::ostream& AErr);

}  // namespace lexmora
