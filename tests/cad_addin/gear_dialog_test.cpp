// The gear dialog: defaults and stored settings, the derived diameters, Calculate, Draw, Enter, Reset,
// Help, and its Chinese and Japanese versions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>
#include <sys/stat.h>

#include "addin_app.h"
#include "full_disk.h"
#include "gear_dialog.h"
#include "gear_profile.h"
#include "recording_host.h"
#include "test_support.h"

namespace tandrel {
namespace {

using test::AddinDocumentTest;
using test::AddinTest;

const char16_t* const kNames[] = {u"z",    u"m",    u"a",  u"x",  u"tol",  u"crk", u"crt",
                                  u"d_u",  u"dg_u", u"dk_u", u"dt_u", u"sm", u"zm",  u"top",
                                  u"all",  u"all_cir", u"LT", u"high", u"bl"};

QString Text(GearDialog& dialog, int id) { return qobject_cast<QLineEdit*>(dialog.control(id))->text(); }
void SetText(GearDialog& dialog, int id, const QString& text) {
  qobject_cast<QLineEdit*>(dialog.control(id))->setText(text);
}

// Shows the dialog and types the teeth, the module and the pressure angle into it.
void ShowAndType(GearDialog& dialog, const char* teeth, const char* module, const char* angle) {
  dialog.show();
  SetText(dialog, 1003, teeth);
  SetText(dialog, 1006, module);
  SetText(dialog, 1007, angle);
}

using GearDialogTest = AddinTest;

TEST_F(GearDialogTest, FirstStartShowsDefaultsAndTheFirstCalculateStoresAllSettings) {
  GearDialog dialog(GearDialog::Language::Chinese);
  EXPECT_EQ(Text(dialog, 1003), "16");
  EXPECT_EQ(Text(dialog, 1006), "0.5");
  EXPECT_EQ(Text(dialog, 1007), "20");
  EXPECT_EQ(Text(dialog, 1009), "0.001");
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.control(1024))->isChecked());
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.control(1025))->isChecked());
  EXPECT_FALSE(qobject_cast<QCheckBox*>(dialog.control(1026))->isChecked());
  EXPECT_TRUE(qobject_cast<QRadioButton*>(dialog.control(1041))->isChecked());
  for (const char16_t* name : kNames) EXPECT_TRUE(ReadGearSetting(name).empty());

  EXPECT_EQ(dialog.CalculateGear(1), 0);
  for (const char16_t* name : kNames) EXPECT_FALSE(ReadGearSetting(name).empty()) << registry::ToUtf8(name);
  EXPECT_EQ(ReadGearSetting(u"z"), u"16");
  EXPECT_EQ(ReadGearSetting(u"m"), u"0.500000");
  EXPECT_EQ(ReadGearSetting(u"zm"), u"0.000000");
  EXPECT_EQ(ReadGearSetting(u"LT"), u"0");
  EXPECT_GT(dialog.Pts, 2);
  EXPECT_EQ(Text(dialog, 1028).toInt(), dialog.Pts);
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(dialog.result(), QDialog::Rejected) << "Calculate leaves the dialog open";
}

TEST_F(GearDialogTest, StoredSettingsAreReadWithTheirFormats) {
  auto store = [](const char16_t* name, std::u16string text) { WriteGearSetting(name, text); };
  store(u"z", u"  24 teeth");    // scanned as far as it is a number
  store(u"m", u"abc");           // not a number: the default stays
  store(u"zm", u"2.000000");
  store(u"all_cir", u"1");
  store(u"LT", u"7");            // no such fitting type: the default stays
  store(u"bl", u"0.04");
  GearDialog dialog(GearDialog::Language::Chinese);
  EXPECT_EQ(dialog.z, 24);
  EXPECT_EQ(dialog.m, 0.5);
  EXPECT_EQ(dialog.zm, 2.0);
  EXPECT_EQ(dialog.all_cir, 1);
  EXPECT_EQ(dialog.LT, 0);
  EXPECT_EQ(dialog.bl, 0.04);
  dialog.CalculateGear(1);
  EXPECT_EQ(ReadGearSetting(u"z"), u"24");
  EXPECT_EQ(ReadGearSetting(u"zm"), u"2.000000");
  GearDialog again(GearDialog::Language::Chinese);
  EXPECT_EQ(again.zm, 2.0);
  EXPECT_EQ(again.z, 24);
}

