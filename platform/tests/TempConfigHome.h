// A fresh settings folder for one test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace test_support {

// Points $XDG_CONFIG_HOME at a fresh folder for the lifetime of the object.
class TempConfigHome {
public:
    TempConfigHome()
    {
        m_dir = std::filesystem::temp_directory_path() / ("lorimant_core_cfg_" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_dir);
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            m_saved = old, m_had = true;
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    ~TempConfigHome()
    {
        if (m_had)
            ::setenv("XDG_CONFIG_HOME", m_saved.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(m_dir);
    }
    const std::filesystem::path& dir() const { return m_dir; }

private:
    std::filesystem::path m_dir;
    std::string m_saved;
    bool m_had = false;
};

} // namespace test_support
