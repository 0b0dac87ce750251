// Every top-level window of the program, as the program creates it at window-size steps 0 to -3, lies
// within the screen and shows every control it holds: none lies outside the window or outside the
// control that holds it, and no menu item is put away into the menu bar's overflow button. Every
// caption fits its control. The values of every report of the main window stand under their headings
// in the pane, printed and in report.rtf as a word processor lays it out. The texts of the charts stand
// whole in their pictures, and the charts and plots are painted at the screen's pixels. With
// MORVELL_SCREENSHOTS naming a folder, every window shown is saved there as a picture.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QFile>
#include <QTest>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>
#include <utility>

#include "design_data.h"
#include "export_type_form.h"
#include "flash_temp_form.h"
#include "main_window.h"
#include "metrology_form.h"
#include "optimization_form.h"
#include "preferences.h"
#include "print_to_pdf.h"
#include "program_design.h"
#include "program_windows.h"
#include "qt_modal_services.h"
#include "report_columns_check.h"
#include "report_file.h"
#include "scripted_modal_services.h"
#include "sn_curves_form.h"
#include "startup.h"
#include "test_support.h"
#include "window_geometry_support.h"

using namespace morvell;

namespace {

using morvell::testing::program_design_at_step;

// The program's windows at a window-size step with the main window shown: its first show opens the
// default design and rates it. Print dialogs print into printed.pdf.
struct ShownProgram {
  std::unique_ptr<DesignData> d;
  morvell::testing::PrintToPdf scripted;
  forms::ScopedServices use{scripted};
  ProgramWindows windows;
  TMainForm& main;

  explicit ShownProgram(int step) : d(program_design_at_step(step)), windows(*d), main(*windows.main) {
    d->start_mode = 1;
    copy_text(d->design_file_name, kDefaultDesignFileName);
    main.show();
    QApplication::processEvents();
  }
};

// True when the picture has the pixel ratio of the screen where `image` shows it and covers `image` to
// the nearest pixel of the screen: its pixels are the image's size times the ratio.
::testing::AssertionResult shows_at_screen_pixels(const QImage& picture, const QWidget* image) {
  const double ratio = image->devicePixelRatioF();
  const QSizeF size = picture.deviceIndependentSize();
  if (picture.devicePixelRatio() == ratio && std::abs(picture.width() - image->width() * ratio) <= 0.5 &&
      std::abs(picture.height() - image->height() * ratio) <= 0.5)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "picture " << size.width() << "x" << size.height() << " at pixel ratio "
                                       << picture.devicePixelRatio() << " for " << image->width() << "x"
                                       << image->height() << " at " << ratio;
}

// The main window's reports, each chosen through its item of the Report menu.
constexpr std::pair<const char*, void (TMainForm::*)()> kReports[] = {
    {"geometry", &TMainForm::Geometry1Click},
    {"rating summary", &TMainForm::RatingResults1Click},
    {"rating details", &TMainForm::RatingDetails1Click}};

}  // namespace

TEST(WindowGeometry, EveryWindowFitsTheScreenAndShowsItsControls) {
  for (int step : {0, -1, -2, -3}) {
    SCOPED_TRACE(QStringLiteral("screen %1x%2, step %3")
                     .arg(morvell::testing::screen_size.width())
                     .arg(morvell::testing::screen_size.height())
                     .arg(step)
                     .toStdString());
    auto d = program_design_at_step(step);
    forms::ScriptedModalServices scripted;
    forms::ScopedServices use{scripted};
    ProgramWindows windows(*d);
    // The start-up choice opens the default design, so that the main window shows its full layout.
    d->start_mode = 1;
    copy_text(d->design_file_name, kDefaultDesignFileName);
    for (QWidget* w : windows.all()) {
      w->show();
      QApplication::processEvents();
      ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
      if (const char* dir = std::getenv("MORVELL_SCREENSHOTS"))
        w->grab().save(QStringLiteral("%1/%2_%3.png").arg(dir, w->objectName()).arg(step));
      EXPECT_EQ(morvell::testing::geometry_faults(w), QStringList()) << w->objectName().toStdString();
      if (morvell::testing::check_captions) {
        EXPECT_EQ(morvell::testing::caption_faults(w), QStringList()) << w->objectName().toStdString();
      }
      w->hide();
    }
    // The main window's export dialog, made with the main window: its bold captions in the size of
    // its other text.
    ASSERT_NE(Graphicsexportform, nullptr);
    QWidget* w = Graphicsexportform;
    w->show();
    QApplication::processEvents();
    if (const char* dir = std::getenv("MORVELL_SCREENSHOTS"))
      w->grab().save(QStringLiteral("%1/%2_%3.png").arg(dir, w->objectName()).arg(step));
    EXPECT_EQ(morvell::testing::geometry_faults(w), QStringList()) << "export dialog";
    if (morvell::testing::check_captions) {
      EXPECT_EQ(morvell::testing::caption_faults(w), QStringList()) << "export dialog";
    }
    const int text = QFontInfo(Graphicsexportform->exptype->font()).pixelSize();
    for (const QLabel* caption : {Graphicsexportform->Label1, Graphicsexportform->Label2}) {
      EXPECT_NEAR(QFontInfo(caption->font()).pixelSize(), text, 1 + text / 8) << caption->text().toStdString();
      EXPECT_TRUE(caption->font().bold());
    }
    w->hide();
  }
}

