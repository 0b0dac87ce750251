// Cancel, Esc and the title bar's close button in the windows with a Cancel: the constraints, chamfer
// and face-width offset dialogs and the measurement window, opened from the main window's menus. Every
// way of cancelling leaves the saved design as it was before the window opened, byte for byte, whatever
// was typed and whichever boxes were ticked; an entry still being typed is abandoned without a word.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "centre_minimize_form.h"
#include "chamfer_form.h"
#include "constraints_form.h"
#include "design_file.h"
#include "design_data.h"
#include "dialog_test_support.h"
#include "face_offset_form.h"
#include "main_window.h"
#include "metrology_form.h"
#include "program.h"
#include "progress_form.h"

using namespace morvell;
using namespace morvell::testing;

namespace {

struct Program : morvell::testing::Program<> {
  ProgramWindow<TConstraintsform> constraints{constraintsform, *d};
  ProgramWindow<TChamferform> chamfers{chamferform, *d};
  ProgramWindow<Tfaceoffsetform> offset{faceoffsetform, *d};
  ProgramWindow<Tmetrologyform> metrology{metrologyform, *d};
  ProgramWindow<Tcentreminimizeform> minima{centreminimizeform, *d};
  ProgramWindow<TProgressform> progress{Progressform};
};
using WindowsProgram = Program;

enum class Way { CancelButton, Escape, CloseButton, CancelByMouse, OK };
const char* name_of(Way way) {
  switch (way) {
    case Way::CancelButton: return "Cancel";
    case Way::Escape: return "Esc";
    case Way::CloseButton: return "close button";
    case Way::CancelByMouse: return "Cancel clicked with the mouse";
    case Way::OK: return "OK";
  }
  return "";
}

// The byte at which two designs first differ, or -1.
std::ptrdiff_t first_difference(const DesignData& a, const DesignData& b) {
  const auto* x = reinterpret_cast<const unsigned char*>(&a);
  const auto* y = reinterpret_cast<const unsigned char*>(&b);
  for (std::size_t i = 0; i < sizeof(DesignData); ++i)
    if (x[i] != y[i]) return std::ptrdiff_t(i);
  return -1;
}

// One window: how the main window opens it, the field typed into (and the one Tab moves to), the text
// typed, the value the entry changes and its Cancel button.
struct Case {
  const char* name;
  const char* window;
  std::function<QAction*(TMainForm&)> menu_item;
  std::function<QLineEdit*(Program&)> field;
  std::function<QWidget*(Program&)> next;
  std::function<QString(const DesignData&)> entry;
  std::function<float(const DesignData&)> changed;
  std::function<QPushButton*(Program&)> cancel;
  const char* out_of_range;  // an entry the field refuses
};

const Case kCases[] = {
    {"constraints", "Constraintsform", [](TMainForm& m) { return m.EditConstraints1; },
     [](Program& p) { return p.constraints->pinbottomclearanceedit; },
     [](Program& p) { return p.constraints->wheelbottomclearanceedit; }, [](const DesignData&) { return "0.4"; },
     [](const DesignData& d) { return d.min_bottom_clearance_coeff[0]; },
     [](Program& p) { return p.constraints->cancelbutton; }, "5"},
    {"chamfers", "Chamferform", [](TMainForm& m) { return m.Chamfers1; },
     [](Program& p) { return p.chamfers->pinchamedit; }, [](Program& p) { return p.chamfers->wheelchamedit; },
     [](const DesignData&) { return "0.5"; }, [](const DesignData& d) { return d.tip_chamfer[0]; },
     [](Program& p) { return p.chamfers->CancelButton; }, "100"},
    {"face-width offset", "faceoffsetform", [](TMainForm& m) { return m.Facewidthoffset1; },
     [](Program& p) { return p.offset->faceoffsetedit; }, [](Program& p) { return p.offset->OKButton; },
     [](const DesignData&) { return "5"; }, [](const DesignData& d) { return d.face_width_offset; },
     [](Program& p) { return p.offset->CancelButton; }, "1e6"},
    {"measurement", "metrologyform", [](TMainForm& m) { return m.MeasurementOverBalls1; },
     [](Program& p) { return p.metrology->measball1finedit; }, [](Program& p) { return p.metrology->measball2finedit; },
     // A finished measurement 0.1 mm below the nominal one: thinner teeth, some backlash.
     [](const DesignData& d) { return QString::number(double(d.ball_measurement_nominal[0]) - 0.1, 'f', 4); },
     [](const DesignData& d) { return d.thickness_finished_transverse[0]; },
     [](Program& p) { return p.metrology->cancelbutton; }, "1"},
};

// Closes the shown window `dialog` of `c` the given way.
void close_window(const Case& c, Program& p, QDialog& dialog, Way way) {
  switch (way) {
    case Way::CancelButton:
      c.cancel(p)->click();
      break;
    case Way::CancelByMouse:
      QTest::mouseClick(c.cancel(p), Qt::LeftButton);
      break;
    case Way::Escape: {
      QWidget* focused = dialog.focusWidget();
      QTest::keyClick(focused ? focused : &dialog, Qt::Key_Escape);
      break;
    }
    case Way::CloseButton:
      dialog.close();
      break;
    case Way::OK:
      dialog.accept();
      break;
  }
}

// Opens the window of `c` from the main window, types the entry and either leaves the field with Tab
// (`leave`) or not, then closes the window the given way; returns the design afterwards.
std::unique_ptr<DesignData> abandon_entry(const Case& c, Way way, bool leave) {
  Program p;
  DesignData& d = *p.d;
  d.constraints_use_defaults = 0;  // the constraints can be typed
  p.main->CheckBoxCentre->setChecked(false);  // the module stays: the measurement window opens
  EXPECT_EQ(d.geometry_manager_mode, 0);
  const float shown_with = c.changed(d);
  p.scripted.modal_actions[c.window].push_back([&](QDialog& dialog) {
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    QLineEdit* field = c.field(p);
    if (leave) {
      type_into(field, c.entry(d), c.next(p));
      EXPECT_NE(c.changed(d), shown_with) << "the entry was not stored";
    } else {
      field->setFocus(Qt::TabFocusReason);
      field->setText(c.entry(d));
    }
    close_window(c, p, dialog, way);
    EXPECT_FALSE(dialog.isVisible());
    return int(QDialog::Accepted);
  });
  c.menu_item(*p.main)->trigger();
  EXPECT_EQ(p.scripted.of(forms::ScriptedModalServices::Kind::Modal).size(), 1u);  // the window, no warning
  EXPECT_EQ(c.changed(d), shown_with);
  EXPECT_TRUE(p.warnings().isEmpty()) << p.warnings().join("|").toStdString();
  return std::make_unique<DesignData>(d);
}


// The bytes File > Save writes for the design.
std::string saved(const DesignData& d) {
  auto copy = std::make_unique<DesignData>(d);
  return design_file_text(*copy);
}

// Designs the windows are opened on: as shipped (default constraints), tooth proportions calculated
// from the constraints, the user's own constraints, and the measurement's boxes off with values of
// the user's.
struct Start {
  const char* name;
  std::function<void(Program&)> set;
};
void calculate_proportions(Program& p) {
  p.d->tooth_proportion_mode = 2;
  p.main->Tooth_prop->setCurrentIndex(2);
}
const Start kStarts[] = {
    {"as shipped", [](Program&) {}},
    {"proportions calculated", calculate_proportions},
    {"own constraints", [](Program& p) {
       calculate_proportions(p);
       DesignData& d = *p.d;
       d.constraints_use_defaults = 0;
       d.max_tip_diameter[1] = 80;
       d.min_base_to_form[0] = d.min_base_to_form[1] = 0.25f;
       d.min_bottom_clearance_coeff[0] = 0.3f;
       d.min_root_fillet_coeff[1] = 0.35f;
     }},
    {"measurement boxes off", [](Program& p) {
       DesignData& d = *p.d;
       d.default_ball_diameter = 0;
       d.ball_diameter[0] = d.ball_diameter[1] = 1.7f * d.normal_module;
       d.default_span_teeth = 0;
       d.span_teeth[1] += 1;
     }},
};

// What the user does in the window before leaving it.
enum class Doing { Nothing, TickEachBox, TickAndUntickEachBox, TypeAndTickEachBox };
const char* name_of(Doing doing) {
  switch (doing) {
    case Doing::Nothing: return "nothing";
    case Doing::TickEachBox: return "each box clicked";
    case Doing::TickAndUntickEachBox: return "each box clicked twice";
    case Doing::TypeAndTickEachBox: return "an entry stored, each box clicked";
  }
  return "";
}

}  // namespace

