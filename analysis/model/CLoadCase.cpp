// Load case: list of loads and its archive record.
#include "analysis/model/CLoadCase.h"

#include <algorithm>
#include <unordered_set>

#include "analysis/model/CLoad.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CLoadCase, CObject, 1)

CLoadCase::CLoadCase() = default;

CLoadCase::CLoadCase(CString& name) : m_name(name) {}

CLoadCase::~CLoadCase() { deleteAllLoads(); }

void CLoadCase::deleteAllLoads() {
  std::unordered_set<CLoad*> deleted;
  for (POSITION pos = m_loads.GetHeadPosition(); pos != nullptr;) {
    CLoad* load = m_loads.GetNext(pos);
    if (deleted.insert(load).second)
      delete load;
  }
  m_loads.RemoveAll();
}

void CLoadCase::append(CLoad* load) {
  if (load != nullptr)
    m_loads.AddTail(load);
}

CLoad* CLoadCase::findLoad(int id) const {
  for (POSITION pos = m_loads.GetHeadPosition(); pos != nullptr;) {
    CLoad* load = m_loads.GetNext(pos);
    if (load != nullptr && load->id() == id)
      return load;
  }
  return nullptr;
}

void CLoadCase::deleteLoad(CLoad* load) {
  if (load == nullptr)
    return;
  for (POSITION pos = m_loads.GetHeadPosition(); pos != nullptr;) {
    POSITION here = pos;
    if (m_loads.GetNext(pos) == load)
      m_loads.RemoveAt(here);
  }
}

bool CLoadCase::bDuplicated() const {
  std::unordered_set<int> ids;
  for (POSITION pos = m_loads.GetHeadPosition(); pos != nullptr;) {
    const CLoad* load = m_loads.GetNext(pos);
    if (load != nullptr && !ids.insert(load->id()).second)
      return true;
  }
  return false;
}

CLoad* CLoadCase::findNthLoad(int n) const {
  if (n <= 0 || n > nLoads())
    return nullptr;
  return m_loads.GetAt(m_loads.FindIndex(n - 1));
}

void CLoadCase::Serialize(CArchive& ar) {
  if (ar.IsLoading())
    read(ar);
  else
    write(ar);
}

void CLoadCase::read(CArchive& ar) {
  CString className;
  ar >> className;
  ar >> m_name;
  int count = 0;
  ar >> count;
  ar.EnsureCount(static_cast<ULONGLONG>(std::max(count, 0)), sizeof(int));
  for (int i = 0; i < count; ++i) {
    int kind = 0;
    ar >> kind;
  }
  deleteAllLoads();
}

void CLoadCase::write(CArchive& ar) const {
  ar << CString(L"CLoadCase");
  ar << m_name;
  ar << static_cast<int>(m_loads.GetCount());
  for (POSITION pos = m_loads.GetHeadPosition(); pos != nullptr;) {
    const CLoad* load = m_loads.GetNext(pos);
    ar << static_cast<int>(load->type());
  }
}
