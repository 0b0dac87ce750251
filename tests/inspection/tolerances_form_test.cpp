// The tolerance window: the grades change and the design stays as it was shown, the table in both unit
// systems, the default size limits and the hidden limit boxes with their warning lines.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QPushButton>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dialog_test_support.h"
#include "edit_fields.h"
#include "geometry_pass.h"
#include "results_pane.h"
#include "tolerances_form.h"

using namespace morvell;
using namespace morvell::testing;

namespace {

std::vector<float> held_values(const DesignData& d) {
  return {d.tip_diameter[0],        d.tip_diameter[1],
          d.tip_chamfer[0],         d.tip_chamfer[1],
          d.face_width[0],          d.face_width[1],
          d.edge_chamfer[0],        d.edge_chamfer[1],
          d.centre_distance,        d.thickness_finished_normal[0],
          d.thickness_finished_normal[1], d.thickness_finished_transverse[0],
          d.thickness_finished_transverse[1], d.backlash_transverse_circular,
          d.backlash_normal,        d.backlash_radial,
          d.backlash_transverse,    d.backlash_distribution};
}

QStringList table_lines(const TTolerancesform& form) { return form.mainresults->toPlainText().split('\n'); }

}  // namespace

TEST(TolerancesForm, GradesChangeWhileTheDesignIsLeftAsShown) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.geometry_manager_mode = 2;
  d.pitch_error_from_grade = 1;
  const std::vector<float> shown = held_values(d);
  const GearDeviations pinion_before = d.iso1328_deviations[0];
  TTolerancesform form(d);
  p.when_shown("Tolerancesform", [&](QDialog&) {
    EXPECT_EQ(d.geometry_manager_override, 1);
    EXPECT_EQ(d.geometry_manager_mode, 0);
    EXPECT_EQ(form.ISOgradepinedit->text(), "8");
    const QStringList before = table_lines(form);
    ASSERT_EQ(before.size(), 13);
    // Something moves the design meanwhile (a geometry pass with the override on): the refresh puts
    // the held values back.
    d.tip_diameter[1] += 1;
    d.backlash_normal = 0.5f;
    type_into(form.ISOgradewheeledit, "10", form.Button1);
    EXPECT_EQ(d.iso_grade[1], 10);
    EXPECT_EQ(held_values(d), shown);
    const QStringList after = table_lines(form);
    EXPECT_EQ(after[0], " ISO Quality grade \t\t\t8\t\t10");
    for (int k = 1; k < 13; ++k) {  // the wheel column only
      EXPECT_EQ(after[k].section('\t', 0, -2), before[k].section('\t', 0, -2)) << k;
      EXPECT_NE(after[k].section('\t', -1), before[k].section('\t', -1)) << k;
    }
    EXPECT_EQ(d.base_pitch_error[1], d.iso1328_deviations[1].f_pt);
    d.face_width[0] = 1;
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(held_values(d), shown);
  EXPECT_EQ(d.geometry_manager_override, 0);
  EXPECT_EQ(d.iso_grade[0], 8);
  EXPECT_EQ(d.iso_grade[1], 10);
  EXPECT_EQ(std::memcmp(&d.iso1328_deviations[0], &pinion_before, sizeof pinion_before), 0);
  for (int i = 0; i < 2; ++i)
    EXPECT_FLOAT_EQ(d.addendum[i], (d.tip_diameter[i] - d.teeth[i] * d.normal_module /
                                                            std::cos(d.helix_angle * M_PI / 180)) * 0.5);
}

TEST(TolerancesForm, GradeEntriesAndTheirRefusals) {
  DialogDesign p;
  DesignData& d = *p.d;
  TTolerancesform form(d);
  struct Case {
    const char* text;
    int grade;  // -1: refused, the grade before stays
  };
  const Case cases[] = {{"0", 0}, {"12", 12}, {"12.7", 12}, {"-1", -1}, {"13", -1},
                        {"1e30", -1}, {"7.9", 7}, {"abc", 0}};
  p.when_shown("Tolerancesform", [&](QDialog&) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      const int before = d.iso_grade[0];
      const int warnings = int(p.warnings().size());
      type_into(form.ISOgradepinedit, c.text, form.Button1);
      if (c.grade < 0) {
        ASSERT_EQ(p.warnings().size(), warnings + 1);
        EXPECT_EQ(p.warnings().back(), "Value is out of range\nQuality grade can be 0 to 12\n ");
        EXPECT_EQ(d.iso_grade[0], before);
        EXPECT_EQ(form.focusWidget(), form.ISOgradepinedit);
      } else {
        EXPECT_EQ(p.warnings().size(), warnings);
        EXPECT_EQ(d.iso_grade[0], c.grade);
      }
      EXPECT_EQ(form.ISOgradepinedit->text(), QString::number(d.iso_grade[0]));
      EXPECT_EQ(form.ISOgradepinedit->toolTip(), QString::number(d.iso_grade[0]));
      EXPECT_EQ(d.base_pitch_error[0], d.iso1328_deviations[0].f_pt);  // the start-up takes it from the grade
    }
  });
  p.scripted.show_modal(form);
}

