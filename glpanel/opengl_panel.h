// TOpenGLPanel: a panel that owns one OpenGL rendering context (compatibility profile, immediate mode)
// and lets its owner draw through events. The context is current only inside the owner events
// (OnInit, OnPaint, OnResize) or between MakeOpenGLPanelCurrent and MakeOpenGLPanelNotCurrent.
//
// The pixel-format properties are read when the context is first created (the first time the panel is
// shown or captured); changing them later changes nothing. When Qt creates the context again (the panel
// moved to another window), OnInit runs again and the fonts are rebuilt from the properties of now, in
// the pixel format of the first creation.
#pragma once

#include "gl_font.h"
#include "pixel_format.h"

#include <QFont>
#include <QImage>
#include <QOpenGLWidget>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class QPrinter;

namespace morvell {

enum TOpenGLSwapBuffers { Auto, Manual };
enum TOpenGLPrintScale { pglNone, pglPrintToFit, pglProportional };
enum TFont3DFormat { f_WGL_FONT_LINES, f_WGL_FONT_POLYGONS };

// Receives the text of every failure of a panel ("wglMakeCurrent:0", "Print: Malloc Error", ...).
// The program installs one that shows a modal message box through its services; tests install one
// that records. With none installed, a modal message box with an OK button is shown.
using PanelErrorReporter = std::function<void(const QString&)>;

// Installs the reporter and returns the one installed before.
PanelErrorReporter set_panel_error_reporter(PanelErrorReporter reporter);
void report_panel_error(const QString& text);

// The error code reported after "ChoosePixelFormat:" when no pixel format matches the request
// (colour-index formats do not exist here). Failures that carry no system code report 0.
inline constexpr int kErrorInvalidPixelFormat = 2000;

// A bitmap loaded for use as a texture image: pixel rows from the bottom image row upwards, each pixel
// red, green, blue (and alpha 255 when loaded with alpha).
struct BMPTexture {
  std::int32_t reserved = 0;    // not used by the loader
  std::int32_t components = 0;  // 4 with alpha, 3 without
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t format = 0;  // GL_RGBA or GL_RGB
  std::int32_t type = 0;    // GL_UNSIGNED_BYTE
  std::vector<std::uint8_t> pixels;  // width x height x components bytes
};

// The rectangle (left, top, right, bottom in printer pixels) into which a picture of w x h pixels is
// printed on a page of page_w x page_h printer pixels at dpi_x x dpi_y, 0.18 inch from the left and
// top edges. Proportional printing uses pixels_per_inch, which becomes 96 when it is 0 or less. Print
// to fit scales by a whole factor of at least 1.
struct PrintRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
PrintRect print_rectangle(TOpenGLPrintScale scale, int& pixels_per_inch, int dpi_x, int dpi_y,
                          int page_w, int page_h, int w, int h);

// True when `name` is one of the space-separated names of `list` as a whole word.
bool extension_in_list(const char* list, std::string_view name);

class TOpenGLPanel : public QOpenGLWidget {
  Q_OBJECT

 public:
  using TNotifyEvent = std::function<void(TOpenGLPanel* sender)>;
  using TMouseEvent = std::function<void(TOpenGLPanel* sender, Qt::MouseButton button,
                                         Qt::KeyboardModifiers shift, int x, int y)>;

  // Masks every floating-point exception of the calling thread (never restored): from here on a
  // division by zero yields an infinity and an invalid operation a NaN.
  explicit TOpenGLPanel(QWidget* owner = nullptr);
  ~TOpenGLPanel() override;

