// The S-N curve data window: the stress fields in MPa or psi, the estimate run by exactly the six inputs
// of the estimate, the locked and hidden points by estimate and limited-pitting choice, and the material
// choice switching limited pitting off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "material_table.h"
#include "rating_form_support.h"
#include "rating_forms_fixture.h"
#include "sn_curve_data_form.h"

using namespace morvell;
using morvell::testing::default_design;

namespace {

// Case-hardened pinion and wheel, both estimated, limited pitting on the pinion only.
std::unique_ptr<DesignData> prepared(int unit_system) {
  auto d = default_design(unit_system);
  d->material_type[0] = d->material_type[1] = 7;
  d->sigma_hlim[0] = d->sigma_hlim[1] = 1500;
  d->sigma_flim[0] = d->sigma_flim[1] = 500;
  d->sn_estimate[0] = d->sn_estimate[1] = 1;
  d->limited_pitting[0] = 1;
  d->limited_pitting[1] = 0;
  updateSNcurves(*d);
  return d;
}

struct SnData : morvell::testing::Shown<TSNcurveForm> {
  explicit SnData(int unit_system = 1) : Shown(prepared(unit_system)) {}
  void type(QLineEdit* e, const QString& text) { enter(e, text, w->OKbutton); }
  QLineEdit* field(const char* name) const { return w->findChild<QLineEdit*>(name); }
};

// The 28 fields with the value each shows and stores.
struct FieldCase {
  const char* name;
  float& (*value)(DesignData&);
  bool stress;
};
float& value_of(DesignData& d, const FieldCase& f) { return f.value(d); }

}  // namespace

TEST(SnCurveDataDialog, EveryFieldShowsAndStoresItsPointInTheUnitsChosen) {
  // Stresses in psi (MPa / 0.006895), cycles as they are. The estimate is off, so no field moves another.
#define SN_FIELD(name, member, stress) {name, [](DesignData& d) -> float& { return d.member; }, stress}
#define SN_PAIR(name, member, i) {name, [](DesignData& d) -> float& { return d.member[i]; }, true}
  const FieldCase fields[] = {
      SN_FIELD("sigmaHstat_pin_unfactorededit", sigma_h_static_pinion, true),
      SN_FIELD("NLstat_pin_contedit", nl_static_contact_pinion, false),
      SN_FIELD("sigmaHpit_pin_unfactorededit", sigma_h_pit_pinion, true),
      SN_FIELD("NLpit_pin_contedit", nl_pit_contact_pinion, false),
      SN_PAIR("sigmahlimpinedit", sigma_hlim, 0),
      SN_FIELD("NLlim_pin_contedit", nl_lim_contact_pinion, false),
      SN_FIELD("sigmaHinf_pinedit", sigma_h_inf_pinion, true),
      SN_FIELD("NLinf_pin_contedit", nl_inf_contact_pinion, false),
      SN_PAIR("sigmaFstat_pin_unfactorededit", sigma_f_static, 0),
      SN_FIELD("NLstat_pin_bendedit", nl_static_bending_pinion, false),
      SN_PAIR("sigmaflimpinedit", sigma_flim, 0),
      SN_FIELD("NLlim_pin_bendedit", nl_lim_bending_pinion, false),
      SN_FIELD("sigmaFinf_pinedit", sigma_f_inf_pinion, true),
      SN_FIELD("NLinf_pin_bendedit", nl_inf_bending_pinion, false),
      SN_FIELD("sigmaHstat_wheel_unfactorededit", sigma_h_static_wheel, true),
      SN_FIELD("NLstat_wheel_contedit", nl_static_contact_wheel, false),
      SN_PAIR("sigmahlimwheeledit", sigma_hlim, 1),
      SN_FIELD("NLlim_wheel_contedit", nl_lim_contact_wheel, false),
      SN_FIELD("sigmaHinf_wheeledit", sigma_h_inf_wheel, true),
      SN_FIELD("NLinf_wheel_contedit", nl_inf_contact_wheel, false),
      SN_PAIR("sigmaFstat_wheel_unfactorededit", sigma_f_static, 1),
      SN_FIELD("NLstat_wheel_bendedit", nl_static_bending_wheel, false),
      SN_PAIR("sigmaflimwheeledit", sigma_flim, 1),
      SN_FIELD("NLlim_wheel_bendedit", nl_lim_bending_wheel, false),
      SN_FIELD("sigmaFinf_wheeledit", sigma_f_inf_wheel, true),
      SN_FIELD("NLinf_wheel_bendedit", nl_inf_bending_wheel, false),
  };
#undef SN_FIELD
#undef SN_PAIR
  SnData s(2);
  DesignData& d = *s.d;
  s.w->SNentercheckbox->setChecked(false);
  s.w->SNenterwheelcheckbox->setChecked(false);
  s.w->limitedpittingboxwheel->setChecked(true);  // the wheel's intermediate point is open too
  for (QLabel* label : s.w->stress_labels[1]) EXPECT_EQ(label->text(), "psi");
  for (const FieldCase& f : fields) {
    SCOPED_TRACE(f.name);
    QLineEdit* e = s.field(f.name);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->isReadOnly());
    const float shown = f.stress ? float((long double)value_of(d, f) / (long double)d.stress_unit_factor) : value_of(d, f);
    EXPECT_EQ(e->text(), QString::fromStdString(format_number(shown, 3)));
    EXPECT_EQ(e->toolTip(), f.stress ? value_hint(shown) : cycles_hint(shown));
    // A stress of 12345 psi; cycles a little above their own, so that every curve keeps its order.
    const QString text = f.stress ? QString("12345") : QString::number(double(value_of(d, f)) * 1.001, 'f', 0);
    s.type(e, text);
    EXPECT_EQ(value_of(d, f), f.stress ? float(12345.0 * double(0.006895f)) : float(text.toDouble()));
  }
  // The allowable stress numbers take the ranges of the rating input window, which the design file
  // keeps too (0 to 2000 MPa for contact, 0 to 800 MPa for bending, above zero): 300000 psi is 2068.5 MPa.
  struct Limit {
    QLineEdit* edit;
    float* value;
    const char* text;
    bool taken;
  };
  const Limit limits[] = {{s.w->sigmahlimpinedit, &d.sigma_hlim[0], "-5", false},
                          {s.w->sigmahlimpinedit, &d.sigma_hlim[0], "0", false},
                          {s.w->sigmahlimpinedit, &d.sigma_hlim[0], "300000", false},
                          {s.w->sigmahlimpinedit, &d.sigma_hlim[0], "290000", true},
                          {s.w->sigmaflimwheeledit, &d.sigma_flim[1], "116100", false},
                          {s.w->sigmaflimwheeledit, &d.sigma_flim[1], "116000", true}};
  for (const Limit& l : limits) {
    SCOPED_TRACE(l.text);
    const float before = *l.value;
    s.scripted.clear();
    s.type(l.edit, l.text);
    EXPECT_EQ(*l.value, l.taken ? float(std::strtod(l.text, nullptr) * double(0.006895f)) : before);
    EXPECT_EQ(s.warnings().isEmpty(), l.taken);
  }
}

