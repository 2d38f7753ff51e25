// Entry point of the section-analysis program. The command line is read
// before anything of the user interface starts: "--help [METHOD]", "-h",
// "--list" and "--version" print the reference and end; an automation start
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

#include <unistd.h>

#include <cstdio>
#include <streambuf>

#include <wx/init.h>
#include <wx/log.h>

#include "lorimant/app/CLorimantApp.h"
#include "lorimant/automation/MacroReference.h"
#include "lorimant/document/LorimantVersion.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

namespace {

namespace fs = std::filesystem;

// What the command line asks for.
struct StartUp {
    enum class Mode { Windowed, Headless, Registration, Invalid, Help, List, Version };
    Mode mode = Mode::Windowed;
    std::optional<std::string> macro;  // the macro file; standard input when absent
    std::string file;                  // Windowed: the document to open; Help: the method asked about
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
        if (arg == "--help" || arg == "-h") {
            s.mode = StartUp::Mode::Help;
            if (i + 1 < argc) s.file = argv[++i];
            return s;
        }
        if (arg == "--list" || arg == "--version") {
            s.mode = arg == "--list" ? StartUp::Mode::List : StartUp::Mode::Version;
            return s;
        }
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

// Writes to a file descriptor: the report of a headless run goes to the
// real standard output while everything else written to descriptor 1 (the
// diagnostics of the libraries) is sent to the error output.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) {}

protected:
    int_type overflow(int_type c) override
    {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* data, std::streamsize n) override
    {
        std::streamsize done = 0;
        while (done < n) {
            const ssize_t w = ::write(m_fd, data + done, static_cast<std::size_t>(n - done));
            if (w <= 0) return done;
            done += w;
        }
        return done;
    }

private:
    int m_fd;
};

// A message box of a run without a display: its text goes to the error
// output and its default button answers it.
int headlessMessageBox(const CString& text, const CString& caption, UINT type)
{
    std::cerr << (caption.IsEmpty() ? std::string("Lorimant") : caption.ToUtf8()) << ": " << text.ToUtf8() << "\n";
    return Hooks::defaultAnswer(type);
}

// Runs the macro on one hidden document; the exit status of the program.
// Standard output carries only the statements, the values, the files
// written and the journal; every other text goes to the error output.
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

    std::fflush(stdout);
    const int report = ::dup(STDOUT_FILENO);
    if (report < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::cerr << "Lorimant: cannot set up the output\n";
        return 1;
    }
    DescriptorBuffer buffer(report);
    std::ostream out(&buffer);

    std::string journal;
    HeadlessRunReport run;
    const JournalRunResult result = RunMacroHeadless(s.macro ? static_cast<std::istream&>(file) : std::cin, out,
                                                     &journal, {}, &run);
    std::fflush(stdout);
    if (!run.journalProblem.empty())
        std::cerr << "Lorimant: the journal of this run is not written: " << run.journalProblem << "\n";
    for (const std::string& path : run.written) out << "Wrote " << path << "\n";
    if (!journal.empty()) out << "Journal " << journal << "\n";
    if (result.ok) out << "Lorimant: the macro " << macroName << " finished.\n";
    out.flush();
    ::close(report);
    if (!result.ok) {
        std::cerr << macroName << ":" << result.lineNumber << ": " << result.line << "\n"
                  << "  " << result.description << "\n";
    }
    return result.ExitStatus();
}

// The reference texts: usage, one method, or every name.
int printReference(const StartUp& s)
{
    switch (s.mode) {
    case StartUp::Mode::Version:
        std::cout << "Lorimant " << kLorimantVersionMajor << "." << kLorimantVersionMinor << "\n";
        return 0;
    case StartUp::Mode::List:
        std::cout << MacroListText();
        return 0;
    default:
        break;
    }
    if (s.file.empty()) {
        std::cout << ProgramUsageText();
        return 0;
    }
    const std::string text = MacroMemberHelpText(s.file);
    if (!text.empty()) {
        std::cout << text;
        return 0;
    }
    std::vector<std::string> names;
    for (const MacroMember& m : MacroMembers()) names.push_back(m.name);
    std::cerr << "Lorimant: no method is called " << s.file << "." << DidYouMean(s.file, names)
              << " (lorimant --list names them all.)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const StartUp s = parseCommandLine(argc, argv);
    switch (s.mode) {
    case StartUp::Mode::Invalid:
        std::cerr << "Lorimant: " << s.problem << "\n" << ProgramUsageText();
        return 2;
    case StartUp::Mode::Help:
    case StartUp::Mode::List:
    case StartUp::Mode::Version:
        return printReference(s);
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
