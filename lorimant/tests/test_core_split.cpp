// The window-free core must build and run without wx: none of its folders
// may include a wx header.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

TEST(CoreSplit, NoCoreFolderIncludesWx) {
  const fs::path lorimant = fs::path(LORIMANT_TEST_DATA).parent_path().parent_path();
  for (const char* folder : {"document", "automation", "view", "shapes", "analyses"}) {
    const fs::path dir = lorimant / folder;
    if (!fs::exists(dir)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        const auto include = line.find("#include");
        if (include == std::string::npos) continue;
        EXPECT_EQ(line.find("wx/", include), std::string::npos) << entry.path() << ": " << line;
      }
    }
  }
}
