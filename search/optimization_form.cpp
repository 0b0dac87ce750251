#include "optimization_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "design_file.h"
#include "design_search.h"
#include "dialog_controls.h"
#include "domain_error_box.h"
#include "edit_fields.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "input_limits.h"
#include "numeric.h"
#include "progress_form.h"
#include "rating_input.h"
#include "results_pane.h"
#include "screen_picture.h"
#include "search_plot_variables.h"
#include "warning_dialog.h"
#include "window_scale.h"

namespace morvell {

Toptimizationform* optimizationform = nullptr;

// --- The plot picture ---

SearchPlotImage::SearchPlotImage(QSize designed, QWidget* parent) : QWidget(parent), designed_(designed) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

double SearchPlotImage::layout_scale() const {
  return std::min(double(width()) / designed_.width(), double(height()) / designed_.height());
}

QSizeF SearchPlotImage::layout_size() const { return QSizeF(size()) / layout_scale(); }

void SearchPlotImage::paint_in_layout(QPainter& p) const { p.scale(layout_scale(), layout_scale()); }

double SearchPlotImage::screen_pixels_per_layout_pixel() const { return devicePixelRatioF() * layout_scale(); }

QImage& SearchPlotImage::picture() {
  const double ratio = devicePixelRatioF();
  if (picture_size_ != size() || picture_ratio_ != ratio) {
    picture_ = picture_for(this);
    picture_.fill(Qt::white);
    picture_size_ = size();
    picture_ratio_ = ratio;
  }
  return picture_;
}

void SearchPlotImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture());
}

QPoint SearchPlotImage::in_layout(const QMouseEvent* e) const {
  const double s = layout_scale();
  return QPoint(int(e->position().x() / s), int(e->position().y() / s));
}

void SearchPlotImage::mousePressEvent(QMouseEvent* e) {
  if (on_mouse_down) on_mouse_down(in_layout(e).x(), in_layout(e).y());
}
void SearchPlotImage::mouseMoveEvent(QMouseEvent* e) {
  if (on_mouse_move) on_mouse_move(in_layout(e).x(), in_layout(e).y());
}
void SearchPlotImage::mouseReleaseEvent(QMouseEvent* e) {
  if (on_mouse_up) on_mouse_up(in_layout(e).x(), in_layout(e).y());
}

namespace {

// Two warning lines in the warning dialog; the third keeps the blank the window's show put there.
void warn_two(DesignData& d, std::string_view line1, std::string_view line2) {
  copy_text(d.warning_lines[0], line1);
  copy_text(d.warning_lines[1], line2);
  show_warning_dialog(d);
}

// The result-filter member shown in row `row` (0 pinion contact, 1 pinion bending, 2 wheel contact, 3 wheel
// bending) for filter kind `kind` (0 safety factor, 1 nominal stress, 2 actual stress).
float& filter_member(DesignData& d, int kind, int row, bool max) {
  const int g = row / 2;  // gear
  const bool contact = row % 2 == 0;
  switch (kind) {
    case 0:
      return contact ? (max ? d.filter_contact_safety_max[g] : d.filter_contact_safety_min[g])
                     : (max ? d.filter_bending_safety_max[g] : d.filter_bending_safety_min[g]);
    case 1:
      return contact ? (max ? d.filter_nominal_contact_stress_max : d.filter_nominal_contact_stress_min)
                     : (max ? d.filter_nominal_root_stress_max[g] : d.filter_nominal_root_stress_min[g]);
    default:
      return contact ? (max ? d.filter_contact_stress_max[g] : d.filter_contact_stress_min[g])
                     : (max ? d.filter_root_stress_max[g] : d.filter_root_stress_min[g]);
  }
}

}  // namespace

