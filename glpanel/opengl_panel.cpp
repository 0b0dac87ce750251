#include "opengl_panel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPrinter>
#include <QScreen>

#include <GL/gl.h>

#include <cfenv>

namespace morvell {

namespace {
PanelErrorReporter& installed_reporter() {
  static PanelErrorReporter reporter;
  return reporter;
}

QFont default_panel_font() {
  QFont f(QStringLiteral("Arial"));
  f.setBold(true);
  f.setPixelSize(9);
  return f;
}
}  // namespace

PanelErrorReporter set_panel_error_reporter(PanelErrorReporter reporter) {
  PanelErrorReporter before = std::move(installed_reporter());
  installed_reporter() = std::move(reporter);
  return before;
}

void report_panel_error(const QString& text) {
  if (installed_reporter()) {
    installed_reporter()(text);
    return;
  }
  QMessageBox::warning(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(), text,
                       QMessageBox::Ok);
}

TOpenGLPanel::TOpenGLPanel(QWidget* owner) : QOpenGLWidget(owner) {
  // Calculations drawn by the panel's owner run on through infinities and NaN.
  fedisableexcept(FE_ALL_EXCEPT);
  font3d_type_ = default_panel_font();
  font2d_type_ = default_panel_font();
}

TOpenGLPanel::~TOpenGLPanel() {
  if (QOpenGLContext* ctx = context()) disconnect(ctx, nullptr, this, nullptr);
  DestroyGLContext();
}

void TOpenGLPanel::SetPFDPixelType(TPFDPixelTypes type) {
  pixel_type_ = type;
  pixel_type_code_ = type == f_PFD_TYPE_COLORINDEX ? PFD_TYPE_COLORINDEX : PFD_TYPE_RGBA;
}

void TOpenGLPanel::SetPFDFlags(PFDFlagSet flags) { pfd_flags_ = apply_pfd_flag_invariant(pfd_flags_, flags); }

void TOpenGLPanel::SetFont3DFormat(TFont3DFormat format) {
  font3d_format_ = format;
  font3d_format_code_ = format == f_WGL_FONT_LINES ? 0 : 1;
}

void TOpenGLPanel::CreateParams() {
  if (OnPreInit) OnPreInit(this);
  requested_ = make_pixel_format_descriptor(pixel_type_code_, pfd_flags_, color_bits_, depth_bits_);
  setFormat(surface_format_for(requested_));
  params_done_ = true;
  create_failure_reported_ = false;
}

bool TOpenGLPanel::CreateGLContext() {
  QOpenGLContext* ctx = context();
  if (requested_.iPixelType != PFD_TYPE_RGBA) {
    // No colour-index format exists on this display.
    report_panel_error(QStringLiteral("ChoosePixelFormat:%1").arg(kErrorInvalidPixelFormat));
    return false;
  }
  if (!ctx || !ctx->isValid()) {
    report_panel_error(QStringLiteral("wglRenderingContext:0"));
    return false;
  }
  double_buffered_ = (requested_.dwFlags & PFD_DOUBLEBUFFER) != 0;
  described_ = describe_surface_format(requested_, ctx->format());
  if (described_.dwFlags & PFD_NEED_PALETTE) {
    if (!ConstructPalette(described_)) return false;
  } else {
    palette_.clear();
  }
  return true;
}

bool TOpenGLPanel::ConstructPalette(PixelFormatDescriptor& format) {
  try {
    palette_ = palette_entries_for(format);
  } catch (const std::bad_alloc&) {
    report_panel_error(QStringLiteral("ConstructPalette: Malloc failure"));
    return false;
  }
  return true;
}

void TOpenGLPanel::DestroyGLContext() {
  if (font3d_ || font2d_) {
    // The display lists are deleted in their own context.
    font3d_.reset();
    font2d_.reset();
  }
  release_if_current();
  has_context_ = false;
  palette_.clear();
}

void TOpenGLPanel::context_about_to_be_destroyed() {
  DestroyGLContext();
  params_done_ = false;
}

void TOpenGLPanel::release_if_current() {
  QOpenGLContext* ctx = context();
  if (ctx && QOpenGLContext::currentContext() == ctx) doneCurrent();
}

bool TOpenGLPanel::event(QEvent* e) {
  const QEvent::Type t = e->type();
  const bool may_create = t == QEvent::Show || t == QEvent::Resize || t == QEvent::Polish ||
                          t == QEvent::WindowChangeInternal || t == QEvent::Paint;
  if (may_create && !params_done_ && !isValid()) CreateParams();
  const bool handled = QOpenGLWidget::event(e);
  if (may_create && params_done_ && !isValid() && isVisible() && !size().isEmpty() &&
      !create_failure_reported_ && (t == QEvent::Show || t == QEvent::Paint)) {
    // Qt could not create a context for this panel at all.
    create_failure_reported_ = true;
    report_panel_error(QStringLiteral("wglRenderingContext:0"));
    report_panel_error(QStringLiteral("Open GL Context Create Failed"));
  }
  // Between events no context is current.
  release_if_current();
  return handled;
}

void TOpenGLPanel::initializeGL() {
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
          &TOpenGLPanel::context_about_to_be_destroyed, Qt::UniqueConnection);
  if (!params_done_) {
    // Created without a show (a capture of a panel never shown): the request was made from the
    // properties of now.
    requested_ = make_pixel_format_descriptor(pixel_type_code_, pfd_flags_, color_bits_, depth_bits_);
    params_done_ = true;
  }
  has_context_ = CreateGLContext();
  if (!has_context_) {
    create_failure_reported_ = true;
    report_panel_error(QStringLiteral("Open GL Context Create Failed"));
    return;
  }
  if (!OnInit) return;
  MakeOpenGLPanelCurrent();
  if (font3d_enabled_) Create3DFont();
  if (font2d_enabled_) Create2DFont();
  OnInit(this);
}

