// The start-up window "Morvell": how the work begins. Its menu opens a design file, sizes new gears with
// the sizing wizard or enters geometry data; the choice goes into start_mode (and the file into
// design_file_name) and the main window acts on it when it is first shown. Closing it without a choice
// leaves start_mode 0, which ends the program.
#pragma once

#include <QDialog>

#include "design_data.h"
#include "modal_services.h"

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace morvell {

class Tstartupform : public QDialog {
  Q_OBJECT

 public:
  explicit Tstartupform(DesignData& d, QWidget* parent = nullptr);

  QMenuBar* MainMenu1;
  QMenu* File1;
  QMenu* New1;
  QAction* SizingWizard1;        // "Size gears"
  QAction* Entergeometrydata1;  // "Enter geometry data"
  QAction* Open1;
  QMenu* Help1;
  QAction* About1;
  QStatusBar* StatusBar1;
  QLineEdit* statusfilename;  // "Filename :"

  forms::FileDialogSettings OpenDialog1;

  void FormCreate();
  void Open1Click();
  void SizingWizard1Click();
  void Entergeometrydata1Click();
  void About1Click();

 private:
  DesignData& d_;
};

extern Tstartupform* startupform;

}  // namespace morvell