TEST(DialogCancel, EscAndTheCloseButtonLeaveTheDesignAsCancelDoes) {
  for (const Case& c : kCases) {
    for (const bool leave : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (leave ? ", entry stored" : ", entry still being typed"));
      const auto cancelled = abandon_entry(c, Way::CancelButton, leave);
      for (const Way way : {Way::Escape, Way::CloseButton}) {
        SCOPED_TRACE(name_of(way));
        const auto after = abandon_entry(c, way, leave);
        EXPECT_EQ(first_difference(*after, *cancelled), -1);
      }
    }
  }
}

// Opening a window and leaving it with Cancel, Esc or the close button, whatever was typed and clicked
// there, leaves the saved design as it was before the window opened, flags and derived figures
// included; so does OK when nothing was touched.
TEST(DialogCancel, EveryWayOfCancellingLeavesTheSavedDesignAsItWas) {
  for (const Case& c : kCases) {
    for (const Start& start : kStarts) {
      for (const Doing doing :
           {Doing::Nothing, Doing::TickEachBox, Doing::TickAndUntickEachBox, Doing::TypeAndTickEachBox}) {
        for (const Way way : {Way::CancelByMouse, Way::Escape, Way::CloseButton, Way::OK}) {
          if (way == Way::OK && doing != Doing::Nothing) continue;
          SCOPED_TRACE(std::string(c.name) + ", " + start.name + ", " + name_of(doing) + ", " + name_of(way));
          WindowsProgram p;
          DesignData& d = *p.d;
          p.main->CheckBoxCentre->setChecked(false);  // the module stays: the measurement window opens
          start.set(p);
          p.main->SetMain_textboxes();
          const std::string before = saved(d);
          const uint8_t defaults = d.constraints_use_defaults;
          const int32_t ball = d.default_ball_diameter, span = d.default_span_teeth;
          int boxes = 0;
          p.scripted.modal_actions[c.window].push_back([&](QDialog& dialog) {
            dialog.activateWindow();
            QApplication::setActiveWindow(&dialog);
            if (doing == Doing::TypeAndTickEachBox) type_into(c.field(p), c.entry(d), c.next(p));
            if (doing != Doing::Nothing) {
              for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
                ++boxes;
                const bool was = box->isChecked();
                box->click();
                EXPECT_NE(box->isChecked(), was) << box->objectName().toStdString();
                if (doing == Doing::TickAndUntickEachBox) box->click();
              }
            }
            close_window(c, p, dialog, way);
            EXPECT_FALSE(dialog.isVisible());
            return int(QDialog::Accepted);
          });
          c.menu_item(*p.main)->trigger();
          EXPECT_TRUE(p.warnings().isEmpty()) << p.warnings().join("|").toStdString();
          EXPECT_EQ(d.constraints_use_defaults, defaults);
          EXPECT_EQ(d.default_ball_diameter, ball);
          EXPECT_EQ(d.default_span_teeth, span);
          EXPECT_EQ(saved(d), before);
          if (doing != Doing::Nothing) {
            const std::string name = c.name;
            EXPECT_EQ(boxes, name == "constraints" ? 1 : name == "measurement" ? 2 : 0);
          }
        }
      }
    }
  }
}

