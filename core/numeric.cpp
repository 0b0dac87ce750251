#include "numeric.h"

#include <utility>

namespace morvell {

namespace {
DomainErrorReporter& reporter_slot() {
  static DomainErrorReporter reporter;
  return reporter;
}

thread_local std::vector<std::string>* thread_collector = nullptr;
}  // namespace

DomainErrorCollector::DomainErrorCollector(std::vector<std::string>& reports)
    : previous_(std::exchange(thread_collector, &reports)) {}

DomainErrorCollector::~DomainErrorCollector() { thread_collector = previous_; }

DomainErrorReporter set_domain_error_reporter(DomainErrorReporter reporter) {
  return std::exchange(reporter_slot(), std::move(reporter));
}

void report_math_error(const char* function, const char* kind) {
  report_domain_error(std::string(function) + ": " + kind + " error");
}

void report_domain_error(const std::string& text) {
  if (thread_collector) {
    thread_collector->push_back(text);
    return;
  }
  if (auto& r = reporter_slot()) r(text);
}

ld checked_sqrt(ld x) {
  if (x < 0.0L) { report_math_error("sqrt", "DOMAIN"); return nan_ld(); }
  return std::sqrt(x);
}

ld checked_acos(ld x) {
  if (x < -1.0L || x > 1.0L) { report_math_error("acos", "DOMAIN"); return nan_ld(); }
  return std::acos(x);
}

ld checked_asin(ld x) {
  if (x < -1.0L || x > 1.0L) { report_math_error("asin", "DOMAIN"); return nan_ld(); }
  return std::asin(x);
}

int32_t to_int32_clamped(ld v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0L) return INT32_MAX;
  if (v <= -2147483648.0L) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace morvell
