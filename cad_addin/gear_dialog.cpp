#include "gear_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "addin_app.h"
#include "addin_services.h"
#include "gear_profile.h"
#include "registry.h"
#include "utf16.h"

namespace tandrel {

namespace {

using registry::Hive;

// ---- text formats -------------------------------------------------------------------------------
// Numbers are written and read in the C form whatever the desktop's locale.

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string Narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? char(c) : '\x7f';  // anything else ends a number
  return out;
}

// A stored setting's text: six decimals ("%lf": 0.5 becomes 0.500000) wherever they read back to the
// same value, otherwise the shortest text that does (1e-07, 0.3333333333333333), so that a value is
// never stored as another one.
std::string FormatSetting(double v) {
  char buffer[400];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
  double back = 0.0;
  std::from_chars(buffer, r.ptr, back);
  if (back != v) r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}

std::string FormatShort(double v) {  // the dialog's "%.15g"
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
  return std::string(buffer, r.ptr);
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Scans a number at the start of the text as "%d" / "%lf" do; `rest` is what follows it.
bool ScanInt(const std::string& s, int32_t& value, size_t& rest) {
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t v = 0;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    v = v * 10 + (s[i++] - '0');
    if (v > int64_t(INT32_MAX) + 1) return false;
    ++digits;
  }
  if (digits == 0) return false;
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = int32_t(v);
  rest = i;
  return true;
}

enum class Scan { Number, NotANumber, OutOfRange };

// A value that a float holds: the range of every value the dialog takes in or shows in an input box.
// The bound is the largest number of 15 digits that still rounds to a finite float; a box shows its
// value with 15 digits, and the text of a value within the bound lies within it too, so that a box
// always reads back what it shows (the largest float itself is shown as 3.40282346638529e+38).
bool FitsFloat(double v) { return std::isfinite(v) && std::fabs(v) <= 3.40282356779733e38; }

// Scans a number at the start of the text as "%lf" does; `rest` is what follows it. "nan", "inf" and
// "infinity" are not numbers here, and a value beyond the range of a float is refused: no setting and
// no outline may carry one.
Scan ScanDouble(const std::string& s, double& value, size_t& rest) {
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  if (i < s.size() && s[i] == '+' && !(i + 1 < s.size() && s[i + 1] == '-')) ++i;
  double v = 0.0;
  const auto r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
  if (r.ec == std::errc::invalid_argument) return Scan::NotANumber;
  if (r.ec == std::errc::result_out_of_range) return Scan::OutOfRange;
  if (std::isnan(v) || std::isinf(v)) return Scan::NotANumber;
  if (!FitsFloat(v)) return Scan::OutOfRange;
  value = v;
  rest = size_t(r.ptr - s.data());
  return Scan::Number;
}

bool OnlySpaceFrom(const std::string& s, size_t at) {
  for (size_t i = at; i < s.size(); ++i)
    if (!IsSpace(s[i])) return false;
  return true;
}

// ---- settings -----------------------------------------------------------------------------------

struct Setting {
  const char16_t* name;
  int32_t GearDialog::*i;
  double GearDialog::*d;
};

const Setting kSettings[] = {
    {u"z", &GearDialog::z, nullptr},         {u"m", nullptr, &GearDialog::m},
    {u"a", nullptr, &GearDialog::a},         {u"x", nullptr, &GearDialog::x},
    {u"tol", nullptr, &GearDialog::tol},     {u"crk", nullptr, &GearDialog::crk},
    {u"crt", nullptr, &GearDialog::crt},     {u"d_u", nullptr, &GearDialog::d_u},
    {u"dg_u", nullptr, &GearDialog::dg_u},   {u"dk_u", nullptr, &GearDialog::dk_u},
    {u"dt_u", nullptr, &GearDialog::dt_u},   {u"sm", nullptr, &GearDialog::sm},
    {u"zm", nullptr, &GearDialog::zm},       {u"top", &GearDialog::top, nullptr},
    {u"all", &GearDialog::all, nullptr},     {u"all_cir", &GearDialog::all_cir, nullptr},
    {u"LT", &GearDialog::LT, nullptr},       {u"high", nullptr, &GearDialog::high},
    {u"bl", nullptr, &GearDialog::bl},
};

// ---- controls -----------------------------------------------------------------------------------

enum class Kind { IntEdit, DoubleEdit, Check, Radio };

struct Exchange {
  int id;
  Kind kind;
  int32_t GearDialog::*i;
  double GearDialog::*d;
};

// The order in which controls and fields are exchanged.
const Exchange kExchange[] = {
    {1007, Kind::DoubleEdit, nullptr, &GearDialog::a},  {1025, Kind::Check, &GearDialog::all, nullptr},
    {1024, Kind::Check, &GearDialog::top, nullptr},     {1010, Kind::DoubleEdit, nullptr, &GearDialog::crk},
    {1011, Kind::DoubleEdit, nullptr, &GearDialog::crt}, {1012, Kind::DoubleEdit, nullptr, &GearDialog::d},
    {1017, Kind::DoubleEdit, nullptr, &GearDialog::d_u}, {1013, Kind::DoubleEdit, nullptr, &GearDialog::db},
    {1018, Kind::DoubleEdit, nullptr, &GearDialog::dg_u}, {1014, Kind::DoubleEdit, nullptr, &GearDialog::da},
    {1019, Kind::DoubleEdit, nullptr, &GearDialog::dk_u}, {1015, Kind::DoubleEdit, nullptr, &GearDialog::df},
    {1020, Kind::DoubleEdit, nullptr, &GearDialog::dt_u}, {1028, Kind::IntEdit, &GearDialog::Pts, nullptr},
    {1006, Kind::DoubleEdit, nullptr, &GearDialog::m},  {1016, Kind::DoubleEdit, nullptr, &GearDialog::sm},
    {1027, Kind::DoubleEdit, nullptr, &GearDialog::high}, {1009, Kind::DoubleEdit, nullptr, &GearDialog::tol},
    {1008, Kind::DoubleEdit, nullptr, &GearDialog::x},  {1003, Kind::IntEdit, &GearDialog::z, nullptr},
    {1021, Kind::DoubleEdit, nullptr, &GearDialog::zm}, {1041, Kind::Radio, &GearDialog::LT, nullptr},
    {1026, Kind::Check, &GearDialog::all_cir, nullptr}, {1032, Kind::DoubleEdit, nullptr, &GearDialog::bl},
};

enum class Widget { Label, Edit, ReadOnly, Check, Radio, Button, Progress, Group, Separator, Logo, Picture };

// One control of the template: number (-1 for labels), kind, position and size in dialog units, the
// Chinese and the Japanese caption.
struct Item {
  int id;
  Widget kind;
  int x, y, w, h;
  const char16_t* zh;
  const char16_t* ja;
};

// The units line under the caption: its text is wider than the room beside the Help button, so it
// starts below the Help and Close buttons.
constexpr char16_t kUnitsCaption[] = u"( 所有长度均以毫米为单位 mm )";

const Item kTemplate[] = {
    {-1, Widget::Logo, 4, 4, 16, 16, nullptr, nullptr},
    {-1, Widget::Label, 24, 4, 104, 9, u"Tandrel 渐开线齿轮", u"Tandrel ｲﾝﾎﾞﾘｭｰﾄ歯車"},
    {-1, Widget::Label, 22, 18, 148, 9, kUnitsCaption, u"(単位 :mm)"},
    {1030, Widget::Button, 134, 4, 34, 14, u"帮助", u"ﾍﾙﾌﾟ"},
    {1004, Widget::Button, 172, 4, 34, 14, u"关闭", u"終了"},
    {1031, Widget::Button, 172, 20, 34, 14, u"复位", u"設定初期化"},
    {-1, Widget::Label, 8, 30, 62, 9, u"齿数：", u"歯数"},
    {1003, Widget::Edit, 72, 28, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 46, 62, 9, u"模数：", u"ﾓｼﾞｭｰﾙ"},
    {1006, Widget::Edit, 72, 44, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 62, 62, 9, u"压力角：", u"基準圧力角"},
    {1007, Widget::Edit, 72, 60, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 78, 62, 9, u"变位系数：", u"転位係数"},
    {1008, Widget::Edit, 72, 76, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 94, 62, 9, u"公差：", u"ﾄﾚﾗﾝｽ"},
    {1009, Widget::Edit, 72, 92, 40, 12, nullptr, nullptr},
    {1028, Widget::ReadOnly, 120, 92, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 164, 94, 40, 9, u"Pts", u"EP"},
    {-1, Widget::Label, 8, 110, 62, 9, u"齿顶圆角：", u"歯先ﾌｨﾚｯﾄR"},
    {1010, Widget::Edit, 72, 108, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 126, 62, 9, u"齿根圆角：", u"歯底ﾌｨﾚｯﾄR"},
    {1011, Widget::Edit, 72, 124, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 142, 62, 9, u"分度圆直径：", u"基準ﾋﾟｯﾁ円直径"},
    {1012, Widget::ReadOnly, 72, 140, 40, 12, nullptr, nullptr},
    {1017, Widget::Edit, 120, 140, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 158, 62, 9, u"基圆直径：", u"基礎円直径"},
    {1013, Widget::ReadOnly, 72, 156, 40, 12, nullptr, nullptr},
    {1018, Widget::Edit, 120, 156, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 174, 62, 9, u"齿顶圆直径：", u"歯先円直径"},
    {1014, Widget::ReadOnly, 72, 172, 40, 12, nullptr, nullptr},
    {1019, Widget::Edit, 120, 172, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 8, 190, 62, 9, u"齿根圆直径：", u"歯底円直径"},
    {1015, Widget::ReadOnly, 72, 188, 40, 12, nullptr, nullptr},
    {1020, Widget::Edit, 120, 188, 40, 12, nullptr, nullptr},
    {-1, Widget::Picture, 164, 108, 44, 76, nullptr, nullptr},
    {-1, Widget::Label, 8, 206, 62, 9, u"基节长度：", u"またぎ歯厚"},
    {1016, Widget::Edit, 72, 204, 40, 12, nullptr, nullptr},
    {1021, Widget::Edit, 120, 204, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 164, 206, 40, 9, u"齿数", u"歯数"},
    {-1, Widget::Label, 8, 222, 62, 9, u"齿轮侧隙：", u"バックラッシ"},
    {1032, Widget::Edit, 72, 220, 40, 12, nullptr, nullptr},
    {-1, Widget::Label, 116, 222, 70, 9, u"( 圆周方向 )", u"(円周方向)"},
    {-1, Widget::Separator, 8, 234, 198, 9, u"---选项---------------------------------------",
     u"---Option---------------------------------------------------"},
    {1024, Widget::Check, 8, 244, 198, 10, u"从齿顶开始绘制 (不选时从齿底开始)",
     u"歯先トップ: 歯先(No=歯底)を上部にして作画する"},
    {1025, Widget::Check, 8, 256, 120, 10, u"绘制所有齿 (不选时只画一个)", u"全体作画: 全体(No=一歯)を作画する"},
    {1026, Widget::Check, 130, 256, 78, 10, u"( 添加齿根圆 )", u"(歯底円を追加する。)"},
    {-1, Widget::Group, 8, 268, 198, 24, u"渐开线拟合类型", u"インボリュート曲線タイプ"},
    {1041, Widget::Radio, 16, 279, 54, 10, u"圆弧线", u"円弧"},
    {1042, Widget::Radio, 76, 279, 50, 10, u"直线", u"直線"},
    {1043, Widget::Radio, 130, 279, 70, 10, u"样条曲线", u"スプライン"},
    {-1, Widget::Label, 8, 298, 110, 9, u"拉伸距离 ( 2D 草图 = 0 )", u"ベース押し出し( 0=Curves)"},
    {1027, Widget::Edit, 120, 296, 40, 12, nullptr, nullptr},
    {1002, Widget::Progress, 8, 311, 100, 10, nullptr, nullptr},
    {1029, Widget::Button, 114, 309, 44, 14, u"计算", u"プレ計算"},
    {1001, Widget::Button, 162, 309, 44, 14, u"绘制", u"歯車作成"},
};

constexpr double kPixelsPerUnit = 1.5;  // a 9-point dialog font on a 96 dpi screen

QPixmap GearPicture(int width, int height, int teeth) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double r_a = std::min(width, height) * 0.45, r_f = r_a * 0.78;
  QPainterPath path;
  for (int i = 0; i < teeth; ++i) {
    const double t = 2.0 * M_PI * i / teeth, q = M_PI / teeth;
    const double angles[] = {t - q * 0.5, t - q * 0.25, t + q * 0.25, t + q * 0.5, t + q * 1.5};
    const double radii[] = {r_f, r_a, r_a, r_f, r_f};
    for (int k = 0; k < 5; ++k) {
      const QPointF pt(width / 2.0 + radii[k] * std::sin(angles[k]), height / 2.0 - radii[k] * std::cos(angles[k]));
      if (i == 0 && k == 0)
        path.moveTo(pt);
      else
        path.lineTo(pt);
    }
  }
  path.closeSubpath();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(200, 210, 225));
  p.drawPath(path);
  p.drawEllipse(QPointF(width / 2.0, height / 2.0), r_f * 0.3, r_f * 0.3);
  return pixmap;
}

