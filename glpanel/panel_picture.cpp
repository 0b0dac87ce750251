// Moving pictures between the panel and the outside: capture, printing, bitmap files, textures.
#include "opengl_panel.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QOpenGLContext>
#include <QPainter>
#include <QPrinter>

#include <GL/gl.h>

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

#include "file_reading.h"
#include "file_writing.h"

namespace morvell {

PrintRect print_rectangle(TOpenGLPrintScale scale, int& pixels_per_inch, int dpi_x, int dpi_y,
                          int page_w, int page_h, int w, int h) {
  PrintRect r;
  r.left = static_cast<int>(std::trunc(0.18 * dpi_x));
  r.top = static_cast<int>(std::trunc(0.18 * dpi_y));
  switch (scale) {
    case pglPrintToFit: {
      const int pw = page_w - 2 * r.left;
      const int ph = page_h - 2 * r.top;
      // A picture larger than the page still prints once at its own size rather than not at all.
      if (ph < pw) {
        const int k = h > 0 ? std::max(1, ph / h) : 1;
        r.right = r.left + k * w;
        r.bottom = r.top + ph;
      } else {
        const int k = w > 0 ? std::max(1, pw / w) : 1;
        r.right = r.left + pw;
        r.bottom = r.top + k * h;
      }
      break;
    }
    case pglProportional:
      if (pixels_per_inch <= 0) pixels_per_inch = 96;
      r.right = r.left + static_cast<int>(std::trunc(static_cast<double>(w) / pixels_per_inch * dpi_x));
      r.bottom = r.top + static_cast<int>(std::trunc(static_cast<double>(h) / pixels_per_inch * dpi_y));
      break;
    case pglNone:
      r.right = r.left + w;
      r.bottom = r.top + h;
      break;
  }
  return r;
}

QImage TOpenGLPanel::CapturePicture() {
  raise();
  if (!params_done_ && !isValid()) CreateParams();
  QImage picture = grabFramebuffer();
  release_if_current();
  // The frame is what the screen shows: alpha plays no part.
  if (!picture.isNull()) {
    if (picture.format() == QImage::Format_ARGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied)
      picture.reinterpretAsFormat(QImage::Format_RGB32);
    else if (picture.format() != QImage::Format_RGB32)
      picture = picture.convertToFormat(QImage::Format_RGB32);
  }
  return picture;
}

bool TOpenGLPanel::PrintOpenGLPanel(QPrinter* printer) {
  QImage picture = CapturePicture();
  if (!printer) {
    if (!default_printer_) default_printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = default_printer_.get();
  }
  if (picture.isNull()) {
    if (!size().isEmpty()) report_panel_error(QStringLiteral("Print: Malloc Error"));
    return false;
  }
  QPainter painter;
  if (!painter.begin(printer)) {
    report_panel_error(QStringLiteral("Print: the printer could not be started"));
    return false;
  }
  const PrintRect r = print_rectangle(print_scale_, pixels_per_inch_, printer->logicalDpiX(),
                                      printer->logicalDpiY(), printer->width(), printer->height(),
                                      picture.width(), picture.height());
  painter.drawImage(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), picture);
  return painter.end();
}

// The bitmap goes through the program's file writer: it replaces the file only by a complete new one,
// so a full disk or a failed write leaves an existing picture as it was, and never a file that is
// read-only.
void TOpenGLPanel::SaveOpenGLPanelToFile(const QString& file_name) {
  const QImage picture = CapturePicture();
  QBuffer bitmap;
  if (picture.isNull() || !bitmap.open(QIODevice::WriteOnly) || !picture.save(&bitmap, "BMP") ||
      !replace_file(QFile::encodeName(file_name).toStdString(),
                    std::string_view(bitmap.data().constData(), std::size_t(bitmap.data().size())))
           .ok())
    throw std::runtime_error(QStringLiteral("Cannot create file \"%1\".").arg(file_name).toStdString());
}

std::unique_ptr<BMPTexture> TOpenGLPanel::LoadBMPTexture(const QString& file_name, bool alpha) {
  // Only a regular file of a bitmap's length is read: a folder, a pipe (not waited on) or a device in
  // its place cannot be opened as a bitmap.
  std::string bytes;
  if (!read_regular_file(QFile::encodeName(file_name).toStdString(), kMaxBitmapFileBytes, bytes).ok())
    throw std::runtime_error(QStringLiteral("Cannot open file \"%1\".").arg(file_name).toStdString());
  QBuffer buffer;
  buffer.setData(bytes.data(), qsizetype(bytes.size()));
  QImageReader reader(&buffer, "BMP");
  QImage image = reader.read();
  if (image.isNull()) throw std::runtime_error("Bitmap image is not valid");
  image = image.convertToFormat(QImage::Format_RGB32);

  auto texture = std::make_unique<BMPTexture>();
  texture->components = alpha ? 4 : 3;
  texture->width = image.width();
  texture->height = image.height();
  texture->format = alpha ? GL_RGBA : GL_RGB;
  texture->type = GL_UNSIGNED_BYTE;
  const size_t comps = static_cast<size_t>(texture->components);
  texture->pixels.resize(static_cast<size_t>(texture->width) * static_cast<size_t>(texture->height) * comps);
  for (int r = 0; r < texture->height; ++r) {
    // Texture rows run from the bottom image row upwards.
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(texture->height - 1 - r));
    for (int c = 0; c < texture->width; ++c) {
      std::uint8_t* out = texture->pixels.data() + (static_cast<size_t>(r) * texture->width + c) * comps;
      out[0] = static_cast<std::uint8_t>(qRed(line[c]));
      out[1] = static_cast<std::uint8_t>(qGreen(line[c]));
      out[2] = static_cast<std::uint8_t>(qBlue(line[c]));
      if (alpha) out[3] = 255;
    }
  }
  return texture;
}

}  // namespace morvell
