// tandrel_host: a stand-in CAD host. It loads the plug-in with dlopen, calls its exports, answers its
// calls as the host application and its documents, records every call and writes the sketch it
// received as SVG or DXF.
//
//   tandrel_host [--registry DIR] [--log FILE] [--svg FILE] [--dxf FILE] [--language zh|ja]
//                LIBRARY COMMAND...
//
// Commands run in order:
//   open:part|assembly|drawing  a document is opened (events 1 and 5 once the add-in listens)
//   new:part|assembly|drawing   a new document (events 2 and 5)
//   init                        InitUserDLL3
//   press                       the toolbar button (ToolbarCB0); the dialog steps after it drive the
//                               dialog it opens, message boxes are answered with OK and files it
//                               asks the desktop to open are logged, not opened; without steps the
//                               dialog is left to the person at the screen
//     set:ID=TEXT  check:ID=0|1  click:ID  key:enter|esc  grab:FILE.png
//     read                      logs the text of every input box and the box with the focus
//   button1, button2            ToolbarCB1, ToolbarCB2
//   load, save, close           events of the active document
//   shutdown                    the host goes away (event 3)
//   register, unregister        DllRegisterServer, DllUnregisterServer
// The library is unloaded at the end; the log, SVG and DXF are written after that, each as a whole new
// file or not at all (the old one then stays).
#include <dlfcn.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <iostream>
#include <string>
#include <vector>

#include "file_writing.h"
#include "recording_host.h"
#include "sketch_export.h"
#include "utf16.h"

using namespace tandrel;
using namespace tandrel::host;

namespace {

struct Step {
  std::string kind, id, text;
};

// Drives the modal dialog opened by the toolbar button: one step per tick, message boxes answered.
// While it drives, a file the plug-in asks the desktop to open is logged instead: no viewer starts
// in a run without a person.
class DialogDriver : public QObject {
  Q_OBJECT

 public:
  DialogDriver(RecordingHost& host, std::vector<Step> steps) : host_(host), steps_(std::move(steps)) {
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start(10);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenFile");
  }
  ~DialogDriver() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

 public slots:
  void OpenFile(const QUrl& url) { host_.log.Add("desktop opens \"" + url.toLocalFile().toStdString() + "\""); }

 private:
  void Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      host_.log.Add("message box \"" + Escape(box->text().toStdString()) + "\"");
      box->accept();
      return;
    }
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (!dialog || dialog->objectName() != QLatin1String("GearDialog")) return;
    if (next_ < steps_.size()) {
      Apply(*dialog, steps_[next_++]);
      return;
    }
    if (++idle_ > 200) {
      host_.log.Add("dialog left open by the steps: closed");
      dialog->reject();
    }
  }

  static std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
  }

  void Apply(QDialog& dialog, const Step& s) {
    QWidget* w = dialog.findChild<QWidget*>(QString::fromStdString(s.id));
    if (s.kind == "set") {
      if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(QString::fromStdString(s.text));
    } else if (s.kind == "check") {
      if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(s.text == "1");
    } else if (s.kind == "click") {
      if (auto* b = qobject_cast<QAbstractButton*>(w)) QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
    } else if (s.kind == "key") {
      const int key = s.id == "esc" ? Qt::Key_Escape : Qt::Key_Return;
      QCoreApplication::postEvent(&dialog, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    } else if (s.kind == "grab") {
      dialog.grab().save(QString::fromStdString(s.id));
    } else if (s.kind == "read") {
      // The input boxes in the order of their numbers, then the box the next key would go to.
      std::vector<QLineEdit*> boxes;
      for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (!edit->isReadOnly()) boxes.push_back(edit);
      std::sort(boxes.begin(), boxes.end(),
                [](QLineEdit* a, QLineEdit* b) { return a->objectName().toInt() < b->objectName().toInt(); });
      std::string line = "dialog boxes";
      for (QLineEdit* edit : boxes)
        line += " " + edit->objectName().toStdString() + "=\"" + edit->text().toStdString() + "\"";
      QWidget* focus = dialog.focusWidget();
      host_.log.Add(line + " focus=" + (focus ? focus->objectName().toStdString() : std::string()));
      return;
    }
    host_.log.Add("dialog step " + s.kind + ":" + s.id + (s.text.empty() ? "" : "=" + s.text));
  }

  RecordingHost& host_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int idle_ = 0;
  QTimer timer_;
};

int32_t TypeOf(const std::string& name) {
  if (name == "assembly") return 2;
  if (name == "drawing") return 3;
  return 1;
}

template <class F>
F Export(void* library, const char* name) {
  return reinterpret_cast<F>(dlsym(library, name));
}