  // Properties, with their defaults.
  TPFDPixelTypes PixelType() const { return pixel_type_; }        // f_PFD_TYPE_RGBA
  PFDFlagSet PFDFlags() const { return pfd_flags_; }              // draw to window, OpenGL, double buffer
  std::uint8_t cColorBits() const { return color_bits_; }         // 32
  std::uint8_t cDepthBits() const { return depth_bits_; }         // 32
  TOpenGLSwapBuffers GLSwapBuffers() const { return swap_mode_; }  // Auto
  std::int32_t PixelsPerInch() const { return pixels_per_inch_; }  // 96
  TOpenGLPrintScale PrintScale() const { return print_scale_; }   // pglProportional
  bool Font3D_Enabled() const { return font3d_enabled_; }         // false
  const QFont& Font3D_Type() const { return font3d_type_; }       // Arial, bold, 9 pixels
  std::int32_t Font3D_FirstGylph() const { return font3d_first_; }  // 32
  std::int32_t Font3D_NumGylph() const { return font3d_count_; }    // 96
  float Font3D_MaxDeviation() const { return font3d_deviation_; }   // 0
  float Font3D_Extrustion() const { return font3d_extrusion_; }     // 0.1
  TFont3DFormat Font3D_Format() const { return font3d_format_; }    // f_WGL_FONT_POLYGONS
  bool Font2D_Enabled() const { return font2d_enabled_; }           // false
  const QFont& Font2D_Type() const { return font2d_type_; }         // Arial, bold, 9 pixels
  std::int32_t Font2D_FirstGylph() const { return font2d_first_; }  // 32
  std::int32_t Font2D_NumGylph() const { return font2d_count_; }    // 96

  void SetPFDPixelType(TPFDPixelTypes type);
  // Keeps exactly one of f_PFD_SUPPORT_GDI and f_PFD_DOUBLEBUFFER (see apply_pfd_flag_invariant).
  void SetPFDFlags(PFDFlagSet flags);
  void SetPFDNumColorBits(std::uint8_t bits) { color_bits_ = bits; }
  void SetPFDNumDepthBits(std::uint8_t bits) { depth_bits_ = bits; }
  void SetGLSwapBuffers(TOpenGLSwapBuffers mode) { swap_mode_ = mode; }
  void SetOpenGLPixelsPerInch(std::int32_t ppi) { pixels_per_inch_ = ppi; }
  void SetOpenGLPrintScale(TOpenGLPrintScale scale) { print_scale_ = scale; }
  void SetFont3D_Enabled(bool on) { font3d_enabled_ = on; }
  void SetFont3DType(const QFont& font) { font3d_type_ = font; }  // copies the attributes
  void SetFont3D_FirstGylph(std::int32_t first) { font3d_first_ = first; }
  void SetFont3D_NumGylph(std::int32_t count) { font3d_count_ = count; }
  void SetFont3D_MaxDeviation(float deviation) { font3d_deviation_ = deviation; }
  void SetFont3D_Extrustion(float extrusion) { font3d_extrusion_ = extrusion; }
  void SetFont3DFormat(TFont3DFormat format);
  void SetFont2D_Enabled(bool on) { font2d_enabled_ = on; }
  void SetFont(const QFont& font) { font2d_type_ = font; }  // the 2D font; copies the attributes
  void SetFont2D_FirstGylph(std::int32_t first) { font2d_first_ = first; }
  void SetFont2D_NumGylph(std::int32_t count) { font2d_count_ = count; }

  // Owner events, each called with the panel as sender.
  TNotifyEvent OnPreInit;  // before the context is created; the format properties may still change
  TNotifyEvent OnInit;     // once per context creation, context current
  TNotifyEvent OnPaint;    // every paint, context current; the owner draws the whole picture
  TNotifyEvent OnResize;   // after every size change, context current
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

  // Context.
  void MakeOpenGLPanelCurrent();  // failure reports "wglMakeCurrent:" + code
  void MakeOpenGLPanelNotCurrent();
  // Ends the picture of a double-buffered panel (whatever GLSwapBuffers says); nothing otherwise.
  // Qt composites the picture itself, so this only flushes the drawing commands.
  virtual void SwapBuffers();
  // True when this panel's display lists are shared with the other panel's context. Contexts share
  // from their creation on (panels in one window always do); sharing cannot be added afterwards.
  bool PanelShareLists(TOpenGLPanel* other);

  bool HasGLContext() const { return has_context_; }
  bool DoubleBuffered() const { return double_buffered_; }
  // The descriptor requested at the last context creation and the one describing what was obtained.
  const PixelFormatDescriptor& RequestedFormat() const { return requested_; }
  const PixelFormatDescriptor& DescribedFormat() const { return described_; }
  // The logical palette (empty unless the obtained format needs one). The display is direct colour,
  // so the palette is never realised.
  const std::vector<PaletteEntry>& Palette() const { return palette_; }

