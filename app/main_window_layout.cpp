// The layout of the main window, designed 1024 pixels wide: the input rows on the left (pinion column,
// wheel column, units, fix boxes), the load-case list beside the results pane on the right, the picture
// buttons below the pane.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTextEdit>

#include <vector>

#include "edit_fields.h"
#include "main_window.h"

namespace morvell {

namespace {

constexpr int kLabelX = 6, kLabelW = 194;
constexpr int kComboLabelW = 108, kComboX = 116, kComboW = 84;
constexpr int kPinX = 204, kWheelX = 280, kEditW = 72, kEditH = 21;
constexpr int kUnitX = 356, kUnitW = 56;
constexpr int kFixX = 414, kFixW = 76;
constexpr int kPaneX = 562, kPaneY = 6, kPaneW = 450, kPaneH = 600;

// Top of input row r; a small gap separates the basic dimensions, the tooth sizes and the rack block.
int row_y(int r) { return 28 + r * 23 + (r >= 11 ? 6 : 0) + (r >= 19 ? 6 : 0); }

}  // namespace

void TMainForm::build_layout() {
  // The layout is designed for an 8-point font; the window scale enlarges it with everything else.
  QFont font = this->font();
  font.setPointSizeF(8);
  setFont(font);
  auto* client = new QWidget(this);
  client->setObjectName("client");
  setCentralWidget(client);

  auto name = [](QWidget* w, const char* n) { w->setObjectName(n); };
  auto label = [&](const char* n, const QString& text, int x, int y, int w, const QString& hint = {}) {
    auto* l = new QLabel(text, client);
    if (n) name(l, n);
    l->setGeometry(x, y, w, kEditH);
    if (!hint.isEmpty()) l->setToolTip(hint);
    return l;
  };
  auto row_label = [&](const char* n, int r, const QString& text, const QString& hint, int w = kLabelW) {
    return label(n, text, kLabelX, row_y(r), w, hint);
  };
  auto edit = [&](const char* n, int x, int r, int w = kEditW) {
    auto* e = new QLineEdit(client);
    name(e, n);
    e->setGeometry(x, row_y(r), w, kEditH);
    return e;
  };
  auto box = [&](const char* n, const QString& text, int x, int r, int w, bool checked, const QString& hint = {}) {
    auto* b = new QCheckBox(text, client);
    name(b, n);
    b->setGeometry(x, row_y(r), w, kEditH);
    b->setChecked(checked);
    if (!hint.isEmpty()) b->setToolTip(hint);
    return b;
  };
  auto combo = [&](const char* n, const QStringList& items, int x, int r, int w, const QString& hint) {
    auto* c = new QComboBox(client);
    name(c, n);
    c->addItems(items);
    c->setGeometry(x, row_y(r), w, kEditH);
    c->setToolTip(hint);
    return c;
  };
  auto unit = [&](const char* n, int r, const QString& text) { return label(n, text, kUnitX, row_y(r), kUnitW); };
  auto bar = [&](const char* n, int r, int position, const QString& hint) {
    auto* s = new QSlider(Qt::Horizontal, client);
    name(s, n);
    s->setRange(0, 40);
    s->setTickInterval(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setValue(position);
    s->setGeometry(kPinX, row_y(r), kWheelX + kEditW - kPinX, kEditH + 2);
    s->setToolTip(hint);
    return s;
  };
  auto button = [&](const char* n, const QString& text, int x, int y, int w, int h = 25) {
    auto* b = new QPushButton(text, client);
    name(b, n);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
  };

  label(nullptr, "Pinion", kPinX, 6, kEditW);
  label(nullptr, "Wheel", kWheelX, 6, kEditW);

  // Basic dimensions.
  Modulelabel = row_label("Modulelabel", 0, "Normal Module", "Normal Module");
  Moduleedit = edit("Moduleedit", kPinX, 0);
  unitsMn = unit("unitsMn", 0, "mm");
  dplabel2 = label("dplabel2", "-1", kUnitX + 28, row_y(0) - 5, 16);
  dplabel2->hide();
  CheckBoxmodule = box("CheckBoxmodule", "(Fix)", kFixX, 0, kFixW, false);
  row_label(nullptr, 1, "Pressure Angle", "Normal pressure angle");
  Pressureangleedit = edit("Pressureangleedit", kPinX, 1);
  unitsalpha = unit("unitsalpha", 1, "degrees");
  row_label(nullptr, 2, "Helix Angle", "Reference helix angle");
  Helixangleedit = edit("Helixangleedit", kPinX, 2);
  pinhelixhandbutton = button("pinhelixhandbutton", "0", kWheelX, row_y(2), 34, kEditH);
  wheelhelixhandbutton = button("wheelhelixhandbutton", "0", kWheelX + 38, row_y(2), 34, kEditH);
  unitsbeta = unit("unitsbeta", 2, "degrees");
  row_label(nullptr, 3, "Centre Distance", "Working centre distance");
  Centredistedit = edit("Centredistedit", kPinX, 3);
  unitsa = unit("unitsa", 3, "mm");
  CheckBoxCentre = box("CheckBoxCentre", "(Fix)", kFixX, 3, kFixW, true);
  row_label(nullptr, 4, "Facewidth", "Full facewidth");
  Pinfacewidthedit = edit("Pinfacewidthedit", kPinX, 4);
  Wheelfacewidthedit = edit("Wheelfacewidthedit", kWheelX, 4);
  unitsb = unit("unitsb", 4, "mm");
  row_label(nullptr, 5, "Edge Chamfer", "Chamfer at each edge of facewidth");
  Pinedgechamedit = edit("Pinedgechamedit", kPinX, 5);
  Wheeledgechamedit = edit("Wheeledgechamedit", kWheelX, 5);
  unitsedgechamfer = unit("unitsedgechamfer", 5, "mm");
  row_label(nullptr, 6, "Desired Ratio", "Desired ratio (z2/z1)");
  Ratioedit = edit("Ratioedit", kPinX, 6);
  Actratioedit = edit("Actratioedit", kWheelX, 6);
  Actratioedit->setReadOnly(true);
  unit(nullptr, 6, "(actual)");
  RatioCheckBox = box("RatioCheckBox", "(Fix)", kFixX, 6, kFixW, true);
  row_label(nullptr, 7, "Number of Teeth", "Number of teeth");
  Z1edit = edit("Z1edit", kPinX, 7);
  Z2edit = edit("Z2edit", kWheelX, 7);
  row_label(nullptr, 8, "Sum of Add. Shift Coeff.", "Sum of addendum modification coefficients");
  SigmaXedit = edit("SigmaXedit", kPinX, 8);
  unitssigmax = unit("unitssigmax", 8, "/module");
  sigmaXCheckBox = box("sigmaXCheckBox", "(Fix)", kFixX, 8, kFixW, true);
  row_label(nullptr, 9, "Add. Shift Coeff.", "Nominal addendum modification coefficient (x)");
  x1edit = edit("x1edit", kPinX, 9);
  x2edit = edit("x2edit", kWheelX, 9);
  unitsx = unit("unitsx", 9, "/module");
  // The longer caption takes the free room up to the results pane: the load-case list above ends beside row 6, and
  // the box's indicator does not shrink with the window.
  XCheckBox = box("XCheckBox", "(Estimate)", kFixX, 9, kPaneX - 6 - kFixX, false);
  row_label(nullptr, 10, "Add. Shift Distribution", "Distribute addendum shift between pinion and wheel to balance strength");
  xtrackbar = bar("xtrackbar", 10, 0, "Distribute addendum shift between pinion and wheel to balance strength");

  // Tooth sizes.
  row_label(nullptr, 11, "Backlash", "Shortest distance between gear teeth", kComboLabelW);
  backlashComboBox = combo("backlashComboBox", {"Normal", "Transverse", "Radial"}, kComboX, 11, kComboW,
                           "Shortest distance between gear teeth normal, transverse or change in centre distance "
                           "for tight mesh (radial)");
  Backlashedit = edit("Backlashedit", kPinX, 11);
  unitsj = unit("unitsj", 11, "mm");
  row_label(nullptr, 12, "Backlash Distribution %", "Distribute tooth thinning between pinion or wheel");
  backlashtrackbar = bar("backlashtrackbar", 12, 10, "Distribute tooth thinning between pinion or wheel");
  row_label(nullptr, 13, "Nominal Thickness", "Nominal circular thickness", kComboLabelW);
  thicknessComboBox = combo("thicknessComboBox", {"Normal", "Transverse", "", ""}, kComboX, 13, kComboW,
                            "Transverse circular or normal circular");
  Pinthickedit = edit("Pinthickedit", kPinX, 13);
  Wheelthickedit = edit("Wheelthickedit", kWheelX, 13);
  unitsnomthickness = unit("unitsnomthickness", 13, "mm");
  row_label(nullptr, 14, "Finished Thickness", "Finished circular thickness", kComboLabelW);
  finthicknessComboBox = combo("finthicknessComboBox", {"Normal", "Transverse"}, kComboX, 14, kComboW,
                               "Transverse circular or normal circular");
  Pinfinthick = edit("Pinfinthick", kPinX, 14);
  Wheelfinthick = edit("Wheelfinthick", kWheelX, 14);
  unitsfinishedthickness = unit("unitsfinishedthickness", 14, "mm");
  row_label(nullptr, 15, "Outside Diameter", "Outside diameter");
  Pintipdiaedit = edit("Pintipdiaedit", kPinX, 15);
  Wheeltipdiaedit = edit("Wheeltipdiaedit", kWheelX, 15);
  unitsda = unit("unitsda", 15, "mm");
  row_label(nullptr, 16, "Outside Diameter Chamfer", "Chamfer on outside diameter (radial)");
  pinchamedit = edit("pinchamedit", kPinX, 16);
  wheelchamedit = edit("wheelchamedit", kWheelX, 16);
  unitstipchamfer = unit("unitstipchamfer", 16, "mm");
  row_label(nullptr, 17, "Root Diameter", "Finished root diameter");
  Pinrootdiaedit = edit("Pinrootdiaedit", kPinX, 17);
  Wheelrootdiaedit = edit("Wheelrootdiaedit", kWheelX, 17);
  unitsdf = unit("unitsdf", 17, "mm");
  row_label(nullptr, 18, "Root Fillet Radius", "Root fillet radius (tool tip radius)");
  Pinfilletedit = edit("Pinfilletedit", kPinX, 18);
  Wheelfilletedit = edit("Wheelfilletedit", kWheelX, 18);
  unitsrho = unit("unitsrho", 18, "mm");

  // Basic rack.
  Calcracklabel = row_label("Calcracklabel", 19, "Basic Rack Proportions", "Tooth proportions of basic rack divided by module");
  Tooth_prop = combo("Tooth_prop", {"Input", "Standard Rack", "Calculate"}, kPinX, 19, kWheelX + kEditW - kPinX,
                     "Tooth proportions of basic rack divided by module");
  rackaddlabel = row_label("rackaddlabel", 20, "Basic Rack Addendum", "Basic rack addendum divided by module");
  ha1rackedit = edit("ha1rackedit", kPinX, 20);
  ha2rackedit = edit("ha2rackedit", kWheelX, 20);
  unitsrackaddendum = unit("unitsrackaddendum", 20, "/module");
  rackdedendumlabel = row_label("rackdedendumlabel", 21, "Basic Rack Dedendum", "Basic rack dedendum divided by module");
  hf1rackedit = edit("hf1rackedit", kPinX, 21);
  hf2rackedit = edit("hf2rackedit", kWheelX, 21);
  unitsrackdedendum = unit("unitsrackdedendum", 21, "/module");
  filletLabel = row_label("filletLabel", 22, "Root Fillet Radius", "Root fillet radius divided by module");
  rho1rackedit = edit("rho1rackedit", kPinX, 22);
  rho2rackedit = edit("rho2rackedit", kWheelX, 22);
  unitsrackfilletradius = unit("unitsrackfilletradius", 22, "/module");
  row_label(nullptr, 23, "Protuberance", "Protuberance (normal to tooth rack)");
  pinprotedit = edit("pinprotedit", kPinX, 23);
  wheelprotedit = edit("wheelprotedit", kWheelX, 23);
  unitsprotuberance = unit("unitsprotuberance", 23, "mm");
  tipdiaredcheckbox = box("tipdiaredcheckbox", "Allow Outside Diameter Reduction", kLabelX, 24, 398, false,
                          "Allows the outside diameter to be reduced to meet constraints imposed upon geometry");
  pinwheelcheckbox = box("pinwheelcheckbox", "Keep Pinion and Wheel Same", kLabelX, 25, 398, true,
                         "Pinion and wheel rack are same (unless outside diameter is reduced in which case rack "
                         "addendum will differ)");

  // Results pane and the pictures laid over it.
  mainresults = new QTextEdit(client);
  name(mainresults, "mainresults");
  mainresults->setReadOnly(true);
  mainresults->setAcceptRichText(true);
  mainresults->setLineWrapMode(QTextEdit::NoWrap);
  mainresults->setGeometry(kPaneX, kPaneY, kPaneW, kPaneH);
  mainresults->setPlainText(QString(99, QChar('\n')));  // 100 empty lines
  Image1 = new QLabel(client);
  name(Image1, "Image1");
  Image1->setGeometry(kPaneX, kPaneY, kPaneW, kPaneH);
  Image1->setAutoFillBackground(true);
  Image1->hide();
  ListBox1 = new QListWidget(client);
  name(ListBox1, "ListBox1");
  ListBox1->setGeometry(kFixX + kFixW + 4, kPaneY, kPaneX - (kFixX + kFixW + 4) - 6, 180);
  ListBox1->setToolTip("Select which loadcase to view  for rating");
  ListBox1->hide();

  const int buttons_y = kPaneY + kPaneH + 6;
  Showplotbutton = button("Showplotbutton", "Meshplot or report", kPaneX, buttons_y, 124);
  Zoominbutton = button("Zoominbutton", "Zoom in", kPaneX + 130, buttons_y, 74);
  Zoomoutbutton = button("Zoomoutbutton", "Zoom out", kPaneX + 208, buttons_y, 74);
  PanButton = button("PanButton", "Pan", kPaneX + 286, buttons_y, 74);
  resetButton = button("resetButton", "Reset", kPaneX + 364, buttons_y, 74);
  plot3Dbutton = button("plot3Dbutton", "3D Plot", kPaneX, buttons_y + 29, 124);
  plot2Dbutton = button("plot2Dbutton", "2D Plot", kPaneX, buttons_y + 29, 124);
  rotatebutton = button("rotatebutton", "Rotate", kPaneX + 130, buttons_y + 29, 74);
  for (QWidget* w : {static_cast<QWidget*>(Zoominbutton), static_cast<QWidget*>(Zoomoutbutton),
                     static_cast<QWidget*>(PanButton), static_cast<QWidget*>(resetButton),
                     static_cast<QWidget*>(plot3Dbutton), static_cast<QWidget*>(plot2Dbutton),
                     static_cast<QWidget*>(rotatebutton)})
    w->hide();
  continuebutton = button("continuebutton", "Continue >>", kPinX, row_y(10), kWheelX + kEditW - kPinX);
  continuebutton->hide();

  Panel2 = new QWidget(client);
  name(Panel2, "Panel2");
  Panel2->setAutoFillBackground(true);
  Panel2->setGeometry(0, 0, 10, 10);
  Panel2->hide();

  statusbartextleft = new QLabel(this);
  name(statusbartextleft, "statusbartextleft");
  statusbartextmiddle = new QLabel(this);
  name(statusbartextmiddle, "statusbartextmiddle");
  statusBar()->addWidget(statusbartextleft, 1);
  statusBar()->addWidget(statusbartextmiddle, 1);

  // Tab order of the input controls.
  const std::vector<QWidget*> tab_order = {
      Tooth_prop, ha1rackedit, ha2rackedit, hf1rackedit, hf2rackedit, rho1rackedit, rho2rackedit,
      Moduleedit, Pressureangleedit, Helixangleedit, Centredistedit, CheckBoxmodule, Pinfacewidthedit,
      Wheelfacewidthedit, Pinedgechamedit, Wheeledgechamedit, CheckBoxCentre, Z1edit, Z2edit, Ratioedit,
      Actratioedit, RatioCheckBox, SigmaXedit, x1edit, x2edit, Pinthickedit, Wheelthickedit, thicknessComboBox,
      sigmaXCheckBox, XCheckBox, Backlashedit, backlashComboBox, finthicknessComboBox, Pinfinthick,
      Wheelfinthick, backlashtrackbar, pinchamedit, wheelchamedit, Pintipdiaedit, Wheeltipdiaedit,
      Pinrootdiaedit, Wheelrootdiaedit, Wheelfilletedit, Pinfilletedit, pinprotedit, wheelprotedit,
      tipdiaredcheckbox, pinwheelcheckbox, pinhelixhandbutton, wheelhelixhandbutton, xtrackbar,
      continuebutton, Showplotbutton, mainresults, ListBox1};
  for (std::size_t i = 1; i < tab_order.size(); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);

  // Every numeric field follows the edit-field idiom; the actual ratio is a display only.
  for (QLineEdit* e : client->findChildren<QLineEdit*>())
    if (e != Actratioedit) bind_numeric_field(d_, e);
}

void TMainForm::build_menus() {
  mainmenudesign = menuBar();
  mainmenudesign->setObjectName("mainmenudesign");
  auto menu = [&](const char* n, const QString& title) {
    QMenu* m = mainmenudesign->addMenu(title);
    m->setObjectName(n);
    return m;
  };
  auto item = [&](QMenu* m, const char* n, const QString& text, bool enabled = true) {
    QAction* a = m->addAction(text);
    a->setObjectName(n);
    a->setEnabled(enabled);
    return a;
  };
  File1 = menu("File1", "File");
  Open1 = item(File1, "Open1", "Open");
  Save1 = item(File1, "Save1", "Save");
  Close1 = item(File1, "Close1", "Save As");
  Close2 = item(File1, "Close2", "Exit");
  Units = menu("Units", "Units");
  English1 = item(Units, "English1", "English");
  Metric1 = item(Units, "Metric1", "Metric");
  Window1 = menu("Window1", "Print");
  Report2 = item(Window1, "Report2", "Report to file");
  Report3 = item(Window1, "Report3", "Report to printer");
  Rating1 = menu("Rating1", "Rating");
  InputData1 = item(Rating1, "InputData1", "Rating Input Data");
  RateGears1 = item(Rating1, "RateGears1", "Show SN Curves");
  FlashTemperature1 = item(Rating1, "FlashTemperature1", "Flash Temperature");
  Optimizer1 = menu("Optimizer1", "Advanced");
  RunOptimizer1 = item(Optimizer1, "RunOptimizer1", "Search design space");
  Minimizecentredistance1 = item(Optimizer1, "Minimizecentredistance1", "Minimize centre distance");
  Manufacturing1 = menu("Manufacturing1", "Manufacturing");
  Componentplot1 = item(Manufacturing1, "Componentplot1", "Component plot", false);
  Toolplot1 = item(Manufacturing1, "Toolplot1", "Tool plot", false);
  Metrology1 = menu("Metrology1", "Inspection");
  MeasurementOverBalls1 = item(Metrology1, "MeasurementOverBalls1", "Measurement Over Balls");
  Tolerancing1 = item(Metrology1, "Tolerancing1", "Tolerancing");
  TE1 = item(Metrology1, "TE1", "T.E.");
  Constraints1 = menu("Constraints1", "Constraints");
  EditConstraints1 = item(Constraints1, "EditConstraints1", "Edit");
  Graphics1 = menu("Graphics1", "Graphics");
  ViewPinion1 = item(Graphics1, "ViewPinion1", "View Pinion", false);
  ViewWheel1 = item(Graphics1, "ViewWheel1", "View Wheel", false);
  ViewMesh1 = item(Graphics1, "ViewMesh1", "View Mesh", false);
  ShowNominalProfile1 = item(Graphics1, "ShowNominalProfile1", "View Nominal Profile", false);
  Exportprofilecoords1 = item(Graphics1, "Exportprofilecoords1", "Export profile co-ords");
  Report1 = menu("Report1", "Report");
  Geometry1 = item(Report1, "Geometry1", "Geometry");
  RatingResults1 = item(Report1, "RatingResults1", "ISO 6336 Rating Results Summary");
  RatingDetails1 = item(Report1, "RatingDetails1", "ISO 6336 Rating Details");
  Options1 = menu("Options1", "Options");
  Chamfers1 = item(Options1, "Chamfers1", "Chamfers");
  Overide1 = Options1->addMenu("Geometry Manager");
  Overide1->setObjectName("Overide1");
  Overide2 = item(Overide1, "Overide2", "Overide");
  Activate1 = item(Overide1, "Activate1", "Activate", false);
  Facewidthoffset1 = item(Options1, "Facewidthoffset1", "Facewidth Offset");
  WindowSizes = Options1->addMenu("Window Sizes");
  WindowSizes->setObjectName("WindowSizes");
  Increase1 = item(WindowSizes, "Increase1", "Increase", false);
  Decrease1 = item(WindowSizes, "Decrease1", "Decrease");
  Help1 = menu("Help1", "Help");
  About1 = item(Help1, "About1", "About");

  OpenDialog1.title = "Open File";
  OpenDialog1.filter = forms::filter_from_pairs("Morvell files (*.mvl)|*.mvl|All files (*.*)|*.*");
  OpenDialog1.default_suffix = "mvl";
  SaveDialog1.filter = forms::filter_from_pairs("Morvell (*.mvl)|*.mvl|All Files (*.*)|*.*");
  SaveDialog1.default_suffix = "mvl";  // the dialog then asks about the name a design is saved under
  SaveDialog1.confirm_overwrite = true;
  SaveDialog1.hide_read_only = true;
}

}  // namespace morvell
