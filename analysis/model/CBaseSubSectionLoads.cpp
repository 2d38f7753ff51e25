// Sub-section base: its list of load conditions, the applied condition, and
// the stored block of conditions with the relinking of combinations.
#include <algorithm>

#include "analysis/model/CBaseSubSection.h"
#include "analysis/model/CLoad.h"
#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCombination.h"

#include "platform/core/CArchive.h"

namespace {

// Marker written after each stored load condition.
constexpr int kConditionMarker = 10101010;

// Calls f on every factor of the condition's combination (if any).
template <class F>
void forEachFactor(const CLoadCondition& condition, F&& f) {
  const std::shared_ptr<CLoadCombination> combo = condition.ldCombo();
  if (!combo)
    return;
  const CList<CLoadCdnFactor*>& factors = combo->factors();
  for (POSITION pos = factors.GetHeadPosition(); pos != nullptr;)
    f(*factors.GetNext(pos));
}

}  // namespace

void CBaseSubSection::addLoadCondition(LoadConditionType type, CString name) {
  loadConditions.push_back(std::make_shared<CLoadCondition>(type, name));
}

std::shared_ptr<CLoadCondition> CBaseSubSection::findLoadCondition(const CString& name) const {
  for (const std::shared_ptr<CLoadCondition>& lc : loadConditions)
    if (lc->name() == name)
      return lc;
  return nullptr;
}

CLoadCondition* CBaseSubSection::findLoadConditionMutable(const CString& name) const {
  return findLoadCondition(name).get();
}

bool CBaseSubSection::loadConditionExists(const CString& name) const { return findLoadCondition(name) != nullptr; }

void CBaseSubSection::ldCdnRename(CString& oldName, CString& newName) {
  // The condition's name may be the very string oldName refers to.
  const CString from = oldName;
  for (const std::shared_ptr<CLoadCondition>& lc : loadConditions)
    if (lc->name() == from)
      lc->name(newName);
}

void CBaseSubSection::ldCdnSetCurrent(CString& name) {
  if (currentLoadCondition && currentLoadCondition->name() == name)
    return;
  currentLoadCondition = findLoadCondition(name);
}

void CBaseSubSection::unlinkFactorsTo(const std::vector<const CLoadCondition*>& gone) {
  auto unlink = [&gone](CLoadCdnFactor& factor) {
    if (std::find(gone.begin(), gone.end(), factor.ldCdn()) != gone.end())
      factor.ldCdn(nullptr);
  };
  for (const std::shared_ptr<CLoadCondition>& lc : loadConditions)
    forEachFactor(*lc, unlink);
  if (currentLoadCondition)
    forEachFactor(*currentLoadCondition, unlink);
}

void CBaseSubSection::deleteLoadCondition(std::shared_ptr<CLoadCondition> lc) {
  const auto before = loadConditions.size();
  std::erase(loadConditions, lc);
  if (lc && loadConditions.size() != before)
    unlinkFactorsTo({lc.get()});
}

void CBaseSubSection::deleteLoadConditions() {
  std::vector<const CLoadCondition*> gone;
  for (const std::shared_ptr<CLoadCondition>& lc : loadConditions)
    gone.push_back(lc.get());
  unlinkFactorsTo(gone);
  loadConditions.clear();
}

CLoad* CBaseSubSection::findLoad(int id) const {
  return currentLoadCondition ? currentLoadCondition->findLoad(id) : nullptr;
}

errMsg CBaseSubSection::deleteLoadID(int id) {
  if (!currentLoadCondition)
    return errNone;
  CLoad* load = currentLoadCondition->findLoad(id);
  const std::shared_ptr<CLoadCase> ldCase = currentLoadCondition->ldCase();
  // A combination's loads live in the load cases of its conditions, not in
  // a case of its own: only a condition carrying the load deletes it.
  if (load != nullptr && ldCase && ldCase->findLoad(id) == load) {
    ldCase->deleteLoad(load);
    delete load;
  }
  return errNone;
}

void CBaseSubSection::relinkLoadCombinations() {
  for (const std::shared_ptr<CLoadCondition>& lc : loadConditions)
    forEachFactor(*lc, [this](CLoadCdnFactor& factor) {
      if (factor.ldCdn() == nullptr)
        factor.ldCdn(findLoadCondition(factor.conditionName()).get());
    });
}

void CBaseSubSection::writeLoadConditions(CArchive& ar) const {
  ar << static_cast<int>(loadConditions.size());
  for (const std::shared_ptr<CLoadCondition>& lc : loadConditions) {
    lc->Serialize(ar);
    ar << kConditionMarker;
  }
}

void CBaseSubSection::readLoadConditions(CArchive& ar) {
  deleteLoadConditions();
  int count = 0;
  ar >> count;
  ar.EnsureCount(static_cast<ULONGLONG>(std::max(count, 0)), sizeof(int));  // each ends with its marker
  for (int i = 0; i < count; ++i) {
    auto lc = std::make_shared<CLoadCondition>();
    lc->Serialize(ar);
    int marker = 0;
    ar >> marker;
    loadConditions.push_back(std::move(lc));
  }
  relinkLoadCombinations();
}
