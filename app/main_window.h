// The main window "Gear Geometry": every geometry input of the pair, the results pane with the 2D plot
// and 3D view that share its place, the load-case list, the status line and the menu bar.
//
// The controls carry the names the handlers refer to (Moduleedit, CheckBoxmodule, mainresults, ...);
// each numeric field is bound to the edit-field idiom (edit_fields.h) when the window is built. The
// window owns no design data: it works on the program's one DesignData, passed in.
#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

#include "design_data.h"
#include "file_writing.h"
#include "geometry_warnings.h"
#include "modal_services.h"
#include "opengl_panel.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;
class QTextEdit;
class QWidget;

namespace morvell {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(DesignData& d, QWidget* parent = nullptr);

  // Event handlers of the window itself.
  void FormCreate();
  void FormShow();
  void FormClose();

  // The first show acts on the start-up choice (first_show.cpp): the reduced layout for entering geometry
  // ends with Continue; "Size gears" runs the sizing search on the wizard's targets.
  void continuebuttonClick();
  void sizing_search();

  // Brings every displayed value up to date with the design data.
  void SetMain_textboxes();
  // Explains one geometry warning (a correction the refresh made between its two geometry passes) in the
  // warning dialog.
  void show_geometry_warning(GeometryWarning kind, int gear);
  // The geometry report in the results pane.
  void mainform_report();
  // The rating reports in the results pane: the full rating (details) and its summary.
  void ratingdetails_report();
  void ratingsummary_report();
  // Hooks of the refresh for the 2D mesh plot and the 3D view.
  void refresh_mesh_plot();
  void refresh_3d_view();

  DesignData& design() { return d_; }

  // --- 2D mesh plot, 3D view and the commands they share (view_commands.cpp) ---
  void mainform_meshplot_report();  // draws the 2D plot on Image1
  void ShowplotbuttonClick();
  void ViewPinion1Click();
  void ViewWheel1Click();
  void ViewMesh1Click();
  void ShowNominalProfile1Click();
  void ZoominbuttonClick();
  void ZoomoutbuttonClick();
  void resetButtonClick();
  void PanButtonClick();
  void Image1MouseDown(int x, int y);
  void Image1MouseUp(int x, int y);
  void OpenGLPanel1Init();
  void OpenGLPanel1Paint();
  void OpenGLPanel1MouseDown(int x, int y);
  void OpenGLPanel1MouseUp(int x, int y);
  void plot3DbuttonClick();
  void plot2DbuttonClick();
  void rotatebuttonClick();

  // --- Handlers of the geometry inputs (geometry_inputs_basic.cpp, geometry_inputs_teeth.cpp) ---
  // Entering a numeric field and changing its text follow the shared edit-field idiom; these are the
  // field exits, the boxes, buttons and lists, and the Enter key (character 13) of the reduced window.
  void ModuleeditExit();
  void PressureangleeditExit();
  void HelixangleeditExit();
  void CentredisteditExit();
  void PinfacewidtheditExit();
  void WheelfacewidtheditExit();
  void PinedgechameditExit();
  void WheeledgechameditExit();
  void RatioeditExit();
  void Z1editExit();
  void Z2editExit();
  void SigmaXeditExit();
  void x1editExit();
  void x2editExit();
  void xtrackbarExit();
  void CheckBoxCentreClick();  // also the click of sigmaXCheckBox
  void CheckBoxmoduleClick();
  void RatioCheckBoxClick();
  void XCheckBoxClick();
  void pinhelixhandbuttonClick();
  void wheelhelixhandbuttonClick();
  void ModuleeditKeyPress(int key);
  void PressureangleeditKeyPress(int key);
  void HelixangleeditKeyPress(int key);
  void Z1editKeyPress(int key);
  void Z2editKeyPress(int key);
  void SigmaXeditKeyPress(int key);
  void BacklasheditExit();
  void backlashComboBoxChange();
  void thicknessComboBoxChange();
  void finthicknessComboBoxChange();
  void backlashtrackbarExit();
  void PinthickeditExit();
  void WheelthickeditExit();
  void PinfinthickExit();
  void WheelfinthickExit();
  void PintipdiaeditExit();
  void WheeltipdiaeditExit();
  void pinchameditExit();
  void wheelchameditExit();
  void PinrootdiaeditExit();
  void WheelrootdiaeditExit();
  void PinfilleteditExit();
  void WheelfilleteditExit();
  void ha1rackeditExit();
  void ha2rackeditExit();
  void hf1rackeditExit();
  void hf2rackeditExit();
  void rho1rackeditExit();
  void rho2rackeditExit();
  void pinproteditExit();
  void wheelproteditExit();
  void Tooth_propChange();
  void pinwheelcheckboxClick();
  void tipdiaredcheckboxClick();

