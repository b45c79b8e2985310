#include "XmlEscapeUnit.h"

#include <array>
#include <cstdint>

namespace lexmora {

namespace {

// What each byte value becomes; a byte with no replacement is copied. The tables are built at
// compile time so the hot loop is one lookup per byte and one append per run of plain text.
struct TEscapeTable {
  std::array<std::array<char, 7>, 256> Text{};
  std::array<std::uint8_t, 256> Size{};

  constexpr void Set(unsigned char AChar, std::string_view AReplacement) {
    for (std::size_t I = 0; I < AReplacement.size(); ++I) Text[AChar][I] = AReplacement[I];
    Size[AChar] = static_cast<std::uint8_t>(AReplacement.size());
  }

  constexpr void SetNumeric(unsigned char AChar) {
    std::array<char, 7> R{'&', '#'};
    std::size_t N = 2;
    if (AChar >= 100) R[N++] = static_cast<char>('0' + AChar / 100);
    if (AChar >= 10) R[N++] = static_cast<char>('0' + AChar / 10 % 10);
    R[N++] = static_cast<char>('0' + AChar % 10);
    R[N++] = ';';
    Set(AChar, std::string_view(R.data(), N));
  }
};

constexpr TEscapeTable MakeTable(TXmlEscaping AEscaping) {
  using enum TXmlEscaping;
  TEscapeTable T;
  if (AEscaping == xeEntities) {
    T.Set('&', "&amp;");
    T.Set('<', "&lt;");
    T.Set('>', "&gt;");
    T.Set('"', "&quot;");
    T.Set('\'', "&apos;");
    return T;
  }
  for (const unsigned char C : {'&', '<', '>', '"', '\''}) T.SetNumeric(C);
  if (AEscaping == xeNumeric) return T;
  for (unsigned char C = 0; C < 0x20; ++C)
    if (AEscaping == xeNumericAttribute || (C != '\t' && C != '\n')) T.SetNumeric(C);
  return T;
}

constexpr std::array<TEscapeTable, 4> kTables = {
    MakeTable(TXmlEscaping::xeEntities), MakeTable(TXmlEscaping::xeNumeric), MakeTable(TXmlEscaping::xeNumericText),
    MakeTable(TXmlEscaping::xeNumericAttribute)};

}  // namespace

void AppendEscapedXmlText(std::string& AOut, std::string_view AText, TXmlEscaping AEscaping) {
  const TEscapeTable& T = kTables[static_cast<std::size_t>(AEscaping)];
  std::size_t From = 0;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    const auto C = static_cast<unsigned char>(AText[I]);
    if (T.Size[C] == 0) continue;
    AOut.append(AText.substr(From, I - From));
    AOut.append(T.Text[C].data(), T.Size[C]);
    From = I + 1;
  }
  AOut.append(AText.substr(From));
}

std::string EscapeXmlText(const std::string& AText) {
  std::string R;
  R.reserve(AText.size() + AText.size() / 16);
  AppendEscapedXmlText(R, AText);
  return R;
}

}  // namespace lexmora
