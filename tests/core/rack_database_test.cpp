#include "rack_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "design_file.h"
#include "file_bytes.h"
#include "geometry_pass.h"
#include "startup_values.h"

namespace morvell {
namespace {

// Files of one test (the tests of this folder run side by side in one directory).
struct RackFixture : ::testing::Test {
  RackFiles files;
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();

  void SetUp() override {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    files.data = "rack_" + test + "_data.dat";
    files.scratch = "rack_" + test + "_temp.dat";
    std::filesystem::remove_all(files.data);
    std::filesystem::remove_all(files.scratch);
  }
  void TearDown() override {
    std::filesystem::remove_all(files.data);
    std::filesystem::remove_all(files.scratch);
  }

  void set_rack(float ha, float hf, float rho, float alpha, float prot) {
    BasicRack& r = d->basic_rack;
    r.addendum_coeff[0] = ha;
    r.addendum_coeff[1] = ha + 0.5f;
    r.dedendum_coeff[0] = hf;
    r.dedendum_coeff[1] = hf + 0.5f;
    r.fillet_radius_coeff[0] = rho;
    r.fillet_radius_coeff[1] = rho + 0.5f;
    r.pressure_angle = alpha;
    r.protuberance[0] = prot;
    r.protuberance[1] = prot + 0.5f;
  }
  void append(const std::string& name, float ha, float hf, float rho, float alpha, float prot) {
    set_rack(ha, hf, rho, alpha, prot);
    copy_text(d->file_line, name);
    ASSERT_TRUE(append_rack(*d, files).ok());
  }
  std::vector<std::string> names() {
    std::vector<std::string> n;
    EXPECT_TRUE(read_rack_database(*d, n, files).ok());
    return n;
  }
};

const char* const kFirstRecord =
    "\r\n<r\r\nISO 53 profile A\r\n"
    "  1.000000   1.500000\r\n"
    "  1.250000   1.750000\r\n"
    "  0.380000   0.880000\r\n"
    " 20.000000  20.000000\r\n"
    "  0.000000   0.500000\r\n"
    "r>";

TEST_F(RackFixture, AppendCreatesTheFileAndEachRecordOpensWithALineEnd) {
  append("ISO 53 profile A", 1, 1.25f, 0.38f, 20, 0);
  EXPECT_EQ(file_bytes(files.data), kFirstRecord);  // empty line 1, no line end after "r>"
  append("Fine pitch", 1.1f, 1.35f, 0.2f, 25, 0.01f);
  EXPECT_EQ(file_bytes(files.data), std::string(kFirstRecord) +
                                        "\r\n<r\r\nFine pitch\r\n"
                                        "  1.100000   1.600000\r\n"
                                        "  1.350000   1.850000\r\n"
                                        "  0.200000   0.700000\r\n"
                                        " 25.000000  25.000000\r\n"
                                        "  0.010000   0.510000\r\n"
                                        "r>");
}

// A file that already ends with a line end (CR LF or LF) gets no blank line before the new record, and
// every record, the new one included, reads back.
TEST_F(RackFixture, AppendAfterAFinalLineEndReadsBack) {
  for (const char* end : {"\r\n", "\n", "\r\n\r\n"}) {
    SCOPED_TRACE(testing::PrintToString(end));
    write_bytes(files.data, std::string(kFirstRecord) + end);
    append("Coarse", 1.2f, 1.4f, 0.3f, 22.5f, 0);
    const auto n = names();
    ASSERT_EQ(n.size(), 2u);
    EXPECT_EQ(n[1], "Coarse ");
    EXPECT_FLOAT_EQ(d->basic_rack.pressure_angle, 22.5f);
    d->rack_selected = 0;
    EXPECT_TRUE(delete_rack(*d, files).ok());
    EXPECT_EQ(names(), std::vector<std::string>{"Coarse "});
  }
}

// A rack the reader would refuse is not stored, and the message names the value.
TEST_F(RackFixture, ARackTheReaderWouldRefuseIsNotStoredAndTheValueIsNamed) {
  append("first", 1, 1.25f, 0.38f, 20, 0);
  const std::string before = file_bytes(files.data);
  const std::string refused = "The basic rack was not stored in " + files.data + ": ";
  set_rack(1, 1.25f, 0.38f, std::numeric_limits<float>::infinity(), 0);
  EXPECT_EQ(append_rack(*d, files).problem,
            refused + "pressure angle inf is out of range (10 to 30 degrees)");
  set_rack(std::numeric_limits<float>::quiet_NaN(), 1.25f, 0.38f, 20, 0);
  EXPECT_EQ(append_rack(*d, files).problem, refused + "addendum coefficient (pinion) nan is out of range (-100 to 100)");
  set_rack(1, 1.25f, 1.2f, 20, 0);  // the wheel's fillet radius coefficient is 1.7
  EXPECT_EQ(append_rack(*d, files).problem, refused + "fillet radius coefficient (pinion) 1.2 is out of range (0 to 1)");
  set_rack(1, 1.25f, 0.38f, 20, -101);
  EXPECT_EQ(append_rack(*d, files).problem, refused + "protuberance (pinion) -101 is out of range (0 to 100 mm)");
  EXPECT_EQ(file_bytes(files.data), before);
}

// A value is judged as it is and as the database writes it, with six decimals: a fillet coefficient
// just above 1 or just below 0 that is written as 1.000000 or -0.000000 is refused all the same, so that
// what the database holds is what was judged; the bounds themselves are stored and read back.
TEST_F(RackFixture, AValueIsJudgedAsItIsAndAsItIsWritten) {
  append("first", 1, 1.25f, 0.38f, 20, 0);
  const std::string before = file_bytes(files.data);
  for (const float rho : {1.0000001f, -1e-7f}) {
    SCOPED_TRACE(rho);
    EXPECT_FALSE(rack_value_usable(2, rho));
    set_rack(1, 1.25f, rho, 20, 0);
    d->basic_rack.fillet_radius_coeff[1] = 0.5f;
    EXPECT_FALSE(append_rack(*d, files).ok());
  }
  EXPECT_EQ(file_bytes(files.data), before);
  for (const float angle : {10.0f, 30.0f}) {
    append(angle == 10 ? "smallest angle" : "largest angle", 1, 1.25f, 0.38f, angle, 0);
    EXPECT_EQ(d->basic_rack.pressure_angle, angle);
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"first ", "smallest angle ", "largest angle "}));
  EXPECT_EQ(d->basic_rack.pressure_angle, 30.0f);
}