// An entry the field would refuse, still being typed when the window is cancelled, is abandoned: no
// "Value is out of range", and the design is as before.
TEST(DialogCancel, AnAbandonedEntryIsNeverRefused) {
  for (const Case& c : kCases) {
    for (const Way way : {Way::CancelButton, Way::CancelByMouse, Way::Escape, Way::CloseButton}) {
      SCOPED_TRACE(std::string(c.name) + ", " + name_of(way));
      WindowsProgram p;
      DesignData& d = *p.d;
      d.constraints_use_defaults = 0;  // the constraints can be typed
      p.main->CheckBoxCentre->setChecked(false);
      p.main->SetMain_textboxes();
      const std::string before = saved(d);
      p.scripted.modal_actions[c.window].push_back([&](QDialog& dialog) {
        dialog.activateWindow();
        QApplication::setActiveWindow(&dialog);
        QLineEdit* field = c.field(p);
        field->setFocus(Qt::TabFocusReason);
        field->setText(c.out_of_range);
        close_window(c, p, dialog, way);
        EXPECT_FALSE(dialog.isVisible());
        return int(QDialog::Accepted);
      });
      c.menu_item(*p.main)->trigger();
      EXPECT_TRUE(p.warnings().isEmpty()) << p.warnings().join("|").toStdString();
      EXPECT_EQ(saved(d), before);
    }
  }
  // The same entry left with Tab is refused: it is out of range.
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    WindowsProgram p;
    p.d->constraints_use_defaults = 0;
    p.main->CheckBoxCentre->setChecked(false);
    p.main->SetMain_textboxes();
    p.scripted.modal_actions[c.window].push_back([&](QDialog& dialog) {
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      type_into(c.field(p), c.out_of_range, c.next(p));
      c.cancel(p)->click();
      return int(QDialog::Accepted);
    });
    c.menu_item(*p.main)->trigger();
    EXPECT_EQ(p.warnings(), QStringList{"Value is out of range\n \n "});
  }
}

