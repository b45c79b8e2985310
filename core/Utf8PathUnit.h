// The crossing between paths as the program carries them (UTF-8 std::string) and std::filesystem.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lexmora {

// A path from its UTF-8 text. Note: std::filesystem::path's own narrow constructor and string()
// read and write the system's narrow code page on Windows, which mangles any name outside ASCII;
// every conversion goes through these two instead.
std::filesystem::path PathFromUtf8(std::string_view AText);

// A path's text in UTF-8.
std::string Utf8FromPath(const std::filesystem::path& APath);

// The same with '/' between the parts on every system, as archives and reports name them.
std::string GenericUtf8FromPath(const std::filesystem::path& APath);

}  // namespace lexmora
