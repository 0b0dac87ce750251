// The scripted services: every interaction recorded, answers from the script, windows really modal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPrinter>

#include "modal_services.h"
#include "scripted_modal_services.h"

using namespace morvell::forms;
using Kind = ScriptedModalServices::Kind;

TEST(ScriptedServices, AnswersFromTheScriptAndDefaults) {
  ScriptedModalServices s;
  ScopedServices use(s);
  services().message(nullptr, "Morvell", "Report sent", MessageIcon::Information);
  s.question_answers.push_back(QMessageBox::Yes);
  EXPECT_EQ(services().question(nullptr, "c", "q1", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes),
            QMessageBox::Yes);
  EXPECT_EQ(services().question(nullptr, "c", "q2", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes),
            QMessageBox::No);
  s.save_answers.push_back({true, "gear.mvl"});
  FileDialogSettings settings;
  settings.initial_name = "old.mvl";
  EXPECT_EQ(services().save_file(nullptr, settings).name, "gear.mvl");
  const FileDialogResult cancelled = services().save_file(nullptr, settings);
  EXPECT_FALSE(cancelled.accepted);
  EXPECT_EQ(cancelled.name, "old.mvl");  // a cancelled dialog returns the name it held
  s.print_answers.push_back(false);
  QPrinter printer;
  EXPECT_FALSE(services().print_setup(nullptr, printer));
  ASSERT_EQ(s.records.size(), 6u);
  EXPECT_EQ(s.records[0].kind, Kind::Message);
  EXPECT_EQ(s.records[0].text, "Report sent");
  EXPECT_EQ(s.texts(Kind::Question), (QStringList{"q1", "q2"}));
}

TEST(ScriptedServices, ModalWindowRunsItsActionWhileShownAndModal) {
  ScriptedModalServices s;
  ScopedServices use(s);
  QDialog outer;
  outer.setObjectName("outer");
  outer.setWindowTitle("Outer");
  auto* label = new QLabel("first line", &outer);
  QDialog inner(&outer);
  inner.setObjectName("inner");
  bool was_modal = false;
  s.modal_actions["outer"].push_back([&](QDialog& d) {
    was_modal = d.isVisible() && QApplication::activeModalWidget() == &d;
    label->setText("changed");
    services().show_modal(inner);  // a window opened from a modal window
    return int(QDialog::Rejected);
  });
  EXPECT_EQ(services().show_modal(outer), QDialog::Rejected);
  EXPECT_TRUE(was_modal);
  EXPECT_FALSE(outer.isVisible());
  ASSERT_EQ(s.of(Kind::Modal).size(), 2u);
  EXPECT_EQ(s.records[0].caption, "Outer");
  EXPECT_EQ(s.records[0].text, "first line");  // taken when the window was shown
  // Without an action the window is closed with Accepted.
  EXPECT_EQ(services().show_modal(inner), QDialog::Accepted);
}

TEST(ScriptedServices, FilterFromTextPatternPairs) {
  EXPECT_EQ(filter_from_pairs("Morvell files (*.mvl)|*.mvl|All files (*.*)|*.*"),
            "Morvell files (*.mvl);;All files (*.*)");
}
