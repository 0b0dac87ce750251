// Cancel in a window that edits the design: everything the window changed while it was shown is undone
// (numbers, check boxes, radio buttons, lists and the flags behind them, and whatever the geometry pass
// derived from them), and an entry still being typed is abandoned without a word.
#pragma once

#include <memory>

#include "design_data.h"

class QAbstractButton;

namespace morvell {

class CancelCopy {
 public:
  // The design as the window is shown.
  void take(const DesignData& d);
  // Puts the design back as it was taken (nothing when no copy was taken).
  void restore(DesignData& d) const;

 private:
  std::unique_ptr<DesignData> copy_;
};

// The entry being typed in the window's focused field is abandoned: when the focus leaves the field its
// exit handler stores nothing and so refuses nothing.
void abandon_pending_entry(DesignData& d);

// A Cancel button that a click does not focus, so that the click abandons the entry being typed instead
// of leaving its field first (which would store it, or warn that it is out of range). Tab still reaches it.
void make_cancel_button(QAbstractButton* button);

}  // namespace morvell
