// Profile export: the co-ordinate list and the DXF drawings byte for byte on a small fixture outline,
// the rotation of the teeth and the mesh placing of the wheel, the counts of a real export of the
// start-up design, the "Graphics Export" dialog and the menu command with its file dialog.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "design_data.h"
#include "export_type_form.h"
#include "file_bytes.h"
#include "main_window.h"
#include "profile_export.h"
#include "program.h"
#include "scripted_modal_services.h"
#include "test_support.h"
#include "tooth_profile.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

// Lines of a CR LF text; fails when a line ends in a bare line feed.
std::vector<std::string> crlf_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF";
      break;
    }
    const std::string l = bytes.substr(at, end - at);
    EXPECT_EQ(l.find('\n'), std::string::npos) << "bare line feed in " << l;
    lines.push_back(l);
    at = end + 2;
  }
  return lines;
}

int count_of(const std::vector<std::string>& lines, const std::string& text) {
  int n = 0;
  for (const auto& l : lines) n += l == text;
  return n;
}

// A fixture outline: point i lies at (3.5 + gear + nominal/2, 10 + i / 1000), so that every line tells
// which gear and which outline it came from; the pinion has 4 teeth, the wheel 3.
struct Fixture {
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  std::vector<std::pair<int, bool>> calls;
  OutlineSource source = [this](DesignData& dd, int gear, bool nominal) {
    calls.emplace_back(gear, nominal);
    for (int i = 0; i < kProfilePointCount; ++i)
      dd.profile_points[i] = {3.5f + float(gear) + (nominal ? 0.5f : 0.0f), 10.0f + float(i) / 1000.0f};
  };
  Fixture() {
    d->teeth[0] = 4;
    d->teeth[1] = 3;
    d->centre_distance = 50;
  }
  std::string bytes(int type, int outline) {
    d->export_type = type;
    d->export_profile_type = outline;
    calls.clear();
    return profile_export_bytes(*d, source);
  }
};

// Vertices of a DXF text: (layer, x, y) per VERTEX, plus the polylines' layers in order.
struct Drawing {
  std::vector<std::string> polylines;
  std::vector<std::string> vertex_layers;
  std::vector<std::pair<double, double>> vertices;
};

Drawing parse_dxf(const std::vector<std::string>& l) {
  Drawing dr;
  for (std::size_t i = 0; i + 1 < l.size(); i += 2) {
    if (l[i] != "0") continue;
    if (l[i + 1] == "POLYLINE") dr.polylines.push_back(l[i + 3]);
    if (l[i + 1] == "VERTEX") {
      EXPECT_EQ(l[i + 2], "8");
      EXPECT_EQ(l[i + 4], "10");
      EXPECT_EQ(l[i + 6], "20");
      dr.vertex_layers.push_back(l[i + 3]);
      dr.vertices.emplace_back(std::stod(l[i + 5]), std::stod(l[i + 7]));
    }
  }
  return dr;
}

}  // namespace

TEST(ProfileExport, CoordinateListByteForByte) {
  Fixture f;
  const std::string finished = f.bytes(kExportWheelText, kExportFinished);
  // Title, column line, then "%10.5f %10.5f": right-aligned in ten characters.
  const std::string head =
      "Wheel (finished profile) \r\n"
      "  x         y \r\n"
      "   4.50000   10.00000\r\n"
      "   4.50000   10.00100\r\n";
  EXPECT_EQ(finished.substr(0, head.size()), head);
  const auto lines = crlf_lines(finished);
  ASSERT_EQ(lines.size(), 502u);
  EXPECT_EQ(lines.back(), "   4.50000   10.49900");
  EXPECT_EQ(f.calls, (std::vector<std::pair<int, bool>>{{1, false}}));

  // Finished first, then nominal, each with its title: 1004 lines.
  const auto both = crlf_lines(f.bytes(kExportPinionText, kExportFinishedAndNominal));
  ASSERT_EQ(both.size(), 1004u);
  EXPECT_EQ(both[0], "Pinion (finished profile) ");
  EXPECT_EQ(both[2], "   3.50000   10.00000");
  EXPECT_EQ(both[502], "Pinion (nominal profile) ");
  EXPECT_EQ(both[503], "  x         y ");
  EXPECT_EQ(both[504], "   4.00000   10.00000");
  EXPECT_EQ(crlf_lines(f.bytes(kExportPinionText, kExportNominal))[0], "Pinion (nominal profile) ");

  // A value wider than ten characters is written whole.
  f.source = [](DesignData& dd, int, bool) {
    for (auto& p : dd.profile_points.points) p = {-12345.5f, 3.5f};
  };
  EXPECT_EQ(crlf_lines(f.bytes(kExportPinionText, kExportFinished))[2], "-12345.50000    3.50000");
}

