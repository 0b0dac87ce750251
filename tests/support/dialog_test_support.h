// A design computed from the start-up values for a dialog of the main window or an inspection window,
// with the scripted modal services, and the user's steps inside a window shown modally.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>

#include <memory>

#include "design_data.h"
#include "geometry_pass.h"
#include "scripted_modal_services.h"
#include "startup_values.h"
#include "test_support.h"

namespace morvell::testing {

struct DialogDesign {
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};

  explicit DialogDesign(int unit_system = 1) {
    set_startup_values(*d);
    d->unit_system = unit_system;
    set_unit_factors(*d);
    d->form_scale_multiplier = 1000;
    d->form_scale_divisor = 1000;
    d->geometry_manager_mode = 0;  // the module stays, the centre distance follows
    d->second_geometry_pass = 1;
    calc_gear_geometry(*d);
  }

  // Runs `steps` inside the modal loop of the next showing of the window named `name`; the window is
  // then closed with `result` unless the steps closed it.
  template <typename Steps>
  void when_shown(const char* name, Steps steps, int result = QDialog::Accepted) {
    scripted.modal_actions[name].push_back([steps, result](QDialog& dialog) {
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      steps(dialog);
      return result;
    });
  }

  // The warning texts shown so far, one per showing of the warning dialog.
  QStringList warnings() const { return scripted.warnings(); }
};

// The user enters `edit`, replaces its text and leaves it for `next`.
inline void type_into(QLineEdit* edit, const QString& text, QWidget* next) {
  edit->setFocus(Qt::TabFocusReason);
  edit->setText(text);
  next->setFocus(Qt::TabFocusReason);
}

}  // namespace morvell::testing
