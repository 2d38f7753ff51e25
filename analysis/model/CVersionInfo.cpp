// Compiled-in version information of this program.
#include "analysis/model/CVersionInfo.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// Numbers of the release: 2.0.4.0.
constexpr DWORD kVersionMS = (2u << 16) | 0u;
constexpr DWORD kVersionLS = (4u << 16) | 0u;
constexpr DWORD kFlagsMask = 0x3F;
constexpr DWORD kTypeApplication = 1;

// US English, Unicode: the string table "040904b0".
constexpr TRANSLATION kTranslation{0x0409, 0x04b0};

struct StringValue {
  const wchar_t* name;
  const wchar_t* value;
};

constexpr StringValue kStrings[] = {
    {L"CompanyName", L"Quenholt"},
    {L"FileDescription", L"Lorimant"},
    {L"FileVersion", L"2.0.4"},
    {L"InternalName", L"Lorimant"},
    {L"OriginalFilename", L"lorimant"},
    {L"ProductName", L"Lorimant"},
    {L"ProductVersion", L"2.0.4"},
};

// The program's own file name, compared without case and without ".exe".
constexpr const wchar_t* kProgramName = L"lorimant";

std::wstring lowered(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

bool isOwnProgram(const wchar_t* path) {
  if (path == nullptr) return false;
  std::wstring name = lowered(std::filesystem::path(path).filename().wstring());
  const std::wstring exe = L".exe";
  if (name.size() > exe.size() && name.ends_with(exe))
    name.resize(name.size() - exe.size());
  return name == kProgramName;
}

}  // namespace

// The loaded information: fixed numbers, translation table and strings by
// their sub-block path "\StringFileInfo\<language><code page>\<name>".
struct CVersionInfo::Block {
  DWORD fileVersionMS = 0;
  DWORD fileVersionLS = 0;
  DWORD productVersionMS = 0;
  DWORD productVersionLS = 0;
  DWORD fileFlagsMask = 0;
  DWORD fileFlags = 0;
  DWORD fileOS = 0;
  DWORD fileType = 0;
  DWORD fileSubtype = 0;
  DWORD fileDateMS = 0;
  DWORD fileDateLS = 0;
  std::vector<TRANSLATION> translations;
  std::map<std::wstring, std::wstring> strings;
};

namespace {

std::wstring stringPath(TRANSLATION t, const wchar_t* name) {
  CString path;
  path.Format(L"\\StringFileInfo\\%04x%04x\\%s", static_cast<unsigned>(t.language),
              static_cast<unsigned>(t.codePage), name);
  return path.str();
}

std::unique_ptr<CVersionInfo::Block> ownBlock() {
  auto block = std::make_unique<CVersionInfo::Block>();
  block->fileVersionMS = block->productVersionMS = kVersionMS;
  block->fileVersionLS = block->productVersionLS = kVersionLS;
  block->fileFlagsMask = kFlagsMask;
  block->fileType = kTypeApplication;
  block->translations.push_back(kTranslation);
  for (const StringValue& s : kStrings)
    block->strings.emplace(stringPath(kTranslation, s.name), s.value);
  return block;
}

ULONGLONG join(DWORD high, DWORD low) {
  return (static_cast<ULONGLONG>(high) << 32) | low;
}

}  // namespace

CVersionInfo::CVersionInfo() = default;

CVersionInfo::~CVersionInfo() = default;

CVersionInfo::CVersionInfo(CVersionInfo& other)
    : m_translation(other.m_translation), m_block(std::move(other.m_block)) {}

CVersionInfo& CVersionInfo::operator=(CVersionInfo& other) {
  if (this != &other) {
    m_block = std::move(other.m_block);
    m_translation = other.m_translation;
  }
  return *this;
}

int CVersionInfo::Load(const wchar_t* path) {
  Unload();
  if (!isOwnProgram(path)) return 0;
  m_block = ownBlock();
  if (!m_block->translations.empty()) m_translation = m_block->translations.front();
  return 1;
}

void CVersionInfo::Unload() {
  m_block.reset();
  m_translation = TRANSLATION{0, 1252};
}

CString CVersionInfo::GetValue(const CString& name) const {
  if (!m_block) return CString();
  const auto it = m_block->strings.find(stringPath(m_translation, name.GetString()));
  return it == m_block->strings.end() ? CString() : CString(it->second);
}

ULONGLONG CVersionInfo::GetFileVersion() const {
  return m_block ? join(m_block->fileVersionMS, m_block->fileVersionLS) : 0;
}

ULONGLONG CVersionInfo::GetProductVersion() const {
  return m_block ? join(m_block->productVersionMS, m_block->productVersionLS) : 0;
}

DWORD CVersionInfo::GetFileFlagsMask() const { return m_block ? m_block->fileFlagsMask : 0; }

DWORD CVersionInfo::GetFileFlags() const { return m_block ? m_block->fileFlags : 0; }

DWORD CVersionInfo::GetOS() const { return m_block ? m_block->fileOS : 0; }

DWORD CVersionInfo::GetFileType() const { return m_block ? m_block->fileType : 0; }

DWORD CVersionInfo::GetFileSubType() const { return m_block ? m_block->fileSubtype : 0; }

FILETIME CVersionInfo::GetCreationTime() const {
  if (!m_block) return FILETIME{0, 0};
  return FILETIME{m_block->fileDateLS, m_block->fileDateMS};
}

TRANSLATION* CVersionInfo::GetTranslation(int i) {
  if (!m_block || i < 0 || i >= static_cast<int>(m_block->translations.size())) return nullptr;
  return &m_block->translations[static_cast<std::size_t>(i)];
}

void CVersionInfo::SetTranslation(int i) {
  if (const TRANSLATION* t = GetTranslation(i)) m_translation = *t;
}
