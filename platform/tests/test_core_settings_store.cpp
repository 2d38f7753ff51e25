// The settings store kept in memory: changes by others on disk are seen,
// every change reaches the file whole, a failed write loses nothing of the
// file, and hand-written files with odd keys enumerate sensibly.
#include "platform/core/Settings.h"
#include "platform/tests/TempConfigHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_support::TempConfigHome;
using namespace std::string_literals;

fs::path storeFile()
{
    return fs::path(Settings::StoreFile().ToUtf8());
}

// Replaces the store's file as another process would (a new file renamed over it).
void writeStoreByHand(const std::string& text)
{
    fs::create_directories(storeFile().parent_path());
    const fs::path temp = storeFile().string() + ".other";
    std::ofstream(temp, std::ios::binary) << text;
    fs::rename(temp, storeFile());
}

std::vector<std::wstring> subKeys(HKEY key)
{
    std::vector<std::wstring> names;
    CString name;
    for (DWORD i = 0; RegEnumKey(key, i, name) == ERROR_SUCCESS; ++i)
        names.emplace_back(static_cast<const wchar_t*>(name));
    return names;
}

} // namespace

// A lookup after another writer replaced or rewrote the file in place sees
// the new contents; our own change is then written on top of them.
TEST(CoreSettingsStore, ChangesOnDiskAreSeen)
{
    TempConfigHome home;
    EXPECT_TRUE(Settings::WriteProfileString(L"Sec", L"a", L"1"));
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"a") == L"1");

    // Backslashes of key paths are escaped in the file.
    const std::string section =
        "[HKEY_CURRENT_USER\\\\Software\\\\Local AppWizard-Generated Applications\\\\Lorimant\\\\Sec]\n";
    writeStoreByHand("; by hand\n" + section + "a=2\nb=3\n");
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"a") == L"2");
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"b") == L"3");

    {
        std::ofstream inPlace(storeFile(), std::ios::binary | std::ios::trunc);
        inPlace << section << "a=44444\n";
    }
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"a") == L"44444");
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"b", L"gone") == L"gone");

    EXPECT_TRUE(Settings::WriteProfileString(L"Sec", L"c", L"5"));
    std::ifstream in(storeFile(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "; Lorimant settings\n" + section + "a=44444\nc=5\n");
    // Nothing but the store is left in its folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(storeFile().parent_path()), fs::directory_iterator()), 1);
}

// When the file cannot be written the change is reported and not kept:
// what the store answers is what the file holds.
TEST(CoreSettingsStore, FailedWriteKeepsTheFileAndTheAnswers)
{
    TempConfigHome home;
    EXPECT_TRUE(Settings::WriteProfileString(L"Sec", L"a", L"1"));
    // The sibling file used for writing cannot be created where a folder of
    // its name stands.
    const fs::path blocker = storeFile().string() + ".tmp" + std::to_string(static_cast<long>(::getpid()));
    fs::create_directories(blocker / "x");
    EXPECT_FALSE(Settings::WriteProfileString(L"Sec", L"a", L"2"));
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"a") == L"1");
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, L"Software\\New", &key), ERROR_WRITE_FAULT);
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"Software\\New", &key), ERROR_FILE_NOT_FOUND);
    fs::remove_all(blocker);
    EXPECT_TRUE(Settings::WriteProfileString(L"Sec", L"a", L"3"));
    EXPECT_TRUE(Settings::GetProfileString(L"Sec", L"a") == L"3");
}

// Sub-keys enumerate once each, in name order without regard to case, also
// from sections a hand-written file lists out of order or only through
// deeper keys, and every one of them opens; deleting a tree takes all of them.
TEST(CoreSettingsStore, EnumerationOfHandWrittenKeys)
{
    TempConfigHome home;
    writeStoreByHand(
        "[HKEY_CURRENT_USER\\\\P\\\\b C]\n"
        "[HKEY_CURRENT_USER\\\\P\\\\B\\\\deep\\\\deeper]\n"
        "[HKEY_CURRENT_USER\\\\P\\\\a]\n"
        "[HKEY_CURRENT_USER\\\\P]\n"
        "v=1\n"
        "[HKEY_CURRENT_USER\\\\PQ]\n"
        "[HKEY_CURRENT_USER\\\\P\\\\n\0ul]\n"
        "[HKEY_CURRENT_USER\\\\PQ]\n"
        "x\0y=1\n"s);
    HKEY p = nullptr;
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"P", &p), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(p), (std::vector<std::wstring>{L"a", L"B", L"b C"}));
    EXPECT_EQ(subKeys(HKEY_CURRENT_USER), (std::vector<std::wstring>{L"P", L"PQ"}));
    // Names with a NUL character are left out: nobody could ask for them.
    HKEY pq = nullptr;
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"PQ", &pq), ERROR_SUCCESS);
    CString value;
    EXPECT_EQ(RegQueryString(pq, L"x", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(p, L"b"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(p, L"A"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(p), (std::vector<std::wstring>{L"B", L"b C"}));
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, L"p"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(HKEY_CURRENT_USER), (std::vector<std::wstring>{L"PQ"}));
}
