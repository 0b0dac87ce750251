// Print dialog answers that print into the PDF file printed.pdf in the working directory instead of a
// printer, so that a test reads what was printed.
#pragma once

#include <QPrinter>

#include "scripted_modal_services.h"

namespace morvell::testing {

class PrintToPdf : public forms::ScriptedModalServices {
 public:
  bool print_setup(QWidget* parent, QPrinter& printer) override {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("printed.pdf");
    return ScriptedModalServices::print_setup(parent, printer);
  }
};

}  // namespace morvell::testing