// No folder name is longer: a larger `Install` value is no installation folder and is not read.
constexpr uint32_t kLongestInstallValue = 1u << 20;

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

std::u16string ReadGearSetting(std::u16string_view name) {
  registry::Key key;
  if (registry::OpenKey(Hive::LocalMachine, kSettingsKey, key) != registry::kSuccess) return {};
  char16_t buffer[128] = {};
  uint32_t size = sizeof buffer;
  uint32_t type = 0;
  const registry::Status status = registry::QueryValue(key, name, &type, buffer, &size);
  registry::CloseKey(key);
  if (status != registry::kSuccess || type != registry::REG_SZ) return {};
  // The stored text has no terminating zero: it ends where the data ends, or at a zero within it.
  std::u16string text(buffer, size / sizeof(char16_t));
  if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos) text.resize(nul);
  return text;
}

namespace {

// Writes one setting; the message that tells why it could not be written, or none.
const char16_t* StoreGearSetting(std::u16string_view name, std::u16string_view text) {
  registry::Key key;
  if (registry::CreateKey(Hive::LocalMachine, kSettingsKey, key) != registry::kSuccess)
    return u"Registry opening went wrong.\nPlease check security authority. ";
  const registry::Status status =
      registry::SetValue(key, name, registry::REG_SZ, text.data(), uint32_t(text.size() * sizeof(char16_t)));
  registry::CloseKey(key);
  return status == registry::kSuccess ? nullptr : u"Registry writing went wrong.\nPlease check security authority. ";
}

}  // namespace