  // --- Menu commands, file commands, units and the load-case list (menu_commands.cpp, file_commands.cpp) ---
  void Open1Click();
  void Save1Click();
  void Close1Click();  // "Save As"
  void English1Click();
  void Metric1Click();
  void Report2Click();  // report to file
  void Report3Click();  // report to printer
  void InputData1Click();
  void RateGears1Click();
  void FlashTemperature1Click();
  void RunOptimizer1Click();
  void Minimizecentredistance1Click();
  void Componentplot1Click();
  void Toolplot1Click();
  void MeasurementOverBalls1Click();
  void Tolerancing1Click();
  void TE1Click();
  void EditConstraints1Click();
  void Exportprofilecoords1Click();
  void Geometry1Click();
  void RatingResults1Click();
  void RatingDetails1Click();
  void Chamfers1Click();
  void Overide2Click();
  void Activate1Click();
  void Facewidthoffset1Click();
  void Increase1Click();
  void Decrease1Click();
  void About1Click();
  void ListBox1Click();
  void ListBox1KeyUp();
  void mainresultsEnter();
  // Caret of the results pane to its start, the refresh, focus to the results pane when it is visible.
  void closing_refresh();
  // Refills the load-case list, one entry per stored case, selects the first and takes it into the current
  // rating inputs: the case the list shows selected is the one rated (a design file read leaves the load
  // of its last case current, the rating input window that of the case it showed last).
  void refill_load_case_list();
  // Copies load case k into the current rating inputs with the load cycles and the power.
  void take_load_case(int k);
  // Lock boxes in the state of mode 0 (module fixed) for an overridden geometry manager.
  void show_overridden_lock_boxes();
  // Unit texts, menu items and display factors of the unit system (1 metric, 2 English).
  void set_unit_system(int32_t unit_system);
  // Of those the unit labels behind the fields, the raised "-1" of the diametral pitch and the two
  // menu items (no caption, hint or factor).
  void show_unit_labels(bool english);
  // Writes the design to `path` (extension as given); a failure is reported and false returned.
  bool save_design_as(const std::string& path);
  // Opens the design file `path`, for File > Open and for the start-up window's choice at the first
  // show: the file is read once and checked against a copy of the design, so that a file that cannot
  // be read or holds a value the program refuses (or a path too long for the name field) is reported
  // and leaves the design, its name and the window as they were. Otherwise `prepare` runs (the
  // command's own steps before the design changes), the design takes the file's values and its name,
  // and a remark on the file (it ends early, ...) is shown. True when the design was opened.
  bool open_design_file(const std::string& path, const std::function<void()>& prepare = {});

  // The windows the menus open (menu_call_points.cpp; the main window's own dialogs in their files).
  // Each shows its window modally; without the window's instance it does nothing.
  void show_rating_input_dialog();       // TISO_rating_input_form
  void show_sn_curves_window();          // TSNCurvesform
  void show_flash_temperature_dialog();  // Tflashtempform
  void show_design_search_window();      // Toptimizationform
  void show_use_optimized_question();    // Tuseoptimizedform
  // The design picked in the design search window since its last search; nullptr when none was.
  const DesignData* picked_search_design() const;
  void show_measurement_dialog();        // Tmetrologyform
  void show_tolerances_dialog();         // TTolerancesform
  void show_constraints_dialog();        // TConstraintsform
  void show_chamfer_dialog();            // TChamferform
  void show_face_offset_dialog();        // Tfaceoffsetform
  void show_about_window();              // Tsplashform

