// The process-wide hook that ends an in-place edit of a list cell when the
// user presses Enter or Escape in the editor, moves the focus out of it, or
// clicks, scrolls or opens a menu anywhere else. It is a wx event filter,
// installed while at least one CMsgHook object lives (each editable list
// holds one); editors are registered while they are open.
#pragma once

#include <wx/event.h>

class wxWindow;

// Sent to a registered editor's notification window to end its edit; the
// event's int is the commit flag (1: write the editor's text, 0: cancel),
// its extra long 1 when Enter or Escape ended it (the focus is still in the
// editor), its object the editor.
wxDECLARE_EVENT(EVT_LISTCTRLEX_ENDEDIT, wxCommandEvent);

class CMsgHook {
public:
    // The first object installs the event filter.
    CMsgHook();
    // The last object removes it (and every registration).
    ~CMsgHook();
    CMsgHook(const CMsgHook&) = delete;
    CMsgHook& operator=(const CMsgHook&) = delete;

    // Registers an open editor of list; the end-edit event goes to notify
    // (the list when null). A second registration of an editor replaces the
    // first. Nothing without an installed hook.
    static void Register(wxWindow* editor, wxWindow* list, wxWindow* notify = nullptr);
    // Removes an editor's registration; false when it had none (it was never
    // registered, or the hook saw it destroyed).
    static bool Unregister(wxWindow* editor);
    // True while the editor is registered.
    static bool IsRegistered(const wxWindow* editor);
    // True while the registered editor's drop-down list or calendar is open,
    // which keeps focus changes and outside clicks from ending its edit.
    static bool IsSuppressed(const wxWindow* editor);
    // True while the event filter is installed.
    static bool IsInstalled();
};