void WriteGearSetting(std::u16string_view name, std::u16string_view text) {
  if (const char16_t* failure = StoreGearSetting(name, text)) Services().ShowMessage(failure);
}

std::u16string PressureAngleOutOfRangeMessage() {
  return u"压力角超出范围. 请输入一个大于 0 且小于 90 的值." + std::u16string(43, u' ');
}

std::u16string GearSizeOutOfRangeMessage() {
  return u"    齿轮尺寸超出范围. 请检查齿数, 模数, 直径和基节长度." + std::u16string(11, u' ');
}

std::u16string HelpNotOpenedMessage(const std::u16string& path) { return u"帮助文件无法打开:\n" + path; }

// The file is there, but nothing on the desktop opens it: xdg-open (package xdg-utils) is missing or
// knows no program for text.
std::u16string HelpWithoutViewerMessage(const std::u16string& path) {
  return HelpNotOpenedMessage(path) + u"\n帮助文件存在, 但桌面没有能打开它的程序 (需要 xdg-utils 的 xdg-open)";
}

// Stands for the installation folder in Help's message when no folder was registered.
const std::u16string kNoInstallFolder = u"(未注册安装文件夹)";

GearDialog::Language GearDialog::DefaultLanguage() {
  return QLocale().language() == QLocale::Japanese ? Language::Japanese : Language::Chinese;
}

