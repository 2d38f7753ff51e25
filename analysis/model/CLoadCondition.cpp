// Load condition: its parts by type, the searches over its loads and its
// archive record.
#include "analysis/model/CLoadCondition.h"

#include <stdexcept>
#include <unordered_set>

#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCombination.h"
#include "analysis/model/CSectionForces.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CLoadCondition, CObject, 1)

namespace {

// The name reported by a condition that lacks the part carrying its name.
const CString& noName() {
  static const CString empty;
  return empty;
}

bool isLoadCaseType(int type) { return type == LoadCase || (type >= 5 && type <= FEMLoadCase); }

// Updates the conditions reachable through combinations, each once, so that
// a combination that refers to itself cannot recurse for ever.
void updateCombination(const CLoadCondition& condition, std::unordered_set<const CLoadCondition*>& seen) {
  if (!seen.insert(&condition).second || !condition.ldCombo())
    return;
  const CList<CLoadCdnFactor*>& factors = condition.ldCombo()->factors();
  for (POSITION pos = factors.GetHeadPosition(); pos != nullptr;) {
    const CLoadCondition* target = factors.GetNext(pos)->ldCdn();
    if (target != nullptr)
      updateCombination(*target, seen);
  }
}

}  // namespace

CLoadCondition::CLoadCondition() = default;

CLoadCondition::CLoadCondition(LoadConditionType type, CString name) : m_type(type) {
  if (type == LoadCase || type == FEMLoadCase)
    m_ldCase = std::make_shared<CLoadCase>(name);
  else if (type == LoadCondition)
    m_ldCombo = std::make_shared<CLoadCombination>(name, 0);
}

CLoadCondition::~CLoadCondition() { delete m_scnForces; }

bool CLoadCondition::carriesLoadCase() const { return isLoadCaseType(m_type); }

const CString& CLoadCondition::name() const {
  if (m_type == SectionForces)
    return m_scnForces != nullptr ? m_scnForces->name : noName();
  if (m_type == LoadCondition)
    return m_ldCombo ? m_ldCombo->name() : noName();
  if (carriesLoadCase())
    return m_ldCase ? m_ldCase->name() : noName();
  return noName();
}

void CLoadCondition::name(CString& name) {
  if (m_type == SectionForces && m_scnForces != nullptr)
    m_scnForces->name = name;
  if (carriesLoadCase() || m_type == SectionForces) {
    if (m_ldCase)
      m_ldCase->name(name);
  } else if (m_ldCombo) {
    m_ldCombo->name(name);
  }
}

CString CLoadCondition::typeName() const {
  switch (m_scnForces != nullptr ? m_scnForces->kind : 0) {
    case 5:
      return CString(L"RestrainedBending");
    case 6:
      return CString(L"PlasticBending");
    case 7:
      return CString(L"Cozzone");
    default:
      return CString(L"UnrestrainedBending");
  }
}

bool CLoadCondition::isLoadCase() const { return carriesLoadCase() || m_type == SectionForces; }

bool CLoadCondition::isEnvelope() const {
  return m_type == LoadCondition && m_ldCombo && m_ldCombo->comboType() == kEnvelopeCombo;
}

bool CLoadCondition::isStripLoad() const { return m_type >= 5 && m_type <= StripLoadCase; }

bool CLoadCondition::isSectionForces() const {
  if (isLoadCase())
    return m_type == SectionForces;
  if (m_type == LoadCondition)
    return m_ldCombo && m_ldCombo->isSectionForces();
  return false;
}

bool CLoadCondition::empty() const {
  if (isLoadCase())
    return !m_ldCase || m_ldCase->nLoads() == 0;
  if (m_type == LoadCondition)
    return !m_ldCombo || m_ldCombo->factors().IsEmpty();
  return true;
}

void CLoadCondition::update() const {
  std::unordered_set<const CLoadCondition*> seen;
  updateCombination(*this, seen);
}

void CLoadCondition::ScnLoadCondition(CString name) {
  m_type = SectionForces;
  delete m_scnForces;
  m_scnForces = nullptr;
  m_scnForces = new CSectionForces;
  m_scnForces->name = name;
  m_ldCase = std::make_shared<CLoadCase>();
  m_ldCombo.reset();
  m_ldCase->name(name);
}

void CLoadCondition::append(CLoad* load) {
  if (!m_ldCase)
    throw std::logic_error("Load condition has no load case");
  m_ldCase->append(load);
}

template <class F>
void CLoadCondition::forEachLoad(F&& f) const {
  auto visitCase = [&f](const CLoadCase* ldCase) {
    const CList<CLoad*>& loads = ldCase->loads();
    for (POSITION pos = loads.GetHeadPosition(); pos != nullptr;)
      if (!f(loads.GetNext(pos)))
        return false;
    return true;
  };
  if (m_type == LoadCase) {
    if (m_ldCase)
      visitCase(m_ldCase.get());
    return;
  }
  if (m_type != LoadCondition || !m_ldCombo)
    return;
  const CList<CLoadCdnFactor*>& factors = m_ldCombo->factors();
  for (POSITION pos = factors.GetHeadPosition(); pos != nullptr;) {
    const CLoadCondition* target = factors.GetNext(pos)->ldCdn();
    if (target == nullptr || target->m_type != LoadCase || !target->m_ldCase)
      continue;
    if (!visitCase(target->m_ldCase.get()))
      return;
  }
}

CLoad* CLoadCondition::findLoad(int id) const {
  CLoad* found = nullptr;
  forEachLoad([&](CLoad* load) {
    if (load->id() != id)
      return true;
    found = load;
    return false;
  });
  return found;
}

CLoad* CLoadCondition::getLoadType(LoadType t, int n) const {
  CLoad* found = nullptr;
  int seen = 0;
  forEachLoad([&](CLoad* load) {
    if (load->type() != t)
      return true;
    if (seen++ < n)
      return true;
    found = load;
    return false;
  });
  return found;
}

int CLoadCondition::countLoadType(LoadType t) const {
  int count = 0;
  forEachLoad([&](CLoad* load) {
    if (load->type() == t)
      ++count;
    return true;
  });
  return count;
}

void CLoadCondition::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_type) << m_second << m_first;
    if (m_type == SectionForces) {
      CSectionForces absent;
      (m_scnForces != nullptr ? *m_scnForces : absent).Serialize(ar);
    } else if (m_type == LoadCondition) {
      CLoadCombination absent;
      (m_ldCombo ? *m_ldCombo : absent).write(ar);
    } else if (carriesLoadCase()) {
      CLoadCase absent;
      (m_ldCase ? *m_ldCase : absent).write(ar);
    }
    return;
  }

  int type = 0;
  ar >> type >> m_second >> m_first;
  m_type = static_cast<LoadConditionType>(type);
  if (m_type == SectionForces) {
    delete m_scnForces;
    m_scnForces = nullptr;
    m_scnForces = new CSectionForces;
    m_scnForces->Serialize(ar);
    // The record holds no loads; give the condition the empty load case
    // that a section-forces condition carries in memory.
    m_ldCase = std::make_shared<CLoadCase>(m_scnForces->name);
    m_ldCombo.reset();
  } else if (m_type == LoadCondition) {
    auto combo = std::make_shared<CLoadCombination>();
    combo->read(ar);
    m_ldCombo = std::move(combo);
  } else if (carriesLoadCase()) {
    auto ldCase = std::make_shared<CLoadCase>();
    ldCase->read(ar);
    m_ldCase = std::move(ldCase);
  }
}
