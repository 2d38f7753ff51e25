// One factored entry of a load combination: a load condition and its factor.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CLoadCase;
class CLoadCondition;

// A factor applied to a load condition. The condition is not owned; the
// archive record keeps its name, and a factor read back stays unlinked
// (ldCdn() null) until its owner links it again by that name
// (CBaseSubSection::relinkLoadCombinations).
class CLoadCdnFactor : public CObject {
  DECLARE_SERIAL(CLoadCdnFactor)

 public:
  // No condition, factor 0.
  CLoadCdnFactor();
  // Condition c with factor f.
  CLoadCdnFactor(const CLoadCondition* c, double f);

  // The factor.
  double factor() const { return m_factor; }
  // Sets the factor.
  void factor(double f) { m_factor = f; }
  // The condition; null when unlinked.
  const CLoadCondition* ldCdn() const { return m_ldCdn; }
  // Links the factor to condition c (null unlinks it, keeping the name of
  // the condition it referred to).
  void ldCdn(const CLoadCondition* c);
  // The load case of the condition; null when the factor is unlinked or
  // its condition carries no load case.
  CLoadCase* ldCase() const;
  // Name of the condition: the linked condition's name, else the name kept
  // from the archive or from the last condition it referred to.
  const CString& conditionName() const;

  // Loading: read; storing: write.
  void Serialize(CArchive& ar) override;
  // Reads the condition's name (kept for relinking) and the factor; the
  // factor is left unlinked.
  void read(CArchive& ar);
  // Writes the condition's name (conditionName) and the factor.
  void write(CArchive& ar) const;

 private:
  const CLoadCondition* m_ldCdn = nullptr;
  double m_factor = 0.0;
  CString m_conditionName;
};