// The main window asked to be smaller than its layout (800 x 600, as on a small screen or by its user's
// hand, or far less) keeps every control within it at every step, also after the Window Sizes commands
// have rescaled it.
TEST(WindowGeometry, MainWindowMadeSmallKeepsEveryControl) {
  for (int step : {0, -1, -2, -3}) {
    ShownProgram p(step);
    TMainForm& m = p.main;
    const auto made_small = [&](const char* after) {
      for (const QSize wanted : {QSize(800, 600), QSize(320, 240)}) {
        m.resize(wanted);
        QApplication::processEvents();
        EXPECT_EQ(morvell::testing::geometry_faults(&m), QStringList())
            << "step " << step << " " << after << ", asked for " << wanted.width() << "x" << wanted.height();
      }
    };
    made_small("as created");
    if (step > -3) {
      m.Decrease1Click();
      made_small("made one step smaller");
      m.Increase1Click();
      made_small("made one step larger again");
    }
    m.hide();
  }
}

namespace {

// What the main window looks like: its size, and the font size of each control that shows a caption, in
// the order the window holds them.
struct MainWindowLook {
  QSize size;
  std::vector<std::pair<QString, qreal>> caption_fonts;  // class and name of the control, point size
  QStringList caption_faults;
};

MainWindowLook look_of(TMainForm& m) {
  MainWindowLook look{m.size(), {}, morvell::testing::caption_faults(&m)};
  for (QWidget* c : m.findChildren<QWidget*>()) {
    if (c->window() != &m || (!qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLabel*>(c) && !qobject_cast<QComboBox*>(c)))
      continue;
    look.caption_fonts.push_back(
        {QStringLiteral("%1 %2").arg(c->metaObject()->className(), c->objectName()), c->font().pointSizeF()});
  }
  return look;
}

}  // namespace

// The Window Sizes commands make the shown main window what a start at the new step makes it: the size
// of the window and the size of its text follow the step (no caption larger than at a start at that
// step, none shrunk to a glyph nobody can read), every caption fits its control as at such a start, and
// the window stays on the screen, each step down and back up again.
TEST(WindowGeometry, LiveWindowSizeStepsGiveTheLookOfAStartAtThatStep) {
  std::map<int, MainWindowLook> fresh;
  for (int step : {0, -1, -2, -3}) {
    ShownProgram p(step);
    fresh[step] = look_of(p.main);
    p.main.hide();
  }
  ShownProgram p(0);
  TMainForm& m = p.main;
  const auto compare = [&](int step, const char* after) {
    QApplication::processEvents();
    SCOPED_TRACE(::testing::Message() << "screen " << morvell::testing::screen_size.width() << "x"
                                      << morvell::testing::screen_size.height() << ", pixel ratio "
                                      << m.devicePixelRatioF() << ", step " << step << " " << after);
    ASSERT_EQ(p.d->window_size_step, step);
    const MainWindowLook live = look_of(m);
    const MainWindowLook& start = fresh[step];
    EXPECT_NEAR(live.size.width(), start.size.width(), 3);
    EXPECT_NEAR(live.size.height(), start.size.height(), 3);
    EXPECT_EQ(morvell::testing::geometry_faults(&m), QStringList());
    // Where a button's margins leave no room for its caption at the smallest sizes, a start at that
    // step shows it so too; a step adds no caption that does not fit.
    for (const QString& fault : live.caption_faults) EXPECT_TRUE(start.caption_faults.contains(fault)) << fault.toStdString();
    ASSERT_EQ(live.caption_fonts.size(), start.caption_fonts.size());
    for (size_t i = 0; i < live.caption_fonts.size(); ++i) {
      const auto& [name, size] = live.caption_fonts[i];
      const qreal expected = start.caption_fonts[i].second;
      EXPECT_LE(size, expected * 1.08 + 0.25) << name.toStdString();
      EXPECT_GE(size, expected * 0.85 - 0.25) << name.toStdString();
    }
    if (const char* dir = std::getenv("MORVELL_SCREENSHOTS"))
      m.grab().save(QStringLiteral("%1/live_step_%2_%3.png").arg(dir).arg(step).arg(after));
  };
  for (int step = -1; step >= -3; --step) {
    m.Decrease1Click();
    compare(step, "down");
  }
  for (int step = -2; step <= 0; ++step) {
    m.Increase1Click();
    compare(step, "up");
  }
  m.hide();
}

