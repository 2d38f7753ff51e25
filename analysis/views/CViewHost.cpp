// Default message and status output of a view host: the process hooks.
#include "analysis/views/CViewHost.h"

#include "platform/core/Hooks.h"

int CViewHost::messageBox(const CString& text, const CString& caption, UINT type) {
    return Hooks::messageBox(text, caption, type);
}

void CViewHost::statusText(const CString& text) { Hooks::statusText(text); }

BOOL CViewHost::preparePrinting(CPrintInfo* /*info*/) { return FALSE; }

bool CViewHost::printPreview(CPrintClient* /*view*/) { return false; }

void CViewHost::endPrintPreview() {}