  // --- Basic dimensions ---
  QLabel* Modulelabel;
  QLineEdit* Moduleedit;
  QCheckBox* CheckBoxmodule;
  QLineEdit* Pressureangleedit;
  QLineEdit* Helixangleedit;
  QPushButton* pinhelixhandbutton;
  QPushButton* wheelhelixhandbutton;
  QLineEdit* Centredistedit;
  QCheckBox* CheckBoxCentre;
  QLineEdit* Pinfacewidthedit;
  QLineEdit* Wheelfacewidthedit;
  QLineEdit* Pinedgechamedit;
  QLineEdit* Wheeledgechamedit;
  QLineEdit* Ratioedit;
  QLineEdit* Actratioedit;
  QCheckBox* RatioCheckBox;
  QLineEdit* Z1edit;
  QLineEdit* Z2edit;
  QLineEdit* SigmaXedit;
  QCheckBox* sigmaXCheckBox;
  QLineEdit* x1edit;
  QLineEdit* x2edit;
  QCheckBox* XCheckBox;
  QSlider* xtrackbar;

  // --- Tooth sizes ---
  QComboBox* backlashComboBox;
  QLineEdit* Backlashedit;
  QSlider* backlashtrackbar;
  QComboBox* thicknessComboBox;
  QLineEdit* Pinthickedit;
  QLineEdit* Wheelthickedit;
  QComboBox* finthicknessComboBox;
  QLineEdit* Pinfinthick;
  QLineEdit* Wheelfinthick;
  QLineEdit* Pintipdiaedit;
  QLineEdit* Wheeltipdiaedit;
  QLineEdit* pinchamedit;
  QLineEdit* wheelchamedit;
  QLineEdit* Pinrootdiaedit;
  QLineEdit* Wheelrootdiaedit;
  QLineEdit* Pinfilletedit;
  QLineEdit* Wheelfilletedit;

  // --- Basic rack ---
  QLabel* Calcracklabel;
  QComboBox* Tooth_prop;
  QLabel* rackaddlabel;
  QLineEdit* ha1rackedit;
  QLineEdit* ha2rackedit;
  QLabel* rackdedendumlabel;
  QLineEdit* hf1rackedit;
  QLineEdit* hf2rackedit;
  QLabel* filletLabel;
  QLineEdit* rho1rackedit;
  QLineEdit* rho2rackedit;
  QLineEdit* pinprotedit;
  QLineEdit* wheelprotedit;
  QCheckBox* tipdiaredcheckbox;
  QCheckBox* pinwheelcheckbox;

  // --- Unit texts ---
  QLabel* dplabel2;  // the raised "-1" behind the module unit in English units
  QLabel* unitsMn;
  QLabel* unitsalpha;
  QLabel* unitsbeta;
  QLabel* unitsa;
  QLabel* unitsb;
  QLabel* unitsedgechamfer;
  QLabel* unitssigmax;
  QLabel* unitsx;
  QLabel* unitsj;
  QLabel* unitsnomthickness;
  QLabel* unitsfinishedthickness;
  QLabel* unitsda;
  QLabel* unitstipchamfer;
  QLabel* unitsdf;
  QLabel* unitsrho;
  QLabel* unitsrackaddendum;
  QLabel* unitsrackdedendum;
  QLabel* unitsrackfilletradius;
  QLabel* unitsprotuberance;

