// Raw deflate streams of a package part's bytes, given in pieces that follow one another.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

// A part's bytes deflated: the raw stream, the CRC-32 and the size of the bytes.
struct TDeflatedPart {
  std::string Stream;
  std::uint32_t Crc = 0;
  std::uint64_t Size = 0;
};

// From this many bytes on, a part is deflated in two shares at once (see DeflatePieces).
inline constexpr std::uint64_t kDeflateSplitFrom = 16u << 20;

// APieces as one raw deflate stream. Below kDeflateSplitFrom bytes: the deflate library at its
// fastest level in one call, the pieces joined first when there are several. From there on the
// first two fifths go through zlib at its fastest level on a thread of its own, ended by an
// empty stored block so that they stop on a byte boundary without ending the stream, while the
// deflate library makes the blocks of the rest, which follow them.
// Note: the second share's matches never reach back into the first, and the bytes depend on the
// input alone, never on the threads (without a thread the shares are made one after the other).
// AName names the part in errors: std::runtime_error when deflating fails, std::bad_alloc
// without memory.
TDeflatedPart DeflatePieces(const std::vector<std::string_view>& APieces, const std::string& AName);

// The bytes [AFrom, ATo) of APieces, as views of them.
std::vector<std::string_view> SliceOfPieces(const std::vector<std::string_view>& APieces, std::uint64_t AFrom,
                                            std::uint64_t ATo);

}  // namespace lexmora
