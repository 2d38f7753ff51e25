// Entry point of the section-analysis program. The command line is read
// before anything of the user interface starts: an automation start
// ("--run FILE", "/Automation", "/Embedding", "--automation",
// "--embedding") runs a macro in the journal's language on one document
// that is never shown, with no window and no display; "/Register" and
// "/Unregister" have nothing to do on this platform and succeed. Any other
// start opens the windows: "lorimant [FILE.qhscn]".
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/init.h>
#include <wx/log.h>

#include "lorimant/app/CLorimantApp.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

namespace {

namespace fs = std::filesystem;

// What the command line asks for.
struct StartUp {
    enum class Mode { Windowed, Headless, Registration, Invalid };
    Mode mode = Mode::Windowed;
    std::optional<std::string> macro;  // the macro file; standard input when absent
    std::string file;                  // Windowed: the document to open
    std::string problem;               // Invalid: what is wrong
};

const struct {
    const char* word;
    StartUp::Mode mode;
} kSwitches[] = {
    {"/Automation", StartUp::Mode::Headless}, {"/Embedding", StartUp::Mode::Headless},
    {"--automation", StartUp::Mode::Headless}, {"--embedding", StartUp::Mode::Headless},
    {"/Register", StartUp::Mode::Registration}, {"/Unregister", StartUp::Mode::Registration},
};

StartUp parseCommandLine(int argc, char** argv)
{
    StartUp s;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--run") {
            s.mode = StartUp::Mode::Headless;
            if (i + 1 < argc) s.macro = argv[++i];
            continue;
        }
        const auto it = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                     [&](const auto& sw) { return arg == sw.word; });
        // Any other word is the document to open ("/..." is a path here);
        // an unknown "-" option is refused.
        const bool looksLikeOption = !arg.empty() && arg[0] == '-';
        if (it == std::end(kSwitches) && !looksLikeOption && s.file.empty()) {
            s.file = arg;
            continue;
        }
        if (it == std::end(kSwitches)) return {StartUp::Mode::Invalid, std::nullopt, {}, "unknown argument " + arg};
        if (s.mode != StartUp::Mode::Registration) s.mode = it->mode;
    }
    return s;
}

// Last-write times of the regular files directly in folder.
std::map<fs::path, fs::file_time_type> filesIn(const fs::path& folder)
{
    std::map<fs::path, fs::file_time_type> found;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file(ec)) found[e.path()] = e.last_write_time(ec);
    return found;
}

// A message box of a run without a display: its text goes to the error
// output and its default button answers it.
int headlessMessageBox(const CString& text, const CString& caption, UINT type)
{
    std::cerr << (caption.IsEmpty() ? std::string("Lorimant") : caption.ToUtf8()) << ": " << text.ToUtf8() << "\n";
    return Hooks::defaultAnswer(type);
}

// Runs the macro on one hidden document; the exit status of the program.
int runHeadless(const StartUp& s)
{
    Hooks::setMessageBox(headlessMessageBox);
    std::ifstream file;
    if (s.macro) {
        file.open(*s.macro, std::ios::binary);
        if (!file) {
            std::cerr << "Lorimant: cannot open the macro " << *s.macro << "\n";
            return 1;
        }
    }
    const std::string macroName = s.macro ? *s.macro : "(standard input)";
    const fs::path folder = fs::current_path();
    const auto before = filesIn(folder);

    std::string journal;
    const JournalRunResult result =
        RunMacroHeadless(s.macro ? static_cast<std::istream&>(file) : std::cin, std::cout, &journal);

    if (!result.ok) {
        std::cerr << macroName << ":" << result.lineNumber << ": " << result.line << "\n"
                  << "  " << result.description << "\n";
        return result.ExitStatus();
    }
    for (const auto& [path, time] : filesIn(folder)) {
        const auto old = before.find(path);
        if (old == before.end() || old->second != time) std::cout << "Wrote " << path.string() << "\n";
    }
    if (!journal.empty()) std::cout << "Journal " << journal << "\n";
    std::cout << "Lorimant: the macro " << macroName << " finished.\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const StartUp s = parseCommandLine(argc, argv);
    switch (s.mode) {
    case StartUp::Mode::Invalid:
        std::cerr << "Lorimant: " << s.problem
                  << "\nUsage: lorimant [FILE.qhscn | --run FILE | /Automation | /Embedding]\n";
        return 2;
    case StartUp::Mode::Registration:
        return 0;
    case StartUp::Mode::Headless:
        try {
            return runHeadless(s);
        } catch (const std::exception& e) {
            std::cerr << "Lorimant: " << e.what() << "\n";
        } catch (const CException& e) {
            std::cerr << "Lorimant: " << e.ErrorText().ToUtf8() << "\n";
        }
        return 1;
    case StartUp::Mode::Windowed:
        break;
    }
    // Without a display wx explains why it cannot start: on the error
    // output, not in a message box that needs the display it lacks.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    auto* app = new CLorimantApp;
    app->SetStartFile(wxString::FromUTF8(s.file));
    wxApp::SetInstance(app);
    return wxEntry(argc, argv);
}
