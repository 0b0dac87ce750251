// The 3D view's tests need an OpenGL context: they run on an X display (a virtual one under the test
// script). Each test process works in a fresh temporary directory, since the program writes its files
// relative to the current directory and the runner starts tests side by side.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (at build time) needs no display.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  const QString start = QDir::currentPath();
  QTemporaryDir work(start + "/run-XXXXXX");
  if (!work.isValid() || !QDir::setCurrent(work.path())) return 1;
  int result = 0;
  {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    result = RUN_ALL_TESTS();
  }
  QDir::setCurrent(start);
  return result;
}
