// Pixel-format request of the drawing panel: the flag set with its invariant, the 40-byte format
// descriptor that the panel fills from its properties, how that request maps onto a Qt surface format,
// and the logical palette of a format that needs one. Everything here is pure and needs no context.
#pragma once

#include <QSurfaceFormat>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace morvell {

enum TPFDPixelTypes { f_PFD_TYPE_RGBA, f_PFD_TYPE_COLORINDEX };

// Elements of the pixel-format flag set, in their declared order (bit i of the set is element i).
enum TPFDFlags {
  f_PFD_DRAW_TO_WINDOW,
  f_PFD_DRAW_TO_BITMAP,
  f_PFD_SUPPORT_GDI,
  f_PFD_SUPPORT_OPENGL,
  f_PFD_GENERIC_ACCELERATED,
  f_PFD_GENERIC_FORMAT,
  f_PFD_NEED_PALETTE,
  f_PFD_NEED_SYSTEM_PALETTE,
  f_PFD_DOUBLEBUFFER,
  f_PFD_STEREO,
  f_PFD_SWAP_LAYER_BUFFERS,
};

// A set of TPFDFlags held in two bytes.
class PFDFlagSet {
 public:
  constexpr PFDFlagSet() = default;
  constexpr PFDFlagSet(std::initializer_list<TPFDFlags> flags) {
    for (TPFDFlags f : flags) bits_ |= bit(f);
  }
  static constexpr PFDFlagSet from_bits(std::uint16_t bits) {
    PFDFlagSet s;
    s.bits_ = bits & 0x7FF;
    return s;
  }
  constexpr bool has(TPFDFlags f) const { return (bits_ & bit(f)) != 0; }
  constexpr PFDFlagSet with(TPFDFlags f) const { return from_bits(bits_ | bit(f)); }
  constexpr PFDFlagSet without(TPFDFlags f) const { return from_bits(bits_ & ~bit(f)); }
  constexpr std::uint16_t bits() const { return bits_; }
  friend constexpr bool operator==(PFDFlagSet a, PFDFlagSet b) { return a.bits_ == b.bits_; }

 private:
  static constexpr std::uint16_t bit(TPFDFlags f) { return static_cast<std::uint16_t>(1u << f); }
  std::uint16_t bits_ = 0;
};

// The flag set after a request to change it from `current` to `requested`, keeping exactly one of
// f_PFD_SUPPORT_GDI and f_PFD_DOUBLEBUFFER: a request holding both keeps the one not set before
// (double buffering when GDI support was set, else GDI support); a request holding neither adds the
// one not set before.
PFDFlagSet apply_pfd_flag_invariant(PFDFlagSet current, PFDFlagSet requested);

// Descriptor flags.
inline constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x1;
inline constexpr std::uint32_t PFD_STEREO = 0x2;
inline constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x4;
inline constexpr std::uint32_t PFD_DRAW_TO_BITMAP = 0x8;
inline constexpr std::uint32_t PFD_SUPPORT_GDI = 0x10;
inline constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
inline constexpr std::uint32_t PFD_GENERIC_FORMAT = 0x40;
inline constexpr std::uint32_t PFD_NEED_PALETTE = 0x80;
inline constexpr std::uint32_t PFD_NEED_SYSTEM_PALETTE = 0x100;
inline constexpr std::uint32_t PFD_SWAP_LAYER_BUFFERS = 0x800;
inline constexpr std::uint32_t PFD_GENERIC_ACCELERATED = 0x1000;

inline constexpr std::uint8_t PFD_TYPE_RGBA = 0;
inline constexpr std::uint8_t PFD_TYPE_COLORINDEX = 1;

// The 40-byte pixel format descriptor, in its member order.
struct PixelFormatDescriptor {
  std::uint16_t nSize = 40;
  std::uint16_t nVersion = 1;
  std::uint32_t dwFlags = 0;
  std::uint8_t iPixelType = 0;
  std::uint8_t cColorBits = 0;
  std::uint8_t cRedBits = 0;
  std::uint8_t cRedShift = 0;
  std::uint8_t cGreenBits = 0;
  std::uint8_t cGreenShift = 0;
  std::uint8_t cBlueBits = 0;
  std::uint8_t cBlueShift = 0;
  std::uint8_t cAlphaBits = 0;
  std::uint8_t cAlphaShift = 0;
  std::uint8_t cAccumBits = 0;
  std::uint8_t cAccumRedBits = 0;
  std::uint8_t cAccumGreenBits = 0;
  std::uint8_t cAccumBlueBits = 0;
  std::uint8_t cAccumAlphaBits = 0;
  std::uint8_t cDepthBits = 0;
  std::uint8_t cStencilBits = 0;
  std::uint8_t cAuxBuffers = 0;
  std::uint8_t iLayerType = 0;  // 0: main plane
  std::uint8_t bReserved = 0;
  std::uint32_t dwLayerMask = 0;
  std::uint32_t dwVisibleMask = 0;
  std::uint32_t dwDamageMask = 0;
};
static_assert(sizeof(PixelFormatDescriptor) == 40, "the descriptor is 40 bytes");

// Descriptor flags for a flag set: every element maps to its flag, except that double buffering is
// requested exactly when GDI support is absent.
std::uint32_t pfd_descriptor_flags(PFDFlagSet flags);

// The descriptor the panel requests: size 40, version 1, main plane, the pixel-type code, the colour
// and depth bits and the mapped flags; every other member 0.
PixelFormatDescriptor make_pixel_format_descriptor(std::uint8_t pixel_type_code, PFDFlagSet flags,
                                                   std::uint8_t color_bits, std::uint8_t depth_bits);

// The Qt surface format that asks for the closest format to a descriptor: a compatibility-profile
// OpenGL context, double or single buffering, stereo, colour channel sizes from the colour bits
// (24 and more: 8 8 8, 16: 5 6 5, 1 to 15: 3 3 2; 0 leaves the choice to the system; the colour bits
// count no alpha, and none is asked for) and the depth bits.
QSurfaceFormat surface_format_for(const PixelFormatDescriptor& requested);

// The descriptor of the format a context was given: the requested flags with double buffering and
// stereo as obtained, the obtained channel sizes packed red, green, blue from the top, and the depth
// and stencil bits. Colour index never exists here, so the pixel type is RGBA.
PixelFormatDescriptor describe_surface_format(const PixelFormatDescriptor& requested,
                                              const QSurfaceFormat& obtained);

struct PaletteEntry {
  std::uint8_t peRed = 0;
  std::uint8_t peGreen = 0;
  std::uint8_t peBlue = 0;
  std::uint8_t peFlags = 0;
};

// Largest colour depth for which a logical palette is built (256 entries).
inline constexpr int kMaxPaletteColorBits = 8;

// The logical palette of a format: 2^cColorBits entries; the red of entry i is
// ((i >> cRedShift) & (2^cRedBits - 1)) * 255 / (2^cRedBits - 1) in integer arithmetic, green and
// blue alike, flags 0. A component with 0 bits is 0. Formats of more than 8 colour bits are direct
// colour and get no palette (an empty list).
std::vector<PaletteEntry> palette_entries_for(const PixelFormatDescriptor& format);

}  // namespace morvell
