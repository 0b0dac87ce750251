// The flash-temperature dialog: what it shows after its show, entries held to their bounds (refused
// ones explained and restored), English units, the estimate boxes, the position and plot choices with
// the plot drawn into an image, and the load-sharing dialog it opens.
#include "flash_temp_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>

#include "chart_pixels.h"
#include "design_data.h"
#include "flash_load_factor_form.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "rated_design.h"
#include "rating.h"
#include "rating_report_rows.h"
#include "scripted_modal_services.h"
#include "test_support.h"

using namespace morvell;
using morvell::testing::near;
using morvell::testing::rated_start_up_design;
using morvell::testing::rgb;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

constexpr QRgb kBlack = 0x000000, kRed = 0xFF0000;

// The dialog shown as a window of its own, so that a test drives its fields.
struct FlashWindow {
  std::unique_ptr<DesignData> d;
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  std::unique_ptr<Tflashtempform> form;

  explicit FlashWindow(int unit_system = 1) : d(rated_start_up_design(unit_system)) {
    form = std::make_unique<Tflashtempform>(*d);
    form->show();
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  ~FlashWindow() { form->hide(); }

  // Types `text` into `edit` (its estimate box unchecked first when it has one) and leaves it.
  void enter(QLineEdit* edit, const QString& text, QCheckBox* box = nullptr) {
    if (box) box->setChecked(false);
    edit->setFocus(Qt::MouseFocusReason);
    edit->setText(text);
    (edit == form->Kedit ? form->mumedit : form->Kedit)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
  }
  int warnings() const { return int(scripted.of(Kind::Modal).size()); }

  // Picks an item of a list as the user does.
  void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
};

}  // namespace

TEST(FlashTemperatureDialog, ShowComputesAndShowsTheFirstPosition) {
  FlashWindow w;
  const DesignData& d = *w.d;
  EXPECT_EQ(w.form->windowTitle(), "Flash Temperature");
  EXPECT_EQ(d.flash_point_count, 64);
  EXPECT_EQ(d.flash_position, 0);
  EXPECT_EQ(w.form->positioncombo->count(), 64);
  EXPECT_EQ(w.form->positioncombo->itemText(0), "P1 Pinion SAP");
  EXPECT_EQ(w.form->positioncombo->itemText(1), "P2 ");
  EXPECT_EQ(w.form->positioncombo->itemText(2), "P3");
  EXPECT_EQ(w.form->positioncombo->itemText(63), "P64 Pinion EAP");
  EXPECT_EQ(w.form->plotcombo->currentText(), "Flash temperature");
  EXPECT_EQ(w.form->unitsBM->text(), " N/mm/K/s");
  EXPECT_EQ(w.form->unitswn->text(), "N/mm");
  EXPECT_EQ(w.form->unitsBH->text(), "mm");
  EXPECT_EQ(w.form->unitsvg->text(), "m/s");
  EXPECT_EQ(w.form->unitsthetaflmax->text(), "degrees C");

  // Every input estimated: read-only on the button face, the estimates shown (worked out by hand
  // for the start-up design in the core's tests).
  EXPECT_TRUE(w.form->Kedit->isReadOnly());
  EXPECT_TRUE(w.form->Button2->isVisibleTo(w.form.get()));
  EXPECT_EQ(w.form->Kedit->text(), "0.800");
  EXPECT_EQ(w.form->mumedit->text(), "0.180");
  EXPECT_EQ(w.form->BMedit->text(), "13.600");
  EXPECT_EQ(w.form->XGAMMAedit->text(), "0.333");
  EXPECT_EQ(w.form->wnedit->text(), "416.992");
  EXPECT_EQ(w.form->wnedit->toolTip(), " 416.99243");
  EXPECT_EQ(w.form->Vr1edit->text(), "1.869");
  EXPECT_EQ(w.form->Vr2edit->text(), "3.672");
  EXPECT_EQ(w.form->BHedit->text(), "0.095");
  EXPECT_EQ(w.form->thetafledit->text(), "82.851");
  EXPECT_EQ(w.form->thetaflmaxedit->text(), "141.660");
  EXPECT_EQ(w.form->gamma1edit->text(), "-0.965");
  EXPECT_EQ(w.form->Vgedit->text(), "1.803");
  EXPECT_EQ(w.warnings(), 0);
}

