// The gear dialog: the parameters of one involute spur gear, the derived diameters and the flank point
// count, and the commands Draw, Calculate, Help, Reset and Close. Its inputs persist as text values
// under the settings key between uses. Controls carry their numbers as object names ("1003", ...).
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <string_view>

class QProgressBar;
class QButtonGroup;

namespace tandrel {

inline constexpr char16_t kSettingsKey[] = u"SOFTWARE\\SolidWorks\\Applications\\RI Redezere Viva";

// The text of one setting, empty when the key or the value cannot be read.
std::u16string ReadGearSetting(std::u16string_view name);
// Writes one setting; failures are shown in a message box and change nothing else.
void WriteGearSetting(std::u16string_view name, std::u16string_view text);

// Messages of the dialog's own refusals (the calculation's are beside the outline).
std::u16string PressureAngleOutOfRangeMessage();  // the angle is not above 0 and below 90 degrees
std::u16string GearSizeOutOfRangeMessage();       // a derived diameter, module or shift beyond a float
std::u16string HelpNotOpenedMessage(const std::u16string& path);
// Help's message when the text is there but the desktop has no program that shows it.
std::u16string HelpWithoutViewerMessage(const std::u16string& path);

class GearDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Language { Chinese, Japanese };
  // Japanese on a Japanese desktop, Chinese everywhere else.
  static Language DefaultLanguage();

  explicit GearDialog(Language language = DefaultLanguage(), QWidget* parent = nullptr);

  // Fields, named as the settings that keep them. Lengths in millimetres, angles in degrees.
  int32_t z = 16;
  double m = 0.5, a = 20.0, x = 0.0, tol = 0.001;
  int32_t Pts = 0;
  double crk = 0.0, crt = 0.0;
  double d = 0.0, db = 0.0, da = 0.0, df = 0.0;
  double d_u = 0.0, dg_u = 0.0, dk_u = 0.0, dt_u = 0.0;
  double sm = 0.0, zm = 0.0, bl = 0.0;
  int32_t top = 1, all = 1, all_cir = 0, LT = 0;
  double high = 0.0;
  double psi_b = 0.0;

  // Mode 1 counts the flank points (Calculate), mode 0 draws (Draw). Returns 1 when Esc stopped the
  // count, 2 when a box holds a text that is not a number (prompted for; nothing counted, drawn or
  // stored), otherwise 0. A successful draw ends the dialog with OK once the command returns.
  int CalculateGear(int mode);
  // true: input boxes to fields (stops at the first text that is not a number, after its prompt, with
  // the focus on its box; the read-only boxes of results are not read); false: fields to controls.
  // Returns false when a text was not a number.
  bool UpdateData(bool save_and_validate);
  // Writes the 19 settings; a cause that fails several of them is shown once.
  void SaveSettings();

  Language language() const { return language_; }
  QWidget* control(int id) const;

 public slots:
  void OnDraw();
  void OnCalculate();
  void OnHelp();
  void OnReset();
  void OnClose();
  void OnOK();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetDefaults(bool keep_root_circle);
  void LoadSettings();
  void BuildControls();

  Language language_;
  QProgressBar* progress_ = nullptr;
  QButtonGroup* fitting_ = nullptr;
};

}  // namespace tandrel
