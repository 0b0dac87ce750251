// The program's windows on Qt's offscreen platform with one screen whose size the argument
// --screen=WIDTHxHEIGHT gives (1024x768 without it). The test works in a fresh temporary directory below
// the one it is started in, since the program writes its files relative to the current directory.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "application.h"
#include "window_geometry_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    int w = 0, h = 0;
    if (std::sscanf(argv[i], "--screen=%dx%d", &w, &h) == 2) morvell::testing::screen_size = {w, h};
    else args.push_back(argv[i]);
  }
  const QString start = QDir::currentPath();
  QTemporaryDir work(start + "/run-XXXXXX");
  if (!work.isValid() || !QDir::setCurrent(work.path())) return 1;
  const char* config = "offscreen_screen.json";
  QFile file(config);
  if (file.open(QIODevice::WriteOnly))
    file.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(morvell::testing::screen_size.width())
                   .arg(morvell::testing::screen_size.height())
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
