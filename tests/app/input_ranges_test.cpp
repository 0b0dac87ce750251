// One range per value, as a property over the design file's fields that the main window takes: for each
// bound a field's window names (in the geometry-manager mode where the bound depends on the mode), a
// value just inside and one just outside it.
//   - Just inside: the window takes the value as typed, and the design then saves, and the saved file
//     opens without a refusal or a remark.
//   - Just outside: the window does not take it (it refuses or holds it at its bound), and a design file
//     holding it, everything else as the window left the design, is refused by the reader, which names
//     that field (or, for a centre distance whose module would leave its range, the centre distance).
// So what the window accepts the reader opens and the saver saves, and what the window refuses the reader
// refuses. The values are worked out from the design shown (its module, the module that follows a
// centre distance), not from the program's range table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "field_events.h"
#include "main_window.h"
#include "modal_services.h"
#include "program_design.h"
#include "scripted_modal_services.h"
#include "test_support.h"

using namespace morvell;
using forms::ScriptedModalServices;
using morvell::testing::program_design;

namespace {

// The program's design in its main window, in mode 0 (module fixed) or the start-up's mode 1 (centre
// distance fixed, the module following it).
struct Session {
  explicit Session(int mode) {
    d = program_design();
    use = std::make_unique<forms::ScopedServices>(scripted);
    w = std::make_unique<TMainForm>(*d);
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    if (mode == 0 && w->CheckBoxCentre->isChecked()) w->CheckBoxCentre->click();
    EXPECT_EQ(d->geometry_manager_mode, mode);
    park();
    scripted.clear();
  }
  ~Session() {
    w.reset();
    use.reset();
  }

  void park() { w->Showplotbutton->setFocus(Qt::TabFocusReason); }

  void enter(QLineEdit* edit, const QString& text) {
    ASSERT_TRUE(edit->isEnabled()) << edit->objectName().toStdString();
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(text);
    park();
    if (w->focusWidget() == edit) park();
  }