GearDialog::GearDialog(Language language, QWidget* parent) : QDialog(parent), language_(language) {
  setObjectName(QStringLiteral("GearDialog"));
  SetDefaults(false);
  LoadSettings();
  BuildControls();
  UpdateData(false);
  // Enter in an input field is the OK action: the dialog opens with the number of teeth to type in.
  control(1003)->setFocus();
}

void GearDialog::SetDefaults(bool keep_root_circle) {
  const int32_t root_circle = all_cir;
  z = 16;
  m = 0.5;
  a = 20.0;
  x = 0.0;
  tol = 0.001;
  Pts = 0;
  crk = crt = 0.0;
  d = db = da = df = 0.0;
  d_u = dg_u = dk_u = dt_u = 0.0;
  sm = zm = bl = 0.0;
  top = 1;
  all = 1;
  all_cir = keep_root_circle ? root_circle : 0;
  LT = 0;
  high = 0.0;
  psi_b = 0.0;
}

void GearDialog::LoadSettings() {
  for (const Setting& s : kSettings) {
    const std::string text = Narrow(ReadGearSetting(s.name));
    if (text.empty()) continue;
    size_t rest = 0;
    if (s.i) {
      int32_t v = 0;
      if (!ScanInt(text, v, rest)) continue;
      // The fitting type selects one of three buttons; another number would leave the flank undrawn.
      if (s.i == &GearDialog::LT && (v < 0 || v > 2)) continue;
      this->*(s.i) = v;
    } else {
      double v = 0.0;
      if (ScanDouble(text, v, rest) == Scan::Number) this->*(s.d) = v;
    }
  }
}

