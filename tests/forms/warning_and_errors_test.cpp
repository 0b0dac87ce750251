// The warning dialog and the message box of the core's domain errors.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <string>

#include "application.h"
#include "design_data.h"
#include "domain_error_box.h"
#include "edit_fields.h"
#include "numeric.h"
#include "scripted_modal_services.h"
#include "test_support.h"
#include "warning_dialog.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

TEST(WarningDialog, ShowsTheThreeLinesWithOk) {
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  auto d = std::make_unique<DesignData>();
  d->form_scale_multiplier = 1000;
  d->form_scale_divisor = 1000;
  Tgeomwarningform form(*d);
  geomwarningform = &form;
  bool ok_had_focus = false;
  scripted.modal_actions["geomwarningform"].push_back([&](QDialog& dialog) {
    ok_had_focus = dialog.focusWidget() == form.OKbutton;
    form.OKbutton->click();
    return int(QDialog::Rejected);
  });
  warn(*d, "Minimum value of module is 0.5 mm", "Value of module has been adjusted");
  geomwarningform = nullptr;
  ASSERT_EQ(scripted.of(Kind::Modal).size(), 1u);
  EXPECT_EQ(scripted.records[0].caption, "Warning!");
  EXPECT_EQ(form.warningmemo->toPlainText(),
            "Minimum value of module is 0.5 mm\nValue of module has been adjusted\n ");
  EXPECT_TRUE(ok_had_focus);
  EXPECT_EQ(form.result(), QDialog::Accepted);  // OK closed it
  // Shown again, the memo holds the new lines only.
  warn(*d, "Value is out of range", " ");
  EXPECT_EQ(scripted.records.back().text, "Value is out of range\n \n ");
}

TEST(WarningDialog, TakesTheWindowScaleWhenFirstShown) {
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  auto d = std::make_unique<DesignData>();
  d->form_scale_multiplier = 100;  // created while the scale is still the neutral one
  d->form_scale_divisor = 100;
  Tgeomwarningform form(*d);
  d->form_scale_multiplier = 1250.7f;  // then the main window computes it
  d->form_scale_divisor = 1000;
  form.show();
  EXPECT_EQ(form.size(), QSize(365, 143));           // 292 x 114 scaled by 1250 / 1000
  EXPECT_EQ(form.warningmemo->size(), QSize(345, 81));  // 276 x 65
  EXPECT_EQ(form.x(), (1280 - form.width()) / 2);     // centred on the screen
  form.hide();
  form.show();  // once only
  EXPECT_EQ(form.size(), QSize(365, 143));
}

// Every line of the warning is readable at once, from its start, at the smallest and the largest window
// scale: the longest warning of the program, the gear named in the middle of its line, and a line as long
// as the buffer holds, which wraps but still shows whole within the screen.
TEST(WarningDialog, ShowsEveryLineWholeFromItsStart) {
  const char* const longest = "The fillet radius of the pinion is too large for the rack without increasing the protuberance";
  const std::string full(127, 'W');
  struct Case {
    float scale;
    const char* lines[3];
  };
  for (const Case& c : {Case{800.484f, {longest, "Fillet radius has been adjusted", " "}},
                        Case{1250, {longest, "Fillet radius has been adjusted", " "}},
                        Case{800.484f, {"Minimum value of centre distance has been exceeded", full.c_str(), "x"}}}) {
    SCOPED_TRACE(::testing::Message() << c.scale << " " << c.lines[1]);
    forms::ScriptedModalServices scripted;
    forms::ScopedServices use(scripted);
    auto d = std::make_unique<DesignData>();
    d->form_scale_multiplier = c.scale;
    d->form_scale_divisor = 1000;
    Tgeomwarningform form(*d);
    geomwarningform = &form;
    scripted.modal_actions["geomwarningform"].push_back([&](QDialog&) {
      QPlainTextEdit* memo = form.warningmemo;
      const QRect view = memo->viewport()->rect();
      QTextCursor cursor(memo->document());
      for (int line = 0; line < 3; ++line) {
        cursor.setPosition(memo->document()->findBlockByNumber(line).position());
        const QRect start = memo->cursorRect(cursor);
        cursor.movePosition(QTextCursor::EndOfBlock);
        const QRect end = memo->cursorRect(cursor);
        EXPECT_TRUE(view.contains(start)) << line;
        EXPECT_TRUE(view.contains(end)) << line;
      }
      EXPECT_TRUE(form.rect().contains(form.OKbutton->geometry()));
      EXPECT_TRUE(form.screen()->availableGeometry().contains(form.frameGeometry()));
      EXPECT_FALSE(memo->geometry().intersects(form.OKbutton->geometry()));
      return int(QDialog::Accepted);
    });
    warn(*d, c.lines[0], c.lines[1], c.lines[2]);
    geomwarningform = nullptr;
    ASSERT_EQ(scripted.of(Kind::Modal).size(), 1u);
  }
}

TEST(DomainErrorBox, OncePerUserActionForTheSameText) {
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  auto previous = set_domain_error_reporter(DomainErrorBox());
  forms::begin_user_action();
  EXPECT_TRUE(std::isnan(checked_sqrt(-1)));
  checked_sqrt(-2);
  checked_acos(2);
  forms::begin_user_action();
  checked_sqrt(-1);
  set_domain_error_reporter(previous);
  EXPECT_EQ(scripted.texts(Kind::Message),
            (QStringList{"sqrt: DOMAIN error", "acos: DOMAIN error", "sqrt: DOMAIN error"}));
  EXPECT_EQ(scripted.records[0].caption, QCoreApplication::applicationName());  // the program's file name
  EXPECT_EQ(scripted.records[0].icon, forms::MessageIcon::Error);
}