// Another copy of the program deletes a rack after the list was read: choosing or deleting by the
// position of the list would take the rack that moved up into it. The rack at the position must be the
// one listed, name and values, or nothing is loaded or deleted and the list is to be read again.
TEST_F(RackFixture, ARackIsChosenOrDeletedOnlyWhereTheListShowsIt) {
  append("A", 1, 1.25f, 0.38f, 20, 0);
  append("B", 1, 1.25f, 0.30f, 20, 0);
  append("C", 1, 1.25f, 0.25f, 20, 0);
  append("D", 1, 1.25f, 0.20f, 20, 0);
  std::vector<std::string> shown;
  std::vector<ListedRack> listed;
  ASSERT_TRUE(read_rack_database(*d, shown, files, &listed).ok());
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[2].entry, "C ");
  EXPECT_EQ(listed[2].rack.fillet_radius_coeff[0], 0.25f);

  // Another copy deletes B.
  {
    auto other = std::make_unique<DesignData>();
    other->rack_selected = 1;
    ASSERT_TRUE(delete_rack(*other, files).ok());
  }
  // The user chooses C, the third entry of the list: the third record is now D.
  d->basic_rack = BasicRack{};
  d->rack_selected = 2;
  const RackFileResult chosen = read_rack_database_up_to(*d, files, &listed[2]);
  EXPECT_TRUE(chosen.changed);
  EXPECT_NE(chosen.problem.find("was changed since its list was read"), std::string::npos) << chosen.problem;
  EXPECT_EQ(d->basic_rack.fillet_radius_coeff[0], 0.0f);  // nothing loaded
  const RackFileResult deleted = delete_rack(*d, files, &listed[2]);
  EXPECT_TRUE(deleted.changed);
  EXPECT_EQ(names(), (std::vector<std::string>{"A ", "C ", "D "}));  // nothing deleted

  // A rack of the same name with other values at the position is another rack too.
  ASSERT_TRUE(read_rack_database(*d, shown, files, &listed).ok());
  ListedRack other_values = listed[1];
  other_values.rack.dedendum_coeff[0] += 0.01f;
  d->rack_selected = 1;
  EXPECT_TRUE(read_rack_database_up_to(*d, files, &other_values).changed);
  // Where the list still holds, both go ahead.
  EXPECT_TRUE(read_rack_database_up_to(*d, files, &listed[1]).ok());
  EXPECT_EQ(d->basic_rack.fillet_radius_coeff[0], 0.25f);
  EXPECT_TRUE(delete_rack(*d, files, &listed[1]).ok());
  EXPECT_EQ(names(), (std::vector<std::string>{"A ", "D "}));
}

