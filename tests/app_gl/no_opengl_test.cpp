// The program on an X display that offers no OpenGL (no GLX, no EGL: a remote display, or Qt told so
// with QT_XCB_GL_INTEGRATION=none). Its own test entry runs it so; elsewhere it is skipped.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include "main_window.h"
#include "program.h"

using namespace morvell;

namespace {

void pump() {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 200) QCoreApplication::processEvents();
}

}  // namespace

// The main window shows (a window holding an OpenGL panel would end the program there), says once that
// the 3D view cannot be shown, and keeps "3D Plot" off; the report and the 2D plot work.
TEST(WithoutOpenGL, TheMainWindowShowsAndSaysWhichViewItCannotShow) {
  if (qEnvironmentVariable("QT_XCB_GL_INTEGRATION") != "none") GTEST_SKIP() << "for a display without OpenGL";
  morvell::testing::Program<> p;
  TMainForm& m = *p.main;
  m.show();
  pump();
  EXPECT_TRUE(m.isVisible());
  EXPECT_EQ(m.OpenGLPanel1, nullptr);
  EXPECT_TRUE(m.no_3d_view());
  EXPECT_EQ(p.scripted.texts(forms::ScriptedModalServices::Kind::Message), QStringList{TMainForm::kNo3DViewText});
  EXPECT_FALSE(m.plot3Dbutton->isEnabled());
  EXPECT_EQ(m.plot3Dbutton->toolTip(), TMainForm::kNo3DViewText);

  // The 2D plot is drawn.
  m.Showplotbutton->click();
  pump();
  ASSERT_TRUE(m.Image1->isVisible());
  EXPECT_FALSE(m.Image1->pixmap().isNull());
  m.Showplotbutton->click();
  m.SetMain_textboxes();
  pump();
  EXPECT_EQ(p.scripted.texts(forms::ScriptedModalServices::Kind::Message).size(), 1);  // said once
}
