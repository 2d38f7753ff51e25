// The wx implementations of the message-box, wait-cursor and status-text
// hooks through which the library code reaches the user.
#pragma once

// Installs them; status texts go to the main frame's message field.
void InstallWxHooks();
