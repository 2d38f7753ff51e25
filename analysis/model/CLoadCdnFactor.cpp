// Load-combination factor: its link to a condition and its archive record.
#include "analysis/model/CLoadCdnFactor.h"

#include "analysis/model/CLoadCondition.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CLoadCdnFactor, CObject, 1)

CLoadCdnFactor::CLoadCdnFactor() = default;

CLoadCdnFactor::CLoadCdnFactor(const CLoadCondition* c, double f) : m_factor(f) { ldCdn(c); }

void CLoadCdnFactor::ldCdn(const CLoadCondition* c) {
  if (m_ldCdn != nullptr)
    m_conditionName = m_ldCdn->name();
  m_ldCdn = c;
}

CLoadCase* CLoadCdnFactor::ldCase() const {
  if (m_ldCdn == nullptr)
    return nullptr;
  return m_ldCdn->ldCase().get();
}

const CString& CLoadCdnFactor::conditionName() const {
  return m_ldCdn != nullptr ? m_ldCdn->name() : m_conditionName;
}

void CLoadCdnFactor::Serialize(CArchive& ar) {
  if (ar.IsLoading())
    read(ar);
  else
    write(ar);
}

void CLoadCdnFactor::read(CArchive& ar) {
  ar >> m_conditionName;
  ar >> m_factor;
  m_ldCdn = nullptr;
}

void CLoadCdnFactor::write(CArchive& ar) const {
  ar << conditionName();
  ar << m_factor;
}
