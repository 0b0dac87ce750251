// The dialog "Load Sharing Factor For Flash Temperature Calculation": chooses the profile-modification
// case whose shape the estimated load-sharing factor of the flash-temperature calculation follows.
#pragma once

#include <QDialog>
#include <QImage>

#include "design_data.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace morvell {

// The profile-modification cases as the list shows them (item index = case).
extern const char* const kLoadSharingCaseNames[4];

// Draws the four load-sharing shapes, one panel per case titled with its name: X_Gamma over the SAP,
// the lowest and highest points of single tooth contact and the EAP.
void draw_load_sharing_shapes(QImage& image);

class Tflashloadform : public QDialog {
  Q_OBJECT

 public:
  explicit Tflashloadform(DesignData& d, QWidget* parent = nullptr);

  QLabel* Image1;
  QComboBox* ComboBox1;
  QPushButton* Button1;

  void FormShow();
  void ComboBox1Change();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
};

// The program's instance, created at start-up.
extern Tflashloadform* flashloadform;

}  // namespace morvell
