#include "pixel_format.h"

namespace morvell {

PFDFlagSet apply_pfd_flag_invariant(PFDFlagSet current, PFDFlagSet requested) {
  const bool gdi = requested.has(f_PFD_SUPPORT_GDI);
  const bool dbl = requested.has(f_PFD_DOUBLEBUFFER);
  const bool had_gdi = current.has(f_PFD_SUPPORT_GDI);
  if (gdi && dbl) {
    return had_gdi ? requested.without(f_PFD_SUPPORT_GDI) : requested.without(f_PFD_DOUBLEBUFFER);
  }
  if (!gdi && !dbl) {
    return had_gdi ? requested.with(f_PFD_DOUBLEBUFFER) : requested.with(f_PFD_SUPPORT_GDI);
  }
  return requested;
}

std::uint32_t pfd_descriptor_flags(PFDFlagSet flags) {
  std::uint32_t out = 0;
  if (flags.has(f_PFD_DRAW_TO_WINDOW)) out |= PFD_DRAW_TO_WINDOW;
  if (flags.has(f_PFD_DRAW_TO_BITMAP)) out |= PFD_DRAW_TO_BITMAP;
  out |= flags.has(f_PFD_SUPPORT_GDI) ? PFD_SUPPORT_GDI : PFD_DOUBLEBUFFER;
  if (flags.has(f_PFD_SUPPORT_OPENGL)) out |= PFD_SUPPORT_OPENGL;
  if (flags.has(f_PFD_GENERIC_ACCELERATED)) out |= PFD_GENERIC_ACCELERATED;
  if (flags.has(f_PFD_GENERIC_FORMAT)) out |= PFD_GENERIC_FORMAT;
  if (flags.has(f_PFD_NEED_PALETTE)) out |= PFD_NEED_PALETTE;
  if (flags.has(f_PFD_NEED_SYSTEM_PALETTE)) out |= PFD_NEED_SYSTEM_PALETTE;
  if (flags.has(f_PFD_STEREO)) out |= PFD_STEREO;
  if (flags.has(f_PFD_SWAP_LAYER_BUFFERS)) out |= PFD_SWAP_LAYER_BUFFERS;
  return out;
}

PixelFormatDescriptor make_pixel_format_descriptor(std::uint8_t pixel_type_code, PFDFlagSet flags,
                                                   std::uint8_t color_bits, std::uint8_t depth_bits) {
  PixelFormatDescriptor pfd;
  pfd.dwFlags = pfd_descriptor_flags(flags);
  pfd.iPixelType = pixel_type_code;
  pfd.cColorBits = color_bits;
  pfd.cDepthBits = depth_bits;
  return pfd;
}

QSurfaceFormat surface_format_for(const PixelFormatDescriptor& requested) {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setVersion(2, 1);
  f.setSwapBehavior((requested.dwFlags & PFD_DOUBLEBUFFER) ? QSurfaceFormat::DoubleBuffer
                                                           : QSurfaceFormat::SingleBuffer);
  f.setStereo((requested.dwFlags & PFD_STEREO) != 0);
  const int bits = requested.cColorBits;
  if (bits >= 24) {
    f.setRedBufferSize(8), f.setGreenBufferSize(8), f.setBlueBufferSize(8), f.setAlphaBufferSize(0);
  } else if (bits >= 16) {
    f.setRedBufferSize(5), f.setGreenBufferSize(6), f.setBlueBufferSize(5), f.setAlphaBufferSize(0);
  } else if (bits > 0) {
    f.setRedBufferSize(3), f.setGreenBufferSize(3), f.setBlueBufferSize(2), f.setAlphaBufferSize(0);
  }
  f.setDepthBufferSize(requested.cDepthBits);
  return f;
}

namespace {
std::uint8_t clamp_bits(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
}  // namespace

PixelFormatDescriptor describe_surface_format(const PixelFormatDescriptor& requested,
                                              const QSurfaceFormat& obtained) {
  PixelFormatDescriptor d;
  d.dwFlags = requested.dwFlags & ~(PFD_DOUBLEBUFFER | PFD_STEREO);
  if (obtained.swapBehavior() != QSurfaceFormat::SingleBuffer &&
      (requested.dwFlags & PFD_DOUBLEBUFFER))
    d.dwFlags |= PFD_DOUBLEBUFFER;
  if (obtained.stereo()) d.dwFlags |= PFD_STEREO;
  d.iPixelType = PFD_TYPE_RGBA;
  const std::uint8_t r = clamp_bits(obtained.redBufferSize());
  const std::uint8_t g = clamp_bits(obtained.greenBufferSize());
  const std::uint8_t b = clamp_bits(obtained.blueBufferSize());
  const std::uint8_t a = clamp_bits(obtained.alphaBufferSize());
  d.cRedBits = r;
  d.cGreenBits = g;
  d.cBlueBits = b;
  d.cAlphaBits = a;
  d.cBlueShift = 0;
  d.cGreenShift = b;
  d.cRedShift = clamp_bits(g + b);
  d.cAlphaShift = clamp_bits(r + g + b);
  d.cColorBits = clamp_bits(r + g + b);
  d.cDepthBits = clamp_bits(obtained.depthBufferSize());
  d.cStencilBits = clamp_bits(obtained.stencilBufferSize());
  return d;
}

namespace {
// One palette component: the field of `bits` bits at `shift` scaled to 0..255.
std::uint8_t palette_component(unsigned index, unsigned bits, unsigned shift) {
  if (bits == 0) return 0;
  if (bits > 8) bits = 8;
  if (shift >= 16) return 0;  // an index has at most 8 significant bits
  const unsigned max = (1u << bits) - 1u;
  return static_cast<std::uint8_t>(((index >> shift) & max) * 255u / max);
}
}  // namespace

std::vector<PaletteEntry> palette_entries_for(const PixelFormatDescriptor& format) {
  std::vector<PaletteEntry> entries;
  if (format.cColorBits > kMaxPaletteColorBits) return entries;
  const unsigned count = 1u << format.cColorBits;
  entries.resize(count);
  for (unsigned i = 0; i < count; ++i) {
    entries[i].peRed = palette_component(i, format.cRedBits, format.cRedShift);
    entries[i].peGreen = palette_component(i, format.cGreenBits, format.cGreenShift);
    entries[i].peBlue = palette_component(i, format.cBlueBits, format.cBlueShift);
    entries[i].peFlags = 0;
  }
  return entries;
}

}  // namespace morvell
