// What the window tests share: wx started once per test process, pending
// work run to its end, and a PNG of a window as it shows on the screen,
// written into the test build folder for a person to look at.
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <filesystem>
#include <string>

#include "platform/core/Settings.h"

namespace gui_test {

// Starts wx for the whole test process with app as its application object
// (a plain wxApp when null); later calls return the first call's result.
// Messages wx logs go to the error output and a failed wx assertion fails
// the running test, never into a window that waits for a click. False
// without a display.
inline bool StartWx(wxApp* app = nullptr)
{
    static const bool started = [app] {
        static int argc = 1;
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(app != nullptr ? app : new wxApp);
        const bool ok = wxEntryStart(argc, argv);
        if (ok)
            delete wxLog::SetActiveTarget(new wxLogStderr);
        wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                              const wxString& msg) {
            ADD_FAILURE() << "wx assertion " << cond << " failed in " << func << " (" << file << ":" << line
                          << "): " << msg;
        });
        return ok;
    }();
    return started;
}

// Runs pending events, window-system events and idle work (the deferred
// deletion of destroyed windows) until they are done.
inline void Flush()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
        wxTheApp->ProcessIdle();
    }
}

// Runs pending work and gives the X server time to deliver simulated input.
inline void Settle()
{
    for (int i = 0; i < 6; ++i) {
        Flush();
        wxMilliSleep(15);
    }
}

// Waits (two seconds at most) until simulated input had its effect; the
// condition's last value.
template <class Condition>
bool Eventually(Condition condition)
{
    for (int i = 0; i < 100 && !condition(); ++i) {
        Flush();
        wxMilliSleep(20);
    }
    return condition();
}

// Copies window and, over it, every shown window inside it (each has its
// own surface, the status bar for one) into memory at their places.
inline void CopyWindowInto(wxMemoryDC& memory, wxWindow& window, const wxPoint& origin)
{
    if (!window.IsShown())
        return;
    const wxPoint at = window.GetScreenPosition() - origin;
    const wxSize size = window.GetSize();
    {
        wxWindowDC source(&window);
        memory.Blit(at.x, at.y, size.x, size.y, &source, 0, 0);
    }
    for (wxWindow* child : window.GetChildren())
        if (!child->IsTopLevel())
            CopyWindowInto(memory, *child, origin);
}

// Writes the window, as the screen shows it, to <name>.png in the test
// program's folder; returns the file's path (empty when it was not written).
inline std::filesystem::path SaveWindowPng(wxWindow& window, const std::string& name)
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);
    window.Raise();
    window.Refresh();
    window.Update();
    // GTK paints on its frame clock: give it a few frames.
    for (int i = 0; i < 15; ++i) {
        Flush();
        wxMilliSleep(20);
    }
    wxBitmap bitmap(window.GetSize(), 24);
    {
        wxMemoryDC memory(bitmap);
        CopyWindowInto(memory, window, window.GetScreenPosition());
    }
    const std::filesystem::path file =
        std::filesystem::path(GetProgramFolder().ToUtf8()) / (name + ".png");
    if (!bitmap.ConvertToImage().SaveFile(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG))
        return {};
    return file;
}

} // namespace gui_test
