// The refresh of a shown design: a refresh of an unchanged design changes nothing, whatever the
// geometry manager, the backlash split or the rack just chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "design_data.h"
#include "design_refresh.h"
#include "geometry_warnings.h"
#include "shipped_design.h"
#include "shown_figures.h"

using namespace morvell;

namespace {

std::unique_ptr<DesignData> rated_shipped_design() {
  auto d = shipped_design();
  d->rating_enabled = 1;
  return d;
}

}  // namespace

// With the centre distance fixed the module follows it, and the zero-backlash centre distance of the
// nominal teeth then differs from the fixed one by the rounding of the module: a gear that takes none of
// the backlash (split 0 or 1) would have to be thickened by half that excess. It stays nominal and the
// other gear gives up the rest, so the pair keeps the entered backlash: fifty refreshes leave 0.3 mm at
// 0.3 mm and the teeth as the first refresh left them.
TEST(DesignRefresh, NormalBacklashStaysAsEnteredWhateverItsSplit) {
  for (const int mode : {0, 1}) {
    for (const float split : {0.0f, 0.25f, 0.5f, 1.0f}) {
      SCOPED_TRACE(::testing::Message() << "mode " << mode << ", split " << split);
      auto d = rated_shipped_design();
      d->geometry_manager_mode = mode;
      d->backlash_distribution = split;
      d->backlash_normal = 0.3f;
      refresh_design(*d);
      EXPECT_NEAR(d->backlash_normal, 0.3, 1e-6);
      const auto first = std::make_unique<DesignData>(*d);
      for (int k = 0; k < 50; ++k) refresh_design(*d);
      EXPECT_TRUE(morvell::testing::same_figures(*d, *first));
      // The gear that takes no share keeps its nominal thickness.
      if (split == 0.0f || split == 1.0f) {
        const int nominal = split == 0.0f ? 0 : 1;
        EXPECT_EQ(d->thickness_finished_transverse[nominal], d->thickness_nominal_transverse[nominal]);
        EXPECT_LT(d->thickness_finished_transverse[1 - nominal], d->thickness_nominal_transverse[1 - nominal]);
      }
    }
  }
}

// A standard rack of another pressure angle is judged with its own angle in the refresh that takes it:
// a 30 degree rack with long addenda points both tips, and that very refresh finds and lowers them (the
// checks ran on the teeth of the old angle before, and only the next refresh found the pointed tips). A
// second refresh, which takes the rack's tips again, finds the same and ends with the same design.
TEST(DesignRefresh, ARackOfAnotherPressureAngleIsCheckedInTheRefreshThatTakesIt) {
  for (const int mode : {0, 1}) {
    SCOPED_TRACE(::testing::Message() << "mode " << mode);
    auto d = rated_shipped_design();
    d->geometry_manager_mode = mode;
    d->tooth_proportion_mode = 1;
    d->allow_tip_diameter_reduction = 0;
    BasicRack& rack = d->basic_rack;
    rack.pressure_angle = 30;
    for (int i = 0; i < 2; ++i) {
      rack.addendum_coeff[i] = 1.6f;
      rack.dedendum_coeff[i] = 1.9f;
      rack.fillet_radius_coeff[i] = 0.25f;
    }
    std::vector<std::pair<GeometryWarning, int>> found;
    auto record = [&](GeometryWarning kind, int gear) { found.emplace_back(kind, gear); };
    refresh_design(*d, record);
    for (int i = 0; i < 2; ++i) {
      EXPECT_NE(std::find(found.begin(), found.end(), std::pair{GeometryWarning::zero_tip_width, i}), found.end())
          << "gear " << i;
      EXPECT_GE(d->tip_thickness_normal[i], 0.0f) << "gear " << i;
    }
    const auto first = std::make_unique<DesignData>(*d);
    found.clear();
    refresh_design(*d, record);
    EXPECT_EQ(std::count(found.begin(), found.end(), std::pair{GeometryWarning::zero_tip_width, 0}), 1);
    EXPECT_EQ(std::count(found.begin(), found.end(), std::pair{GeometryWarning::zero_tip_width, 1}), 1);
    EXPECT_TRUE(morvell::testing::same_figures(*d, *first));
  }
}