TEST(ProfileExport, SingleToothDrawingByteForByte) {
  Fixture f;
  const std::string bytes = f.bytes(kExportPinionDxf, kExportFinished);
  // Entities section only, one open polyline, values "%-10.5f": left-aligned in ten characters.
  const std::string head =
      "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
      "0\r\nPOLYLINE\r\n8\r\nPINFIN\r\n66\r\n1\r\n"
      "0\r\nVERTEX\r\n8\r\nPINFIN\r\n10\r\n3.50000   \r\n20\r\n10.00000  \r\n"
      "0\r\nVERTEX\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  const std::string tail = "0\r\nSEQEND\r\n8\r\nPINFIN\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n";
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
  const auto lines = crlf_lines(bytes);
  EXPECT_EQ(lines.size(), 4 + 6 + 500 * 8 + 4 + 4u);
  EXPECT_EQ(count_of(lines, "70"), 0);  // no polyline flags, no header
  EXPECT_EQ(count_of(lines, "HEADER"), 0);

  // Nominal and finished: two polylines in one section, finished first.
  const Drawing both = parse_dxf(crlf_lines(f.bytes(kExportWheelDxf, kExportFinishedAndNominal)));
  EXPECT_EQ(both.polylines, (std::vector<std::string>{"WHEFIN", "WHENOM"}));
  ASSERT_EQ(both.vertices.size(), 1000u);
  EXPECT_EQ(both.vertex_layers[499], "WHEFIN");
  EXPECT_EQ(both.vertex_layers[500], "WHENOM");
  EXPECT_DOUBLE_EQ(both.vertices[500].first, 5.0);
  const Drawing nominal = parse_dxf(crlf_lines(f.bytes(kExportPinionDxf, kExportNominal)));
  EXPECT_EQ(nominal.polylines, (std::vector<std::string>{"PINNOM"}));
}

// Outline points that coincide (the fillet's start on the root circle, the tip corner, the tooth centre
// line) or that lie closer than the five decimals written give one vertex each, never a repeated one: a
// CAD system reads a repeat as a segment of no length.
TEST(ProfileExport, DxfWritesNoVertexTwice) {
  Fixture f;
  f.source = [](DesignData& dd, int, bool) {
    for (int i = 0; i < kProfilePointCount; ++i) dd.profile_points[i] = {3.5f, 10.0f + float(i) / 1000.0f};
    dd.profile_points[25] = dd.profile_points[24];                               // coincide
    dd.profile_points[225] = dd.profile_points[224];
    dd.profile_points[300] = {dd.profile_points[299].x, dd.profile_points[299].y + 2e-6f};  // below the decimals
  };
  const Drawing one = parse_dxf(crlf_lines(f.bytes(kExportPinionDxf, kExportFinished)));
  EXPECT_EQ(one.vertices.size(), 497u);
  for (std::size_t i = 1; i < one.vertices.size(); ++i) EXPECT_NE(one.vertices[i], one.vertices[i - 1]) << i;
  // Each polyline on its own: the nominal outline starts with its first point again.
  const Drawing both = parse_dxf(crlf_lines(f.bytes(kExportPinionDxf, kExportFinishedAndNominal)));
  EXPECT_EQ(both.vertices.size(), 2 * 497u);
}

