// Lets GoogleTest print a CString as its text (UTF-8, quoted) in failures.
#pragma once

#include <ostream>

#include "platform/core/CString.h"

inline void PrintTo(const CString& text, std::ostream* out) { *out << '"' << wideToUtf8(text.str()) << '"'; }
