#include "platform/core/Hooks.h"

#include <deque>
#include <utility>

namespace {

struct HookState {
    Hooks::MessageBoxFn messageBox;
    Hooks::WaitCursorFn waitCursor;
    Hooks::StatusTextFn statusText;
    std::deque<int> script;
    std::vector<MessageBoxCall> boxes;
    std::vector<CString> texts;
    int waitDepth = 0;
    int waitCount = 0;
};

// One table per process: the platform library is shared, so every library
// that calls a hook reaches this one.
HookState& state()
{
    static HookState s;
    return s;
}

} // namespace

void Hooks::setMessageBox(MessageBoxFn fn) { state().messageBox = std::move(fn); }
void Hooks::setWaitCursor(WaitCursorFn fn) { state().waitCursor = std::move(fn); }
void Hooks::setStatusText(StatusTextFn fn) { state().statusText = std::move(fn); }

void Hooks::reset()
{
    state() = HookState();
}

int Hooks::defaultAnswer(UINT type)
{
    // Buttons of each box type, in order; the default button picks one.
    static const int buttons[6][3] = {
        {IDOK, IDOK, IDOK},
        {IDOK, IDCANCEL, IDCANCEL},
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, IDNO},
        {IDRETRY, IDCANCEL, IDCANCEL},
    };
    const UINT kind = type & MB_TYPEMASK;
    const UINT def = (type & MB_DEFMASK) >> 8;
    if (kind > 5)
        return IDOK;
    return buttons[kind][def > 2 ? 0 : def];
}

int Hooks::messageBox(const CString& text, const CString& caption, UINT type)
{
    HookState& s = state();
    if (s.messageBox)
        return s.messageBox(text, caption, type);
    int answer = defaultAnswer(type);
    if (!s.script.empty()) {
        answer = s.script.front();
        s.script.pop_front();
    }
    s.boxes.push_back(MessageBoxCall{text, caption, type, answer});
    return answer;
}

void Hooks::waitCursor(bool begin)
{
    HookState& s = state();
    if (s.waitCursor) {
        s.waitCursor(begin);
        return;
    }
    if (begin) {
        ++s.waitDepth;
        ++s.waitCount;
    } else if (s.waitDepth > 0) {
        --s.waitDepth;
    }
}

void Hooks::statusText(const CString& text)
{
    HookState& s = state();
    if (s.statusText)
        s.statusText(text);
    else
        s.texts.push_back(text);
}

void Hooks::scriptAnswers(std::vector<int> answers)
{
    state().script.assign(answers.begin(), answers.end());
}

const std::vector<MessageBoxCall>& Hooks::messageBoxes() { return state().boxes; }
int Hooks::waitCursorDepth() { return state().waitDepth; }
int Hooks::waitCursorCount() { return state().waitCount; }
const std::vector<CString>& Hooks::statusTexts() { return state().texts; }

void Hooks::clearRecords()
{
    HookState& s = state();
    s.boxes.clear();
    s.texts.clear();
    s.waitDepth = 0;
    s.waitCount = 0;
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT)
{
    return Hooks::messageBox(CString(text), CString(), type);
}

int AfxMessageBox(const char* text, UINT type, UINT)
{
    return Hooks::messageBox(CString(text), CString(), type);
}

int AfxMessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return Hooks::messageBox(CString(text), CString(caption), type);
}

void AfxSetStatusText(const wchar_t* text)
{
    Hooks::statusText(CString(text));
}
