#include <gtest/gtest.h>
#include <libdeflate.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "PartDeflateUnit.h"

using namespace lexmora;

namespace {

// Text that deflates about as a workbook's parts do, with a stretch of noise now and then.
std::string WorkbookLikeText(std::size_t ASize, unsigned ASeed) {
  std::mt19937 Random(ASeed);
  std::string Result;
  Result.reserve(ASize + 64);
  while (Result.size() < ASize) {
    if (Random() % 50 == 0)
      for (int K = 0; K < 40; ++K) Result.push_back(static_cast<char>(Random()));
    else
      Result += "  <si>\r\n    <t>cell " + std::to_string(Random() % 100000) + " text</t>\r\n  </si>\r\n";
  }
  Result.resize(ASize);
  return Result;
}

// AText cut into pieces of the given lengths (the rest in a last one).
std::vector<std::string_view> Cut(const std::string& AText, std::vector<std::size_t> ALengths) {
  std::vector<std::string_view> Pieces;
  std::size_t At = 0;
  for (const std::size_t Length : ALengths) {
    Pieces.push_back(std::string_view(AText).substr(At, Length));
    At += Pieces.back().size();
  }
  Pieces.push_back(std::string_view(AText).substr(At));
  return Pieces;
}

std::string Inflated(const std::string& AStream, std::size_t ASize) {
  std::string Out(ASize, '\0');
  std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> D(libdeflate_alloc_decompressor(),
                                                                                 libdeflate_free_decompressor);
  std::size_t Got = 0;
  const auto R = libdeflate_deflate_decompress(D.get(), AStream.data(), AStream.size(), Out.data(), Out.size(), &Got);
  EXPECT_EQ(R, LIBDEFLATE_SUCCESS);
  Out.resize(Got);
  return Out;
}

}  // namespace

TEST(SliceOfPieces, ASliceIsTheSameBytesAsTheJoinedText) {
  const std::string Text = WorkbookLikeText(300, 1);
  // Empty pieces at the start, between and at the end.
  const auto Pieces = Cut(Text, {0, 7, 0, 1, 100, 0, 150});
  std::mt19937 Random(2);
  for (int Round = 0; Round < 500; ++Round) {
    std::size_t From = Random() % (Text.size() + 1), To = Random() % (Text.size() + 1);
    if (From > To) std::swap(From, To);
    if (Round == 0) From = 0, To = Text.size();
    std::string Joined;
    for (const std::string_view Piece : SliceOfPieces(Pieces, From, To)) Joined += Piece;
    ASSERT_EQ(Joined, Text.substr(From, To - From)) << From << ".." << To;
  }
}

TEST(DeflatePieces, AroundTheSplitTheStreamInflatesToTheBytesWhateverThePieces) {
  // Below the split the deflate library makes the stream alone; from it on, two libraries make
  // one stream in two shares, with the boundary inside a piece or between two.
  for (const std::uint64_t Size : {kDeflateSplitFrom - 1, kDeflateSplitFrom, kDeflateSplitFrom + 2}) {
    const std::string Text = WorkbookLikeText(Size, static_cast<unsigned>(Size));
    const std::size_t Share = Text.size() / 5 * 2;
    for (const auto& Pieces :
         {Cut(Text, {}), Cut(Text, {150, 1u << 20, 0, Share - 150 - (1u << 20), 3}), Cut(Text, {Share - 1, 2})}) {
      const TDeflatedPart Part = DeflatePieces(Pieces, "p.xml");
      EXPECT_EQ(Part.Size, Text.size());
      EXPECT_EQ(Part.Crc, libdeflate_crc32(0, Text.data(), Text.size()));
      EXPECT_LT(Part.Stream.size(), Text.size() / 2);
      EXPECT_TRUE(Inflated(Part.Stream, Text.size()) == Text) << Size;
      // The same bytes, however they were cut.
      EXPECT_TRUE(Part.Stream == DeflatePieces({Text}, "p.xml").Stream) << Size;
    }
  }
}
