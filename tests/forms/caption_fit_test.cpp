// Captions fitted to their controls: a list is held to the choice it shows, fitted again as its choice
// changes, and takes its laid-out font back when the caption fits in it again.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QWidget>

#include "caption_fit.h"

using namespace morvell;

namespace {

int text_width(const QComboBox& list, const QString& text) { return list.fontMetrics().horizontalAdvance(text); }

}  // namespace

TEST(CaptionFit, ListsFollowTheChoiceTheyShow) {
  QWidget window;
  QFont laid_out = window.font();
  laid_out.setPointSizeF(12.0);
  auto* list = new QComboBox(&window);
  list->setFont(laid_out);
  list->addItems({"Normal", "Transverse"});
  auto* wide = new QComboBox(&window);
  wide->setFont(laid_out);
  wide->addItems({"Normal"});
  wide->setGeometry(0, 40, 400, 24);
  // Wide enough for the first choice at the laid-out font, too narrow for the second.
  list->resize(1000, 24);
  const int around = forms::caption_width(list) - text_width(*list, "Normal");
  list->setGeometry(0, 0, around + text_width(*list, "Normal") + 2, 24);
  ASSERT_LT(list->width(), around + text_width(*list, "Transverse"));

  forms::fit_captions(&window);
  EXPECT_EQ(list->font().pointSizeF(), 12.0);  // the shown choice fits: the font is untouched
  EXPECT_EQ(wide->font().pointSizeF(), 12.0);

  list->setCurrentIndex(1);
  EXPECT_LT(list->font().pointSizeF(), 12.0);
  EXPECT_GE(list->font().pointSizeF(), 6.0);
  EXPECT_LE(forms::caption_width(list), list->width());
  // The largest such font: a quarter point more no longer fits.
  QFont larger = list->font();
  larger.setPointSizeF(larger.pointSizeF() + 0.25);
  list->setFont(larger);
  EXPECT_GT(forms::caption_width(list), list->width());
  larger.setPointSizeF(larger.pointSizeF() - 0.25);
  list->setFont(larger);

  list->setCurrentIndex(0);
  EXPECT_EQ(list->font().pointSizeF(), 12.0);  // back to the laid-out font

  // A font the window sets anew (a new window size) is the one the next fit starts from.
  QFont smaller = laid_out;
  smaller.setPointSizeF(10.0);
  list->setFont(smaller);
  forms::fit_captions(&window);
  EXPECT_EQ(list->font().pointSizeF(), 10.0);
}

TEST(CaptionFit, ALabelThatNoFontFitsKeepsItsFont) {
  QWidget window;
  auto* label = new QLabel("A caption far too long for its label", &window);
  QFont laid_out = label->font();
  laid_out.setPointSizeF(10.0);
  label->setFont(laid_out);
  label->setGeometry(0, 0, 10, 20);
  forms::fit_captions(&window);
  EXPECT_EQ(label->font().pointSizeF(), 10.0);
}
