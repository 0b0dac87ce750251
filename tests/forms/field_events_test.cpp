// Enter/exit, change, click and choice semantics of the form layer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include "field_events.h"
#include "test_support.h"
#include "modal_services.h"
#include "scripted_modal_services.h"

using namespace morvell::forms;

namespace {

void activate(QWidget* window) {
  window->activateWindow();
  QApplication::setActiveWindow(window);
  EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

struct Window {
  QWidget widget;
  QLineEdit* a;
  QLineEdit* b;
  QLineEdit* c;
  QStringList log;

  Window() {
    auto* layout = new QVBoxLayout(&widget);
    a = new QLineEdit(&widget);
    b = new QLineEdit(&widget);
    c = new QLineEdit(&widget);
    layout->addWidget(a);
    layout->addWidget(b);
    layout->addWidget(c);
    for (auto [edit, name] : {std::pair{a, "a"}, {b, "b"}, {c, "c"}}) {
      QString n = name;
      on_enter(edit, [this, n] { log << "enter " + n; });
      on_exit(edit, [this, n] { log << "exit " + n; });
    }
    widget.show();
    activate(&widget);
    a->setFocus(Qt::OtherFocusReason);
    log.clear();
  }
};

}  // namespace

TEST(FieldEvents, FocusMovesWithinTheWindowExitAndEnter) {
  Window w;
  w.b->setFocus(Qt::TabFocusReason);
  w.c->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(w.log, (QStringList{"exit a", "enter b", "exit b", "enter c"}));
  EXPECT_EQ(active_control(&w.widget), w.c);
}

TEST(FieldEvents, FocusLostToAnotherWindowIsNoExit) {
  Window w;
  QWidget other;
  auto* edit = new QLineEdit(&other);
  other.show();
  activate(&other);
  edit->setFocus(Qt::OtherFocusReason);
  activate(&w.widget);
  EXPECT_TRUE(w.log.isEmpty()) << w.log.join(", ").toStdString();
  EXPECT_EQ(active_control(&w.widget), w.a);
  w.b->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(w.log, (QStringList{"exit a", "enter b"}));
}

// A modal warning opened while a field is left, as the numeric fields do when they refuse a value.
TEST(FieldEvents, ModalDialogDuringAnExitNeverExitsOrEntersAnotherField) {
  ScriptedModalServices scripted;
  ScopedServices use(scripted);
  for (bool give_focus_back : {true, false}) {
    SCOPED_TRACE(give_focus_back);
    scripted.clear();
    Window w;
    QDialog warning(&w.widget);
    warning.setObjectName("warning");
    new QPushButton("OK", &warning);
    on_exit(w.a, [&] {
      w.log << "exit a";
      services().show_modal(warning);
      if (give_focus_back) w.a->setFocus(Qt::OtherFocusReason);
    });
    on_exit(w.b, [&] { w.log << "exit b"; });
    w.b->setFocus(Qt::TabFocusReason);
    activate(&w.widget);
    ASSERT_EQ(scripted.of(ScriptedModalServices::Kind::Modal).size(), 1u);
    if (give_focus_back) {
      EXPECT_EQ(w.log, QStringList{"exit a"});
      EXPECT_EQ(active_control(&w.widget), w.a);
    } else {
      EXPECT_EQ(w.log, (QStringList{"exit a", "enter b"}));
      EXPECT_EQ(active_control(&w.widget), w.b);
    }
    // The next move within the window is an ordinary exit of the active field.
    w.log.clear();
    w.c->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.log.value(0), give_focus_back ? "exit a" : "exit b");
  }
}

TEST(FieldEvents, CodeRaisesChangeAndClickButNotChoice) {
  QWidget window;
  auto* edit = new QLineEdit(&window);
  auto* box = new QCheckBox(&window);
  auto* combo = new QComboBox(&window);
  combo->addItems({"Normal", "Transverse"});
  auto* list = new QListWidget(&window);
  list->addItems({"load1", "load2"});
  QStringList log;
  on_change(edit, [&] { log << "change"; });
  on_click(box, [&] { log << "click"; });
  on_choice(combo, [&] { log << "combo"; });
  on_choice(list, [&] { log << "list"; });
  edit->setText("12");
  edit->setText("12");  // the same text: no change
  box->setChecked(true);
  box->setChecked(true);  // the same state: no click
  combo->setCurrentIndex(1);
  list->setCurrentRow(1);
  EXPECT_EQ(log, (QStringList{"change", "click"}));
  emit combo->activated(0);  // the user's choice
  EXPECT_EQ(log.last(), "combo");
}

TEST(FieldEvents, BoxesSetFromCodeClickUnlessSetQuietly) {
  QWidget window;
  auto* box = new QCheckBox(&window);
  auto* first = new QRadioButton(&window);  // one exclusive group: the buttons of one parent
  auto* second = new QRadioButton(&window);
  QStringList log;
  on_click(box, [&] { log << "box"; });
  on_click(first, [&] { log << "first"; });
  on_click(second, [&] { log << "second"; });
  set_checked(box, true);
  set_checked(box, true);  // the state it has: nothing
  set_checked(first, true);
  set_checked(second, true);  // unchecks the first: no click of the first
  EXPECT_EQ(log, (QStringList{"box", "first", "second"}));
  EXPECT_FALSE(first->isChecked());
  log.clear();
  set_checked_quietly(box, false);
  set_checked_quietly(first, true);
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(first->isChecked());
  EXPECT_FALSE(second->isChecked());
  EXPECT_TRUE(log.isEmpty());
}
