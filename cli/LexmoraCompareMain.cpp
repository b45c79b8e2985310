#include "AllocatorTuningUnit.h"
#include "CliUnit.h"
#include "LoggerUnit.h"
#include "PlatformUnit.h"
int main(int argc, char** argv) {
  lexmora::PrepareStandardStreams();
  lexmora::TuneAllocator();
  // A log of its own: its first entry empties the file, which must never be a running desktop program's.
  lexmora::SetProgramLogFileName("lexmora-compare.log");
  return lexmora::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
