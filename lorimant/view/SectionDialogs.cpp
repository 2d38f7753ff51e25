// The factory of the section view's dialogs.
#include "lorimant/view/SectionDialogs.h"

SectionDialogFactory& SectionDialogFactory::standard() {
  static SectionDialogFactory factory;
  return factory;
}

void SectionDialogFactory::registerMaker(SectionDialogKind kind, Maker maker, int profileKind) {
  m_makers[{kind, profileKind}] = std::move(maker);
}

bool SectionDialogFactory::canMake(SectionDialogKind kind, int profileKind) const {
  const auto it = m_makers.find({kind, profileKind});
  return it != m_makers.end() && it->second;
}

std::unique_ptr<SectionDialog> SectionDialogFactory::make(SectionDialogKind kind, CThickSectionView& view,
                                                          int profileKind) const {
  const auto it = m_makers.find({kind, profileKind});
  if (it == m_makers.end() || !it->second) return nullptr;
  return it->second(view);
}
