// The basic rack dialog over data.dat in the test's own directory: the question, select and create
// modes, choosing, saving and deleting racks, the maximum fillet radius, and a damaged database.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "dialog_test_support.h"
#include "file_bytes.h"
#include "rack_database.h"
#include "standard_rack_form.h"

using namespace morvell;
using namespace morvell::testing;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

// Three racks told apart by the pinion's addendum coefficient (1, 2, 3).
const char* const kThreeRacks =
    "\r\n<r\r\nfirst\r\n  1.000000   1.100000\r\n  1.250000   1.250000\r\n  0.380000   0.380000\r\n"
    " 20.000000  20.000000\r\n  0.000000   0.000000\r\nr>"
    "\r\n<r\r\nsecond\r\n  2.000000   2.100000\r\n  1.250000   1.250000\r\n  0.300000   0.300000\r\n"
    " 20.000000  22.500000\r\n  0.100000   0.100000\r\nr>"
    "\r\n<r\r\nthird\r\n  3.000000   3.100000\r\n  1.400000   1.400000\r\n  0.390000   0.390000\r\n"
    " 25.000000  25.000000\r\n  0.000000   0.000000\r\nr>";

struct RackDialog : DialogDesign {
  TStandardrackform form{*d};

  explicit RackDialog(const char* database) {
    std::remove("data.dat");
    std::remove("temp.dat");
    if (database) write_bytes("data.dat", database);
  }
  // The question is answered with `button` ("OKbutton" creates, "Button1" selects, nothing closes it).
  void answer(const char* button) {
    scripted.modal_actions["Optionform2"].push_back([button](QDialog& q) {
      if (button) q.findChild<QPushButton*>(button)->click();
      return int(QDialog::Rejected);
    });
  }
  QStringList entries() const {
    QStringList out;
    for (int i = 0; i < form.Tooth_prop_ComboBox->count(); ++i) out << form.Tooth_prop_ComboBox->itemText(i);
    return out;
  }
  void choose(int index) {
    form.Tooth_prop_ComboBox->setCurrentIndex(index);
    emit form.Tooth_prop_ComboBox->activated(index);
  }
};

}  // namespace

TEST(StandardRackForm, OpensInSelectModeWithTheLastRackLoaded) {
  RackDialog p(kThreeRacks);
  p.answer("Button1");
  p.when_shown("Standardrackform", [&](QDialog&) {
    EXPECT_FALSE(p.form.create_mode());
    EXPECT_TRUE(p.form.Tooth_prop_ComboBox->isVisible());
    EXPECT_FALSE(p.form.enternameedit->isVisible());
    EXPECT_FALSE(p.form.ha1rackedit->isEnabled());
    EXPECT_FALSE(p.form.Button4->isEnabled());
    EXPECT_TRUE(p.form.Button3->isEnabled());
    EXPECT_EQ(p.entries(), (QStringList{"first ", "second ", "third "}));
    EXPECT_EQ(p.form.Tooth_prop_ComboBox->currentIndex(), 2);
    EXPECT_EQ(p.form.ha1rackedit->text(), "3.000");
    EXPECT_EQ(p.form.pressureangle2edit->text(), "25.000");
  });
  EXPECT_EQ(p.form.show_dialog(), QDialog::Accepted);
  const auto shown = p.scripted.of(Kind::Modal);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "Basic Rack Options");
  EXPECT_EQ(shown[0].text.split('\n').mid(0, 3),
            (QStringList{"Standard rack can be selected from database", "or a new standard rack created based on current",
                         "tooth proportions"}));
  EXPECT_EQ(shown[1].caption, "Standard Rack Details");
  EXPECT_EQ(p.d->rack_option_choice, 0);
  EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 3.0f);  // closed at once: the last rack stays
  EXPECT_EQ(p.d->basic_rack.dedendum_coeff[1], 1.4f);

  // A question closed without an answer selects too.
  p.answer(nullptr);
  p.form.show_dialog();
  EXPECT_EQ(p.d->rack_option_choice, 2);
  EXPECT_FALSE(p.form.create_mode());
}

