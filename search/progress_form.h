// The progress window "Progress": the one window besides the main window that is shown without being
// modal. Long computations run in the user-interface thread; they set its caption, show it, move its bar
// from 0 to 100 and hide it again. It never takes the focus and has no behaviour of its own.
#pragma once

#include <QWidget>

class QProgressBar;

namespace morvell {

class TProgressform : public QWidget {
  Q_OBJECT

 public:
  explicit TProgressform(QWidget* parent = nullptr);

  QProgressBar* ProgressBar1;  // range 0 to 100, step 20

  // Sets the bar; a position outside the range shows an empty or a full bar. The window is painted at
  // once, since the computation that calls this does not return to the message loop.
  void set_position(int position);

  // Paints the window now (caller inside a long loop).
  void paint_now();

 protected:
  void showEvent(QShowEvent* event) override;
};

// The program's instance (nullptr until the program entry creates it).
extern TProgressform* Progressform;

}  // namespace morvell
