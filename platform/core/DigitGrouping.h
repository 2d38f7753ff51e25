// Whole numbers shown with the digit grouping of the user's locale, and
// such grouped texts read back. Grouping and reading use the same locale
// (the one the environment names, std::locale("")), so whatever separator
// a number was shown with is the one removed when it is read; the number
// itself is always parsed in the C locale.
#pragma once

#include "platform/core/CString.h"

// Empty for -99999 (no value); otherwise the integer written with the
// thousands separator and grouping of the user's locale ("1,234,567" under
// en_US, "1.234.567" under de_DE, "1234567" under C).
CString commatize(long long value);

// The text without the user's locale's group separators. A separator that
// is also the C locale's decimal point (".") is removed only where the
// text is an integer grouped in threes ("12.500" becomes "12500", "12.5"
// and "0.125" stay); a space-like separator removes every kind of space
// between digits. Blanks around the text are trimmed.
CString RemoveGroupSeparators(const CString& text);

// Reads a number shown by commatize (or typed): the separators removed as
// RemoveGroupSeparators does, the rest parsed in the C locale. An empty
// (or blank) text leaves value as it is and returns true; a text that is
// not a finite number leaves value and returns false.
bool ReadGroupedNumber(const CString& text, double& value);

// Parses a whole text as a finite double in the C locale: blanks around it
// and a leading "+" are accepted, anything else after the number is not.
// False (value untouched) when the text is empty or not such a number.
bool ParseCDouble(const CString& text, double& value);