TEST(StandardRackForm, ChoosingARackLoadsExactlyThatRecord) {
  RackDialog p(kThreeRacks);
  p.answer("Button1");
  p.when_shown("Standardrackform", [&](QDialog&) {
    p.choose(1);
    EXPECT_EQ(p.d->rack_selected, 1);
    EXPECT_EQ(p.form.ha1rackedit->text(), "2.000");
    EXPECT_EQ(p.form.ha2rackedit->text(), "2.100");
    EXPECT_EQ(p.form.rho2rackedit->text(), "0.300");
    EXPECT_EQ(p.d->basic_rack.pressure_angle, 22.5f);  // the second angle of the line is kept
    EXPECT_EQ(p.d->basic_rack.protuberance[0], 0.1f);
    p.choose(0);
    EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 1.0f);
    EXPECT_EQ(p.d->basic_rack.fillet_radius_coeff[1], 0.38f);
  });
  p.form.show_dialog();
  EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 1.0f);
}

TEST(StandardRackForm, MaximumFilletRadiusFollowsTheDesignsPressureAngle) {
  RackDialog p(kThreeRacks);
  p.answer("Button1");
  p.d->normal_pressure_angle = 20;
  p.when_shown("Standardrackform", [&](QDialog&) {
    p.choose(0);  // dedendum 1.25
    EXPECT_EQ(p.form.maxfillet1->text(), "0.472");
    EXPECT_FALSE(p.form.maxfillet1->isEnabled());
    EXPECT_TRUE(p.form.maxfillet1->isReadOnly());
  });
  p.form.show_dialog();
  // In create mode the rack's own pressure angle is edited: the maximum stays.
  p.answer("OKbutton");
  p.when_shown("Standardrackform", [&](QDialog&) {
    p.d->basic_rack.dedendum_coeff[0] = 1.25f;
    p.form.Setrack_textboxes();
    type_into(p.form.pressureangle1edit, "25", p.form.ha1rackedit);
    EXPECT_EQ(p.d->basic_rack.pressure_angle, 25.0f);
    EXPECT_EQ(p.form.pressureangle2edit->text(), "25.000");
    EXPECT_EQ(p.form.maxfillet1->text(), "0.472");
    p.d->normal_pressure_angle = 25;
    p.form.Setrack_textboxes();
    EXPECT_NE(p.form.maxfillet1->text(), "0.472");
  });
  p.form.show_dialog();
}