// Every stored value reads back as the same value: six decimals where they are exact enough (stored
// files keep their form), else the shortest text that is.
TEST_F(GearDialogTest, StoredSettingsReadBackAsTheSameValue) {
  const struct {
    double value;
    std::u16string text;
  } cases[] = {
      {0.5, u"0.500000"},           {-2.25, u"-2.250000"},          {1e-7, u"1e-07"},
      {6e-7, u"6e-07"},             {1.0 / 3.0, u"0.3333333333333333"}, {1.5e-6, u"1.5e-06"},
      {123.4567891, u"123.4567891"}, {1e30, u"1000000000000000019884624838656.000000"},
  };
  double GearDialog::*const fields[] = {&GearDialog::m,    &GearDialog::a,    &GearDialog::x,    &GearDialog::tol,
                                        &GearDialog::crk,  &GearDialog::crt,  &GearDialog::d_u,  &GearDialog::dg_u,
                                        &GearDialog::dk_u, &GearDialog::dt_u, &GearDialog::sm,   &GearDialog::zm,
                                        &GearDialog::high, &GearDialog::bl};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    {
      GearDialog dialog(GearDialog::Language::Chinese);
      for (auto field : fields) dialog.*field = c.value;
      dialog.SaveSettings();
    }
    EXPECT_EQ(ReadGearSetting(u"tol"), c.text);
    GearDialog again(GearDialog::Language::Chinese);
    for (auto field : fields) EXPECT_EQ(again.*field, c.value);
  }
  // A tolerance of 1e-7 mm, counted and stored, is counted again at the next opening.
  std::filesystem::remove_all(root);
  services.messages.clear();
  {
    GearDialog dialog(GearDialog::Language::Chinese);
    SetText(dialog, 1009, "1e-7");
    dialog.CalculateGear(1);
  }
  GearDialog again(GearDialog::Language::Chinese);
  EXPECT_EQ(Text(again, 1009), "1e-07");
  again.CalculateGear(1);
  EXPECT_TRUE(services.messages.empty());
  EXPECT_GT(again.Pts, 2);
}

TEST_F(GearDialogTest, CalculateDerivesTheCircles) {
  struct Case {
    const char* what;
    int z;
    double m, d_u, sm, zm;
    double d, da, df, m_after;
  } cases[] = {
      {"standard", 16, 0.5, 0, 0, 0, 8.0, 9.0, 6.75, 0.5},
      {"seven teeth: 2.5 m below", 7, 1.0, 0, 0, 0, 7.0, 9.0, 4.5, 1.0},
      {"six teeth: 2 m below", 6, 1.0, 0, 0, 0, 6.0, 8.0, 4.0, 1.0},
      {"three teeth: 0.8 m below", 3, 1.0, 0, 0, 0, 3.0, 5.0, 2.2, 1.0},
      {"reference diameter given: module follows", 20, 1.0, 30.0, 0, 0, 30.0, 33.0, 26.25, 1.5},
  };
  for (const Case& c : cases) {
    GearDialog dialog(GearDialog::Language::Chinese);
    SetText(dialog, 1003, QString::number(c.z));
    SetText(dialog, 1006, QString::number(c.m));
    SetText(dialog, 1017, QString::number(c.d_u));
    dialog.CalculateGear(1);
    EXPECT_NEAR(dialog.d, c.d, 1e-12) << c.what;
    EXPECT_NEAR(dialog.da, c.da, 1e-12) << c.what;
    EXPECT_NEAR(dialog.df, c.df, 1e-12) << c.what;
    EXPECT_NEAR(dialog.db, c.d * std::cos(20.0 * M_PI / 180.0), 1e-12) << c.what;
    EXPECT_NEAR(dialog.m, c.m_after, 1e-12) << c.what;
    EXPECT_EQ(Text(dialog, 1006).toDouble(), dialog.m) << c.what;
  }
}

TEST_F(GearDialogTest, SpanMeasurementSetsTheShiftAndTheHalfToothAngle) {
  GearDialog dialog(GearDialog::Language::Chinese);
  // Span over 3 teeth of a 20-tooth module-2 gear with shift 0.3.
  const double alpha = 20.0 * M_PI / 180.0, inv = std::tan(alpha) - alpha, x = 0.3;
  const double span = 2.0 * std::cos(alpha) * (M_PI * 2.5 + 20 * inv) + 2 * x * 2.0 * std::sin(alpha);
  SetText(dialog, 1003, "20");
  SetText(dialog, 1006, "2");
  SetText(dialog, 1016, QString::number(span, 'f', 12));
  SetText(dialog, 1021, "3");
  dialog.CalculateGear(1);
  EXPECT_NEAR(dialog.x, x, 1e-9);
  // Half the tooth thickness at the base circle as an angle: (pi/2 + 2 x tan a)/z + inv a.
  EXPECT_NEAR(dialog.psi_b, ((M_PI / 2 + 2 * x * std::tan(alpha)) / 20 + inv) * 180.0 / M_PI, 1e-9);
}