TEST(SnCurveDataDialog, OnlyTheInputsOfTheEstimateRunIt) {
  SnData s;
  DesignData& d = *s.d;
  EXPECT_EQ(s.w->windowTitle(), "Input Fatigue Curve Data");
  EXPECT_EQ(d.sigma_h_static_pinion, 2400.0f);
  // The same text again stores nothing and runs no estimate.
  d.sigma_h_static_pinion = 1.0f;
  s.type(s.w->sigmahlimpinedit, s.w->sigmahlimpinedit->text());
  EXPECT_EQ(d.sigma_h_static_pinion, 1.0f);
  EXPECT_EQ(s.w->sigmaHstat_pin_unfactorededit->text(), "1.000");
  // A new limit stress re-estimates every estimated gear from its own numbers.
  d.sigma_h_static_wheel = 1.0f;
  s.type(s.w->sigmahlimpinedit, "1000");
  EXPECT_EQ(d.sigma_hlim[0], 1000.0f);
  EXPECT_EQ(d.sigma_h_static_pinion, 1600.0f);
  EXPECT_EQ(d.sigma_h_static_wheel, 2400.0f);
  s.type(s.w->sigmaflimwheeledit, "400");
  EXPECT_EQ(d.sigma_f_static[1], 1000.0f);
  EXPECT_EQ(d.sigma_f_inf_wheel, 340.0f);
  // The bending limit cycles are no input of the estimate.
  d.sigma_f_static[1] = 1.0f;
  s.w->SNenterwheelcheckbox->setChecked(false);
  d.sigma_f_static[1] = 1.0f;
  s.type(s.w->NLlim_wheel_bendedit, "4e6");
  EXPECT_EQ(d.nl_lim_bending_wheel, 4e6f);
  EXPECT_EQ(d.sigma_f_static[1], 1.0f);
  // Entered wheel curve without limited pitting: its intermediate point follows the contact knee.
  s.type(s.w->NLlim_wheel_contedit, "3e7");
  EXPECT_EQ(d.nl_pit_contact_wheel, 3e7f);
  EXPECT_EQ(d.sigma_h_pit_wheel, d.sigma_hlim[1]);
}