// Two copies of the program storing racks at the same moment each read the database and replace it:
// with the lock from the reading to the replacing, every rack both stored is there afterwards.
TEST_F(RackFixture, CopiesStoringRacksAtTheSameTimeLoseNone) {
  constexpr int kCopies = 3, kRacks = 40;
  std::vector<pid_t> children;
  for (int copy = 0; copy < kCopies; ++copy) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto mine = std::make_unique<DesignData>();
      mine->basic_rack = BasicRack{{1, 1}, {1.25f, 1.25f}, {0.38f, 0.38f}, 20, {0, 0}};
      int failures = 0;
      for (int k = 0; k < kRacks; ++k) {
        copy_text(mine->file_line, "copy " + std::to_string(copy) + " rack " + std::to_string(k));
        if (!append_rack(*mine, files).ok()) ++failures;
      }
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(names().size(), std::size_t(kCopies * kRacks));
}

// A rack's name takes one line of at most 510 bytes: a longer name is refused with a message saying how
// long it is, not cut; line ends in it become blanks. A character beyond ASCII takes two to four bytes,
// so fewer of them fit. (The name field keeps 511 bytes of a longer name, which is refused as well; the
// window judges the whole name it holds.)
TEST_F(RackFixture, ANameLongerThanItsLineIsRefusedNotCut) {
  struct Case {
    const char* letter;  // one character, repeated
    std::size_t bytes_per_letter, count;
  };
  for (const Case c : {Case{"x", 1, 510}, Case{"x", 1, 511}, Case{"\xC3\xA4", 2, 255}, Case{"\xC3\xA4", 2, 311},
                       Case{"\xE6\xAD\xAF", 3, 170}, Case{"\xE6\xAD\xAF", 3, 171}, Case{"\xF0\x9F\x94\xA7", 4, 127},
                       Case{"\xF0\x9F\x94\xA7", 4, 128}}) {
    std::string name;
    for (std::size_t i = 0; i < c.count; ++i) name += c.letter;
    SCOPED_TRACE(std::to_string(c.count) + " letters of " + std::to_string(c.bytes_per_letter) + " bytes");
    std::filesystem::remove(files.data);
    set_rack(1, 1, 0.5f, 20, 0);
    copy_text(d->file_line, name);
    const RackFileResult r = append_rack(*d, files);
    const std::size_t bytes = c.count * c.bytes_per_letter;
    if (bytes <= 510) {
      EXPECT_EQ(rack_name_problem(name, files), "");
      ASSERT_TRUE(r.ok()) << r.problem;
      EXPECT_EQ(names(), std::vector<std::string>{name + " "});  // the whole name, listed
    } else {
      EXPECT_EQ(rack_name_problem(name, files),
                "The basic rack was not stored in " + files.data + ": its name takes " + std::to_string(bytes) +
                    " bytes (" + std::to_string(c.count) +
                    " characters), more than the 510 a name may take (a character beyond ASCII takes two to four)");
      EXPECT_EQ(r.problem.rfind("The basic rack was not stored in " + files.data + ": its name takes ", 0), 0u)
          << r.problem;
      EXPECT_FALSE(std::filesystem::exists(files.data) && !names().empty());
    }
  }
  std::filesystem::remove(files.data);
  append("two\r\nlines", 1, 1, 0.5f, 20, 0);
  EXPECT_EQ(names(), std::vector<std::string>{"two  lines "});
}

