// Version information of a program file: the fixed numbers, the translation
// table and the per-translation string values. On this platform files carry
// no version resource; the information of this program is compiled in and
// returned for the program's own file name.
#pragma once

#include <memory>

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// A (language, code page) pair of a string table.
struct TRANSLATION {
  WORD language;
  WORD codePage;
};

// A 64-bit time as two 32-bit halves.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

class CVersionInfo {
 public:
  // No block loaded; translation language 0, code page 1252.
  CVersionInfo();
  // Releases the block.
  ~CVersionInfo();
  // Takes over other's block (other is left without one) and copies its
  // translation.
  CVersionInfo(CVersionInfo& other);
  // Frees the block held, then takes over other's as the copy does.
  CVersionInfo& operator=(CVersionInfo& other);

  // Releases the current block and loads the version information of the
  // file at path; the first entry of its translation table becomes current.
  // Returns 1 when the information was found, else 0. Only this program's
  // own file ("lorimant", any folder, with or without ".exe", any case) has
  // version information.
  int Load(const wchar_t* path);
  // Releases the block and resets the translation to (0, 1252).
  void Unload();

  // The string value name of the current translation; empty when absent.
  CString GetValue(const CString& name) const;
  CString GetCompanyName() const { return GetValue(L"CompanyName"); }
  CString GetFileDescription() const { return GetValue(L"FileDescription"); }
  CString GetFileVersionAsString() const { return GetValue(L"FileVersion"); }
  CString GetInternalName() const { return GetValue(L"InternalName"); }
  CString GetLegalCopyright() const { return GetValue(L"LegalCopyright"); }
  CString GetOriginalFilename() const { return GetValue(L"OriginalFilename"); }
  CString GetProductName() const { return GetValue(L"ProductName"); }
  CString GetProductVersionAsString() const { return GetValue(L"ProductVersion"); }
  CString GetComments() const { return GetValue(L"Comments"); }
  CString GetLegalTrademarks() const { return GetValue(L"LegalTrademarks"); }
  CString GetPrivateBuild() const { return GetValue(L"PrivateBuild"); }
  CString GetSpecialBuild() const { return GetValue(L"SpecialBuild"); }

  // File and product version: most significant 32 bits in the high half;
  // 0 without a block.
  ULONGLONG GetFileVersion() const;
  ULONGLONG GetProductVersion() const;
  // Fixed-information fields; 0 without a block.
  DWORD GetFileFlagsMask() const;
  DWORD GetFileFlags() const;
  DWORD GetOS() const;
  DWORD GetFileType() const;
  DWORD GetFileSubType() const;
  // File date: high part the most significant word, low part the least.
  FILETIME GetCreationTime() const;

  // Entry i of the translation table; null when there is no such entry.
  TRANSLATION* GetTranslation(int i);
  // Makes entry i of the table current; an index outside it changes nothing.
  void SetTranslation(int i);

  struct Block;

 private:
  TRANSLATION m_translation{0, 1252};
  std::unique_ptr<Block> m_block;
};