TEST(TolerancesForm, TableInMillimetresAndInches) {
  for (const int units : {1, 2}) {
    DialogDesign p(units);
    DesignData& d = *p.d;
    TTolerancesform form(d);
    p.when_shown("Tolerancesform", [&](QDialog&) {
      const QStringList lines = table_lines(form);
      ASSERT_EQ(lines.size(), 13);
      EXPECT_EQ(lines[0], " ISO Quality grade \t\t\t8\t\t8");
      const GearDeviations& pin = d.iso1328_deviations[0];
      const GearDeviations& wh = d.iso1328_deviations[1];
      if (units == 1) {
        EXPECT_EQ(lines[1].toStdString(), format_line(" Single radial composite deviation (mm)\t%-16.3f\t%-16.3f",
                                                      double(pin.f_i2 * 0.001L), double(wh.f_i2 * 0.001L)));
        EXPECT_EQ(lines[12].toStdString(), format_line(" Total helix deviation (mm) \t\t%-16.3f\t%-16.3f",
                                                       double(pin.F_beta * 0.001L), double(wh.F_beta * 0.001L)));
      } else {
        EXPECT_EQ(lines[4].toStdString(),
                  format_line(" Total cumulative pitch deviation (inch) \t%-16.4f\t%-16.4f",
                              double(pin.F_p * 0.001L / 25.4L), double(wh.F_p * 0.001L / 25.4L)));
        EXPECT_EQ(form.unit_labels[0]->text(), "inch");
      }
      if (std::getenv("MORVELL_SCREENSHOTS"))
        form.grab().save(QString("%1/tolerances_form_%2.png").arg(std::getenv("MORVELL_SCREENSHOTS")).arg(units));
    });
    p.scripted.show_modal(form);
  }
}

// Every value of the table stands under its heading: the first character of the pinion's values of every
// row at the left edge of the heading PINION, the wheel's at that of WHEEL, in the window's pixels, with
// the grade boxes under their headings; in both unit systems, at window scales 1, 1.406 and 0.8, with
// grades of other widths of their values.
TEST(TolerancesForm, TableValuesStandUnderTheirHeadings) {
  struct Case {
    int units;
    float scale;
    int32_t pinion_grade, wheel_grade;
  };
  const Case cases[] = {{1, 1000, 4, 11}, {2, 1000, 11, 4}, {1, 1406, 11, 4}, {2, 1406, 4, 11}, {1, 800, 12, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "units " << c.units << ", scale " << c.scale / 1000 << ", grades "
                                      << c.pinion_grade << " and " << c.wheel_grade);
    DialogDesign p(c.units);
    DesignData& d = *p.d;
    d.form_scale_multiplier = c.scale;
    d.iso_grade[0] = c.pinion_grade;
    d.iso_grade[1] = c.wheel_grade;
    TTolerancesform form(d);
    p.when_shown("Tolerancesform", [&](QDialog&) {
      const int heading[2] = {form.pinionheading->x(), form.wheelheading->x()};
      EXPECT_EQ(form.ISOgradepinedit->x(), heading[0]);
      EXPECT_EQ(form.ISOgradewheeledit->x(), heading[1]);
      EXPECT_LT(heading[0], heading[1]);
      EXPECT_LE(form.ISOgradewheeledit->geometry().right(), form.width());
      // The table's text as laid out, in the window's pixels.
      QTextDocument* doc = form.mainresults->document();
      const QPoint viewport = form.mainresults->viewport()->mapTo(&form, QPoint(0, 0));
      int rows = 0;
      for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++rows) {
        const QRectF box = doc->documentLayout()->blockBoundingRect(b);  // lays the line out
        const QTextLine line = b.layout()->lineAt(0);
        const QString text = b.text();
        std::vector<double> starts;
        for (int i = 1; i < text.size(); ++i)
          if (text[i - 1] == QChar('\t') && text[i] != QChar('\t'))
            starts.push_back(viewport.x() + box.x() + line.cursorToX(i));
        ASSERT_EQ(starts.size(), 2u) << text.toStdString();
        // The caption ends before the pinion's column.
        EXPECT_LT(viewport.x() + box.x() + line.cursorToX(int(text.indexOf('\t'))), heading[0]) << text.toStdString();
        for (int gear = 0; gear < 2; ++gear) EXPECT_NEAR(starts[gear], heading[gear], 1) << text.toStdString();
      }
      EXPECT_EQ(rows, 13);
    });
    p.scripted.show_modal(form);
  }
}

