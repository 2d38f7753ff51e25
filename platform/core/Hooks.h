// Hooks through which library code reaches the user interface: message
// boxes, the wait cursor and the status-bar text. By default they record
// every call and answer message boxes from a script, so tests can assert on
// them and headless runs never block; the program installs its wx
// implementations at start-up.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <functional>
#include <vector>

// Buttons (low nibble of the type).
constexpr UINT MB_OK = 0x00000000u;
constexpr UINT MB_OKCANCEL = 0x00000001u;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002u;
constexpr UINT MB_YESNOCANCEL = 0x00000003u;
constexpr UINT MB_YESNO = 0x00000004u;
constexpr UINT MB_RETRYCANCEL = 0x00000005u;
constexpr UINT MB_TYPEMASK = 0x0000000Fu;
// Icons.
constexpr UINT MB_ICONHAND = 0x00000010u;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020u;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030u;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040u;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0u;
// Default button.
constexpr UINT MB_DEFBUTTON1 = 0x00000000u;
constexpr UINT MB_DEFBUTTON2 = 0x00000100u;
constexpr UINT MB_DEFBUTTON3 = 0x00000200u;
constexpr UINT MB_DEFMASK = 0x00000F00u;
// Modality (accepted, no effect here).
constexpr UINT MB_APPLMODAL = 0x00000000u;
constexpr UINT MB_SYSTEMMODAL = 0x00001000u;
constexpr UINT MB_TASKMODAL = 0x00002000u;
constexpr UINT MB_SETFOREGROUND = 0x00010000u;
constexpr UINT MB_TOPMOST = 0x00040000u;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// One message box shown through the hooks.
struct MessageBoxCall {
    CString text;
    CString caption;   // empty: the program's default caption
    UINT type;         // buttons | icon | default button
    int answer;        // what the hook returned
};

// The process-wide hook table and the recording default.
class Hooks {
public:
    using MessageBoxFn = std::function<int(const CString& text, const CString& caption, UINT type)>;
    using WaitCursorFn = std::function<void(bool begin)>;
    using StatusTextFn = std::function<void(const CString& text)>;

    // Installs the program's message box (null restores the recording default).
    static void setMessageBox(MessageBoxFn fn);
    // Installs the program's wait cursor (called with true on begin, false on end; null restores the default).
    static void setWaitCursor(WaitCursorFn fn);
    // Installs the program's status-bar text (null restores the default).
    static void setStatusText(StatusTextFn fn);
    // Restores all recording defaults and clears the records and the script.
    static void reset();

    // Shows a message box through the installed hook; returns the answer.
    static int messageBox(const CString& text, const CString& caption, UINT type);
    // Begins (true) or ends (false) a wait cursor through the installed hook.
    static void waitCursor(bool begin);
    // Shows a status text through the installed hook.
    static void statusText(const CString& text);

    // Recording default: answers to give, in order, to the next message
    // boxes. With the script empty a box is answered with its default
    // button (IDOK, IDYES, IDABORT or IDRETRY for the first button).
    static void scriptAnswers(std::vector<int> answers);
    // Recording default: every message box so far.
    static const std::vector<MessageBoxCall>& messageBoxes();
    // Recording default: current nesting depth of wait cursors.
    static int waitCursorDepth();
    // Recording default: number of wait cursors begun.
    static int waitCursorCount();
    // Recording default: every status text so far.
    static const std::vector<CString>& statusTexts();
    // Clears the records (not the hooks or the script).
    static void clearRecords();
    // The answer of the default button of a message box type.
    static int defaultAnswer(UINT type);
};

// Shows text with the program's caption; returns the answer (IDOK, IDYES, ...).
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
// Shows UTF-8 text with the program's caption; returns the answer.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// Shows text with a caption; returns the answer.
int AfxMessageBox(const wchar_t* text, const wchar_t* caption, UINT type);

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() { Hooks::waitCursor(true); }
    ~CWaitCursor() { Hooks::waitCursor(false); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    // Shows the wait cursor again after something (a message box) replaced it.
    void Restore() { Hooks::waitCursor(true); Hooks::waitCursor(false); }
};

// Shows a text in the status bar.
void AfxSetStatusText(const wchar_t* text);
