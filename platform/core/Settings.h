// Settings: an INI-style store in $XDG_CONFIG_HOME/lorimant/settings.ini
// (fallback $HOME/.config/lorimant) that stands in for the registry and the
// application profile, plus the user's folders and names.
//
// The store is a tree of keys (sections named by their backslash-separated
// path under a root such as HKEY_CURRENT_USER) holding named string values.
// The file is parsed once and kept in memory; every change is written
// through at once (a new file renamed over the old, so no reader sees half
// a file), and the file is parsed again only when it changed on disk, so
// the store always reflects the file.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <vector>

// Open key of the store. Handles are interned: closing is optional and a
// handle stays valid for the whole process.
struct LorimantSettingsKey;
using HKEY = LorimantSettingsKey*;

// Predefined roots.
extern const HKEY HKEY_CLASSES_ROOT;
extern const HKEY HKEY_CURRENT_USER;
extern const HKEY HKEY_LOCAL_MACHINE;
extern const HKEY HKEY_USERS;

// Result codes of the key functions.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;

// Opens an existing sub-key (null or empty: the key itself). ERROR_FILE_NOT_FOUND when absent.
LONG RegOpenKey(HKEY key, const wchar_t* subKey, HKEY* result);
// Opens a sub-key, creating it and its missing parents.
LONG RegCreateKey(HKEY key, const wchar_t* subKey, HKEY* result);
// Releases a handle (nothing to release for interned handles).
LONG RegCloseKey(HKEY key);
// Reads a string value (null or empty name: the key's default value). ERROR_FILE_NOT_FOUND when absent.
LONG RegQueryString(HKEY key, const wchar_t* valueName, CString& data);
// Writes a string value (null or empty name: the default value), creating the key.
LONG RegSetString(HKEY key, const wchar_t* valueName, const wchar_t* data);
// Removes a value. ERROR_FILE_NOT_FOUND when absent.
LONG RegDeleteValue(HKEY key, const wchar_t* valueName);
// Name of the index-th direct sub-key in name order; ERROR_NO_MORE_ITEMS past the last.
LONG RegEnumKey(HKEY key, DWORD index, CString& name);
// Deletes a sub-key that has no sub-keys of its own (its values go with it).
// ERROR_ACCESS_DENIED when it has sub-keys, ERROR_FILE_NOT_FOUND when absent.
LONG RegDeleteKey(HKEY key, const wchar_t* subKey);
// Deletes a sub-key with everything below it.
LONG RegDeleteTree(HKEY key, const wchar_t* subKey);
// Full path of a key ("HKEY_CURRENT_USER\Software\...").
CString RegKeyPath(HKEY key);

// Calling thread's last error code. The key functions return their result
// and leave it alone, as registry functions do.
DWORD GetLastError();
// Sets the calling thread's last error code.
void SetLastError(DWORD code);
// Text of a result code; "The operation completed successfully." for 0.
CString FormatSystemMessage(DWORD code);

// The application profile: sections under
// HKEY_CURRENT_USER\Software\<registry key>\<application name>.
class Settings {
public:
    // Sets the registry key (default "Local AppWizard-Generated Applications").
    static void SetRegistryKey(const wchar_t* company);
    // Sets the application name (default "Lorimant").
    static void SetApplicationName(const wchar_t* name);
    // Key path of the profile under HKEY_CURRENT_USER.
    static CString ProfileKeyPath();

    // The string of an entry, or `defaultValue` when absent.
    static CString GetProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue = L"");
    // Writes an entry; a null value deletes the entry, a null entry deletes the section. FALSE on failure.
    static BOOL WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value);
    // The integer of an entry (decimal text), or `defaultValue` when absent or not a number.
    static UINT GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue);
    // Writes an integer entry (decimal text). FALSE on failure.
    static BOOL WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value);

    // Folder of the store: $XDG_CONFIG_HOME/lorimant, else $HOME/.config/lorimant.
    static CString ConfigFolder();
    // File of the store inside ConfigFolder().
    static CString StoreFile();
};

// The user's profile (home) folder: $HOME, else the password database entry.
CString GetProfileFolder();
// Full path of the running program (/proc/self/exe).
CString GetProgramPath();
// Folder of the running program, without a trailing separator.
CString GetProgramFolder();
// The user's login name (password database; $USER or $LOGNAME when absent).
CString GetLoginName();
