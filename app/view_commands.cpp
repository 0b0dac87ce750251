// The main window's pictures and the commands they share: the report/plot toggle, the 2D and 3D
// switches, the view menus, the zoom, pan, rotate and reset buttons and the mouse on the 2D image and
// the 3D view.
#include <QAction>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPixmap>
#include <QPushButton>
#include <QTextEdit>

#include <cmath>
#include <cstdint>

#include "field_events.h"
#include "main_window.h"
#include "mesh_plot.h"
#include "mesh_plot_math.h"
#include "modal_services.h"
#include "opengl_panel.h"
#include "screen_picture.h"
#include "view_3d.h"
#include "view_3d_math.h"

namespace morvell {

namespace {

// Position of a mouse event in whole pixels of the widget.
int mouse_x(QEvent* e) { return static_cast<QMouseEvent*>(e)->position().toPoint().x(); }
int mouse_y(QEvent* e) { return static_cast<QMouseEvent*>(e)->position().toPoint().y(); }

enum class OpenGL { Available, MemoryPlatform, Missing };

// Qt's offscreen and minimal platforms draw into memory only and have no OpenGL widgets. A display
// may offer no OpenGL either (an X server without GLX and EGL, a remote display, or Qt told so with
// QT_XCB_GL_INTEGRATION=none): a window that holds an OpenGL panel cannot even be shown there, so a
// context is made current on a small surface first.
OpenGL opengl_on_display() {
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return OpenGL::MemoryPlatform;
  QOpenGLContext context;
  if (!context.create()) return OpenGL::Missing;
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  if (!surface.isValid() || !context.makeCurrent(&surface)) return OpenGL::Missing;
  context.doneCurrent();
  return OpenGL::Available;
}

// From this many teeth drawn a paint of the 3D view takes long enough to show the wait cursor.
constexpr int64_t kSlow3dPaintTeeth = 300;

// The cursor of the 3D view, when the window has one.
void set_panel_cursor(TOpenGLPanel* panel, Qt::CursorShape shape) {
  if (panel) panel->setCursor(shape);
}

}  // namespace

void TMainForm::wire_views() {
  // Failures of the drawing panel are shown in a message box, as every message of the program.
  set_panel_error_reporter([](const QString& text) {
    forms::services().message(nullptr, QGuiApplication::applicationDisplayName(), text, forms::MessageIcon::Error);
  });
  // The 3D view lies over the 2D image, hidden until "3D Plot". A platform without OpenGL (Qt's
  // offscreen platform) cannot even show a window that holds an OpenGL panel: there the window has none
  // and the pictures are 2D only. On a display without OpenGL the user is told so, and "3D Plot" is off.
  const OpenGL opengl = opengl_on_display();
  if (opengl == OpenGL::Missing) {
    no_3d_view_ = true;
    plot3Dbutton->setEnabled(false);
    plot3Dbutton->setToolTip(kNo3DViewText);
  }
  if (opengl == OpenGL::Available) {
    OpenGLPanel1 = new TOpenGLPanel(Image1->parentWidget());
    OpenGLPanel1->setObjectName("OpenGLPanel1");
    OpenGLPanel1->setGeometry(Image1->geometry());
    OpenGLPanel1->hide();
    OpenGLPanel1->OnInit = [this](TOpenGLPanel*) { OpenGLPanel1Init(); };
    OpenGLPanel1->OnPaint = [this](TOpenGLPanel*) { OpenGLPanel1Paint(); };
    OpenGLPanel1->OnMouseDown = [this](TOpenGLPanel*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
      OpenGLPanel1MouseDown(x, y);
    };
    OpenGLPanel1->OnMouseUp = [this](TOpenGLPanel*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
      OpenGLPanel1MouseUp(x, y);
    };
  }
  zoom_3d(d_) = 1.0f;

  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  forms::on_event(Image1, QEvent::MouseButtonPress, [this](QEvent* e) {
    Image1MouseDown(mouse_x(e), mouse_y(e));
    return true;
  });
  // The second press of a double click comes as a double click, followed by its release: it is a
  // press like the first, or the release alone would move the plot by the click's position.
  forms::on_event(Image1, QEvent::MouseButtonDblClick, [this](QEvent* e) {
    Image1MouseDown(mouse_x(e), mouse_y(e));
    return true;
  });
  forms::on_event(Image1, QEvent::MouseButtonRelease, [this](QEvent* e) {
    Image1MouseUp(mouse_x(e), mouse_y(e));
    return true;
  });

  forms::on_click(Showplotbutton, [this] { ShowplotbuttonClick(); });
  forms::on_click(Zoominbutton, [this] { ZoominbuttonClick(); });
  forms::on_click(Zoomoutbutton, [this] { ZoomoutbuttonClick(); });
  forms::on_click(PanButton, [this] { PanButtonClick(); });
  forms::on_click(resetButton, [this] { resetButtonClick(); });
  forms::on_click(plot3Dbutton, [this] { plot3DbuttonClick(); });
  forms::on_click(plot2Dbutton, [this] { plot2DbuttonClick(); });
  forms::on_click(rotatebutton, [this] { rotatebuttonClick(); });
  forms::on_triggered(ViewPinion1, [this] { ViewPinion1Click(); });
  forms::on_triggered(ViewWheel1, [this] { ViewWheel1Click(); });
  forms::on_triggered(ViewMesh1, [this] { ViewMesh1Click(); });
  forms::on_triggered(ShowNominalProfile1, [this] { ShowNominalProfile1Click(); });
}

const char* const TMainForm::kNo3DViewText =
    "This display offers no OpenGL: the 3D view cannot be shown. The 2D plot, the reports, the charts and "
    "every other window work as usual.";

void TMainForm::tell_of_missing_views() {
  if (no_3d_view_)
    forms::services().message(this, QGuiApplication::applicationDisplayName(), kNo3DViewText,
                              forms::MessageIcon::Warning);
}

void TMainForm::mainform_meshplot_report() {
  // At the screen's pixel ratio, so that the screen shows the plot's own pixels.
  QImage image = picture_for(Image1);
  if (image.isNull()) return;  // no room to draw in
  draw_mesh_plot(d_, image);
  Image1->setPixmap(QPixmap::fromImage(image));
}

void TMainForm::set_picture_controls(bool picture) {
  mainresults->setVisible(!picture);
  for (QWidget* w : {static_cast<QWidget*>(Zoominbutton), static_cast<QWidget*>(Zoomoutbutton),
                     static_cast<QWidget*>(PanButton), static_cast<QWidget*>(resetButton),
                     static_cast<QWidget*>(Image1)})
    w->setVisible(picture);
  for (QAction* a : {ViewPinion1, ViewWheel1, ViewMesh1, ShowNominalProfile1}) a->setEnabled(picture);
  for (QAction* a : {Geometry1, RatingDetails1, RatingResults1}) a->setEnabled(!picture);
}

void TMainForm::ShowplotbuttonClick() {
  if (mainresults->isHidden()) {
    // A picture is shown: back to the report.
    set_picture_controls(false);
    if (OpenGLPanel1) OpenGLPanel1->hide();
    for (QWidget* w : {static_cast<QWidget*>(plot2Dbutton), static_cast<QWidget*>(rotatebutton),
                       static_cast<QWidget*>(plot3Dbutton)})
      w->hide();
    if (d_.report_selection == 2 || d_.report_selection == 3) {
      ListBox1->show();
      RateGears1->setEnabled(true);
    }
    return;
  }
  set_picture_controls(true);
  RateGears1->setEnabled(false);
  ListBox1->hide();
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
  d_.pan_x_3d = 0;
  d_.pan_y_3d = 0;
  plot3Dbutton->show();
  plot2Dbutton->hide();
  rotatebutton->hide();
  SetMain_textboxes();
}

void TMainForm::plot3DbuttonClick() {
  set_picture_controls(true);
  ListBox1->hide();
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
  zoom_3d(d_) = 1.0f;
  if (OpenGLPanel1) {
    OpenGLPanel1->show();
    OpenGLPanel1->raise();
  }
  plot3Dbutton->hide();
  plot2Dbutton->show();
  rotatebutton->show();
}

void TMainForm::plot2DbuttonClick() {
  set_picture_controls(true);
  ListBox1->hide();
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
  d_.pan_x_3d = 0;
  d_.pan_y_3d = 0;
  zoom_3d(d_) = 1.0f;
  if (OpenGLPanel1) OpenGLPanel1->hide();
  plot3Dbutton->show();
  plot2Dbutton->hide();
  rotatebutton->hide();
}

void TMainForm::rotatebuttonClick() {
  d_.mouse_tool = kToolRotate;
  set_panel_cursor(OpenGLPanel1, Qt::SizeHorCursor);
}

void TMainForm::ViewPinion1Click() {
  d_.view_selection = kViewPinion;
  SetMain_textboxes();
}

void TMainForm::ViewWheel1Click() {
  d_.view_selection = kViewWheel;
  SetMain_textboxes();
}

void TMainForm::ViewMesh1Click() {
  d_.view_selection = kViewMesh;
  SetMain_textboxes();
}

void TMainForm::ShowNominalProfile1Click() {
  d_.show_nominal_profile = d_.show_nominal_profile == 0 ? 1 : 0;
  SetMain_textboxes();
}

void TMainForm::ZoominbuttonClick() {
  d_.mouse_tool = kToolZoomIn;
  Image1->setCursor(Qt::PointingHandCursor);
  set_panel_cursor(OpenGLPanel1, Qt::PointingHandCursor);
  SetMain_textboxes();
}

void TMainForm::ZoomoutbuttonClick() {
  d_.mouse_tool = kToolZoomOut;
  Image1->setCursor(Qt::PointingHandCursor);
  set_panel_cursor(OpenGLPanel1, Qt::PointingHandCursor);
  SetMain_textboxes();
}

void TMainForm::PanButtonClick() {
  d_.mouse_tool = kToolPan;
  Image1->setCursor(Qt::SizeAllCursor);
  set_panel_cursor(OpenGLPanel1, Qt::SizeAllCursor);
}

void TMainForm::resetButtonClick() {
  d_.plot_zoom = 1.0f;
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
  d_.pan_x_3d = 0;
  d_.pan_y_3d = 0;
  zoom_3d(d_) = 1.0f;
  d_.view_rotation_3d = 45;
  SetMain_textboxes();
}

void TMainForm::Image1MouseDown(int x, int y) { mesh_plot_mouse_down(d_, x, y); }

void TMainForm::Image1MouseUp(int x, int y) {
  mesh_plot_mouse_up(d_, x, y, Image1->height());
  SetMain_textboxes();
}

void TMainForm::OpenGLPanel1Init() { init_3d_view(d_); }

// The drawing scales with the panel, which scales with the window, and is drawn in the screen's pixels.
void TMainForm::OpenGLPanel1Paint() {
  // A pair of many teeth takes a second or more to draw (every tooth is swept anew): the wait cursor
  // says so meanwhile.
  const int32_t z1 = d_.view_selection == kViewWheel ? 0 : d_.teeth[0];
  const int32_t z2 = d_.view_selection == kViewPinion ? 0 : d_.teeth[1];
  const bool slow = int64_t(z1) + int64_t(z2) >= kSlow3dPaintTeeth;
  if (slow) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  paint_3d_view(d_, int(std::lround(view_3d_viewport(OpenGLPanel1->width() * OpenGLPanel1->devicePixelRatioF()))));
  if (slow) QGuiApplication::restoreOverrideCursor();
}

void TMainForm::OpenGLPanel1MouseDown(int x, int y) { view_3d_mouse_down(d_, x, y); }

void TMainForm::OpenGLPanel1MouseUp(int x, int y) {
  // The panel lies over the 2D image, with its size (a window without OpenGL has only the image).
  const QWidget* panel = OpenGLPanel1 ? static_cast<QWidget*>(OpenGLPanel1) : Image1;
  view_3d_mouse_up(d_, x, y, view_3d_viewport(panel->width()));
  const int32_t tool = d_.mouse_tool;
  if (tool == kToolPan || tool == kToolZoomIn || tool == kToolZoomOut || tool == kToolRotate)
    if (OpenGLPanel1) OpenGLPanel1->repaint();
}

}  // namespace morvell
