// The calculation core's tests, each test process in a fresh temporary directory below the one the
// test runner gives: the program writes its files relative to the current directory, and the runner
// starts test processes side by side (a test that counts the files it left behind must see only its own).
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  namespace fs = std::filesystem;
  const fs::path start = fs::current_path();
  std::string work = (start / "run-XXXXXX").string();
  if (!mkdtemp(work.data())) return 1;
  fs::current_path(work);
  const int result = RUN_ALL_TESTS();
  fs::current_path(start);
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return result;
}