// A stored rack lands where the list shows it, last, whatever the database ends with that the reader
// takes: a final line end or blank lines, a last record cut off after its numbers with or without a
// line end, no records at all, a first line of its own, any line ends. The list after the store is the
// list before it and the new rack; the rack reads back with its values, and deleting it gives the list
// before again. A database that is damaged is not stored into: the message gives the line, the file
// stays as it was.
TEST_F(RackFixture, AStoredRackIsListedLastOrRefusedWithTheReason) {
  const std::string rec = "<r\nA\n1 1\n1.25 1.25\n0.38 0.38\n20 20\n0 0\n";
  const auto with_line_end = [](std::string text, const char* end) {
    std::string out;
    for (const char c : text) out += c == '\n' ? std::string(end) : std::string(1, c);
    return out;
  };
  const std::vector<std::string> endings = {
      "",
      "\r\n",
      "shop racks",
      "shop racks\n\n  \n",
      "\n" + rec + "r>",
      "\r\n" + with_line_end(rec, "\r\n") + "r>\r\n",
      "\n" + rec + "r>\n\n \t\n",
      "\n" + rec,                                       // cut off after its numbers, with their line end
      "\n" + rec.substr(0, rec.size() - 1),             // cut off inside the last number line's end
      "\n" + rec + "\n\n",                              // a blank line as its end line, another after
      "\r" + with_line_end(rec, "\r") + "r>\r",         // CR alone
      "\n" + rec + "r>\n" + rec,                        // two records, the second without its end line
  };
  for (const std::string& text : endings) {
    SCOPED_TRACE(testing::PrintToString(text));
    write_bytes(files.data, text);
    std::vector<std::string> before;
    ASSERT_TRUE(read_rack_database(*d, before, files).ok());
    set_rack(1.1f, 1.35f, 0.3f, 22.5f, 0.05f);
    const BasicRack stored = d->basic_rack;
    copy_text(d->file_line, "New rack  1234");
    ASSERT_TRUE(append_rack(*d, files).ok());
    std::vector<std::string> expected = before;
    expected.push_back("New rack  1234 ");
    EXPECT_EQ(names(), expected);
    d->basic_rack = BasicRack{};
    d->rack_selected = int(before.size());
    ASSERT_TRUE(read_rack_database_up_to(*d, files).ok());
    EXPECT_FLOAT_EQ(d->basic_rack.addendum_coeff[1], stored.addendum_coeff[1]);
    EXPECT_FLOAT_EQ(d->basic_rack.pressure_angle, stored.pressure_angle);
    EXPECT_FLOAT_EQ(d->basic_rack.protuberance[1], stored.protuberance[1]);
    ASSERT_TRUE(delete_rack(*d, files).ok());
    EXPECT_EQ(names(), before);
  }
  for (const std::string& text : std::vector<std::string>{"\n<r\nA\n1 1\n1 x\n1 1\n20 20\n0 0\nr>",
                                                         "\n" + rec + "r>\n<r\nB\n2\n", "\n" + rec + "r>\n<r"}) {
    SCOPED_TRACE(testing::PrintToString(text));
    write_bytes(files.data, text);
    std::vector<std::string> n;
    const RackFileResult read = read_rack_database(*d, n, files);
    ASSERT_FALSE(read.ok());
    set_rack(1, 1.25f, 0.38f, 20, 0);
    copy_text(d->file_line, "new");
    EXPECT_EQ(append_rack(*d, files).problem, read.problem + ": the basic rack was not stored");
    EXPECT_EQ(file_bytes(files.data), text);
  }
}

TEST_F(RackFixture, ReadingListsNamesWithABlankAndLeavesTheLastOrTheChosenRecord) {
  EXPECT_TRUE(names().empty());  // no file: no records, the rack untouched
  EXPECT_EQ(d->list_counter, 0);
  append("first", 1, 1.25f, 0.38f, 20, 0);
  append("second", 2, 2.25f, 0.3f, 22.5f, 0.1f);
  append("third", 3, 2.5f, 0.25f, 25, 0.2f);
  set_rack(9, 9, 9, 9, 9);
  EXPECT_EQ(names(), (std::vector<std::string>{"first ", "second ", "third "}));
  EXPECT_EQ(d->list_counter, 3);
  EXPECT_FLOAT_EQ(d->basic_rack.addendum_coeff[0], 3);

  struct Case {
    int selected;
    float addendum;  // of the pinion, which tells the record
  };
  for (const Case c : {Case{0, 1}, Case{1, 2}, Case{2, 3}, Case{7, 3}}) {
    d->rack_selected = c.selected;
    ASSERT_TRUE(read_rack_database_up_to(*d, files).ok());
    EXPECT_FLOAT_EQ(d->basic_rack.addendum_coeff[0], c.addendum) << c.selected;
  }
  d->rack_selected = 1;
  read_rack_database_up_to(*d, files);
  const BasicRack& r = d->basic_rack;
  EXPECT_FLOAT_EQ(r.addendum_coeff[1], 2.5f);
  EXPECT_FLOAT_EQ(r.dedendum_coeff[0], 2.25f);
  EXPECT_FLOAT_EQ(r.dedendum_coeff[1], 2.75f);
  EXPECT_FLOAT_EQ(r.fillet_radius_coeff[0], 0.3f);
  EXPECT_FLOAT_EQ(r.fillet_radius_coeff[1], 0.8f);
  EXPECT_FLOAT_EQ(r.pressure_angle, 22.5f);
  EXPECT_FLOAT_EQ(r.protuberance[0], 0.1f);
  EXPECT_FLOAT_EQ(r.protuberance[1], 0.6f);

  set_rack(9, 9, 9, 9, 9);
  d->rack_selected = -1;  // nothing chosen: nothing read
  read_rack_database_up_to(*d, files);
  EXPECT_FLOAT_EQ(d->basic_rack.addendum_coeff[0], 9);
}

