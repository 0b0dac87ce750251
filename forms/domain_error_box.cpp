#include "domain_error_box.h"

#include <QApplication>
#include <QFileInfo>

#include <map>

#include "application.h"
#include "modal_services.h"
#include "numeric.h"

namespace morvell {

namespace {

void show_error(const std::string& text) {
  const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  forms::services().message(QApplication::activeWindow(), caption, QString::fromStdString(text),
                            forms::MessageIcon::Error);
}

}  // namespace

void DomainErrorBox::operator()(const std::string& text) {
  if (forms::user_action_number() != action_) {
    action_ = forms::user_action_number();
    shown_.clear();
  }
  if (!shown_.insert(text).second) return;
  show_error(text);
}

void install_domain_error_box() { set_domain_error_reporter(DomainErrorBox()); }

GatheredDomainErrors::GatheredDomainErrors() : collector_(std::make_unique<DomainErrorCollector>(reports_)) {}

GatheredDomainErrors::~GatheredDomainErrors() = default;

std::string GatheredDomainErrors::message(std::string_view what, std::string_view consequence) const {
  if (reports_.empty()) return {};
  // Each text once, in the order it first came, with how often it came.
  std::vector<std::string> order;
  std::map<std::string, std::size_t> times;
  for (const std::string& r : reports_)
    if (times[r]++ == 0) order.push_back(r);
  std::string text = std::string(what) + " met " + std::to_string(reports_.size()) +
                     (reports_.size() == 1 ? " domain error:" : " domain errors:");
  for (const std::string& r : order) {
    const std::size_t n = times[r];
    text += "\n" + r + " (" + std::to_string(n) + (n == 1 ? " time)" : " times)");
  }
  if (!consequence.empty()) text += "\n" + std::string(consequence);
  return text;
}

void GatheredDomainErrors::show(std::string_view what, std::string_view consequence) {
  collector_.reset();
  const std::string text = message(what, consequence);
  if (!text.empty()) show_error(text);
}

}  // namespace morvell