// The results pane shows its lines from their first letter: as the program opens its design, after each
// report is chosen and after a refresh, at every window-size step.
TEST(WindowGeometry, ReportPaneShowsItsLinesFromTheirStart) {
  for (int step : {0, -1, -2, -3}) {
    ShownProgram p(step);
    TMainForm& m = p.main;
    QApplication::processEvents();
    SCOPED_TRACE(::testing::Message() << "step " << step << ", pixel ratio " << m.devicePixelRatioF() << ", font "
                                      << m.mainresults->font().toString().toStdString());
    EXPECT_EQ(m.mainresults->horizontalScrollBar()->value(), 0) << "as opened";
    for (const auto& [name, report] : kReports) {
      (m.*report)();
      QApplication::processEvents();
      EXPECT_EQ(m.mainresults->horizontalScrollBar()->value(), 0) << name;
      m.SetMain_textboxes();
      QApplication::processEvents();
      EXPECT_EQ(m.mainresults->horizontalScrollBar()->value(), 0) << name << ", refreshed";
    }
    m.hide();
  }
}

// Every value of every report of the main window stands under its heading PINION or WHEEL, or in the pair
// column, at every window-size step and in both unit systems: in the pane's own layout at the step's font;
// printed; and in report.rtf at the pane's font as a word processor (LibreOffice) lays it out. So does the
// search window's report in its pane.
TEST(WindowGeometry, ReportValuesStandUnderTheirHeadings) {
  QDir().mkpath("rtf");
  std::vector<std::pair<QString, std::string>> rtf_files;  // each with what it holds
  for (int step : {0, -1, -2, -3}) {
    ShownProgram p(step);
    TMainForm& m = p.main;
    const auto choose = [&](int unit_system, void (TMainForm::*report)()) {
      unit_system == 2 ? m.English1Click() : m.Metric1Click();
      (m.*report)();
    };
    for (int unit_system : {1, 2}) {
      for (const auto& [name, report] : kReports) {
        const std::string what = ::testing::PrintToString(morvell::testing::screen_size.width()) + "x" +
                                 ::testing::PrintToString(morvell::testing::screen_size.height()) + ", step " +
                                 std::to_string(step) + (unit_system == 2 ? ", English " : ", metric ") + name;
        SCOPED_TRACE(what);
        choose(unit_system, report);
        EXPECT_EQ(morvell::testing::column_faults(morvell::testing::rows_of_document(m.mainresults->document()), 0.5),
                  QStringList());
        if (report == &TMainForm::RatingDetails1Click) {
          // The search window's report of the same design, in its own pane, stands in the same columns.
          Toptimizationform& search = *p.windows.optimization;
          search.show();
          search.form_report();
          EXPECT_EQ(morvell::testing::column_faults(
                        morvell::testing::rows_of_document(search.mainresults->document()), 0.5),
                    QStringList())
              << "the search report";
          search.hide();
        }
        QFile::remove(kReportFileName);
        m.Report2Click();
        const QString kept = QStringLiteral("rtf/report_%1.rtf").arg(rtf_files.size());
        ASSERT_TRUE(QFile::copy(kReportFileName, kept));
        rtf_files.push_back({kept, what + ", pane font " + m.mainresults->font().toString().toStdString()});
      }
    }
    // Printing sets the pane's font to 8 points: the printed pages come after the pane's own font.
    for (int unit_system : {1, 2}) {
      for (const auto& [name, report] : kReports) {
        SCOPED_TRACE(::testing::Message() << "printed at step " << step << ", units " << unit_system << ", " << name);
        choose(unit_system, report);
        QFile::remove("printed.pdf");
        m.Report3Click();
        EXPECT_EQ(morvell::testing::column_faults(morvell::testing::rows_of_pdf("printed.pdf"), 0.5), QStringList());
      }
    }
    m.hide();
  }

  QStringList rtf;
  for (const auto& [file, what] : rtf_files) rtf << QDir::current().absoluteFilePath(file);
  ASSERT_TRUE(morvell::testing::convert_with_word_processor(rtf, QDir::current().absoluteFilePath("office-profile")))
      << "LibreOffice (soffice, package libreoffice-writer-nogui) could not convert report.rtf to PDF";
  for (const auto& [file, what] : rtf_files) {
    SCOPED_TRACE("report.rtf in a word processor: " + what);
    QString pdf = file;
    pdf.replace(".rtf", ".pdf");
    EXPECT_EQ(morvell::testing::column_faults(morvell::testing::rows_of_pdf(pdf), 0.5), QStringList());
  }
}

