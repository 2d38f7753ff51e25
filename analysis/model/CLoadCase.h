// A named list of loads.
#pragma once

#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CLoad;

// A named list of loads in insertion order. The case owns its loads: it
// deletes each of them (once, also when listed twice) when it is destroyed.
// Its archive record keeps the name and the kinds of the loads only; the
// loads themselves are not stored, so a loaded case has no loads.
class CLoadCase : public CObject {
  DECLARE_SERIAL(CLoadCase)

 public:
  // An unnamed case without loads.
  CLoadCase();
  // A case named `name` without loads.
  explicit CLoadCase(CString& name);
  // Deletes the loads.
  ~CLoadCase() override;
  CLoadCase(const CLoadCase&) = delete;
  CLoadCase& operator=(const CLoadCase&) = delete;

  // Name of the case.
  const CString& name() const { return m_name; }
  // Renames the case.
  void name(CString& name) { m_name = name; }
  // Number of entries in the list.
  int nLoads() const { return static_cast<int>(m_loads.GetCount()); }
  // The list of loads, in insertion order.
  const CList<CLoad*>& loads() const { return m_loads; }
  // Appends a load at the tail; the case takes ownership. Null is ignored.
  void append(CLoad* load);
  // First load with that id; null when none.
  CLoad* findLoad(int id) const;
  // Removes every entry of the load from the list (null: nothing); the load
  // is not deleted and belongs to the caller again.
  void deleteLoad(CLoad* load);
  // True when two entries of the list share an id.
  bool bDuplicated() const;
  // 0.
  double maxForce() const { return 0.0; }
  // Nothing to update.
  void update() const {}
  // The n-th load counted from 1; null when n is 0 or less, or beyond the list.
  CLoad* findNthLoad(int n) const;

  // Loading: read; storing: write.
  void Serialize(CArchive& ar) override;
  // Reads the record written by write; the list is emptied (its loads are
  // deleted) and stays empty.
  void read(CArchive& ar);
  // Writes "CLoadCase", the name, the number of loads and each load's kind
  // (int32) in list order.
  void write(CArchive& ar) const;

 private:
  void deleteAllLoads();

  CList<CLoad*> m_loads;
  CString m_name;
};
