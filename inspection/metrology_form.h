// The window "Tooth Thickness Measurement": the measurement over balls and the span measurement of both
// gears, nominal and finished, with the ball diameter, the teeth spanned, the diameters and pressure
// angles at which ball and span touch the flank, and two plots of the ball in a tooth space.
//
// A finished measurement or span typed in gives the finished thickness of that gear and the backlash
// of the pair; ball diameter and teeth spanned can be typed or follow their defaults. Cancel (and so
// Esc and the window's close button) writes back the ten values taken when the window was shown;
// however it closes, the geometry pass runs.
#pragma once

#include <QDialog>
#include <QImage>

#include "cancel_copy.h"
#include "design_data.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class Tmetrologyform : public QDialog {
  Q_OBJECT

 public:
  explicit Tmetrologyform(DesignData& d, QWidget* parent = nullptr);

  void FormShow();
  void FormClose();
  void OKbuttonClick();
  void cancelbuttonClick();
  // The window's refresh: both plots, then every box.
  void Setmetrology_textboxes();

  void measball1fineditExit() { finished_exit(0, false); }
  void measball2fineditExit() { finished_exit(1, false); }
  void chordspan1fineditExit() { finished_exit(0, true); }
  void chordspan2fineditExit() { finished_exit(1, true); }
  void balldia1editExit() { ball_diameter_exit(0); }
  void balldia2editExit() { ball_diameter_exit(1); }
  void N1editExit() { span_teeth_exit(0); }
  void N2editExit() { span_teeth_exit(1); }
  void defaultballdiacheckboxClick();
  void defaultteethcheckboxClick();

  // Plots (measurement_plot.h).
  void metrology_meshplot_report1();  // pinion, Image1
  void metrology_meshplot_report2();  // wheel, Image2, with the legend samples
  void resetButtonClick();
  void ZoomoutbuttonClick();
  void basetransbuttonClick();

  // Rows, pinion then wheel.
  QLineEdit* measball1edit;
  QLineEdit* measball2edit;
  QLineEdit* measball1finedit;
  QLineEdit* measball2finedit;
  QLineEdit* balldia1edit;
  QLineEdit* balldia2edit;
  QCheckBox* defaultballdiacheckbox;
  QLineEdit* ball1centreedit;
  QLineEdit* ball2centreedit;
  QLineEdit* ball1contactdiaedit;
  QLineEdit* ball2contactdiaedit;
  QLineEdit* pa1edit;
  QLineEdit* pa2edit;
  QLineEdit* pac1edit;
  QLineEdit* pac2edit;
  QLineEdit* chordspan1edit;
  QLineEdit* chordspan2edit;
  QLineEdit* chordspan1finedit;
  QLineEdit* chordspan2finedit;
  QLineEdit* N1edit;
  QLineEdit* N2edit;
  QCheckBox* defaultteethcheckbox;
  QLineEdit* chordcontact1edit;
  QLineEdit* chordcontact2edit;
  QLineEdit* dref1edit;
  QLineEdit* dref2edit;
  QLineEdit* dbase1edit;
  QLineEdit* dbase2edit;
  QLineEdit* betab1edit;
  QLineEdit* betab2edit;

  // Unit labels.
  QLabel* unitsmesballnom;
  QLabel* unitsmesballfin;
  QLabel* unitsball;
  QLabel* unitsballcentre;
  QLabel* unitsballcont;
  QLabel* unitsspannom;
  QLabel* unitsspanfin;
  QLabel* unitscontdiafin;
  QLabel* unitsdref;
  QLabel* unitsbasedia;
  QLabel* unitsalpha;
  QLabel* unitsalpha2;
  QLabel* unitsbasebeta;

  QPushButton* OKbutton;
  QPushButton* cancelbutton;
  QPushButton* basetransbutton;
  QPushButton* Zoomoutbutton;
  QPushButton* resetButton;
  QLabel* Image1;  // pinion plot
  QLabel* Image2;  // wheel plot
  QLabel* Image3;  // legend beside "Ball Contact Diameter (Finished) "
  QLabel* Image4;  // legend beside "Reference Diameter "
  QLabel* Image5;  // legend beside "Base Diameter "

  void done(int result) override;  // every way of closing leaves a field being edited first
  void reject() override;          // Esc and the window's close button: Cancel

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void finished_exit(int gear, bool span);
  void ball_diameter_exit(int gear);
  void span_teeth_exit(int gear);
  void recompute_balls(int gear);
  void recompute_spans(int gear);
  void set_row_state(QLineEdit* pinion, QLineEdit* wheel, bool use_default);
  // The "(Use Default)" box and the ball diameter row as default_ball_diameter says, without the box's handler.
  void show_default_ball_state();
  void draw_plot(int gear, QLabel* image);

  DesignData& d_;
  CancelCopy cancel_copy_;  // the design as the window was shown
};

// The program's instance.
extern Tmetrologyform* metrologyform;

}  // namespace morvell
