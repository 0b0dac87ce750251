// The program's windows, each created once in the order of start-up and reachable through its
// instance variable (MainForm, splashform, ...) while this object lives.
#pragma once

#include <memory>
#include <vector>

#include "design_data.h"

class QWidget;

namespace morvell {

class Tgeomwarningform;
class TMainForm;
class Tsplashform;
class TConstraintsform;
class Tmetrologyform;
class TISO_rating_input_form;
class TSNcurveForm;
class TChamferform;
class TProgressform;
class TStandardrackform;
class TOptionform2;
class Tfaceoffsetform;
class Tloadcasemultipleform;
class TSNCurvesform;
class Tflashtempform;
class Tflashloadform;
class Tstartupform;
class Tsizingform;
class Tuseoptimizedform;
class TTolerancesform;
class Toptimizationform;
class Tcentreminimizeform;

class ProgramWindows {
 public:
  // Creates every window for the design d. The main window computes the window scale from the screen
  // and d.window_size_step; every window created after it scales itself by it.
  explicit ProgramWindows(DesignData& d);
  ~ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  // Every top-level window, in the order of creation.
  std::vector<QWidget*> all() const;

  std::unique_ptr<Tgeomwarningform> warning;
  std::unique_ptr<TMainForm> main;
  std::unique_ptr<Tsplashform> splash;
  std::unique_ptr<TConstraintsform> constraints;
  std::unique_ptr<Tmetrologyform> metrology;
  std::unique_ptr<TISO_rating_input_form> rating_inputs;
  std::unique_ptr<TSNcurveForm> sn_curve_data;
  std::unique_ptr<TChamferform> chamfers;
  std::unique_ptr<TProgressform> progress;
  std::unique_ptr<TStandardrackform> standard_rack;
  std::unique_ptr<TOptionform2> rack_options;
  std::unique_ptr<Tfaceoffsetform> face_offset;
  std::unique_ptr<Tloadcasemultipleform> load_cases;
  std::unique_ptr<TSNCurvesform> sn_curves;
  std::unique_ptr<Tflashtempform> flash_temperature;
  std::unique_ptr<Tflashloadform> flash_load;
  std::unique_ptr<Tstartupform> startup;
  std::unique_ptr<Tsizingform> sizing;
  std::unique_ptr<Tuseoptimizedform> use_optimized;
  std::unique_ptr<TTolerancesform> tolerances;
  std::unique_ptr<Toptimizationform> optimization;
  std::unique_ptr<Tcentreminimizeform> centre_minimize;
};

}  // namespace morvell
