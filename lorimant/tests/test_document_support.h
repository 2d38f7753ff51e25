// A fresh home and data folder per test, so journals and the default
// material database are the test's own; and archive helpers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Hooks.h"

namespace document_test {

namespace fs = std::filesystem;

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lorimant_doc_XXXXXX";
    root_ = mkdtemp(pattern);
    savedHome_ = getenvOr("HOME");
    savedData_ = getenvOr("XDG_DATA_HOME");
    setenv("HOME", (root_ / "home").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    fs::create_directories(root_ / "home");
    Hooks::reset();
    savedUnitSystem_ = gUnitSystem;
    savedUniqueID_ = gUniqueID;
  }
  void TearDown() override {
    // Documents opened by a test set these process-wide values; the next
    // test starts from what this one found.
    gUnitSystem = savedUnitSystem_;
    gUniqueID = savedUniqueID_;
    restore("HOME", savedHome_);
    restore("XDG_DATA_HOME", savedData_);
    Hooks::reset();
    vAveVAvezeze = nullptr;
    gModel = nullptr;
    gDeletingScn = nullptr;
    gCloseWithoutAsking = false;
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // The journals written so far, sorted by name.
  std::vector<fs::path> journals() const {
    std::vector<fs::path> found;
    const fs::path dir = root_ / "home" / "temp";
    if (fs::exists(dir))
      for (const auto& e : fs::directory_iterator(dir)) found.push_back(e.path());
    std::sort(found.begin(), found.end());
    return found;
  }
  // The lines of a journal file, CRLF removed.
  static std::vector<std::string> lines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line);
    }
    return out;
  }

  fs::path root_;

 private:
  EUnitSystem savedUnitSystem_ = SI;
  int savedUniqueID_ = 0;
  static std::string getenvOr(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
  }
  static void restore(const char* name, const std::string& value) {
    if (value.empty())
      unsetenv(name);
    else
      setenv(name, value.c_str(), 1);
  }
  std::string savedHome_, savedData_;
};

// The bytes a document writes.
inline std::vector<BYTE> store(CXSectionAnalysisDoc& doc) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  doc.Serialize(ar);
  ar.Close();
  return file.GetBytes();
}

// Reads the bytes into the document.
inline void load(CXSectionAnalysisDoc& doc, const std::vector<BYTE>& bytes) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  doc.Serialize(ar);
  ar.Close();
}

// Writes bytes to a file.
inline void writeFile(const fs::path& path, const std::vector<BYTE>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace document_test
