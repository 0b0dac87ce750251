// The program started in a folder whose name is no UTF-8 text (named on a Latin-1 system, say): its
// messages name the folder exactly, and every file dialog opens in it.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QMetaObject>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "design_file.h"
#include "file_bytes.h"
#include "file_names.h"
#include "main_window.h"
#include "program.h"
#include "qt_modal_services.h"
#include "startup.h"
#include "startup_form.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

bool same_folder(const std::string& a, const std::string& b) {
  struct stat x {}, y {};
  return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// The folder of the test, in which the program starts: Latin-1 letters and a byte no text has.
struct OddFolder {
  std::string here = std::filesystem::current_path().string();
  std::string odd = here + "/Getriebe \xe4\xf6\xfc \xff";
  // The same name as the user reads it: each byte that is no UTF-8 as \xHH.
  std::string shown = here + "/Getriebe \\xE4\\xF6\\xFC \\xFF";

  OddFolder() {
    std::filesystem::remove_all(odd);
    EXPECT_EQ(::mkdir(odd.c_str(), 0700), 0);
    EXPECT_EQ(::chdir(odd.c_str()), 0);
  }
  ~OddFolder() {
    EXPECT_EQ(::chdir(here.c_str()), 0);
    set_start_directory_path(here);
    std::filesystem::remove_all(odd);
  }
};

}  // namespace

// "Report sent to file" names the file in the start folder by its bytes, not with replacement
// characters; so does a message naming a file there that could not be written.
TEST(FileNames, MessagesNameAFolderWhoseNameIsNoUtf8TextExactly) {
  const OddFolder folder;
  morvell::testing::Program<> p;
  p.main->Report2Click();
  EXPECT_EQ(p.scripted.texts(Kind::Message),
            QStringList{QString::fromStdString("Report sent to file \"" + folder.shown + "/report.rtf\" ")});
  EXPECT_FALSE(file_bytes(folder.odd + "/report.rtf").empty());

  p.scripted.clear();
  const std::string design = folder.odd + "/locked.mvl";
  write_bytes(design, "old");
  ASSERT_EQ(::chmod(design.c_str(), 0444), 0);
  copy_text(p.d->design_file_name, design);
  p.main->Save1Click();
  EXPECT_EQ(p.scripted.texts(Kind::Message),
            QStringList{QString::fromStdString("Cannot write " + folder.shown + "/locked.mvl: the file is read-only")});
  EXPECT_EQ(file_bytes(design), "old");
}

// Every file dialog opens in the start folder, whatever its name, also after another dialog was left in
// another folder: a real dialog made from what each command asks for shows the start folder, and a bare
// name typed in it names the file there, never one of the same name in the folder visited last.
TEST(FileNames, EveryFileDialogOpensInTheStartFolderWhateverItsName) {
  const OddFolder folder;
  // A dialog left in the test's own folder, which holds a design of the same name as the start folder.
  {
    forms::FileDialogSettings elsewhere;
    elsewhere.directory = QFile::decodeName(QByteArray::fromStdString(folder.here));
    elsewhere.confirm_overwrite = false;
    const auto dialog = forms::make_file_dialog(nullptr, elsewhere, true);
    dialog->selectFile("left_here.mvl");
    QMetaObject::invokeMethod(dialog.get(), "accept");
  }
  morvell::testing::Program<> p;
  TMainForm& m = *p.main;
  std::filesystem::copy_file(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", folder.odd + "/gear.mvl");
  std::filesystem::copy_file(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", folder.here + "/gear.mvl",
                             std::filesystem::copy_options::overwrite_existing);
  const std::string elsewhere_design = file_bytes(folder.here + "/gear.mvl");

  // What a real dialog returns for the name "gear.mvl" typed in it, made from the settings a command asked for.
  const auto typed = [&](const forms::FileDialogSettings& asked, bool save) {
    forms::FileDialogSettings settings;
    settings.directory = asked.directory;
    const auto dialog = forms::make_file_dialog(nullptr, settings, save);
    EXPECT_TRUE(same_folder(local_path(dialog->directory().absolutePath()), folder.odd))
        << dialog->directory().absolutePath().toStdString();
    dialog->selectFile("gear.mvl");
    return dialog->selectedFiles().value(0);
  };
  Tstartupform startup(*p.d);
  struct Command {
    const char* what;
    bool save;
    std::function<void()> run;
  };
  const Command commands[] = {
      {"Open", false, [&] { m.Open1Click(); }},
      {"Save of a design without a name", true, [&] { m.Save1Click(); }},
      {"Save As", true, [&] { m.Close1Click(); }},
      {"Export", true, [&] { m.Exportprofilecoords1Click(); }},
      {"Open at start", false, [&] { startup.Open1Click(); }},
  };
  for (const Command& c : commands) {
    SCOPED_TRACE(c.what);
    p.scripted.file_dialogs.clear();
    c.run();  // cancelled: only the dialog's settings are looked at
    ASSERT_EQ(p.scripted.file_dialogs.size(), 1u);
    EXPECT_EQ(local_path(typed(p.scripted.file_dialogs[0], c.save)), folder.odd + "/gear.mvl");
  }

  // Opened through the dialog, then saved: the design of the start folder, saved where it came from.
  p.scripted.clear();
  p.scripted.file_dialogs.clear();
  p.main->Open1Click();
  p.scripted.open_answers.push_back({true, typed(p.scripted.file_dialogs[0], false)});
  m.Open1Click();
  EXPECT_STREQ(p.d->design_file_name, (folder.odd + "/gear.mvl").c_str());
  EXPECT_TRUE(p.scripted.of(Kind::Message).empty()) << p.scripted.texts(Kind::Message).join("\n").toStdString();
  p.d->face_width[0] += 1;
  m.Save1Click();
  EXPECT_NE(file_bytes(folder.odd + "/gear.mvl"), elsewhere_design);
  EXPECT_EQ(file_bytes(folder.here + "/gear.mvl"), elsewhere_design);
  std::filesystem::remove(folder.here + "/gear.mvl");
}
