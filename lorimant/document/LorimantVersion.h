// The program's title, version and automation program name, shared by the
// application, the document file header and the journal header.
#pragma once

// The header string written first in every document file.
inline constexpr const wchar_t* kLorimantTitle = L"LORIMANT";
// The program name of the journal file and of the automation object.
inline constexpr const char* kLorimantProgramName = "LorimantDocument";
// The program's version, written to document files and journals.
inline constexpr int kLorimantVersionMajor = 2;
inline constexpr int kLorimantVersionMinor = 0;