// z 30, m 3 and a pressure angle of "2O", read first of the three: each command stops on the angle's
// box after its prompt, with nothing counted, drawn or stored and every typed text still in its box.
TEST_F(GearDialogTest, TextThatIsNotANumberStopsTheCommandOnItsBox) {
  const std::function<void(GearDialog&)> commands[] = {
      [](GearDialog& dialog) { qobject_cast<QPushButton*>(dialog.control(1029))->click(); },
      [](GearDialog& dialog) { qobject_cast<QPushButton*>(dialog.control(1001))->click(); },
      [](GearDialog& dialog) {
        dialog.control(1003)->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);
      },
  };
  const char* const names[] = {"Calculate", "Draw", "Enter"};
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(names[c]);
    std::filesystem::remove_all(root);
    services.messages.clear();
    GearDialog dialog(GearDialog::Language::Chinese);
    ShowAndType(dialog, "30", "3", "2O");
    commands[c](dialog);
    EXPECT_EQ(services.messages, std::vector<std::u16string>{u"Please enter a number."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.focusWidget(), dialog.control(1007));
    EXPECT_EQ(Text(dialog, 1003), "30");
    EXPECT_EQ(Text(dialog, 1006), "3");
    EXPECT_EQ(Text(dialog, 1007), "2O");
    EXPECT_EQ(Text(dialog, 1012), "0") << "no diameter derived";
    EXPECT_TRUE(ReadGearSetting(u"z").empty()) << "nothing stored";
    // Corrected, the same command goes through with everything typed.
    SetText(dialog, 1007, "20");
    commands[c](dialog);
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(dialog.d, 90.0);
    EXPECT_EQ(ReadGearSetting(u"m"), u"3.000000");
    dialog.hide();
  }
}

TEST_F(GearDialogTest, NonFiniteAndOutOfRangeEntriesAreRefused) {
  struct Case {
    const char* text;
    std::u16string prompt;
  } cases[] = {
      {"nan", u"Please enter a number."},
      {"inf", u"Please enter a number."},
      {"-Infinity", u"Please enter a number."},
      {"1e999", u"Please enter a number between -3.4e+38 and 3.4e+38."},
      {"1e39", u"Please enter a number between -3.4e+38 and 3.4e+38."},
      {"-1e39", u"Please enter a number between -3.4e+38 and 3.4e+38."},
  };
  for (const Case& c : cases) {
    services.messages.clear();
    GearDialog dialog(GearDialog::Language::Chinese);
    SetText(dialog, 1006, c.text);
    dialog.CalculateGear(1);
    ASSERT_FALSE(services.messages.empty()) << c.text;
    EXPECT_EQ(services.messages[0], c.prompt) << c.text;
    EXPECT_EQ(dialog.m, 0.5) << c.text;
    EXPECT_EQ(Text(dialog, 1006), c.text) << "kept for correcting";
    EXPECT_TRUE(ReadGearSetting(u"m").empty()) << c.text;
  }
  // Near the largest float: a text the box takes in is shown with 15 digits, and that text is taken in
  // again by the next command, also where the 15 digits round up. The largest float and the values
  // that round to it are numbers; from the middle between it and 2^128 on, none is.
  const struct {
    const char* text;
    int taken;  // 1 a number, 0 none, -1 either
  } near_largest[] = {
      {"3.4028234663852886e38", 1},  // the largest float, shown as 3.40282346638529e+38
      {"3.40282356779733e38", 1},
      {"3.402823567797336e38", -1},  // below the middle, shown as 3.40282356779734e+38, above it
      {"3.4028236e38", 0},
  };
  for (const auto& c : near_largest) {
    SCOPED_TRACE(c.text);
    services.messages.clear();
    GearDialog dialog(GearDialog::Language::Chinese);
    SetText(dialog, 1027, c.text);
    const bool taken = dialog.UpdateData(true);
    if (c.taken >= 0) {
      EXPECT_EQ(taken, c.taken == 1);
    }
    if (!taken) continue;
    const double value = dialog.high;
    EXPECT_EQ(dialog.CalculateGear(1), 0);
    EXPECT_EQ(dialog.CalculateGear(1), 0);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_NEAR(dialog.high, value, value * 1e-14);
  }
  // Stored texts of that kind leave the defaults.
  WriteGearSetting(u"a", u"nan");
  WriteGearSetting(u"x", u"1e999");
  WriteGearSetting(u"tol", u"inf");
  GearDialog stored(GearDialog::Language::Chinese);
  EXPECT_EQ(stored.a, 20.0);
  EXPECT_EQ(stored.x, 0.0);
  EXPECT_EQ(stored.tol, 0.001);
}

