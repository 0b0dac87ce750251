// "Rating Input Data" from the main window with the real rating input and load-case windows: what the
// user leaves in them (load cases created, deleted and edited) is what the main window lists and rates.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cstring>
#include <memory>

#include "design_data.h"
#include "iso_rating_input_form.h"
#include "load_case_form.h"
#include "main_window.h"
#include "program.h"
#include "scripted_modal_services.h"
#include "sn_curve_data_form.h"
#include "test_support.h"

using namespace morvell;

namespace {

struct Program : morvell::testing::Program<> {
  morvell::testing::ProgramWindow<TISO_rating_input_form> rating{ISO_rating_input_form, *d};
  morvell::testing::ProgramWindow<TSNcurveForm> sn{SNcurveForm, *d};
  morvell::testing::ProgramWindow<Tloadcasemultipleform> cases{loadcasemultipleform, *d};
};

// Types into a field of a window shown modally and leaves it for its OK button.
void type(QDialog& dialog, QLineEdit* edit, const char* text, QWidget* ok) {
  QApplication::setActiveWindow(&dialog);
  edit->setFocus(Qt::TabFocusReason);
  edit->setText(text);
  ok->setFocus(Qt::TabFocusReason);
}

}  // namespace

TEST(RatingInputFromMainWindow, TheCasesLeftInTheDialogsAreListedAndCaseOneIsTaken) {
  Program p;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  ASSERT_TRUE(m.InputData1->isEnabled());
  // In the rating input window the user changes the torque of case 1 and then, in the load-case window,
  // creates cases up to the maximum and deletes case 1.
  p.scripted.modal_actions["ISO_rating_input_form"].push_back([](QDialog& dialog) {
    auto& r = static_cast<TISO_rating_input_form&>(dialog);
    type(dialog, r.torquepinedit, "321", r.OKbutton);
    r.Button1Click();
    return int(QDialog::Accepted);
  });
  p.scripted.modal_actions["loadcasemultipleform"].push_back([](QDialog& dialog) {
    auto& c = static_cast<Tloadcasemultipleform&>(dialog);
    type(dialog, c.speedpinedit, "1234", c.Button5);
    for (int i = 0; i < 10; ++i) c.Button2Click();
    c.ComboBox2->setCurrentIndex(0);
    c.ComboBox2Change();
    c.Button3Click();
    return int(QDialog::Accepted);
  });
  d.current_load_case = 0;
  const int cases_before = d.load_case_count;
  ASSERT_GE(cases_before, 1);
  m.InputData1Click();

  QStringList warnings;
  for (const QString& text : p.warnings()) warnings << text.split('\n').first();
  // Ten clicks of "Create new": the ones past nine cases are refused.
  QStringList refused;
  for (int i = 0; i < 10 - (9 - cases_before); ++i) refused << "Maximum number of loadcases is 9";
  EXPECT_EQ(warnings, refused);
  ASSERT_EQ(d.load_case_count, 8);
  ASSERT_EQ(m.ListBox1->count(), 8);
  EXPECT_EQ(m.ListBox1->item(0)->text(), "load1");
  EXPECT_EQ(m.ListBox1->item(7)->text(), "load8");
  EXPECT_EQ(m.ListBox1->currentRow(), 0);
  EXPECT_EQ(d.current_load_case, 0);
  // Case 1 is the old case 2, a copy of the edited case 1, and the current rating inputs are its values.
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(d.load_case_table[i].torque, 321.0f) << i;
    EXPECT_EQ(d.load_case_table[i].speed, 1234.0f) << i;
  }
  EXPECT_EQ(d.speed, 1234.0f);
  EXPECT_EQ(d.torque, 321.0f);
  EXPECT_FLOAT_EQ(d.load_cycles_pinion, 60.0f * 1234.0f * d.life_hours);
  EXPECT_FLOAT_EQ(d.load_cycles_wheel, d.load_cycles_pinion * d.teeth[0] / d.teeth[1]);
  EXPECT_NEAR(d.power, 2 * M_PI * 1234.0 / 60 * 321.0, 0.05);
}

// Opening the rating input window on the design the main window rates, and closing it without an entry,
// leaves every rating figure as it was: the window takes load case 1 with the wheel's cycles of the
// teeth it finds, which the main window rated it with also after a change of the teeth.
TEST(RatingInputFromMainWindow, OpeningTheWindowLeavesTheRatingAsItWas) {
  Program p;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  d.rating_enabled = 1;
  m.show();
  QApplication::setActiveWindow(&m);
  m.Ratioedit->setFocus(Qt::TabFocusReason);
  m.Ratioedit->setText("3");
  m.Showplotbutton->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(d.teeth[1], 69);
  ASSERT_EQ(d.current_load_case, 0);
  ASSERT_EQ(d.rating_valid, 1);
  const RatingResults rated = d;
  const LifeResults lives = d;
  p.scripted.modal_actions["ISO_rating_input_form"].push_back([](QDialog&) { return int(QDialog::Accepted); });
  m.InputData1Click();
  const RatingResults& after = d;
  const LifeResults& lives_after = d;
  EXPECT_EQ(std::memcmp(&after, &rated, sizeof(RatingResults)), 0);
  EXPECT_EQ(std::memcmp(&lives_after, &lives, sizeof(LifeResults)), 0);
}
