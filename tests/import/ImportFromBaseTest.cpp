#include <gtest/gtest.h>

#include "ImportFromBaseUnit.h"

using namespace lexmora;

TEST(ImportFromBase, DefineFileTypeByCaseSensitiveEnding) {
  struct Row { const char* Name; TFileTypeGroup Group; };
  const Row Rows[] = {
      {"/a/b.sdlxliff", TFileTypeGroup::ftg_01},  {"b.sdlrpx", TFileTypeGroup::ftg_02},
      {"b.sdlppx", TFileTypeGroup::ftg_02},       {"b.mqxliff", TFileTypeGroup::ftg_03},
      {"b.mqxlz", TFileTypeGroup::ftg_04},        {"b.mxliff", TFileTypeGroup::ftg_05},
      {"b.SDLXLIFF", TFileTypeGroup::ftg_undefined}, {"b.xliff", TFileTypeGroup::ftg_undefined},
      {"b.sdlxliff.bak", TFileTypeGroup::ftg_undefined}, {"", TFileTypeGroup::ftg_undefined},
      {".sdlxliff", TFileTypeGroup::ftg_01},
  };
  for (const Row& R : Rows) EXPECT_EQ(TImporter::DefineFileType(R.Name), R.Group) << R.Name;
}
