// The windows are tested on Qt's offscreen platform with a screen 1280 pixels wide. Each test process
// works in a fresh temporary directory below the one the test runner gives, since the program writes
// its files relative to the current directory and the runner starts tests side by side.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const QString start = QDir::currentPath();
  QTemporaryDir work(start + "/run-XXXXXX");
  if (!work.isValid() || !QDir::setCurrent(work.path())) return 1;
  const char* config = "offscreen_screen.json";
  QFile file(config);
  if (file.open(QIODevice::WriteOnly))
    file.write(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1280, "height": 1024,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  file.close();
  std::vector<std::string> args(argv, argv + argc);
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
