// The program as its start-up makes it, for the tests of the main window and the windows it opens: the
// design (program_design.h), scripted modal services, the warning dialog and the main window, whose
// creation runs the first refresh. A test's own fixture derives from Program and adds the other windows
// it needs as ProgramWindow members, created after the main window as the program creates them.
#pragma once

#include <QStringList>

#include <memory>
#include <utility>

#include "design_data.h"
#include "export_type_form.h"
#include "main_window.h"
#include "program_design.h"
#include "scripted_modal_services.h"
#include "warning_dialog.h"

namespace morvell::testing {

// A window of the program, reachable through its instance variable (metrologyform, ...) while it lives.
template <class Window>
class ProgramWindow {
 public:
  template <class... Args>
  explicit ProgramWindow(Window*& instance, Args&&... args)
      : instance_(instance), window_(std::make_unique<Window>(std::forward<Args>(args)...)) {
    instance_ = window_.get();
  }
  ~ProgramWindow() { instance_ = nullptr; }
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  Window* get() const { return window_.get(); }
  Window* operator->() const { return window_.get(); }
  Window& operator*() const { return *window_; }

 private:
  Window*& instance_;
  std::unique_ptr<Window> window_;
};

// `Services` answer the modal interactions (forms::ScriptedModalServices or one derived from it).
template <class Services = forms::ScriptedModalServices>
struct Program {
  std::unique_ptr<DesignData> d;
  Services scripted;
  forms::ScopedServices use{scripted};
  ProgramWindow<Tgeomwarningform> warning;  // before the main window: its first refresh may need it
  std::unique_ptr<TMainForm> main;

  explicit Program(std::unique_ptr<DesignData> design = program_design())
      : d(std::move(design)), warning(geomwarningform, *d), main(std::make_unique<TMainForm>(*d)) {}
  ~Program() {
    main.reset();
    Graphicsexportform = nullptr;  // the main window's child, gone with it
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DesignData& design() { return *d; }
  TMainForm& form() { return *main; }

  // The texts of the warning dialogs shown so far, in order.
  QStringList warnings() const { return scripted.warnings(); }
};

}  // namespace morvell::testing
