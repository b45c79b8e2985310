#include "PartDeflateUnit.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>

namespace lexmora {

namespace {

// The fastest level of both libraries. On a big workbook level 6 took three times as long for
// an archive about a fifth smaller, and the deflating of the shared strings is the last thing
// the writer waits for.
constexpr int kDeflateLevel = 1;

std::uint32_t CrcOf(const std::vector<std::string_view>& APieces) {
  std::uint32_t Crc = 0;
  for (const std::string_view Piece : APieces) Crc = libdeflate_crc32(Crc, Piece.data(), Piece.size());
  return Crc;
}

std::uint64_t SizeOf(const std::vector<std::string_view>& APieces) {
  std::uint64_t Size = 0;
  for (const std::string_view Piece : APieces) Size += Piece.size();
  return Size;
}

// A whole stream, its last block final, from the deflate library, which works in one call only
// (and even at its level 6 takes half the time or less of the archive library's level 7).
std::string DeflateWhole(const std::vector<std::string_view>& APieces, const std::string& AName) {
  std::string Joined;
  std::string_view Data;
  if (APieces.size() == 1) {
    Data = APieces.front();
  } else {
    Joined.reserve(static_cast<std::size_t>(SizeOf(APieces)));
    for (const std::string_view Piece : APieces) Joined += Piece;
    Data = Joined;
  }
  const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> Compressor(
      libdeflate_alloc_compressor(kDeflateLevel), libdeflate_free_compressor);
  if (!Compressor) throw std::bad_alloc();
  // Text parts shrink to a tenth or less, so a quarter is tried first; only a part that does not
  // shrink is deflated again into room for the worst case. Not zeroed: fresh pages cost time.
  const std::size_t Bound = libdeflate_deflate_compress_bound(Compressor.get(), Data.size());
  std::size_t Room = std::min(Bound, Data.size() / 4 + 4096);
  std::unique_ptr<char[]> Out(new char[Room]);
  std::size_t Used = libdeflate_deflate_compress(Compressor.get(), Data.data(), Data.size(), Out.get(), Room);
  if (Used == 0 && Room < Bound) {
    Room = Bound;
    Out.reset(new char[Room]);
    Used = libdeflate_deflate_compress(Compressor.get(), Data.data(), Data.size(), Out.get(), Room);
  }
  if (Used == 0) throw std::runtime_error("Deflate error: cannot deflate " + AName);
  return std::string(Out.get(), Used);
}

// zlib, fed piece by piece; a sync flush ends the stream's last block and adds an empty stored
// one that is not final, so the stream stops on a byte boundary and another can follow.
std::string DeflateOpen(const std::vector<std::string_view>& APieces, const std::string& AName) {
  z_stream Z{};
  if (deflateInit2(&Z, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
  const std::unique_ptr<z_stream, int (*)(z_streamp)> Ender(&Z, deflateEnd);
  std::string Out(static_cast<std::size_t>(SizeOf(APieces) / 4) + 4096, '\0');
  std::size_t Used = 0;
  constexpr std::size_t kStep = 1u << 30;  // zlib counts in 32 bits
  for (std::size_t K = 0; K < APieces.size(); ++K) {
    std::string_view Rest = APieces[K];
    do {
      const std::size_t Take = std::min(Rest.size(), kStep);
      Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Rest.data()));
      Z.avail_in = static_cast<uInt>(Take);
      Rest.remove_prefix(Take);
      const int Flush = K + 1 == APieces.size() && Rest.empty() ? Z_SYNC_FLUSH : Z_NO_FLUSH;
      do {
        if (Out.size() - Used < 4096) Out.resize(Out.size() * 2);
        Z.next_out = reinterpret_cast<Bytef*>(Out.data() + Used);
        Z.avail_out = static_cast<uInt>(std::min(Out.size() - Used, kStep));
        if (deflate(&Z, Flush) == Z_STREAM_ERROR) throw std::runtime_error("Deflate error: cannot deflate " + AName);
        Used = static_cast<std::size_t>(reinterpret_cast<char*>(Z.next_out) - Out.data());
      } while (Z.avail_out == 0 || Z.avail_in > 0);
    } while (!Rest.empty());
  }
  Out.resize(Used);
  return Out;
}

}  // namespace

std::vector<std::string_view> SliceOfPieces(const std::vector<std::string_view>& APieces, std::uint64_t AFrom,
                                            std::uint64_t ATo) {
  std::vector<std::string_view> Result;
  std::uint64_t At = 0;
  for (const std::string_view Piece : APieces) {
    const std::uint64_t End = At + Piece.size();
    if (End > AFrom && At < ATo) {
      const auto Begin = static_cast<std::size_t>(std::max(AFrom, At) - At);
      Result.push_back(Piece.substr(Begin, static_cast<std::size_t>(std::min(ATo, End) - At) - Begin));
    }
    At = End;
  }
  return Result;
}

TDeflatedPart DeflatePieces(const std::vector<std::string_view>& APieces, const std::string& AName) {
  TDeflatedPart Result;
  Result.Size = SizeOf(APieces);
  if (Result.Size < kDeflateSplitFrom) {
    Result.Stream = DeflateWhole(APieces, AName);
    Result.Crc = CrcOf(APieces);
    return Result;
  }
  // zlib takes about one and a half times as long as the deflate library (which joins its
  // pieces first) for the same bytes, so it takes the smaller share.
  const std::uint64_t Share = Result.Size / 5 * 2;
  const std::vector<std::string_view> First = SliceOfPieces(APieces, 0, Share);
  std::string FirstStream;
  std::exception_ptr FirstFailure;
  const auto DeflateFirst = [&] {
    try {
      FirstStream = DeflateOpen(First, AName);
    } catch (...) {
      FirstFailure = std::current_exception();
    }
  };
  std::thread Helper;
  try {
    Helper = std::thread(DeflateFirst);
  } catch (const std::exception&) {
    DeflateFirst();  // no thread to be had: the shares one after the other
  }
  std::exception_ptr SecondFailure;
  std::string SecondStream;
  try {
    SecondStream = DeflateWhole(SliceOfPieces(APieces, Share, Result.Size), AName);
    Result.Crc = CrcOf(APieces);
  } catch (...) {
    SecondFailure = std::current_exception();
  }
  if (Helper.joinable()) Helper.join();
  if (FirstFailure) std::rethrow_exception(FirstFailure);
  if (SecondFailure) std::rethrow_exception(SecondFailure);
  Result.Stream = std::move(FirstStream);
  Result.Stream += SecondStream;
  return Result;
}

}  // namespace lexmora
