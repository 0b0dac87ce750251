// The load-case window: the list of stored cases, creating and deleting within one to nine cases, the
// relations between speed, torque, power, time and cycles, and the table written back as the user edits.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <string>

#include "load_case_form.h"
#include "load_relations.h"
#include "rating_form_support.h"
#include "rating_forms_fixture.h"

using namespace morvell;
using morvell::testing::default_design;

namespace {

struct Cases : morvell::testing::Shown<Tloadcasemultipleform> {
  // Three cases of different speed, torque, time and misalignment; case 3 current.
  static std::unique_ptr<DesignData> prepared(int unit_system, int count) {
    auto d = default_design(unit_system);
    d->teeth[0] = 20;
    d->teeth[1] = 40;
    for (int i = 0; i < count; ++i) {
      d->load_case_table[i] = LoadCase{1000.0f * (i + 1), 100.0f * (i + 1), 10.0f * (i + 1), float(i)};
      d->load_case_fixed_for[i] = i % 2 + 1;
    }
    d->load_case_count = count;
    d->current_load_case = count - 1;
    load_case_into_inputs(*d, count - 1);
    return d;
  }
  explicit Cases(int unit_system = 1, int count = 3) : Shown(prepared(unit_system, count)) {}
  explicit Cases(std::unique_ptr<DesignData> d) : Shown(std::move(d)) {}

  QStringList names() const {
    QStringList n;
    for (int i = 0; i < w->ComboBox2->count(); ++i) n << w->ComboBox2->itemText(i);
    return n;
  }
  void choose(int k) {
    w->ComboBox2->setCurrentIndex(k);
    w->ComboBox2Change();
  }
  void type(QLineEdit* e, const char* text) { enter(e, text, w->Button5); }
};

}  // namespace

TEST(LoadCaseDialog, ShowListsTheCasesAndStartsOnCaseOne) {
  Cases c(2);
  DesignData& d = *c.d;
  EXPECT_EQ(c.w->windowTitle(), "Gear Rating Loadcases");
  EXPECT_EQ(c.names(), QStringList({"loadcase 1", "loadcase 2", "loadcase 3"}));
  EXPECT_EQ(c.w->ComboBox2->currentIndex(), 0);
  EXPECT_EQ(d.current_load_case, 0);
  EXPECT_EQ(d.speed, 1000.0f);
  EXPECT_EQ(d.torque, 100.0f);
  EXPECT_EQ(d.load_data_fixed_for, 1);
  EXPECT_EQ(d.load_cycles_pinion, 600000.0f);
  EXPECT_EQ(d.load_cycles_wheel, 300000.0f);
  EXPECT_NEAR(d.power, 10471.975f, 0.01);
  // English units: torque in lbf ft, power in hp; speed and time as they are.
  EXPECT_EQ(c.w->torquelabel->text(), "lbf.ft");
  EXPECT_EQ(c.w->powerlabel->text(), "hp");
  EXPECT_EQ(c.w->speedpinedit->text(), "1000.000");
  EXPECT_EQ(c.w->speedwheeledit->text(), "500.000");
  EXPECT_EQ(c.w->torquepinedit->text(), "73.746");
  EXPECT_EQ(c.w->torquewheeledit->text(), "147.493");
  EXPECT_EQ(c.w->poweredit->text(), "14.043");
  EXPECT_EQ(c.w->cyclespinedit->text(), "6.000e+05");
  EXPECT_EQ(c.w->cyclespinedit->toolTip(), "6.00000e+05");
  EXPECT_EQ(c.w->timeedit->toolTip(), "  10.00000");
  EXPECT_EQ(c.w->loaddatafixedforedit->text(), "Pinion");
  EXPECT_EQ(QApplication::focusWidget(), c.w->Button5);

  c.choose(1);
  EXPECT_EQ(d.current_load_case, 1);
  EXPECT_EQ(d.speed, 2000.0f);
  EXPECT_EQ(d.f_beta_x, 1.0f);
  EXPECT_EQ(c.w->loaddatafixedforedit->text(), "Wheel");
  // Every show starts on case 1 again.
  c.reopen();
  EXPECT_EQ(d.current_load_case, 0);
  EXPECT_EQ(d.speed, 1000.0f);
}

TEST(LoadCaseDialog, ADesignWithTenCasesShowsNineAndAZeroHasNoSign) {
  auto d = Cases::prepared(1, 10);
  d->load_case_table[0].torque = -0.0002f;  // zero but for rounding
  Cases c(std::move(d));
  EXPECT_EQ(c.d->load_case_count, 9);
  EXPECT_EQ(c.names().size(), 9);
  EXPECT_EQ(c.w->torquepinedit->text(), "0.000");
  EXPECT_EQ(c.w->torquewheeledit->text(), "0.000");
}

