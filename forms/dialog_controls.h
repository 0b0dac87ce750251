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
// A numeric field of at most 12 characters, bound to the edit-field idiom.
QLineEdit* add_numeric_edit(DesignData& d, QWidget* parent, const char* name, int x, int y, int width = 89,
                            int height = 21);
// A push button that Return does not press: a button acts only when clicked, so a field is always left
// (and its entry stored and checked) first.
QPushButton* add_button(QWidget* parent, const char* name, const QString& text, int x, int y, int width = 75,
                        int height = 25);

// Writes a field's text (its change event cleans it) and its hint: the shown value with "%10.5f".
void show_field(QLineEdit* edit, const std::string& text, double shown);

// Fills a material list with the names of the material types, the item index being the type.
void fill_material_list(QComboBox* list);

// "mm" or "inch" by the unit system.
QString length_unit_text(const DesignData& d);

// A dialog shown again gives the focus back to the control it had; that is no entry of its own, so the
// entry step is taken here for a field holding it.
void enter_focused_field(DesignData& d, QDialog& dialog);

}  // namespace morvell