  std::unique_ptr<DesignData> d;
  ScriptedModalServices scripted;
  std::unique_ptr<forms::ScopedServices> use;
  std::unique_ptr<TMainForm> w;
};

struct Bound {
  const char* what;
  int mode;
  int field;            // the design file's field
  int named_field;      // the field the reader names for the value outside (0: `field`)
  QLineEdit* TMainForm::*edit;
  float DesignData::*value;  // scalar fields
  float (DesignData::*pair)[2];
  int gear;
  int32_t (DesignData::*teeth)[2];
  // The bound's value and the step to just outside it (its sign points outwards), from the design shown.
  std::function<double(const DesignData&)> bound;
  double outwards;
};

float* value_of(const Bound& b, DesignData& d) {
  if (b.value) return &(d.*b.value);
  if (b.pair) return &(d.*b.pair)[b.gear];
  return nullptr;
}

// The stored value as a number; teeth as a count.
double stored(const Bound& b, DesignData& d) {
  if (b.teeth) return (d.*b.teeth)[b.gear];
  return *value_of(b, d);
}

void set_stored(const Bound& b, DesignData& d, double v) {
  if (b.teeth) (d.*b.teeth)[b.gear] = int32_t(v);
  else *value_of(b, d) = float(v);
}

// The centre distance (mm) at which the design's teeth, shifts and angles give the module m, as the
// zero-backlash centre distance of the design scales with its module.
double centre_for_module(const DesignData& d, double m) {
  return double(d.centre_distance_from_shifts) / double(d.normal_module) * m;
}

QString typed(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

}  // namespace

TEST(InputRanges, WhatTheWindowTakesOpensAndSavesWhatItRefusesTheReaderRefuses) {
  const auto module = [](const DesignData& d) { return double(d.normal_module); };
  const Bound bounds[] = {
      {"module, least", 0, 2, 0, &TMainForm::Moduleedit, &DesignData::normal_module, nullptr, 0, nullptr,
       [](const DesignData&) { return 0.5; }, -0.01},
      {"module, largest", 0, 2, 0, &TMainForm::Moduleedit, &DesignData::normal_module, nullptr, 0, nullptr,
       [](const DesignData&) { return 25.4; }, 0.01},
      {"pressure angle, least", 0, 3, 0, &TMainForm::Pressureangleedit, &DesignData::normal_pressure_angle, nullptr,
       0, nullptr, [](const DesignData&) { return 10.0; }, -0.01},
      {"pressure angle, largest", 0, 3, 0, &TMainForm::Pressureangleedit, &DesignData::normal_pressure_angle, nullptr,
       0, nullptr, [](const DesignData&) { return 30.0; }, 0.01},
      {"helix angle, least", 0, 4, 0, &TMainForm::Helixangleedit, &DesignData::helix_angle, nullptr, 0, nullptr,
       [](const DesignData&) { return 0.0; }, -0.01},
      {"helix angle, largest", 0, 4, 0, &TMainForm::Helixangleedit, &DesignData::helix_angle, nullptr, 0, nullptr,
       [](const DesignData&) { return 44.99; }, 0.01},
      {"face width, largest", 0, 6, 0, &TMainForm::Pinfacewidthedit, nullptr, &DesignData::face_width, 0, nullptr,
       [](const DesignData&) { return 1000.0; }, 0.01},
      {"face width of the wheel, largest", 0, 7, 0, &TMainForm::Wheelfacewidthedit, nullptr, &DesignData::face_width,
       1, nullptr, [](const DesignData&) { return 1000.0; }, 0.01},
      {"edge chamfer, least", 0, 8, 0, &TMainForm::Pinedgechamedit, nullptr, &DesignData::edge_chamfer, 0, nullptr,
       [](const DesignData&) { return 0.0; }, -0.001},
      {"edge chamfer, largest", 0, 9, 0, &TMainForm::Wheeledgechamedit, nullptr, &DesignData::edge_chamfer, 1,
       nullptr, [=](const DesignData& d) { return module(d) / 4; }, 0.001},
      {"pinion teeth, fewest", 0, 13, 0, &TMainForm::Z1edit, nullptr, nullptr, 0, &DesignData::teeth,
       [](const DesignData&) { return 6.0; }, -1},
      {"wheel teeth, most", 0, 14, 0, &TMainForm::Z2edit, nullptr, nullptr, 1, &DesignData::teeth,
       [](const DesignData&) { return 999.0; }, 1},
      {"backlash, least", 1, 17, 0, &TMainForm::Backlashedit, &DesignData::backlash_normal, nullptr, 0, nullptr,
       [](const DesignData&) { return 0.0; }, -0.001},
      // (The backlash's largest, a share of the module, is judged as typed only: a later, smaller module
      // leaves a design above it that must still save and open.)
      {"tip chamfer, largest", 1, 21, 0, &TMainForm::pinchamedit, nullptr, &DesignData::tip_chamfer, 0, nullptr,
       [=](const DesignData& d) { return module(d) / 4; }, 0.001},
      {"fillet, least", 1, 28, 0, &TMainForm::Wheelfilletedit, nullptr, &DesignData::root_fillet_radius, 1, nullptr,
       [](const DesignData&) { return 0.0; }, -0.001},
      // (The largest fillet the window takes also depends on the form circle it gives.)
      // Mode 1: the module follows the centre distance; the reader names the centre distance.
      {"centre distance, least module", 1, 5, 5, &TMainForm::Centredistedit, &DesignData::centre_distance, nullptr, 0,
       nullptr, [](const DesignData& d) { return centre_for_module(d, 0.5); }, -0.05},
      {"centre distance, largest module", 1, 5, 5, &TMainForm::Centredistedit, &DesignData::centre_distance, nullptr,
       0, nullptr, [](const DesignData& d) { return centre_for_module(d, 25.4); }, 0.5},
  };
  for (const Bound& b : bounds) {
    for (const bool inside : {true, false}) {
      SCOPED_TRACE(std::string(b.what) + (inside ? ", just inside" : ", just outside"));
      Session s(b.mode);
      DesignData& d = *s.d;
      const double edge = b.bound(d);
      // Just inside: the bound itself, but a little inwards where the module that follows a centre
      // distance is worked out again from it.
      const double value = inside ? (b.field == 5 ? edge - b.outwards : edge) : edge + b.outwards;
      s.enter(s.w.get()->*b.edit, typed(value));
      const double now = stored(b, d);
      const double typed_value = b.teeth ? value : double(float(std::strtod(typed(value).toUtf8().data(), nullptr)));
      // (A backlash is worked out again from the teeth thinned for it, within a ten-thousandth of a mm.)
      const bool taken = std::fabs(now - typed_value) <= 1e-4;
      if (inside) {
        EXPECT_TRUE(taken) << now << " stored for " << typed_value << " at module " << d.normal_module;
        // Saved, and opened again without a word.
        EXPECT_EQ(unsavable_after_refresh(d), "");
        auto saved = std::make_unique<DesignData>(d);
        saved->history_mode = 0;
        const std::string text = design_file_text(*saved);
        auto opened = std::make_unique<DesignData>(d);
        const DesignFileResult r = read_design_text(*opened, text, "inside.mvl");
        EXPECT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.note, "");
        continue;
      }
      EXPECT_FALSE(taken) << now << " stored for " << typed_value;
      // The window's design with the value outside put into its file.
      auto file = std::make_unique<DesignData>(d);
      file->history_mode = 0;
      set_stored(b, *file, typed_value);
      const std::string text = design_file_text(*file);
      auto opened = std::make_unique<DesignData>(d);
      const DesignFileResult r = read_design_text(*opened, text, "outside.mvl");
      EXPECT_EQ(r.status, DesignFileStatus::malformed) << r.message;
      EXPECT_EQ(r.field, b.named_field ? b.named_field : b.field) << r.message;
    }
  }
}
