// The files that automation methods wrote, as a run without a window
// reports them: each method that writes a file notes its path once the file
// is written, and the run takes the list when the macro ends.
#pragma once

#include <string>
#include <vector>

#include "platform/core/CString.h"

// Notes that path (as the caller named it, relative to the working folder
// or absolute) has been written.
void NoteFileWritten(const CString& path);

// The absolute paths noted since the last call, each once, in the order of
// their first writing; the list starts again empty.
std::vector<std::string> TakeWrittenFiles();
