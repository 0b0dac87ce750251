// The dialog "Graphics Export": what the profile export writes (a co-ordinate list or a drawing of one
// tooth, of all teeth or of the mesh) and which outline (finished, nominal or both). It has no Cancel:
// every way of closing it records both choices, and the export follows.
#pragma once

#include <QDialog>

#include "design_data.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace morvell {

class TGraphicsexportform : public QDialog {
  Q_OBJECT

 public:
  explicit TGraphicsexportform(DesignData& d, QWidget* parent = nullptr);

  QLabel* Label1;  // "Export  type"
  QLabel* Label2;  // "Profile"
  QComboBox* exptype;
  QComboBox* profiletype;
  QPushButton* Exportbutton;

  void FormShow();
  void exptypeChange();
  void ExportbuttonClick();
  void FormClose();

  // Every way of closing (the button, the window's close button, Escape) ends here.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
};

// The program's instance, created with the main window's menus.
extern TGraphicsexportform* Graphicsexportform;

}  // namespace morvell
