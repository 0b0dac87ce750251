// The edit-field idiom in a window of two fields: cleaning while typing, a refused value explained in
// the warning dialog and restored, and a warning shown while a field is left.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

#include "design_data.h"
#include "edit_fields.h"
#include "field_events.h"
#include "scripted_modal_services.h"
#include "test_support.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

// A window with a length field (0 to 100 mm, a refused value is restored) and a second field that only
// stores, each ending its exit with the window's refresh.
struct FieldWindow {
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  QWidget widget;
  QLineEdit* length;
  QLineEdit* other;
  float length_value = 50;
  float other_value = 7;
  int refreshes = 0;
  int other_stores = 0;

  FieldWindow() {
    d->decimals = 3;
    d->unit_system = 1;
    d->length_unit_factor = 1;
    auto* layout = new QVBoxLayout(&widget);
    length = new QLineEdit(&widget);
    other = new QLineEdit(&widget);
    layout->addWidget(length);
    layout->addWidget(other);
    bind_numeric_field(*d, length);
    bind_numeric_field(*d, other);
    forms::on_exit(length, [this] {
      const FieldValue v = read_field(*d, length);
      if (v.changed) {
        d->edit_old_value = length_value;
        length_value = float(v.value * d->length_unit_factor);
        if (length_value < 0 || length_value > 100) {
          warn_field(*d, length, "Value is out of range", " ");
          length_value = d->edit_old_value;
        }
      }
      finish_field_exit(*d, [this] { refresh(); });
    });
    forms::on_exit(other, [this] {
      const FieldValue v = read_field(*d, other);
      if (v.changed) {
        other_value = float(v.value);
        ++other_stores;
      }
      finish_field_exit(*d, [this] { refresh(); });
    });
    refresh();
    widget.show();
    widget.activateWindow();
    QApplication::setActiveWindow(&widget);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
    length->setFocus(Qt::OtherFocusReason);
    refreshes = 0;
  }

  void refresh() {
    ++refreshes;
    length->setText(QString::fromStdString(format_length(*d, length_value)));
    other->setText(QString::fromStdString("   " + format_value(*d, other_value)));  // cleaned by its change event
  }
};

}  // namespace

TEST(EditIdiom, TypingKeepsTheTextCleanAndTheCaretInPlace) {
  FieldWindow w;
  EXPECT_EQ(w.other->text(), "7.000");  // the leading blanks written by the refresh are gone
  w.length->setText("123");
  w.length->setCursorPosition(1);
  QTest::keyClicks(w.length, "x");
  EXPECT_EQ(w.length->text(), "123");
  EXPECT_EQ(w.length->cursorPosition(), 1);
  QTest::keyClicks(w.length, "4a");
  EXPECT_EQ(w.length->text(), "1423");
  EXPECT_EQ(w.length->cursorPosition(), 2);
  EXPECT_EQ(w.d->edit_changed, 1);
}

TEST(EditIdiom, LeavingUnchangedStoresNothingButRefreshes) {
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  FieldWindow w;
  EXPECT_EQ(w.d->edit_changed, 0);  // entered with its text
  w.other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(w.refreshes, 1);
  EXPECT_EQ(w.length_value, 50.0f);
  EXPECT_TRUE(scripted.records.empty());
}

TEST(EditIdiom, RefusedValueIsExplainedRestoredAndKeepsTheFocus) {
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  FieldWindow w;
  w.length->setText("150");
  EXPECT_EQ(w.d->edit_changed, 1);
  w.other->setFocus(Qt::TabFocusReason);  // leave the field for the other one
  QApplication::processEvents();

  const auto shown = scripted.of(Kind::Modal);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "Warning!");
  EXPECT_EQ(shown[0].text, "Value is out of range\n \n ");
  EXPECT_STREQ(w.d->warning_lines[0], "Value is out of range");
  EXPECT_STREQ(w.d->warning_lines[1], " ");
  EXPECT_STREQ(w.d->warning_lines[2], " ");
  EXPECT_EQ(w.length_value, 50.0f);
  EXPECT_EQ(w.length->text(), "50.000");
  EXPECT_EQ(w.refreshes, 1);
  EXPECT_EQ(forms::active_control(&w.widget), w.length);
  EXPECT_EQ(w.widget.focusWidget(), w.length);

  // A value at the limit is taken.
  w.length->setText("100");
  w.other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(w.length_value, 100.0f);
  EXPECT_EQ(scripted.of(Kind::Modal).size(), 1u);
}

// The refresh after a refused value rewrites the other field, which marks the shared state changed; the
// warning dialog takes the focus from the window and gives it back. The other field must not store.
TEST(EditIdiom, WarningWhileLeavingAFieldMakesNoOtherFieldStore) {
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  FieldWindow w;
  w.length->setText("-5");
  w.other->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(scripted.of(Kind::Modal).size(), 1u);
  EXPECT_EQ(w.other_stores, 0);
  EXPECT_EQ(w.other_value, 7.0f);
  // The user then really goes to the other field, changes nothing and leaves it again.
  w.other->setFocus(Qt::MouseFocusReason);
  w.length->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(w.other_stores, 0);
  // And changing it there is stored.
  w.other->setFocus(Qt::MouseFocusReason);
  w.other->setText("8");
  w.length->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(w.other_stores, 1);
  EXPECT_EQ(w.other_value, 8.0f);
}
