// Differential fuzzing of the reading of bodies in slices: each input is read by the SDLXLIFF,
// memoQ or Memsource reader (the first byte picks it and the slice size) once parsed whole and
// once in slices, and both readings must agree on the outcome, every failure and every record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "ImportFromFileGroup01Unit.h"
#include "ImportFromFileGroup03Unit.h"
#include "ImportFromFileGroup05Unit.h"

using namespace lexmora;

namespace {

struct TReading {
  bool Read = false;
  std::vector<std::string> Failures;
  std::vector<std::string> Records;
};

template <typename TReader>
TReading ReadWith(std::string_view AInput, const char* AName, std::size_t ASliceBytes) {
  TReader Reader("/nonexistent-lexmora-fuzz/", std::string("/nonexistent-lexmora-fuzz/") + AName, false);
  Reader.SetBodySliceBytes(ASliceBytes);
  TArrayOfDiffInfoRecord Records;
  TReading R;
  R.Read = Reader.GetDataFromText(AInput, AName, nullptr, Records);
  for (const TReadFailure& F : Reader.Failures()) R.Failures.push_back(F.Reason);
  for (const TDiffInfoRecord& D : Records)
    R.Records.push_back(D.UnitID + "|" + D.SegmentID + "|" + D.Match + "|" + (D.IsLocked ? "L" : "-") + "|" +
                        D.SourceString + "|" + D.ResultStr + "|" + D.SourceLang + "|" + D.TargetLang);
  return R;
}

template <typename TReader>
void Compare(std::string_view AInput, const char* AName, std::size_t ASliceBytes) {
  const TReading Whole = ReadWith<TReader>(AInput, AName, 0);
  const TReading Sliced = ReadWith<TReader>(AInput, AName, ASliceBytes);
  if (Whole.Read != Sliced.Read || Whole.Failures != Sliced.Failures || Whole.Records != Sliced.Records) {
    std::fprintf(stderr, "%s: whole and sliced readings differ (read %d/%d, %zu/%zu failures, %zu/%zu records)\n",
                 AName, Whole.Read, Sliced.Read, Whole.Failures.size(), Sliced.Failures.size(), Whole.Records.size(),
                 Sliced.Records.size());
    for (std::size_t I = 0; I < Whole.Records.size() && I < Sliced.Records.size(); ++I)
      if (Whole.Records[I] != Sliced.Records[I]) {
        std::fprintf(stderr, "record %zu:\nwhole:  %s\nsliced: %s\n", I, Whole.Records[I].c_str(), Sliced.Records[I].c_str());
        break;
      }
    std::abort();
  }
}

}  // namespace

LEXMORA_FUZZ_WITH_SILENCED_LOG()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  if (ASize == 0) return 0;
  // Bits 0-1 pick the reader, the rest the slice size: 1 (a child per slice) up to 64 bytes.
  const unsigned Pick = AData[0];
  const std::size_t SliceBytes = 1 + (Pick >> 2);
  const std::string_view Input(reinterpret_cast<const char*>(AData) + 1, ASize - 1);
  switch (Pick & 3) {
    case 0:
    case 3: Compare<TImporterFromGroup01>(Input, "doc.sdlxliff", SliceBytes); break;
    case 1: Compare<TImporterFromGroup03>(Input, "doc.mqxliff", SliceBytes); break;
    default: Compare<TImporterFromGroup05>(Input, "doc.mxliff", SliceBytes); break;
  }
  return 0;
}