// A field that keeps the focus after its exit (as a refused entry does) holds the rounded display the
// refresh wrote into it; leaving it again stores nothing more. On 23 / 32 teeth a wheel torque of
// 278.2609 N m gives 200.00002 N m on the pinion and shows as 278.261, which would store 200.0001.
TEST(LoadCaseDialog, LeavingAFieldThatKeptTheFocusStoresNothingMore) {
  auto design = Cases::prepared(1, 3);
  design->teeth[0] = 23;
  design->teeth[1] = 32;
  Cases c(std::move(design));
  DesignData& d = *c.d;
  QLineEdit* e = c.w->torquewheeledit;
  e->setFocus(Qt::TabFocusReason);
  e->setText("278.2609");
  c.w->torquewheeleditExit();
  const float torque = d.torque;
  ASSERT_EQ(e->text(), "278.261");
  c.w->Button5->setFocus(Qt::TabFocusReason);  // the field is left again
  EXPECT_EQ(d.torque, torque);
  EXPECT_EQ(d.load_case_table[0].torque, torque);
}

TEST(LoadCaseDialog, CreateAndDeleteKeepOneToNineCases) {
  Cases c(1, 1);
  DesignData& d = *c.d;
  c.w->Button3Click();  // the last case cannot go
  EXPECT_EQ(c.warnings(), QStringList({"Rating input data must contain at least 1 loadcase| | "}));
  EXPECT_EQ(d.load_case_count, 1);
  for (int i = 2; i <= 9; ++i) c.w->Button2Click();
  EXPECT_EQ(d.load_case_count, 9);
  EXPECT_EQ(c.names().size(), 9);
  EXPECT_EQ(c.names().last(), "loadcase 9");
  EXPECT_EQ(c.w->ComboBox2->currentIndex(), 8);
  c.scripted.clear();
  c.w->Button2Click();
  EXPECT_EQ(c.warnings(), QStringList({"Maximum number of loadcases is 9| | "}));
  EXPECT_EQ(d.load_case_count, 9);
  EXPECT_EQ(c.names().size(), 9);
  EXPECT_EQ(QApplication::focusWidget(), c.w->Button5);
  for (int i = 0; i < 8; ++i) c.w->Button3Click();
  EXPECT_EQ(d.load_case_count, 1);
  EXPECT_EQ(c.names(), QStringList({"loadcase 1"}));
}

TEST(LoadCaseDialog, DeleteMovesTheLaterCasesDownAndSelectsTheOneBefore) {
  const struct {
    int deleted;
    int selected;
    float speed_selected;
    float second_speed;  // the case now in slot 2
  } cases[] = {{0, 0, 2000.0f, 3000.0f}, {1, 0, 1000.0f, 3000.0f}, {2, 1, 2000.0f, 2000.0f}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.deleted);
    Cases c;
    DesignData& d = *c.d;
    c.choose(k.deleted);
    c.w->Button3Click();
    EXPECT_EQ(c.names(), QStringList({"loadcase 1", "loadcase 2"}));
    EXPECT_EQ(d.load_case_count, 2);
    EXPECT_EQ(c.w->ComboBox2->currentIndex(), k.selected);
    EXPECT_EQ(d.current_load_case, k.selected);
    EXPECT_EQ(d.speed, k.speed_selected);
    EXPECT_EQ(c.w->speedpinedit->text(), QString::number(k.speed_selected, 'f', 3));
    EXPECT_EQ(d.load_case_table[1].speed, k.second_speed);
  }
}

TEST(LoadCaseDialog, EditsAreWrittenIntoTheCaseShownAndCopiedByCreateNew) {
  Cases c;
  DesignData& d = *c.d;
  c.choose(1);
  c.type(c.w->torquepinedit, "250");
  EXPECT_EQ(d.load_case_table[1].torque, 250.0f);
  EXPECT_EQ(d.load_case_table[0].torque, 100.0f);
  EXPECT_NEAR(d.power, 2000.0 / 60 * 2 * M_PI * 250, 0.05);  // power calculated
  c.w->Button2Click();
  EXPECT_EQ(c.names().last(), "loadcase 4");
  EXPECT_EQ(c.w->ComboBox2->currentIndex(), 3);
  EXPECT_EQ(d.load_case_table[3].torque, 250.0f);
  EXPECT_EQ(d.load_case_table[3].speed, 2000.0f);
  EXPECT_EQ(d.load_case_fixed_for[3], 1);
  // A field left by closing the window stores its entry into the case shown.
  c.w->timeedit->setReadOnly(false);
  c.w->timeedit->setFocus(Qt::TabFocusReason);
  c.w->timeedit->setText("77");
  c.w->close();
  EXPECT_EQ(d.load_case_table[3].life_hours, 77.0f);
  EXPECT_EQ(d.load_case_count, 4);
}

