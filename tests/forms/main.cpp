// Widget tests run on Qt's offscreen platform inside one application object.
#include <gtest/gtest.h>

#include "application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A user locale with a decimal comma, where the machine has it: numbers must stay in the C form.
  qputenv("LC_ALL", "de_DE.UTF-8");
  morvell::forms::FormsApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