TEST_F(RackFixture, ReadsByPositionWithEitherLineEndAndKeepsTheSecondPressureAngle) {
  // Written by hand: LF line ends, any first line, markers that are not checked, numbers spread
  // over blanks, a second angle that differs, and a final line end after "r>".
  write_bytes(files.data,
              "racks of the shop\n<r\nHob 7\n1 1.1\n   1.25    1.3\n0.38 0.4\n20 22.5\n0 0\nr>\n"
              "xx\nHob 8\n2 2\n2 2\n0.2 0.2\n14.5 15\n0.05 0.05\nyy\n\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Hob 7 ", "Hob 8 "}));
  EXPECT_FLOAT_EQ(d->basic_rack.pressure_angle, 15);
  d->rack_selected = 0;
  read_rack_database_up_to(*d, files);
  EXPECT_FLOAT_EQ(d->basic_rack.pressure_angle, 22.5f);
  EXPECT_FLOAT_EQ(d->basic_rack.dedendum_coeff[1], 1.3f);
}

TEST_F(RackFixture, DeleteRewritesTheKeptRecordsAndLeavesTheOldDatabaseInTheScratchFile) {
  append("first", 1, 1.25f, 0.38f, 20, 0);
  append("second", 2, 2.25f, 0.3f, 22.5f, 0.1f);
  append("third", 3, 2.5f, 0.25f, 25, 0.2f);
  d->rack_selected = 1;
  ASSERT_TRUE(delete_rack(*d, files).ok());
  EXPECT_EQ(file_bytes(files.data),
            "\r\n<r\r\nfirst\r\n1.000000 1.500000\r\n1.250000 1.750000\r\n0.380000 0.880000\r\n"
            "20.000000 20.000000\r\n0.000000 0.500000\r\nr>"
            "\r\n<r\r\nthird\r\n3.000000 3.500000\r\n2.500000 3.000000\r\n0.250000 0.750000\r\n"
            "25.000000 25.000000\r\n0.200000 0.700000\r\nr>");
  EXPECT_EQ(file_bytes(files.scratch),
            "\r\n<r\r\nfirst\r\n1.000000 1.500000\r\n1.250000 1.750000\r\n0.380000 0.880000\r\n"
            "20.000000 20.000000\r\n0.000000 0.500000\r\nr>\r\n"
            "<r\r\nsecond\r\n2.000000 2.500000\r\n2.250000 2.750000\r\n0.300000 0.800000\r\n"
            "22.500000 22.500000\r\n0.100000 0.600000\r\nr>\r\n"
            "<r\r\nthird\r\n3.000000 3.500000\r\n2.500000 3.000000\r\n0.250000 0.750000\r\n"
            "25.000000 25.000000\r\n0.200000 0.700000\r\nr>");
  EXPECT_EQ(d->list_counter, 3);
  EXPECT_EQ(names(), (std::vector<std::string>{"first ", "third "}));

  // A first line of its own is copied into the scratch file but not written back.
  write_bytes(files.data, "header\nA\nonly\n1 1\n1 1\n1 1\n20 20\n0 0\nr>");
  d->rack_selected = 5;  // beyond the records: all kept
  ASSERT_TRUE(delete_rack(*d, files).ok());
  EXPECT_EQ(file_bytes(files.scratch),
            "header\r\nA\r\nonly\r\n1.000000 1.000000\r\n1.000000 1.000000\r\n1.000000 1.000000\r\n"
            "20.000000 20.000000\r\n0.000000 0.000000\r\nr>");
  EXPECT_EQ(file_bytes(files.data),
            "\r\n<r\r\nonly\r\n1.000000 1.000000\r\n1.000000 1.000000\r\n1.000000 1.000000\r\n"
            "20.000000 20.000000\r\n0.000000 0.000000\r\nr>");
  d->rack_selected = 0;  // the last record gone: an empty database
  ASSERT_TRUE(delete_rack(*d, files).ok());
  EXPECT_EQ(file_bytes(files.data), "");
  EXPECT_TRUE(names().empty());
}

