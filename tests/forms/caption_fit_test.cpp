// Captions fitted to their controls: a list is held to the choice it shows, fitted again as its choice
// changes, and takes its laid-out font back when the caption fits in it again; check boxes show their
// whole square.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
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

// A check box or radio button too low for the square of its indicator (or, without a caption, too
// narrow) draws a square it holds whole; one with room keeps the style's square, and takes it back when
// it has the room again.
TEST(CaptionFit, CheckBoxesShowTheirWholeSquare) {
  const int native = QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
  ASSERT_GT(native, 9);
  struct Case {
    bool radio;
    QString caption;
    QSize size;
    int square;  // the side of the square drawn
  };
  const Case cases[] = {
      {false, "", QSize(9, 9), 9},                  // as 17 x 17 at half scale
      {false, "", QSize(native + 4, native + 4), native},
      {false, "", QSize(6, native + 4), 6},         // too narrow, high enough
      {false, "(Input) ", QSize(200, 8), 8},        // a caption: only the height counts
      {true, "", QSize(7, 7), 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.radio ? "radio button " : "check box ") << c.size.width() << "x"
                                      << c.size.height() << " \"" << c.caption.toStdString() << "\"");
    QWidget window;
    QAbstractButton* box = c.radio ? static_cast<QAbstractButton*>(new QRadioButton(c.caption, &window))
                                   : new QCheckBox(c.caption, &window);
    box->setGeometry(QRect(QPoint(0, 0), c.size));
    forms::fit_captions(&window);
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect square = box->style()->subElementRect(
        c.radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, box);
    EXPECT_TRUE(box->rect().contains(square)) << square.width() << "x" << square.height();
    EXPECT_EQ(square.width(), c.square);
    EXPECT_EQ(square.height(), c.square);
  }
  // Made large enough again (a larger window size), the box draws the style's square again.
  QWidget window;
  auto* box = new QCheckBox(&window);
  box->setGeometry(0, 0, 9, 9);
  forms::fit_captions(&window);
  box->setGeometry(0, 0, native + 4, native + 4);
  forms::fit_captions(&window);
  EXPECT_TRUE(box->styleSheet().isEmpty());
}
