// The reporter of the core's domain errors ("sqrt: DOMAIN error") in the program: a message box with
// an error icon and the program's file name as caption, shown at most once per user action for the
// same text; the calculation then continues with NaN.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace morvell {

class DomainErrorBox {
 public:
  void operator()(const std::string& text);

 private:
  uint64_t action_ = UINT64_MAX;
  std::set<std::string> shown_;
};

// Installs a DomainErrorBox as the core's reporter.
void install_domain_error_box();

}  // namespace morvell
