#include "progress_form.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace morvell {

TProgressform* Progressform = nullptr;

namespace {
// Longest time a paint may take to handle pending window events, so a loop never stalls on it.
constexpr int kPaintEventsMilliseconds = 20;
}  // namespace

// Keeps its layout size: unlike the other windows it is not scaled by the window scale.
TProgressform::TProgressform(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus) {
  setObjectName("Progressform");
  setWindowTitle("Progress");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);  // border width 10
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setFixedSize(240, 14);
  ProgressBar1->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(ProgressBar1);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // sized to its content
}

void TProgressform::set_position(int position) {
  // QProgressBar ignores a value outside its range; the callers count past 100 (120 after the last pass).
  ProgressBar1->setValue(std::clamp(position, ProgressBar1->minimum(), ProgressBar1->maximum()));
  if (isVisible()) paint_now();
}

void TProgressform::paint_now() {
  repaint();
  // Let the window system map and expose the window; user input stays queued until the computation ends.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kPaintEventsMilliseconds);
}

void TProgressform::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Centred on the desktop.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->availableGeometry();
    const QSize size = sizeHint().expandedTo(this->size());
    move(s.x() + (s.width() - size.width()) / 2, s.y() + (s.height() - size.height()) / 2);
  }
}

}  // namespace morvell
