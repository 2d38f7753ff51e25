// The program as a user starts it, without a display: the headless run
// works, and the windowed start says why it cannot open instead of dying
// in the window system.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  bool exited;  // ended through exit, not a signal
  int status;
  std::string errors;
};

// Runs the program with arguments (and input on its standard input) with no
// display in its environment.
Outcome runWithoutDisplay(const std::string& arguments, const std::string& input) {
  const fs::path folder = fs::temp_directory_path() / ("lorimant_start_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::ofstream(folder / "in") << input;
  const std::string command = "cd '" + folder.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 '" +
                              LORIMANT_PROGRAM + "' " + arguments + " < in > out 2> err";
  const int raw = std::system(command.c_str());
  std::ifstream err(folder / "err");
  std::stringstream text;
  text << err.rdbuf();
  fs::remove_all(folder);
  return {WIFEXITED(raw), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
}

TEST(ProgramStart, WithoutADisplay) {
  const Outcome headless = runWithoutDisplay("--run", "xscn.SetUnitSystem QHT_SI\r\n");
  EXPECT_TRUE(headless.exited);
  EXPECT_EQ(headless.status, 0) << headless.errors;

  const Outcome windowed = runWithoutDisplay("", "");
  EXPECT_TRUE(windowed.exited) << windowed.errors;
  EXPECT_NE(windowed.status, 0);
  EXPECT_NE(windowed.errors.find("Unable to initialize GTK+"), std::string::npos) << windowed.errors;
}

}  // namespace