// The minimisation asks for its minima in a window without a Cancel; Esc or its close button there
// cancels the command: no search, and the design (the protuberance the command cleared, the tip
// chamfers it set aside and the minima typed included) is the one from before the command.
TEST(DialogCancel, EscAndTheCloseButtonOnTheMinimaCancelTheMinimisation) {
  for (const Way way : {Way::Escape, Way::CloseButton}) {
    SCOPED_TRACE(name_of(way));
    WindowsProgram p;
    DesignData& d = *p.d;
    p.main->show();
    d.tooth_proportion_mode = 2;
    p.main->Tooth_prop->setCurrentIndex(2);
    d.protuberance[0] = 0.25f;
    d.tip_chamfer[0] = d.tip_chamfer[1] = 0.2f;
    d.rating_enabled = 1;
    p.main->SetMain_textboxes();
    const auto before = std::make_unique<DesignData>(d);
    p.scripted.modal_actions["centreminimizeform"].push_back([&](QDialog& dialog) {
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      type_into(p.minima->Edit1, "2", p.minima->Edit2);
      EXPECT_EQ(d.min_contact_safety_factor, 2.0f) << "the entry was not stored";
      if (way == Way::Escape) {
        QWidget* focused = dialog.focusWidget();
        QTest::keyClick(focused ? focused : &dialog, Qt::Key_Escape);
      } else {
        dialog.close();
      }
      EXPECT_FALSE(dialog.isVisible());
      return int(QDialog::Accepted);
    });
    p.scripted.clear();
    p.main->Minimizecentredistance1->trigger();
    EXPECT_FALSE(p.progress->isVisible());
    // The warning about the protuberance came before the question; nothing else is said.
    EXPECT_EQ(p.warnings(), QStringList{"Protuberance has been set to zero for centre distance minimization\n \n "});
    // The shared edit state, which the typing leaves behind, and the number of the history record,
    // which every refresh counts on, are all that may differ.
    std::memcpy(before->warning_lines, d.warning_lines, sizeof d.warning_lines);
    std::memcpy(before->edit_text_at_entry, d.edit_text_at_entry, sizeof d.edit_text_at_entry);
    std::memcpy(before->number_text, d.number_text, sizeof d.number_text);
    before->edit_changed = d.edit_changed;
    before->edit_old_value = d.edit_old_value;
    before->history_record_number = d.history_record_number;
    EXPECT_EQ(first_difference(d, *before), -1);
    EXPECT_EQ(d.protuberance[0], 0.25f);
    EXPECT_EQ(d.tip_chamfer[1], 0.2f);
    EXPECT_EQ(d.min_contact_safety_factor, before->min_contact_safety_factor);
  }
}
