// Small shared services: generated object names and unique ids, the contour
// colour scale, journal suspension, platform queries, the registry helpers
// over the settings store, and UTF-8 conversion.
#pragma once

#include <memory>
#include <string>

#include "platform/core/CString.h"
#include "platform/core/Settings.h"

// --- Names and ids -------------------------------------------------------

// Advances the name base and returns a copy of it. When the first character
// is 'z' it becomes 'a' and the second is incremented (past 'z' it keeps
// counting: "zz$$" gives "a{$$"); otherwise the first is incremented. The
// length never changes; an empty base stays empty.
CString nameGen();
// The current name base ("aa$$" at load).
CString getBaseName();
// Replaces the name base (the document restores its stored base).
void setBaseName(CString base);

// The counter's ceiling: ids are below it, and a document whose stored
// counter lies above it is damaged. It leaves 2^24 ids between the
// ceiling and the end of int, so the counter can never overflow.
inline constexpr int kUniqueIDLimit = 0x7FFFFFFF - (1 << 24);
// Returns gUniqueID and then increments it. Throws std::overflow_error
// "No unique ids left" (gUniqueID unchanged) once the counter has reached
// kUniqueIDLimit.
int uniqueID();
// Sets gUniqueID.
void uniqueID(int id);
// Help id of a resource id: id + 65536.
int getHID(int id);

// --- Colour scale --------------------------------------------------------

// Contour colour of v on the scale vmin..vmax with zero green, the negative
// end blue and the positive end red (both darkened towards the ends). A
// flat range (relative spread below 1e-5, or both ends zero) is green; a
// value outside the range takes the colour of the nearer end; every output
// lies in [0, 1]. Throws std::logic_error " bad computation for color plot"
// when a one-sign range has its band points out of order (vmin > vmax).
void getColorZeroGreen(double v, double vmin, double vmax, double* red,
                       double* green, double* blue);

// --- Journal suspension and platform ------------------------------------

// Process-wide logging flag (false at load). Nothing in the library reads
// it; the journal blocks its lines by its own means.
extern bool logActive;

// Saves logActive and clears it.
void logSuspend();
// Restores logActive from the copy saved by logSuspend.
void logRestart();

// True: the operating system is always recent enough.
bool isNT2000();
// Number of installed programs of that name; there is no system-wide list
// of installed programs to consult here, so always 0.
short EnumInstalledSoftware(CString name);

// --- Registry helpers over the settings store ----------------------------

// The string value valueName of key as UTF-8 text; key is closed in every
// case. When the read fails, the text of the error is shown in a message box
// ("Error") and the wide text "getRegCString:: get fetch value" is thrown,
// unless the error text reports success, in which case "" is returned.
CStringA getRegCString(HKEY key, const wchar_t* valueName);
// getRegCString parsed as a decimal number (C locale) and truncated to int;
// text that is not a number gives 0.
int getRegInt(HKEY key, const wchar_t* valueName);
// Writes value ("%d") as the default value of subKey, creating the sub-key
// when missing; returns 1. A sub-key that cannot be created is reported in a
// message box ("Error") and, like a failed write, throws the wide text
// "Can't set registry value".
int setRegInt(HKEY key, const wchar_t* subKey, int value);
// 1 when subKey of key can be opened, else 0.
int existRegCString(HKEY key, const wchar_t* subKey);
// Deletes subKey with everything below it, children first. Returns the
// first error met, or the result of deleting subKey itself.
long recursiveDeleteKey(HKEY key, const wchar_t* subKey);

// --- UTF-8 ---------------------------------------------------------------

// UTF-8 form of wide text; empty for an empty input.
std::string utf8_encode(const std::wstring& text);
// A new zero-terminated buffer with the UTF-8 form of the string.
std::unique_ptr<char[]> utf8_encode(const CString& text);
// Wide form of UTF-8 text (malformed bytes become U+FFFD); empty for an
// empty input.
std::wstring utf8_decode(const std::string& text);