// The texts of the four S-N charts and of the flash-temperature plot of every quantity stand whole in
// their pictures, clear of the plot area and of each other, at every window-size step in both unit
// systems; the pictures have as many pixels as the screen shows them with.
TEST(WindowGeometry, ChartTextsStandWholeInTheirPictures) {
  for (int step : {0, -1, -2, -3}) {
    ShownProgram p(step);
    TMainForm& m = p.main;
    for (int unit_system : {1, 2}) {
      unit_system == 2 ? m.English1Click() : m.Metric1Click();
      SCOPED_TRACE(::testing::Message() << "step " << step << ", units " << unit_system << ", pixel ratio "
                                        << m.devicePixelRatioF());
      TSNCurvesform& sn = *p.windows.sn_curves;
      sn.show();
      QApplication::processEvents();
      const QLabel* images[4] = {sn.Image1, sn.Image2, sn.Image3, sn.Image4};
      for (int k = 0; k < 4; ++k) {
        const QImage& picture = sn.bitmap(k);
        EXPECT_TRUE(shows_at_screen_pixels(picture, images[k])) << k;
        const SnChartScale s =
            sn_chart_scale(sn_chart_of(*p.d, k), *p.d, picture.deviceIndependentSize(), picture.devicePixelRatio());
        EXPECT_EQ(morvell::testing::chart_text_faults(
                      picture, sn.texts(k), QRectF(QPointF(s.left, s.top), QPointF(s.right, s.bottom))),
                  QStringList())
            << sn_chart_of(*p.d, k).title;
      }
      sn.hide();

      Tflashtempform& flash = *p.windows.flash_temperature;
      flash.show();
      QApplication::processEvents();
      for (int item = 0; item < kFlashPlotItems; ++item) {
        flash.plotcombo->setCurrentIndex(item);
        emit flash.plotcombo->activated(item);
        const QImage& picture = flash.plot_bitmap();
        EXPECT_TRUE(shows_at_screen_pixels(picture, flash.Image1));
        EXPECT_EQ(morvell::testing::chart_text_faults(picture, flash.plot_texts(),
                                                      QRectF(QPointF(p.d->chart_left, p.d->chart_top),
                                                             QPointF(p.d->chart_right, p.d->chart_bottom))),
                  QStringList())
            << kFlashPlotItemNames[item];
      }
      flash.hide();
    }
    m.hide();
  }
}

