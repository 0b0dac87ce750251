// The basic rack dialogs. "Basic Rack Options" asks whether a new rack is to be created from the
// current tooth proportions or one selected from the database; "Standard Rack Details" then lists the
// racks of data.dat, puts the chosen one into the design's basic rack, and creates, saves and deletes
// racks. There is no Cancel: what was last loaded or typed stays in the basic rack.
#pragma once

#include <QDialog>

#include <vector>

#include "design_data.h"
#include "rack_database.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace morvell {

class TOptionform2 : public QDialog {
  Q_OBJECT

 public:
  explicit TOptionform2(DesignData& d, QWidget* parent = nullptr);

  QPlainTextEdit* warningmemo;
  QPushButton* OKbutton;  // "Create new"
  QPushButton* Button1;   // "Select from database"

  void FormShow();
  void OKbuttonClick();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
};

class TStandardrackform : public QDialog {
  Q_OBJECT

 public:
  explicit TStandardrackform(DesignData& d, QWidget* parent = nullptr);

  QComboBox* Tooth_prop_ComboBox;
  QLineEdit* enternameedit;
  QLineEdit* ha1rackedit;
  QLineEdit* ha2rackedit;
  QLineEdit* hf1rackedit;
  QLineEdit* hf2rackedit;
  QLineEdit* rho1rackedit;
  QLineEdit* rho2rackedit;
  QLineEdit* maxfillet1;
  QLineEdit* maxfillet2;
  QLineEdit* pressureangle1edit;
  QLineEdit* pressureangle2edit;
  QPushButton* Button2;  // "Create new"
  QPushButton* Button3;  // "Delete"
  QPushButton* Button4;  // "OK": saves the new rack
  QPushButton* Button5;  // "Close"
  QLabel* name_caption;
  QLabel* addendum_caption;
  QLabel* dedendum_caption;
  QLabel* fillet_caption;
  QLabel* max_fillet_caption;

  // Shows the dialog the way the main window does: first the question "Basic Rack Options", then the
  // dialog itself, modally, in the mode the answer chose.
  int show_dialog();

  void ask_rack_option();  // the question, before the window is shown
  void FormShow();         // the window being shown: captions, the database, the mode
  void Tooth_prop_ComboBoxChange();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void value_exit(QLineEdit* edit, float* field, float* also, int row, int gear);
  void Setrack_textboxes();
  void readrackdatafromfile();
  void readrackdatafromfilepartial();

  bool create_mode() const { return create_mode_; }
  QLineEdit* value_edit(int i) const { return value_edits_[i]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void set_create_mode(bool create);
  // Shows a problem of the database in a message box; true when there was none.
  bool report(const RackFileResult& result);
  const ListedRack* listed_at(int position) const;

  DesignData& d_;
  QLineEdit* value_edits_[8];
  bool create_mode_ = false;
  RackNameSequence new_rack_names_;
  std::vector<ListedRack> listed_;  // the racks the list shows, in its order
};

extern TOptionform2* optionform2;
extern TStandardrackform* standardrackform;

}  // namespace morvell