TEST(ProfileExport, AllTeethTurnOnePitchPerToothAndTheMeshWheelFacesThePinion) {
  Fixture f;
  // Every outline point on the circle of radius 10 + gear, one ten-thousandth of a radian apart, point
  // 12 (sample point 1) on +y: no two vertices alike.
  f.source = [&f](DesignData& dd, int gear, bool nominal) {
    f.calls.emplace_back(gear, nominal);
    const double r = 10.0 + gear;
    for (int i = 0; i < kProfilePointCount; ++i) {
      const double angle = (i - 12) * 1e-4;
      dd.profile_points[i] = {float(r * std::sin(angle)), float(r * std::cos(angle))};
    }
  };
  const Drawing pinion = parse_dxf(crlf_lines(f.bytes(kExportPinionAllDxf, kExportFinished)));
  EXPECT_EQ(pinion.polylines, (std::vector<std::string>{"PINFIN"}));
  ASSERT_EQ(pinion.vertices.size(), 4u * kProfileSamplePoints);
  // Sample point 1 of tooth t: (0, 10) turned by t quarter turns from +y towards -x.
  const double expected[4][2] = {{0, 10}, {-10, 0}, {0, -10}, {10, 0}};
  for (int t = 0; t < 4; ++t) {
    EXPECT_NEAR(pinion.vertices[t * 40 + 1].first, expected[t][0], 1e-5) << "tooth " << t;
    EXPECT_NEAR(pinion.vertices[t * 40 + 1].second, expected[t][1], 1e-5) << "tooth " << t;
  }

  // The mesh: pinion first, then the wheel turned half a turn plus half a pitch about (0, a).
  const Drawing mesh = parse_dxf(crlf_lines(f.bytes(kExportMeshDxf, kExportFinished)));
  EXPECT_EQ(mesh.polylines, (std::vector<std::string>{"PINFIN", "WHEFIN"}));
  ASSERT_EQ(mesh.vertices.size(), (4u + 3u) * kProfileSamplePoints);
  EXPECT_EQ(f.calls, (std::vector<std::pair<int, bool>>{{0, false}, {1, false}}));
  const auto& wheel0 = mesh.vertices[160 + 1];  // (0, 11) turned by 180 + 60 degrees
  EXPECT_NEAR(wheel0.first, 11 * std::sin(-4 * M_PI / 3), 1e-5);
  EXPECT_NEAR(wheel0.second, 50 + 11 * std::cos(-4 * M_PI / 3), 1e-5);
  // Every wheel point is at its radius from the wheel centre.
  for (std::size_t i = 160; i < mesh.vertices.size(); ++i)
    EXPECT_NEAR(std::hypot(mesh.vertices[i].first, mesh.vertices[i].second - 50), 11, 1e-4);

  const Drawing wheel = parse_dxf(crlf_lines(f.bytes(kExportWheelAllDxf, kExportFinished)));
  EXPECT_EQ(wheel.polylines, (std::vector<std::string>{"WHEFIN"}));
  EXPECT_NEAR(wheel.vertices[1].second, 11, 1e-5);  // not moved to the centre distance

  // All teeth are drawn with the finished outline only: another outline gives the empty section.
  EXPECT_EQ(f.bytes(kExportMeshDxf, kExportNominal), "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
  EXPECT_EQ(f.bytes(7, kExportFinished), "");
}

TEST(ProfileExport, StartupDesignInBothUnitSystems) {
  auto d = morvell::testing::program_design();

  // The pinion's finished outline as the generator gives it, first and last point.
  generate_gear_outline(*d, 0, false);
  const ProfilePoint first = d->profile_points[0];
  char expected[64];
  std::snprintf(expected, sizeof expected, "%10.5f %10.5f", double(first.x), double(first.y));

  d->export_type = kExportPinionText;
  d->export_profile_type = kExportFinished;
  const auto text = crlf_lines(profile_export_bytes(*d));
  ASSERT_EQ(text.size(), 502u);
  EXPECT_EQ(text[2], expected);

  for (int type = 0; type <= 6; ++type) {
    d->export_type = type;
    d->export_profile_type = type <= 3 ? kExportFinishedAndNominal : kExportFinished;
    const std::string metric = profile_export_bytes(*d);
    d->unit_system = 2;
    d->length_unit_factor = 25.4f;
    EXPECT_EQ(profile_export_bytes(*d), metric) << "type " << type;  // millimetres always
    d->unit_system = 1;
    d->length_unit_factor = 1;
    if (type >= 2) {
      const Drawing dr = parse_dxf(crlf_lines(metric));
      const std::size_t z1 = std::size_t(d->teeth[0]), z2 = std::size_t(d->teeth[1]);
      // At most 500 points an outline or 40 a tooth, the points that repeat the one before left out.
      const std::size_t most[] = {0, 0, 1000, 1000, z1 * 40, z2 * 40, (z1 + z2) * 40};
      EXPECT_LE(dr.vertices.size(), most[type]) << "type " << type;
      EXPECT_GE(dr.vertices.size(), most[type] * 9 / 10) << "type " << type;
      for (std::size_t i = 0; i < dr.vertices.size(); ++i) {
        ASSERT_TRUE(std::isfinite(dr.vertices[i].first) && std::isfinite(dr.vertices[i].second));
        if (i > 0 && dr.vertex_layers[i] == dr.vertex_layers[i - 1])
          EXPECT_NE(dr.vertices[i], dr.vertices[i - 1]) << "type " << type << " vertex " << i;
      }
    }
  }
}

namespace {

using Program = morvell::testing::Program<>;

// Chooses export type and outline in the dialog as a user does, then closes it by `close`.
forms::ScriptedModalServices::ModalAction choose(int type, int outline, bool window_button) {
  return [=](QDialog& dialog) {
    auto& form = static_cast<TGraphicsexportform&>(dialog);
    EXPECT_EQ(form.exptype->currentIndex(), 0);  // the dialog opens on the first entries
    EXPECT_EQ(form.profiletype->currentIndex(), 0);
    form.profiletype->setCurrentIndex(outline);
    form.exptype->setCurrentIndex(type);
    emit form.exptype->activated(type);
    if (window_button)
      form.close();
    else
      QTest::mouseClick(form.Exportbutton, Qt::LeftButton);
    return int(QDialog::Accepted);
  };
}

}  // namespace

TEST(ProfileExport, DialogForcesTheFinishedOutlineForAllTeethAndTheMesh) {
  DesignData d;
  TGraphicsexportform form(d);
  EXPECT_EQ(form.windowTitle(), "Graphics Export");
  EXPECT_EQ(form.exptype->count(), 7);
  EXPECT_EQ(form.exptype->itemText(6), "dxf of mesh");
  EXPECT_EQ(form.profiletype->itemText(2), "Nominal and finished profile");
  form.FormShow();
  form.profiletype->setCurrentIndex(1);
  form.exptype->setCurrentIndex(6);
  form.exptypeChange();
  EXPECT_EQ(form.profiletype->currentIndex(), 0);
  EXPECT_FALSE(form.profiletype->isEnabled());
  form.exptype->setCurrentIndex(3);
  form.exptypeChange();
  EXPECT_TRUE(form.profiletype->isEnabled());
  // Closing records the choices whichever way it closes.
  form.profiletype->setCurrentIndex(2);
  form.done(QDialog::Rejected);
  EXPECT_EQ(d.export_type, 3);
  EXPECT_EQ(d.export_profile_type, 2);
}

TEST(ProfileExport, MenuCommandWritesTheChosenFileAndReportsAFailure) {
  Program p;
  TMainForm& m = *p.main;
  auto& s = p.scripted;
  ASSERT_TRUE(Graphicsexportform);

  // Text of the wheel, closed with the window's own button: still exported, under the name chosen.
  QFile::remove("wheel.dat");
  s.modal_actions["Graphicsexportform"].push_back(choose(kExportWheelText, kExportFinished, true));
  s.save_answers.push_back({true, "wheel.dat"});
  m.Exportprofilecoords1Click();
  ASSERT_EQ(s.of(Kind::SaveFile).size(), 1u);
  EXPECT_EQ(s.of(Kind::SaveFile)[0].text, "profile.dat");  // the name offered
  const auto lines = crlf_lines(file_bytes("wheel.dat"));
  ASSERT_EQ(lines.size(), 502u);
  EXPECT_EQ(lines[0], "Wheel (finished profile) ");
  EXPECT_TRUE(s.of(Kind::Message).empty());

  // The mesh after "Nominal profile": the outline is forced to the finished one.
  s.clear();
  s.modal_actions["Graphicsexportform"].push_back(choose(kExportMeshDxf, kExportNominal, false));
  s.save_answers.push_back({true, "mesh.dxf"});
  m.Exportprofilecoords1Click();
  EXPECT_EQ(s.of(Kind::SaveFile)[0].text, "profile.dxf");
  EXPECT_EQ(p.d->export_profile_type, kExportFinished);
  const Drawing mesh = parse_dxf(crlf_lines(file_bytes("mesh.dxf")));
  EXPECT_EQ(mesh.polylines, (std::vector<std::string>{"PINFIN", "WHEFIN"}));
  EXPECT_LE(mesh.vertices.size(), std::size_t(p.d->teeth[0] + p.d->teeth[1]) * 40);  // repeats left out
  EXPECT_GE(mesh.vertices.size(), std::size_t(p.d->teeth[0] + p.d->teeth[1]) * 36);

  // Cancelling the file dialog writes nothing; a file that cannot be created is reported.
  s.clear();
  QFile::remove("profile.dxf");
  m.Exportprofilecoords1Click();
  EXPECT_FALSE(QFile::exists("profile.dxf"));
  EXPECT_TRUE(s.of(Kind::Message).empty());
  s.save_answers.push_back({true, "no-such-folder/profile.dxf"});
  m.Exportprofilecoords1Click();
  ASSERT_EQ(s.of(Kind::Message).size(), 1u);
  EXPECT_TRUE(s.of(Kind::Message)[0].text.contains("no-such-folder/profile.dxf")) << s.of(Kind::Message)[0].text.toStdString();

  // A file its user made read-only is not replaced.
  s.clear();
  const std::string exported = file_bytes("wheel.dat");
  QFile::setPermissions("wheel.dat", QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  s.modal_actions["Graphicsexportform"].push_back(choose(kExportWheelText, kExportNominal, false));
  s.save_answers.push_back({true, "wheel.dat"});
  m.Exportprofilecoords1Click();
  EXPECT_EQ(s.texts(Kind::Message), QStringList{"Cannot write wheel.dat: the file is read-only"});
  EXPECT_EQ(file_bytes("wheel.dat"), exported);
  QFile::setPermissions("wheel.dat", QFileDevice::ReadOwner | QFileDevice::WriteOwner);

  // A design whose teeth cannot mesh at the fixed centre distance has no finished outline: the old file
  // stays as it was and the user is told why.
  s.clear();
  p.d->geometry_manager_mode = 2;
  p.d->centre_distance = 20.0f;
  const std::string before = file_bytes("wheel.dat");
  for (int type : {kExportWheelText, kExportMeshDxf}) {
    s.modal_actions["Graphicsexportform"].push_back(choose(type, kExportFinished, false));
    s.save_answers.push_back({true, "wheel.dat"});
    m.Exportprofilecoords1Click();
    ASSERT_TRUE(std::isnan(p.d->thickness_finished_transverse[1]));
    EXPECT_EQ(file_bytes("wheel.dat"), before);
    ASSERT_EQ(s.of(Kind::Message).size(), 1u);
    EXPECT_TRUE(s.of(Kind::Message)[0].text.contains("cannot be worked out")) << s.of(Kind::Message)[0].text.toStdString();
    s.clear();
  }
}
