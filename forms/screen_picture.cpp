#include "screen_picture.h"

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace morvell {

QImage picture_for(const QWidget* widget) {
  const double ratio = widget->devicePixelRatioF();
  QImage image(std::max(1, int(std::lround(widget->width() * ratio))),
               std::max(1, int(std::lround(widget->height() * ratio))), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  return image;
}

}  // namespace morvell
