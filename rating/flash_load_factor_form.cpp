#include "flash_load_factor_form.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "chart_painting.h"
#include "field_events.h"
#include "window_scale.h"

namespace morvell {

Tflashloadform* flashloadform = nullptr;

const char* const kLoadSharingCaseNames[4] = {"Unmodified profiles", "Modified profiles (pinion driving)",
                                               "Modified profiles (wheel driving)", "Optimum profile modification"};

namespace {

constexpr int kPictureWidth = 600, kPictureHeight = 300;

// The shape of each case: the values at the SAP and at the LPSTC coming up the approach range, at the
// HPSTC and at the EAP going down the recess range; 1 between LPSTC and HPSTC.
struct Shape {
  double sap, lpstc, hpstc, eap;
  const char *sap_text, *lpstc_text, *hpstc_text, *eap_text;
};
constexpr Shape kShapes[4] = {
    {1.0 / 3, 2.0 / 3, 2.0 / 3, 1.0 / 3, "1/3", "2/3", "2/3", "1/3"},
    {0.0, 6.0 / 7, 1.0, 1.0 / 7, "0", "6/7", "1", "1/7"},
    {1.0 / 7, 1.0, 6.0 / 7, 0.0, "1/7", "1", "6/7", "0"},
    {0.0, 1.0, 1.0, 0.0, "0", "1", "1", "0"},
};

void draw_panel(QPainter& p, const QRect& r, int k) {
  const Shape& s = kShapes[k];
  p.setFont(chart_font(8));
  text_out(p, r.left() + 4, r.top() + 2, kLoadSharingCaseNames[k], false);
  const int left = r.left() + 40, right = r.right() - 14, top = r.top() + 30, bottom = r.bottom() - 30;
  const int xs[4] = {left, left + (right - left) * 35 / 100, left + (right - left) * 65 / 100, right};
  const auto y = [&](double v) { return int(bottom - v * (bottom - top)); };
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(left, bottom, right, bottom);
  p.drawLine(left, bottom, left, top - 6);
  p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
  for (int i = 1; i < 3; ++i) p.drawLine(xs[i], bottom, xs[i], top);
  p.drawLine(left, y(1.0), right, y(1.0));
  p.setPen(QPen(Qt::blue, 2));
  const QPoint points[6] = {{xs[0], y(s.sap)}, {xs[1], y(s.lpstc)}, {xs[1], y(1.0)},
                            {xs[2], y(1.0)},   {xs[2], y(s.hpstc)}, {xs[3], y(s.eap)}};
  p.drawPolyline(points, 6);
  p.setPen(QPen(Qt::black, 1));
  p.setFont(chart_font(7));
  const char* names[4] = {"SAP", "LPSTC", "HPSTC", "EAP"};
  for (int i = 0; i < 4; ++i) text_out(p, xs[i] - 12, bottom + 4, names[i], false);
  text_out(p, left - 28, y(1.0) - 6, "1", false);
  text_out(p, xs[0] + 3, y(s.sap) - 14, s.sap_text, false);
  text_out(p, xs[1] - 24, y(s.lpstc) - 14, s.lpstc_text, false);
  text_out(p, xs[2] + 4, y(s.hpstc) - 14, s.hpstc_text, false);
  text_out(p, xs[3] - 20, y(s.eap) - 14, s.eap_text, false);
  p.setFont(chart_font_by_cell_height(13));
  text_out(p, left - 38, (top + bottom) / 2 - 5, QString::fromUtf8("X\u0393"), false);
}

}  // namespace

void draw_load_sharing_shapes(QImage& image) {
  QPainter p(&image);
  draw_in_layout_units(p, image, QSizeF(kPictureWidth, kPictureHeight));
  p.fillRect(QRect(0, 0, kPictureWidth, kPictureHeight), Qt::white);
  const int w = kPictureWidth / 2, h = kPictureHeight / 2;
  for (int k = 0; k < 4; ++k) draw_panel(p, QRect((k % 2) * w, (k / 2) * h, w, h), k);
}

// Layout designed at 96 pixels per inch.
Tflashloadform::Tflashloadform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("flashloadform");
  setWindowTitle("Load Sharing Factor For Flash Temperature Calculation");
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(8, 8, kPictureWidth, kPictureHeight);  // drawn when shown, at the window's scale

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  for (const char* name : kLoadSharingCaseNames) ComboBox1->addItem(name);
  ComboBox1->setGeometry(8, kPictureHeight + 18, 260, 22);
  Button1 = new QPushButton("Close", this);
  Button1->setObjectName("Button1");
  Button1->setAutoDefault(false);
  Button1->setGeometry(kPictureWidth + 8 - 75, kPictureHeight + 16, 75, 25);
  setFixedSize(kPictureWidth + 16, kPictureHeight + 50);

  forms::on_choice(ComboBox1, [this] { ComboBox1Change(); });
  forms::on_click(Button1, [this] { Button1Click(); });
  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tflashloadform::showEvent(QShowEvent* event) {
  // The picture at the size and pixel ratio it is shown at.
  QImage picture = picture_for(Image1);
  draw_load_sharing_shapes(picture);
  Image1->setPixmap(QPixmap::fromImage(picture));
  FormShow();
  QDialog::showEvent(event);
}

void Tflashloadform::FormShow() {
  const int32_t c = d_.flash_load_sharing_case;
  ComboBox1->setCurrentIndex(c >= 0 && c < ComboBox1->count() ? c : 0);
}

void Tflashloadform::ComboBox1Change() {
  if (ComboBox1->currentIndex() >= 0) d_.flash_load_sharing_case = ComboBox1->currentIndex();
}

void Tflashloadform::Button1Click() { accept(); }

}  // namespace morvell
