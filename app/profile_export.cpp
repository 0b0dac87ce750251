#include "profile_export.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "numeric.h"
#include "report_file.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

constexpr const char* kEol = "\r\n";

// Appends printf-style text of any length.
void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n > 0) {
    const std::size_t at = out.size();
    out.resize(at + std::size_t(n) + 1);
    std::vsnprintf(out.data() + at, std::size_t(n) + 1, format, args);
    out.resize(at + std::size_t(n));
  }
  va_end(args);
}

void line(std::string& out, const char* text) {
  out += text;
  out += kEol;
}

const char* layer_of(int gear, bool nominal) {
  if (gear == 0) return nominal ? "PINNOM" : "PINFIN";
  return nominal ? "WHENOM" : "WHEFIN";
}

// --- co-ordinate list ---

void text_outline(std::string& out, DesignData& d, const OutlineSource& source, int gear, bool nominal) {
  source(d, gear, nominal);
  const char* title = gear == 0 ? (nominal ? "Pinion (nominal profile) " : "Pinion (finished profile) ")
                                : (nominal ? "Wheel (nominal profile) " : "Wheel (finished profile) ");
  line(out, title);
  line(out, "  x         y ");
  for (const ProfilePoint& p : d.profile_points.points) {
    appendf(out, "%10.5f %10.5f", double(p.x), double(p.y));
    out += kEol;
  }
}

// --- DXF ---

void dxf_pair(std::string& out, const char* code, const char* value) {
  line(out, code);
  line(out, value);
}

void dxf_section_start(std::string& out) {
  dxf_pair(out, "0", "SECTION");
  dxf_pair(out, "2", "ENTITIES");
}

void dxf_section_end(std::string& out) {
  dxf_pair(out, "0", "ENDSEC");
  dxf_pair(out, "0", "EOF");
}

void dxf_polyline_start(std::string& out, const char* layer) {
  dxf_pair(out, "0", "POLYLINE");
  dxf_pair(out, "8", layer);
  dxf_pair(out, "66", "1");  // vertices follow
}

// The vertices of one polyline. A vertex that would be written as the one before it (two outline points
// that coincide, or lie closer than the five decimals written) is left out: a CAD system reads it as a
// segment of no length.
struct DxfPolyline {
  std::string& out;
  const char* layer;
  std::string last;  // the co-ordinates of the vertex written last, as written

  void vertex(double x, double y) {
    // A co-ordinate that rounds to zero is written as 0, never as -0: a mirrored point on the centre line
    // is the same vertex.
    if (std::fabs(x) < 5e-6) x = 0.0;
    if (std::fabs(y) < 5e-6) y = 0.0;
    std::string xy;
    appendf(xy, "%-10.5f", x);
    xy += kEol;
    xy += "20";
    xy += kEol;
    appendf(xy, "%-10.5f", y);
    xy += kEol;
    if (xy == last) return;
    dxf_pair(out, "0", "VERTEX");
    dxf_pair(out, "8", layer);
    line(out, "10");
    out += xy;
    last = std::move(xy);
  }
};

void dxf_polyline_end(std::string& out, const char* layer) {
  dxf_pair(out, "0", "SEQEND");
  dxf_pair(out, "8", layer);
}

void dxf_single_outline(std::string& out, DesignData& d, const OutlineSource& source, int gear, bool nominal) {
  source(d, gear, nominal);
  const char* layer = layer_of(gear, nominal);
  dxf_polyline_start(out, layer);
  DxfPolyline polyline{out, layer, {}};
  for (const ProfilePoint& p : d.profile_points.points) polyline.vertex(double(p.x), double(p.y));
  dxf_polyline_end(out, layer);
}

