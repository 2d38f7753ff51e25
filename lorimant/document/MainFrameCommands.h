// The window-free half of the main frame's own commands: their ids, the
// texts of the caption bar, the About box and the start-up splash lines,
// and the Units command's effect on the program and the active document.
#pragma once

#include "platform/core/CString.h"

class CXSectionAnalysisDoc;

// Commands of the main frame and of the application menu (the ribbon's
// "File" and "Settings" pages).
inline constexpr int kCommandPrintSetup = 57606;
inline constexpr int kCommandPrint = 57607;
inline constexpr int kCommandPrintPreview = 57609;
inline constexpr int kCommandAbout = 57664;
inline constexpr int kCommandCaptionOptions = 33262;
inline constexpr int kCommandUnits = 33294;
inline constexpr int kCommandToggleCaptionBar = 33312;
inline constexpr int kCommandWindows = 33318;

// The caption bar under the ribbon: its button, the button's tooltip, the
// welcome line and the information image's tooltip (title and text).
inline constexpr const wchar_t* kCaptionOptionsLabel = L"Options...";
inline constexpr const wchar_t* kCaptionOptionsTooltip = L"Click here to see more options";
inline constexpr const wchar_t* kCaptionWelcomeText =
    L"Welcome to Lorimant from Quenholt. For help visit https://lorimant.example.org/help";
inline constexpr const wchar_t* kCaptionImageTitle = L"Important";
inline constexpr const wchar_t* kCaptionImageText = L"Here is an informational message for the user.";
// What Options... says: wx's ribbon has no quick-access toolbar to customise.
inline constexpr const wchar_t* kRibbonCustomisationUnavailable = L"Ribbon customisation is not available.";

// The two status lines of the splash window at start-up.
inline constexpr const wchar_t* kSplashStartingText = L"Starting application...";
inline constexpr const wchar_t* kSplashVideosText =
    L"Instructional videos: https://lorimant.example.org/videos";
// How long the second splash line stays (ms) and the pause before it.
inline constexpr int kSplashDisplayMilliseconds = 1000;
inline constexpr int kSplashPauseMilliseconds = 1000;

// The About box: its caption and lines.
inline constexpr const wchar_t* kAboutCaption = L"About Lorimant";
// The program's name, "Lorimant".
CString AboutProgramName();
// "Version 2.0.4": "Version " and the program's product version.
CString AboutVersionText();
// "Built On: Oct 8, 2017  1:58 am PST".
CString AboutBuiltOnText();

// The journal line of a unit system choice (non-zero: US customary).
CString UnitSystemJournalLine(int selection);
// The Units command after OK on selection (0 SI in centimetres, any other
// value US customary in inches). With a document: the document's automation
// method SetUnitsystem runs (gUnitSystem, and the document's own unit system
// when it has none yet), then the line "xscn.SetUnitSystem QHT_SI" or
// "xscn.SetUnitSystem QHT_USCS" goes into its journal, so that the command
// and its replay do the same. Without a document only gUnitSystem changes.
// What the automation method refuses is thrown before anything is written.
void ApplyUnitsChoice(CXSectionAnalysisDoc* doc, int selection);