// A damaged database is reported with its line; the records before it stay readable, and a delete
// does not rewrite the file (which would drop every record behind the damage).
TEST_F(RackFixture, DamagedDatabaseIsReportedAndNotRewritten) {
  struct Case {
    const char* text;
    int line;
    std::size_t records;
  };
  const std::string good = "\n<r\nA\n1 1\n1 1\n1 1\n20 20\n0 0\nr>";
  const Case cases[] = {
      {"\n<r\nA\n1 1\n1 x\n1 1\n20 20\n0 0\nr>", 5, 0},  // a word in place of a number
      {"\n<r\nA\n1 1\n1 1\n1 1\n20 nan\n0 0\nr>", 7, 0},  // not a finite number
      {"\n<r\nA\n1 1\n1 1\n", 6, 0},                       // cut off inside the numbers
      {"\n<r\nA\n1 1\n1 1\n1 1\n20 20\n0 0\nr>\n<r\nB\n2\n", 12, 1},  // one number on its line
      {"\n<r\nA\n1 1\n1 1\n1 1\n20 20\n0 0\nr>\n<r", 10, 1},  // a start line and nothing more
  };
  for (const Case& c : cases) {
    write_bytes(files.data, c.text);
    std::vector<std::string> n;
    set_rack(9, 9, 9, 9, 9);
    const RackFileResult r = read_rack_database(*d, n, files);
    EXPECT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.damaged_line, c.line) << c.text;
    EXPECT_EQ(r.problem, "Basic rack database " + files.data + " is damaged at line " + std::to_string(c.line));
    EXPECT_EQ(n.size(), c.records) << c.text;
    EXPECT_FLOAT_EQ(d->basic_rack.addendum_coeff[0], c.records ? 1.0f : 9.0f) << c.text;  // nothing half-read

    d->rack_selected = 0;
    const RackFileResult del = delete_rack(*d, files);
    EXPECT_FALSE(del.ok());
    EXPECT_NE(del.problem.find("nothing was deleted"), std::string::npos);
    EXPECT_EQ(file_bytes(files.data), c.text);
  }
}

// Each number line is read on its own: a line with one or three numbers is reported at its own number,
// and no value of it slides into the record before or after it (read as one stream, "1 1 1" would have
// pushed every later value of the record one place on and taken the record).
TEST_F(RackFixture, ADamagedNumberLineIsReportedAtItsOwnLineAndShiftsNoValue) {
  const std::string good = "<r\nA\n1 1\n1.25 1.25\n0.38 0.38\n20 20\n0 0\nr>\n";
  // The dedendum line of the second record, line 13.
  for (const std::string line : {"1.25 1.25 1.25", "1.25", "1.25 1.25 x", "1.25, 1.25", ""}) {
    SCOPED_TRACE(line);
    write_bytes(files.data, "\n" + good + "<r\nB\n2 2\n" + line + "\n0.5 0.5\n25 25\n0.1 0.1\nr>\n" + good);
    std::vector<std::string> n;
    set_rack(9, 9, 9, 9, 9);
    const RackFileResult r = read_rack_database(*d, n, files);
    EXPECT_EQ(r.damaged_line, 13);
    EXPECT_EQ(n, std::vector<std::string>{"A "});
    EXPECT_FLOAT_EQ(d->basic_rack.addendum_coeff[0], 1.0f);  // the record before, as it stands
    EXPECT_FLOAT_EQ(d->basic_rack.dedendum_coeff[1], 1.25f);
    EXPECT_FLOAT_EQ(d->basic_rack.pressure_angle, 20.0f);
  }
}