TEST_F(GearDialogTest, AFailedSettingsWriteKeepsTheOldValue) {
  WriteGearSetting(u"m", u"0.750000");
  {
    const morvell::FullDisk full(64);  // files may grow to 64 bytes: the new value does not fit
    WriteGearSetting(u"m", std::u16string(100, u'9'));
  }
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0], u"Registry writing went wrong.\nPlease check security authority. ");
  EXPECT_EQ(ReadGearSetting(u"m"), u"0.750000");
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1) << "no partly written file is left behind";
}

// One cause that fails every setting is shown once per save, by Calculate and by Draw alike: no value
// can be written (files may not grow at all, as on a full disk), or the key cannot be created.
TEST_F(GearDialogTest, ASaveThatFailsShowsItsCauseOncePerSave) {
  const std::u16string writing = u"Registry writing went wrong.\nPlease check security authority. ";
  {
    GearDialog dialog(GearDialog::Language::Chinese);
    const morvell::FullDisk full(0);  // no file may grow at all
    dialog.CalculateGear(1);
    const std::vector<std::u16string> after_calculate = services.messages;
    dialog.CalculateGear(0);  // no host: nothing is drawn, the settings are saved all the same
    EXPECT_EQ(after_calculate, std::vector<std::u16string>{writing});
    EXPECT_EQ(services.messages, (std::vector<std::u16string>{writing, writing}));
    EXPECT_TRUE(ReadGearSetting(u"z").empty());
  }
  services.messages.clear();
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root.parent_path());
  std::ofstream(root) << "not a folder";
  GearDialog dialog(GearDialog::Language::Chinese);
  dialog.CalculateGear(1);
  EXPECT_EQ(services.messages,
            std::vector<std::u16string>{u"Registry opening went wrong.\nPlease check security authority. "});
  std::filesystem::remove(root);
}

TEST_F(GearDialogTest, OpensOnTheNumberOfTeethAndShowsTheStartOfLongNumbers) {
  GearDialog zh(GearDialog::Language::Chinese), ja(GearDialog::Language::Japanese);
  EXPECT_EQ(zh.font().pointSize(), 9);
  EXPECT_EQ(ja.font().pointSize(), 9);
  zh.show();
  QApplication::processEvents();
  EXPECT_EQ(zh.focusWidget(), zh.control(1003)) << "Enter there is the OK action";
  zh.CalculateGear(1);
  auto* base = qobject_cast<QLineEdit*>(zh.control(1013));
  EXPECT_EQ(base->text(), "7.51754096628727");
  EXPECT_EQ(base->cursorPosition(), 0);
  zh.hide();
}

TEST_F(GearDialogTest, EscapeDuringTheCountStoresNothing) {
  GearDialog dialog(GearDialog::Language::Chinese);
  services.escape_from = 2;
  EXPECT_EQ(dialog.CalculateGear(1), 1);
  EXPECT_EQ(dialog.Pts, 0);
  EXPECT_TRUE(ReadGearSetting(u"z").empty());
}

TEST_F(GearDialogTest, ResetKeepsTheRootCircleChoice) {
  GearDialog dialog(GearDialog::Language::Chinese);
  dialog.CalculateGear(1);
  SetText(dialog, 1003, "40");
  SetText(dialog, 1007, "2O");  // replaced by Reset: not asked for
  qobject_cast<QCheckBox*>(dialog.control(1026))->setChecked(true);
  qobject_cast<QCheckBox*>(dialog.control(1024))->setChecked(false);
  qobject_cast<QPushButton*>(dialog.control(1031))->click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(Text(dialog, 1003), "16");
  EXPECT_EQ(Text(dialog, 1007), "20");
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.control(1026))->isChecked());
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.control(1024))->isChecked());
  EXPECT_EQ(dialog.d, 0.0);
  EXPECT_EQ(dialog.Pts, 0);
  EXPECT_EQ(dialog.psi_b, 0.0);
  EXPECT_EQ(ReadGearSetting(u"z"), u"16") << "Reset writes nothing";
  EXPECT_NE(ReadGearSetting(u"all_cir"), u"1");
}