TEST(SnCurveDataDialog, EstimateAndLimitedPittingLockAndHideThePoints) {
  SnData s;
  DesignData& d = *s.d;
  TSNcurveForm& w = *s.w;
  const auto visible = [&w](QWidget* c) { return c->isVisibleTo(&w); };
  // Estimated: the points are locked, the limits open; the pinion with limited pitting shows its
  // intermediate point, the wheel without hides it.
  for (QLineEdit* e : {w.sigmaHstat_pin_unfactorededit, w.NLlim_pin_contedit, w.sigmaFinf_pinedit,
                       w.NLlim_pin_bendedit, w.sigmaHpit_pin_unfactorededit})
    EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
  EXPECT_EQ(w.sigmaHstat_pin_unfactorededit->palette().color(QPalette::Base), kMenuColour);
  EXPECT_FALSE(w.sigmahlimpinedit->isReadOnly());
  EXPECT_FALSE(w.sigmaflimwheeledit->isReadOnly());
  EXPECT_TRUE(visible(w.sigmaHpit_pin_unfactorededit));
  EXPECT_TRUE(visible(w.Label31));
  EXPECT_FALSE(visible(w.sigmaHpit_wheel_unfactorededit));
  EXPECT_FALSE(visible(w.NLpit_wheel_contedit));
  EXPECT_FALSE(visible(w.Label38));
  EXPECT_FALSE(visible(w.stress_labels[1][1]));
  EXPECT_TRUE(w.limitedpittingbox->isChecked());

  // Unchecking the estimate keeps the estimated numbers as the start of entry and opens them.
  w.SNentercheckbox->setChecked(false);
  EXPECT_EQ(d.sn_estimate[0], 0);
  EXPECT_EQ(d.sigma_h_static_pinion, 2400.0f);
  EXPECT_FALSE(w.sigmaHstat_pin_unfactorededit->isReadOnly());
  EXPECT_EQ(w.sigmaHstat_pin_unfactorededit->palette().color(QPalette::Base), kWindowColour);
  EXPECT_FALSE(w.NLstat_pin_bendedit->isReadOnly());
  EXPECT_FALSE(w.sigmaHpit_pin_unfactorededit->isReadOnly());
  EXPECT_TRUE(w.limitedpittingbox->isEnabled());  // the type allows limited pitting

  // Grey cast iron: limited pitting off and its box disabled, the estimate run, the intermediate point
  // hidden and back on the knee.
  w.SNentercheckbox->setChecked(true);
  w.materialtypepin->setCurrentIndex(3);
  w.materialtypepinChange();
  EXPECT_EQ(d.material_type[0], 3);
  EXPECT_FALSE(w.limitedpittingbox->isChecked());
  EXPECT_FALSE(w.limitedpittingbox->isEnabled());
  EXPECT_EQ(d.limited_pitting[0], 0);
  EXPECT_EQ(d.sigma_h_static_pinion, 1950.0f);  // 1.3 x 1500
  EXPECT_EQ(d.nl_lim_contact_pinion, 2e6f);
  EXPECT_EQ(d.nl_pit_contact_pinion, 2e6f);
  EXPECT_EQ(d.sigma_h_pit_pinion, 1500.0f);
  EXPECT_FALSE(visible(w.sigmaHpit_pin_unfactorededit));
  EXPECT_EQ(d.sigma_hlim[0], 1500.0f);  // the material's numbers are not loaded here

  // "Input" with estimation: its curves belong to its stress numbers as those of "Steel" do (1.6 x 1500
  // at 1e5 cycles), whatever points were held; the estimated points stay locked.
  d.sigma_h_static_pinion = 7.0f;
  w.materialtypepin->setCurrentIndex(0);
  w.materialtypepinChange();
  EXPECT_EQ(d.sigma_h_static_pinion, 2400.0f);
  EXPECT_EQ(d.nl_static_contact_pinion, 1e5f);
  EXPECT_EQ(d.nl_lim_contact_pinion, 5e7f);
  EXPECT_TRUE(w.sigmaHstat_pin_unfactorededit->isReadOnly());
}

// A field that keeps the focus after its exit (as a refused entry does) holds the rounded display the
// refresh wrote into it; leaving it again stores nothing more.
TEST(SnCurveDataDialog, LeavingAFieldThatKeptTheFocusStoresNothingMore) {
  SnData s;
  DesignData& d = *s.d;
  s.w->close();
  d.sn_estimate[1] = 0;
  s.show();
  QLineEdit* e = s.w->sigmaHstat_wheel_unfactorededit;
  e->setFocus(Qt::TabFocusReason);
  e->setText("2400.0004");
  s.w->field_exit(e);
  ASSERT_EQ(e->text(), "2400.000");
  EXPECT_EQ(d.edit_changed, 0);  // cleared after the refresh that rewrote the fields
  s.w->OKbutton->setFocus(Qt::TabFocusReason);  // the field is left again
  EXPECT_EQ(d.sigma_h_static_wheel, 2400.0004f);
}