// Damaged or foreign content: the reader never stops on it, takes the good records before the damage
// and reports the line where the file stops being a rack database.
TEST_F(RackFixture, DamagedContentIsReportedAtItsLineAndNeverTakenIntoTheRack) {
  const std::string rec_a = "<r\nA\n1 1\n1.25 1.25\n0.38 0.38\n20 20\n0 0\nr>\n";
  struct Case {
    std::string text;
    std::size_t records;
    int damaged_line;  // 0: read without a problem
  };
  std::vector<Case> cases = {
      {"", 0, 0},
      {"\r\n", 0, 0},
      {"\r<r\rA\r1 1\r1.25 1.25\r0.38 0.38\r20 20\r0 0\rr>\r<r\rB\r1 1\r1 1\r1 1\r25 25\r0 0\rr>", 2, 0},  // CR alone
      {"\r\n<r\r\nZahnstange \xC3\xA4 \xE6\xAD\xAF\xE8\xBB\x8A\r\n1 1\r\n1 1\r\n1 1\r\n20 20\r\n0 0\r\nr>", 1, 0},
      {"\n" + rec_a + "<r\nB\n1 1\n1 1\n1 1\n20 2", 1, 15},  // cut inside the angle: the protuberance is missing
      {"\n" + rec_a + "<r\nB\n1 1\n1 1\n1 1\n20 20\n0 0.", 2, 0},  // "0." is a whole number
      {"\n" + rec_a + "<r\nB\n1 1\n1 1\n1 1\n20 20\n0 -", 1, 16},
      {"\n<r\n" + std::string(511, 'n') + "\n1 1\n1 1\n1 1\n20 20\n0 0\nr>", 0, 3},  // a name too long
      {std::string("\n<r\nA\n1 1\n1 1\n1 1\n20 20\n0 \x00 0\nr>", 32), 0, 8},
      {"\n<r\nA\n-0.5 0\n1 1\n0 1\n10 30\n0 100\nr>", 1, 0},  // negative and zero coefficients, the bounds
  };
  // Every numeric field with values no rack has: not a number, infinite, beyond the float range,
  // beyond the coefficient bound; the pressure angle also at 0, below 0 and at 90 degrees.
  const char* const bad_values[] = {"nan", "inf", "-inf", "1e39", "-1e39", "100.5", "-3e5"};
  for (int field = 0; field < 10; ++field) {
    std::vector<std::string> values(std::begin(bad_values), std::end(bad_values));
    if (field / 2 == 3) values.insert(values.end(), {"0", "-20", "90", "1e-50"});
    for (const std::string& v : values) {
      std::string numbers[10] = {"1", "1", "1.25", "1.25", "0.38", "0.38", "20", "20", "0", "0"};
      numbers[field] = v;
      std::string text = "\n" + rec_a + "<r\nbad\n";
      for (int k = 0; k < 10; k += 2) text += numbers[k] + " " + numbers[k + 1] + "\n";
      cases.push_back({text + "r>\n" + rec_a, 1, 12 + field / 2});
    }
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 120)));
    write_bytes(files.data, c.text);
    std::vector<std::string> n;
    set_rack(9, 9, 9, 9, 9);
    const RackFileResult r = read_rack_database(*d, n, files);
    EXPECT_EQ(r.damaged_line, c.damaged_line);
    EXPECT_EQ(r.ok(), c.damaged_line == 0);
    EXPECT_EQ(n.size(), c.records);
    const BasicRack& rack = d->basic_rack;
    if (c.records == 0) {
      EXPECT_FLOAT_EQ(rack.addendum_coeff[0], 9);
    }
    for (int g = 0; g < 2; ++g)
      for (float v : {rack.addendum_coeff[g], rack.dedendum_coeff[g], rack.fillet_radius_coeff[g], rack.protuberance[g]})
        EXPECT_LE(std::fabs(v), 100.0f);
    EXPECT_TRUE(rack.pressure_angle > 0 && rack.pressure_angle < 90);
    for (const std::string& name : n) EXPECT_LE(name.size(), 511u);
  }
  // Binary garbage in place of the records: read to its end without harm.
  std::string garbage = "\n";
  uint32_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 1103515245u + 12345u;
    garbage += char(state >> 24);
  }
  write_bytes(files.data, garbage);
  std::vector<std::string> n;
  read_rack_database(*d, n, files);
  EXPECT_TRUE(n.empty());
}

// A record the reader takes never puts a value into the design that the design file refuses: the
// extreme racks it accepts, used as the standard rack of a design with its module fixed, still give a
// design that saves after the refresh's two geometry passes.
TEST_F(RackFixture, EveryAcceptedRackGivesADesignThatSaves) {
  for (const char* record : {"\n<r\nsteep\n1 1\n1.25 1.25\n0.38 0.38\n30 30\n0 0\nr>",
                             "\n<r\nflat\n1 1\n1.25 1.25\n0.38 0.38\n10 10\n0 0\nr>",
                             "\n<r\nlarge\n100 100\n3 3\n1 1\n30 30\n100 100\nr>",
                             "\n<r\nnegative\n-2.9 -2.9\n3 3\n0 0\n10 10\n0 0\nr>"}) {
    SCOPED_TRACE(record);
    write_bytes(files.data, record);
    auto design = std::make_unique<DesignData>();
    set_startup_values(*design);
    std::vector<std::string> n;
    ASSERT_TRUE(read_rack_database(*design, n, files).ok());
    design->tooth_proportion_mode = 1;
    design->geometry_manager_mode = 0;
    design->second_geometry_pass = 0;
    calc_gear_geometry(*design);
    design->second_geometry_pass = 1;
    calc_gear_geometry(*design);
    EXPECT_EQ(check_design_text(*design, design_file_text(*design)).detail, "");
  }
}

