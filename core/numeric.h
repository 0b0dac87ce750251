// Numeric helpers shared by every calculation of the core.
//
// Values are stored as 32-bit floats; every intermediate is long double (80-bit extended on x86-64).
// Square root, arc cosine and arc sine outside their domain are reported once through an installable
// reporter ("sqrt: DOMAIN error") and the calculation continues with NaN.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace morvell {

using ld = long double;

// pi to extended precision, and the conversion of degrees to radians and back with it: every
// calculation takes these.
inline constexpr ld kPi = 3.141592653589793238462643383279502884L;
inline ld deg_to_rad(ld deg) { return deg * kPi / 180.0L; }
inline ld rad_to_deg(ld rad) { return rad * 180.0L / kPi; }

// pi rounded to a double (3.141592653589793), and the conversions deg x pi x (1/180) and
// rad x 180 x (1/pi) with it and 1/180 in extended precision. The load-case arithmetic of the load
// relations, the inspection windows and the search report form their figures with these and keep them,
// so that every figure they show or store stays the same to the last bit; nothing else takes them.
inline constexpr ld kPiDouble = 3.141592653589793;
inline ld deg_to_rad_double_pi(ld deg) { return deg * kPiDouble * (1.0L / 180.0L); }
inline ld rad_to_deg_double_pi(ld rad) { return rad * 180.0L * (1.0L / kPiDouble); }

// Degrees to radians and back in the arithmetic of W (float or double), with pi rounded to W: for the
// steps of the tooth generator that work in float or double precision.
template <typename W>
W deg_to_rad_in(W deg) { return deg * static_cast<W>(kPi) / 180; }
template <typename W>
W rad_to_deg_in(W rad) { return rad * 180 / static_cast<W>(kPi); }

// Involute function inv(phi) = tan(phi) - phi, phi in radians.
inline ld involute(ld phi) { return std::tan(phi) - phi; }

inline ld nan_ld() { return std::numeric_limits<ld>::quiet_NaN(); }
inline float nan_f() { return std::numeric_limits<float>::quiet_NaN(); }

// The 32-bit float an extended-precision value is stored as: the one rounding for a calculation that
// stores its result as a float. It rounds to the nearest float; a value that rounds beyond the largest
// float (from half a unit in its last place above it on) becomes +-infinity, and NaN stays NaN. That is
// the IEEE 754 conversion itself, which the program's floating-point types follow, so it costs nothing
// beside the conversion in the calculations' inner loops.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<ld>::is_iec559);
inline float to_float(ld v) { return static_cast<float>(v); }

// Receives the text of a domain error, e.g. "sqrt: DOMAIN error". The program installs one that shows
// a message box; tests install one that records. With none installed, reports are dropped.
using DomainErrorReporter = std::function<void(const std::string&)>;

// Installs the reporter and returns the one installed before.
DomainErrorReporter set_domain_error_reporter(DomainErrorReporter reporter);

// Formats "%s: %s error" from the function name and the error kind and hands it to the reporter, or
// to the collector of the calling thread when one is set.
void report_math_error(const char* function, const char* kind);
// Hands a report as it was formatted to the reporter (or the thread's collector).
void report_domain_error(const std::string& text);

// While it lives, the reports of the calling thread are appended to `reports` instead of reaching the
// installed reporter: a search's worker thread collects them so that the caller's thread can hand them
// on in the order of the candidates. Collectors of one thread nest.
class DomainErrorCollector {
 public:
  explicit DomainErrorCollector(std::vector<std::string>& reports);
  ~DomainErrorCollector();
  DomainErrorCollector(const DomainErrorCollector&) = delete;
  DomainErrorCollector& operator=(const DomainErrorCollector&) = delete;

 private:
  std::vector<std::string>* previous_;
};

// Checked functions: outside their domain they report and return NaN. A NaN argument passes
// through silently (it was reported where it arose).
ld checked_sqrt(ld x);
ld checked_acos(ld x);
ld checked_asin(ld x);

// Rounding half up: ceil(w) when ceil(w) - w <= 0.5, else floor(w).
inline ld round_half_up(ld w) {
  const ld c = std::ceil(w);
  return (c - w <= 0.5L) ? c : std::floor(w);
}

// The whole part of a product formed with a value held as a 32-bit float: a product that lies within the
// float's rounding (a few parts in 10^7) below a whole number counts as that number, any other fraction
// is cut off. So z1 times a ratio stored as float(z2 / z1) gives back z2, and 23 x 1.5 still gives 34.
inline ld whole_part_of_float_product(ld product) {
  const ld nearest = std::round(product);
  return std::fabs(product - nearest) <= std::fabs(product) * 0x1p-21L ? nearest : std::trunc(product);
}

// Converts a rounded value to a 32-bit count without undefined behaviour: NaN gives 0 and values
// beyond the range of int32_t are clamped.
int32_t to_int32_clamped(ld v);

// Bounded bisection. `go_up(mid)` tells whether the solution lies above mid (then lo = mid, else
// hi = mid). Stops when |hi - lo| <= tolerance, when the interval no longer narrows, or after
// max_steps; returns the last midpoint (NaN bounds give NaN at once).
template <typename T, typename GoUp>
T bisect(T lo, T hi, T tolerance, GoUp go_up, int max_steps = 200) {
  T mid = (lo + hi) / 2;
  if (std::isnan(lo) || std::isnan(hi) || std::isnan(tolerance)) return mid;
  for (int step = 0; step < max_steps && std::fabs(hi - lo) > tolerance; ++step) {
    mid = (lo + hi) / 2;
    const T before = hi - lo;
    if (go_up(mid)) lo = mid; else hi = mid;
    if (!(std::fabs(hi - lo) < std::fabs(before))) break;  // no longer narrows
  }
  return mid;
}

// Least of / largest of a list of candidates tested in order: each candidate that is <= (>=) the best
// so far is taken, so the later of equal candidates wins. NaN candidates take no part. Returns the
// 1-based number of the winner (0 when no candidate is valid) and leaves `value` unchanged then.
template <typename T, size_t N>
int least_of(const T (&candidates)[N], T& value) {
  int kind = 0;
  T best = T();
  for (size_t i = 0; i < N; ++i) {
    if (std::isnan(candidates[i])) continue;
    if (kind == 0 || candidates[i] <= best) { best = candidates[i]; kind = static_cast<int>(i) + 1; }
  }
  if (kind) value = best;
  return kind;
}

template <typename T, size_t N>
int largest_of(const T (&candidates)[N], T& value) {
  int kind = 0;
  T best = T();
  for (size_t i = 0; i < N; ++i) {
    if (std::isnan(candidates[i])) continue;
    if (kind == 0 || candidates[i] >= best) { best = candidates[i]; kind = static_cast<int>(i) + 1; }
  }
  if (kind) value = best;
  return kind;
}

}  // namespace morvell
