// Starting desktop programs beside the program: the calculator that the
// view and the material dialog offer.
#pragma once

#include "platform/core/CString.h"

// Starts program (a path when it holds a "/", else found along PATH) and
// does not wait for it. True when it started; false, with nothing shown or
// logged, when it cannot start.
bool StartProgram(const CString& program);

// Starts the program that the setting "Calculator" of the section
// "Settings" names ("gnome-calculator" when unset), as StartProgram does.
bool LaunchCalculator();
