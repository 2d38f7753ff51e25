// The application object of Pashwell.
#pragma once

#include <wx/app.h>

class CPashwellApp : public wxApp {
public:
    // Runs the main dialog modally; the program ends when it closes.
    bool OnInit() override;
    // Nothing is left to run once the dialog has closed.
    int OnRun() override;
    // Shows the text of an exception that reached an event loop and goes on.
    bool OnExceptionInMainLoop() override;
};