// The mesh plot, the measurement plots with their legends and the design-search plot are painted at the
// pixels the screen shows them with, at every window-size step: their pictures have the screen's pixel
// ratio and the image's size in its units.
TEST(WindowGeometry, PlotsArePaintedAtTheScreensPixels) {
  for (int step : {0, -3}) {
    ShownProgram p(step);
    TMainForm& m = p.main;
    SCOPED_TRACE(::testing::Message() << "step " << step << ", pixel ratio " << m.devicePixelRatioF());
    m.ShowplotbuttonClick();
    for (auto view : {&TMainForm::ViewPinion1Click, &TMainForm::ViewMesh1Click}) {
      (m.*view)();
      EXPECT_TRUE(shows_at_screen_pixels(m.Image1->pixmap().toImage(), m.Image1)) << "mesh plot";
    }
    m.ShowplotbuttonClick();

    Tmetrologyform& metrology = *p.windows.metrology;
    metrology.show();
    QApplication::processEvents();
    for (const QLabel* image :
         {metrology.Image1, metrology.Image2, metrology.Image3, metrology.Image4, metrology.Image5})
      EXPECT_TRUE(shows_at_screen_pixels(image->pixmap().toImage(), image)) << image->objectName().toStdString();
    metrology.hide();

    // The search plot keeps its layout at every window size, drawn whole within the picture.
    Toptimizationform& search = *p.windows.optimization;
    search.show();
    QApplication::processEvents();
    EXPECT_TRUE(shows_at_screen_pixels(search.Image1->picture(), search.Image1)) << "search plot";
    // The designed size to the rounding of the widget's sides.
    EXPECT_NEAR(search.Image1->layout_size().width(), 1004, 1004 / 100.0);
    EXPECT_NEAR(search.Image1->layout_size().height(), 325, 325 / 100.0);
    // Nothing is cut at the edges, with the longest names of the plotted quantities as axis titles.
    search.XnegComboBox->setCurrentIndex(18);
    search.YaxisComboBox->setCurrentIndex(17);
    search.XplusComboBox->setCurrentIndex(19);
    search.Set_optimizer_textboxes();
    EXPECT_EQ(morvell::testing::chart_text_faults(search.Image1->picture(), {}, QRectF()), QStringList());
    search.hide();
    m.hide();
  }
}

// The system's dialogs that the program shows (the Open, Save As and export file dialogs, the print
// dialog and the dialogs it opens itself, message boxes with the program's longest texts) lie within the
// screen with every control they hold, at every window-size step, over the shown main window.
TEST(WindowGeometry, SystemDialogsFitTheScreen) {
  for (int step : {0, -3}) {
    ShownProgram p(step);
    TMainForm& m = p.main;
    SCOPED_TRACE(::testing::Message() << "step " << step << ", pixel ratio " << m.devicePixelRatioF());
    const auto check = [&](QDialog& dialog, const char* what) {
      dialog.show();
      for (int i = 0; i < 3; ++i) QApplication::processEvents();  // a dialog may lay itself out again
      EXPECT_EQ(morvell::testing::geometry_faults(&dialog), QStringList()) << what;
      dialog.hide();
    };
    check(*forms::make_file_dialog(&m, m.OpenDialog1, false), "open");
    check(*forms::make_file_dialog(&m, m.SaveDialog1, true), "save as");
    check(*forms::make_file_dialog(&m, m.SaveDialog2, true), "profile export");
    QPrinter printer;
    check(*forms::make_print_dialog(&m, printer), "print");
    // The dialogs Qt opens from inside the print dialog by itself: the printer's properties and the
    // chooser of the output file behind its "...", with their OK, Cancel and Save.
    {
      const auto print = forms::make_print_dialog(&m, printer);
      print->show();
      QApplication::processEvents();
      for (const char* button : {"properties", "fileBrowser"}) {
        auto* b = print->findChild<QAbstractButton*>(button);
        if (!b || !b->isEnabled()) {
          ADD_FAILURE() << "the print dialog has no " << button << " button to press";
          continue;
        }
        bool seen = false;
        QTimer::singleShot(0, [&] {
          for (int i = 0; i < 3; ++i) QApplication::processEvents();
          QWidget* opened = QApplication::activeModalWidget();
          if (opened && opened != print.get()) {
            seen = true;
            EXPECT_EQ(morvell::testing::geometry_faults(opened), QStringList()) << button;
            if (auto* dialog = qobject_cast<QDialog*>(opened)) dialog->reject();
          }
        });
        b->click();
        EXPECT_TRUE(seen) << button << " opened no dialog";
      }
      print->hide();
    }
    const QString path = QDir::current().absoluteFilePath(QString(200, QChar('g')) + ".mvl");
    for (const QString& text :
         {QStringLiteral("These settings will only take full effect on quality of graphics, text size and all windows "
                         "when the program is re-started"),
          QStringLiteral("%1 could not be read: line 12: the module must lie between 0.1 and 100").arg(path)})
      check(*forms::make_message_box(&m, QMessageBox::Warning, "Morvell", text, QMessageBox::Ok), "message box");
    m.hide();
  }
}