TEST(StandardRackForm, NewRackFromTheDesignIsSavedAndSelected) {
  RackDialog p(nullptr);  // no database yet
  p.d->protuberance[0] = 0.2f;
  p.d->protuberance[1] = 0.1f;
  const float m = p.d->normal_module;
  const float ha = p.d->addendum[0] / m - p.d->profile_shift[0];
  p.answer("OKbutton");
  p.when_shown("Standardrackform", [&](QDialog&) {
    EXPECT_TRUE(p.form.create_mode());
    EXPECT_TRUE(p.form.enternameedit->isVisible());
    EXPECT_FALSE(p.form.Tooth_prop_ComboBox->isVisible());
    EXPECT_TRUE(p.form.ha1rackedit->isEnabled());
    EXPECT_TRUE(p.form.Button4->isEnabled());
    EXPECT_FALSE(p.form.Button5->isEnabled());
    EXPECT_TRUE(p.form.enternameedit->text().startsWith("New rack "));
    EXPECT_EQ(p.form.enternameedit->text().size(), 14);
    EXPECT_FLOAT_EQ(p.d->basic_rack.addendum_coeff[0], ha);
    EXPECT_EQ(p.d->protuberance[0], 0.0f);  // the design's protuberance is gone
    EXPECT_EQ(p.d->basic_rack.protuberance[1], 0.0f);
    EXPECT_EQ(p.d->basic_rack.pressure_angle, p.d->normal_pressure_angle);
    // A value typed within its range: stored, the edit keeps the focus once.
    type_into(p.form.hf2rackedit, "1.5", p.form.rho1rackedit);
    EXPECT_EQ(p.d->basic_rack.dedendum_coeff[1], 1.5f);
    EXPECT_EQ(p.form.focusWidget(), p.form.hf2rackedit);
    p.form.enternameedit->setText("Shop rack");
    p.form.Button4->click();
    EXPECT_FALSE(p.form.create_mode());
    EXPECT_EQ(p.entries(), QStringList{"Shop rack "});
    EXPECT_EQ(p.form.Tooth_prop_ComboBox->currentIndex(), 0);
    EXPECT_EQ(p.d->rack_selected, 0);
    // A second rack, from the one selected.
    p.form.Button2->click();
    EXPECT_TRUE(p.form.create_mode());
    p.form.enternameedit->setText("Second");
    type_into(p.form.ha1rackedit, "1.1", p.form.ha2rackedit);
    p.form.Button4->click();
    EXPECT_EQ(p.entries(), (QStringList{"Shop rack ", "Second "}));
    EXPECT_EQ(p.form.Tooth_prop_ComboBox->currentIndex(), 1);
  });
  p.form.show_dialog();
  const std::string bytes = file_bytes("data.dat");
  EXPECT_EQ(bytes.rfind("\r\n<r\r\nShop rack\r\n", 0), 0u);
  EXPECT_NE(bytes.find("r>\r\n<r\r\nSecond\r\n  1.100000 "), std::string::npos);
  EXPECT_NE(bytes.find("   1.500000\r\n"), std::string::npos);  // the wheel's dedendum
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\nr>");
  EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 1.1f);
}

TEST(StandardRackForm, NewRackClosedWithoutSavingAddsNothing) {
  RackDialog p(kThreeRacks);
  p.d->protuberance[1] = 0.3f;
  const float tip = p.d->tip_diameter[1];
  p.answer("OKbutton");
  p.when_shown("Standardrackform", [&](QDialog& dialog) { dialog.close(); });
  p.form.show_dialog();
  EXPECT_EQ(file_bytes("data.dat"), kThreeRacks);
  EXPECT_EQ(p.d->protuberance[1], 0.0f);
  EXPECT_EQ(p.d->tip_diameter[1], tip);
}

TEST(StandardRackForm, DeletingMovesTheNextRackIntoThePlace) {
  RackDialog p(kThreeRacks);
  p.answer("Button1");
  p.when_shown("Standardrackform", [&](QDialog&) {
    p.choose(1);
    p.form.Button3->click();
    EXPECT_EQ(p.entries(), (QStringList{"first ", "third "}));
    EXPECT_EQ(p.form.Tooth_prop_ComboBox->currentIndex(), 1);
    EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 3.0f);  // the rack that was third
    EXPECT_EQ(p.form.ha1rackedit->text(), "3.000");
    // The last one deleted: nothing selected, the new last rack loaded.
    p.form.Button3->click();
    EXPECT_EQ(p.entries(), QStringList{"first "});
    EXPECT_EQ(p.form.Tooth_prop_ComboBox->currentIndex(), -1);
    EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 1.0f);
  });
  p.form.show_dialog();
  EXPECT_EQ(file_bytes("data.dat"),
            "\r\n<r\r\nfirst\r\n1.000000 1.100000\r\n1.250000 1.250000\r\n0.380000 0.380000\r\n"
            "20.000000 20.000000\r\n0.000000 0.000000\r\nr>");
  EXPECT_NE(file_bytes("temp.dat").find("third"), std::string::npos);  // the database before the last delete
}