void TOpenGLPanel::paintGL() {
  if (!has_context_ || !OnPaint) return;
  // The display is direct colour: a palette, if any, is never realised.
  MakeOpenGLPanelCurrent();
  if (QOpenGLContext::currentContext() != context()) return;
  OnPaint(this);
  if (swap_mode_ == Auto && double_buffered_) SwapBuffers();
}

void TOpenGLPanel::resizeGL(int, int) {
  if (!has_context_ || !OnResize) return;
  MakeOpenGLPanelCurrent();
  if (QOpenGLContext::currentContext() != context()) return;
  OnResize(this);
}

void TOpenGLPanel::MakeOpenGLPanelCurrent() {
  QOpenGLContext* ctx = context();
  if (ctx && ctx->isValid()) {
    if (QOpenGLContext::currentContext() != ctx) makeCurrent();
    if (QOpenGLContext::currentContext() == ctx) return;
  }
  report_panel_error(QStringLiteral("wglMakeCurrent:0"));
}

void TOpenGLPanel::MakeOpenGLPanelNotCurrent() {
  QOpenGLContext* ctx = QOpenGLContext::currentContext();
  if (!ctx) return;
  if (ctx == context())
    doneCurrent();
  else
    ctx->doneCurrent();
}

void TOpenGLPanel::SwapBuffers() {
  if (!double_buffered_) return;
  if (QOpenGLContext::currentContext() == context() && context()) glFlush();
}

bool TOpenGLPanel::PanelShareLists(TOpenGLPanel* other) {
  if (!other || !context() || !other->context()) return false;
  return QOpenGLContext::areSharing(context(), other->context());
}

bool TOpenGLPanel::QueryOpenGLExtention(const char* name) const {
  if (!name) return false;
  const GLubyte* list = glGetString(GL_EXTENSIONS);
  if (!list) return false;
  return extension_in_list(reinterpret_cast<const char*>(list), name);
}

bool extension_in_list(const char* list, std::string_view name) {
  if (!list || name.empty()) return false;
  std::string_view rest(list);
  while (!rest.empty()) {
    const size_t space = rest.find(' ');
    const std::string_view word = rest.substr(0, space);
    if (word == name) return true;
    if (space == std::string_view::npos) break;
    rest.remove_prefix(space + 1);
  }
  return false;
}

int TOpenGLPanel::GetDisplayBPP() const {
  const QScreen* s = screen();
  if (!s) s = QGuiApplication::primaryScreen();
  return s ? s->depth() : 0;
}

bool TOpenGLPanel::SetDisplayBPP(int) { return false; }

void TOpenGLPanel::mousePressEvent(QMouseEvent* e) {
  mouse_pressed_ = true;
  if (OnMouseDown)
    OnMouseDown(this, e->button(), e->modifiers(), static_cast<int>(e->position().x()),
                static_cast<int>(e->position().y()));
}

void TOpenGLPanel::mouseMoveEvent(QMouseEvent* e) {
  if (OnMouseMove)
    OnMouseMove(this, e->button(), e->modifiers(), static_cast<int>(e->position().x()),
                static_cast<int>(e->position().y()));
}

void TOpenGLPanel::mouseReleaseEvent(QMouseEvent* e) {
  const bool was_pressed = mouse_pressed_;
  mouse_pressed_ = false;
  if (was_pressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
    OnClick(this);
  if (OnMouseUp)
    OnMouseUp(this, e->button(), e->modifiers(), static_cast<int>(e->position().x()),
              static_cast<int>(e->position().y()));
}

void TOpenGLPanel::mouseDoubleClickEvent(QMouseEvent* e) {
  mouse_pressed_ = true;
  if (OnDblClick && e->button() == Qt::LeftButton) OnDblClick(this);
  if (OnMouseDown)
    OnMouseDown(this, e->button(), e->modifiers(), static_cast<int>(e->position().x()),
                static_cast<int>(e->position().y()));
}

}  // namespace morvell
