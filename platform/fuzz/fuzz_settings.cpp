// Reads arbitrary bytes as the settings file. Every key that enumerates
// must open; a key and a value made from the input must read back the same,
// from memory and again after the file is read afresh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/core/Settings.h"

namespace {

namespace fs = std::filesystem;

// A private settings folder for this process, in memory where possible.
const fs::path& configHome()
{
    static const fs::path home = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path dir = base / ("lorimant_fuzz_settings_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(configHome(), ec);
        });
        return dir;
    }();
    return home;
}

// Puts bytes in place of the store's file as another process would: a new
// file renamed over the old, which the store must notice.
void replaceFile(const std::string& bytes)
{
    const fs::path file(Settings::StoreFile().ToUtf8());
    fs::create_directories(file.parent_path());
    const fs::path temp = file.string() + ".fuzz";
    std::ofstream(temp, std::ios::binary | std::ios::trunc) << bytes;
    fs::rename(temp, file);
}

std::string fileBytes()
{
    std::ifstream in(Settings::StoreFile().ToUtf8(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every key below `key` (a bounded walk) must open by its enumerated name.
void walk(HKEY key, int depth, int& budget)
{
    CString name;
    for (DWORD i = 0; budget > 0 && RegEnumKey(key, i, name) == ERROR_SUCCESS; ++i, --budget) {
        HKEY child = nullptr;
        if (RegOpenKey(key, name, &child) != ERROR_SUCCESS)
            __builtin_trap();
        CString value;
        RegQueryString(child, L"", value);
        if (depth < 8)
            walk(child, depth + 1, budget);
    }
}

// A wide text from the input's 16-bit units: no NUL (it would end the
// text) and no surrogate halves (no Unicode text holds them alone).
std::wstring wideText(const std::uint8_t* data, std::size_t size, std::size_t maxUnits)
{
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size && text.size() < maxUnits; i += 2) {
        wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c == 0)
            c = L'0';
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        text.push_back(c);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)configHome();
    replaceFile(std::string(reinterpret_cast<const char*>(data), size));

    int budget = 2000;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS})
        walk(root, 0, budget);
    (void)Settings::GetProfileString(L"Print Information", L"field0");
    (void)Settings::GetProfileInt(L"Workspace", L"ApplicationLook", 0);

    // A key, value name and value made from the tail of the input.
    const std::size_t half = size / 2;
    const std::wstring keyName = L"Fuzz\\" + wideText(data, half, 12);
    const std::wstring valueName = wideText(data + half, size - half, 8);
    const std::wstring value = wideText(data, size, 64);
    HKEY key = nullptr;
    if (RegCreateKey(HKEY_CURRENT_USER, keyName.c_str(), &key) != ERROR_SUCCESS)
        __builtin_trap();
    if (RegSetString(key, valueName.c_str(), value.c_str()) != ERROR_SUCCESS)
        __builtin_trap();
    for (int pass = 0; pass < 2; ++pass) {
        CString back;
        HKEY reopened = nullptr;
        if (RegOpenKey(HKEY_CURRENT_USER, keyName.c_str(), &reopened) != ERROR_SUCCESS ||
            RegQueryString(reopened, valueName.c_str(), back) != ERROR_SUCCESS || !(back == value.c_str()))
            __builtin_trap();
        replaceFile(fileBytes()); // read afresh from the bytes written
    }
    return 0;
}
