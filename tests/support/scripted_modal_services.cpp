#include "scripted_modal_services.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

namespace morvell::forms {

void ScriptedModalServices::message(QWidget*, const QString& caption, const QString& text, MessageIcon icon) {
  records.push_back({Kind::Message, caption, text, icon});
}

QMessageBox::StandardButton ScriptedModalServices::question(QWidget*, const QString& caption, const QString& text,
                                                            QMessageBox::StandardButtons buttons,
                                                            QMessageBox::StandardButton) {
  records.push_back({Kind::Question, caption, text, MessageIcon::None});
  if (!question_answers.empty()) {
    const auto answer = question_answers.front();
    question_answers.pop_front();
    return answer;
  }
  if (buttons & QMessageBox::Cancel) return QMessageBox::Cancel;
  if (buttons & QMessageBox::No) return QMessageBox::No;
  return QMessageBox::Ok;
}

namespace {
FileDialogResult next_answer(std::deque<FileDialogResult>& answers, const FileDialogSettings& settings) {
  FileDialogResult result{false, settings.initial_name};
  if (!answers.empty()) {
    result = answers.front();
    answers.pop_front();
    if (!result.accepted) result.name = settings.initial_name;
  }
  return result;
}
}  // namespace

FileDialogResult ScriptedModalServices::open_file(QWidget*, const FileDialogSettings& settings) {
  records.push_back({Kind::OpenFile, settings.title, settings.initial_name, MessageIcon::None});
  file_dialogs.push_back(settings);
  return next_answer(open_answers, settings);
}

FileDialogResult ScriptedModalServices::save_file(QWidget*, const FileDialogSettings& settings) {
  records.push_back({Kind::SaveFile, settings.title, settings.initial_name, MessageIcon::None});
  file_dialogs.push_back(settings);
  return next_answer(save_answers, settings);
}

bool ScriptedModalServices::print_setup(QWidget*, QPrinter&) {
  records.push_back({Kind::Print, QString(), QString(), MessageIcon::None});
  if (print_answers.empty()) return true;
  const bool answer = print_answers.front();
  print_answers.pop_front();
  return answer;
}

int ScriptedModalServices::show_modal(QDialog& dialog) {
  const std::size_t index = records.size();
  records.push_back({Kind::Modal, dialog.windowTitle(), QString(), MessageIcon::None});
  ModalAction action;
  auto found = modal_actions.find(dialog.objectName());
  if (found != modal_actions.end() && !found->second.empty()) {
    action = found->second.front();
    found->second.pop_front();
  }
  QPointer<QDialog> guard(&dialog);
  QTimer::singleShot(0, &dialog, [this, index, action, guard]() {
    if (!guard) return;
    records[index].text = window_text(*guard);
    const int result = action ? action(*guard) : int(QDialog::Accepted);
    if (guard && guard->isVisible()) guard->done(result);
  });
  QPointer<QWidget> was_active = QApplication::activeWindow();
  const int result = dialog.exec();
  // As the platform does when a modal window closes, the window that was active is active again.
  if (was_active && was_active != &dialog && was_active->isVisible()) {
    was_active->activateWindow();
    QApplication::setActiveWindow(was_active);
  }
  return result;
}

std::vector<ScriptedModalServices::Record> ScriptedModalServices::of(Kind kind) const {
  std::vector<Record> out;
  for (const auto& r : records)
    if (r.kind == kind) out.push_back(r);
  return out;
}

QStringList ScriptedModalServices::warnings() const {
  QStringList out;
  for (const auto& r : records)
    if (r.kind == Kind::Modal && r.caption == "Warning!") out << r.text;
  return out;
}

QStringList ScriptedModalServices::texts(Kind kind) const {
  QStringList out;
  for (const auto& r : records)
    if (r.kind == kind) out << r.text;
  return out;
}

QString window_text(const QWidget& window) {
  QStringList lines;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) lines << memo->toPlainText();
    else if (auto* rich = qobject_cast<QTextEdit*>(w)) lines << rich->toPlainText();
    else if (auto* edit = qobject_cast<QLineEdit*>(w)) lines << edit->text();
    else if (auto* label = qobject_cast<QLabel*>(w)) lines << label->text();
  }
  return lines.join('\n');
}

}  // namespace morvell::forms
