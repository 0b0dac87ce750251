// The reporter of the core's domain errors ("sqrt: DOMAIN error") in the program: a message box with
// an error icon and the program's file name as caption, shown at most once per user action for the
// same text; the calculation then continues with NaN.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace morvell {

class DomainErrorCollector;

class DomainErrorBox {
 public:
  void operator()(const std::string& text);

 private:
  uint64_t action_ = UINT64_MAX;
  std::set<std::string> shown_;
};

// Installs a DomainErrorBox as the core's reporter.
void install_domain_error_box();

// Gathers the domain-error reports of a computation over many candidates (a search, the sizing, the
// centre-distance minimisation) on the calling thread while it lives, instead of a box for each, so that
// no box stops the computation half-way; show() then tells them in one message with their count.
class GatheredDomainErrors {
 public:
  GatheredDomainErrors();
  ~GatheredDomainErrors();
  GatheredDomainErrors(const GatheredDomainErrors&) = delete;
  GatheredDomainErrors& operator=(const GatheredDomainErrors&) = delete;

  // Ends the gathering and, when there were reports, shows one message in the domain-error box's form:
  // "`what` met N domain errors:", each text once with how often it came, then `consequence`.
  void show(std::string_view what, std::string_view consequence);
  // The message show() gives; empty when there were no reports.
  std::string message(std::string_view what, std::string_view consequence) const;
  std::size_t count() const { return reports_.size(); }

 private:
  std::vector<std::string> reports_;
  std::unique_ptr<DomainErrorCollector> collector_;
};

}  // namespace morvell