// Layout in pixels at 120 dots per inch.
Toptimizationform::Toptimizationform(DesignData& d, QWidget* parent)
    : QDialog(parent), result_file(kSearchResultFileName), d_(d) {
  setObjectName("optimizationform");
  setWindowTitle("Design Space Search");
  QFont form_font("MS Sans Serif");
  form_font.setPixelSize(13);
  setFont(form_font);

  Image1 = new SearchPlotImage(QSize(1004, 325), this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(2, 1, 1004, 325);
  Image1->on_mouse_down = [this](int x, int y) { Image1MouseDown(x, y); };
  Image1->on_mouse_move = [this](int x, int y) { Image1MouseMove(x, y); };
  Image1->on_mouse_up = [this](int x, int y) { Image1MouseUp(x, y); };

  QFont bold = form_font;
  bold.setBold(true);
  auto label = [&](QWidget* parent_widget, const char* name, const char* text, int x, int y, int w) {
    QLabel* l = add_label(parent_widget, text, x, y, w);
    l->setObjectName(name);
    l->setFont(bold);
    return l;
  };
  auto combo = [&](const char* name, int x) {
    auto* c = new QComboBox(this);
    c->setObjectName(name);
    c->setGeometry(x, 359, 175, 24);
    for (int i = 0; i < kPlotVariableCount; ++i) c->addItem(plot_variable_name(i));
    return c;
  };
  XnegLabel = label(this, "XnegLabel", "-ve X - axis", 9, 339, 170);
  YaxisLabel = label(this, "YaxisLabel", "Y - axis", 190, 339, 170);
  XplusLabel = label(this, "XplusLabel", "+ve X - axis", 370, 339, 170);
  XnegComboBox = combo("XnegComboBox", 9);
  YaxisComboBox = combo("YaxisComboBox", 190);
  XplusComboBox = combo("XplusComboBox", 370);

  auto button = [&](const char* name, const char* text, int x, int y, int w, int h) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
  };
  Zoominbutton = button("Zoominbutton", "Zoom Window", 10, 391, 120, 26);
  Zoominbutton->setToolTip("Use left  mouse button to click and drag to zoom area ");
  selectButton = button("selectButton", "Select", 145, 391, 120, 26);
  resetButton = button("resetButton", "Reset", 281, 391, 120, 26);
  autoscaleCheckBox = new QCheckBox(this);
  autoscaleCheckBox->setObjectName("autoscaleCheckBox");
  autoscaleCheckBox->setGeometry(512, 393, 20, 20);
  autoscaleCheckBox->setChecked(true);
  autoscaleLabel = label(this, "autoscaleLabel", "Auto Scale", 412, 395, 95);

  // The range box: eight rows of a label and a min and a max edit.
  rangeBox = new QGroupBox(this);
  rangeBox->setObjectName("rangeBox");
  rangeBox->setGeometry(0, 431, 273, 266);
  label(rangeBox, "rangeHeader", " Min               Max", 106, 8, 160);
  const int label_tops[8] = {459, 489, 519, 549, 578, 609, 639, 670};
  const int edit_tops[8] = {455, 485, 514, 545, 575, 606, 635, 665};
  struct Row {
    const char* label_name;
    const char* text;
    const char* hint;
    const char* min_name;
    const char* max_name;
    QLineEdit** min;
    QLineEdit** max;
  };
  const Row rows[8] = {
      {"modulelabel", "Module ", "Normal module", "minMnedit", "maxMnedit", &minMnedit, &maxMnedit},
      {"teethlabel", "Pinion Teeth ", "Pinion teeth", "minz1edit", "maxz1edit", &minz1edit, &maxz1edit},
      {"alphalabel", "Press. Angle ", "Normal pressure angle", "minalphaedit", "maxalphaedit", &minalphaedit,
       &maxalphaedit},
      {"betalabel", "Helix Angle ", "Reference helix angle", "minbetaedit", "maxbetaedit", &minbetaedit,
       &maxbetaedit},
      {"acrlabel", "Axial C.R.", "Axial (face) contact ratio", "minacredit", "maxacredit", &minacredit, &maxacredit},
      {"crlabel", "Trans. C.R ", "Transverse contact ratio", "mincredit", "maxcredit", &mincredit, &maxcredit},
      {"sigmaXlabel", "SigmaX ", "Sum of addendum modification coefficients", "minsigmaXedit", "maxsigmaXedit",
       &minsigmaXedit, &maxsigmaXedit},
      {"ulabel", "Ratio ", "Gear ratio (z2/z1)", "minuedit", "maxuedit", &minuedit, &maxuedit},
  };
  auto edit = [&](QWidget* parent_widget, const char* name, int x, int y, int w) {
    QLineEdit* e = add_numeric_edit(d_, parent_widget, name, x, y, w, 24,
                                    {.max_length = NumericEditStyle::kAnyLength, .text = "Edit1"});
    e->setEnabled(false);
    return e;
  };
  for (int i = 0; i < 8; ++i) {
    QLabel* l = label(rangeBox, rows[i].label_name, rows[i].text, 9, label_tops[i] - 431, 95);
    l->setToolTip(rows[i].hint);
    if (i == 0) modulelabel = l;
    *rows[i].min = edit(rangeBox, rows[i].min_name, 106, edit_tops[i] - 431, 75);
    *rows[i].max = edit(rangeBox, rows[i].max_name, 186, edit_tops[i] - 431, 75);
  }

  // The result-filter box.
  filterBox = new QGroupBox(this);
  filterBox->setObjectName("filterBox");
  filterBox->setGeometry(281, 431, 272, 266);
  safetyfactorlabel = label(filterBox, "safetyfactorlabel", "Safety Factor ", 8, 459 - 431, 166);
  safetyfactorlabel->setToolTip("Show safety factor");
  nominalstresslabel = label(filterBox, "nominalstresslabel", "Nominal Stress (MPa)", 8, 489 - 431, 166);
  actualstresslabel = label(filterBox, "actualstresslabel", "Actual Stress (MPa)", 8, 519 - 431, 166);
  auto box = [&](const char* name, int top) {
    auto* b = new QCheckBox(filterBox);
    b->setObjectName(name);
    b->setGeometry(457 - 281, top - 431, 20, 20);
    b->setEnabled(false);
    return b;
  };
  safetyfactorCheckBox = box("safetyfactorCheckBox", 459);
  safetyfactorCheckBox->setChecked(true);
  nomstressCheckBox = box("nomstressCheckBox", 489);
  actualstressCheckBox = box("actualstressCheckBox", 519);
  label(filterBox, "filterHeader", " Min               Max ", 386 - 281, 551 - 431, 160);
  const char* filter_labels[4] = {"Pinion Cont. ", "Pinion Bend. ", "Wheel Cont. ", "Wheel Bend. "};
  const int filter_tops[4] = {578, 609, 639, 670};
  QLineEdit** filter_edits[8] = {&minpincontedit,   &maxpincontedit,   &minpinbendedit,   &maxpinbendedit,
                                 &minwheelcontedit, &maxwheelcontedit, &minwheelbendedit, &maxwheelbendedit};
  const char* filter_names[8] = {"minpincontedit",   "maxpincontedit",   "minpinbendedit",   "maxpinbendedit",
                                 "minwheelcontedit", "maxwheelcontedit", "minwheelbendedit", "maxwheelbendedit"};
  for (int r = 0; r < 4; ++r) {
    label(filterBox, filter_names[2 * r] + 3, filter_labels[r], 8, filter_tops[r] - 431 + 4, 97);
    *filter_edits[2 * r] = edit(filterBox, filter_names[2 * r], 386 - 281, filter_tops[r] - 431, 76);
    *filter_edits[2 * r + 1] = edit(filterBox, filter_names[2 * r + 1], 466 - 281, filter_tops[r] - 431, 76);
  }

  Button2 = button("Button2", "Search Design Space Within Current Filters", 650, 343, 330, 26);
  mainresults = new QTextEdit(this);
  mainresults->setObjectName("mainresults");
  mainresults->setGeometry(560, 383, 447, 314);
  mainresults->setReadOnly(true);
  mainresults->setLineWrapMode(QTextEdit::NoWrap);
  mainresults->setAcceptRichText(false);
  QFont pane_font("MS Sans Serif");
  pane_font.setPixelSize(10);
  mainresults->setFont(pane_font);
  setFixedSize(1010, 702);

  // Handlers.
  forms::on_click(Button2, [this] { Button2Click(); });
  forms::on_choice(XnegComboBox, [this] { XnegComboBoxChange(); });
  forms::on_choice(XplusComboBox, [this] { XplusComboBoxChange(); });
  forms::on_choice(YaxisComboBox, [this] { YaxisComboBoxChange(); });
  forms::on_click(autoscaleCheckBox, [this] { autoscaleCheckBoxClick(); });
  forms::on_click(Zoominbutton, [this] { ZoominbuttonClick(); });
  forms::on_click(selectButton, [this] { selectButtonClick(); });
  forms::on_click(resetButton, [this] { resetButtonClick(); });
  forms::on_click(safetyfactorCheckBox, [this] { safetyfactorCheckBoxClick(); });
  forms::on_click(nomstressCheckBox, [this] { nomstressCheckBoxClick(); });
  forms::on_click(actualstressCheckBox, [this] { actualstressCheckBoxClick(); });
  for (QLineEdit* e : {minalphaedit, maxalphaedit, minbetaedit, maxbetaedit, minacredit, maxacredit, mincredit,
                       maxcredit, minsigmaXedit, maxsigmaXedit, minuedit, maxuedit})
    forms::on_exit(e, [this, e] { range_exit(e); });
  forms::on_exit(minMnedit, [this] { module_exit(false); });
  forms::on_exit(maxMnedit, [this] { module_exit(true); });
  forms::on_exit(minz1edit, [this] { teeth_exit(false); });
  forms::on_exit(maxz1edit, [this] { teeth_exit(true); });
  for (int k = 0; k < 8; ++k) {
    QLineEdit* e = *filter_edits[k];
    forms::on_exit(e, [this, e, k] { filter_exit(e, k % 2 == 1, k / 2); });
  }

  // Scaled like every window, once: the scaling sizes the window itself too.
  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Toptimizationform::showEvent(QShowEvent* event) {
  centre_on_screen(this);
  FormShow();
  QDialog::showEvent(event);
}

void Toptimizationform::closeEvent(QCloseEvent* event) {
  FormClose();
  QDialog::closeEvent(event);
}

void Toptimizationform::FormClose() {}

void use_progress_window(Toptimizationform& window, TProgressform& progress_window) {
  TProgressform* p = &progress_window;
  window.progress.set_caption = [p](const char* caption) { p->setWindowTitle(caption); };
  window.progress.is_visible = [p] { return p->isVisible(); };
  window.progress.set_visible = [p](bool visible) {
    p->setVisible(visible);
    if (visible) p->paint_now();
  };
  window.progress.set_position = [p](int position) { p->set_position(position); };
}

void Toptimizationform::FormShow() {
  if (progress.set_caption) progress.set_caption("Design search progress");
  d_.search_results_ready = 0;
  d_.search_eval_count = 0;
  copy_text(d_.warning_lines[2], " ");
  results_.clear();
  picked_.reset();
  picked_listed_.reset();

  XplusComboBox->setCurrentIndex(9);
  XnegComboBox->setCurrentIndex(11);
  YaxisComboBox->setCurrentIndex(8);

  d_.chart_autoscale = 1;
  d_.chart_zoom_mode = 0;
  d_.chart_dragging = 0;
  d_.search_single_design = 0;

  d_.search_teeth_min = d_.teeth[0] - 5;
  if (d_.search_teeth_min < 13) d_.search_teeth_min = 13;
  d_.search_teeth_max = d_.search_teeth_min + 9;
  d_.search_module_min = float(0.75L * d_.normal_module);
  d_.search_module_max = float(1.25L * d_.normal_module);
  d_.search_pressure_angle_min = 17.5f;
  d_.search_pressure_angle_max = 22.5f;
  d_.search_helix_angle_min = float(ld(d_.helix_angle) - 3);
  if (d_.search_helix_angle_min < 0) d_.search_helix_angle_min = 0;
  d_.search_helix_angle_max = d_.helix_angle;
  d_.filter_shift_sum_min = -0.5f;
  d_.filter_shift_sum_max = 1.0f;
  d_.search_fillet_coeff_min = 0.3f;
  d_.search_fillet_coeff_max = 0.4f;
  d_.filter_transverse_contact_ratio_min = 1.0f;
  d_.filter_transverse_contact_ratio_max = 2.5f;
  d_.filter_axial_contact_ratio_min = 0;
  d_.filter_axial_contact_ratio_max = 2.5f;
  d_.filter_ratio_min = float(0.975L * d_.desired_ratio);
  d_.filter_ratio_max = float(1.025L * d_.desired_ratio);
  for (int g = 0; g < 2; ++g) {
    d_.filter_contact_safety_min[g] = 0;
    d_.filter_contact_safety_max[g] = 5.0f;
    d_.filter_bending_safety_min[g] = 0;
    d_.filter_bending_safety_max[g] = 5.0f;
    d_.filter_contact_stress_min[g] = 0;
    d_.filter_contact_stress_max[g] = 2000;
    d_.filter_root_stress_min[g] = 0;
    d_.filter_root_stress_max[g] = 1000;
    d_.filter_nominal_root_stress_min[g] = 0;
    d_.filter_nominal_root_stress_max[g] = 1000;
  }
  d_.filter_nominal_contact_stress_min = 0;
  d_.filter_nominal_contact_stress_max = 2000;

  if (d_.unit_system == 2) {
    modulelabel->setText("DP");
    modulelabel->setToolTip("Normal Diametral Pitch");
    nominalstresslabel->setText("Nominal Stress (psi)");
    actualstresslabel->setText("Actual Stress (psi)");
  } else if (d_.unit_system == 1) {
    modulelabel->setText("Module");
    modulelabel->setToolTip("Normal module");
    nominalstresslabel->setText("Nominal Stress (MPa)");
    actualstresslabel->setText("Actual Stress (MPa)");
  }
  nominalstresslabel->setToolTip("Show nominal stress");
  actualstresslabel->setToolTip("Show actual stress");

  // The results pane: 150 lines of one blank each.
  QString lines;
  for (int i = 0; i < 150; ++i) lines += (i ? "\n " : " ");
  mainresults->setPlainText(lines);

  user_design_ = std::make_unique<DesignData>(d_);
  Set_optimizer_textboxes();
}

void Toptimizationform::Button2Click() {
  // A pick belongs to the results it was made from.
  picked_.reset();
  picked_listed_.reset();
  // Every search of this showing starts from the design the window was shown with: nothing a search,
  // a redraw or a pick left in the design data carries into the candidates of the next.
  if (user_design_) take_user_design();
  if (const std::string missing = missing_rating_inputs_text(d_); !missing.empty()) {
    warn_two(d_, "The candidates cannot be rated without these rating inputs:", missing);
    return;
  }
  if (progress.set_visible) progress.set_visible(true);
  // The domain errors of the candidates are told once, after the search and its plot.
  GatheredDomainErrors errors;
  const SearchRun run = search_design_space(
      d_, [this](int position) { show_progress_position(position); }, {}, result_file.c_str());
  if (!run.ok()) {
    // Without a complete result file there is nothing to plot or pick; the design the search left is not
    // offered for use.
    if (progress.set_visible) progress.set_visible(false);
    warn_two(d_, run.message, "No search results are available");
  } else if (run.records == 0) {
    // The result file now lists nothing: no earlier results are offered either.
    results_.clear();
    d_.search_results_ready = 0;
    if (progress.set_visible) progress.set_visible(false);
    warn_two(d_, "The search found no pair that the main window can take",
             format_line("(%d to %d teeth a gear, a module of %g to %g mm, shifts that fill the centre distance)",
                         int(kFewestTeeth), int(kMostTeeth), double(kMinFileModule), double(kMaxFileModule)));
  } else {
    set_search_results(run.listed);
  }
  Set_optimizer_textboxes();
  errors.show("The design search", "The candidates concerned are listed without a rating or not at all.");
}

void Toptimizationform::take_user_design() {
  auto start = std::make_unique<DesignData>(*user_design_);
  // What the window itself holds in the design data stays as it is: its ranges and filters, the ratio its
  // ratio range sets, its chart, the search state and the edit state of its fields.
  static_cast<SearchRanges&>(*start) = d_;
  static_cast<ChartState&>(*start) = d_;
  start->desired_ratio = d_.desired_ratio;
  start->search_results_ready = d_.search_results_ready;
  start->search_eval_count = d_.search_eval_count;
  start->search_single_design = d_.search_single_design;
  std::memcpy(start->warning_lines, d_.warning_lines, sizeof d_.warning_lines);
  std::memcpy(start->edit_text_at_entry, d_.edit_text_at_entry, sizeof d_.edit_text_at_entry);
  std::memcpy(start->number_text, d_.number_text, sizeof d_.number_text);
  std::memcpy(start->line_text, d_.line_text, sizeof d_.line_text);
  start->edit_changed = d_.edit_changed;
  start->edit_old_value = d_.edit_old_value;
  std::memcpy(start->scratch_values, d_.scratch_values, sizeof d_.scratch_values);
  start->scratch_int = d_.scratch_int;
  d_ = *start;
}

void Toptimizationform::set_search_results(std::vector<DesignPointRecord> records) {
  results_ = std::move(records);
  d_.search_results_ready = 1;
}

void Toptimizationform::show_progress_position(int position) {
  if (progress.set_position) progress.set_position(position < 0 ? 0 : position > 100 ? 100 : position);
}

void Toptimizationform::XnegComboBoxChange() {
  if (d_.search_results_ready == 1) Set_optimizer_textboxes();
}
void Toptimizationform::XplusComboBoxChange() {
  if (d_.search_results_ready == 1) Set_optimizer_textboxes();
}
void Toptimizationform::YaxisComboBoxChange() {
  if (d_.search_results_ready == 1) Set_optimizer_textboxes();
}

void Toptimizationform::set_edits_enabled(bool enabled) {
  for (QLineEdit* e : {minMnedit, maxMnedit, minz1edit, maxz1edit, minalphaedit, maxalphaedit, minbetaedit,
                       maxbetaedit, minacredit, maxacredit, mincredit, maxcredit, minsigmaXedit, maxsigmaXedit,
                       minuedit, maxuedit, minpincontedit, maxpincontedit, minpinbendedit, maxpinbendedit,
                       minwheelcontedit, maxwheelcontedit, minwheelbendedit, maxwheelbendedit})
    e->setEnabled(enabled);
  for (QCheckBox* b : {safetyfactorCheckBox, nomstressCheckBox, actualstressCheckBox}) b->setEnabled(enabled);
}

void Toptimizationform::autoscaleCheckBoxClick() {
  if (autoscaleCheckBox->isChecked()) {
    d_.chart_autoscale = 1;
    d_.chart_zoom_mode = 0;
    Set_optimizer_textboxes();
    set_edits_enabled(false);
  } else {
    d_.chart_autoscale = 0;
    set_edits_enabled(true);
  }
}

void Toptimizationform::ZoominbuttonClick() {
  d_.chart_zoom_mode = 1;
  Image1->setCursor(Qt::DragMoveCursor);
  autoscaleCheckBox->setChecked(false);
  d_.chart_autoscale = 0;
}

void Toptimizationform::selectButtonClick() {
  d_.chart_zoom_mode = 0;
  Image1->unsetCursor();
}

void Toptimizationform::resetButtonClick() {
  d_.chart_zoom_mode = 0;
  Image1->unsetCursor();
  autoscaleCheckBox->setChecked(true);
  d_.chart_autoscale = 1;
}

// --- Filter kinds: exactly one of the three boxes is checked after every click ---

void Toptimizationform::filter_kind_click(QCheckBox* box, QCheckBox* partner) {
  if (box->isChecked()) {
    for (QCheckBox* other : {safetyfactorCheckBox, nomstressCheckBox, actualstressCheckBox})
      if (other != box) other->setChecked(false);
    Set_optimizer_textboxes();
  } else if (!safetyfactorCheckBox->isChecked() && !nomstressCheckBox->isChecked() &&
             !actualstressCheckBox->isChecked()) {
    partner->setChecked(true);
  }
}

void Toptimizationform::safetyfactorCheckBoxClick() { filter_kind_click(safetyfactorCheckBox, actualstressCheckBox); }
void Toptimizationform::nomstressCheckBoxClick() { filter_kind_click(nomstressCheckBox, actualstressCheckBox); }
void Toptimizationform::actualstressCheckBoxClick() { filter_kind_click(actualstressCheckBox, safetyfactorCheckBox); }

// --- Texts of the edits ---

void Toptimizationform::Set_optimizer_textboxes() {
  // While the results are read the progress window handles window events; a field left through one of
  // them asks for a redraw while this one paints. That redraw follows this one instead of painting
  // inside it (a picture takes one painter at a time), at most twice, so it cannot go on for ever.
  if (redrawing_) {
    redraw_again_ = true;
    return;
  }
  redrawing_ = true;
  for (int round = 0; round < 3; ++round) {
    redraw_again_ = false;
    optimizer_plot_report();
    set_range_texts();
    set_filter_texts();
    if (!redraw_again_) break;
  }
  redrawing_ = false;
}

void Toptimizationform::set_range_texts() {
  auto show = [this](QLineEdit* e, float v) { show_field(e, format_value(d_, v), v); };
  auto teeth = [](QLineEdit* e, int32_t z) {
    const QString text = QString::fromStdString(format_line("%10.0f", double(z)));
    e->setText(text);
    e->setToolTip(text);
  };
  if (d_.unit_system == 2) {
    for (auto [e, m] : {std::pair{minMnedit, d_.search_module_min}, std::pair{maxMnedit, d_.search_module_max}}) {
      const float pitch = float(1.0L / m * d_.length_unit_factor);
      show_field(e, format_length(d_, pitch), pitch);
    }
  } else {
    show(minMnedit, d_.search_module_min);
    show(maxMnedit, d_.search_module_max);
  }
  teeth(minz1edit, d_.search_teeth_min);
  teeth(maxz1edit, d_.search_teeth_max);
  show(minalphaedit, d_.search_pressure_angle_min);
  show(maxalphaedit, d_.search_pressure_angle_max);
  show(minbetaedit, d_.search_helix_angle_min);
  show(maxbetaedit, d_.search_helix_angle_max);
  show(minacredit, d_.filter_axial_contact_ratio_min);
  show(maxacredit, d_.filter_axial_contact_ratio_max);
  show(mincredit, d_.filter_transverse_contact_ratio_min);
  show(maxcredit, d_.filter_transverse_contact_ratio_max);
  show(minsigmaXedit, d_.filter_shift_sum_min);
  show(maxsigmaXedit, d_.filter_shift_sum_max);
  show(minuedit, d_.filter_ratio_min);
  show(maxuedit, d_.filter_ratio_max);
}

void Toptimizationform::set_filter_texts() {
  const int kind = safetyfactorCheckBox->isChecked() ? 0 : nomstressCheckBox->isChecked() ? 1
                   : actualstressCheckBox->isChecked()                                    ? 2
                                                                                           : -1;
  if (kind < 0) return;
  QLineEdit* edits[8] = {minpincontedit,   maxpincontedit,   minpinbendedit,   maxpinbendedit,
                         minwheelcontedit, maxwheelcontedit, minwheelbendedit, maxwheelbendedit};
  for (int k = 0; k < 8; ++k) {
    const float stored = filter_member(d_, kind, k / 2, k % 2 == 1);
    const float shown = kind == 0 ? stored : float(ld(stored) / d_.stress_unit_factor);
    show_field(edits[k], format_value(d_, shown), shown);
  }
}

// --- Range edits ---

void Toptimizationform::range_exit(QLineEdit* edit) {
  struct Rule {
    QLineEdit* edit;
    float* member;
    float* other;  // the other member of the pair
    const char* warning;
    bool ratio;
  };
  const Rule rules[] = {
      {minalphaedit, &d_.search_pressure_angle_min, &d_.search_pressure_angle_max,
       "Minimum Pressure angle is out of range ", false},
      {maxalphaedit, &d_.search_pressure_angle_max, &d_.search_pressure_angle_min,
       "Maxmum Pressure angle is out of range ", false},
      {minbetaedit, &d_.search_helix_angle_min, &d_.search_helix_angle_max, "Minimum helix angle is out of range ",
       false},
      {maxbetaedit, &d_.search_helix_angle_max, &d_.search_helix_angle_min, "Maximum helix angle is out of range ",
       false},
      {minacredit, &d_.filter_axial_contact_ratio_min, &d_.filter_axial_contact_ratio_max,
       "Minimum axial contact ratio is out of range ", false},
      {maxacredit, &d_.filter_axial_contact_ratio_max, &d_.filter_axial_contact_ratio_min,
       "Maximum axial contact ratio is out of range ", false},
      {mincredit, &d_.filter_transverse_contact_ratio_min, &d_.filter_transverse_contact_ratio_max,
       "Minimum transverse contact ratio is out of range ", false},
      {maxcredit, &d_.filter_transverse_contact_ratio_max, &d_.filter_transverse_contact_ratio_min,
       "Maximum transverse contact ratio is out of range ", false},
      {minsigmaXedit, &d_.filter_shift_sum_min, &d_.filter_shift_sum_max,
       "Minimum sum of addendum modification coefficients is out of range ", false},
      {maxsigmaXedit, &d_.filter_shift_sum_max, &d_.filter_shift_sum_min,
       "Maximum sum of addendum modification coefficients is out of range", false},
      {minuedit, &d_.filter_ratio_min, &d_.filter_ratio_max, "Minimum ratio is out of range ", true},
      {maxuedit, &d_.filter_ratio_max, &d_.filter_ratio_min, "Maxmum ratio is out of range ", true},
  };
  const FieldValue entry = read_field(d_, edit);
  for (const Rule& r : rules) {
    if (r.edit != edit) continue;
    d_.search_old_value = *r.member;
    if (!entry.changed) break;
    const float v = float(entry.value);
    *r.member = v;
    const float other = *r.other;
    bool refused = false;
    if (edit == minalphaedit) refused = v < 10 || v >= other;
    else if (edit == maxalphaedit) refused = v > 30 || v <= other;
    else if (edit == minbetaedit) refused = v < 0 || v >= other;
    else if (edit == maxbetaedit) refused = v >= 45 || v < other || (v == other && other != 0);
    else if (edit == minacredit) refused = v < 0 || v >= other;
    else if (edit == maxacredit) refused = v > 10 || v <= other;
    else if (edit == mincredit) refused = v < 1.0f || v >= other;
    else if (edit == maxcredit) refused = v > 10 || v <= other;
    else if (edit == minsigmaXedit) refused = v < -1.0f || v >= other;
    else if (edit == maxsigmaXedit) refused = v > 1.5f || v <= other;
    else if (edit == minuedit) refused = v <= 1.0f || v >= other;
    else if (edit == maxuedit) refused = v > 10 || v <= other;
    if (refused) {
      warn_two(d_, r.warning, " ");
      *r.member = d_.search_old_value;
    }
    if (r.ratio) d_.desired_ratio = float((ld(d_.filter_ratio_min) + d_.filter_ratio_max) / 2);
    break;
  }
  finish_field_exit(d_, [this] { Set_optimizer_textboxes(); });
}

// A field that was given the focus back after a correction starts a new entry with the text the refresh
// wrote into it: leaving it again without typing does not enter the shown (rounded) value anew, which
// could run into the same limit and warning once more.
static void reenter_if_refocused(DesignData& d, QLineEdit* edit) {
  if (edit->window()->focusWidget() == edit) field_enter(d, edit);
}

void Toptimizationform::module_exit(bool max) {
  QLineEdit* edit = max ? maxMnedit : minMnedit;
  const FieldValue entry = read_field(d_, edit);
  if (entry.changed) {
    // In English units the entry is the diametral pitch. A pitch of 0 or a number beyond the float
    // range gives no module: refused, the range stays.
    const std::optional<float> module =
        finite_entry(d_, edit, d_.unit_system == 2 ? 25.4L / entry.value : static_cast<ld>(entry.value));
    if (!module) {
      finish_field_exit(d_, [this] { Set_optimizer_textboxes(); });
      reenter_if_refocused(d_, edit);
      return;
    }
    const float v = *module;
    const ld twice_a_cos = 2.0L * d_.centre_distance * std::cos(deg_to_rad(d_.normal_pressure_angle));
    const ld u = d_.desired_ratio;
    if (!max) {
      const float old_min = d_.search_module_min;
      d_.search_module_min = v;
      if (v < 0.5f) {
        d_.search_module_min = 0.5f;
        warn_two(d_, "Minimum value of module is 0.5 mm", "Value of module has been adjusted");
        edit->setFocus(Qt::OtherFocusReason);
      }
      // A minimum above the maximum leaves the search no modules to step through and the plot no designs:
      // refused, the minimum stays as it was.
      if (d_.search_module_min > d_.search_module_max) {
        d_.search_module_min = old_min;
        warn_two(d_, "Minimum value of module must be less than maximum value of module",
                 "Value of module has been restored");
        edit->setFocus(Qt::OtherFocusReason);
      }
    } else {
      d_.search_module_max = v;
      const float m200 = float(twice_a_cos / (200 * u + 200));
      const float m13 = float(twice_a_cos / (13 * u + 13));
      char line[kWarningLineSize];
      if (d_.search_module_max < m200) {
        std::snprintf(line, sizeof line, "Minimum value of module is %6.3f", double(m200));
        d_.search_module_max = m200;
        warn_two(d_, line, "Value of module has been adjusted");
        edit->setFocus(Qt::OtherFocusReason);
      }
      if (d_.search_module_max > m13) {
        std::snprintf(line, sizeof line, "Maximum value of module is %6.3f", double(m13));
        d_.search_module_max = m13;
        warn_two(d_, line, "Value of module has been adjusted");
        edit->setFocus(Qt::OtherFocusReason);
      }
      if (d_.search_module_max < d_.search_module_min) {
        d_.search_module_max = float(ld(d_.search_module_min) + 1.0L);
        warn_two(d_, "Maximum value of module must be greater than minimum value of module",
                 "Value of module has been adjusted");
        edit->setFocus(Qt::OtherFocusReason);
      }
    }
  }
  finish_field_exit(d_, [this] { Set_optimizer_textboxes(); });
  reenter_if_refocused(d_, edit);
}

void Toptimizationform::teeth_exit(bool max) {
  QLineEdit* edit = max ? maxz1edit : minz1edit;
  const FieldValue entry = read_field(d_, edit);
  if (entry.changed) {
    const int32_t v = to_int32_clamped(std::trunc(ld(entry.value)));
    int32_t& lo = d_.search_teeth_min;
    int32_t& hi = d_.search_teeth_max;
    auto refuse = [&](const char* line1, const char* line2) {
      warn_two(d_, line1, line2);
      edit->setFocus(Qt::OtherFocusReason);
    };
    // Differences in 64 bits: an entry far out of range cannot overflow them.
    auto span = [&] { return int64_t(hi) - int64_t(lo); };
    if (!max) {
      lo = v;
      if (lo < 13) {
        lo = 13;
        refuse("Minimum value of pinion teeth is 13", "Please enter a value higher than 13");
      }
      if (span() >= 10) {
        if (int64_t(lo) + 9 > 200) hi = 200, lo = 191;
        else hi = lo + 9;
        refuse("Maximum range of teeth is 10", "Value of teeth have been adjusted");
      }
      if (span() < 1) {
        if (int64_t(lo) + 1 > 200) hi = 200, lo = 191;
        else hi = lo + 1;
        refuse("Minimum teeth must be less than maximum", "Value of teeth have been adjusted");
      }
    } else {
      hi = v;
      if (hi > 200) {
        hi = 200;
        refuse("Maximum value of pinion teeth is 200", "Please enter a value lower than 200");
      }
      if (span() >= 10) {
        if (int64_t(hi) - 9 < 13) lo = 13, hi = 22;
        else lo = hi - 9;
        refuse("Maximum range of teeth is 10", "Value of teeth have been adjusted");
      }
      if (span() < 1) {
        if (int64_t(hi) - 1 < 13) lo = 13, hi = 22;
        else lo = hi - 1;
        refuse("Maximum teeth must be greater than minimum", "Value of teeth have been adjusted");
      }
    }
    // The module range that these tooth counts need at the centre distance.
    const ld u = d_.desired_ratio;
    auto transverse = [](float alpha, float beta) {
      return float(rad_to_deg(std::atan(std::tan(deg_to_rad(alpha)) / std::cos(deg_to_rad(beta)))));
    };
    d_.search_module_min = module_from_centre_distance(
        d_.filter_shift_sum_max, d_.search_pressure_angle_max,
        transverse(d_.search_pressure_angle_max, d_.search_helix_angle_max), d_.search_helix_angle_max,
        d_.centre_distance, hi, to_int32_clamped(std::ceil(ld(hi) * u)));
    d_.search_module_max = module_from_centre_distance(
        d_.filter_shift_sum_min, d_.search_pressure_angle_min,
        transverse(d_.search_pressure_angle_min, d_.search_helix_angle_min), d_.search_helix_angle_min,
        d_.centre_distance, lo, to_int32_clamped(std::floor(ld(lo) * u)));
  }
  finish_field_exit(d_, [this] { Set_optimizer_textboxes(); });
  reenter_if_refocused(d_, edit);
}

// --- Result-filter edits ---

void Toptimizationform::filter_exit(QLineEdit* edit, bool max, int row) {
  const FieldValue entry = read_field(d_, edit);
  if (entry.changed) {
    QCheckBox* kinds[3] = {safetyfactorCheckBox, nomstressCheckBox, actualstressCheckBox};
    for (int kind = 0; kind < 3; ++kind) {
      if (!kinds[kind]->isChecked()) continue;
      float& member = filter_member(d_, kind, row, max);
      const float other = filter_member(d_, kind, row, !max);
      d_.search_old_value = member;
      const float v = kind == 0 ? float(entry.value) : float(ld(entry.value) * d_.stress_unit_factor);
      member = v;
      const float upper = kind == 0 ? 10.0f : 10000.0f;
      const bool refused = max ? (v > upper || ld(v) <= ld(other) + 0.01L) : (v < 0 || ld(v) >= ld(other) - 0.01L);
      if (refused) {
        warn_two(d_, "Value is out of range ", " ");
        member = d_.search_old_value;
      }
    }
  }
  finish_field_exit(d_, [this] { Set_optimizer_textboxes(); });
}

}  // namespace morvell