// Help opens kzsamples/inv_help.txt under the Install folder, however long its name; when that file
// is not there, no folder was registered, or the desktop cannot open it, Help says so.
TEST_F(GearDialogTest, HelpOpensTheHelpTextUnderTheInstallFolder) {
  GearDialog dialog(GearDialog::Language::Chinese);
  auto help = [&] { qobject_cast<QPushButton*>(dialog.control(1030))->click(); };
  help();
  WriteGearSetting(u"z", u"16");
  help();
  EXPECT_TRUE(services.opened.empty()) << "no settings key, then no Install value";
  ASSERT_EQ(services.messages.size(), 2u);
  for (const std::u16string& message : services.messages) {
    EXPECT_NE(message.find(u"帮助文件无法打开"), std::u16string::npos);
    EXPECT_NE(message.find(u"kzsamples/inv_help.txt"), std::u16string::npos);
  }
  services.messages.clear();

  // A folder of 200 characters, beyond the 128 of a setting.
  std::filesystem::path folder = std::filesystem::current_path() / "help";
  std::filesystem::remove_all(folder);
  ASSERT_LT(folder.string().size(), 150u);
  while (folder.string().size() + 41 < 200) folder /= std::string(40, 'h');
  folder /= std::string(200 - folder.string().size() - 1, 'h');
  ASSERT_EQ(folder.string().size(), 200u);
  std::filesystem::create_directories(folder / "kzsamples");
  const std::u16string install = registry::FromUtf8(folder.string());
  const std::u16string file = install + u"/kzsamples/inv_help.txt";
  WriteGearSetting(u"Install", install);
  help();
  EXPECT_TRUE(services.opened.empty()) << "no help file there";
  EXPECT_EQ(services.messages, std::vector<std::u16string>{HelpNotOpenedMessage(file)});

  std::ofstream(folder / "kzsamples" / "inv_help.txt") << "help";
  services.messages.clear();
  help();
  EXPECT_EQ(services.opened, std::vector<std::u16string>{file});
  EXPECT_TRUE(services.messages.empty());

  services.shell_opens = false;  // no viewer for it on this desktop: the message says what is missing
  help();
  EXPECT_EQ(services.messages, std::vector<std::u16string>{HelpWithoutViewerMessage(file)});
  EXPECT_NE(services.messages.back().find(u"xdg-utils"), std::u16string::npos);
  std::filesystem::remove_all(std::filesystem::current_path() / "help");
}

TEST_F(GearDialogTest, SettingsLongerThanTheBufferAreNotRead) {
  WriteGearSetting(u"m", std::u16string(128, u'1'));  // fills the buffer exactly, no terminator stored
  EXPECT_EQ(ReadGearSetting(u"m"), std::u16string(128, u'1'));
  WriteGearSetting(u"m", u"2" + std::u16string(200, u'0'));
  EXPECT_TRUE(ReadGearSetting(u"m").empty());
  GearDialog dialog(GearDialog::Language::Chinese);
  EXPECT_EQ(dialog.m, 0.5);
}

// Whatever stands in place of a stored setting, the dialog opens with the default: a folder, a pipe that
// nobody writes (not waited for), an endless device, a file too short to be a value, and a value far
// larger than the setting's buffer (never read into memory).
TEST_F(GearDialogTest, ASettingThatIsNoValueFileLeavesTheDefault) {
  const std::function<void(const std::filesystem::path&)> makers[] = {
      [](const std::filesystem::path& p) { std::filesystem::create_directory(p); },
      [](const std::filesystem::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
      [](const std::filesystem::path& p) { std::filesystem::create_symlink("/dev/zero", p); },
      [](const std::filesystem::path& p) { std::ofstream(p, std::ios::binary) << "\x01"; },
      [](const std::filesystem::path& p) {  // 6 GiB, sparse: more than any value holds
        std::ofstream(p, std::ios::binary) << std::string("\x01\0\0\0" "2\0", 6);
        std::filesystem::resize_file(p, uintmax_t(6) << 30);
      },
      [](const std::filesystem::path& p) {  // 1 GiB, sparse: a value, larger than the buffer
        std::ofstream(p, std::ios::binary) << std::string("\x01\0\0\0" "2\0", 6);
        std::filesystem::resize_file(p, uintmax_t(1) << 30);
      },
  };
  WriteGearSetting(u"m", u"0.750000");
  registry::Key key;
  ASSERT_EQ(registry::OpenKey(registry::Hive::LocalMachine, kSettingsKey, key), registry::kSuccess);
  const std::filesystem::path value = key.folder / "m.value";
  ASSERT_TRUE(std::filesystem::is_regular_file(value));
  for (const auto& make : makers) {
    std::filesystem::remove_all(value);
    make(value);
    EXPECT_TRUE(ReadGearSetting(u"m").empty());
    GearDialog dialog(GearDialog::Language::Chinese);
    EXPECT_EQ(dialog.m, 0.5);
  }
  std::filesystem::remove_all(value);
}

TEST_F(GearDialogTest, RegistryFailuresAreShown) {
  std::filesystem::create_directories(root.parent_path());
  std::ofstream(root) << "not a folder";
  WriteGearSetting(u"z", u"16");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0], u"Registry opening went wrong.\nPlease check security authority. ");
  std::filesystem::remove(root);
}