// Another copy of the program changes the database after the dialog listed it: a rack chosen or deleted
// where the list no longer matches the file is neither loaded nor deleted; the user is told and the list
// is read again.
TEST(StandardRackForm, ARackChangedByAnotherCopyIsNeitherLoadedNorDeleted) {
  RackDialog p(kThreeRacks);
  p.answer("Button1");
  const auto other_copy_deletes_the_first = [] {
    auto other = std::make_unique<DesignData>();
    other->rack_selected = 0;
    ASSERT_TRUE(delete_rack(*other).ok());
  };
  p.when_shown("Standardrackform", [&](QDialog&) {
    other_copy_deletes_the_first();
    p.scripted.clear();
    p.choose(1);  // "second", where the file now holds "third"
    EXPECT_EQ(p.scripted.texts(Kind::Message).size(), 1);
    EXPECT_EQ(p.entries(), (QStringList{"second ", "third "}));
    EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 3.0f);  // the list's selected last rack, as shown
    EXPECT_EQ(p.form.ha1rackedit->text(), "3.000");
    p.choose(0);
    EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 2.0f);

    other_copy_deletes_the_first();  // "second" goes
    p.scripted.clear();
    p.form.Button3->click();  // the user deletes "second" too: the file holds only "third" there
    EXPECT_EQ(p.scripted.texts(Kind::Message).size(), 1);
    EXPECT_EQ(p.entries(), QStringList{"third "});
  });
  p.form.show_dialog();
  EXPECT_NE(file_bytes("data.dat").find("third"), std::string::npos);
}

TEST(StandardRackForm, DamagedDatabaseIsReportedAndKept) {
  const std::string damaged = std::string(kThreeRacks).replace(std::string(kThreeRacks).find("  1.400000"), 4, "  x.");
  RackDialog p(damaged.c_str());
  p.answer("Button1");
  p.when_shown("Standardrackform", [&](QDialog&) {
    EXPECT_EQ(p.entries(), (QStringList{"first ", "second "}));
    EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], 2.0f);
    p.choose(0);
    p.form.Button3->click();  // a delete would lose the records behind the damage: refused
    EXPECT_EQ(p.entries(), (QStringList{"first ", "second "}));
  });
  p.form.show_dialog();
  EXPECT_EQ(file_bytes("data.dat"), damaged);
  const QStringList messages = p.scripted.texts(Kind::Message);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[0], "Basic rack database data.dat is damaged at line 21");
  EXPECT_EQ(messages[1], "Basic rack database data.dat is damaged at line 21: nothing was deleted");
}

// A name longer than the database's line is refused with its length, not cut, and the new rack stays
// on the screen to be named again; a name that fits, with letters beyond ASCII, is stored whole.
TEST(StandardRackForm, ANameLongerThanItsLineIsRefusedNotCut) {
  RackDialog p(kThreeRacks);
  p.answer("OKbutton");
  const QString too_long(311, QChar(0xE4)), fits(255, QChar(0xE4));  // two bytes each: 622 and 510
  p.when_shown("Standardrackform", [&](QDialog&) {
    p.form.enternameedit->setText(too_long);
    p.form.Button4->click();
    EXPECT_TRUE(p.form.create_mode());
    p.form.enternameedit->setText(fits);
    p.form.Button4->click();
    EXPECT_FALSE(p.form.create_mode());
    EXPECT_EQ(p.entries().last(), fits + " ");
  });
  p.form.show_dialog();
  EXPECT_EQ(p.scripted.texts(Kind::Message),
            QStringList{"The basic rack was not stored in data.dat: its name takes 622 bytes (311 characters), more "
                        "than the 510 a name may take (a character beyond ASCII takes two to four)"});
}

