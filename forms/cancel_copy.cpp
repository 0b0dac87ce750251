#include "cancel_copy.h"

#include <QAbstractButton>

namespace morvell {

void CancelCopy::take(const DesignData& d) {
  if (!copy_) copy_ = std::make_unique<DesignData>();
  *copy_ = d;
}

void CancelCopy::restore(DesignData& d) const {
  if (copy_) d = *copy_;
}

void abandon_pending_entry(DesignData& d) { d.edit_changed = 0; }

void make_cancel_button(QAbstractButton* button) { button->setFocusPolicy(Qt::TabFocus); }

}  // namespace morvell