TEST_F(GearDialogTest, BothLanguagesHaveTheSameControls) {
  GearDialog zh(GearDialog::Language::Chinese), ja(GearDialog::Language::Japanese);
  auto ids = [](GearDialog& d) {
    std::vector<QString> out;
    for (QWidget* w : d.findChildren<QWidget*>())
      if (!w->objectName().isEmpty() && w->objectName()[0].isDigit()) out.push_back(w->objectName());
    std::sort(out.begin(), out.end());
    return out;
  };
  EXPECT_EQ(ids(zh), ids(ja));
  EXPECT_EQ(ids(zh).size(), 34u);
  EXPECT_EQ(zh.windowTitle(), QString::fromUtf16(u"渐开线齿轮"));
  EXPECT_EQ(ja.windowTitle(), QString::fromUtf16(u"インボリュート歯車作成ツール"));
  EXPECT_EQ(qobject_cast<QPushButton*>(zh.control(1001))->text(), QString::fromUtf16(u"绘制"));
  EXPECT_EQ(qobject_cast<QPushButton*>(ja.control(1001))->text(), QString::fromUtf16(u"歯車作成"));
  EXPECT_EQ(qobject_cast<QRadioButton*>(ja.control(1043))->text(), QString::fromUtf16(u"スプライン"));
}

// Every caption of both language versions is shown whole: its text, measured in its control's own
// font, fits the part of the control that shows text; every control lies inside the dialog, and none
// overlaps another (the radio buttons lie inside their group box).
TEST_F(GearDialogTest, EveryCaptionFitsItsControlInBothLanguages) {
  for (const auto language : {GearDialog::Language::Chinese, GearDialog::Language::Japanese}) {
    const char* name = language == GearDialog::Language::Chinese ? "Chinese" : "Japanese";
    GearDialog dialog(language);
    dialog.show();
    QApplication::processEvents();
    std::vector<QWidget*> controls;
    QGroupBox* group = nullptr;
    for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w->isHidden()) continue;
      controls.push_back(w);
      if (auto* g = qobject_cast<QGroupBox*>(w)) group = g;
    }
    ASSERT_NE(group, nullptr);
    int captions = 0;
    for (QWidget* w : controls) {
      const QString what = QString("%1 %2 \"%3\"").arg(name, w->metaObject()->className(), w->objectName());
      EXPECT_TRUE(dialog.rect().contains(w->geometry())) << what.toStdString();
      QString text;
      QRect shown;  // where the control shows its text
      if (auto* label = qobject_cast<QLabel*>(w)) {
        text = label->text();
        shown = label->contentsRect();
      } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text = button->text();
        const auto part = qobject_cast<QCheckBox*>(w)      ? QStyle::SE_CheckBoxContents
                          : qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                           : QStyle::SE_PushButtonContents;
        shown = w->style()->subElementRect(part, &option, w);
      } else if (w == group) {
        text = group->title();
        shown = group->rect();
      }
      if (text.isEmpty()) continue;
      ++captions;
      EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text), shown.width())
          << (what + " \"" + text + "\"").toStdString();
    }
    EXPECT_EQ(captions, 32) << name;
    for (size_t i = 0; i < controls.size(); ++i) {
      QWidget* a = controls[i];
      if (qobject_cast<QRadioButton*>(a)) {
        EXPECT_TRUE(group->geometry().contains(a->geometry())) << name << " " << a->objectName().toStdString();
      }
      for (size_t j = i + 1; j < controls.size(); ++j) {
        QWidget* b = controls[j];
        if (a == group || b == group) continue;
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << name << ": " << a->metaObject()->className() << " \"" << a->objectName().toStdString() << "\" "
            << b->metaObject()->className() << " \"" << b->objectName().toStdString() << "\"";
      }
    }
    dialog.hide();
  }
}

