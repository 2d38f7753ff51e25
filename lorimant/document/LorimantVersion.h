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
// The product version of the release and the build stamp shown in the main
// window's title and status bar.
inline constexpr const wchar_t* kLorimantProductVersion = L"2.0.4";
inline constexpr const wchar_t* kLorimantBuiltOn = L"Oct 8, 2017  1:58 am PST";
