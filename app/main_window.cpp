#include "main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>

#include <cmath>
#include <cstdio>

#include "design_file.h"
#include "file_names.h"
#include "file_writing.h"
#include "field_events.h"
#include "numeric.h"
#include "preferences.h"
#include "window_scale.h"
#include "caption_fit.h"
#include "scaling.h"

namespace morvell {

TMainForm* MainForm = nullptr;

namespace {
// The part of the screen that windows may take (without task bars and panels).
QRect screen_area() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}
}  // namespace

TMainForm::TMainForm(DesignData& d, QWidget* parent) : QMainWindow(parent), d_(d) {
  setObjectName("MainForm");
  setWindowTitle("Gear Geometry");
  build_menus();
  build_layout();
  wire_views();
  connect_geometry_inputs();
  resize(1024, 680 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
  forms::on_triggered(Close2, [this] { close(); });
  forms::on_click(continuebutton, [this] { continuebuttonClick(); });

  // The window scale that every window applies to itself from now on.
  const QRect screen = screen_area();
  pane_layout_width_ = mainresults->width();
  const WindowScale scale =
      compute_window_scale(screen.width(), screen.height(), pane_layout_width_, d_.window_size_step);
  d_.form_scale_divisor = scale.divisor;
  d_.form_scale_multiplier = scale.multiplier;
  Increase1->setEnabled(Increase1->isEnabled() || scale.increase_enabled);
  Decrease1->setEnabled(Decrease1->isEnabled() && scale.decrease_enabled);
  forms::record_layout(this);  // the Window Sizes commands lay the window out again from here
  scale_multiplier_ = to_int32_clamped(std::trunc(ld(scale.multiplier)));
  scale_divisor_ = to_int32_clamped(std::trunc(ld(scale.divisor)));
  scale_window(this, d_);
  hold_layout_size();
  wire_menus();  // after the scale: the export dialog scales itself by it

  // At the top of the screen, centred horizontally.
  move(screen.x() + to_int32_clamped(std::trunc(ld(screen.width() - width()) * 0.5L)), screen.y());

  backlashComboBox->setCurrentIndex(0);
  thicknessComboBox->setCurrentIndex(0);
  finthicknessComboBox->setCurrentIndex(0);

  d_.plot_zoom = 1.0f;
  d_.plot_pan_y = 0;
  d_.plot_pan_x = 0;
  d_.edit_changed = 0;

  SetMain_textboxes();  // the rating is not enabled yet: this refresh does not rate the pair
  FormCreate();
}

void TMainForm::hold_layout_size() {
  // The controls' extent with the margin of the layout's top left corner on its right and bottom too.
  QWidget* client = centralWidget();
  QRect extent;
  for (QWidget* w : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w != Panel2) extent |= w->geometry();  // the cover panel lies over the controls
  client->setMinimumSize(extent.right() + 1 + extent.left(), extent.bottom() + 1 + extent.top());
}

void TMainForm::rescale() {
  const QRect screen = screen_area();
  const WindowScale scale =
      compute_window_scale(screen.width(), screen.height(), pane_layout_width_, d_.window_size_step);
  WindowScale old_scale;
  old_scale.multiplier = float(scale_multiplier_);
  old_scale.divisor = float(scale_divisor_);
  // The layout's least size at the old scale must not hold the window at that size.
  centralWidget()->setMinimumSize(0, 0);
  rescale_window(this, scale, old_scale);
  scale_multiplier_ = to_int32_clamped(std::trunc(ld(scale.multiplier)));
  scale_divisor_ = to_int32_clamped(std::trunc(ld(scale.divisor)));
  hold_layout_size();
  if (isVisible()) keep_on_screen(this);
  // The picture is drawn for the image's new size (the 3D view paints itself as it is resized).
  if (Image1->isVisible() && !(OpenGLPanel1 && OpenGLPanel1->isVisible())) mainform_meshplot_report();
}

void TMainForm::FormCreate() {
  // The cover panel lies over the controls until the window is first shown.
  Panel2->setGeometry(0, 0, 1010, 680);
  Panel2->raise();
  Panel2->show();
  // The history of this run starts empty (the first refresh appended to the previous run's file),
  // unless another copy of the program started in this folder is still writing its own history there:
  // the records of both then follow each other. A pipe in its place cannot hold the start; a history
  // that cannot be emptied is left as it is.
  history_in_use_ = std::make_unique<FileUsedForTheRun>(kHistoryFileName);
  d_.history_mode = 0;
  d_.history_record_number = -1;
}

void TMainForm::FormClose() {
  std::string reason;
  if (!write_preferences(d_, &reason))
    forms::services().message(
        this, QGuiApplication::applicationDisplayName(),
        QString("Preferences could not be written to %1: %2").arg(kPreferenceFileName, shown_text(reason)),
        forms::MessageIcon::Warning);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {  // a restore from the task bar is no first show
    shown_ = true;
    // The layout is as wide as the screen it is designed for: its frame must not take it beyond the edges.
    keep_on_screen(this);
    FormShow();
    tell_of_missing_views();
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

}  // namespace morvell
