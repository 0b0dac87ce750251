#include "splash_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <string>

#include "field_events.h"
#include "file_reading.h"
#include "scaling.h"
#include "window_scale.h"

namespace morvell {

Tsplashform* splashform = nullptr;

namespace {

QPixmap read_picture_file(const char* name) {
  std::string bytes;
  if (!read_regular_file(name, kMaxBitmapFileBytes, bytes).ok()) return {};
  QPixmap picture;
  picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), uint(bytes.size()));
  return picture;
}

QLabel* image(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(left, top, width, height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // a picture is drawn at its own size from the corner
  return label;
}

// A click on an image: the image takes the press, and the handler runs when the button is released.
void on_image_click(QLabel* label, std::function<void()> handler) {
  forms::on_event(label, QEvent::MouseButtonPress,
                  [](QEvent* e) { return static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton; });
  forms::on_event(label, QEvent::MouseButtonRelease, [h = std::move(handler)](QEvent* e) {
    if (static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) return false;
    h();
    return true;
  });
}

}  // namespace

Tsplashform::Tsplashform(DesignData& d, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), d_(d) {
  setObjectName("splashform");
  setWindowTitle("Morvell");
  Image1 = image(this, "Image1", 0, 0, 640, 480);
  Image2 = image(this, "Image2", 10, 6, 620, 110);
  Image3 = image(this, "Image3", 162, 126, 323, 242);
  setFixedSize(640, 480);
  // Whatever the screen, the window is 640 pixels wide: the common window scale is not applied.
  const int multiplier = static_cast<int>(std::trunc(640.0 / width() * 100.0));
  if (multiplier != 100) forms::scale_by(this, multiplier, 100);
  // A screen smaller than that (a small screen under a large desktop scale) takes the window made
  // small enough to lie on it, pictures and all, since the user must reach it to go on.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    fit_ = std::min({1.0, double(area.width()) / width(), double(area.height()) / height()});
    if (fit_ < 1.0) forms::scale_by(this, int(std::floor(fit_ * 1000.0)), 1000);
  }
  on_image_click(Image1, [this] { Image1Click(); });
  on_image_click(Image2, [this] { Image2Click(); });
  on_image_click(Image3, [this] { Image3Click(); });
  FormCreate();
}

void Tsplashform::FormCreate() {
  QPixmap background(Image1->size());
  background.fill(QColor(223, 223, 223));
  {
    QPainter painter(&background);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, background.width() - 1, background.height() - 1);
  }
  Image1->setPixmap(background);
  // A picture that is missing or cannot be read leaves its place on the grey background; only a regular
  // file of a picture's length is read, so that a pipe or device in its place cannot hold the start.
  Image2->setPixmap(fitted(read_picture_file("splash.bmp")));
  Image3->setPixmap(fitted(read_picture_file("background.bmp")));
}

QPixmap Tsplashform::fitted(const QPixmap& picture) const {
  if (fit_ >= 1.0 || picture.isNull()) return picture;
  return picture.scaled(std::max(1, int(picture.width() * fit_)), std::max(1, int(picture.height() * fit_)),
                        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void Tsplashform::showEvent(QShowEvent* event) {
  centre_on_screen(this);
  QDialog::showEvent(event);
}

void Tsplashform::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FormClick();
  QDialog::mouseReleaseEvent(event);
}

void Tsplashform::FormClick() {
  hide();
  close();
}

void Tsplashform::Image1Click() { close(); }
void Tsplashform::Image2Click() { FormClick(); }
void Tsplashform::Image3Click() { FormClick(); }

}  // namespace morvell
