// Every modal interaction of the program goes through one services object: message boxes, questions,
// file dialogs, the print dialog and windows shown modally (the warning dialog and every sub-window).
// The program installs the Qt implementation; tests install a scripted one that answers from a script
// and never blocks.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace morvell::forms {

enum class MessageIcon { None, Information, Warning, Error };

// What a file dialog shows. `filter` is in Qt's form ("Morvell files (*.mvl);;All files (*.*)");
// filter_from_pairs converts the "text|pattern|text|pattern" form.
struct FileDialogSettings {
  QString title;
  QString filter;
  QString default_suffix;    // appended when the chosen name has none ("mvl")
  QString initial_name;      // the name the dialog holds when it opens
  QString directory;         // the folder it opens in (empty: the one the last file dialog was left in)
  bool confirm_overwrite = true;
  bool hide_read_only = false;
};

// A dialog's answer. On a cancel `name` is the name the dialog held before it opened, as the form
// library's dialogs return it.
struct FileDialogResult {
  bool accepted = false;
  QString name;
};

class ModalServices {
 public:
  virtual ~ModalServices() = default;

  // A message box with one OK button.
  virtual void message(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;

  // A question with the given buttons; returns the button chosen (the escape button when closed).
  virtual QMessageBox::StandardButton question(QWidget* parent, const QString& caption, const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton default_button) = 0;

  virtual FileDialogResult open_file(QWidget* parent, const FileDialogSettings& settings) = 0;
  virtual FileDialogResult save_file(QWidget* parent, const FileDialogSettings& settings) = 0;

  // The print dialog for `printer`; true when the user confirmed.
  virtual bool print_setup(QWidget* parent, QPrinter& printer) = 0;

  // Shows `dialog` modally and returns its result code (QDialog::Accepted, Rejected or the value
  // passed to done()).
  virtual int show_modal(QDialog& dialog) = 0;
};

// The installed services; the Qt implementation when nothing else was installed.
ModalServices& services();

// Installs `s` (nullptr restores the Qt implementation) and returns the one installed before, or
// nullptr when that was the Qt implementation. The caller keeps ownership.
ModalServices* install_services(ModalServices* s);

// Installs services for the lifetime of a scope (tests).
class ScopedServices {
 public:
  explicit ScopedServices(ModalServices& s) : previous_(install_services(&s)) {}
  ~ScopedServices() { install_services(previous_); }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  ModalServices* previous_;
};

// Converts "Morvell files (*.mvl)|*.mvl|All files (*.*)|*.*" into Qt's "text;;text" filter.
QString filter_from_pairs(const QString& pairs);

}  // namespace morvell::forms
