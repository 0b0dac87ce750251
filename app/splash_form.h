// The splash window: borderless, 640 x 480 (smaller only on a screen smaller than that), centred; a
// light grey background framed in black with the program's banner ("splash.bmp") and a picture of a
// gear pair ("background.bmp") read from the current directory. It stays until the user clicks it. It is also the About window.
#pragma once

#include <QDialog>
#include <QPixmap>

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
  // A picture at the window's own scale when the window had to be made smaller to lie on the screen.
  QPixmap fitted(const QPixmap& picture) const;

  DesignData& d_;
  double fit_ = 1.0;  // the share of its size the window keeps on a screen smaller than it
};

extern Tsplashform* splashform;

}  // namespace morvell