// Anything but a regular file in place of the database is reported; nothing is read from it, nothing
// is appended to it and nothing deleted, and the program does not wait on a pipe or read a device
// without end.
TEST_F(RackFixture, FoldersPipesDevicesAndOverlongFilesAreRefused) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
    const char* reason;
  };
  const std::string overlong = "\n<r\nA\n1 1\n1 1\n1 1\n20 20\n0 0\nr>" + std::string(10u << 20, 'x');
  const Case cases[] = {
      {"folder", [](const std::string& p) { std::filesystem::create_directory(p); }, "it is a folder"},
      {"pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "it is not a regular file"},
      {"endless device", [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
       "it is not a regular file"},
      {"10 MB without a line end", [&](const std::string& p) { write_bytes(p, overlong); }, "it is too long"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(files.data);
    c.make(files.data);
    const std::string problem = "Basic rack database " + files.data + " cannot be read: " + c.reason;
    std::vector<std::string> n;
    set_rack(1, 1.25f, 0.38f, 20, 0);
    EXPECT_EQ(read_rack_database(*d, n, files).problem, problem);
    EXPECT_TRUE(n.empty());
    EXPECT_EQ(d->list_counter, 0);
    d->rack_selected = 0;
    EXPECT_EQ(read_rack_database_up_to(*d, files).problem, problem);
    copy_text(d->file_line, "new");
    EXPECT_EQ(append_rack(*d, files).problem, problem + ": the basic rack was not stored");
    EXPECT_EQ(delete_rack(*d, files).problem, problem + ": nothing was deleted");
    EXPECT_FALSE(std::filesystem::is_regular_file(files.data) && std::string(c.what) != "10 MB without a line end");
  }
  std::filesystem::remove_all(files.data);
}

TEST_F(RackFixture, DeleteWithoutAScratchFileChangesNothing) {
  append("first", 1, 1.25f, 0.38f, 20, 0);
  const std::string before = file_bytes(files.data);
  std::filesystem::create_directory(files.scratch);  // temp.dat cannot be written
  d->rack_selected = 0;
  const RackFileResult r = delete_rack(*d, files);
  EXPECT_EQ(r.problem, "Basic rack database " + files.scratch + " cannot be written (Is a directory): nothing was deleted");
  EXPECT_EQ(file_bytes(files.data), before);
}

// A database its user made read-only is neither appended to nor rewritten by a delete; the message
// names it and says why.
TEST_F(RackFixture, AReadOnlyDatabaseIsNotChanged) {
  append("first", 1, 1.25f, 0.38f, 20, 0);
  append("second", 2, 2.25f, 0.3f, 22.5f, 0.1f);
  const std::string before = file_bytes(files.data);
  ASSERT_EQ(::chmod(files.data.c_str(), 0444), 0);
  set_rack(1, 1.25f, 0.38f, 20, 0);
  copy_text(d->file_line, "third");
  EXPECT_EQ(append_rack(*d, files).problem,
            "Basic rack database " + files.data + " cannot be written (the file is read-only)");
  d->rack_selected = 0;
  EXPECT_EQ(delete_rack(*d, files).problem, "Basic rack database " + files.data +
                                                " cannot be written (the file is read-only); " + files.scratch +
                                                " holds the database as it was");
  EXPECT_EQ(file_bytes(files.data), before);
  EXPECT_EQ(names(), (std::vector<std::string>{"first ", "second "}));
  ::chmod(files.data.c_str(), 0644);
}

TEST(RackDatabase, AppendToAFileThatCannotBeWrittenIsReported) {
  auto d = std::make_unique<DesignData>();
  RackFiles files;
  files.data = "no_such_folder/data.dat";
  copy_text(d->file_line, "x");
  d->basic_rack.pressure_angle = 20;
  for (int g = 0; g < 2; ++g) d->basic_rack.addendum_coeff[g] = d->basic_rack.dedendum_coeff[g] = 1;
  EXPECT_EQ(append_rack(*d, files).problem,
            "Basic rack database no_such_folder/data.dat cannot be written (No such file or directory)");
}

TEST(RackDatabase, MaximumFilletRadiusFollowsThePressureAngle) {
  EXPECT_NEAR(max_rack_fillet_coeff(20, 1.25f), 0.472, 0.0005);
  EXPECT_NEAR(max_rack_fillet_coeff(25, 1.25f), (0.785398 * 0.906308 - 0.422618 * 1.25) / (1 - 0.422618), 1e-5);
  EXPECT_LT(max_rack_fillet_coeff(20, 1.4f), max_rack_fillet_coeff(20, 1.25f));
}

TEST(RackDatabase, NewRackNamesFollowTheSameSequenceInEveryRun) {
  RackNameSequence a, b;
  for (int i = 0; i < 50; ++i) {
    const int n = a.next();
    EXPECT_EQ(n, b.next());
    EXPECT_GE(n, 0);
    EXPECT_LE(n, 32767);
  }
  RackNameSequence c;
  const std::string name = c.next_name();
  EXPECT_EQ(name.size(), 14u);
  EXPECT_EQ(name.rfind("New rack ", 0), 0u);
  EXPECT_NE(c.next_name(), name);
}

}  // namespace
}  // namespace morvell
