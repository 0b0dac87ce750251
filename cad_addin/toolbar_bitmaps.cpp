// The toolbar images: three buttons in 16 colours, drawn here rather than loaded from files.
#include <cmath>

#include "addin_app.h"

namespace tandrel {

namespace {

// Colours of the 16-colour palette that the images use.
constexpr uint32_t kBlack = 0x000000, kGrey = 0x808080, kSilver = 0xC0C0C0, kWhite = 0xFFFFFF,
                   kNavy = 0x000080, kTeal = 0x008080;

// A button of size s: a gear (button 0), a single tooth (1), a circle (2) on the button face.
void DrawButton(HostBitmap& b, int index, int size) {
  const int ox = index * size;
  const double c = (size - 1) / 2.0, r_a = size * 0.45, r_f = size * 0.33;
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = x - c, dy = y - (b.height - 1) / 2.0;
      const double r = std::sqrt(dx * dx + dy * dy);
      const double t = std::atan2(dx, -dy);
      uint32_t colour = kSilver;
      if (index == 0) {
        const double tooth = std::cos(t * 8.0) > 0.2 ? r_a : r_f;
        if (r <= tooth) colour = r < r_f * 0.35 ? kSilver : (r > tooth - 1.0 ? kBlack : kNavy);
      } else if (index == 1) {
        if (std::fabs(dx) < size * 0.2 + dy * 0.08 && std::fabs(dy) < size * 0.4) colour = kTeal;
      } else if (r <= r_a && r >= r_a - 1.2) {
        colour = kBlack;
      }
      if (x == size - 1 || y == b.height - 1) colour = kGrey;
      if (x == 0 || y == 0) colour = kWhite;
      b.pixels[size_t(y) * size_t(b.width) + size_t(ox + x)] = colour;
    }
  }
}

HostBitmap MakeStrip(int button, int height) {
  HostBitmap b;
  b.width = button * 3;
  b.height = height;
  b.pixels.assign(size_t(b.width) * size_t(b.height), kSilver);
  for (int i = 0; i < 3; ++i) DrawButton(b, i, button);
  return b;
}

}  // namespace

const HostBitmap* FindBitmapResource(int id) {
  static const HostBitmap small = MakeStrip(16, 15);
  static const HostBitmap large = MakeStrip(22, 22);
  if (id == 17779) return &small;
  if (id == 17777) return &large;
  return nullptr;
}

HostBitmap MapSystemColours(const HostBitmap& bitmap) {
  // The desktop's button colours: text, shadow, face and highlight.
  constexpr uint32_t kButtonText = 0x000000, kButtonShadow = 0xA0A0A0, kButtonFace = 0xEFEFEF,
                     kButtonHighlight = 0xFFFFFF;
  HostBitmap mapped = bitmap;
  for (uint32_t& p : mapped.pixels) {
    if (p == kBlack) p = kButtonText;
    else if (p == kGrey) p = kButtonShadow;
    else if (p == kSilver) p = kButtonFace;
    else if (p == kWhite) p = kButtonHighlight;
  }
  return mapped;
}

}  // namespace tandrel