TEST(SnCurveDataDialog, ShowReadsTheFlagsAndClosingStoresAPendingEntry) {
  SnData s;
  DesignData& d = *s.d;
  s.w->close();
  d.sn_estimate[1] = 0;
  d.limited_pitting[0] = 0;
  d.material_type[1] = 2;
  s.show();
  EXPECT_FALSE(s.w->SNenterwheelcheckbox->isChecked());
  EXPECT_FALSE(s.w->limitedpittingbox->isChecked());
  EXPECT_EQ(s.w->materialtypewheel->currentIndex(), 2);
  EXPECT_EQ(s.w->materialtypewheel->currentText(), "Through Hardening Steel, Through Hardened");
  EXPECT_FALSE(s.w->sigmaHstat_wheel_unfactorededit->isReadOnly());
  EXPECT_EQ(QApplication::focusWidget(), s.w->OKbutton);

  s.w->NLinf_wheel_bendedit->setFocus(Qt::TabFocusReason);
  s.w->NLinf_wheel_bendedit->setText("2e10");
  s.w->close();
  EXPECT_EQ(d.nl_inf_bending_wheel, 2e10f);
}

// Text beyond the float range ("inf" and "nan" never stand in a field: the typing cleans them) is refused and the field shows its point again; the design stays savable.
TEST(SnCurveDataDialog, EntriesBeyondTheFloatRangeAreRefused) {
  SnData w;
  w.d->sn_estimate[0] = 0;
  for (const char* text : {"1e39", "-1e39", "1e999"}) {
    SCOPED_TRACE(text);
    const float before = w.d->sigma_h_static_pinion;
    const QString shown = w.field("sigmaHstat_pin_unfactorededit")->text();
    w.scripted.clear();
    w.type(w.field("sigmaHstat_pin_unfactorededit"), text);
    EXPECT_EQ(w.warnings(), QStringList{"Value is out of range| | "});
    EXPECT_EQ(w.d->sigma_h_static_pinion, before);
    EXPECT_EQ(w.field("sigmaHstat_pin_unfactorededit")->text(), shown);
  }
}

// The points of a curve stay above zero and at rising load cycles: an entry that would break that is
// refused with the reason, the point kept, and the curves stay ones the design file opens.
TEST(SnCurveDataDialog, EntriesThatBreakACurveAreRefusedWithTheReason) {
  SnData w;
  w.d->sn_estimate[0] = w.d->sn_estimate[1] = 0;
  w.w->SNentercheckbox->setChecked(false);
  w.w->SNenterwheelcheckbox->setChecked(false);
  struct Case {
    const char* field;
    const char* text;
    const char* reason;  // nullptr: taken
  };
  const Case cases[] = {
      {"NLstat_wheel_contedit", "1e8", "contact static cycles (wheel) 1e+08 must be less than the"},
      {"NLstat_wheel_contedit", "4e7", nullptr},
      {"NLlim_pin_bendedit", "0", "Must be greater than 0"},
      {"NLlim_pin_bendedit", "-3e6", "Must be greater than 0"},
      {"sigmaHstat_pin_unfactorededit", "-1", "Must be greater than 0"},
      {"sigmaHstat_pin_unfactorededit", "0", "Must be greater than 0"},
      {"NLinf_wheel_bendedit", "2e6", "bending endurance cycles (wheel) 3e+06 must be less than the"},
      {"NLinf_wheel_bendedit", "2e10", nullptr},
      {"NLlim_wheel_contedit", "1e5", "must be less than the"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.text);
    auto before = std::make_unique<DesignData>(*w.d);
    w.scripted.clear();
    w.type(w.field(c.field), c.text);
    if (c.reason) {
      ASSERT_EQ(w.warnings().size(), 1);
      EXPECT_TRUE(w.warnings()[0].contains(c.reason)) << w.warnings()[0].toStdString();
      EXPECT_EQ(w.d->nl_static_contact_wheel, before->nl_static_contact_wheel);
      EXPECT_EQ(w.d->nl_lim_bending_pinion, before->nl_lim_bending_pinion);
      EXPECT_EQ(w.d->sigma_h_static_pinion, before->sigma_h_static_pinion);
      EXPECT_EQ(w.d->nl_inf_bending_wheel, before->nl_inf_bending_wheel);
      EXPECT_EQ(w.d->nl_lim_contact_wheel, before->nl_lim_contact_wheel);
    } else {
      EXPECT_TRUE(w.warnings().isEmpty());
    }
    for (int g = 0; g < 2; ++g) EXPECT_TRUE(sn_curve_problem(*w.d, g, true).ok()) << sn_curve_problem(*w.d, g, true).text;
  }
}
