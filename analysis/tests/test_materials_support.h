// Helpers shared by the material and model tests: archive bytes, a scoped
// environment variable, a temporary folder and a small material database.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/model/Globals.h"
#include "analysis/tests/TestSupport.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace mattest {

// The value of a material property that is not defined.
constexpr double kUnset = -99999.0;

namespace fs = std::filesystem;
using test_support::Bytes;
using test_support::loaded;
using test_support::stored;



// A string in the archive's wide form (short texts only).
inline Bytes wideText(const std::u16string& text) {
  Bytes out{0xFF, 0xFE, 0xFF, static_cast<BYTE>(text.size())};
  for (char16_t c : text) {
    out.push_back(static_cast<BYTE>(c & 0xFF));
    out.push_back(static_cast<BYTE>(c >> 8));
  }
  return out;
}

// The little-endian bytes of a value.
template <class T>
Bytes raw(T value) {
  Bytes out(sizeof value);
  std::memcpy(out.data(), &value, sizeof value);
  return out;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Points an environment variable elsewhere for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "lorimant-mat-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Keeps the current unit system and model and puts them back afterwards.
class GlobalsGuard {
 public:
  GlobalsGuard() : units_(gUnitSystem), model_(gModel), embed_(gEmbedSizePixels) {}
  ~GlobalsGuard() {
    gUnitSystem = units_;
    gModel = model_;
    gEmbedSizePixels = embed_;
  }
  GlobalsGuard(const GlobalsGuard&) = delete;
  GlobalsGuard& operator=(const GlobalsGuard&) = delete;

 private:
  EUnitSystem units_;
  CModel* model_;
  CSize embed_;
};

// One metal row of the material database: texts, flag and the 37 numbers in
// the database's order.
struct MetalRow {
  std::wstring name;
  std::array<std::wstring, 7> texts;  // family, form, temper, size, spec, units, UNS
  bool isotropic = true;
  std::array<double, 37> values{};
};

// A row whose numbers are distinct and easy to tell apart: value i is
// base + i + 0.25, so a swapped field shows.
inline MetalRow sampleRow(const std::wstring& name, double base) {
  MetalRow row;
  row.name = name;
  row.texts = {L"Aluminium", L"Plate", L"T6", L"0.25-1", L"AMS 4027", L"USCSin", L"A96061"};
  for (std::size_t i = 0; i < row.values.size(); ++i) row.values[i] = base + i + 0.25;
  // The colour is red, green, blue in [0, 1] (indices 20 to 22).
  row.values[20] = 0.25;
  row.values[21] = 0.5;
  row.values[22] = 0.75;
  return row;
}

// Creates a material database file holding the rows.
inline void createMaterialDatabase(const fs::path& file, const std::vector<MetalRow>& rows) {
  CSQLDatabase db(file.wstring());
  db.createDatabase(file.wstring());
  db.createMetalTable();
  db.createControlsTable();
  for (const MetalRow& row : rows) {
    const bool added = std::apply(
        [&](auto... v) {
          return db.addMetal(row.name.c_str(), row.texts[0].c_str(), row.texts[1].c_str(),
                             row.texts[2].c_str(), row.texts[3].c_str(), row.texts[4].c_str(),
                             row.texts[5].c_str(), row.texts[6].c_str(), row.isotropic, v...);
        },
        row.values);
    ASSERT_TRUE(added);
  }
}

}  // namespace mattest