TEST(TolerancesForm, DefaultLimitsBySizeBands) {
  auto d = std::make_unique<DesignData>();
  struct Case {
    float tip, centre, reference;
    float tip_min, centre_max, band;
  };
  const Case cases[] = {
      {25.4f, 100, 10, 25.4f - 0.0762f, 100.15f, 0.015f},
      {25.5f, 200, 20, 25.5f - 0.127f, 200.2f, 0.02f},
      {300, 200.5f, 500, 300 - 0.127f, 200.75f, 0.03f},
  };
  for (const Case& c : cases) {
    d->tip_diameter[0] = c.tip;
    d->centre_distance = c.centre;
    d->reference_diameter[0] = c.reference;
    d->tip_chamfer[0] = 0.03f;
    d->edge_chamfer[0] = 0.1f;
    d->face_width[0] = 20;
    d->helix_angle = 0;
    d->thickness_nominal_transverse[0] = 10;
    d->thickness_finished_normal[0] = 3;
    set_default_tolerance_limits(*d);
    EXPECT_FLOAT_EQ(d->tol_tip_diameter_min[0], c.tip_min);
    EXPECT_EQ(d->tol_tip_diameter_max[0], c.tip);
    EXPECT_FLOAT_EQ(d->tol_centre_distance_max, c.centre_max);
    EXPECT_EQ(d->tol_centre_distance_min, c.centre);
    EXPECT_FLOAT_EQ(d->tol_normal_thickness_max[0], 3 + c.band);
    EXPECT_FLOAT_EQ(d->tol_normal_thickness_min[0], 3 - c.band);
    EXPECT_EQ(d->tol_tip_chamfer_min[0], 0);  // below zero
    EXPECT_EQ(d->tol_edge_chamfer_min[0], 0);
    EXPECT_FLOAT_EQ(d->tol_face_width_max_pinion, 20.25f);
  }
  // A band reaching above the nominal thickness moves down under it, its width kept.
  d->helix_angle = 20;
  d->reference_diameter[0] = 100;
  d->thickness_nominal_transverse[0] = 3.2f;
  d->thickness_finished_normal[0] = 3.0f;  // transverse 3.1925: + 0.02 / cos 20 exceeds 3.2
  set_default_tolerance_limits(*d);
  EXPECT_EQ(d->tol_transverse_thickness_max[0], 3.2f);
  EXPECT_NEAR(d->tol_transverse_thickness_min[0], 3.2 - 0.04 / std::cos(20 * M_PI / 180), 1e-6);
  EXPECT_NEAR(d->tol_normal_thickness_max[0], 3.2 * std::cos(20 * M_PI / 180), 1e-6);
}

