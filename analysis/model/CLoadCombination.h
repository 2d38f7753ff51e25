// A named combination of factored load conditions.
#pragma once

#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CLoadCdnFactor;
class CLoadCondition;

// Kind of a combination; 1 is an envelope.
using ComboType = int;
inline constexpr ComboType kEnvelopeCombo = 1;

// A named list of factors (CLoadCdnFactor) in insertion order. The
// combination owns its factors; the conditions they refer to are not owned.
class CLoadCombination : public CObject {
  DECLARE_SERIAL(CLoadCombination)

 public:
  // Unnamed, kind 0, no factors.
  CLoadCombination();
  // Named `name` of kind t, no factors.
  CLoadCombination(CString& name, ComboType t);
  // Deletes the factors.
  ~CLoadCombination() override;
  CLoadCombination(const CLoadCombination&) = delete;
  CLoadCombination& operator=(const CLoadCombination&) = delete;

  // Name of the combination.
  const CString& name() const { return m_name; }
  // Renames the combination.
  void name(CString& name) { m_name = name; }
  // Kind of the combination.
  ComboType comboType() const { return m_comboType; }
  // The factors, in insertion order.
  const CList<CLoadCdnFactor*>& factors() const { return m_factors; }

  // Appends a new factor f of condition c.
  void addLoadCondition(const CLoadCondition* c, double f);
  // First factor linked to a condition named `name`; null when none.
  CLoadCdnFactor* findLdCaseFactor(const CString& name) const;
  // Sets the factor found by findLdCaseFactor(name) to f; nothing when none.
  void reset(CString& name, double f);
  // True when a factor's condition is a section-forces condition (type 3).
  bool isSectionForces() const;

  // Loading: read; storing: write.
  void Serialize(CArchive& ar) override;
  // Reads name, kind and the factors (object references, in stream order);
  // earlier factors are deleted. The factors read are unlinked.
  void read(CArchive& ar);
  // Writes name, kind (int32), number of factors (int32) and each factor as
  // an object reference.
  void write(CArchive& ar) const;

 private:
  void deleteFactors();

  CString m_name;
  ComboType m_comboType = 0;
  int m_reserved = 0;
  CList<CLoadCdnFactor*> m_factors;
};