int Usage() {
  std::cerr << "usage: tandrel_host [--registry DIR] [--log FILE] [--svg FILE] [--dxf FILE] [--language zh|ja] "
               "LIBRARY COMMAND...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // A write beyond the file-size limit or into a pipe whose reader has gone fails with an error that the
  // writers report; neither signal ends the host.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  std::string log_path, svg_path, dxf_path, language, library_path;
  std::vector<std::string> commands;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
    if (a == "--registry")
      setenv("TANDREL_REGISTRY_ROOT", value().c_str(), 1);
    else if (a == "--log")
      log_path = value();
    else if (a == "--svg")
      svg_path = value();
    else if (a == "--dxf")
      dxf_path = value();
    else if (a == "--language")
      language = value();
    else if (library_path.empty())
      library_path = a;
    else
      commands.push_back(a);
  }
  if (library_path.empty()) return Usage();

  // Only the toolbar button opens a window: everything else (registration among it) runs without a
  // display.
  bool needs_desktop = false;
  for (const std::string& c : commands) needs_desktop |= c == "press";
  std::unique_ptr<QCoreApplication> app;
  if (needs_desktop)
    app = std::make_unique<QApplication>(argc, argv);
  else
    app = std::make_unique<QCoreApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (language == "ja") QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  if (language == "zh") QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

  RecordingHost host;
  void* library = dlopen(library_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::cerr << "tandrel_host: " << dlerror() << "\n";
    return 1;
  }
  using Init = int32_t (*)(HostApplication*);
  using Call = void (*)();
  using Registration = HRESULT (*)();

  for (size_t i = 0; i < commands.size(); ++i) {
    const std::string& c = commands[i];
    const std::string head = c.substr(0, c.find(':'));
    const std::string arg = c.find(':') == std::string::npos ? std::string() : c.substr(c.find(':') + 1);
    if (head == "open") {
      host.OpenDocument(TypeOf(arg), "");
    } else if (head == "new") {
      host.NewDocument(TypeOf(arg));
    } else if (head == "init") {
      auto init = Export<Init>(library, "InitUserDLL3");
      host.log.Add("call InitUserDLL3 -> " + std::to_string(init ? init(&host) : -1));
    } else if (head == "press") {
      std::vector<Step> steps;
      while (i + 1 < commands.size()) {
        const std::string& s = commands[i + 1];
        const std::string kind = s.substr(0, s.find(':'));
        if (kind != "set" && kind != "check" && kind != "click" && kind != "key" && kind != "grab" && kind != "read")
          break;
        std::string rest = s.find(':') == std::string::npos ? std::string() : s.substr(s.find(':') + 1), text;
        if (const size_t eq = rest.find('='); eq != std::string::npos && kind != "grab") {
          text = rest.substr(eq + 1);
          rest.resize(eq);
        }
        steps.push_back(Step{kind, rest, text});
        ++i;
      }
      std::unique_ptr<DialogDriver> driver;
      if (!steps.empty()) driver = std::make_unique<DialogDriver>(host, steps);
      host.log.Add("call ToolbarCB0");
      if (auto f = Export<Call>(library, "ToolbarCB0")) f();
    } else if (head == "button1" || head == "button2") {
      const char* name = head == "button1" ? "ToolbarCB1" : "ToolbarCB2";
      host.log.Add(std::string("call ") + name);
      if (auto f = Export<Call>(library, name)) f();
    } else if (head == "load" || head == "save" || head == "close") {
      if (RecordingDocument* doc = host.active()) {
        if (head == "load") host.LoadDocument(doc);
        if (head == "save") host.SaveDocument(doc);
        if (head == "close") host.CloseDocument(doc);
      }
    } else if (head == "shutdown") {
      host.Shutdown();
    } else if (head == "register" || head == "unregister") {
      auto f = Export<Registration>(library, head == "register" ? "DllRegisterServer" : "DllUnregisterServer");
      char result[16];
      std::snprintf(result, sizeof result, "0x%08x", f ? uint32_t(f()) : 0xFFFFFFFFu);
      host.log.Add("call " + std::string(head == "register" ? "DllRegisterServer" : "DllUnregisterServer") + " -> " +
                   result);
    } else {
      std::cerr << "tandrel_host: unknown command " << c << "\n";
      dlclose(library);
      return Usage();
    }
  }
  host.log.Add("host unloads the library");
  dlclose(library);

  // The sketch of the last document that received one.
  const RecordingDocument* drawn = nullptr;
  for (RecordingDocument* d : host.OpenDocuments())
    if (!d->sketch.empty()) drawn = d;
  host.log.Add("references held on the host after unload: " + std::to_string(host.refs()));
  int status = 0;
  if (!svg_path.empty() && !(drawn && WriteSketchSvg(drawn->sketch, svg_path))) {
    std::cerr << "tandrel_host: no sketch written to " << svg_path << "\n";
    status = 1;
  }
  if (!dxf_path.empty() && !(drawn && WriteSketchDxf(drawn->sketch, dxf_path))) {
    std::cerr << "tandrel_host: no sketch written to " << dxf_path << "\n";
    status = 1;
  }
  std::string log;
  for (const std::string& line : host.log.lines) log += line + "\n";
  if (log_path.empty()) {
    std::cout << log;
  } else if (!morvell::replace_file(log_path, log).ok()) {
    std::cerr << "tandrel_host: no log written to " << log_path << "\n";
    status = 1;
  }
  return status;
}

#include "host_main.moc"
