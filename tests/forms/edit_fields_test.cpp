// Cleaning, formatting and reading of numeric field texts.
#include <gtest/gtest.h>

#include <QLineEdit>

#include <cstring>
#include <memory>

#include "design_data.h"
#include "edit_fields.h"

using namespace morvell;

TEST(CleanNumericText, KeepsOnlyWhatCanBelongToADecimalNumber) {
  struct Case { const char* in; const char* out; };
  for (const Case& c : {Case{"  23", "23"}, Case{"1,5", "15"}, Case{"0-3", "-3"}, Case{"12a.5x", "12.5"},
                        Case{"1.2.3", "1.23"}, Case{"2e+x5", "2e+5"}, Case{"abc", ""}, Case{"", ""},
                        Case{"-.5", "-.5"}, Case{".5x", ".5"}, Case{"1e5e3", "1e53"}, Case{"+7", "+7"},
                        Case{"1-2", "12"}, Case{"-1.5E-3", "-1.5E-3"}, Case{"3e", "3e"}, Case{"1e-+5", "1e-5"},
                        Case{".x5", "5"}, Case{"..5", ".5"}, Case{".5.3", ".53"}, Case{"12 345,6", "123456"},
                        Case{"x-2.5mm", "-2.5"}, Case{"\xc2\xb0" "45", "45"}}) {
    EXPECT_EQ(clean_numeric_text(c.in), c.out) << "text: '" << c.in << "'";
    char buffer[32];
    std::strcpy(buffer, c.in);
    clean_numeric_text(buffer);
    EXPECT_STREQ(buffer, c.out) << "in place: '" << c.in << "'";
  }
}

TEST(FormatValue, FixedInsideTheBandOfTheDecimalsExponentOutside) {
  auto d = std::make_unique<DesignData>();
  d->decimals = 3;
  struct Case { float v; const char* text; };
  for (const Case& c : {Case{99999.0f, "99999.000"}, Case{100000.0f, "1.000e+05"}, Case{-9999.0f, "-9999.000"},
                        Case{-10000.0f, "-1.000e+04"}, Case{2.25f, "2.250"}, Case{0.0f, "0.000"},
                        Case{0.00004f, "0.000"}}) {
    EXPECT_EQ(format_value(*d, c.v), c.text);
    EXPECT_STREQ(d->number_text, c.text);
  }
  struct Band { int n; float inside_high, outside_high, inside_low, outside_low; const char* high_text; };
  for (const Band& b : {Band{1, 9999999, 1e7f, -999999, -1e6f, "9999999.0"}, Band{2, 999999, 1e6f, -99999, -1e5f, "999999.00"},
                        Band{4, 9999, 10000, -999, -1000, "9999.0000"}, Band{5, 999, 1000, -99, -100, "999.00000"}}) {
    EXPECT_EQ(format_number(b.inside_high, b.n), b.high_text) << b.n;
    EXPECT_NE(format_number(b.outside_high, b.n).find('e'), std::string::npos) << b.n;
    EXPECT_EQ(format_number(b.inside_low, b.n).find('e'), std::string::npos) << b.n;
    EXPECT_NE(format_number(b.outside_low, b.n).find('e'), std::string::npos) << b.n;
  }
  EXPECT_NE(format_number(std::numeric_limits<float>::quiet_NaN(), 3).find("nan"), std::string::npos);
  // Decimals outside 1..5 write nothing: number_text keeps its text.
  d->decimals = 6;
  EXPECT_EQ(format_value(*d, 1.0f), "0.000");
  EXPECT_STREQ(d->number_text, "0.000");
}

TEST(FormatLength, EnglishUnitsShowOneDecimalMore) {
  auto d = std::make_unique<DesignData>();
  d->decimals = 3;
  d->unit_system = 1;
  EXPECT_EQ(format_length(*d, 1.5f), "1.500");
  d->unit_system = 2;
  EXPECT_EQ(format_length(*d, 1.5f), "1.5000");
  EXPECT_EQ(format_length(*d, 99999.0f), "99999.0000");
  EXPECT_EQ(format_length(*d, 100000.0f), "1.0000e+05");
  EXPECT_EQ(format_length_number(2.0f, 5, 2), "2.000000");
  d->unit_system = 3;  // no such unit system: nothing is written
  EXPECT_EQ(format_length(*d, 7.0f), "1.0000e+05");
}

TEST(ReadField, NumberRoundedToSixDecimalsOnlyWhenChanged) {
  auto d = std::make_unique<DesignData>();
  QLineEdit edit;
  struct Case { const char* text; double value; const char* number_text; };
  for (const Case& c : {Case{"2.1234567", 2.123457, "2.123457"}, Case{"", 0, "0.000000"}, Case{"-.5", -0.5, "-0.500000"},
                        Case{"3e", 3, "3.000000"}}) {
    edit.setText(c.text);
    d->edit_changed = 1;
    const FieldValue v = read_field(*d, &edit);
    EXPECT_TRUE(v.changed);
    EXPECT_DOUBLE_EQ(v.value, c.value) << c.text;
    EXPECT_STREQ(d->number_text, c.number_text);
  }
  // A number longer than number_text is read from its whole printed text; the buffer holds its start.
  edit.setText("1e20");
  d->edit_changed = 1;
  EXPECT_DOUBLE_EQ(read_field(*d, &edit).value, 1e20);
  EXPECT_EQ(std::strlen(d->number_text), sizeof d->number_text - 1);
  d->edit_changed = 0;
  EXPECT_FALSE(read_field(*d, &edit).changed);
}