void GearDialog::SaveSettings() {
  // Every setting is tried; one cause that fails them all is shown once.
  std::vector<std::u16string_view> shown;
  for (const Setting& s : kSettings) {
    const char16_t* failure =
        StoreGearSetting(s.name, Widen(s.i ? std::to_string(this->*(s.i)) : FormatSetting(this->*(s.d))));
    if (failure && std::find(shown.begin(), shown.end(), failure) == shown.end()) {
      shown.push_back(failure);
      Services().ShowMessage(failure);
    }
  }
}

void GearDialog::BuildControls() {
  const bool ja = language_ == Language::Japanese;
  setWindowTitle(QString::fromStdU16String(ja ? u"インボリュート歯車作成ツール" : u"渐开线齿轮"));
  setFont(QFont(QString::fromStdU16String(ja ? u"ＭＳ Ｐゴシック" : u"宋体"), 9));
  // The Japanese template is narrower: its widths are the Chinese ones scaled by 203/212.
  const int width_units = ja ? 203 : 212, height_units = ja ? 339 : 329;
  auto px = [](double units) { return int(std::lround(units * kPixelsPerUnit)); };
  fitting_ = new QButtonGroup(this);
  std::vector<std::pair<QWidget*, Item>> placed;
  for (Item item : kTemplate) {
    if (ja && item.y >= 266) item.y += 10;
    if (ja && item.id == 1025) item.w = 198;
    if (ja && item.id == 1026) item.x = 8, item.y = 267, item.w = 198;
    if (ja && item.id == 1031) item.x = 134, item.w = 72;
    if (ja && item.zh == kUnitsCaption) item.w = 110;  // ends before the wider Reset button
    const QString caption = QString::fromStdU16String(ja ? (item.ja ? item.ja : u"") : (item.zh ? item.zh : u""));
    QWidget* w = nullptr;
    switch (item.kind) {
      case Widget::Label:
      case Widget::Separator:
        w = new QLabel(caption, this);
        break;
      case Widget::Edit:
      case Widget::ReadOnly: {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(item.kind == Widget::ReadOnly);
        w = edit;
        break;
      }
      case Widget::Check:
        w = new QCheckBox(caption, this);
        break;
      case Widget::Radio: {
        auto* radio = new QRadioButton(caption, this);
        fitting_->addButton(radio, item.id - 1041);
        w = radio;
        break;
      }
      case Widget::Button: {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        w = button;
        break;
      }
      case Widget::Progress:
        progress_ = new QProgressBar(this);
        progress_->setRange(0, 100);
        progress_->setValue(0);
        progress_->setTextVisible(false);
        w = progress_;
        break;
      case Widget::Group:
        w = new QGroupBox(caption, this);
        w->lower();
        break;
      case Widget::Logo:
      case Widget::Picture:
        w = new QLabel(this);
        break;
    }
    if (item.id >= 0) w->setObjectName(QString::number(item.id));
    placed.emplace_back(w, item);
  }

  // The template in pixels, its widths scaled by sx. Each box runs from its left to its right edge
  // in pixels, so that boxes whose edges meet in dialog units do not overlap by a rounding pixel.
  auto place = [&](double sx) {
    for (const auto& [w, item] : placed) {
      const int left = px(item.x * sx), top = px(item.y);
      w->setGeometry(left, top, px((item.x + item.w) * sx) - left, px(item.y + item.h) - top);
    }
  };
  // The width a control needs to show its whole caption in its font, 0 for one without a caption.
  auto needed = [](QWidget* w) -> int {
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect text = w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w);
      return w->width() - text.width() + w->fontMetrics().horizontalAdvance(button->text());
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) return w->sizeHint().width();
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) return w->sizeHint().width();
    return 0;
  };
  // The template's widths suit the font it was made for; where a caption needs more in the font at
  // hand, the whole dialog grows wider in proportion, so that rows and order stay as they are.
  double sx = width_units / 212.0;
  place(sx);
  for (int pass = 0; pass < 4; ++pass) {
    double grow = 1.0;
    for (const auto& [w, item] : placed)
      if (const int need = needed(w); need > w->width()) grow = std::max(grow, double(need) / std::max(w->width(), 1));
    if (grow == 1.0) break;
    sx *= grow;
    place(sx);
  }
  setFixedSize(px(212.0 * sx), px(height_units));
  for (const auto& [w, item] : placed)
    if (item.kind == Widget::Logo || item.kind == Widget::Picture)
      static_cast<QLabel*>(w)->setPixmap(item.kind == Widget::Logo ? GearPicture(24, 24, 8)
                                                                   : GearPicture(w->width(), w->height(), 12));
  // The hidden default button (Enter) and cancel button (Esc).
  for (int id : {1, 2}) {
    auto* hidden = new QPushButton(QString::fromStdU16String(id == 1 ? (ja ? u"OK" : u"确定") : (ja ? u"ｷｬﾝｾﾙ" : u"取消")),
                                   this);
    hidden->setObjectName(QString::number(id));
    hidden->setAutoDefault(false);
    hidden->hide();
  }
  auto bind = [this](int id, void (GearDialog::*slot)()) {
    connect(findChild<QPushButton*>(QString::number(id)), &QPushButton::clicked, this, slot);
  };
  bind(1001, &GearDialog::OnDraw);
  bind(1029, &GearDialog::OnCalculate);
  bind(1030, &GearDialog::OnHelp);
  bind(1031, &GearDialog::OnReset);
  bind(1004, &GearDialog::OnClose);
  bind(1, &GearDialog::OnOK);
  bind(2, &GearDialog::OnClose);
}