  // Printing, saving, textures.
  // The picture as it is now: the panel is raised and painted at once, and its frame read back.
  QImage CapturePicture();
  // Prints the picture as one document on `printer` (a real printer or a PDF file; none: the default
  // printer). False when nothing was printed.
  bool PrintOpenGLPanel(QPrinter* printer = nullptr);
  // Writes the picture as a Windows bitmap file; throws std::runtime_error when it cannot be written.
  void SaveOpenGLPanelToFile(const QString& file_name);
  // Reads a bitmap file into a new texture record; throws std::runtime_error when it cannot be read
  // (also when it is no regular file or longer than kMaxBitmapFileBytes).
  static std::unique_ptr<BMPTexture> LoadBMPTexture(const QString& file_name, bool alpha);

  // Fonts and text: the context must be current.
  std::unique_ptr<OpenGLFont3D> Create3DFont(const QFont* font, int first, int count, float deviation,
                                             float extrusion, int format);
  std::unique_ptr<OpenGLFont2D> Create2DFont(const QFont* font, int first, int count);
  OpenGLFont3D* Font3D() const { return font3d_.get(); }
  OpenGLFont2D* Font2D() const { return font2d_.get(); }
  static void Get3DTextSize(const OpenGLFont3D* font, std::string_view text, std::array<double, 3>* size);
  void Get3DTextSize(std::string_view text, std::array<double, 3>* size) const;
  static void Draw3DText(const OpenGLFont3D* font, std::string_view text);
  void Draw3DText(std::string_view text) const;
  static void Draw2DText(const OpenGLFont2D* font, std::string_view text);
  void Draw2DText(std::string_view text) const;
  bool QueryOpenGLExtention(const char* name) const;
  int GetDisplayBPP() const;
  // The X display's colour depth cannot be changed by a program: always false.
  bool SetDisplayBPP(int bits_per_pixel);

 protected:
  // Runs OnPreInit and turns the format properties into the context request.
  virtual void CreateParams();
  virtual bool CreateGLContext();
  virtual void DestroyGLContext();
  bool ConstructPalette(PixelFormatDescriptor& format);
  // Rebuild the panel's own fonts from the properties, deleting the previous ones.
  void Create3DFont();
  void Create2DFont();

  bool event(QEvent* e) override;
  void initializeGL() override;  // the context was created
  void paintGL() override;       // paint
  void resizeGL(int w, int h) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  void context_about_to_be_destroyed();
  void release_if_current();

  TPFDPixelTypes pixel_type_ = f_PFD_TYPE_RGBA;
  std::uint8_t pixel_type_code_ = PFD_TYPE_RGBA;
  PFDFlagSet pfd_flags_{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER};
  std::uint8_t color_bits_ = 32;
  std::uint8_t depth_bits_ = 32;
  TOpenGLSwapBuffers swap_mode_ = Auto;
  TOpenGLPrintScale print_scale_ = pglProportional;
  std::int32_t pixels_per_inch_ = 96;
  bool font3d_enabled_ = false;
  QFont font3d_type_;
  std::int32_t font3d_first_ = 32;
  std::int32_t font3d_count_ = 96;
  float font3d_deviation_ = 0.0f;
  float font3d_extrusion_ = 0.1f;
  TFont3DFormat font3d_format_ = f_WGL_FONT_POLYGONS;
  int font3d_format_code_ = 1;
  bool font2d_enabled_ = false;
  QFont font2d_type_;
  std::int32_t font2d_first_ = 32;
  std::int32_t font2d_count_ = 96;

  std::unique_ptr<OpenGLFont3D> font3d_;
  std::unique_ptr<OpenGLFont2D> font2d_;

  bool params_done_ = false;     // the context request of the coming creation is made
  bool has_context_ = false;     // the context was created successfully and still exists
  bool create_failure_reported_ = false;
  bool double_buffered_ = false;
  bool mouse_pressed_ = false;
  PixelFormatDescriptor requested_;
  PixelFormatDescriptor described_;
  std::vector<PaletteEntry> palette_;
  std::unique_ptr<QPrinter> default_printer_;
};

}  // namespace morvell
