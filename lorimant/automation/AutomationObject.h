// The exception boundary of the automation objects that the document's
// methods hand out (shape, shape collection, material): whatever a member
// throws leaves as a COleDispatchException, as it does for the document.
#pragma once

#include "platform/ole/CDispatchTable.h"

// Runs work() as one member of an automation object: a dispatch exception
// keeps its code, every other kind becomes code 1 with its text.
template <class Work>
auto AutomationObjectMethod(Work&& work) -> decltype(work())
{
    try {
        return work();
    } catch (...) {
        AfxRethrowAsOleDispatchException();
    }
}