TEST(FlashTemperatureDialog, EntriesAreHeldToTheirBounds) {
  struct Case {
    const char* what;
    QLineEdit* Tflashtempform::*edit;
    QCheckBox* Tflashtempform::*box;
    const char* text;
    bool refused;
    float DesignData::*field;
    float stored;  // when accepted
  };
  const Case cases[] = {
      {"K = 0", &Tflashtempform::Kedit, &Tflashtempform::CheckBoxK, "0", true, &DesignData::flash_k_factor, 0},
      {"K = 2", &Tflashtempform::Kedit, &Tflashtempform::CheckBoxK, "2", false, &DesignData::flash_k_factor, 2},
      {"mu_m = 0.001", &Tflashtempform::mumedit, &Tflashtempform::CheckBoxmum, "0.001", true,
       &DesignData::flash_mean_friction, 0},
      {"mu_m = 0.5", &Tflashtempform::mumedit, &Tflashtempform::CheckBoxmum, "0.5", false,
       &DesignData::flash_mean_friction, 0.5f},
      {"B_M = 5", &Tflashtempform::BMedit, &Tflashtempform::CheckBoxBM, "5", true,
       &DesignData::flash_thermal_coefficient, 0},
      {"B_M = 20", &Tflashtempform::BMedit, &Tflashtempform::CheckBoxBM, "20", false,
       &DesignData::flash_thermal_coefficient, 20},
      {"X_Gamma = 0", &Tflashtempform::XGAMMAedit, &Tflashtempform::CheckBoxXGAMMA, "0", true,
       &DesignData::flash_load_sharing_input, 0},
      {"X_Gamma = 1.5", &Tflashtempform::XGAMMAedit, &Tflashtempform::CheckBoxXGAMMA, "1.5", false,
       &DesignData::flash_load_sharing_input, 1.5f},
      {"w_n = 0", &Tflashtempform::wnedit, &Tflashtempform::CheckBoxwn, "0", true, &DesignData::flash_unit_load, 0},
      {"w_n = 1e6", &Tflashtempform::wnedit, &Tflashtempform::CheckBoxwn, "1e6", false,
       &DesignData::flash_unit_load, 1e6f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FlashWindow w;
    QLineEdit* edit = (*w.form).*c.edit;
    QCheckBox* box = (*w.form).*c.box;
    box->setChecked(false);
    EXPECT_FALSE(edit->isReadOnly());
    const float before = (*w.d).*c.field;
    w.enter(edit, c.text);
    if (c.refused) {
      ASSERT_EQ(w.warnings(), 1);
      EXPECT_EQ(w.scripted.of(Kind::Modal)[0].text, "Value is out of range\n \n ");
      EXPECT_EQ((*w.d).*c.field, before);
      EXPECT_EQ(w.form->focusWidget(), edit);
    } else {
      EXPECT_EQ(w.warnings(), 0);
      EXPECT_EQ((*w.d).*c.field, c.stored);
    }
  }
}

TEST(FlashTemperatureDialog, AnEnteredLoadShareAppliesEverywhere) {
  FlashWindow w;
  w.choose(w.form->positioncombo, 20);
  w.enter(w.form->XGAMMAedit, "0.6", w.form->CheckBoxXGAMMA);
  EXPECT_FALSE(w.form->Button2->isVisibleTo(w.form.get()));
  for (int i = 0; i < kFlashPointCount; ++i) EXPECT_EQ(w.d->flash_load_sharing[i], 0.6f) << i;
  EXPECT_EQ(w.form->XGAMMAedit->text(), "0.600");
  // Turning the estimate back on estimates again.
  w.form->CheckBoxXGAMMA->setChecked(true);
  EXPECT_NEAR(w.d->flash_load_sharing[0], 1.0 / 3, 1e-6);
  EXPECT_EQ(w.form->XGAMMAedit->text(), "1.000");  // position P21 lies in single contact
}

TEST(FlashTemperatureDialog, EstimateTurnedOffStartsFromTheLastEstimate) {
  FlashWindow w;
  w.form->CheckBoxmum->setChecked(false);
  EXPECT_FALSE(w.form->mumedit->isReadOnly());
  EXPECT_EQ(w.form->mumedit->palette().color(QPalette::Base), QColor(255, 255, 255));
  EXPECT_EQ(w.form->mumedit->text(), "0.180");
  w.d->flank_roughness[0] = w.d->flank_roughness[1] = 0.1f;  // would estimate another friction
  w.form->Setflash_textboxes();
  EXPECT_NEAR(w.d->flash_mean_friction, 0.18, 1e-6);
  w.form->CheckBoxmum->setChecked(true);
  EXPECT_NEAR(w.d->flash_mean_friction, 0.06 * 1.13 / 1.03, 1e-6);
  EXPECT_EQ(w.form->mumedit->palette().color(QPalette::Base), QColor(240, 240, 240));
}

TEST(FlashTemperatureDialog, EnglishUnits) {
  FlashWindow w(2);
  EXPECT_EQ(w.form->unitsBM->text(), "lbf/inch/F/s");
  EXPECT_EQ(w.form->unitswn->text(), "lbf/inch");
  EXPECT_EQ(w.form->unitsBH->text(), "inch");
  EXPECT_EQ(w.form->unitsvr1->text(), "ft/sec");
  EXPECT_EQ(w.form->unitsthetafl->text(), "degrees F");
  // The estimate 13.6 N/(mm s^0.5 K) reads about 43.14 lbf/(inch s^0.5 F).
  EXPECT_EQ(w.form->BMedit->text(), "43.145");
  EXPECT_EQ(w.form->thetaflmaxedit->text(), "254.988");  // a rise of 141.660 degC, 9/5 of it
  EXPECT_EQ(w.form->wnedit->text(), "2381.207");         // 416.9924 N/mm x 25.4 / 4.448
  EXPECT_EQ(w.form->BHedit->text(), "0.0037");           // 0.0952 mm, one decimal more
  // 3.17246 in English units is about 1.0 N/(mm s^0.5 K): refused.
  w.enter(w.form->BMedit, "3.17246", w.form->CheckBoxBM);
  EXPECT_EQ(w.warnings(), 1);
  EXPECT_FLOAT_EQ(w.d->flash_thermal_coefficient, 13.6f);
  w.enter(w.form->BMedit, "40");
  EXPECT_NEAR(w.d->flash_thermal_coefficient, 40 * 4.448 / 25.4 * 1.8, 1e-5);
  w.enter(w.form->wnedit, "1000", w.form->CheckBoxwn);
  EXPECT_NEAR(w.d->flash_unit_load, 1000 * 4.448 / 25.4, 1e-3);
}

TEST(FlashTemperatureDialog, PlotKeepsThePositionAndMarksIt) {
  FlashWindow w;
  DesignData& d = *w.d;
  const QImage& plot = w.form->plot_bitmap();
  ASSERT_EQ(plot.size(), QSize(448, 399));
  // The frame at the layout's size: margins of 60 (left, top), 20 (right) and 40 (bottom), wider where the
  // texts beside the plot area need it (the y limits and the axis title on the left, half the EAP's
  // position on the right).
  EXPECT_GE(d.chart_left, 60);
  EXPECT_LT(d.chart_left, 80);
  EXPECT_EQ(d.chart_top, 60);
  EXPECT_LE(d.chart_right, 448 - 20);
  EXPECT_GT(d.chart_right, 448 - 40);
  EXPECT_EQ(d.chart_bottom, 399 - 40);
  EXPECT_EQ(d.chart_plus_x_origin, d.chart_left);
  EXPECT_EQ(d.chart_y_min, 0.0f);
  EXPECT_EQ(d.chart_y_max, d.flash_temperature_max);
  const auto px = [&](int i) { return (ld(i) - d.chart_plus_x_min) * ld(d.chart_plus_x_scale) + d.chart_left; };
  const auto py = [&](float v) { return (ld(v) - d.chart_y_min) * ld(d.chart_y_scale) + d.chart_bottom; };
  // The hottest position touches the top; the SAP's point is red.
  EXPECT_TRUE(near(plot, px(46), py(d.flash_temperature[46]), kBlack));
  EXPECT_NEAR(double(py(d.flash_temperature[46])), d.chart_top, 1e-3);
  EXPECT_EQ(rgb(plot, int(px(0)), int(py(d.flash_temperature[0]))), kRed);

  // Specific sliding: the range runs over both gears, the position stays and both points are red.
  w.choose(w.form->positioncombo, 10);
  w.choose(w.form->plotcombo, 3);
  EXPECT_EQ(d.flash_position, 10);
  EXPECT_EQ(w.form->positioncombo->currentIndex(), 10);
  float low = 1e9f, high = 0;
  for (int i = 0; i < 64; ++i)
    for (float v : {d.flash_specific_sliding_pinion[i], d.flash_specific_sliding_wheel[i]}) low = std::min(low, v), high = std::max(high, v);
  EXPECT_EQ(d.chart_y_min, low);
  EXPECT_EQ(d.chart_y_max, high);
  EXPECT_EQ(rgb(plot, int(px(10)), int(py(d.flash_specific_sliding_pinion[10]))), kRed);
  EXPECT_EQ(rgb(plot, int(px(10)), int(py(d.flash_specific_sliding_wheel[10]))), kRed);
  EXPECT_FALSE(near(plot, px(30), py(d.flash_specific_sliding_pinion[30]), kRed, 2));

  // P64: the EAP's values, the red point at the right end of the x axis.
  w.choose(w.form->plotcombo, 0);
  w.choose(w.form->positioncombo, 63);
  EXPECT_EQ(w.form->thetafledit->text(), "114.998");
  EXPECT_NEAR(double(px(63)), d.chart_right, 1);  // truncated through the scale held as a float
  EXPECT_EQ(rgb(plot, int(px(63)), int(py(d.flash_temperature[63]))), kRed);
  EXPECT_EQ(rgb(plot, d.chart_right, int(py(d.flash_temperature[63]))), kRed);

  // A new show starts again at P1 with the flash temperature.
  w.choose(w.form->plotcombo, 2);
  w.form->FormShow();
  EXPECT_EQ(d.flash_position, 0);
  EXPECT_EQ(w.form->plotcombo->currentIndex(), 0);
}

// A pair that is not rated (here its tip chamfers leave a transverse contact ratio below 1) has no load
// factors of its own: the dialog computes nothing, shows no number (none from the design rated before)
// and says that the rating did not run, as the rating reports do; rated again, it computes as before.
TEST(FlashTemperatureDialog, PairNotRatedShowsThatTheRatingDidNotRun) {
  FlashWindow w;
  DesignData& d = *w.d;
  Tflashtempform& f = *w.form;
  const QString rated_maximum = f.thetaflmaxedit->text();
  ASSERT_FALSE(rated_maximum.isEmpty());
  EXPECT_FALSE(f.ratingnotrun->isVisibleTo(&f));
  const float rated_temperature = d.flash_temperature_max;
  f.hide();

  d.tip_chamfer[0] = d.tip_chamfer[1] = 2.0f;
  calc_gear_geometry(d);
  ASSERT_LT(d.transverse_contact_ratio, 1.0f);
  ASSERT_EQ(d.rating_valid, 0);
  f.show();
  EXPECT_TRUE(f.ratingnotrun->isVisibleTo(&f));
  EXPECT_EQ(f.ratingnotrun->text(), "Rating not run \ncheck rating inputs and transverse contact ratio>1.0");
  for (QLineEdit* edit : {f.Kedit, f.mumedit, f.BMedit, f.XGAMMAedit, f.wnedit, f.BHedit, f.Vr1edit, f.Vr2edit,
                          f.thetafledit, f.thetaflmaxedit, f.gamma1edit, f.gamma2edit, f.Vgedit}) {
    EXPECT_EQ(edit->text(), "") << edit->objectName().toStdString();
    EXPECT_EQ(edit->toolTip(), "") << edit->objectName().toStdString();
  }
  for (QWidget* control : std::initializer_list<QWidget*>{f.Kedit, f.wnedit, f.CheckBoxK, f.CheckBoxwn, f.Button2,
                                                          f.plotcombo, f.positioncombo})
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  EXPECT_EQ(d.flash_temperature_max, rated_temperature) << "nothing computed";
  const QImage& plot = f.plot_bitmap();
  ASSERT_FALSE(plot.isNull());
  for (int y = 0; y < plot.height(); y += 7)
    for (int x = 0; x < plot.width(); x += 7) ASSERT_EQ(rgb(plot, x, y), 0xFFFFFFu) << x << ", " << y;
  EXPECT_EQ(w.warnings(), 0);
  f.hide();

  d.tip_chamfer[0] = d.tip_chamfer[1] = 0.0f;
  calc_gear_geometry(d);
  ASSERT_EQ(d.rating_valid, 1);
  f.show();
  EXPECT_FALSE(f.ratingnotrun->isVisibleTo(&f));
  EXPECT_EQ(f.thetaflmaxedit->text(), rated_maximum);
  EXPECT_TRUE(f.Kedit->isEnabled());
  EXPECT_TRUE(f.positioncombo->isEnabled());
}

// The flash temperature rests on the rating's dynamic factor: the dialog says, where the rating reports
// say it, when that factor lies outside the range of its method, and says nothing within it.
TEST(FlashTemperatureDialog, SaysWhenTheDynamicFactorIsBeyondItsMethodsRange) {
  FlashWindow w;
  DesignData& d = *w.d;
  Tflashtempform& f = *w.form;
  EXPECT_FALSE(f.dynamicfactorrange->isVisibleTo(&f));
  f.hide();
  d.speed = 25000;
  rate_design(d);
  ASSERT_TRUE(dynamic_factor_outside_its_range(d));
  f.show();
  EXPECT_TRUE(f.dynamicfactorrange->isVisibleTo(&f));
  EXPECT_FALSE(f.ratingnotrun->isVisibleTo(&f));
  EXPECT_EQ(f.dynamicfactorrange->text().toStdString(), dynamic_factor_range_notice(d));
  EXPECT_TRUE(f.dynamicfactorrange->text().startsWith("Dynamic Factor KV "));
  EXPECT_TRUE(f.dynamicfactorrange->text().contains(" outside its method's range"));
  f.hide();
}

TEST(FlashTemperatureDialog, PlotOfNothingButZerosStillDraws) {
  auto d = rated_start_up_design(1);
  d->flash_point_count = 64;
  QImage image(448, 399, QImage::Format_RGB32);
  for (int item = 0; item < kFlashPlotItems; ++item) draw_flash_plot(image, *d, item);  // all zeros
  EXPECT_EQ(d->chart_y_min, 0.0f);
  EXPECT_EQ(d->chart_y_max, 2.0f);
  draw_flash_plot(image, *d, 0);
  EXPECT_GT(d->chart_y_max, d->chart_y_min);
  EXPECT_EQ(rgb(image, d->chart_left, 200), kBlack);
  EXPECT_EQ(rgb(image, int(d->chart_left + d->chart_plus_x_scale * 63), d->chart_bottom), kBlack);
}

TEST(FlashTemperatureDialog, LoadSharingCaseDialog) {
  FlashWindow w;
  w.scripted.modal_actions["flashloadform"].push_back([](QDialog& dialog) {
    auto& f = static_cast<Tflashloadform&>(dialog);
    EXPECT_EQ(f.windowTitle(), "Load Sharing Factor For Flash Temperature Calculation");
    EXPECT_EQ(f.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(f.ComboBox1->itemText(3), "Optimum profile modification");
    f.ComboBox1->setCurrentIndex(3);
    emit f.ComboBox1->activated(3);
    return QDialog::Accepted;
  });
  QTest::mouseClick(w.form->Button2, Qt::LeftButton);
  EXPECT_EQ(w.d->flash_load_sharing_case, 3);
  EXPECT_EQ(w.form->XGAMMAedit->text(), "0.000");  // optimum modification: 0 at the SAP
  // The choice persists: the dialog opens on it again.
  w.scripted.modal_actions["flashloadform"].push_back([](QDialog& dialog) {
    EXPECT_EQ(static_cast<Tflashloadform&>(dialog).ComboBox1->currentIndex(), 3);
    return QDialog::Accepted;
  });
  QTest::mouseClick(w.form->Button2, Qt::LeftButton);
  EXPECT_EQ(w.d->flash_load_sharing_case, 3);
}

TEST(FlashTemperatureDialog, ClosingStoresThePendingEntry) {
  FlashWindow w;
  w.form->CheckBoxK->setChecked(false);
  w.form->Kedit->setFocus(Qt::MouseFocusReason);
  w.form->Kedit->setText("1.5");
  QTest::mouseClick(w.form->Button1, Qt::LeftButton);
  EXPECT_EQ(w.d->flash_k_factor, 1.5f);
  EXPECT_FALSE(w.form->isVisible());
}