QWidget* GearDialog::control(int id) const { return findChild<QWidget*>(QString::number(id)); }

bool GearDialog::UpdateData(bool save) {
  for (const Exchange& e : kExchange) {
    if (e.kind == Kind::Radio) {
      if (save) {
        this->*(e.i) = fitting_->checkedId();
      } else {
        QAbstractButton* b = fitting_->button(this->*(e.i));
        if (b) {
          b->setChecked(true);
        } else if (QAbstractButton* c = fitting_->checkedButton()) {
          fitting_->setExclusive(false);
          c->setChecked(false);
          fitting_->setExclusive(true);
        }
      }
      continue;
    }
    if (e.kind == Kind::Check) {
      auto* box = qobject_cast<QCheckBox*>(control(e.id));
      if (save)
        this->*(e.i) = box->isChecked() ? 1 : 0;
      else
        box->setChecked(this->*(e.i) == 1);
      continue;
    }
    auto* edit = qobject_cast<QLineEdit*>(control(e.id));
    if (!save) {
      edit->setText(QString::fromStdString(e.kind == Kind::IntEdit ? std::to_string(this->*(e.i))
                                                                   : FormatShort(this->*(e.d))));
      edit->setCursorPosition(0);  // a long number shows its beginning
      continue;
    }
    // The derived diameters and the point count are results, recomputed by every command: the user
    // cannot edit them, so they are never read back.
    if (edit->isReadOnly()) continue;
    const std::string text = Narrow(edit->text().toStdU16String());
    size_t rest = 0;
    const char16_t* prompt = nullptr;
    if (e.kind == Kind::IntEdit) {
      int32_t v = 0;
      if (ScanInt(text, v, rest) && OnlySpaceFrom(text, rest))
        this->*(e.i) = v;
      else
        prompt = u"Please enter an integer.";
    } else {
      double v = 0.0;
      const Scan scan = ScanDouble(text, v, rest);
      // A box that still shows its value as the dialog wrote it keeps the exact value: a setting with
      // more digits than the box shows is not shortened by reading the box back.
      if (scan == Scan::Number && OnlySpaceFrom(text, rest) && text == FormatShort(this->*(e.d)))
        continue;
      if (scan == Scan::Number && OnlySpaceFrom(text, rest))
        this->*(e.d) = v;
      else if (scan == Scan::OutOfRange)
        prompt = u"Please enter a number between -3.4e+38 and 3.4e+38.";
      else
        prompt = u"Please enter a number.";
    }
    if (prompt) {
      Services().ShowMessage(prompt);
      edit->setFocus();
      edit->selectAll();
      return false;
    }
  }
  return true;
}

