// Enumerator over an array of automation variants, as an automation
// collection hands it to its clients (Next, Skip, Reset, Clone).
//
// The variant type is a template parameter deduced from the constructor's
// array, so `CEnumVARIANT(items, count)` works with the automation layer's
// COleVariant (or any copyable value type).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

template <class Variant>
class CEnumVARIANT {
 public:
  // An enumerator over count variants at items; the array is not copied and
  // must outlive the enumerator.
  CEnumVARIANT(const Variant* items, unsigned count) : m_items(items), m_count(count) {}

  // Copies the next variant into *dest (a Variant) and returns 1; returns 0
  // when every variant has been handed out.
  int OnNext(void* dest) {
    if (m_position >= m_count) return 0;
    *static_cast<Variant*>(dest) = m_items[m_position++];
    return 1;
  }
  // Passes over the next variant; 0 at the end.
  int OnSkip() {
    if (m_position >= m_count) return 0;
    ++m_position;
    return 1;
  }
  // Starts again at the first variant.
  void OnReset() { m_position = 0; }
  // A new enumerator at the same position over its own copy of the
  // variants, released with it.
  std::unique_ptr<CEnumVARIANT> OnClone() const {
    auto clone = std::make_unique<CEnumVARIANT>(m_items, m_count);
    clone->m_owned.assign(m_items, m_items + m_count);
    clone->m_items = clone->m_owned.data();
    clone->m_position = m_position;
    return clone;
  }

 private:
  const Variant* m_items;
  unsigned m_count;
  unsigned m_position = 0;
  std::vector<Variant> m_owned;  // the copy a clone owns; empty otherwise
};