TEST(TolerancesForm, HiddenLimitBoxesWithTheirWarningLines) {
  DialogDesign p;
  DesignData& d = *p.d;
  TTolerancesform form(d);
  const float da = d.tip_diameter[0], mn = d.normal_module, b1 = d.face_width[1], a = d.centre_distance;
  const float nominal = d.thickness_nominal_normal[1];
  struct Case {
    int box;  // TTolerancesform::limit_edit
    double entry;
    const char* warning;  // nullptr: none
    float stored;         // NaN: the value before stays
  };
  const float kept = NAN;
  const Case cases[] = {
      {0, da - 0.1, nullptr, float(da - 0.1)},
      {0, da - 0.5 * mn - 0.01, "Value is out of range\nMaximum tolerance must be greater than minimum\n ", kept},
      {2, da + 0.6 * mn, "Value is out of range\nMinimum tolerance must be less than maximum \n ", kept},
      {4, 0, nullptr, 0},
      {4, 0.3 * mn, "Value is out of range\n \n ", kept},
      {9, b1 * 1.03, "Value is out of range\n \n ", kept},
      {9, b1 * 1.01, nullptr, float(b1 * 1.01)},
      {12, -1, "Chamfer cannot be less than zero\nValue has been adjusted\n ", 0},
      {15, mn, "Chamfer cannot be greater than 0.25*Mn\nValue has been adjusted\n ", float(0.25L * mn)},
      {16, a * 1.02, "Minimum value of centre distance has been exceeded\n \n ", kept},
      {17, a * 0.995, nullptr, float(a * 0.995)},
      {19, nominal * 1.1, nullptr, kept},  // above the nominal thickness: its own message below
      {21, nominal * 0.8, "Value is out of range\n \n ", kept},
      {21, nominal * 0.9, nullptr, float(nominal * 0.9)},
  };
  p.when_shown("Tolerancesform", [&](QDialog&) {
    EXPECT_FALSE(form.Pintipdiaedit->isVisible());
    EXPECT_FALSE(form.Pintipdiaedit->isEnabled());  // the defaults are in force
    form.defaultcheckbox->setChecked(false);        // as the limits can only be typed without them
    EXPECT_TRUE(form.Pintipdiaedit->isEnabled());
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "box " << c.box << " entry " << c.entry);
      QLineEdit* box = form.limit_edit(c.box);
      field_enter(d, box);
      const float before = box->text().toFloat();
      const int warnings = int(p.warnings().size());
      box->setText(QString::number(c.entry, 'f', 6));
      form.limit_exit(c.box);
      if (c.box == 19) {
        ASSERT_EQ(p.warnings().size(), warnings + 1);
        EXPECT_EQ(p.warnings().back().toStdString(),
                  "Value must be less than nominal normal thickness " + format_length(d, float(nominal)) + "\n \n ");
        EXPECT_EQ(box->text().toFloat(), before);
        continue;
      }
      ASSERT_EQ(p.warnings().size(), warnings + (c.warning ? 1 : 0));
      if (c.warning) {
        EXPECT_EQ(p.warnings().back(), c.warning);
      }
      const float expected = std::isnan(c.stored) ? before : c.stored;
      EXPECT_NEAR(box->text().toFloat(), expected, 1e-3);
    }
    EXPECT_NEAR(d.tol_normal_thickness_min[1], nominal * 0.9, 1e-5);
    EXPECT_NEAR(d.tol_transverse_thickness_min[1], nominal * 0.9 / std::cos(d.helix_angle * M_PI / 180), 1e-5);
    // Shown transverse, the maximum is judged against the nominal transverse thickness and told so, with
    // the decimals of the fields: the nominal as shown is taken, a little more is refused.
    form.finthicknessComboBox->setCurrentIndex(1);
    form.finthicknessComboBoxChange();
    const float transverse = d.thickness_nominal_transverse[1];
    for (const double entry : {double(transverse) + 0.01, double(transverse)}) {
      SCOPED_TRACE(entry);
      QLineEdit* box = form.limit_edit(19);
      field_enter(d, box);
      const int warnings = int(p.warnings().size());
      box->setText(QString::number(entry, 'f', 6));
      form.limit_exit(19);
      if (entry > transverse) {
        ASSERT_EQ(p.warnings().size(), warnings + 1);
        EXPECT_EQ(p.warnings().back().toStdString(),
                  "Value must be less than nominal transverse thickness " + format_length(d, transverse) + "\n \n ");
      } else {
        EXPECT_EQ(p.warnings().size(), warnings);
        EXPECT_NEAR(d.tol_transverse_thickness_max[1], transverse, 1e-5);
      }
    }
    form.defaultcheckbox->setChecked(true);
  });
  p.scripted.show_modal(form);
}
