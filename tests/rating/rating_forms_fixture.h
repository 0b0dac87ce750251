// A rating window on the default design, shown on its own with scripted modal services: typing into a
// field and leaving it, and the warnings the window showed.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <memory>

#include "design_data.h"
#include "design_file.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "scripted_modal_services.h"
#include "startup_values.h"
#include "test_support.h"

namespace morvell::testing {

// The program's start-up values and default design in the given unit system, geometry computed.
inline std::unique_ptr<DesignData> default_design(int unit_system = 1) {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  std::FILE* file = std::fopen(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", "rb");
  EXPECT_NE(file, nullptr);
  if (file) {
    const DesignFileResult r = read_design_stream(*d, file);
    std::fclose(file);
    EXPECT_TRUE(r.ok()) << r.message;
  }
  d->unit_system = unit_system;
  set_unit_factors(*d);
  calc_gear_geometry(*d);
  return d;
}

// Holds a design (made by `prepare` before the window exists), scripted services and the window, shown
// and active.
template <class Window>
struct Shown {
  std::unique_ptr<DesignData> d;
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  std::unique_ptr<Window> w;

  explicit Shown(std::unique_ptr<DesignData> design) : d(std::move(design)) {
    w = std::make_unique<Window>(*d);
    show();
  }

  void show() {
    w->show();
    QApplication::setActiveWindow(w.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    scripted.clear();
  }

  void reopen() {
    w->hide();
    show();
  }

  // Types the text into the field and leaves it for `away`; a refused value brings the focus back, and the
  // field is then left once more.
  void enter(QLineEdit* edit, const QString& text, QWidget* away) {
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(forms::active_control(w.get()), edit) << edit->objectName().toStdString();
    edit->setText(text);
    away->setFocus(Qt::TabFocusReason);
    if (w->focusWidget() == edit) away->setFocus(Qt::TabFocusReason);
  }

  // The text of every warning shown, its three lines joined by '|'.
  QStringList warnings() const {
    QStringList shown;
    for (const QString& text : scripted.warnings()) shown << text.split('\n').join('|');
    return shown;
  }
};

}  // namespace morvell::testing