// The dialog drawing into a host document through the add-in.
class GearDialogDrawTest : public AddinDocumentTest {};

TEST_F(GearDialogDrawTest, DrawClosesTheDialogOnlyWhenTheGearWasDrawn) {
  {
    GearDialog dialog(GearDialog::Language::Chinese);
    SetText(dialog, 1003, "2");
    qobject_cast<QPushButton*>(dialog.control(1001))->click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0], TooFewTeethMessage());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(doc->sketch.empty());
    EXPECT_EQ(ReadGearSetting(u"z"), u"2") << "written after a failed draw too";
  }
  GearDialog dialog(GearDialog::Language::Chinese);
  EXPECT_EQ(Text(dialog, 1003), "2") << "the failed entry was kept";
  SetText(dialog, 1003, "16");
  dialog.show();
  qobject_cast<QPushButton*>(dialog.control(1001))->click();
  EXPECT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(doc->sketch.empty());
  EXPECT_EQ(dialog.Pts, 0);
}

// The backlash entered is the backlash drawn: it stays in the dialog and its settings after drawing,
// so the next opening draws the same outline.
TEST_F(GearDialogDrawTest, BacklashStaysAsEnteredForTheNextDrawing) {
  std::vector<host::SketchEntity> drawn[2];
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    GearDialog dialog(GearDialog::Language::Chinese);
    if (round == 0) SetText(dialog, 1032, "0.05");
    dialog.show();
    doc->sketch.clear();
    qobject_cast<QPushButton*>(dialog.control(1001))->click();
    EXPECT_EQ(dialog.bl, 0.05);
    EXPECT_EQ(Text(dialog, 1032).toDouble(), 0.05);
    EXPECT_EQ(ReadGearSetting(u"bl"), u"0.050000");
    drawn[round] = doc->sketch;
  }
  ASSERT_FALSE(drawn[0].empty());
  ASSERT_EQ(drawn[0].size(), drawn[1].size());
  for (size_t i = 0; i < drawn[0].size(); ++i) {
    const host::SketchEntity &a = drawn[0][i], &b = drawn[1][i];
    EXPECT_TRUE(a.kind == b.kind && a.a.x == b.a.x && a.a.y == b.a.y && a.b.x == b.b.x && a.b.y == b.b.y &&
                a.c.x == b.c.x && a.c.y == b.c.y && a.value == b.value && a.count == b.count)
        << "entity " << i;
  }
}

// A pressure angle outside the open quarter circle is refused by Calculate and Draw alike, as a
// tolerance of 0 is: the message, no count, nothing drawn, the entries stored, the dialog open.
TEST_F(GearDialogDrawTest, APressureAngleOutsideZeroToNinetyIsRefused) {
  for (const char* angle : {"-20", "0", "90", "-0", "180", "1e30"}) {
    SCOPED_TRACE(angle);
    for (const int command : {1029, 1001}) {
      services.messages.clear();
      GearDialog dialog(GearDialog::Language::Chinese);
      ShowAndType(dialog, "20", "1", angle);
      qobject_cast<QPushButton*>(dialog.control(command))->click();
      EXPECT_EQ(services.messages, std::vector<std::u16string>{PressureAngleOutOfRangeMessage()});
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_EQ(dialog.Pts, 0);
      EXPECT_TRUE(doc->sketch.empty());
      EXPECT_EQ(ReadGearSetting(u"z"), u"20");
      dialog.hide();
    }
  }
  // Just inside, the gear is drawn.
  services.messages.clear();
  GearDialog dialog(GearDialog::Language::Chinese);
  ShowAndType(dialog, "20", "1", "14.5");
  qobject_cast<QPushButton*>(dialog.control(1001))->click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_FALSE(doc->sketch.empty());
}