// Every tooth of one gear as one polyline of 40 points a tooth: the reference tooth turned about the
// gear centre by one pitch per tooth, from +y towards -x. In the mesh the wheel is turned by half a
// turn and half a pitch and its centre lies at (0, a), so that a tooth space faces the pinion's
// reference tooth.
void dxf_all_teeth(std::string& out, DesignData& d, const OutlineSource& source, int gear, bool in_mesh) {
  source(d, gear, false);
  ProfilePoint sample[kProfileSamplePoints];
  sample_profile_points(d.profile_points, sample);
  const char* layer = layer_of(gear, false);
  const int32_t z = d.teeth[gear];
  const ld pi = kPi;
  const ld turn = in_mesh ? pi + pi / ld(z) : 0.0L;
  const ld centre_y = in_mesh ? ld(d.centre_distance) : 0.0L;
  dxf_polyline_start(out, layer);
  DxfPolyline polyline{out, layer, {}};
  for (int32_t t = 0; t < z; ++t) {
    for (const ProfilePoint& p : sample) {
      const ld x = p.x;
      const ld y = p.y;
      const ld r = std::sqrt(x * x + y * y);
      const ld gamma = std::atan(x / y);  // polar angle from +y towards +x
      const ld gamma_t = gamma - 2.0L * pi * ld(t) / ld(z) - turn;
      polyline.vertex(double(r * std::sin(gamma_t)), double(r * std::cos(gamma_t) + centre_y));
    }
  }
  dxf_polyline_end(out, layer);
}

}  // namespace

bool export_is_text(int32_t export_type) {
  return export_type == kExportPinionText || export_type == kExportWheelText;
}

const char* default_export_file_name(int32_t export_type) {
  return export_is_text(export_type) ? "profile.dat" : "profile.dxf";
}

std::string profile_export_bytes(DesignData& d, const OutlineSource& source) {
  std::string out;
  const int32_t type = d.export_type;
  const int32_t outline = d.export_profile_type;
  const bool finished = outline == kExportFinished || outline == kExportFinishedAndNominal;
  const bool nominal = outline == kExportNominal || outline == kExportFinishedAndNominal;

  switch (type) {
    case kExportPinionText:
    case kExportWheelText: {
      const int gear = type == kExportPinionText ? 0 : 1;
      if (finished) text_outline(out, d, source, gear, false);
      if (nominal) text_outline(out, d, source, gear, true);
      break;
    }
    case kExportPinionDxf:
    case kExportWheelDxf: {
      const int gear = type == kExportPinionDxf ? 0 : 1;
      dxf_section_start(out);
      if (finished) dxf_single_outline(out, d, source, gear, false);
      if (nominal) dxf_single_outline(out, d, source, gear, true);
      dxf_section_end(out);
      break;
    }
    case kExportPinionAllDxf:
    case kExportWheelAllDxf:
    case kExportMeshDxf:
      // Only the finished outline is drawn for all teeth; the dialog forces it for these types.
      dxf_section_start(out);
      if (outline == kExportFinished) {
        if (type != kExportWheelAllDxf) dxf_all_teeth(out, d, source, 0, false);
        if (type != kExportPinionAllDxf) dxf_all_teeth(out, d, source, 1, type == kExportMeshDxf);
      }
      dxf_section_end(out);
      break;
    default:
      break;
  }
  return out;
}

bool write_profile_export(DesignData& d, const std::string& path, std::string* error) {
  // An outline the generator could not work out (a thickness or diameter that is not a number) would
  // put "nan" into the file, which no CAD system reads: nothing is written then.
  bool finite = true, within = true;
  const auto checked_outline = [&finite, &within](DesignData& dd, int gear, bool nominal) {
    generate_gear_outline(dd, gear, nominal);
    // Nor is an outline written that leaves the band between its root and tip circles: its shape has
    // left the rules it is built from (a fillet or protuberance the rack cannot cut).
    const ld root = ld(dd.root_diameter[gear]) / 2, tip = ld(dd.tip_diameter[gear]) / 2;
    const ld slack = 1e-4L * (1 + tip);
    for (const ProfilePoint& p : dd.profile_points.points) {
      finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
      const ld r = std::hypot(ld(p.x), ld(p.y));
      within = within && !(r < root - slack || r > tip + slack);
    }
  };
  const std::string bytes = profile_export_bytes(d, checked_outline);
  if (!finite) {
    if (error)
      *error = "The tooth outline cannot be worked out for this design (a thickness or diameter is not a "
               "number), so \"" + path + "\" was not written.";
    return false;
  }
  if (!within) {
    if (error)
      *error = "The tooth outline of this design runs outside its root and tip circles, so \"" + path +
               "\" was not written.";
    return false;
  }
  return write_text_file(path, bytes, error);
}

}  // namespace morvell