TEST(LoadCaseDialog, WheelEntriesAndTheDerivedQuantities) {
  Cases c;
  DesignData& d = *c.d;  // z1 20, z2 40; power and time calculated
  c.type(c.w->speedwheeledit, "100");
  EXPECT_EQ(d.speed, 200.0f);
  EXPECT_EQ(c.w->speedwheeledit->text(), "100.000");
  EXPECT_EQ(c.w->loaddatafixedforedit->text(), "Wheel");
  EXPECT_NEAR(d.power, 200.0 / 60 * 2 * M_PI * 100, 0.01);
  EXPECT_EQ(d.load_cycles_pinion, 600000.0f);  // time calculated: the cycles stay, the time follows
  EXPECT_FLOAT_EQ(d.life_hours, 50.0f);

  c.w->Cyclescheckbox->setChecked(true);  // cycles calculated: time becomes an input
  EXPECT_FALSE(c.w->timecheckbox->isChecked());
  EXPECT_FALSE(c.w->timeedit->isReadOnly());
  EXPECT_TRUE(c.w->cyclespinedit->isReadOnly());
  EXPECT_TRUE(c.w->cyclescalclabel->isVisibleTo(c.w.get()));
  EXPECT_FALSE(c.w->timecalclabel->isVisibleTo(c.w.get()));
  EXPECT_EQ(c.w->cyclespinedit->palette().color(QPalette::Base), kMenuColour);
  c.w->timecheckbox->setChecked(true);
  c.type(c.w->cycleswheeledit, "1000");
  EXPECT_EQ(d.load_cycles_wheel, 1000.0f);
  EXPECT_EQ(d.load_cycles_pinion, 2000.0f);
  EXPECT_FLOAT_EQ(d.life_hours, 2000.0f / (60 * 200.0f));
  EXPECT_EQ(d.load_data_fixed_for, 2);
  EXPECT_EQ(d.load_case_table[0].life_hours, d.life_hours);

  // Speed calculated: a new torque moves the speed from the power.
  c.w->speedcheckbox->setChecked(true);
  EXPECT_FALSE(c.w->powercheckbox->isChecked());
  EXPECT_TRUE(c.w->speedpinedit->isReadOnly());
  EXPECT_FALSE(c.w->poweredit->isReadOnly());
  const float power = d.power;
  c.type(c.w->torquewheeledit, "400");  // T1 = 20 x 400 / 40
  EXPECT_EQ(d.torque, 200.0f);
  EXPECT_EQ(d.power, power);
  EXPECT_NEAR(d.speed, 100.0f, 1e-3);

  // Unchecking the calculated box leaves no quantity calculated: a speed or torque edit keeps the other
  // of the two as entered and the power follows both, shown at once; a power edit moves the torque.
  c.w->speedcheckbox->setChecked(false);
  EXPECT_TRUE(c.w->speedpinedit->isReadOnly());
  c.w->speedpinedit->setReadOnly(false);
  c.type(c.w->speedpinedit, "300");
  EXPECT_EQ(d.speed, 300.0f);
  EXPECT_EQ(d.torque, 200.0f);
  EXPECT_NEAR(d.power, 2 * M_PI * 300 * 200 / 60, 0.01);
  EXPECT_NEAR(c.w->poweredit->text().toDouble(), 2 * M_PI * 300 * 200 / 60, 0.001);
  c.type(c.w->torquepinedit, "50");
  EXPECT_EQ(d.speed, 300.0f);
  EXPECT_NEAR(d.power, 2 * M_PI * 300 * 50 / 60, 0.01);
  EXPECT_NEAR(c.w->poweredit->text().toDouble(), 2 * M_PI * 300 * 50 / 60, 0.001);
  c.w->poweredit->setReadOnly(false);
  c.type(c.w->poweredit, "6000");
  EXPECT_EQ(d.speed, 300.0f);
  EXPECT_NEAR(d.torque, 6000 * 60 / (2 * M_PI * 300), 1e-3);
}

