// The modal services of the running program: real Qt message boxes and dialogs.
#pragma once

#include "modal_services.h"

namespace morvell::forms {

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
