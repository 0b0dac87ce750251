#include "window_scale.h"

#include <cmath>

#include "numeric.h"
#include "scaling.h"

namespace morvell {

WindowScale compute_window_scale(int screen_width, int pane_width, int window_size_step) {
  WindowScale s;
  s.divisor = 1000;
  // 0.439453125 = 450 / 1024: the multiplier is 1000 x screen width / 1024 with the layout unscaled.
  s.multiplier = float(ld(screen_width) / ld(pane_width) * 0.439453125L * 1000.0L);
  if (window_size_step <= -1 && window_size_step >= -3) {
    for (int i = 0; i < -window_size_step; ++i) s.multiplier = float(s.multiplier * 0.928505106778L);
    s.increase_enabled = true;
    if (window_size_step == -3) s.decrease_enabled = false;
  }
  return s;
}

void scale_window(QWidget* window, const DesignData& d) {
  forms::scale_by(window, to_int32_clamped(std::trunc(ld(d.form_scale_multiplier))),
                  to_int32_clamped(std::trunc(ld(d.form_scale_divisor))));
}

}  // namespace morvell