int GearDialog::CalculateGear(int mode) {
  progress_->setRange(0, 100);
  WaitCursor wait;
  // A text that is not a number was prompted for and has the focus: the command stops there, nothing
  // is counted, drawn or stored, and every box keeps what was typed.
  if (!UpdateData(true)) return 2;

  // The module and the profile shift as this command uses them: derived from the reference diameter and
  // the span measurement when those are given, and taken into their boxes only when the gear is accepted.
  double module = m, shift = x;
  d = z * m;
  if (d_u > 0.0) {
    d = d_u;
    module = d_u / z;
  }
  const double alpha = a * kDegreesToRadians;
  db = d * std::cos(alpha);
  if (dg_u > 0.0) db = dg_u;
  da = d + 2.0 * module;
  df = z <= 6 ? d - 2.0 * module * (1.0 - 0.2 * (6 - z)) : d - 2.5 * module;
  if (dk_u > 0.0) da = dk_u;
  if (dt_u > 0.0) df = dt_u;
  const double inv_alpha = std::tan(alpha) - alpha;
  if (sm > 0.0)
    shift = (sm - (inv_alpha * z + (zm - 0.5) * 3.14159265358979) * module * std::cos(alpha)) /
            (2.0 * module * std::sin(alpha));

  // The involute function of the pressure angle and the base circle d cos(a) belong to one angle of
  // the open quarter circle only: outside it the tooth would be drawn with a wrong thickness.
  std::u16string refusal;
  if (!(a > 0.0 && a < 90.0))
    refusal = PressureAngleOutOfRangeMessage();
  else if (!FitsFloat(d) || !FitsFloat(db) || !FitsFloat(da) || !FitsFloat(df) || !FitsFloat(module) ||
           !FitsFloat(shift))
    refusal = GearSizeOutOfRangeMessage();

  ProfileHooks hooks;
  hooks.progress = [this](int v) {
    const int value = std::clamp(v, 0, 100);
    if (value != progress_->value()) {
      progress_->setValue(value);
      if (progress_->isVisible()) progress_->repaint();
    }
  };
  hooks.escape_held = [] { return Services().EscapeHeld(); };
  hooks.message = [](const std::u16string& text) { Services().ShowMessage(text); };

  bool drawn = false;
  if (!refusal.empty()) {
    hooks.message(refusal);
    Pts = 0;
  } else {
    m = module;
    x = shift;
    psi_b = 0.5 * ((4.0 * x * std::tan(alpha) + 3.14159265358979) / z * 57.29577951308239 +
                   inv_alpha * 114.59155902616477);
    const double r_b = db / 2.0, r_a = da / 2.0, r_f = df / 2.0;
    if (mode == 1) {
      const int count = CountFlankPoints(tol, r_b, r_a, r_f, hooks);
      if (count < 0) return 1;  // Esc: nothing is stored
      Pts = count;
    } else {
      Pts = 0;
      ProfileInput in;
      in.tol = tol;
      in.z = z;
      in.r_b = r_b;
      in.r_a = r_a;
      in.r_f = r_f;
      in.psi_b = psi_b;
      in.crk = crk;
      in.crt = crt;
      in.top = top;
      in.all = all;
      in.all_cir = all_cir;
      in.high = high;
      in.LT = LT;
      in.bl = bl;
      in.r_ref = d / 2.0;
      drawn = GenerateGearProfile(in, AddinHost(), hooks) == 0;
    }
  }
  SaveSettings();
  UpdateData(false);
  UpdateData(true);
  if (drawn) done(QDialog::Accepted);
  return 0;
}