// A gear whose derived diameters lie beyond the values a box can hold (z 1e9 with m 1e30: d = 1e39) is
// refused with a message; the read-only boxes showing them are never read back, so the next gear
// entered is counted and drawn without Reset.
TEST_F(GearDialogDrawTest, AGearBeyondTheBoxesIsRefusedAndTheNextOneDraws) {
  GearDialog dialog(GearDialog::Language::Chinese);
  dialog.show();
  SetText(dialog, 1003, "1000000000");
  SetText(dialog, 1006, "1e30");
  for (const int command : {1029, 1001}) {
    services.messages.clear();
    qobject_cast<QPushButton*>(dialog.control(command))->click();
    EXPECT_EQ(services.messages, std::vector<std::u16string>{GearSizeOutOfRangeMessage()});
    EXPECT_EQ(Text(dialog, 1012), "1e+39");
  }
  // The module and the shift derived from a reference diameter and a span are refused the same way,
  // before they reach their boxes: 3e38 over 0 teeth, and a shift of about 1e77 from a module of 1e-38.
  for (const auto& [teeth, module, d_u, span] : {std::tuple{"0", "1", "3e38", "0"},
                                                 std::tuple{"20", "1e-38", "0", "3e38"}}) {
    services.messages.clear();
    SetText(dialog, 1003, teeth);
    SetText(dialog, 1006, module);
    SetText(dialog, 1017, d_u);
    SetText(dialog, 1016, span);
    SetText(dialog, 1021, "3");
    qobject_cast<QPushButton*>(dialog.control(1029))->click();
    EXPECT_EQ(services.messages, std::vector<std::u16string>{GearSizeOutOfRangeMessage()}) << teeth;
    EXPECT_EQ(Text(dialog, 1006), module);
    EXPECT_EQ(Text(dialog, 1008), "0");
  }
  services.messages.clear();
  SetText(dialog, 1003, "20");
  SetText(dialog, 1006, "2");
  SetText(dialog, 1016, "0");
  SetText(dialog, 1017, "0");
  qobject_cast<QPushButton*>(dialog.control(1029))->click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(dialog.d, 40.0);
  EXPECT_GT(dialog.Pts, 2);
  qobject_cast<QPushButton*>(dialog.control(1001))->click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_FALSE(doc->sketch.empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(GearDialogDrawTest, EnterDrawsAndClosesEvenAfterAFailure) {
  GearDialog dialog(GearDialog::Language::Japanese);
  SetText(dialog, 1009, "0");
  dialog.show();
  dialog.control(1003)->setFocus();
  QTest::keyClick(&dialog, Qt::Key_Return);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0], ToleranceTooSmallMessage()) << "Chinese in the Japanese dialog too";
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(doc->sketch.empty());
}

// Whatever the user types into any field of either version, Draw either refuses it with a message or
// draws; it never crashes or hangs. Each entry starts from the stored settings of the first opening.
TEST_F(GearDialogDrawTest, DrawRefusesOrDrawsWhateverIsTyped) {
  const char* const texts[] = {"0",  "-0",           "-1", "1e38", "-1e38", "3.5e38", "1e-30", "0.0000001",
                               "999999999999", "", ".", "-", "1e", "nan", "inf"};
  const std::filesystem::path saved = root.string() + ".saved";
  { GearDialog first(GearDialog::Language::Chinese); first.SaveSettings(); }
  std::filesystem::remove_all(saved);
  std::filesystem::copy(root, saved, std::filesystem::copy_options::recursive);
  for (const auto language : {GearDialog::Language::Chinese, GearDialog::Language::Japanese}) {
    std::vector<QString> fields;
    {
      GearDialog dialog(language);
      dialog.show();
      for (QLineEdit* e : dialog.findChildren<QLineEdit*>())
        if (e->isVisible() && e->isEnabled() && !e->isReadOnly()) fields.push_back(e->objectName());
    }
    ASSERT_FALSE(fields.empty());
    for (const QString& field : fields) {
      for (const char* text : texts) {
        SCOPED_TRACE(field.toStdString() + " \"" + text + "\"");
        std::filesystem::remove_all(root);
        std::filesystem::copy(saved, root, std::filesystem::copy_options::recursive);
        doc->sketch.clear();
        services.messages.clear();
        GearDialog dialog(language);
        dialog.show();
        dialog.findChild<QLineEdit*>(field)->setText(text);
        qobject_cast<QPushButton*>(dialog.control(1001))->click();
        const bool drawn = dialog.result() == QDialog::Accepted;
        EXPECT_EQ(drawn, !doc->sketch.empty());
        EXPECT_TRUE(drawn || !services.messages.empty()) << "neither drawn nor refused";
      }
    }
  }
}

}  // namespace
}  // namespace tandrel
