// The windows are tested on Qt's offscreen platform with a screen 1280 pixels wide, each test process in
// a fresh temporary directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "offscreen_test_main.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return run_tests_on_offscreen_screen(std::vector<std::string>(argv, argv + argc), QSize(1280, 1024));
}
