// The face-width offset dialog: the bounds of 0.99 of the common face width, English units, Cancel.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialog_test_support.h"
#include "face_offset_form.h"

using namespace morvell;
using namespace morvell::testing;

TEST(FaceOffsetForm, OffsetWithinTheCommonFaceWidthEitherWay) {
  DialogDesign p;
  Tfaceoffsetform form(*p.d);
  struct Case {
    float width;
    const char* text;
    bool accepted;
  };
  const Case cases[] = {{20, "19.8", true},  {20, "-19.8", true}, {20, "19.81", false}, {20, "-19.81", false},
                        {20, "0", true},     {0, "0", true},      {0, "0.01", false},   {-3, "0", true}};
  p.when_shown("faceoffsetform", [&](QDialog&) {
    EXPECT_EQ(form.unitlabel->text(), "mm");
    for (const Case& c : cases) {
      p.d->active_face_width = c.width;  // as the last geometry pass left it
      p.d->face_width_offset = 1.5f;
      const int warnings = int(p.warnings().size());
      type_into(form.faceoffsetedit, c.text, form.OKButton);
      EXPECT_EQ(p.d->face_width_offset, c.accepted ? std::strtof(c.text, nullptr) : 1.5f) << c.text;
      ASSERT_EQ(p.warnings().size(), warnings + (c.accepted ? 0 : 1)) << c.text;
      if (!c.accepted) {
        EXPECT_EQ(p.warnings().back(), "Value is out of range\n \n ");
        EXPECT_EQ(form.focusWidget(), form.faceoffsetedit);
        EXPECT_EQ(form.faceoffsetedit->text(), "1.500");
      }
    }
  });
  p.scripted.show_modal(form);
}

TEST(FaceOffsetForm, EnglishEntryStoredInMillimetresAndCancelRestores) {
  DialogDesign p(2);
  p.d->active_face_width = 20;
  p.d->face_width_offset = 2.54f;
  Tfaceoffsetform form(*p.d);
  p.when_shown("faceoffsetform", [&](QDialog&) {
    EXPECT_EQ(form.unitlabel->text(), "inch");
    EXPECT_EQ(form.faceoffsetedit->text(), "0.1000");
    EXPECT_EQ(form.faceoffsetedit->toolTip(), "   0.10000");
    type_into(form.faceoffsetedit, "0.5", form.OKButton);
    EXPECT_FLOAT_EQ(p.d->face_width_offset, 12.7f);
    type_into(form.faceoffsetedit, "0.78", form.OKButton);  // 19.812 mm
    EXPECT_FLOAT_EQ(p.d->face_width_offset, 12.7f);
    type_into(form.faceoffsetedit, "-0.7", form.OKButton);
    EXPECT_FLOAT_EQ(p.d->face_width_offset, -17.78f);
    form.CancelButton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.d->face_width_offset, 2.54f);
  EXPECT_EQ(form.faceoffsetedit->text(), "0.1000");
  EXPECT_EQ(p.warnings().size(), 1);

  p.when_shown("faceoffsetform", [&](QDialog&) {
    type_into(form.faceoffsetedit, "0.25", form.OKButton);
    form.OKButton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_FLOAT_EQ(p.d->face_width_offset, 6.35f);
}
