#include "startup_form.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>

#include "field_events.h"
#include "file_commands.h"
#include "file_names.h"
#include "modal_services.h"
#include "numeric.h"
#include "sizing_form.h"
#include "splash_form.h"
#include "window_scale.h"

namespace morvell {

Tstartupform* startupform = nullptr;

namespace {

constexpr char kNoFileMarker = '\n';  // design_file_name holds no chosen file while it begins with this

// Shows a window of the program modally: the program's instance, or one of its own where none exists
// (a window tested on its own).
template <typename Form>
void show_modal_form(Form* instance, DesignData& d, QWidget* parent) {
  if (instance) {
    forms::services().show_modal(*instance);
    return;
  }
  Form form(d, parent);
  forms::services().show_modal(form);
}

}  // namespace

Tstartupform::Tstartupform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("startupform");
  setWindowTitle("Morvell");

  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  MainMenu1->setNativeMenuBar(false);
  File1 = MainMenu1->addMenu("File ");
  File1->setObjectName("File1");
  New1 = File1->addMenu("New");
  New1->setObjectName("New1");
  SizingWizard1 = New1->addAction("Size gears");
  SizingWizard1->setObjectName("SizingWizard1");
  Entergeometrydata1 = New1->addAction("Enter geometry data");
  Entergeometrydata1->setObjectName("Entergeometrydata1");
  Open1 = File1->addAction("Open");
  Open1->setObjectName("Open1");
  Help1 = MainMenu1->addMenu("Help");
  Help1->setObjectName("Help1");
  About1 = Help1->addAction("About");
  About1->setObjectName("About1");

  // Menu bar, a client area of 1006 x 674 and the status strip, one below the other. The window's layout
  // places them: the menu bar always at the height its items need in its font, whatever the window
  // scale made of the window.
  auto* client = new QWidget(this);
  client->setObjectName("client");
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  statusfilename = new QLineEdit("Filename :", StatusBar1);
  statusfilename->setObjectName("statusfilename");
  statusfilename->setReadOnly(true);
  statusfilename->setFrame(false);
  statusfilename->setFocusPolicy(Qt::NoFocus);
  StatusBar1->addWidget(statusfilename, 1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->setMenuBar(MainMenu1);
  column->addWidget(client, 1);
  column->addWidget(StatusBar1);
  const int menu_height = MainMenu1->sizeHint().height();
  const int status_height = StatusBar1->sizeHint().height();
  setFixedSize(1006, menu_height + 674 + status_height);  // fixed border

  OpenDialog1.title = "Open file";
  OpenDialog1.default_suffix = "mvl";
  OpenDialog1.filter = forms::filter_from_pairs("Morvell files (*.mvl)|*.mvl|All files (*.*)|*.*");
  OpenDialog1.confirm_overwrite = false;

  forms::on_triggered(SizingWizard1, [this] { SizingWizard1Click(); });
  forms::on_triggered(Entergeometrydata1, [this] { Entergeometrydata1Click(); });
  forms::on_triggered(Open1, [this] { Open1Click(); });
  forms::on_triggered(About1, [this] { About1Click(); });

  scale_window(this, d_);
  // At the top edge of the screen, centred horizontally.
  place_at_top_centre(this);
  d_.edit_changed = 0;
  FormCreate();
}

void Tstartupform::FormCreate() { d_.start_mode = 0; }

void Tstartupform::Open1Click() {
  OpenDialog1.directory = dialog_folder();
  const forms::FileDialogResult chosen = forms::services().open_file(this, OpenDialog1);
  if (chosen.accepted) {
    OpenDialog1.initial_name = chosen.name;
    // A path the name field cannot hold whole would name another file: it is refused, and the window
    // stays open for another choice.
    const std::string path = local_path(chosen.name);
    if (!design_file_name_fits(path)) {
      forms::services().message(this, QGuiApplication::applicationDisplayName(),
                                shown_text(design_file_name_too_long(path)),
                                forms::MessageIcon::Warning);
      return;
    }
    copy_text(d_.design_file_name, path);
  }
  // A name chosen now, or before, no longer begins with the marker of "no file chosen".
  if (d_.design_file_name[0] != kNoFileMarker && d_.design_file_name[0] != '\0') {
    d_.start_mode = 1;
    accept();
  }
}

void Tstartupform::SizingWizard1Click() {
  d_.start_mode = 2;
  copy_text(d_.design_file_name, "");
  show_modal_form(sizingform, d_, this);
  accept();
}

void Tstartupform::Entergeometrydata1Click() {
  d_.start_mode = 3;
  copy_text(d_.design_file_name, "");
  accept();
}

void Tstartupform::About1Click() {
  d_.splash_mode = 1;
  show_modal_form(splashform, d_, this);
}

}  // namespace morvell
