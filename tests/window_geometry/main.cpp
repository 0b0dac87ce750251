// The program's windows on Qt's offscreen platform with one screen whose size the argument
// --screen=WIDTHxHEIGHT gives (1024x768 without it); with --place-only the windows' places are checked
// but not their captions. The test works in a fresh temporary directory below
// the one it is started in, since the program writes its files relative to the current directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "offscreen_test_main.h"
#include "window_geometry_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    int w = 0, h = 0;
    if (std::sscanf(argv[i], "--screen=%dx%d", &w, &h) == 2) morvell::testing::screen_size = {w, h};
    else if (std::strcmp(argv[i], "--place-only") == 0) morvell::testing::check_captions = false;
    else args.push_back(argv[i]);
  }
  return run_tests_on_offscreen_screen(args, morvell::testing::screen_size);
}
