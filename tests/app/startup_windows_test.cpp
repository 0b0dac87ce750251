// The windows before the main window and the two small search windows: splash, start-up choice, progress
// window and the question after a design search.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "design_data.h"
#include "progress_form.h"
#include "scripted_modal_services.h"
#include "sizing_form.h"
#include "splash_form.h"
#include "startup.h"
#include "startup_form.h"
#include "test_support.h"
#include "use_optimized_form.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

void copy_splash_images() {
  for (const char* name : {"splash.bmp", "background.bmp"}) {
    QFile::remove(name);
    ASSERT_TRUE(QFile::copy(QString(MORVELL_SOURCE_DIR "/data/") + name, name)) << name;
  }
}

void remove_splash_images() {
  QFile::remove("splash.bmp");
  QFile::remove("background.bmp");
}

std::unique_ptr<DesignData> design() {
  auto d = std::make_unique<DesignData>();
  d->decimals = 3;
  d->unit_system = 1;
  d->torque_unit_factor = 1;
  d->form_scale_multiplier = 1250;  // a 1280-pixel screen
  d->form_scale_divisor = 1000;
  copy_text(d->design_file_name, "\nefault_input_file.mvl");  // no file chosen yet
  return d;
}

}  // namespace

TEST(ProgressWindow, BarPositionClampedToItsRangeWithoutTakingTheFocus) {
  TProgressform p;
  EXPECT_EQ(p.windowTitle(), "Progress");
  EXPECT_EQ(p.ProgressBar1->minimum(), 0);
  EXPECT_EQ(p.ProgressBar1->maximum(), 100);
  EXPECT_EQ(p.ProgressBar1->size(), QSize(240, 14));
  p.setWindowTitle("Gear Sizing Progress");
  p.show();
  const struct {
    int set, shown;
  } cases[] = {{20, 20}, {100, 100}, {120, 100}, {40, 40}, {-5, 0}};
  for (const auto& c : cases) {
    p.set_position(c.set);
    EXPECT_EQ(p.ProgressBar1->value(), c.shown) << c.set;
  }
  // Shown beside the main window without taking the focus from it (the offscreen platform activates every
  // window, so the request itself is what is checked here).
  EXPECT_TRUE(p.windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(p.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(p.focusPolicy(), Qt::NoFocus);
  p.hide();
  p.set_position(60);  // a hidden window keeps its bar for the next use
  EXPECT_EQ(p.ProgressBar1->value(), 60);
}

TEST(UseOptimizedQuestion, EnterAndTheCloseBoxRestoreUseNewKeeps) {
  auto d = design();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  Tuseoptimizedform q(*d);
  EXPECT_EQ(q.windowTitle(), "Update geometry details");

  d->use_optimized_design = 1;
  scripted.modal_actions["useoptimizedform"].push_back([&](QDialog& dialog) {
    EXPECT_EQ(dialog.focusWidget(), q.OKbutton);
    QTest::keyClick(&dialog, Qt::Key_Return);
    return int(QDialog::Rejected);
  });
  scripted.show_modal(q);
  EXPECT_EQ(d->use_optimized_design, 0);
  EXPECT_EQ(scripted.records.back().text.toStdString().find("Original geometry can be restored or "), 0u);
  EXPECT_EQ(q.warningmemo->toPlainText(), "Original geometry can be restored or \ngeometry from design search used ");
  EXPECT_STREQ(d->warning_lines[1], "geometry from design search used ");

  scripted.modal_actions["useoptimizedform"].push_back([&](QDialog&) {
    q.Button1->click();
    return int(QDialog::Rejected);
  });
  scripted.show_modal(q);
  EXPECT_EQ(d->use_optimized_design, 1);

  // Closed with the close box: not the answer of the search before ("Use new") but "Restore original".
  scripted.modal_actions["useoptimizedform"].push_back([](QDialog&) { return int(QDialog::Rejected); });
  scripted.show_modal(q);
  EXPECT_EQ(d->use_optimized_design, 0);
}

TEST(SplashWindow, GreyFramedBackgroundWithBothPicturesAndClickCloses) {
  copy_splash_images();
  auto d = design();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  Tsplashform s(*d);
  EXPECT_EQ(s.size(), QSize(640, 480));  // not scaled by the window scale
  EXPECT_TRUE(s.windowFlags() & Qt::FramelessWindowHint);
  const QImage background = s.Image1->pixmap().toImage();
  ASSERT_EQ(background.size(), QSize(640, 480));
  EXPECT_EQ(background.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(background.pixelColor(639, 479), QColor(Qt::black));
  EXPECT_EQ(background.pixelColor(320, 240), QColor(223, 223, 223));
  EXPECT_EQ(s.Image2->geometry(), QRect(10, 6, 620, 110));
  EXPECT_EQ(s.Image3->geometry(), QRect(162, 126, 323, 242));
  EXPECT_EQ(s.Image2->pixmap().size(), QSize(620, 110));
  EXPECT_EQ(s.Image3->pixmap().size(), QSize(323, 242));

  // It stays until clicked: on a picture or on the background.
  for (QLabel* image : {s.Image2, s.Image3, s.Image1}) {
    bool closed_by_click = false;
    scripted.modal_actions["splashform"].push_back([&](QDialog& dialog) {
      EXPECT_TRUE(dialog.isVisible());
      QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(5, 5));
      closed_by_click = !dialog.isVisible();
      return int(QDialog::Accepted);
    });
    scripted.show_modal(s);
    EXPECT_TRUE(closed_by_click) << image->objectName().toStdString();
  }
  remove_splash_images();
}

TEST(SplashWindow, MissingPicturesLeaveTheBackground) {
  remove_splash_images();
  auto d = design();
  Tsplashform s(*d);
  EXPECT_TRUE(s.Image2->pixmap().isNull());
  EXPECT_TRUE(s.Image3->pixmap().isNull());
  EXPECT_EQ(s.Image1->pixmap().toImage().pixelColor(100, 300), QColor(223, 223, 223));
}

// A damaged or foreign picture in place of either splash picture leaves its place on the background,
// and nothing in their place holds the start: a folder, a pipe without a writer, an endless device, a
// cut-off bitmap (shown as far as it goes), a bitmap whose header claims 100000 by 100000 pixels, binary garbage and a file far
// longer than any picture.
TEST(SplashWindow, DamagedOrForeignPicturesLeaveTheBackground) {
  auto bytes_of = [](const char* path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  };
  auto write = [](const char* path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  };
  const QByteArray good = bytes_of(MORVELL_SOURCE_DIR "/data/splash.bmp");
  QByteArray huge = good.left(54);
  for (int at : {18, 22}) {  // width and height, little-endian
    const quint32 v = 100000;
    for (int k = 0; k < 4; ++k) huge[at + k] = char((v >> (8 * k)) & 0xff);
  }
  QByteArray garbage;
  quint32 state = 7;
  for (int i = 0; i < 100000; ++i) garbage.append(char((state = state * 1103515245u + 12345u) >> 24));
  const std::function<void(const char*)> makers[] = {
      [](const char* p) { QDir().mkdir(p); },
      [](const char* p) { ASSERT_EQ(::mkfifo(p, 0600), 0); },
      [](const char* p) { ASSERT_TRUE(QFile::link("/dev/zero", p)); },
      [&](const char* p) { write(p, good.left(good.size() / 2)); },
      [&](const char* p) { write(p, huge); },
      [&](const char* p) { write(p, garbage); },
      [&](const char* p) {
        write(p, good);
        QFile f(p);
        ASSERT_TRUE(f.resize(qint64(70) << 20));  // sparse: cheap to make
      },
  };
  auto d = design();
  int n = 0;
  for (const auto& make : makers) {
    SCOPED_TRACE(n++);
    for (const char* name : {"splash.bmp", "background.bmp"}) {
      QFile::remove(name);
      QDir().rmdir(name);
      make(name);
    }
    Tsplashform s(*d);
    if (n - 1 == 3) {
      EXPECT_LE(s.Image2->pixmap().width(), 620);
    } else {
      EXPECT_TRUE(s.Image2->pixmap().isNull());
      EXPECT_TRUE(s.Image3->pixmap().isNull());
    }
    EXPECT_EQ(s.Image1->pixmap().toImage().pixelColor(100, 300), QColor(223, 223, 223));
  }
  for (const char* name : {"splash.bmp", "background.bmp"}) {
    QFile::remove(name);
    QDir().rmdir(name);
  }
}

namespace {
struct StartupWindow {
  std::unique_ptr<DesignData> d = design();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  Tstartupform w{*d};

  StartupWindow() {
    d->start_mode = 5;  // creation resets it
    w.FormCreate();
    w.show();
  }
};
}  // namespace

TEST(StartupWindow, CaptionMenuStatusAndPlacement) {
  StartupWindow s;
  EXPECT_EQ(s.w.windowTitle(), "Morvell");
  EXPECT_EQ(s.d->start_mode, 0);
  EXPECT_EQ(s.w.statusfilename->text(), "Filename :");
  EXPECT_EQ(s.w.SizingWizard1->text(), "Size gears");
  EXPECT_EQ(s.w.Entergeometrydata1->text(), "Enter geometry data");
  EXPECT_EQ(s.w.OpenDialog1.title, "Open file");
  EXPECT_EQ(s.w.OpenDialog1.default_suffix, "mvl");
  EXPECT_EQ(s.w.OpenDialog1.filter, "Morvell files (*.mvl);;All files (*.*)");
  // Scaled by 1250 / 1000, at the top of the 1280-pixel screen and centred.
  EXPECT_GE(s.w.width(), 1257);
  EXPECT_LE(s.w.width(), 1258);
  EXPECT_EQ(s.w.y(), 0);
  EXPECT_EQ(s.w.x(), (1280 - s.w.width()) / 2);
}

TEST(StartupWindow, CancelledOpenKeepsTheWindowAChosenFileClosesIt) {
  StartupWindow s;
  s.w.Open1->trigger();
  EXPECT_EQ(s.scripted.of(Kind::OpenFile).size(), 1u);
  EXPECT_EQ(s.scripted.of(Kind::OpenFile)[0].caption, "Open file");
  EXPECT_TRUE(s.w.isVisible());
  EXPECT_EQ(s.d->start_mode, 0);
  EXPECT_EQ(s.d->design_file_name[0], '\n');

  s.scripted.open_answers.push_back({true, "/designs/pair.mvl"});
  s.w.Open1->trigger();
  EXPECT_FALSE(s.w.isVisible());
  EXPECT_EQ(s.d->start_mode, 1);
  EXPECT_STREQ(s.d->design_file_name, "/designs/pair.mvl");
}

// A path the name field cannot hold whole (255 bytes and more) would be cut to another file's name: it
// is refused as File > Open refuses it, and the window stays open for another choice; 255 bytes less one
// fit.
TEST(StartupWindow, PathTooLongForTheNameFieldIsRefusedAndTheWindowStays) {
  StartupWindow s;
  const QString too_long = "/designs/" + QString(246, 'g') + ".mvl";  // 259 bytes
  ASSERT_GE(too_long.toLocal8Bit().size(), qsizetype(sizeof s.d->design_file_name));
  s.scripted.open_answers.push_back({true, too_long});
  s.w.Open1->trigger();
  EXPECT_EQ(s.scripted.texts(Kind::Message), QStringList{"The file name is too long: " + too_long});
  EXPECT_TRUE(s.w.isVisible());
  EXPECT_EQ(s.d->start_mode, 0);
  EXPECT_EQ(s.d->design_file_name[0], '\n');

  const QString fits = "/designs/" + QString(241, 'g') + ".mvl";  // 254 bytes
  s.scripted.open_answers.push_back({true, fits});
  s.w.Open1->trigger();
  EXPECT_FALSE(s.w.isVisible());
  EXPECT_EQ(s.d->start_mode, 1);
  EXPECT_EQ(QString::fromLocal8Bit(s.d->design_file_name), fits);
}

TEST(StartupWindow, SizeGearsRunsTheWizardThenCloses) {
  StartupWindow s;
  s.w.SizingWizard1->trigger();
  EXPECT_EQ(s.d->start_mode, 2);
  EXPECT_STREQ(s.d->design_file_name, "");
  const auto shown = s.scripted.of(Kind::Modal);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "Initial Sizing");
  EXPECT_FALSE(s.w.isVisible());
  // The wizard's targets and its close are in the design.
  EXPECT_EQ(s.d->desired_ratio, 1.5f);
  EXPECT_EQ(s.d->load_case_table[0].speed, 2500.0f);
}

TEST(StartupWindow, EnterGeometryDataCloses) {
  StartupWindow s;
  s.w.Entergeometrydata1->trigger();
  EXPECT_EQ(s.d->start_mode, 3);
  EXPECT_STREQ(s.d->design_file_name, "");
  EXPECT_FALSE(s.w.isVisible());
  EXPECT_TRUE(s.scripted.records.empty());
}

TEST(StartupWindow, AboutShowsTheSplashAndStays) {
  StartupWindow s;
  s.w.About1->trigger();
  EXPECT_EQ(s.d->splash_mode, 1);
  const auto shown = s.scripted.of(Kind::Modal);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(s.w.isVisible());
  EXPECT_EQ(s.d->start_mode, 0);
  s.w.Entergeometrydata1->trigger();  // a choice afterwards still works
  EXPECT_EQ(s.d->start_mode, 3);
  EXPECT_EQ(s.d->splash_mode, 1);
}

// A design file named on the command line is opened in place of the start-up window's choice, or
// refused with a word: an option the program does not take, a name too long to be kept, names beyond
// the first.
TEST(CommandLine, ADesignFileNamedIsOpenedOrRefusedWithAWord) {
  const std::string long_name(400, 'n');
  struct Case {
    std::vector<std::string> arguments;
    std::string path;      // to open
    std::string says;      // part of the message, empty for none
  } cases[] = {
      {{"morvell"}, "", ""},
      {{"morvell", "pair.mvl"}, "pair.mvl", ""},
      {{"morvell", "/home/u/gears/pair 2.mvl"}, "/home/u/gears/pair 2.mvl", ""},
      {{"morvell", "-x"}, "", "not the option -x"},
      {{"morvell", long_name + ".mvl"}, "", "too long"},
      {{"morvell", "a.mvl", "b.mvl", "c.mvl"}, "a.mvl", "b.mvl c.mvl left unused"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size() > 1 ? c.arguments[1].substr(0, 40) : "no arguments");
    const CommandLineDesign named = design_file_from_command_line(c.arguments);
    EXPECT_EQ(named.path, c.path);
    if (c.says.empty()) EXPECT_EQ(named.message, "");
    else EXPECT_NE(named.message.find(c.says), std::string::npos) << named.message;
  }
}
