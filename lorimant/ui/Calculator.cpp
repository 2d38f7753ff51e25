// Starting the desktop calculator.
#include "lorimant/ui/Calculator.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <wx/log.h>
#include <wx/utils.h>

#include "platform/core/Settings.h"

namespace {

// The executable file that program names: itself when it holds a "/",
// else the first executable of that name along PATH; empty when none.
std::string findProgram(const std::string& program)
{
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return access(program.c_str(), X_OK) == 0 ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace

bool StartProgram(const CString& name)
{
    const std::string program = findProgram(CString(name).Trim().ToUtf8());
    if (program.empty())
        return false;
    // A failure to start is not the user's concern: wx must not show it.
    wxLogNull quiet;
    const std::wstring executable = wxString::FromUTF8(program).ToStdWstring();
    const wchar_t* argv[] = {executable.c_str(), nullptr};
    return wxExecute(argv, wxEXEC_ASYNC) != 0;
}

bool LaunchCalculator()
{
    return StartProgram(Settings::GetProfileString(L"Settings", L"Calculator", L"gnome-calculator"));
}
