// Widget tests run on Qt's offscreen platform inside one application object, with a screen 1280 pixels
// wide, each test process in a fresh temporary directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "offscreen_test_main.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // A user locale with a decimal comma, where the machine has it: numbers must stay in the C form.
  qputenv("LC_ALL", "de_DE.UTF-8");
  return run_tests_on_offscreen_screen(std::vector<std::string>(argv, argv + argc), QSize(1280, 1024));
}
