// What an OpenGL view needs of the window that shows it. The view's logic
// (drawing into its off-screen buffer, picking, camera, mouse loops) talks
// only to this interface, so it runs with no display: the program's window
// adapter implements it on a real window, tests on a recording stub.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CPrintClient;
class CPrintInfo;

// The mouse cursors a view shows.
enum class ViewCursor { Arrow, Cross, Wait };

class CViewHost {
public:
    virtual ~CViewHost() = default;

    // The client rectangle of the window in pixels (left and top 0).
    virtual CRect clientRect() const = 0;
    // Marks the whole window for repainting, erasing the background first
    // when erase is true.
    virtual void invalidate(bool erase) = 0;
    // Repaints the window at once.
    virtual void updateWindow() = 0;
    // Copies the view's buffer onto the whole client area now.
    virtual void presentBuffer() = 0;
    // Shows the cursor over the window; returns the one shown before.
    virtual ViewCursor setCursor(ViewCursor cursor) = 0;
    // Sends every mouse event to the window until released.
    virtual void captureMouse() = 0;
    // Ends a mouse capture.
    virtual void releaseMouse() = 0;

    // Shows a message box; returns the answer. Default: the process-wide
    // message-box hook (an empty caption is the program's own).
    virtual int messageBox(const CString& text, const CString& caption, UINT type);
    // Shows a status-bar text. Default: the process-wide status hook.
    virtual void statusText(const CString& text);

    // The print dialog: fills the job's page range and printer; FALSE when
    // the user cancels. Default (no window): FALSE.
    virtual BOOL preparePrinting(CPrintInfo* info);
    // Opens the print preview of the view's pages; false when it cannot
    // (the program then says the command failed). Default: false.
    virtual bool printPreview(CPrintClient* view);
    // Closes the print preview. Default: nothing.
    virtual void endPrintPreview();
};
