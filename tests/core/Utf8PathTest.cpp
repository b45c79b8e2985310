// Names outside ASCII between the program's UTF-8 strings and the file system, on every system
// (under wine this is where a narrow code page would show).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "Utf8PathUnit.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kNames = {"plain.txt", "Проверка.txt", "日本語の資料.txt", "📄 emoji.txt",
                                         "Ærøskøbing café.txt"};

// A file written by its UTF-8 name through a narrow stream (as the readers and writers open
// files) is the file the file system lists under that name, and the reverse.
TEST(Utf8Path, NarrowStreamsAndTheFileSystemAgreeOnNames) {
  const fs::path Dir = fs::temp_directory_path() / PathFromUtf8("lexmora-utf8-Папка 日本 📁");
  fs::remove_all(Dir);
  fs::create_directories(Dir);
  const std::string DirText = Utf8FromPath(Dir);
  for (const std::string& Name : kNames) std::ofstream(DirText + "/" + Name) << Name;

  std::set<std::string> Listed;
  for (const fs::directory_entry& E : fs::directory_iterator(Dir)) Listed.insert(Utf8FromPath(E.path().filename()));
  EXPECT_EQ(Listed, std::set<std::string>(kNames.begin(), kNames.end()));

  for (const std::string& Name : kNames) {
    const fs::path Path = Dir / PathFromUtf8(Name);
    EXPECT_TRUE(fs::is_regular_file(Path)) << Name;
    std::ifstream In(Utf8FromPath(Path));
    std::string Text;
    std::getline(In, Text);
    EXPECT_EQ(Text, Name);
  }
  fs::remove_all(Dir);
}

}  // namespace
