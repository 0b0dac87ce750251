// The main window's commands "Show SN Curves" and "Flash Temperature": each shows its window modally
// over the rated design and the main window refreshes after it closes.
#include <gtest/gtest.h>

#include <QAction>

#include <memory>

#include "design_data.h"
#include "flash_load_factor_form.h"
#include "flash_temp_form.h"
#include "main_window.h"
#include "program.h"
#include "scripted_modal_services.h"
#include "sn_curves_form.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

TEST(RatingChartCommands, MenuItemsShowTheirWindowsOverTheRatedDesign) {
  struct Program : morvell::testing::Program<> {
    morvell::testing::ProgramWindow<TSNCurvesform> sn{SNCurvesform, *d};
    morvell::testing::ProgramWindow<Tflashtempform> flash{flashtempform, *d};
    morvell::testing::ProgramWindow<Tflashloadform> load{flashloadform, *d};
  } p;
  const auto& d = p.d;
  auto& scripted = p.scripted;
  TMainForm& main = *p.main;
  TSNCurvesform& sn = *p.sn;
  d->rating_enabled = 1;
  main.RatingResults1Click();  // rates the pair and enables "Show SN Curves"
  EXPECT_TRUE(main.RateGears1->isEnabled());
  EXPECT_TRUE(main.FlashTemperature1->isEnabled());

  float maximum_shown = 0;
  scripted.modal_actions["flashtempform"].push_back([&](QDialog&) {
    maximum_shown = d->flash_temperature_max;
    return QDialog::Accepted;
  });
  main.FlashTemperature1->trigger();
  main.RateGears1->trigger();
  const auto shown = scripted.of(Kind::Modal);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "Flash Temperature");
  EXPECT_EQ(shown[1].caption, "ISO 6336 SN Fatigue Curves");
  EXPECT_NEAR(maximum_shown, 141.660, 0.01);  // the start-up design, rated by the refresh
  EXPECT_FALSE(sn.bitmap(0).isNull());
}
