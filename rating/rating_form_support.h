// What the rating windows share: which material types allow limited pitting, the two background
// colours of an edit (an input, or a derived quantity shown read-only), the groups of (Calculate)
// boxes, the stored value of an entry, and the count of the table of load cases the windows list.
#pragma once

#include <QColor>

#include <vector>

#include "design_data.h"
#include "material_table.h"  // allows_limited_pitting

class QCheckBox;
class QLabel;
class QLineEdit;

namespace morvell {

// Background of an edit that holds an input (clWindow) and of one that shows a derived quantity (clMenu).
inline const QColor kWindowColour(255, 255, 255);
inline const QColor kMenuColour(240, 240, 240);
// An input edit is writable on the window colour; a locked one read-only on the menu colour.
void set_locked(QLineEdit* edit, bool locked);

// One group of (Calculate) boxes: of the quantities of the group one is calculated from the others. A
// box left checked makes its quantity the calculated one: the other boxes of the group are unchecked,
// its edits locked and the others open, and only its "(Calculate) " label shown. Unchecking changes
// nothing. Wires the click handler of every box of the group.
struct CalculatedQuantity {
  QCheckBox* box;
  std::vector<QLineEdit*> edits;
  QLabel* label;
};
void bind_calculate_boxes(const std::vector<CalculatedQuantity>& group);

// The stored value of an entry: the entry in display units times the unit factor, as a 32-bit float.
// An entry beyond the largest float is infinite, and so refused by every range, as finite_entry
// refuses it.
float stored_value(double entry, float factor = 1.0f);

// The stored value of an entry judged in the unit it is typed in: an entry is taken to six decimals, so
// it stands for every number within half a unit of its sixth decimal. When its stored value lies outside
// the range `accepted` but a number it stands for lies inside, the nearest such stored value (the bound,
// as a 32-bit float) is returned: the lower bound of a range in um, typed in thou, is taken whatever the
// rounding of the conversion. NaN when the entry lies outside the range (an entry without conversion,
// or of 0, is judged as typed).
float stored_value_in_range(double entry, float factor, bool (*accepted)(float));

// A design whose table holds no case gets its current inputs as case 1; a count beyond the nine cases
// the windows offer is cut to nine, so that every window that lists the cases finds from one to nine.
void keep_load_case_count_valid(DesignData& d);

}  // namespace morvell