void GearDialog::OnDraw() { CalculateGear(0); }

void GearDialog::OnCalculate() { CalculateGear(1); }

void GearDialog::OnOK() {
  // Enter draws and closes, also after a failed drawing; a text that is not a number keeps the dialog
  // open on its box, with everything typed.
  if (CalculateGear(0) == 2) return;
  done(QDialog::Accepted);
}

void GearDialog::OnClose() { done(QDialog::Rejected); }

void GearDialog::OnReset() {
  // Every box is set back to its default but the root circle choice, which keeps what the box shows;
  // no text is read, so none that is not a number is asked for just before it is replaced.
  all_cir = qobject_cast<QCheckBox*>(control(1026))->isChecked() ? 1 : 0;
  SetDefaults(true);
  UpdateData(false);
  UpdateData(true);
}

void GearDialog::OnHelp() {
  // The installation folder, whatever its length: its size is asked first. Without a registered
  // folder the help text cannot be found, and Help says so rather than doing nothing.
  const std::u16string help_file = u"/kzsamples/inv_help.txt";
  registry::Key key;
  if (registry::OpenKey(Hive::LocalMachine, kSettingsKey, key) != registry::kSuccess) {
    Services().ShowMessage(HelpNotOpenedMessage(kNoInstallFolder + help_file));
    return;
  }
  uint32_t size = 0, type = 0;
  std::u16string install;
  registry::Status status = registry::QueryValue(key, u"Install", &type, nullptr, &size);
  if (status == registry::kSuccess && size <= kLongestInstallValue) {
    install.resize(size / sizeof(char16_t));
    status = registry::QueryValue(key, u"Install", &type, install.data(), &size);
    install.resize(size / sizeof(char16_t));
  }
  registry::CloseKey(key);
  if (status != registry::kSuccess || size > kLongestInstallValue) {
    Services().ShowMessage(HelpNotOpenedMessage(kNoInstallFolder + help_file));
    return;
  }
  if (const size_t nul = install.find(u'\0'); nul != std::u16string::npos) install.resize(nul);
  const std::u16string help = install + help_file;
  const std::string path = ToUtf8(help);
  struct stat st {};
  const bool readable = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0;
  if (!readable) Services().ShowMessage(HelpNotOpenedMessage(help));
  else if (!Services().OpenWithShell(help)) Services().ShowMessage(HelpWithoutViewerMessage(help));
}

void GearDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter on a button presses it; anywhere else it is the OK action.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isVisible()) {
      button->click();
    } else {
      OnOK();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tandrel
