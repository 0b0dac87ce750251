// Golden files: what the program wrote once, reviewed line by line by a person, in the folder golden/ of
// the test's folder (MORVELL_GOLDEN_DIR). A test compares what the program writes now with its golden
// file. With MORVELL_UPDATE_GOLDEN=1 in the environment every such test writes its file anew instead;
// review the difference before committing it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace morvell::testing {

// Compares `text` with the golden file `name` line by line, every byte included.
inline void expect_golden(const std::string& text, const std::string& name) {
  const std::string path = std::string(MORVELL_GOLDEN_DIR "/") + name;
  if (const char* update = std::getenv("MORVELL_UPDATE_GOLDEN"); update && std::strcmp(update, "1") == 0) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    EXPECT_TRUE(out.good()) << "cannot write " << path;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "cannot read " << path;
  std::stringstream golden;
  golden << in.rdbuf();
  std::istringstream want(golden.str()), got(text);
  std::string a, b;
  bool lines_equal = true;
  for (int line = 0; std::getline(want, a); ++line) {
    ASSERT_TRUE(std::getline(got, b)) << name << ": line " << line << " missing";
    EXPECT_EQ(b, a) << name << ": line " << line;
    lines_equal = lines_equal && a == b;
  }
  const bool extra = bool(std::getline(got, b));
  EXPECT_FALSE(extra) << name << ": extra line: " << b;
  if (lines_equal && !extra) {
    EXPECT_EQ(text, golden.str()) << name << ": the lines agree, the end of the text does not";
  }
}

}  // namespace morvell::testing
