// File commands of the main window: open, save, save as, the report to a file and to the printer, and
// the design-space search, which keeps the design in memory (and writes it to "temp.mvl") while it runs.
#include "file_commands.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cstring>
#include <sys/stat.h>
#include <memory>
#include <vector>

#include "design_file.h"
#include "edit_fields.h"
#include "field_events.h"
#include "file_names.h"
#include "geometry_manager_refusal.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "modal_services.h"
#include "report_columns.h"
#include "report_file.h"
#include "results_pane.h"

namespace morvell {

namespace {

QString app_title() { return QGuiApplication::applicationDisplayName(); }

void report_problem(QWidget* parent, const std::string& text) {
  forms::services().message(parent, app_title(), shown_text(text), forms::MessageIcon::Warning);
}

void set_enabled(std::initializer_list<QWidget*> controls, bool enabled) {
  for (QWidget* c : controls) c->setEnabled(enabled);
}

QString current_name(const DesignData& d) {
  return design_file_unnamed(d) ? QString() : dialog_path(d.design_file_name);
}

// A file dialog of the main window, opened in the start folder.
forms::FileDialogSettings& in_start_folder(forms::FileDialogSettings& settings) {
  settings.directory = dialog_folder();
  return settings;
}

constexpr const char* kSearchKeepFileName = "temp.mvl";

// The file a name chosen in the save dialog is written to, with its extension forced to ".mvl"; empty
// when that is another file than the one the dialog asked about, it exists, and the user does not want
// it replaced.
std::string name_to_write(QWidget* parent, const QString& chosen) {
  const std::string asked = local_path(chosen);
  const std::string name = force_design_extension(asked);
  struct stat st {};
  if (name == asked || ::stat(name.c_str(), &st) != 0) return name;
  const auto answer = forms::services().question(
      parent, app_title(), "\"" + shown_text(name) + "\" already exists.\nDo you want to replace it?",
      QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  return answer == QMessageBox::Yes ? name : std::string();
}

}  // namespace

std::string force_design_extension(std::string_view name) {
  std::string s(name);
  if (s.size() < 4 || s[s.size() - 4] != '.') return s + ".mvl";
  s.replace(s.size() - 3, 3, "mvl");
  return s;
}

bool design_file_unnamed(const DesignData& d) {
  return d.design_file_name[0] == '\0' || d.design_file_name[0] == '\n';
}

bool design_file_name_fits(const std::string& path) { return path.size() < sizeof DesignData{}.design_file_name; }

std::string design_file_name_too_long(const std::string& path) { return "The file name is too long: " + path; }

bool save_design_file(DesignData& d, const std::string& path, std::string* error) {
  if (path.empty() || !design_file_name_fits(path)) {
    if (error) *error = "The file name is too long to be kept: the design was not saved to " + path;
    return false;
  }
  // The writer refuses a design it could not read back and replaces the file only by a complete one.
  auto probe = std::make_unique<DesignData>(d);
  probe->history_mode = 0;
  copy_text(probe->design_file_name, path);
  const DesignFileResult r = write_design_file(*probe);
  if (!r.ok()) {
    if (error) *error = r.message;
    return false;
  }
  const uint8_t history_mode = d.history_mode;
  d = *probe;
  d.history_mode = history_mode;
  return true;
}

bool TMainForm::save_design_as(const std::string& path) {
  std::string error;
  if (save_design_file(d_, path, &error)) return true;
  report_problem(this, error);
  return false;
}

// --- Open ---

bool TMainForm::open_design_file(const std::string& path, const std::function<void()>& prepare) {
  if (!design_file_name_fits(path)) {
    report_problem(this, design_file_name_too_long(path));
    return false;
  }
  std::string bytes;
  DesignFileResult checked = read_design_file_bytes(path, bytes);
  if (checked.ok()) {
    auto probe = std::make_unique<DesignData>(d_);
    checked = read_design_text(*probe, bytes, path);
  }
  if (!checked.ok()) {
    report_problem(this, checked.message);
    return false;
  }
  if (prepare) prepare();
  // The bytes checked, not the file again: it may have changed in between.
  const DesignFileResult read = read_design_text(d_, bytes, path);
  if (!read.ok()) {
    report_problem(this, read.message);
    return false;
  }
  copy_text(d_.design_file_name, path);
  if (!read.note.empty())
    forms::services().message(this, app_title(), shown_text(read.note),
                              forms::MessageIcon::Information);
  return true;
}

void TMainForm::Open1Click() {
  const forms::FileDialogResult chosen = forms::services().open_file(this, in_start_folder(OpenDialog1));
  if (!chosen.accepted || chosen.name.isEmpty()) return;
  OpenDialog1.initial_name = chosen.name;

  // The boxes follow the modes quietly: their click handlers would refresh the design being replaced, and
  // the closing refresh works out the design read with the modes set here.
  const bool opened = open_design_file(local_path(chosen.name), [this] {
    // An overridden geometry manager is activated first.
    if (d_.geometry_manager_override == 1) {
      Overide2->setEnabled(true);
      Activate1->setEnabled(false);
      d_.geometry_manager_override = 0;
      forms::set_checked_quietly(CheckBoxmodule, true);
      forms::set_checked_quietly(CheckBoxCentre, false);
      set_enabled({CheckBoxmodule, CheckBoxCentre, RatioCheckBox, Z1edit, Z2edit, Backlashedit, backlashtrackbar,
                   XCheckBox},
                  true);
      sigmaXCheckBox->setEnabled(false);
      d_.geometry_manager_mode = 0;
    }

    // The modes the design file does not hold.
    d_.tooth_proportion_mode = 0;
    Tooth_prop->setCurrentIndex(0);
    d_.allow_tip_diameter_reduction = 0;
    d_.ratio_fixed = 1;
    d_.shift_distribution_auto = 0;
    forms::set_checked_quietly(tipdiaredcheckbox, true);
    forms::set_checked_quietly(RatioCheckBox, true);
    forms::set_checked_quietly(sigmaXCheckBox, false);
    forms::set_checked_quietly(XCheckBox, false);
    set_enabled({ha1rackedit, ha2rackedit, hf1rackedit, hf2rackedit, rho1rackedit, rho2rackedit, Pintipdiaedit,
                 Wheeltipdiaedit, Pinrootdiaedit, Wheelrootdiaedit, Pinfilletedit, Wheelfilletedit, Pressureangleedit},
                true);
  });
  if (!opened) return;

  refill_load_case_list();

  // Lock boxes from the mode read, set quietly: their click handlers derive the mode from the boxes one at
  // a time, each with a refresh, and on the way from the window's mode to the file's would pass through a
  // mode the file does not hold (module and centre distance both fixed: other numbers of teeth).
  const int32_t mode = d_.geometry_manager_mode;
  if (mode >= 0 && mode <= 2) {
    forms::set_checked_quietly(CheckBoxCentre, mode == 1 || mode == 2);
    forms::set_checked_quietly(CheckBoxmodule, mode == 0 || mode == 2);
  }

  if (d_.geometry_manager_override == 1) {  // stored overridden
    Overide2->setEnabled(false);
    Activate1->setEnabled(true);
    forms::set_checked_quietly(CheckBoxmodule, true);  // the mode it can no longer change
    forms::set_checked_quietly(CheckBoxCentre, false);
    d_.geometry_manager_mode = 0;
    set_enabled({CheckBoxmodule, CheckBoxCentre, Backlashedit, backlashtrackbar, Tooth_prop}, false);
    set_enabled({RatioCheckBox, Z1edit, Z2edit}, true);
    forms::set_checked_quietly(XCheckBox, false);
    XCheckBox->setEnabled(false);
  }

  closing_refresh();
}

// --- Save, Save As ---

void TMainForm::Save1Click() {
  if (design_file_unnamed(d_)) {
    // A design without a name is saved as Save As would save it once the user has named it.
    const forms::FileDialogResult chosen = forms::services().save_file(this, in_start_folder(SaveDialog1));
    if (chosen.accepted && !chosen.name.isEmpty()) {
      SaveDialog1.initial_name = chosen.name;
      if (const std::string name = name_to_write(this, chosen.name); !name.empty()) save_design_as(name);
    }
  } else {
    save_design_as(d_.design_file_name);  // the name as the system has it, byte for byte
  }
  SetMain_textboxes();
}

void TMainForm::Close1Click() {
  SaveDialog1.initial_name = current_name(d_);
  const forms::FileDialogResult chosen = forms::services().save_file(this, in_start_folder(SaveDialog1));
  if (chosen.accepted && !chosen.name.isEmpty()) {
    if (const std::string name = name_to_write(this, chosen.name); !name.empty()) save_design_as(name);
  }
  closing_refresh();
}

// --- Reports ---

void TMainForm::Report2Click() {
  const ResultsPane pane(mainresults);
  QFont font = mainresults->document()->defaultFont();
  const int points = font.pointSize() > 0 ? font.pointSize() : 8;
  font.setPointSize(points);
  // The report takes its columns along as tab stops of each line.
  const std::string report = pane.report_text();
  const std::vector<std::vector<int>> tab_stops =
      report_tab_stops_in_twips(QString::fromStdString(report).split('\n'), font);
  const QFontInfo face(font);  // the face the columns were measured in, as the system resolved the family
  const std::string bytes =
      rich_text_report(report, {face.family().toStdString(), points, face.fixedPitch()}, tab_stops);
  std::string error;
  if (write_text_file(kReportFileName, bytes, &error, WriteTarget::fixed)) {
    // The file as it was written, with its folder (the current directory) named by its bytes.
    const QString path = shown_text(current_folder() + "/" + kReportFileName);
    forms::services().message(this, app_title(), "Report sent to file \"" + path + "\" ",
                              forms::MessageIcon::Information);
  } else {
    report_problem(this, error);
  }
}

void TMainForm::Report3Click() {
  QPrinter printer;
  if (!forms::services().print_setup(this, printer)) return;  // cancelled: nothing is printed
  QFont font = mainresults->font();
  font.setPointSize(8);
  mainresults->setFont(font);
  mainresults->document()->setDefaultFont(font);
  printer.setDocName(QString());
  // The copy that is printed holds the report's lines (not the pane's empty ones after them, which would
  // fill pages of their own) and is laid out for the printer: the report's columns are measured in the
  // printer's metrics.
  const std::unique_ptr<QTextDocument> printed(mainresults->document()->clone());
  {
    const int lines = ResultsPane(mainresults).report_line_count();
    QTextCursor rest(printed.get());
    if (lines > 0) {
      rest = QTextCursor(printed->findBlockByNumber(lines - 1));
      rest.movePosition(QTextCursor::EndOfBlock);
    }
    rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    rest.removeSelectedText();
  }
  printed->documentLayout()->setPaintDevice(&printer);
  lay_out_report_columns(printed.get(), &printer);
  printed->print(&printer);
  if (printer.printerState() == QPrinter::Error) report_problem(this, "The report could not be printed");
  SetMain_textboxes();
}

// --- Design-space search ---

void TMainForm::RunOptimizer1Click() {
  // Every candidate is built by the geometry manager: an overridden one is refused, with nothing changed.
  if (refuse_overridden_geometry_manager(d_)) {
    closing_refresh();
    return;
  }

  // The design as it is goes to "temp.mvl" in the current directory, and a copy of it stays in memory:
  // "Restore original" takes the copy, since every copy of the program started in this folder writes
  // the same temp.mvl. A design that cannot be written there is reported and the search not started.
  char kept_name[sizeof d_.design_file_name];
  std::memcpy(kept_name, d_.design_file_name, sizeof kept_name);
  copy_text(d_.design_file_name, kSearchKeepFileName);
  const DesignFileResult kept = write_design_file(d_, WriteTarget::fixed);
  if (!kept.ok()) {
    std::memcpy(d_.design_file_name, kept_name, sizeof kept_name);
    report_problem(this, kept.message + ": the design search was not started");
    closing_refresh();
    return;
  }
  const auto original = std::make_unique<DesignData>(d_);

  d_.tooth_proportion_mode = 2;
  Tooth_prop->setCurrentIndex(2);
  pinwheelcheckbox->setEnabled(true);
  pinwheelcheckbox->setChecked(false);
  const std::initializer_list<QWidget*> proportion_edits = {
      ha1rackedit,    ha2rackedit,      hf1rackedit,   hf2rackedit,     rho1rackedit,  rho2rackedit,
      Pintipdiaedit, Wheeltipdiaedit, Pinrootdiaedit, Wheelrootdiaedit, Pinfilletedit, Wheelfilletedit};
  set_enabled(proportion_edits, false);
  d_.keep_pinion_wheel_same = 0;

  if (d_.protuberance[0] != 0 || d_.protuberance[1] != 0) {
    warn(d_, "Protuberance has been set to zero for optimization", " ", " ");
    d_.protuberance[0] = 0;
    d_.protuberance[1] = 0;
  }

  show_design_search_window();
  // Only a design the user picked can replace theirs: after a search the design data holds whatever
  // record the window read last.
  std::unique_ptr<DesignData> picked;
  if (const DesignData* in_window = picked_search_design()) picked = std::make_unique<DesignData>(*in_window);
  d_.geometry_manager_mode = 1;  // centre distance fixed, module follows

  if (d_.search_results_ready == 1)
    show_use_optimized_question();
  else
    d_.use_optimized_design = 0;

  const bool nothing_picked = d_.use_optimized_design == 1 && !picked;
  if (d_.use_optimized_design == 1 && picked) {
    // The record as the listing shows it: its own shifts, whichever split gave them, with the centre
    // distance fixed and the module following. The boxes show that state, set quietly: the closing
    // refresh reads them back into the design, and a box left as before (the shift estimate checked)
    // would split the shift sum afresh.
    d_ = *picked;
    d_.use_optimized_design = 1;
    d_.geometry_manager_mode = 1;
    d_.shift_distribution_auto = 0;
    forms::set_checked_quietly(XCheckBox, false);
    forms::set_checked_quietly(CheckBoxCentre, true);
    forms::set_checked_quietly(CheckBoxmodule, false);
  } else {
    d_.use_optimized_design = 0;
  }

  if (d_.use_optimized_design == 0) {
    // The design before the search, with the split of the shift sum the search switched to automatic.
    restore_design_values(d_, *original);
    d_.shift_distribution_auto = original->shift_distribution_auto;
    d_.tooth_proportion_mode = 0;
    Tooth_prop->setCurrentIndex(0);
    pinwheelcheckbox->setChecked(true);
    set_enabled(proportion_edits, true);
  }
  if (nothing_picked)
    warn(d_, "No design was picked in the design search", "The original design has been restored", " ");

  std::memcpy(d_.design_file_name, kept_name, sizeof kept_name);
  closing_refresh();
}

}  // namespace morvell
