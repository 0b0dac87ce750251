// The main window's geometry warnings: each correction of the core explained in the warning dialog.
#include <QLineEdit>

#include "geometry_warnings.h"
#include "main_window.h"
#include "warning_dialog.h"

namespace morvell {

void TMainForm::show_geometry_warning(GeometryWarning kind, int gear) {
  activateWindow();
  show_warning_dialog(d_);
  if (kind == GeometryWarning::protuberance_too_small || kind == GeometryWarning::fillet_too_large)
    (gear == 0 ? pinprotedit : wheelprotedit)->setFocus(Qt::OtherFocusReason);
  if (kind == GeometryWarning::tip_chamfer_too_large)
    (gear == 0 ? pinchamedit : wheelchamedit)->setFocus(Qt::OtherFocusReason);
  if (kind == GeometryWarning::edge_chamfer_too_large)
    (gear == 0 ? Pinedgechamedit : Wheeledgechamedit)->setFocus(Qt::OtherFocusReason);
  if (kind == GeometryWarning::fillet_lowered)
    (gear == 0 ? Pinfilletedit : Wheelfilletedit)->setFocus(Qt::OtherFocusReason);
}

}  // namespace morvell
