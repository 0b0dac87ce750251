// The splash window: borderless, 640 x 480, centred; a light grey background framed in black with the
// program's banner ("splash.bmp") and a picture of a gear pair ("background.bmp") read from the current
// directory. It stays until the user clicks it. It is also the About window.
#pragma once

#include <QDialog>

#include "design_data.h"

class QLabel;

namespace morvell {

class Tsplashform : public QDialog {
  Q_OBJECT

 public:
  explicit Tsplashform(DesignData& d, QWidget* parent = nullptr);

  QLabel* Image1;  // the background
  QLabel* Image2;  // "splash.bmp"
  QLabel* Image3;  // "background.bmp"

  void FormCreate();
  void FormClick();
  void Image1Click();
  void Image2Click();
  void Image3Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  DesignData& d_;
};

extern Tsplashform* splashform;

}  // namespace morvell
