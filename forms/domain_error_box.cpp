#include "domain_error_box.h"

#include <QApplication>
#include <QFileInfo>

#include "application.h"
#include "modal_services.h"
#include "numeric.h"

namespace morvell {

void DomainErrorBox::operator()(const std::string& text) {
  if (forms::user_action_number() != action_) {
    action_ = forms::user_action_number();
    shown_.clear();
  }
  if (!shown_.insert(text).second) return;
  const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  forms::services().message(QApplication::activeWindow(), caption, QString::fromStdString(text),
                            forms::MessageIcon::Error);
}

void install_domain_error_box() { set_domain_error_reporter(DomainErrorBox()); }

}  // namespace morvell
