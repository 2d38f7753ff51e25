// Load combination: factors, look-up by condition name, archive record.
#include "analysis/model/CLoadCombination.h"

#include <algorithm>

#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCondition.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CLoadCombination, CObject, 1)

CLoadCombination::CLoadCombination() = default;

CLoadCombination::CLoadCombination(CString& name, ComboType t) : m_name(name), m_comboType(t) {}

CLoadCombination::~CLoadCombination() { deleteFactors(); }

void CLoadCombination::deleteFactors() {
  while (!m_factors.IsEmpty())
    delete m_factors.RemoveHead();
}

void CLoadCombination::addLoadCondition(const CLoadCondition* c, double f) {
  m_factors.AddTail(new CLoadCdnFactor(c, f));
}

CLoadCdnFactor* CLoadCombination::findLdCaseFactor(const CString& name) const {
  for (POSITION pos = m_factors.GetHeadPosition(); pos != nullptr;) {
    CLoadCdnFactor* factor = m_factors.GetNext(pos);
    if (factor->ldCdn() != nullptr && factor->ldCdn()->name() == name)
      return factor;
  }
  return nullptr;
}

void CLoadCombination::reset(CString& name, double f) {
  if (CLoadCdnFactor* factor = findLdCaseFactor(name))
    factor->factor(f);
}

bool CLoadCombination::isSectionForces() const {
  for (POSITION pos = m_factors.GetHeadPosition(); pos != nullptr;) {
    const CLoadCdnFactor* factor = m_factors.GetNext(pos);
    if (factor->ldCdn() != nullptr && factor->ldCdn()->type() == SectionForces)
      return true;
  }
  return false;
}

void CLoadCombination::Serialize(CArchive& ar) {
  if (ar.IsLoading())
    read(ar);
  else
    write(ar);
}

void CLoadCombination::read(CArchive& ar) {
  ar >> m_name;
  ar >> m_comboType;
  int count = 0;
  ar >> count;
  ar.EnsureCount(static_cast<ULONGLONG>(std::max(count, 0)), sizeof(WORD));  // an object reference each
  deleteFactors();
  for (int i = 0; i < count; ++i) {
    // The list owns its factors: the owning read refuses a factor that this
    // or another combination already holds.
    auto* factor = static_cast<CLoadCdnFactor*>(ar.ReadOwned(RUNTIME_CLASS(CLoadCdnFactor)));
    if (factor != nullptr)
      m_factors.AddTail(factor);
  }
}

void CLoadCombination::write(CArchive& ar) const {
  ar << m_name;
  ar << m_comboType;
  ar << static_cast<int>(m_factors.GetCount());
  for (POSITION pos = m_factors.GetHeadPosition(); pos != nullptr;)
    ar.WriteObject(m_factors.GetNext(pos));
}
