// A load condition of a sub-section: a load case, a combination of other
// conditions, or a set of section forces.
#pragma once

#include <memory>

#include "analysis/model/CLoad.h"

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CLoadCase;
class CLoadCombination;
class CSectionForces;

// Kind of a load condition. 5, 6 and 7 are strip loads (7 is
// StripLoadCase); 0 is a condition created for loading, 4 has no part.
enum LoadConditionType : int {
  LoadCase = 1,       // carries a CLoadCase
  LoadCondition = 2,  // carries a CLoadCombination
  SectionForces = 3,  // carries a CSectionForces record and a CLoadCase
  StripLoadCase = 7,  // carries a CLoadCase
  FEMLoadCase = 8,    // carries a CLoadCase
};

// A load condition, shared (std::shared_ptr) by the sub-section that lists
// it and by whoever applies it.
class CLoadCondition : public CObject {
  DECLARE_SERIAL(CLoadCondition)

 public:
  // Type 0, no parts.
  CLoadCondition();
  // Types 1 and 8 get a new load case named `name`, type 2 a new
  // combination named `name`; other types get no part (type 3 gets its
  // parts from ScnLoadCondition).
  CLoadCondition(LoadConditionType type, CString name);
  // Deletes the section forces and releases the shared parts.
  ~CLoadCondition() override;
  CLoadCondition(const CLoadCondition&) = delete;
  CLoadCondition& operator=(const CLoadCondition&) = delete;

  // Kind of the condition.
  LoadConditionType type() const { return m_type; }
  // Name: type 3 the section forces' name, type 2 the combination's, types
  // 1 and 5-8 the load case's; empty when the condition has no such part.
  const CString& name() const;
  // Renames: types 1 and 5-8 rename the load case; type 3 renames the
  // section forces (which give its name) and the load case; other types
  // rename the combination. Parts the condition lacks are skipped.
  void name(CString& name);
  // "RestrainedBending" (kind 5), "PlasticBending" (6), "Cozzone" (7),
  // else "UnrestrainedBending" (also without section forces).
  CString typeName() const;

  // Types 1, 3, 5, 6, 7, 8.
  bool isLoadCase() const;
  // Type 2.
  bool isLoadCombination() const { return m_type == LoadCondition; }
  // Type 2 with an envelope combination (ComboType 1).
  bool isEnvelope() const;
  // Types 5, 6, 7.
  bool isStripLoad() const;
  // Type 8.
  bool isFiniteElementLoad() const { return m_type == FEMLoadCase; }
  // Load-case types: type 3; a combination: a factor refers to a type-3
  // condition; other types: false.
  bool isSectionForces() const;
  // A load case without loads, a combination without factors, or a
  // condition without the part its type needs.
  bool empty() const;
  // For a combination, updates the condition of every factor (each once);
  // nothing for the other types.
  void update() const;

  // Makes the condition type 3: new section forces named `name` (the old
  // ones are deleted), a new empty load case named `name`, no combination.
  void ScnLoadCondition(CString name);
  // The section forces; null when none.
  const CSectionForces* scnForces() const { return m_scnForces; }
  CSectionForces* scnForcesMutable() { return m_scnForces; }

  // Appends the load to the load case, which takes ownership. Throws
  // std::logic_error "Load condition has no load case" when it has none.
  void append(CLoad* load);
  // Type 1: the load of that id in the load case; type 2: the first such
  // load among the type-1 conditions of its factors (factor order); else null.
  CLoad* findLoad(int id) const;
  // The n-th load (from 0) of kind t, counted as findLoad searches; null
  // when there are fewer.
  CLoad* getLoadType(LoadType t, int n) const;
  // Number of loads of kind t, counted as findLoad searches.
  int countLoadType(LoadType t) const;

  // The load case (empty when none).
  std::shared_ptr<CLoadCase> ldCase() const { return m_ldCase; }
  // The combination (empty when none).
  std::shared_ptr<CLoadCombination> ldCombo() const { return m_ldCombo; }
  // Sets the distribution flag.
  void validDistribution(bool valid) { m_distributionValid = valid; }
  // The distribution flag.
  bool distributionValid() const { return m_distributionValid; }
  // The two integers stored with the condition (first, second).
  int firstValue() const { return m_first; }
  int secondValue() const { return m_second; }
  void firstValue(int v) { m_first = v; }
  void secondValue(int v) { m_second = v; }

  // Storing: type, second value, first value (int32 each), then the part:
  // types 1 and 5-8 the load case's record, type 2 the combination's, type
  // 3 the section forces' (an absent part is written as an empty one);
  // types 0 and 4 nothing. Loading reads the same and rebuilds the part; a
  // type-3 condition gets an empty load case named like its section forces,
  // and the factors of a combination stay unlinked until the owner of the
  // condition list relinks them.
  void Serialize(CArchive& ar) override;

 private:
  bool carriesLoadCase() const;
  // Calls f on each load of the type-1 conditions searched by findLoad.
  template <class F>
  void forEachLoad(F&& f) const;

  LoadConditionType m_type = static_cast<LoadConditionType>(0);
  int m_first = 0;
  int m_second = 0;
  std::shared_ptr<CLoadCase> m_ldCase;
  std::shared_ptr<CLoadCombination> m_ldCombo;
  bool m_distributionValid = false;
  CSectionForces* m_scnForces = nullptr;
};
