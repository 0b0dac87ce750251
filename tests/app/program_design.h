// The program's design as the start-up prepares it, in the test's working directory: the preferences
// given (none: no preference file), the shipped default design file and the start-up pictures beside it.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <memory>

#include "design_data.h"
#include "preferences.h"
#include "startup.h"

namespace morvell::testing {

inline std::unique_ptr<DesignData> program_design(const char* preferences = nullptr) {
  QFile::remove(kPreferenceFileName);
  if (preferences) {
    QFile file(kPreferenceFileName);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(preferences) == qint64(qstrlen(preferences)));
  }
  QFile::remove(kDefaultDesignFileName);
  EXPECT_TRUE(QFile::copy(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", kDefaultDesignFileName));
  for (const char* image : {"splash.bmp", "background.bmp"}) {
    QFile::remove(image);
    EXPECT_TRUE(QFile::copy(QString(MORVELL_SOURCE_DIR "/data/") + image, image));
  }
  auto d = std::make_unique<DesignData>();
  const DesignFileResult loaded = prepare_design_data(*d);
  EXPECT_TRUE(loaded.ok()) << loaded.message;
  return d;
}

// The same at a window-size step (0 to -3), without preferences.
inline std::unique_ptr<DesignData> program_design_at_step(int window_size_step) {
  auto d = program_design();
  d->window_size_step = window_size_step;
  return d;
}

}  // namespace morvell::testing
