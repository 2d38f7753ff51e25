// The settings store with a large file: 200,000 sections. After the first
// read a lookup must take well under a millisecond, and enumerating every
// sub-key must grow linearly with their number.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/core/Settings.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSections = 200000;

// A settings folder holding a file of kSections sections under
// HKEY_CURRENT_USER\Big, each with two values; made once per run.
const fs::path& bigStore()
{
    static const fs::path home = [] {
        fs::path dir = fs::temp_directory_path() / ("lorimant_bench_settings_" + std::to_string(::getpid()));
        fs::create_directories(dir / "lorimant");
        std::ofstream out(dir / "lorimant" / "settings.ini", std::ios::binary);
        out << "; Lorimant settings\n";
        for (int i = 0; i < kSections; ++i)
            out << "[HKEY_CURRENT_USER\\\\Big\\\\Section" << i << "]\nname=value " << i << "\nsize=" << i * 3 << '\n';
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(bigStore(), ec);
        });
        return dir;
    }();
    return home;
}

HKEY bigKey()
{
    (void)bigStore();
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, L"Big", &key) != ERROR_SUCCESS)
        std::abort();
    return key;
}

// One value looked up by key and name, the file already read.
void BM_SettingsLookup(benchmark::State& state)
{
    HKEY big = bigKey();
    HKEY section = nullptr;
    RegOpenKey(big, L"Section123456", &section);
    CString value;
    for (auto _ : state) {
        if (RegQueryString(section, L"name", value) != ERROR_SUCCESS)
            state.SkipWithError("value missing");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_SettingsLookup)->Unit(benchmark::kMicrosecond);

// Opening a section by its path and reading one value, as the profile calls do.
void BM_SettingsOpenAndLookup(benchmark::State& state)
{
    HKEY big = bigKey();
    int i = 0;
    CString value;
    for (auto _ : state) {
        HKEY section = nullptr;
        const std::wstring name = L"Section" + std::to_wstring(i++ % kSections);
        if (RegOpenKey(big, name.c_str(), &section) != ERROR_SUCCESS ||
            RegQueryString(section, L"size", value) != ERROR_SUCCESS)
            state.SkipWithError("section missing");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_SettingsOpenAndLookup)->Unit(benchmark::kMicrosecond);

// Enumerating the first n sub-keys one index at a time.
void BM_SettingsEnumerate(benchmark::State& state)
{
    HKEY big = bigKey();
    const auto n = static_cast<DWORD>(state.range(0));
    CString name;
    for (auto _ : state) {
        for (DWORD i = 0; i < n; ++i)
            if (RegEnumKey(big, i, name) != ERROR_SUCCESS)
                state.SkipWithError("too few sub-keys");
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SettingsEnumerate)->Arg(kSections / 8)->Arg(kSections / 2)->Arg(kSections)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace
