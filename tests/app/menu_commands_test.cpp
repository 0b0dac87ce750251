// Menu commands of the main window on the start-up design: open (a good file, a bad one, one stored
// with the geometry manager overridden), save and save as (extension rule, failures reported), the
// report file and printing, units there and back, the report choice and the load-case list, window
// sizes, the geometry manager, the refused measurement, the design search's keeping of the design, and the
// columns of the geometry report on screen, printed and in the report file.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "export_type_form.h"
#include "file_bytes.h"
#include "file_commands.h"
#include "full_disk.h"
#include "iso_rating_input_form.h"
#include "main_window.h"
#include "preferences.h"
#include "print_to_pdf.h"
#include "program.h"
#include "report_columns_check.h"
#include "report_file.h"
#include "results_pane.h"
#include "scripted_modal_services.h"
#include "splash_form.h"
#include "startup.h"
#include "test_support.h"
#include "use_optimized_form.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

using morvell::testing::PrintToPdf;

struct Program : morvell::testing::Program<PrintToPdf> {
  explicit Program(int window_size_step = 0)
      : morvell::testing::Program<PrintToPdf>(morvell::testing::program_design_at_step(window_size_step)) {}
  QStringList messages() const { return scripted.texts(Kind::Message); }
  QStringList modal_texts() const { return scripted.texts(Kind::Modal); }
};

// A design file of the start-up design with some values changed, written by the design writer.
void write_design(const char* name, float module, int32_t mode, uint8_t override_flag) {
  auto d = std::make_unique<DesignData>();
  EXPECT_TRUE(prepare_design_data(*d).ok());
  d->normal_module = module;
  d->face_width[0] = 41.5f;
  d->geometry_manager_mode = mode;
  d->geometry_manager_override = override_flag;
  d->load_case_count = 3;
  for (int k = 1; k < 3; ++k) {
    d->load_case_table[k] = d->load_case_table[0];
    d->load_case_fixed_for[k] = 2;
  }
  copy_text(d->design_file_name, name);
  EXPECT_TRUE(write_design_file(*d).ok());
}

}  // namespace

TEST(FileCommands, OpenReadsTheFileAndSetsTheWindowFromIt) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  write_design("pair.mvl", 3.5f, 1, 0);
  p.scripted.open_answers.push_back({true, "pair.mvl"});
  m.Open1Click();
  ASSERT_TRUE(p.messages().isEmpty()) << p.messages().join("|").toStdString();
  EXPECT_STREQ(d.design_file_name, "pair.mvl");
  EXPECT_FLOAT_EQ(d.face_width[0], 41.5f);
  EXPECT_EQ(d.geometry_manager_mode, 1);  // the module follows the centre distance
  EXPECT_TRUE(m.CheckBoxCentre->isChecked());
  EXPECT_FALSE(m.CheckBoxmodule->isChecked());
  EXPECT_EQ(d.tooth_proportion_mode, 0);
  EXPECT_EQ(m.ListBox1->count(), 3);
  EXPECT_EQ(m.ListBox1->item(2)->text(), "load3");
  EXPECT_EQ(m.ListBox1->currentRow(), 0);
  EXPECT_EQ(m.statusbartextleft->text(), "Filename: pair.mvl");
  EXPECT_TRUE(m.Overide2->isEnabled());
  EXPECT_FALSE(m.Activate1->isEnabled());

  // A file stored with the geometry manager overridden leaves it overridden.
  write_design("overridden.mvl", 3.0f, 1, 1);
  p.scripted.open_answers.push_back({true, "overridden.mvl"});
  m.Open1Click();
  EXPECT_EQ(d.geometry_manager_override, 1);
  EXPECT_EQ(d.geometry_manager_mode, 0);  // module, centre distance and teeth all inputs
  EXPECT_FALSE(m.Overide2->isEnabled());
  EXPECT_TRUE(m.Activate1->isEnabled());
  EXPECT_FALSE(m.CheckBoxmodule->isEnabled());
  EXPECT_FALSE(m.XCheckBox->isEnabled());
  EXPECT_TRUE(m.Z1edit->isEnabled());
  EXPECT_EQ(m.statusbartextmiddle->text(), "Warning : Geometry manager is overidden!");
}

// A file of several load cases: the list shows the first selected, and that is the case rated (not the
// last case of the file, whose load the reader leaves current).
TEST(FileCommands, OpenRatesTheLoadCaseTheListShowsSelected) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  d.rating_enabled = 1;
  {
    auto w = std::make_unique<DesignData>();
    ASSERT_TRUE(prepare_design_data(*w).ok());
    w->load_case_count = 2;
    w->load_case_table[0] = {2500, 200, 40, 10};
    w->load_case_table[1] = {1000, 500, 100, 12};
    w->load_case_fixed_for[0] = w->load_case_fixed_for[1] = 1;
    copy_text(w->design_file_name, "cases.mvl");
    ASSERT_TRUE(write_design_file(*w).ok());
  }
  p.scripted.open_answers.push_back({true, "cases.mvl"});
  m.Open1Click();
  ASSERT_TRUE(p.messages().isEmpty()) << p.messages().join("|").toStdString();
  ASSERT_EQ(m.ListBox1->count(), 2);
  EXPECT_EQ(m.ListBox1->currentRow(), 0);
  EXPECT_EQ(d.current_load_case, 0);
  EXPECT_EQ(d.speed, 2500.0f);
  EXPECT_EQ(d.torque, 200.0f);
  EXPECT_FLOAT_EQ(d.load_cycles_pinion, 60.0f * 2500 * 40);
  EXPECT_FLOAT_EQ(d.load_cycles_wheel, 60.0f * 2500 * 40 * d.teeth[0] / d.teeth[1]);
  ASSERT_EQ(d.rating_valid, 1);
  EXPECT_NEAR(d.pitch_line_velocity, M_PI * d.reference_diameter[0] * 2500 / 60000, 1e-4);
}

TEST(FileCommands, OpenThatFailsReportsAndLeavesTheDesignAlone) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  write_bytes("bad.mvl", "14234\r\n2.5\r\nnot-a-number\r\n");
  write_bytes("empty.mvl", "");
  write_bytes("cut.mvl", "14234\r\n2.25");  // "2.250000" cut inside its line
  write_bytes("grade.mvl", [] {
    std::string text = file_bytes(MORVELL_SOURCE_DIR "/data/default_input_file.mvl");
    const std::size_t grade = text.find("\r\n62.000000\r\n0\r\n8\r\n") + 16;  // field 77
    return text.replace(grade, 1, "1000");
  }());
  const auto before = std::make_unique<DesignData>(d);
  const QString status = m.statusbartextleft->text();

  struct Case {
    const char* name;
    const char* message_part;
  };
  for (const Case& c : {Case{"bad.mvl", "bad.mvl"}, Case{"missing.mvl", "Cannot open design file missing.mvl"},
                        Case{"empty.mvl", "Design file empty.mvl not read: the file is empty"},
                        Case{"cut.mvl", "normal module (field 2) \"2.25\" is cut off: the file ends inside it"},
                        Case{"grade.mvl", "accuracy grade (pinion) (field 77) must lie between 0 and 12"}}) {
    p.scripted.clear();
    p.scripted.open_answers.push_back({true, c.name});
    m.Open1Click();
    ASSERT_EQ(p.messages().size(), 1) << c.name;
    EXPECT_TRUE(p.messages()[0].contains(c.message_part)) << p.messages()[0].toStdString();
    EXPECT_EQ(std::memcmp(before.get(), &d, sizeof d), 0) << c.name << ": the design changed";
    EXPECT_EQ(m.statusbartextleft->text(), status);
  }

  // A cancelled dialog does nothing at all.
  p.scripted.clear();
  m.Open1Click();
  EXPECT_EQ(p.scripted.records.size(), 1u);
  EXPECT_EQ(std::memcmp(before.get(), &d, sizeof d), 0);
}

// A file that ends early at a line end opens, with a note that says where it ended.
TEST(FileCommands, OpenOfAFileEndingEarlySaysWhereItEnded) {
  Program p;
  write_design("whole.mvl", 3.5f, 0, 0);
  const std::string whole = file_bytes("whole.mvl");
  write_bytes("early.mvl", whole.substr(0, whole.find("\r\n23\r\n") + 2));  // fields 1 to 12
  p.scripted.open_answers.push_back({true, "early.mvl"});
  p.form().Open1Click();
  EXPECT_EQ(p.messages(), QStringList{"Design file early.mvl ends before field 13, number of teeth (pinion): that "
                                      "field, the fields after it and the load cases keep the values of the design "
                                      "shown before"});
  EXPECT_STREQ(p.design().design_file_name, "early.mvl");
  EXPECT_EQ(p.design().face_width[0], 41.5f);
}

TEST(FileCommands, SaveAsForcesTheExtensionAndSaveWritesUnderTheName) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  struct Case {
    const char* chosen;
    const char* stored;
  };
  for (const Case& c : {Case{"gear", "gear.mvl"}, Case{"gear.txt", "gear.mvl"}, Case{"gear.mvl", "gear.mvl"},
                        Case{"gear.ab", "gear.ab.mvl"}, Case{"ab", "ab.mvl"}}) {
    EXPECT_EQ(force_design_extension(c.chosen), c.stored);
    QFile::remove(c.stored);
    p.scripted.save_answers.push_back({true, c.chosen});
    m.Close1Click();
    EXPECT_STREQ(d.design_file_name, c.stored);
    EXPECT_TRUE(QFile::exists(c.stored)) << c.stored;
  }
  EXPECT_TRUE(p.messages().isEmpty());
  // The dialog offers the current name; the file holds the design.
  p.scripted.clear();
  m.Close1Click();  // cancelled: nothing written, the name stays
  EXPECT_EQ(p.scripted.of(Kind::SaveFile)[0].text, "ab.mvl");
  EXPECT_STREQ(d.design_file_name, "ab.mvl");
  auto back = std::make_unique<DesignData>(d);
  EXPECT_TRUE(read_design_file(*back).ok());
  EXPECT_EQ(design_file_text(*back), design_file_text(d));

  // Save writes the named file again with the design as it is now.
  d.face_width[0] = 33.25f;
  m.Save1Click();
  EXPECT_NE(file_bytes("ab.mvl").find("33.25"), std::string::npos);
  EXPECT_EQ(p.scripted.of(Kind::SaveFile).size(), 1u);  // no dialog for a named design
}

TEST(FileCommands, SaveWithoutANameAsksAndWritesAndFailuresAreReported) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  // After start-up the name begins with the line-feed marker: no file chosen yet.
  ASSERT_EQ(d.design_file_name[0], '\n');
  QFile::remove("first.mvl");
  p.scripted.save_answers.push_back({true, "first"});
  m.Save1Click();
  EXPECT_STREQ(d.design_file_name, "first.mvl");
  EXPECT_TRUE(QFile::exists("first.mvl"));
  EXPECT_FALSE(QFile::exists(QString("\nefault_input_file.mvl")));

  // A file that cannot be written is reported; the name stays.
  p.scripted.clear();
  p.scripted.save_answers.push_back({true, "no-such-folder/gear.mvl"});
  m.Close1Click();
  ASSERT_EQ(p.messages().size(), 1);
  EXPECT_TRUE(p.messages()[0].contains("no-such-folder/gear.mvl")) << p.messages()[0].toStdString();
  EXPECT_STREQ(d.design_file_name, "first.mvl");

  // A name longer than the name buffer is refused, never cut short.
  p.scripted.clear();
  const std::string long_name = std::string(300, 'g') + ".mvl";
  p.scripted.save_answers.push_back({true, QString::fromStdString(long_name)});
  m.Close1Click();
  ASSERT_EQ(p.messages().size(), 1);
  EXPECT_TRUE(p.messages()[0].contains("too long"));
  EXPECT_STREQ(d.design_file_name, "first.mvl");

  // Saving again to a named file whose folder is gone is reported too.
  copy_text(d.design_file_name, "gone/first.mvl");
  p.scripted.clear();
  m.Save1Click();
  EXPECT_EQ(p.messages().size(), 1);
}

// The name written is the name with ".mvl" forced: a different existing file is replaced only when the
// user says so, with Save As and with the first Save of an unnamed design alike.
TEST(FileCommands, SavingUnderAForcedNameAsksBeforeReplacingThatFile) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  for (const bool unnamed_save : {false, true}) {
    SCOPED_TRACE(unnamed_save ? "Save of an unnamed design" : "Save As");
    auto save = [&](const char* chosen) {
      if (unnamed_save) d.design_file_name[0] = '\0';
      p.scripted.save_answers.push_back({true, chosen});
      unnamed_save ? m.Save1Click() : m.Close1Click();
    };
    { std::ofstream("gear.mvl", std::ios::binary | std::ios::trunc) << "the user's other design"; }
    p.scripted.clear();
    save("gear");  // the question is answered No
    ASSERT_EQ(p.scripted.texts(Kind::Question).size(), 1);
    EXPECT_TRUE(p.scripted.texts(Kind::Question)[0].contains("\"gear.mvl\" already exists"));
    EXPECT_EQ(file_bytes("gear.mvl"), "the user's other design");

    p.scripted.clear();
    p.scripted.question_answers.push_back(QMessageBox::Yes);
    save("gear.txt");
    EXPECT_STREQ(d.design_file_name, "gear.mvl");
    EXPECT_EQ(file_bytes("gear.mvl"), design_file_text(*std::make_unique<DesignData>(d)));

    // The name the dialog asked about is not asked about again.
    p.scripted.clear();
    save("gear.mvl");
    EXPECT_TRUE(p.scripted.texts(Kind::Question).isEmpty());
    EXPECT_TRUE(p.messages().isEmpty());
  }
}

// A full disk, and a design the reader would refuse, leave the saved file as it was and are reported.
TEST(FileCommands, SaveThatCannotCompleteKeepsTheOldFileAndSaysSo) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  p.scripted.save_answers.push_back({true, "kept.mvl"});
  m.Close1Click();
  const std::string before = file_bytes("kept.mvl");
  ASSERT_FALSE(before.empty());

  d.face_width[0] = 30.0f;
  {
    const FullDisk full(before.size() / 2);
    p.scripted.clear();
    m.Save1Click();
  }
  // (The refresh after the save may report once that the history file is full as well.)
  ASSERT_FALSE(p.messages().isEmpty());
  EXPECT_TRUE(p.messages()[0].contains("kept.mvl")) << p.messages()[0].toStdString();
  EXPECT_EQ(file_bytes("kept.mvl"), before);

  d.sigma_h_static_pinion = std::numeric_limits<float>::infinity();
  p.scripted.clear();
  m.Save1Click();
  ASSERT_EQ(p.messages().size(), 1);
  EXPECT_TRUE(p.messages()[0].contains("contact static stress (pinion) (field 59)")) << p.messages()[0].toStdString();
  EXPECT_EQ(file_bytes("kept.mvl"), before);
}

// A file its user made read-only is never replaced, although its folder would allow it: each writer of
// the main window says which file it could not write, and the file stays as it was.
TEST(FileCommands, EveryWriterLeavesAReadOnlyFileAsItWasAndNamesIt) {
  Program p;
  TMainForm& m = p.form();
  const auto read_only = [](const char* path, const std::string& bytes) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    write_bytes(path, bytes);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
  };
  const auto writable = [](const char* path) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(path);
  };
  struct Case {
    const char* file;
    std::function<void()> write;  // the command that writes it
    const char* message;
  };
  const Case cases[] = {
      {"kept.mvl", [&] { m.Save1Click(); }, "Cannot write kept.mvl: the file is read-only"},
      {"other.mvl", [&] {
         p.scripted.save_answers.push_back({true, "other.mvl"});
         m.Close1Click();
       }, "Cannot write other.mvl: the file is read-only"},
      {kReportFileName, [&] { m.Report2Click(); }, "Cannot write report.rtf: the file is read-only"},
      {"temp.mvl", [&] { m.RunOptimizer1Click(); },
       "Cannot write temp.mvl: the file is read-only: the design search was not started"},
      {kHistoryFileName, [&] { m.SetMain_textboxes(); }, "Cannot write mvl_hist.dat: the file is read-only"},
      {kPreferenceFileName, [&] { m.FormClose(); },
       "Preferences could not be written to mvl_pref.dat: the file is read-only"},
  };
  copy_text(p.design().design_file_name, "kept.mvl");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    read_only(c.file, "the user's own file");
    p.scripted.clear();
    c.write();
    EXPECT_EQ(p.messages(), QStringList{c.message});
    EXPECT_EQ(file_bytes(c.file), "the user's own file");
    writable(c.file);
  }
  EXPECT_STREQ(p.design().design_file_name, "kept.mvl");
  EXPECT_TRUE(QDir().entryList(QDir::Files | QDir::Hidden).filter(".mvtmp-").isEmpty());
}

TEST(FileCommands, ReportToFileAndToPrinter) {
  Program p;
  TMainForm& m = p.form();
  QFile::remove(kReportFileName);
  // The message names the file written, with its folder: the current directory, wherever that is.
  const QString start = QDir::currentPath();
  ASSERT_TRUE(QDir().mkpath("reports"));
  ASSERT_TRUE(QDir::setCurrent("reports"));
  QFile::remove(kReportFileName);
  m.Report2Click();
  const QString written = QDir::currentPath() + "/" + kReportFileName;
  ASSERT_TRUE(QDir::setCurrent(start));
  EXPECT_EQ(p.messages(), QStringList{"Report sent to file \"" + start + "/reports/report.rtf\" "});
  EXPECT_TRUE(QFile::exists(start + "/reports/report.rtf"));
  EXPECT_FALSE(QFile::exists(kReportFileName));
  const std::string rtf = file_bytes(written.toStdString());
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  // Every plain line of the pane stands in the file, ended by \par, without the blanks before its tabs.
  const ResultsPane pane(m.mainresults);
  int plain_lines = 0;
  for (int i = 0; i < pane.line_count(); ++i) {
    std::string line = pane.line(i);
    if (line.empty() || line.find_first_of("\\{}\x80\xC2\xC3\xCE\xCF") != std::string::npos) continue;
    for (std::size_t at; (at = line.find(" \t")) != std::string::npos;) line.erase(at, 1);
    for (std::size_t at = 0; (at = line.find('\t', at)) != std::string::npos;) line.replace(at, 1, "\\tab ");
    ++plain_lines;
    EXPECT_NE(rtf.find(line + "\\par\r\n"), std::string::npos) << line;
  }
  EXPECT_GT(plain_lines, 5);
  EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");

  // RTF text: tabs, braces, backslashes and characters beyond ASCII escaped, no blanks before a tab; lines
  // end in \par. The font's name in the document's code page where it has the character, else as Unicode
  // escapes; a font whose characters are all equally wide is of the modern family.
  EXPECT_EQ(rich_text_report("a  \tb{c}\\ \xC3\xA9 \n\xFF\n", {"Courier", 8, true}),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier;}}\r\n\\f0\\fs16 "
            "a\\tab b\\{c\\}\\\\ \\u233? \\par\r\n?\\par\r\n}\r\n");
  EXPECT_EQ(rich_text_report("x\n", {"Caf\xC3\xA9 \xE2\x82\xAC \xE6\x96\x87{;}", 10, false}),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Caf\\'e9 \\'80 \\u25991?;}}\r\n\\f0\\fs20 "
            "x\\par\r\n}\r\n");

  // Printing: a cancelled print dialog prints nothing; a confirmed one prints at 8 points.
  p.scripted.clear();
  QFile::remove("printed.pdf");
  p.scripted.print_answers.push_back(false);
  m.Report3Click();
  EXPECT_FALSE(QFile::exists("printed.pdf"));
  m.Report3Click();
  EXPECT_TRUE(QFile::exists("printed.pdf"));
  EXPECT_EQ(m.mainresults->font().pointSize(), 8);
  EXPECT_TRUE(p.messages().isEmpty());
}

// Every report, saved or printed, ends with its last line: the pane's empty lines after it make neither
// empty paragraphs at the end of report.rtf nor a page of their own (a page with nothing but its number).
TEST(FileCommands, ReportsEndWithTheirLastLine) {
  morvell::testing::Program<morvell::testing::PrintToPdf> p;
  TMainForm& m = p.form();
  p.design().rating_enabled = 1;  // as from the first show on: the rating reports need the rating
  for (auto report :
       {&TMainForm::Geometry1Click, &TMainForm::RatingResults1Click, &TMainForm::RatingDetails1Click}) {
    (m.*report)();
    const ResultsPane pane(m.mainresults);
    int last = pane.line_count() - 1;
    while (last >= 0 && QString::fromStdString(pane.line(last)).trimmed().isEmpty()) --last;
    ASSERT_GE(last, 5);
    const std::string last_line = pane.line(last);
    SCOPED_TRACE("report ending with: " + last_line);

    m.Report2Click();
    const std::string rtf = file_bytes(kReportFileName);
    int paragraphs = 0;
    for (std::size_t at = 0; (at = rtf.find("\\par\r\n", at)) != std::string::npos; at += 6) ++paragraphs;
    EXPECT_EQ(paragraphs, last + 1);  // one per line of the report, its last line last

    QFile::remove("printed.pdf");
    m.Report3Click();
    const std::vector<std::vector<morvell::testing::Row>> pages = morvell::testing::pages_of_pdf("printed.pdf");
    ASSERT_FALSE(pages.empty());
    for (std::size_t k = 0; k < pages.size(); ++k) {
      const bool text = std::any_of(pages[k].begin(), pages[k].end(), [](const morvell::testing::Row& r) {
        return r.size() > 1 || (r.size() == 1 && !QRegularExpression("^[0-9]+$").match(r[0].text).hasMatch());
      });
      EXPECT_TRUE(text) << "page " << k + 1 << " of " << pages.size() << " holds no text";
    }
  }
}

TEST(MenuCommands, UnitsThereAndBack) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  const QString module_metric = m.Moduleedit->text();
  const QString centre_metric = m.Centredistedit->text();
  const std::string stored = design_file_text(d);

  m.English1Click();
  EXPECT_EQ(d.unit_system, 2);
  EXPECT_FLOAT_EQ(d.length_unit_factor, 25.4f);
  EXPECT_FLOAT_EQ(d.stress_unit_factor, 0.006895f);
  EXPECT_FLOAT_EQ(d.force_unit_factor, 4.448f);
  EXPECT_EQ(m.Modulelabel->text(), "Diametral Pitch");
  EXPECT_EQ(m.Modulelabel->toolTip(), "Normal Diametral Pitch");
  EXPECT_EQ(m.unitsa->text(), "inch");
  EXPECT_EQ(m.unitsx->text(), ".DP");
  EXPECT_EQ(m.rackaddlabel->toolTip(), "Basic rack addendum multiplied by diametral pitch");
  EXPECT_FALSE(m.dplabel2->isHidden());
  EXPECT_FALSE(m.English1->isEnabled());
  EXPECT_TRUE(m.Metric1->isEnabled());
  EXPECT_NEAR(m.Moduleedit->text().toDouble(), 25.4 / d.normal_module, 1e-3);  // diametral pitch
  EXPECT_NEAR(m.Centredistedit->text().toDouble(), d.centre_distance / 25.4, 1e-3);

  m.Metric1Click();
  EXPECT_EQ(d.unit_system, 1);
  EXPECT_FLOAT_EQ(d.length_unit_factor, 1.0f);
  EXPECT_EQ(m.Modulelabel->text(), "Module");
  EXPECT_EQ(m.Calcracklabel->toolTip(), "Basic rack tooth proportions divided by module");
  EXPECT_EQ(m.unitsprotuberance->text(), "mm");
  EXPECT_EQ(m.unitsrackfilletradius->text(), "/module");
  EXPECT_TRUE(m.dplabel2->isHidden());
  EXPECT_TRUE(m.English1->isEnabled());
  EXPECT_FALSE(m.Metric1->isEnabled());
  EXPECT_EQ(m.Moduleedit->text(), module_metric);
  EXPECT_EQ(m.Centredistedit->text(), centre_metric);
  EXPECT_EQ(design_file_text(d), stored);  // no stored value changed
}

TEST(MenuCommands, ReportChoiceAndLoadCaseList) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  m.RatingDetails1Click();
  EXPECT_EQ(d.report_selection, 2);
  EXPECT_FALSE(m.ListBox1->isHidden());
  m.RatingResults1Click();
  EXPECT_EQ(d.report_selection, 3);
  m.Geometry1Click();
  EXPECT_EQ(d.report_selection, 0);
  EXPECT_TRUE(m.ListBox1->isHidden());

  d.teeth[0] = 23;
  d.teeth[1] = 32;
  d.load_case_count = 3;
  d.load_case_table[0] = {1000, 100, 5, 1};
  d.load_case_table[1] = {1500, 200, 10, 7};
  d.load_case_table[2] = {3000, 300, 20, 9};
  d.load_case_fixed_for[1] = 2;
  m.refill_load_case_list();
  ASSERT_EQ(m.ListBox1->count(), 3);
  EXPECT_EQ(m.ListBox1->item(0)->text(), "load1");

  // The user picks case 2 with the mouse, then case 3 with the keyboard.
  m.ListBox1->setCurrentRow(1);
  m.ListBox1Click();
  EXPECT_EQ(d.current_load_case, 1);
  EXPECT_FLOAT_EQ(d.speed, 1500);
  EXPECT_FLOAT_EQ(d.torque, 200);
  EXPECT_FLOAT_EQ(d.life_hours, 10);
  EXPECT_FLOAT_EQ(d.f_beta_x, 7);
  EXPECT_EQ(d.load_data_fixed_for, 2);
  EXPECT_FLOAT_EQ(d.load_cycles_pinion, 900000);
  EXPECT_FLOAT_EQ(d.load_cycles_wheel, 646875);
  EXPECT_NEAR(d.power, 1500 * 2 * M_PI * 200 / 60, 0.01);
  m.ListBox1->setCurrentRow(2);
  QTest::keyClick(m.ListBox1, Qt::Key_Down);  // the list takes the release of any key
  EXPECT_EQ(d.current_load_case, 2);
  EXPECT_FLOAT_EQ(d.speed, 3000);
}

TEST(MenuCommands, WindowSizesStepWithinTheirRange) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  ASSERT_EQ(d.window_size_step, 0);
  const QSize before = m.size();
  // One step smaller is 1000/1077 of the size (to the rounding of the scale), and back again the size
  // the window had.
  m.Decrease1Click();
  EXPECT_EQ(d.window_size_step, -1);
  EXPECT_NEAR(m.width(), before.width() * 1000.0 / 1077, 2);
  EXPECT_NEAR(m.height(), before.height() * 1000.0 / 1077, 2);
  EXPECT_TRUE(m.Increase1->isEnabled());
  m.Increase1Click();
  EXPECT_EQ(d.window_size_step, 0);
  EXPECT_EQ(m.size(), before);
  EXPECT_FALSE(m.Increase1->isEnabled());
  EXPECT_TRUE(m.Decrease1->isEnabled());
  ASSERT_EQ(p.messages().size(), 2);
  EXPECT_EQ(p.messages()[0],
            "These settings will only take full effect on quality of graphics, text size and all windows when the "
            "program is re-started");
  m.Increase1Click();  // at step 0: nothing but the item
  EXPECT_EQ(d.window_size_step, 0);
  EXPECT_EQ(p.messages().size(), 2);

  d.window_size_step = -2;
  m.Decrease1Click();
  EXPECT_EQ(d.window_size_step, -3);
  EXPECT_FALSE(m.Decrease1->isEnabled());
  EXPECT_TRUE(m.Increase1->isEnabled());
  m.Decrease1Click();
  EXPECT_EQ(d.window_size_step, -3);
}

TEST(MenuCommands, GeometryManagerOverrideActivateAndTheCommandsThatKeepIt) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  m.Overide2Click();
  EXPECT_EQ(d.geometry_manager_override, 1);
  EXPECT_EQ(d.geometry_manager_mode, 0);
  EXPECT_EQ(p.modal_texts().join("|"),
            "Geometry manager will be overidden.\nModule, centre distance and # of teeth are all input.\n"
            "Geometry compatible with centre distance must be entered.");
  EXPECT_FALSE(m.Overide2->isEnabled());
  EXPECT_TRUE(m.Activate1->isEnabled());
  EXPECT_FALSE(m.Tooth_prop->isEnabled());
  EXPECT_FALSE(m.Backlashedit->isEnabled());
  EXPECT_TRUE(m.Centredistedit->isEnabled());
  EXPECT_TRUE(m.Moduleedit->isEnabled());
  EXPECT_TRUE(m.Z1edit->isEnabled());
  EXPECT_EQ(m.statusbartextmiddle->text(), "Warning : Geometry manager is overidden!");

  // Tolerancing leaves the manager as it was.
  m.Tolerancing1Click();
  EXPECT_EQ(d.geometry_manager_override, 1);
  EXPECT_EQ(d.geometry_manager_mode, 0);

  p.scripted.clear();
  m.Activate1Click();
  EXPECT_EQ(d.geometry_manager_override, 0);
  EXPECT_EQ(p.modal_texts().join("|"),
            "Geometry manager will be activated.\nModule, centre distance and number of teeth\n"
            "will be checked for compatibility");
  EXPECT_TRUE(m.Overide2->isEnabled());
  EXPECT_FALSE(m.Activate1->isEnabled());
  EXPECT_TRUE(m.CheckBoxmodule->isChecked());
  EXPECT_FALSE(m.CheckBoxCentre->isChecked());
  p.scripted.clear();
  m.Activate1Click();  // already active: nothing
  EXPECT_TRUE(p.scripted.records.empty());

  // Measurement over balls is refused while the module follows the centre distance.
  for (int units : {1, 2}) {
    p.scripted.clear();
    d.geometry_manager_mode = 1;
    d.plot_zoom = 3;
    units == 2 ? m.English1Click() : m.Metric1Click();
    d.geometry_manager_mode = 1;
    m.MeasurementOverBalls1Click();
    EXPECT_EQ(p.modal_texts().join("|"), units == 2 ? "To be able to set measurement over balls Diametral Pitch must be "
                                                   "fixed\n\n "
                                                 : "To be able to set measurement over balls module must be fixed\n\n ");
    EXPECT_FLOAT_EQ(d.plot_zoom, 3);
  }

  p.scripted.clear();
  m.TE1Click();
  EXPECT_EQ(p.messages(), QStringList{"Transmission error calculations under development"});
}

TEST(MenuCommands, DesignSearchKeepsTheDesignAndRestoresIt) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  copy_text(d.design_file_name, "mine.mvl");
  d.protuberance[0] = 0.1f;
  QFile::remove("temp.mvl");
  m.RunOptimizer1Click();
  // The design was kept in temp.mvl, the protuberance warning shown once, and without a search result
  // the design read back, protuberance included.
  EXPECT_TRUE(QFile::exists("temp.mvl"));
  EXPECT_EQ(p.modal_texts(), QStringList{"Protuberance has been set to zero for optimization\n \n "});
  EXPECT_FLOAT_EQ(d.protuberance[0], 0.1f);
  EXPECT_EQ(d.tooth_proportion_mode, 0);
  EXPECT_STREQ(d.design_file_name, "mine.mvl");

  // Without a protuberance there is no message.
  p.scripted.clear();
  d.protuberance[0] = 0;
  m.RunOptimizer1Click();
  EXPECT_TRUE(p.modal_texts().isEmpty());
}

TEST(MenuCommands, TheCommandsAreEnabledButTheComponentPlot) {
  Program p;
  TMainForm& m = p.form();
  for (QAction* a : {m.Open1, m.Save1, m.Close1, m.Report2, m.Report3, m.Exportprofilecoords1, m.Geometry1,
                     m.RatingResults1, m.RatingDetails1, m.TE1, m.Overide2})
    EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_FALSE(m.Componentplot1->isEnabled());
}

TEST(MenuCommands, RatingInputDataRefillsTheLoadCasesAndTakesTheFirst) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  TISO_rating_input_form rating(d);
  ISO_rating_input_form = &rating;
  // The window's load-case work is stood in for by its scripted action: two cases are left behind.
  p.scripted.modal_actions["ISO_rating_input_form"].push_back([&d](QDialog&) {
    d.load_case_count = 2;
    d.load_case_table[0] = {1500, 120, 10, 3};
    d.load_case_table[1] = {900, 80, 20, 5};
    d.load_case_fixed_for[0] = 1;
    return int(QDialog::Accepted);
  });
  d.speed = 1;
  d.current_load_case = 1;
  m.InputData1Click();
  ISO_rating_input_form = nullptr;
  ASSERT_EQ(p.scripted.of(Kind::Modal).size(), 1u);
  EXPECT_EQ(p.scripted.of(Kind::Modal)[0].caption, "Gear Rating Inputs");
  EXPECT_EQ(m.ListBox1->count(), 2);
  EXPECT_EQ(m.ListBox1->currentRow(), 0);
  EXPECT_EQ(d.current_load_case, 0);
  EXPECT_FLOAT_EQ(d.speed, 1500);
  EXPECT_FLOAT_EQ(d.torque, 120);
  EXPECT_FLOAT_EQ(d.load_cycles_pinion, 900000);
  EXPECT_TRUE(m.InputData1->isEnabled());
}

TEST(MenuCommands, SearchWithoutAPickKeepsTheDesignWhateverTheAnswerAndAboutShowsTheSplash) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  Tuseoptimizedform question(d);
  useoptimizedform = &question;
  Tsplashform splash(d);
  splashform = &splash;

  // A search ran but no design was picked in it: "Use new" has nothing to take, so the design kept
  // before the search is read back (its protuberance included) and the user is told.
  copy_text(d.design_file_name, "mine.mvl");
  d.protuberance[1] = 0.2f;
  d.search_results_ready = 1;
  p.scripted.modal_actions["useoptimizedform"].push_back([](QDialog& w) {
    QTest::mouseClick(static_cast<Tuseoptimizedform&>(w).Button1, Qt::LeftButton);
    return int(QDialog::Accepted);
  });
  m.RunOptimizer1Click();
  EXPECT_EQ(d.use_optimized_design, 0);
  EXPECT_EQ(d.tooth_proportion_mode, 0);
  EXPECT_FLOAT_EQ(d.protuberance[1], 0.2f);
  EXPECT_EQ(p.modal_texts(), QStringList({"Protuberance has been set to zero for optimization\n \n ",
                                       "Original geometry can be restored or \ngeometry from design search used ",
                                       "No design was picked in the design search\n"
                                       "The original design has been restored\n "}));
  EXPECT_STREQ(d.design_file_name, "mine.mvl");

  // "Restore original" reads the design kept before the search.
  p.scripted.modal_actions["useoptimizedform"].push_back([](QDialog& w) {
    QTest::mouseClick(static_cast<Tuseoptimizedform&>(w).OKbutton, Qt::LeftButton);
    return int(QDialog::Accepted);
  });
  d.protuberance[1] = 0.3f;
  m.RunOptimizer1Click();
  EXPECT_EQ(d.use_optimized_design, 0);
  EXPECT_FLOAT_EQ(d.protuberance[1], 0.3f);
  EXPECT_EQ(d.tooth_proportion_mode, 0);

  p.scripted.clear();
  d.splash_mode = 0;
  m.About1Click();
  EXPECT_EQ(d.splash_mode, 1);
  ASSERT_EQ(p.scripted.of(Kind::Modal).size(), 1u);
  EXPECT_TRUE(m.About1->isEnabled());
  splashform = nullptr;
  useoptimizedform = nullptr;
}

// --- The columns of the geometry report ---
//
// Whatever the window size, the unit system or the device, the values of every row stand at the x position
// of their heading (PINION, WHEEL) or, for a row with one value, in one pair column between them: on
// screen (measured in the pane's own text layout), printed into a PDF file (measured by poppler's
// pdftotext) and in report.rtf (the tab stops of its paragraphs).

namespace {

// Rows of the report with two values (teeth, reference diameter, addendum modification, ball diameter,
// span teeth, working pitch diameter) and with one (module or diametral pitch, centre distance, contact
// ratio, working transverse pressure angle).
constexpr int kTwoValueRows[] = {1, 6, 7, 22, 23, 25, 46, 65};
constexpr int kOneValueRows[] = {2, 12, 27, 48};

// The x positions, in the pane's layout, where the texts after the runs of tabs of a line begin.
std::vector<double> field_starts(const QTextBlock& block) {
  std::vector<double> starts;
  const QString text = block.text();
  const QTextLine line = block.layout()->lineAt(0);
  for (int i = 1; i < text.size(); ++i)
    if (text[i - 1] == QChar('\t') && text[i] != QChar('\t')) starts.push_back(line.cursorToX(i));
  return starts;
}

}  // namespace

TEST(ReportColumns, OnScreenAtEveryStepInBothUnitSystems) {
  for (int unit_system : {1, 2}) {
    for (int step : {0, -1, -2, -3}) {
      SCOPED_TRACE(::testing::Message() << "units " << unit_system << " step " << step);
      Program p(step);
      if (unit_system == 2) p.form().English1Click();
      QTextDocument* doc = p.form().mainresults->document();
      doc->documentLayout()->documentSize();  // lays out every line
      const std::vector<double> heads = field_starts(doc->findBlockByNumber(0));
      ASSERT_EQ(heads.size(), 2u);
      ASSERT_TRUE(doc->findBlockByNumber(0).text().contains("PINION"));
      for (int row : kTwoValueRows) {
        const std::vector<double> x = field_starts(doc->findBlockByNumber(row));
        ASSERT_EQ(x.size(), 2u) << row;
        EXPECT_NEAR(x[0], heads[0], 0.5) << doc->findBlockByNumber(row).text().toStdString();
        EXPECT_NEAR(x[1], heads[1], 0.5) << doc->findBlockByNumber(row).text().toStdString();
      }
      std::vector<double> pair;
      for (int row : kOneValueRows) {
        const std::vector<double> x = field_starts(doc->findBlockByNumber(row));
        ASSERT_EQ(x.size(), 1u) << row;
        pair.push_back(x[0]);
      }
      for (double x : pair) EXPECT_NEAR(x, pair[0], 0.5);
      EXPECT_GT(pair[0], heads[0] + 10);
      EXPECT_LT(pair[0], heads[1] - 10);
    }
  }
}

TEST(ReportColumns, PrintedPageAndReportFile) {
  Program p;
  QFile::remove("printed.pdf");
  p.form().Report3Click();
  ASSERT_TRUE(QFile::exists("printed.pdf"));
  ASSERT_EQ(std::system("pdftotext -bbox printed.pdf columns.html"), 0) << "poppler-utils is needed";
  // The words of the page by line (their common top), each with its left edge. (The PDF may join "fi"
  // into one ligature: words are matched by their beginning.)
  const QString html = QString::fromStdString(file_bytes("columns.html"));
  const QRegularExpression word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
  std::map<double, std::vector<std::pair<QString, double>>> rows;
  for (auto m = word.globalMatch(html); m.hasNext();) {
    const auto w = m.next();
    rows[w.captured(2).toDouble()].push_back({w.captured(3), w.captured(1).toDouble()});
  }
  const auto row_with = [&](const QString& first, const QString& second) {
    for (const auto& [top, words] : rows)
      if (words.size() >= 2 && words[0].first == first && words[1].first.startsWith(second)) return words;
    ADD_FAILURE() << "no printed line begins " << first.toStdString() << " " << second.toStdString();
    return std::vector<std::pair<QString, double>>{};
  };
  const auto heads = row_with("PINION", "WHEEL");
  ASSERT_EQ(heads.size(), 2u);
  for (const auto& [first, second] : {std::pair<QString, QString>{"Number", "of"}, {"Addendum", "Modi"},
                                      {"Ball", "Diameter"}, {"Reference", "Diameter"}}) {
    const auto words = row_with(first, second);
    ASSERT_GE(words.size(), 4u);
    EXPECT_NEAR(words[words.size() - 2].second, heads[0].second, 0.5) << first.toStdString();
    EXPECT_NEAR(words.back().second, heads[1].second, 0.5) << first.toStdString();
  }
  const double pair = row_with("Centre", "Distance").back().second;
  EXPECT_NEAR(row_with("Normal", "Module").back().second, pair, 0.5);
  EXPECT_GT(pair, heads[0].second);
  EXPECT_LT(pair, heads[1].second);

  // report.rtf: each line a paragraph whose last tab stops are its columns.
  p.form().Report2Click();
  const std::string rtf = file_bytes(kReportFileName);
  const auto stops_of = [&](const std::string& text) {
    const std::size_t at = rtf.find(text);
    EXPECT_NE(at, std::string::npos) << text;
    const std::size_t start = rtf.rfind("\\pard", at);
    std::vector<int> stops;
    for (std::size_t t = rtf.find("\\tx", start); t != std::string::npos && t < at; t = rtf.find("\\tx", t + 3))
      stops.push_back(std::atoi(rtf.c_str() + t + 3));
    return stops;
  };
  // The n-th tab of a line goes to its n-th stop: the stops that the tabs before each value reach.
  const std::vector<int> head_stops = stops_of("PINION");  // four tabs before PINION, two before WHEEL
  ASSERT_EQ(head_stops.size(), 6u);
  const int pinion = head_stops[3], wheel = head_stops[5];
  struct Row {
    const char* line;
    std::size_t pinion_tab, wheel_tab;
  };
  for (const Row& r : {Row{" Number of Teeth\\tab", 2, 4}, Row{" Addendum Modification Coeff.\\tab", 0, 2},
                       Row{" Ball Diameter (mm)\\tab", 2, 3}}) {
    const std::vector<int> s = stops_of(r.line);
    ASSERT_GT(s.size(), r.wheel_tab) << r.line;
    EXPECT_EQ(s[r.pinion_tab], pinion) << r.line;
    EXPECT_EQ(s[r.wheel_tab], wheel) << r.line;
  }
  const int pair_stop = stops_of(" Centre Distance (mm)\\tab")[2];
  EXPECT_EQ(stops_of(" Normal Module (mm)\\tab")[2], pair_stop);
  EXPECT_GT(pair_stop, pinion);
  EXPECT_LT(pair_stop, wheel);
}
