// The modal services of the running program: real Qt message boxes and dialogs.
#pragma once

#include <memory>

#include "modal_services.h"

class QFileDialog;
class QPrintDialog;

namespace morvell::forms {

// The system's dialogs as the services make them, each fitted to its screen whenever it is shown
// (fit_to_screen_when_shown): the file dialog of Open or Save (`save`), the print dialog and a message
// box with the given buttons.
std::unique_ptr<QFileDialog> make_file_dialog(QWidget* parent, const FileDialogSettings& settings, bool save);
std::unique_ptr<QPrintDialog> make_print_dialog(QWidget* parent, QPrinter& printer);
std::unique_ptr<QMessageBox> make_message_box(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                              const QString& text, QMessageBox::StandardButtons buttons);

class QtModalServices : public ModalServices {
 public:
  void message(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  QMessageBox::StandardButton question(QWidget* parent, const QString& caption, const QString& text,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton default_button) override;
  FileDialogResult open_file(QWidget* parent, const FileDialogSettings& settings) override;
  FileDialogResult save_file(QWidget* parent, const FileDialogSettings& settings) override;
  bool print_setup(QWidget* parent, QPrinter& printer) override;
  int show_modal(QDialog& dialog) override;
};

}  // namespace morvell::forms
