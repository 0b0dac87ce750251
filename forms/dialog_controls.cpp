#include "dialog_controls.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "edit_fields.h"
#include "field_events.h"
#include "material_table.h"
#include "results_pane.h"

namespace morvell {

QLabel* add_label(QWidget* parent, const QString& text, int x, int y, int width, int height) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, width, height);
  return label;
}

QLineEdit* add_numeric_edit(DesignData& d, QWidget* parent, const char* name, int x, int y, int width, int height,
                            const NumericEditStyle& style) {
  auto* edit = new QLineEdit(style.text, parent);
  edit->setObjectName(name);
  edit->setMaxLength(style.max_length);
  edit->setGeometry(x, y, width, height);
  if (style.right_aligned) edit->setAlignment(Qt::AlignRight);
  bind_numeric_field(d, edit);
  return edit;
}

QPushButton* add_button(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
                        int height) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setGeometry(x, y, width, height);
  return button;
}

QString value_hint(double shown) { return QString::fromStdString(format_line("%10.5f", shown)); }
QString cycles_hint(double shown) { return QString::fromStdString(format_line("%10.5e", shown)); }

void show_field(QLineEdit* edit, const std::string& text, double shown) {
  edit->setText(QString::fromStdString(text));
  edit->setToolTip(value_hint(shown));
}

void fill_material_list(QComboBox* list) {
  for (int32_t type = 0; type < kMaterialTypeCount; ++type)
    list->addItem(QString::fromLatin1(material_type_name(type)));
}

QString length_unit_text(const DesignData& d) { return d.unit_system == 2 ? "inch" : "mm"; }

void enter_focused_field(DesignData& d, QDialog& dialog) {
  if (auto* edit = qobject_cast<QLineEdit*>(forms::active_control(&dialog))) field_enter(d, edit);
}

}  // namespace morvell
