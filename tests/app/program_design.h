// The program's design as the start-up prepares it, in the test's working directory: no preferences,
// the shipped default design file and the start-up pictures beside it.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <memory>

#include "design_data.h"
#include "preferences.h"
#include "startup.h"

namespace morvell::testing {

inline std::unique_ptr<DesignData> program_design() {
  QFile::remove(kPreferenceFileName);
  QFile::remove(kDefaultDesignFileName);
  EXPECT_TRUE(QFile::copy(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", kDefaultDesignFileName));
  for (const char* image : {"splash.bmp", "background.bmp"}) {
    QFile::remove(image);
    EXPECT_TRUE(QFile::copy(QString(MORVELL_SOURCE_DIR "/data/") + image, image));
  }
  auto d = std::make_unique<DesignData>();
  EXPECT_TRUE(prepare_design_data(*d).ok());
  return d;
}

}  // namespace morvell::testing
