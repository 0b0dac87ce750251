// The body of a test program of windows: Qt's offscreen platform with one screen of the given size, in a
// fresh temporary directory below the one the test runner gives, since the program writes its files
// relative to the current directory and the runner starts test programs side by side.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "application.h"

// `args` are the program's arguments after gtest has taken its own.
inline int run_tests_on_offscreen_screen(std::vector<std::string> args, QSize screen) {
  const QString start = QDir::currentPath();
  QTemporaryDir work(start + "/run-XXXXXX");
  if (!work.isValid() || !QDir::setCurrent(work.path())) return 1;
  const char* config = "offscreen_screen.json";
  QFile file(config);
  if (file.open(QIODevice::WriteOnly))
    file.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(screen.width())
                   .arg(screen.height())
                   .toUtf8());
  file.close();
  args.push_back("-platform");
  args.push_back(std::string("offscreen:configfile=") + config);
  std::vector<char*> pointers;
  for (auto& a : args) pointers.push_back(a.data());
  int count = int(pointers.size());
  int result = 0;
  {
    morvell::forms::FormsApplication app(count, pointers.data());
    result = RUN_ALL_TESTS();
  }
  QDir::setCurrent(start);
  return result;
}