// Text beyond the float range is refused, and so is every value outside the range of the value it sets
// in the main window, at each bound: no rack the database cannot read back, or the main window would
// not take, is ever saved.
TEST(StandardRackForm, EntriesBeyondTheFloatRangeAndTheMainWindowsRangesAreRefused) {
  RackDialog p(kThreeRacks);
  p.answer("OKbutton");
  p.when_shown("Standardrackform", [&](QDialog&) {
    for (QLineEdit* e : {p.form.ha1rackedit, p.form.pressureangle1edit}) {
      for (const char* text : {"1e39", "-1e39", "1e999"}) {
        SCOPED_TRACE(e->objectName().toStdString() + " " + text);
        const BasicRack before = p.d->basic_rack;
        p.scripted.clear();
        type_into(e, text, p.form.hf1rackedit == e ? p.form.ha1rackedit : p.form.hf1rackedit);
        EXPECT_EQ(p.warnings(), QStringList{"Value is out of range\n \n "});
        EXPECT_EQ(p.d->basic_rack.addendum_coeff[0], before.addendum_coeff[0]);
        EXPECT_EQ(p.d->basic_rack.pressure_angle, before.pressure_angle);
      }
    }
    const BasicRack& rack = p.d->basic_rack;
    struct Case {
      QLineEdit* edit;
      const float* value;
      const char* text;
      const char* refusal;  // nullptr: taken
    };
    const Case cases[] = {
        {p.form.pressureangle2edit, &rack.pressure_angle, "9.99", "pressure angle 9.99 is out of range (10 to 30 degrees)"},
        {p.form.pressureangle2edit, &rack.pressure_angle, "30.01", "pressure angle 30.01 is out of range (10 to 30 degrees)"},
        {p.form.pressureangle2edit, &rack.pressure_angle, "35", "pressure angle 35 is out of range (10 to 30 degrees)"},
        {p.form.pressureangle1edit, &rack.pressure_angle, "10", nullptr},
        {p.form.pressureangle1edit, &rack.pressure_angle, "30", nullptr},
        {p.form.rho2rackedit, &rack.fillet_radius_coeff[1], "-0.01",
         "fillet radius coefficient (wheel) -0.01 is out of range (0 to 1)"},
        {p.form.rho2rackedit, &rack.fillet_radius_coeff[1], "5", "fillet radius coefficient (wheel) 5 is out of range (0 to 1)"},
        {p.form.rho2rackedit, &rack.fillet_radius_coeff[1], "1", nullptr},
        {p.form.rho1rackedit, &rack.fillet_radius_coeff[0], "0", nullptr},
        {p.form.hf1rackedit, &rack.dedendum_coeff[0], "3.01", "dedendum coefficient (pinion) 3.01 is out of range (-100 to 3)"},
        {p.form.hf1rackedit, &rack.dedendum_coeff[0], "3", nullptr},
        {p.form.ha2rackedit, &rack.addendum_coeff[1], "1.1", nullptr},
        {p.form.hf2rackedit, &rack.dedendum_coeff[1], "-1.5",
         "addendum and dedendum coefficients (wheel) 1.1 and -1.5: together they must be greater than 0"},
        {p.form.ha2rackedit, &rack.addendum_coeff[1], "100.5", "addendum coefficient (wheel) 100.5 is out of range (-100 to 100)"},
        {p.form.ha2rackedit, &rack.addendum_coeff[1], "100", nullptr},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text);
      const float before = *c.value;
      p.scripted.clear();
      type_into(c.edit, c.text, c.edit == p.form.ha1rackedit ? p.form.hf1rackedit : p.form.ha1rackedit);
      if (c.refusal) {
        EXPECT_EQ(p.warnings(), QStringList{QString("Value is out of range\n") + c.refusal + "\n "});
        EXPECT_EQ(*c.value, before);
      } else {
        EXPECT_TRUE(p.warnings().isEmpty());
        EXPECT_EQ(*c.value, std::strtof(c.text, nullptr));
      }
    }
    p.scripted.clear();
    type_into(p.form.pressureangle1edit, "14.5", p.form.hf1rackedit);
    EXPECT_TRUE(p.warnings().isEmpty());
    EXPECT_EQ(p.d->basic_rack.pressure_angle, 14.5f);
    p.form.enternameedit->setText("Finite");
    p.form.Button4->click();
    EXPECT_EQ(p.entries().size(), 4);
  });
  p.form.show_dialog();
  std::vector<std::string> names;
  EXPECT_TRUE(read_rack_database(*p.d, names).ok());
  EXPECT_EQ(names.size(), 4u);
}
