#include "Utf8PathUnit.h"

namespace lexmora {

std::filesystem::path PathFromUtf8(std::string_view AText) {
  return std::filesystem::path(std::u8string(AText.begin(), AText.end()));
}

std::string Utf8FromPath(const std::filesystem::path& APath) {
  const std::u8string Text = APath.u8string();
  return std::string(Text.begin(), Text.end());
}

std::string GenericUtf8FromPath(const std::filesystem::path& APath) {
  const std::u8string Text = APath.generic_u8string();
  return std::string(Text.begin(), Text.end());
}

}  // namespace lexmora
