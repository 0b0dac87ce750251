// The main window's menu commands of the constraints, chamfer and face-width offset dialogs: each shows
// its dialog and the window shows the result afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <memory>

#include "chamfer_form.h"
#include "constraints_form.h"
#include "dialog_test_support.h"
#include "face_offset_form.h"
#include "main_window.h"
#include "program.h"
#include "standard_rack_form.h"

using namespace morvell;
using namespace morvell::testing;

TEST(DialogCommands, MenuItemsShowTheirDialogsAndRefreshTheWindow) {
  struct Program : morvell::testing::Program<> {
    ProgramWindow<TConstraintsform> constraints{constraintsform, *d};
    ProgramWindow<TChamferform> chamfers{chamferform, *d};
    ProgramWindow<Tfaceoffsetform> offset{faceoffsetform, *d};
  } p;
  const auto& d = p.d;
  auto& scripted = p.scripted;
  TMainForm& main = *p.main;
  TChamferform& chamfers = *p.chamfers;
  Tfaceoffsetform& offset = *p.offset;

  EXPECT_TRUE(main.Chamfers1->isEnabled());
  scripted.modal_actions["Chamferform"].push_back([&](QDialog& dialog) {
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    type_into(chamfers.Wheeledgechamedit, "0.5", chamfers.OKButton);
    return int(QDialog::Accepted);
  });
  main.Chamfers1->trigger();
  EXPECT_EQ(d->edge_chamfer[1], 0.5f);
  EXPECT_EQ(main.Wheeledgechamedit->text(), "0.500");

  const float width = d->active_face_width;
  scripted.modal_actions["faceoffsetform"].push_back([&](QDialog& dialog) {
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    type_into(offset.faceoffsetedit, "2", offset.OKButton);
    return int(QDialog::Accepted);
  });
  main.Facewidthoffset1->trigger();
  EXPECT_EQ(d->face_width_offset, 2.0f);
  EXPECT_NE(d->active_face_width, width);  // the refresh ran the geometry again

  // The standard-rack choice of the tooth proportions opens the rack dialog after its question.
  TStandardrackform rack(*d);
  standardrackform = &rack;
  std::remove("data.dat");
  main.Tooth_prop->setCurrentIndex(1);
  emit main.Tooth_prop->activated(1);
  standardrackform = nullptr;
  EXPECT_EQ(d->tooth_proportion_mode, 1);

  main.EditConstraints1->trigger();
  QStringList shown;
  for (const auto& r : scripted.of(forms::ScriptedModalServices::Kind::Modal)) shown << r.caption;
  EXPECT_EQ(shown, (QStringList{"Chamfers", "Face Width Offset", "Basic Rack Options", "Standard Rack Details",
                                "Gear Geometry Constraints"}));
}
