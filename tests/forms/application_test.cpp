// The application guard: an exception escaping a handler is shown and the program goes on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "application.h"
#include "field_events.h"
#include "scripted_modal_services.h"

using namespace morvell::forms;

TEST(Application, ExceptionInAHandlerIsShownAndTheLoopGoesOn) {
  ScriptedModalServices s;
  ScopedServices use(s);
  QGuiApplication::setApplicationDisplayName("Morvell");
  QPushButton button("Go");
  int clicks = 0;
  on_click(&button, [&] {
    if (++clicks == 1) throw std::runtime_error("Invalid floating point operation");
  });
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(s.records.size(), 1u);
  EXPECT_EQ(s.records[0].caption, "Morvell");
  EXPECT_EQ(s.records[0].text, "Invalid floating point operation");
  EXPECT_EQ(s.records[0].icon, MessageIcon::Error);
}

TEST(Application, NumericLocaleIsCAndInputStartsUserActions) {
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1.5");
  EXPECT_EQ(std::strtod("2.5", nullptr), 2.5);
  QPushButton button("Go");
  button.show();
  const uint64_t before = user_action_number();
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_GT(user_action_number(), before);
}
