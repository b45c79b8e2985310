// The segments of one SDLXLIFF document read straight from disk, without a working copy: for the
// tools that measure the engine's parts on a generated pair or the corpus.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "ImportFromFileGroup01Unit.h"

namespace lexmora::test_support {

inline TArrayOfDiffInfoRecord ReadSegmentRecords(const std::string& APath) {
  std::ifstream In(APath, std::ios::binary);
  const std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  TImporterFromGroup01 Reader("/nonexistent/", APath, false);
  TArrayOfDiffInfoRecord Records;
  Reader.GetDataFromText(Data, APath, nullptr, Records);
  return Records;
}

// The key that pairs a segment with its edited counterpart in these tools.
inline std::string SegmentPairKey(const TDiffInfoRecord& ARec) { return ARec.UnitID + "\x1F" + ARec.SegmentID; }

}  // namespace lexmora::test_support
