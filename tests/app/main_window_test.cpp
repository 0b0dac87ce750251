// Start-up of the program: the design prepared from the preference and default design files, the main
// window scaled to the 1280-pixel screen, the history file emptied, the preferences written on close.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "design_data.h"
#include "design_file.h"
#include "file_bytes.h"
#include "main_window.h"
#include "preferences.h"
#include "program.h"
#include "scaling.h"
#include "startup.h"
#include "test_support.h"

using namespace morvell;

namespace {

void copy_default_design() {
  QFile::remove(kDefaultDesignFileName);
  ASSERT_TRUE(QFile::copy(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", kDefaultDesignFileName));
}

// The start-up's design with the preference file `preferences` (none: no file) and a history left from
// the previous run, and how the default design file was read (the test puts it there or not).
struct Started {
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  DesignFileResult loaded;
};
Started start_up(const char* preferences) {
  if (preferences) write_bytes(kPreferenceFileName, preferences);
  else std::remove(kPreferenceFileName);
  write_bytes(kHistoryFileName, "left from the previous run");
  Started s;
  s.loaded = prepare_design_data(*s.d);
  return s;
}

struct Program : morvell::testing::Program<> {
  DesignFileResult loaded;

  explicit Program(const char* preferences) : Program(start_up(preferences)) {}

 private:
  explicit Program(Started s) : morvell::testing::Program<>(std::move(s.d)), loaded(std::move(s.loaded)) {}
};

}  // namespace

TEST(MainWindow, CreationScalesPlacesAndRefreshes) {
  copy_default_design();
  Program p("-2\r\n1");
  ASSERT_TRUE(p.loaded.ok()) << p.loaded.message;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  // 1280 pixels, step -2: 1000 x 1280 / 1024 x 0.928505^2 = 1077.6
  EXPECT_EQ(d.form_scale_divisor, 1000.0f);
  EXPECT_EQ(int(d.form_scale_multiplier), 1077);
  EXPECT_TRUE(m.Increase1->isEnabled());
  EXPECT_TRUE(m.Decrease1->isEnabled());
  EXPECT_EQ(m.width(), forms::mul_div(1024, 1077, 1000));
  EXPECT_EQ(m.mainresults->width(), forms::mul_div(450, 1077, 1000));
  EXPECT_EQ(m.x(), (1280 - m.width()) / 2);
  EXPECT_EQ(m.y(), 0);
  EXPECT_EQ(m.backlashComboBox->currentIndex(), 0);
  EXPECT_EQ(m.thicknessComboBox->currentIndex(), 0);
  EXPECT_EQ(m.finthicknessComboBox->currentIndex(), 0);
  EXPECT_EQ(d.plot_zoom, 1.0f);
  EXPECT_EQ(d.rating_enabled, 0);
  EXPECT_EQ(d.design_file_name[0], '\n');
  EXPECT_STREQ(d.design_file_name + 1, "efault_input_file.mvl");
  // The refresh showed the design; the numbers of teeth without the blanks of their print format.
  EXPECT_EQ(m.Z1edit->text(), QString::number(d.teeth[0]));
  EXPECT_EQ(m.Z2edit->text(), QString::number(d.teeth[1]));
  EXPECT_EQ(m.Moduleedit->text(), "2.250");
  EXPECT_EQ(m.Z1edit->toolTip(), QString("%1").arg(d.teeth[0], 10));
  // The first refresh went to the previous run's history, which creation then emptied.
  EXPECT_EQ(file_bytes(kHistoryFileName), "");
  EXPECT_EQ(d.history_record_number, -1);
  EXPECT_EQ(d.history_mode, 0);
  EXPECT_TRUE(m.Panel2->isVisibleTo(&m));
  EXPECT_EQ(m.Panel2->geometry(), QRect(0, 0, 1010, 680));
  EXPECT_TRUE(p.scripted.records.empty());
  // A refresh appends one record to this run's history.
  m.SetMain_textboxes();
  EXPECT_NE(file_bytes(kHistoryFileName), "");
  EXPECT_EQ(d.history_record_number, -2);
}

TEST(MainWindow, WindowSizeStepsOnTheScreen) {
  copy_default_design();
  struct Case { const char* prefs; int multiplier; bool increase; bool decrease; int units; };
  for (const Case& c : {Case{nullptr, 1250, false, true, 1}, Case{"0\n2", 1250, false, true, 2},
                        Case{"-1\n1", 1160, true, true, 1}, Case{"-3\r\n2", 1000, true, false, 2},
                        Case{"-4\n7", 1250, false, true, 1}}) {
    Program p(c.prefs);
    SCOPED_TRACE(c.prefs ? c.prefs : "no preference file");
    EXPECT_EQ(int(p.d->form_scale_multiplier), c.multiplier);
    EXPECT_EQ(p.main->Increase1->isEnabled(), c.increase);
    EXPECT_EQ(p.main->Decrease1->isEnabled(), c.decrease);
    EXPECT_EQ(p.d->unit_system, c.units);
    EXPECT_EQ(p.d->length_unit_factor, c.units == 2 ? 25.4f : 1.0f);
  }
}

TEST(MainWindow, ClosingWritesThePreferences) {
  copy_default_design();
  Program p("-1\n2");
  p.main->show();
  p.d->window_size_step = -3;  // as after two Decrease commands
  p.d->unit_system = 1;
  EXPECT_TRUE(p.main->close());
  EXPECT_EQ(file_bytes(kPreferenceFileName), "-3\r\n1");
  std::remove(kPreferenceFileName);
}

// A pipe that nobody reads in place of the history file holds neither the start (which empties the
// history) nor the refreshes (which append to it).
TEST(MainWindow, AHistoryFileThatIsAPipeDoesNotHoldTheStart) {
  std::remove(kHistoryFileName);
  ASSERT_EQ(::mkfifo(kHistoryFileName, 0600), 0);
  {
    morvell::testing::Program<> p;
    p.main->SetMain_textboxes();
    EXPECT_EQ(p.d->history_record_number, -2);
  }
  struct stat st {};
  ASSERT_EQ(::stat(kHistoryFileName, &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  std::remove(kHistoryFileName);
}

// A second copy of the program started in the same folder while the first still runs does not empty
// the history the first is writing: the records of both follow each other. Once no copy runs, the next
// start empties it as before.
TEST(MainWindow, ASecondCopyKeepsTheHistoryOfTheFirst) {
  copy_default_design();
  const auto records = [] {
    const std::string h = file_bytes(kHistoryFileName);
    int n = 0;
    for (std::size_t at = h.find(" xxxxxxxx"); at != std::string::npos; at = h.find(" xxxxxxxx", at + 1)) ++n;
    return n;
  };
  using Copy = morvell::testing::Program<>;
  write_bytes(kHistoryFileName, "left from the previous run");
  {
    Copy first;
    EXPECT_EQ(records(), 0);  // emptied at its start
    first.main->SetMain_textboxes();
    first.main->SetMain_textboxes();
    EXPECT_EQ(records(), 2);
    int with_second = 0;
    {
      Copy second;  // its creation refreshes
      with_second = records();
      EXPECT_GT(with_second, 2);  // the first's records kept, the second's follow
      second.main->SetMain_textboxes();
      first.main->SetMain_textboxes();
      EXPECT_EQ(records(), with_second + 2);
    }
    first.main->SetMain_textboxes();
    EXPECT_EQ(records(), with_second + 3);
  }
  Copy later;
  EXPECT_EQ(records(), 0);
}

TEST(MainWindow, MissingDefaultDesignStartsWithTheStartUpValues) {
  QFile::remove(kDefaultDesignFileName);
  Program p(nullptr);
  EXPECT_FALSE(p.loaded.ok());
  EXPECT_EQ(p.loaded.status, DesignFileStatus::cannot_open);
  EXPECT_FALSE(p.loaded.message.empty());
  EXPECT_EQ(p.d->teeth[0], 23);
  EXPECT_EQ(p.d->teeth[1], 32);
  EXPECT_NEAR(p.d->normal_module, 2.25f, 1e-5f);
  EXPECT_EQ(p.d->design_file_name[0], '\n');
  EXPECT_EQ(p.main->Z1edit->text(), "23");
  report_default_design_problem(p.loaded);
  ASSERT_EQ(p.scripted.records.size(), 1u);
  EXPECT_TRUE(p.scripted.records[0].text.startsWith(QString::fromStdString(p.loaded.message)));
}

// A default design file that ends early is taken with the start-up values in its later fields, and the
// user is told so, as when such a file is opened.
TEST(MainWindow, ADefaultDesignThatEndsEarlyIsTakenWithItsNote) {
  copy_default_design();
  const std::string whole = file_bytes(kDefaultDesignFileName);
  std::size_t at = 0;
  for (int line = 0; line < 20; ++line) at = whole.find('\n', at) + 1;  // fields 1 to 20
  write_bytes(kDefaultDesignFileName, whole.substr(0, at));
  Program p(nullptr);
  ASSERT_TRUE(p.loaded.ok()) << p.loaded.message;
  report_default_design_problem(p.loaded);
  ASSERT_EQ(p.scripted.records.size(), 1u);
  // No design was shown before the start-up: the note names what the fields take instead.
  EXPECT_EQ(p.scripted.records[0].text.toStdString(),
            "Design file default_input_file.mvl ends before field 21, tip chamfer (pinion): that field, the fields "
            "after it and the load cases take the program's start-up values, which give no rating input, S-N "
            "curve point or load (0 until they are entered)");
  // And they do: the start-up pair's tip chamfer, no stress number, no application factor.
  EXPECT_EQ(p.d->tip_chamfer[0], 0.0f);
  EXPECT_EQ(p.d->sigma_hlim[0], 0.0f);
  EXPECT_EQ(p.d->application_factor, 0.0f);
  copy_default_design();
}

// The start folder is kept as the bytes of its name: a folder whose name is no UTF-8 text is found
// again by every refresh, after a file dialog has made another folder current.
TEST(StartDirectory, ANameThatIsNoUtf8TextIsFoundAgain) {
  copy_default_design();
  const std::string here = std::filesystem::current_path().string();
  const std::string odd = here + "/Getriebe \xe4\xf6\xfc \xff";  // Latin-1 letters and a byte no text has
  std::filesystem::remove_all(odd);
  ASSERT_EQ(::mkdir(odd.c_str(), 0700), 0);
  ASSERT_TRUE(std::filesystem::copy_file(kDefaultDesignFileName, odd + "/" + kDefaultDesignFileName));
  ASSERT_EQ(::chdir(odd.c_str()), 0);
  {
    Program p(nullptr);
    EXPECT_EQ(start_directory_path(), odd);
    ASSERT_EQ(::chdir(here.c_str()), 0);  // as a file dialog leaves it
    p.scripted.clear();
    p.main->SetMain_textboxes();
    EXPECT_TRUE(p.scripted.records.empty()) << p.scripted.records[0].text.toStdString();
    EXPECT_EQ(std::filesystem::current_path().string(), odd);
  }
  ASSERT_EQ(::chdir(here.c_str()), 0);
  set_start_directory_path(here);
  std::filesystem::remove_all(odd);
}

TEST(StartDirectory, LongerThanItsBufferIsKeptWhole) {
  auto d = std::make_unique<DesignData>();
  const std::string deep = "/" + std::string(300, 'd');
  set_start_directory_path(deep);
  copy_text(d->start_directory, deep);
  EXPECT_EQ(start_directory_of(*d), deep);
  copy_text(d->start_directory, "/elsewhere");  // written by other code: the buffer holds
  EXPECT_EQ(start_directory_of(*d), "/elsewhere");
  set_start_directory_path(QDir::currentPath().toStdString());
}
