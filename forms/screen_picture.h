// Pictures that the windows paint for their image controls, at the pixels of the screen they show on.
#pragma once

class QImage;
class QWidget;

namespace morvell {

// A picture for `widget` at the pixel ratio of its screen: as many pixels as the screen shows there, so
// that the screen draws it without magnifying it. Its size in the widget's own units is the widget's,
// and a painter on it draws in those units.
QImage picture_for(const QWidget* widget);

}  // namespace morvell
