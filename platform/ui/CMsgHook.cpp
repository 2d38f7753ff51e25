#include "platform/ui/CMsgHook.h"

#include <wx/combobox.h>
#include <wx/eventfilter.h>
#include <wx/menu.h>
#include <wx/scrolbar.h>
#include <wx/window.h>

#include <algorithm>
#include <set>
#include <vector>

wxDEFINE_EVENT(EVT_LISTCTRLEX_ENDEDIT, wxCommandEvent);

namespace {

struct Registration {
    wxWindow* editor = nullptr;
    wxWindow* list = nullptr;
    wxWindow* notify = nullptr;
    bool suppressed = false;
};

// True when window is inside (or is) ancestor, following parents; a popup
// (the date picker's calendar) has its control as parent.
bool isInside(const wxWindow* window, const wxWindow* ancestor)
{
    for (; window != nullptr; window = window->GetParent())
        if (window == ancestor)
            return true;
    return false;
}

// What outside an editor ends every open edit: scrolling, menus, mouse
// presses and the wheel.
bool endsEditsOutside(wxEventType type)
{
    static const std::set<wxEventType> types = {
        wxEVT_LEFT_DOWN,          wxEVT_RIGHT_DOWN,         wxEVT_MIDDLE_DOWN,          wxEVT_MOUSEWHEEL,
        wxEVT_MENU_OPEN,          wxEVT_MENU_HIGHLIGHT,     wxEVT_SCROLLWIN_TOP,        wxEVT_SCROLLWIN_BOTTOM,
        wxEVT_SCROLLWIN_LINEUP,   wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP,     wxEVT_SCROLLWIN_PAGEDOWN,
        wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE, wxEVT_SCROLL_TOP,     wxEVT_SCROLL_BOTTOM,
        wxEVT_SCROLL_LINEUP,      wxEVT_SCROLL_LINEDOWN,    wxEVT_SCROLL_PAGEUP,        wxEVT_SCROLL_PAGEDOWN,
        wxEVT_SCROLL_THUMBTRACK,  wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED,
    };
    return types.count(type) != 0;
}

class Filter : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override;
};

struct HookState {
    int objects = 0;
    Filter filter;
    std::vector<Registration> registrations;

    std::vector<Registration>::iterator find(const wxWindow* editor)
    {
        return std::find_if(registrations.begin(), registrations.end(),
                            [editor](const Registration& r) { return r.editor == editor; });
    }
    // The registration whose editor holds window, or null.
    Registration* holding(const wxWindow* window)
    {
        for (Registration& r : registrations)
            if (isInside(window, r.editor))
                return &r;
        return nullptr;
    }
};

// One hook for the process: wx runs its windows on one thread.
HookState& state()
{
    static HookState s;
    return s;
}

// Sends the end-edit event (commit or cancel) for a registration, as the
// registration was when the decision was taken.
void endEdit(const Registration& r, bool commit, bool byKey = false)
{
    wxWindow* target = r.notify != nullptr ? r.notify : r.list;
    if (target == nullptr)
        return;
    wxCommandEvent end(EVT_LISTCTRLEX_ENDEDIT, target->GetId());
    end.SetEventObject(r.editor);
    end.SetInt(commit ? 1 : 0);
    end.SetExtraLong(byKey ? 1 : 0);
    target->GetEventHandler()->ProcessEvent(end);
}

// A Tab in the editor goes to the list's own Tab handling, after the
// editor's key press is over.
void repostTab(const Registration& r, bool backward)
{
    if (r.list == nullptr)
        return;
    auto* tab = new wxKeyEvent(wxEVT_KEY_DOWN);
    tab->m_keyCode = WXK_TAB;
    tab->SetShiftDown(backward);
    tab->SetEventObject(r.list);
    tab->SetId(r.list->GetId());
    r.list->GetEventHandler()->QueueEvent(tab);
}

int Filter::FilterEvent(wxEvent& event)
{
    HookState& s = state();
    if (s.registrations.empty())
        return Event_Skip;
    const wxEventType type = event.GetEventType();
    wxWindow* window = dynamic_cast<wxWindow*>(event.GetEventObject());

    if (type == wxEVT_DESTROY) {
        const auto it = s.find(window);
        if (window != nullptr && it != s.registrations.end())
            s.registrations.erase(it);
        return Event_Skip;
    }
    Registration* inside = window != nullptr ? s.holding(window) : nullptr;

    if (type == wxEVT_KILL_FOCUS) {
        if (inside != nullptr && !inside->suppressed) {
            const wxWindow* to = static_cast<wxFocusEvent&>(event).GetWindow();
            if (!isInside(to, inside->editor))
                endEdit(*inside, true);
        }
        return Event_Skip;
    }
    if (type == wxEVT_COMBOBOX_DROPDOWN || type == wxEVT_COMBOBOX_CLOSEUP) {
        if (inside != nullptr)
            inside->suppressed = type == wxEVT_COMBOBOX_DROPDOWN;
        return Event_Skip;
    }
    if (type == wxEVT_CHAR_HOOK || type == wxEVT_KEY_DOWN) {
        if (inside == nullptr)
            return Event_Skip;
        const auto& key = static_cast<wxKeyEvent&>(event);
        const Registration r = *inside;
        switch (key.GetKeyCode()) {
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            endEdit(r, true, true);
            return Event_Processed;
        case WXK_ESCAPE:
            endEdit(r, false, true);
            return Event_Processed;
        case WXK_TAB:
            if (key.ControlDown())
                return Event_Skip;
            repostTab(r, key.ShiftDown());
            return Event_Processed;
        default:
            return Event_Skip;
        }
    }
    if (inside == nullptr && endsEditsOutside(type)) {
        // Ending one edit may end or open others: decide on a copy.
        const std::vector<Registration> open = s.registrations;
        for (const Registration& r : open)
            if (s.find(r.editor) != s.registrations.end() && !r.suppressed)
                endEdit(r, true);
    }
    return Event_Skip;
}

} // namespace

CMsgHook::CMsgHook()
{
    if (state().objects++ == 0)
        wxEvtHandler::AddFilter(&state().filter);
}

CMsgHook::~CMsgHook()
{
    HookState& s = state();
    if (--s.objects == 0) {
        wxEvtHandler::RemoveFilter(&s.filter);
        s.registrations.clear();
    }
}

void CMsgHook::Register(wxWindow* editor, wxWindow* list, wxWindow* notify)
{
    HookState& s = state();
    if (s.objects == 0 || editor == nullptr)
        return;
    Registration r{editor, list, notify != nullptr ? notify : list, false};
    const auto it = s.find(editor);
    if (it != s.registrations.end())
        *it = r;
    else
        s.registrations.push_back(r);
}

bool CMsgHook::Unregister(wxWindow* editor)
{
    HookState& s = state();
    const auto it = s.find(editor);
    if (editor == nullptr || it == s.registrations.end())
        return false;
    s.registrations.erase(it);
    return true;
}

bool CMsgHook::IsRegistered(const wxWindow* editor)
{
    return editor != nullptr && state().find(editor) != state().registrations.end();
}

bool CMsgHook::IsSuppressed(const wxWindow* editor)
{
    const auto it = state().find(editor);
    return editor != nullptr && it != state().registrations.end() && it->suppressed;
}

bool CMsgHook::IsInstalled() { return state().objects > 0; }
