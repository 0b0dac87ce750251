// The dialog is Chinese or Japanese: what running needs (scripts/setup.sh without --tests, which
// ./run.sh installs) must bring a font that has a glyph for every character the dialog shows, or a
// fresh machine draws its labels, buttons and messages as empty boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRawFont>
#include <QSet>
#include <QStringList>

#include "gear_dialog.h"
#include "test_support.h"

namespace tandrel {
namespace {

// The output of a command, split into lines; fails the test when the command fails.
QStringList lines_of(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << " " << arguments.join(' ').toStdString();
  return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// Every character beyond ASCII that the dialog shows in the given language: its title, captions,
// group titles, and the messages of its own.
QSet<char32_t> shown_characters(GearDialog::Language language) {
  GearDialog dialog(language);
  QStringList texts{dialog.windowTitle(), QString::fromStdU16String(PressureAngleOutOfRangeMessage()),
                    QString::fromStdU16String(GearSizeOutOfRangeMessage()),
                    QString::fromStdU16String(HelpWithoutViewerMessage(u"/"))};
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text() << label->toolTip();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text() << button->toolTip();
    if (auto* group = qobject_cast<QGroupBox*>(w)) texts << group->title();
  }
  QSet<char32_t> characters;
  for (const QString& text : texts)
    for (const char32_t c : text.toUcs4())
      if (c > 0x7e) characters.insert(c);
  return characters;
}

using DialogFontTest = test::AddinTest;

TEST_F(DialogFontTest, WhatRunningNeedsBringsAFontForEveryCharacterOfTheDialog) {
  const QStringList packages =
      lines_of("bash", {QStringLiteral(PROJECT_SOURCE_DIR "/scripts/setup.sh"), QStringLiteral("--list")});
  ASSERT_FALSE(packages.isEmpty());
  EXPECT_TRUE(packages.contains("xdg-utils")) << "Help asks the desktop to open its text with xdg-open";
  QStringList fonts;
  for (const QString& package : packages)
    for (const QString& file : lines_of("dpkg-query", {"-L", package}))
      if (file.endsWith(".ttf") || file.endsWith(".ttc") || file.endsWith(".otf")) fonts << file;
  ASSERT_FALSE(fonts.isEmpty()) << "no font among what running needs";
  for (const auto language : {GearDialog::Language::Chinese, GearDialog::Language::Japanese}) {
    const char* name = language == GearDialog::Language::Chinese ? "Chinese" : "Japanese";
    const QSet<char32_t> characters = shown_characters(language);
    ASSERT_GT(characters.size(), 20) << name;  // the dialog's texts were found
    bool covered = false;
    for (const QString& file : fonts) {
      const QRawFont font(file, 12);
      if (!font.isValid()) continue;
      bool all = true;
      for (const char32_t c : characters) all = all && font.supportsCharacter(uint(c));
      covered = covered || all;
    }
    EXPECT_TRUE(covered) << name << ": no font of " << fonts.join(", ").toStdString() << " has every character";
  }
}

}  // namespace
}  // namespace tandrel
