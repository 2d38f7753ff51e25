// The desktop calculator that the program offers beside its dialogs.
#pragma once

// Starts the program that the setting "Calculator" of the section
// "Settings" names ("gnome-calculator" when unset), found along PATH
// unless the name holds a "/", and does not wait for it. True when it
// started; false, with nothing shown or logged, when it cannot start.
bool LaunchCalculator();
