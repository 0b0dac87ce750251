// Modal services for tests: every interaction is recorded, answers come from a script, nothing blocks.
//
// A window shown modally really runs modally (its own event loop, the main window loses the
// activation as it does in the program); the scripted action runs inside that loop once the window is
// shown, and a window still open afterwards is closed with the action's result.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "modal_services.h"

namespace morvell::forms {

class ScriptedModalServices : public ModalServices {
 public:
  enum class Kind { Message, Question, OpenFile, SaveFile, Print, Modal };

  struct Record {
    Kind kind;
    QString caption;  // caption of the box or title of the window or file dialog
    QString text;     // message text; for a modal window the text of its memos and labels while shown
    MessageIcon icon = MessageIcon::None;
  };

  // Runs while a modal window is shown; returns the result to close it with when it is still open.
  using ModalAction = std::function<int(QDialog&)>;

  std::vector<Record> records;
  std::vector<FileDialogSettings> file_dialogs;  // what each file dialog was asked to show, in order
  std::deque<QMessageBox::StandardButton> question_answers;  // empty: the escape answer (No / Cancel)
  std::deque<FileDialogResult> open_answers;                 // empty: cancelled
  std::deque<FileDialogResult> save_answers;                 // empty: cancelled
  std::deque<bool> print_answers;                            // empty: confirmed
  // Actions per window object name, used in order; a window without one is closed with Accepted.
  std::map<QString, std::deque<ModalAction>> modal_actions;

  void message(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  QMessageBox::StandardButton question(QWidget* parent, const QString& caption, const QString& text,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton default_button) override;
  FileDialogResult open_file(QWidget* parent, const FileDialogSettings& settings) override;
  FileDialogResult save_file(QWidget* parent, const FileDialogSettings& settings) override;
  bool print_setup(QWidget* parent, QPrinter& printer) override;
  int show_modal(QDialog& dialog) override;

  // The records of one kind, and their texts.
  std::vector<Record> of(Kind kind) const;
  QStringList texts(Kind kind) const;
  // The texts of the warning dialogs shown so far, in order.
  QStringList warnings() const;
  void clear() { records.clear(); }
};

// The visible text of a window: the plain text of its memos, line edits and labels, one per line.
QString window_text(const QWidget& window);

}  // namespace morvell::forms