// A load case holds speeds, torques and running times above zero, as the design file does: an entry of
// zero or below, or one that makes a derived quantity zero or below (a tiny number of cycles whose hours
// round to zero), is refused and the case keeps every quantity.
TEST(LoadCaseDialog, EntriesThatLeaveAQuantityAtZeroOrBelowAreRefused) {
  struct Case {
    QLineEdit* Tloadcasemultipleform::*field;
    const char* text;
  };
  const Case cases[] = {{&Tloadcasemultipleform::speedpinedit, "0"},       {&Tloadcasemultipleform::speedwheeledit, "-1"},
                        {&Tloadcasemultipleform::torquepinedit, "abc"},    {&Tloadcasemultipleform::torquewheeledit, "-1e30"},
                        {&Tloadcasemultipleform::poweredit, "0"},          {&Tloadcasemultipleform::timeedit, "-5"},
                        {&Tloadcasemultipleform::cyclespinedit, "1e-30"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    Cases c;
    const DesignData& d = *c.d;
    const float before[] = {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel};
    c.scripted.clear();
    c.type((*c.w).*k.field, k.text);
    EXPECT_EQ(c.warnings(), QStringList{"Value is out of range| | "});
    const float after[] = {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_GT(d.load_case_table[0].speed, 0.0f);
    EXPECT_GT(d.load_case_table[0].life_hours, 0.0f);
  }
}

// Text beyond the float range is refused in every field and changes no quantity of the case.
TEST(LoadCaseDialog, EntriesBeyondTheFloatRangeAreRefused) {
  Cases c;
  for (QLineEdit* e : {c.w->speedpinedit, c.w->speedwheeledit, c.w->torquepinedit, c.w->torquewheeledit,
                       c.w->poweredit, c.w->timeedit, c.w->cyclespinedit, c.w->cycleswheeledit}) {
    for (const char* text : {"1e39", "-1e39", "1e999"}) {
      SCOPED_TRACE(e->objectName().toStdString() + " " + text);
      const float speed = c.d->speed, torque = c.d->torque, hours = c.d->life_hours, power = c.d->power;
      const float cycles = c.d->load_cycles_pinion;
      c.scripted.clear();
      c.type(e, text);
      EXPECT_EQ(c.warnings(), QStringList{"Value is out of range| | "});
      EXPECT_EQ(c.d->speed, speed);
      EXPECT_EQ(c.d->torque, torque);
      EXPECT_EQ(c.d->life_hours, hours);
      EXPECT_EQ(c.d->power, power);
      EXPECT_EQ(c.d->load_cycles_pinion, cycles);
    }
  }
}

// An entry within the float range that derives a quantity beyond it is refused the same way: power from
// a huge speed or torque, cycles from a huge speed, time or power (through the speed).
TEST(LoadCaseDialog, EntriesThatDeriveAQuantityBeyondTheFloatRangeAreRefused) {
  struct Case {
    const char* calculated[2];  // the boxes checked: one of speed, torque, power; one of time, cycles
    QLineEdit* Tloadcasemultipleform::*field;
    const char* text;
  };
  const Case cases[] = {
      {{"powercheckbox", "timecheckbox"}, &Tloadcasemultipleform::speedpinedit, "1e38"},
      {{"powercheckbox", "timecheckbox"}, &Tloadcasemultipleform::torquewheeledit, "1e38"},
      {{"speedcheckbox", "Cyclescheckbox"}, &Tloadcasemultipleform::poweredit, "3e38"},
      {{"torquecheckbox", "Cyclescheckbox"}, &Tloadcasemultipleform::speedwheeledit, "1e37"},
      {{"torquecheckbox", "Cyclescheckbox"}, &Tloadcasemultipleform::timeedit, "1e37"},
      // Wheel cycles of a 20/40 pair: the pinion's are twice as many.
      {{"powercheckbox", "timecheckbox"}, &Tloadcasemultipleform::cycleswheeledit, "2e38"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.calculated[0]) + " " + k.calculated[1] + " " + k.text);
    Cases c;
    for (const char* name : k.calculated)
      if (auto* box = c.w->findChild<QCheckBox*>(name); !box->isChecked()) box->click();
    const DesignData& d = *c.d;
    const float before[] = {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel};
    c.scripted.clear();
    QLineEdit* e = (*c.w).*k.field;
    c.type(e, k.text);
    EXPECT_EQ(c.warnings(), QStringList{"Value is out of range| | "});
    const float after[] = {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(after[i], before[i]) << i;
    // The same entry divided by a million is stored.
    c.scripted.clear();
    const std::string smaller = QString::number(QString(k.text).toDouble() / 1e6).toStdString();
    c.type(e, smaller.c_str());
    EXPECT_EQ(c.warnings(), QStringList());
  }
}
