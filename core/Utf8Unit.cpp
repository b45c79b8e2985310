#include "Utf8Unit.h"

#include <unicode/uchar.h>

namespace lexmora {

namespace {

// Allowed range of the first continuation byte after a lead byte; later
// continuation bytes are always 80..BF. Narrower first ranges exclude overlong
// forms, surrogates and values above U+10FFFF.
struct TLeadInfo {
  int Extra;  // continuation bytes, 0 = invalid lead byte
  unsigned char Lo;
  unsigned char Hi;
};

TLeadInfo LeadInfo(unsigned char ALead) {
  if (ALead >= 0xC2 && ALead <= 0xDF) return {1, 0x80, 0xBF};
  if (ALead == 0xE0) return {2, 0xA0, 0xBF};
  if (ALead == 0xED) return {2, 0x80, 0x9F};
  if (ALead >= 0xE1 && ALead <= 0xEF) return {2, 0x80, 0xBF};
  if (ALead == 0xF0) return {3, 0x90, 0xBF};
  if (ALead >= 0xF1 && ALead <= 0xF3) return {3, 0x80, 0xBF};
  if (ALead == 0xF4) return {3, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

std::u32string Utf8ToU32(std::string_view AText) {
  std::u32string Result;
  AppendUtf8AsU32(Result, AText);
  return Result;
}

void AssignUtf8AsU32(std::u32string& AOut, std::string_view AText) {
  AOut.clear();
  AppendUtf8AsU32(AOut, AText);
}

void AppendUtf8AsU32(std::u32string& AOut, std::string_view AText) {
  // Written through a raw pointer into a buffer of the upper bound (one code
  // point per byte): segment texts are converted three times per segment.
  const std::size_t Old = AOut.size();
  AOut.resize(Old + AText.size());
  std::u32string& Result = AOut;
  char32_t* const Start = Result.data() + Old;
  char32_t* Out = Start;
  const auto* const Bytes = reinterpret_cast<const unsigned char*>(AText.data());
  const std::size_t Len = AText.size();
  std::size_t I = 0;
  while (I < Len) {
    const unsigned char Lead = Bytes[I];
    if (Lead < 0x80) {
      *Out++ = Lead;
      ++I;
      continue;
    }
    const TLeadInfo Info = LeadInfo(Lead);
    if (Info.Extra == 0) {
      *Out++ = ReplacementChar;
      ++I;
      continue;
    }
    char32_t Cp = Lead & (0xFF >> (Info.Extra + 2));
    std::size_t J = I + 1;
    bool Complete = true;
    for (int K = 0; K < Info.Extra; ++K, ++J) {
      const unsigned char Lo = K == 0 ? Info.Lo : 0x80;
      const unsigned char Hi = K == 0 ? Info.Hi : 0xBF;
      if (J >= Len || Bytes[J] < Lo || Bytes[J] > Hi) {
        Complete = false;
        break;
      }
      Cp = (Cp << 6) | (Bytes[J] & 0x3F);
    }
    // An incomplete sequence is replaced as a whole; the byte that broke it
    // starts the next round.
    *Out++ = Complete ? Cp : ReplacementChar;
    I = J;
  }
  Result.resize(Old + static_cast<std::size_t>(Out - Start));
}

void AppendUtf8(std::string& ADest, char32_t ACodePoint) {
  char32_t Cp = ACodePoint;
  if (Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) Cp = ReplacementChar;
  if (Cp < 0x80) {
    ADest.push_back(static_cast<char>(Cp));
  } else if (Cp < 0x800) {
    ADest.push_back(static_cast<char>(0xC0 | (Cp >> 6)));
    ADest.push_back(static_cast<char>(0x80 | (Cp & 0x3F)));
  } else if (Cp < 0x10000) {
    ADest.push_back(static_cast<char>(0xE0 | (Cp >> 12)));
    ADest.push_back(static_cast<char>(0x80 | ((Cp >> 6) & 0x3F)));
    ADest.push_back(static_cast<char>(0x80 | (Cp & 0x3F)));
  } else {
    ADest.push_back(static_cast<char>(0xF0 | (Cp >> 18)));
    ADest.push_back(static_cast<char>(0x80 | ((Cp >> 12) & 0x3F)));
    ADest.push_back(static_cast<char>(0x80 | ((Cp >> 6) & 0x3F)));
    ADest.push_back(static_cast<char>(0x80 | (Cp & 0x3F)));
  }
}

std::string U32ToUtf8(std::u32string_view AText) {
  std::string Result;
  Result.reserve(AText.size());
  for (char32_t Cp : AText) AppendUtf8(Result, Cp);
  return Result;
}

std::string UpperCaseUtf8(std::string_view AText) {
  std::string Result;
  Result.reserve(AText.size());
  for (const char32_t Cp : Utf8ToU32(AText))
    AppendUtf8(Result, static_cast<char32_t>(u_toupper(static_cast<UChar32>(Cp))));
  return Result;
}

}  // namespace lexmora
