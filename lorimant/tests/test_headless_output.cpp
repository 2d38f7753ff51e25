// What `lorimant --run` prints, run as a user runs it: the statements, the
// values, the files written and the journal on standard output, everything
// else on standard error; and the journal's own file, never shared.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "analysis/model/CLog.h"

namespace test_headless_output {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class HeadlessOutput : public ::testing::Test {
 protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("lorimant_output_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "work");
        fs::create_directories(folder / "home");
    }
    void TearDown() override { fs::remove_all(folder); }

    // Runs the program on macro in folder/work with HOME at folder/home.
    ProgramRun run(const std::string& macro, const std::string& arguments = "--run m.bas") {
        std::ofstream(folder / "work" / "m.bas", std::ios::binary) << macro;
        const std::string command = "cd '" + (folder / "work").string() + "' && env -u DISPLAY HOME='" +
                                    (folder / "home").string() + "' ASAN_OPTIONS=detect_leaks=0 '" +
                                    LORIMANT_PROGRAM + "' " + arguments + " > ../out 2> ../err";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(folder / "out"), slurp(folder / "err")};
    }

    fs::path folder;
};

TEST_F(HeadlessOutput, DemoPrintsOnlyItsReport) {
    const ProgramRun r = run(slurp(fs::path(LORIMANT_TEST_DATA).parent_path().parent_path().parent_path() / "examples" /
                            "demo.bas"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("Unrecognized"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.find("Unrecognized"), std::string::npos) << r.err;
    const std::string work = fs::canonical(folder / "work").string();
    EXPECT_NE(r.out.find("Wrote " + work + "/demo.xml\nWrote " + work + "/demo.igs\nWrote " + work +
                         "/demo.qhscn\nJournal "),
              std::string::npos)
        << r.out;
    // Every line is a statement, a value, a file, the journal or the end.
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        const bool known = line.rfind("xscn.", 0) == 0 || line.rfind("polygon", 0) == 0 ||
                           line.rfind("Set ", 0) == 0 || line.find(" = ") != std::string::npos ||
                           line.rfind("Wrote ", 0) == 0 || line.rfind("Journal ", 0) == 0 ||
                           line.rfind("Lorimant: the macro ", 0) == 0;
        EXPECT_TRUE(known) << line;
    }
}

TEST_F(HeadlessOutput, WroteListsTheFilesOfTheMethodsOnly) {
    fs::create_directories(folder / "work" / "other");
    std::ofstream(folder / "work" / "kept.txt") << "already here";
    const ProgramRun r = run(
        "xscn.SetUnitSystem QHT_SI\n"
        "xscn.AddRectangle \"root\",\"R\",2,1,0,0,0,1,0,1\n"
        "xscn.FileSave \"other/r.qhscn\"\n"
        "xscn.FileSave \"other/r.qhscn\"\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string saved = fs::canonical(folder / "work" / "other" / "r.qhscn").string();
    EXPECT_EQ(count(r.out, "Wrote "), 1u) << r.out;
    EXPECT_NE(r.out.find("Wrote " + saved + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("kept.txt"), std::string::npos);
    EXPECT_EQ(r.out.find("m.bas\n"), std::string::npos) << "the macro itself is no file the run wrote";
}

TEST_F(HeadlessOutput, FailedRunStillNamesItsJournal) {
    const ProgramRun r = run("xscn.SetUnitSystem QHT_SI\nxscn.FileOpen \"missing.qhscn\"\nxscn.ClearAll\n");
    EXPECT_EQ(r.status, 1);
    const std::size_t at = r.out.find("Journal ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string journal = r.out.substr(at + 8, r.out.find('\n', at) - at - 8);
    EXPECT_TRUE(fs::exists(journal)) << journal;
    EXPECT_NE(r.err.find("m.bas:2: xscn.FileOpen \"missing.qhscn\""), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("finished"), std::string::npos);
    EXPECT_EQ(r.out.find("ClearAll"), std::string::npos) << "ran past the failure";
}

TEST_F(HeadlessOutput, UnwritableJournalIsReportedOnceAndTheRunGoesOn) {
    std::ofstream(folder / "home" / "temp") << "a file where the journal folder should be";
    const ProgramRun r = run("xscn.SetUnitSystem QHT_SI\nx = 0.1\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.err, "the journal of this run is not written"), 1u) << r.err;
    EXPECT_NE(r.out.find("x = 0.1\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Journal "), std::string::npos) << r.out;
}

TEST_F(HeadlessOutput, HelpListAndVersion) {
    ProgramRun r = run("", "--help AddIBeam");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("25. flangeRadius (Double)"), std::string::npos) << r.out;
    r = run("", "-h");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("lorimant --run [FILE]"), std::string::npos) << r.out;
    r = run("", "--list");
    EXPECT_NE(r.out.find("  QHT_USCS = 1\n"), std::string::npos);
    r = run("", "--version");
    EXPECT_EQ(r.out, "Lorimant 2.0\n");
    r = run("", "--help AddRectangel");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Did you mean AddRectangle?"), std::string::npos) << r.err;
}

// A second process that takes the same journal name (two runs started in
// the same second) finds the file made and takes the next suffix.
TEST_F(HeadlessOutput, JournalNameTakenElsewhereGetsASuffix) {
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome != nullptr ? oldHome : "";
    ::setenv("HOME", (folder / "home").c_str(), 1);
    fs::create_directories(folder / "home" / "temp");
    const fs::path taken = folder / "home" / "temp" / "LorimantDocument_same.log";
    std::ofstream(taken) << "another run's journal";
    {
        CLog log(L"same", 2, 0, "LorimantDocument");
        EXPECT_EQ(log.path(), (folder / "home" / "temp" / "LorimantDocument_same_2.log").string());
        EXPECT_TRUE(log.problem().empty()) << log.problem();
    }
    EXPECT_EQ(slurp(taken), "another run's journal");
    if (oldHome != nullptr) ::setenv("HOME", saved.c_str(), 1);
}

}  // namespace test_headless_output
