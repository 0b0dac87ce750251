#include "modal_services.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

#include "qt_modal_services.h"
#include "window_scale.h"

namespace morvell::forms {

namespace {
ModalServices* installed = nullptr;

QtModalServices& qt_services() {
  static QtModalServices s;
  return s;
}

QMessageBox::Icon to_qt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

FileDialogResult run_file_dialog(QWidget* parent, const FileDialogSettings& settings, bool save) {
  const std::unique_ptr<QFileDialog> dialog = make_file_dialog(parent, settings, save);
  FileDialogResult result;
  result.name = settings.initial_name;
  if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
    result.accepted = true;
    result.name = dialog->selectedFiles().first();
  }
  return result;
}
}  // namespace

std::unique_ptr<QFileDialog> make_file_dialog(QWidget* parent, const FileDialogSettings& settings, bool save) {
  auto dialog = std::make_unique<QFileDialog>(parent, settings.title, settings.directory, settings.filter);
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!settings.default_suffix.isEmpty()) dialog->setDefaultSuffix(settings.default_suffix);
  if (!settings.confirm_overwrite) dialog->setOption(QFileDialog::DontConfirmOverwrite);
  if (settings.hide_read_only) dialog->setOption(QFileDialog::ReadOnly, false);
  if (!settings.initial_name.isEmpty()) dialog->selectFile(settings.initial_name);
  fit_to_screen_when_shown(dialog.get());
  return dialog;
}

std::unique_ptr<QPrintDialog> make_print_dialog(QWidget* parent, QPrinter& printer) {
  auto dialog = std::make_unique<QPrintDialog>(&printer, parent);
  fit_to_screen_when_shown(dialog.get());
  return dialog;
}

std::unique_ptr<QMessageBox> make_message_box(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                              const QString& text, QMessageBox::StandardButtons buttons) {
  auto box = std::make_unique<QMessageBox>(icon, caption, text, buttons, parent);
  fit_to_screen_when_shown(box.get());
  return box;
}

ModalServices& services() { return installed ? *installed : qt_services(); }

ModalServices* install_services(ModalServices* s) {
  ModalServices* previous = installed;
  installed = s;
  return previous;
}

QString filter_from_pairs(const QString& pairs) {
  const QStringList parts = pairs.split('|');
  QStringList texts;
  for (int i = 0; i < parts.size(); i += 2) texts << parts[i];
  return texts.join(";;");
}

void QtModalServices::message(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
  make_message_box(parent, to_qt(icon), caption, text, QMessageBox::Ok)->exec();
}

QMessageBox::StandardButton QtModalServices::question(QWidget* parent, const QString& caption,
                                                      const QString& text, QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton default_button) {
  const std::unique_ptr<QMessageBox> box = make_message_box(parent, QMessageBox::Question, caption, text, buttons);
  box->setDefaultButton(default_button);
  return static_cast<QMessageBox::StandardButton>(box->exec());
}

FileDialogResult QtModalServices::open_file(QWidget* parent, const FileDialogSettings& settings) {
  return run_file_dialog(parent, settings, false);
}

FileDialogResult QtModalServices::save_file(QWidget* parent, const FileDialogSettings& settings) {
  return run_file_dialog(parent, settings, true);
}

bool QtModalServices::print_setup(QWidget* parent, QPrinter& printer) {
  return make_print_dialog(parent, printer)->exec() == QDialog::Accepted;
}

int QtModalServices::show_modal(QDialog& dialog) { return dialog.exec(); }

}  // namespace morvell::forms
