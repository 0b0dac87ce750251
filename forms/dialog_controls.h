// Controls of the small dialogs placed by hand in a layout designed at 96 pixels per inch (the window
// scale then sizes them), and the steps their numeric fields share.
#pragma once

#include <QString>

#include <string>

#include "design_data.h"

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace morvell {

QLabel* add_label(QWidget* parent, const QString& text, int x, int y, int width, int height = 17);

// How a numeric field differs from the plain one: its text against the right edge, the number of
// characters it takes (kAnyLength: as many as Qt allows), the text it starts with.
struct NumericEditStyle {
  static constexpr int kAnyLength = 32767;
  bool right_aligned = false;
  int max_length = 12;
  QString text{};
};
inline const NumericEditStyle kRightAligned{.right_aligned = true};

// A numeric field, of at most 12 characters unless its style says otherwise, bound to the edit-field
// idiom.
QLineEdit* add_numeric_edit(DesignData& d, QWidget* parent, const char* name, int x, int y, int width = 89,
                            int height = 21, const NumericEditStyle& style = {});
// A push button that Return does not press: a button acts only when clicked, so a field is always left
// (and its entry stored and checked) first.
QPushButton* add_button(QWidget* parent, const char* name, const QString& text, int x, int y, int width = 75,
                        int height = 25);

// The hint of a numeric field: the shown value at full precision, "%10.5f"; a number of load cycles
// "%10.5e".
QString value_hint(double shown);
QString cycles_hint(double shown);

// Writes a field's text (its change event cleans it) and its hint, value_hint of the shown value.
void show_field(QLineEdit* edit, const std::string& text, double shown);

// Fills a material list with the names of the material types, the item index being the type.
void fill_material_list(QComboBox* list);

// "mm" or "inch" by the unit system.
QString length_unit_text(const DesignData& d);

// A dialog shown again gives the focus back to the control it had; that is no entry of its own, so the
// entry step is taken here for a field holding it.
void enter_focused_field(DesignData& d, QDialog& dialog);

}  // namespace morvell