  // --- Results pane, pictures, buttons, load cases, status line ---
  QTextEdit* mainresults;  // holds 100 lines; reports write them by index
  QLabel* Image1;          // the 2D mesh plot
  TOpenGLPanel* OpenGLPanel1 = nullptr;  // the 3D view, laid over Image1 (none without OpenGL)
  // What the first show says when the display offers no OpenGL (also the tooltip of "3D Plot").
  static const char* const kNo3DViewText;
  bool no_3d_view() const { return no_3d_view_; }
  QListWidget* ListBox1;
  QPushButton* Showplotbutton;
  QPushButton* Zoominbutton;
  QPushButton* Zoomoutbutton;
  QPushButton* PanButton;
  QPushButton* resetButton;
  QPushButton* plot3Dbutton;
  QPushButton* plot2Dbutton;
  QPushButton* rotatebutton;
  QPushButton* continuebutton;
  QWidget* Panel2;  // the cover panel spread over the controls until the first show
  QLabel* statusbartextleft;
  QLabel* statusbartextmiddle;

  // --- Menu bar ---
  QMenuBar* mainmenudesign;
  QMenu* File1;
  QAction* Open1;
  QAction* Save1;
  QAction* Close1;  // "Save As"
  QAction* Close2;  // "Exit"
  QMenu* Units;
  QAction* English1;
  QAction* Metric1;
  QMenu* Window1;  // "Print"
  QAction* Report2;
  QAction* Report3;
  QMenu* Rating1;
  QAction* InputData1;
  QAction* RateGears1;
  QAction* FlashTemperature1;
  QMenu* Optimizer1;  // "Advanced"
  QAction* RunOptimizer1;
  QAction* Minimizecentredistance1;
  QMenu* Manufacturing1;
  QAction* Componentplot1;
  QAction* Toolplot1;
  QMenu* Metrology1;  // "Inspection"
  QAction* MeasurementOverBalls1;
  QAction* Tolerancing1;
  QAction* TE1;
  QMenu* Constraints1;
  QAction* EditConstraints1;
  QMenu* Graphics1;
  QAction* ViewPinion1;
  QAction* ViewWheel1;
  QAction* ViewMesh1;
  QAction* ShowNominalProfile1;
  QAction* Exportprofilecoords1;
  QMenu* Report1;
  QAction* Geometry1;
  QAction* RatingResults1;
  QAction* RatingDetails1;
  QMenu* Options1;
  QAction* Chamfers1;
  QMenu* Overide1;  // "Geometry Manager"
  QAction* Overide2;
  QAction* Activate1;
  QAction* Facewidthoffset1;
  QMenu* WindowSizes;
  QAction* Increase1;
  QAction* Decrease1;
  QMenu* Help1;
  QAction* About1;

  // --- Dialog settings ---
  forms::FileDialogSettings OpenDialog1;
  forms::FileDialogSettings SaveDialog1;
  forms::FileDialogSettings SaveDialog2;  // the profile export

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_layout();
  void build_menus();
  void wire_views();  // creates the 3D view's panel and connects the picture controls
  void tell_of_missing_views();  // on the first show: the views the display cannot show
  bool no_3d_view_ = false;
  void set_picture_controls(bool picture);  // results pane or picture, with their buttons and menus
  void wire_menus();  // connects the menu commands and the load-case list, creates the export dialog
  // The window cannot be made smaller than its layout at the present scale, so that no control is cut
  // off; run whenever the window is scaled.
  void hold_layout_size();
  // The window laid out at the scale of the present window-size step, as a start at that step lays it
  // out: its size, its controls and their text; kept on the screen, the picture drawn again.
  void rescale();

  // Geometry inputs: wiring, the end of every field exit, and the pieces shared by pinion and wheel.
  void connect_geometry_inputs();
  void finish_exit();
  void geometry_field_key_press(int key);
  void nominal_thickness_exit(QLineEdit* edit, int gear);
  void finished_thickness_exit(QLineEdit* edit, int gear);
  void show_standard_rack_dialog();
  void take_standard_rack();

  DesignData& d_;
  int pane_layout_width_ = 0;  // the results pane's width as built, which the window scale starts from
  int scale_multiplier_ = 0, scale_divisor_ = 0;  // the scale the window is laid out at
  bool shown_ = false;
  bool history_failure_reported_ = false;
  std::unique_ptr<FileUsedForTheRun> history_in_use_;  // this copy's mark on the history file
};

// The program's instance.
extern TMainForm* MainForm;

}  // namespace morvell
