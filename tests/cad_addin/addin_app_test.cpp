// The add-in in its host: start-up, the toolbar button, document events and sinks, unload, and
// self-registration.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "addin_app.h"
#include "exports.h"
#include "gear_dialog.h"
#include "recording_host.h"
#include "registration.h"
#include "test_support.h"

namespace tandrel {
namespace {

using test::AddinTest;

bool Contains(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

class AddinAppTest : public AddinTest {
 protected:
  void TearDown() override {
    ShutdownAddin();
    AddinTest::TearDown();
  }
  host::RecordingHost app;
};

TEST_F(AddinAppTest, StartUpPutsSaveAsToolbarAndSinksIntoTheHost) {
  host::RecordingDocument* part = app.OpenDocument(1, "gear");
  host::RecordingDocument* drawing = app.OpenDocument(3, "sheet");
  app.Activate(part);
  app.log.lines.clear();
  EXPECT_EQ(InitUserDLL3(&app), 1);
  const std::vector<std::string> expected = {
      "app 8 ActiveDocument -> doc1",
      "doc1 92 DocumentType -> 1",
      "app 15 FrameObject",
      "app 28 AddFileSaveAsItem \"Tandrel@SaveAsCB\" \"xampl\\nTandrel save (*.xampl)\" 1",
      "app 137 AddToolbar \"Tandrel\" \"-渐开线齿轮-      \" 48x15 66x22 -1 15",
      "app 70 AddToolbarCommand \"Tandrel\" 1 0 \"ToolbarCB0@updateButton,按钮\\n-渐开线齿轮-\"",
      "app 71 ShowToolbar \"Tandrel\" 1",
      "app 104 FirstDocument -> doc1",
      "doc1 92 DocumentType -> 1",
      "doc1 572 NextDocument -> doc2",
      "doc2 92 DocumentType -> 3",
      "doc2 572 NextDocument -> none",
  };
  EXPECT_EQ(app.log.lines, expected);
  EXPECT_EQ(app.frame_objects_out, 0) << "the frame object is released at once";
  EXPECT_EQ(app.events.count(), 1u);
  EXPECT_EQ(part->events.count(), 1u) << "a part gets a sink";
  EXPECT_EQ(drawing->events.count(), 0u) << "a drawing gets none";
  EXPECT_EQ(TheAddinApp()->sinks.size(), 2u);

  // A second start-up changes nothing.
  app.log.lines.clear();
  EXPECT_EQ(InitUserDLL3(&app), 0);
  EXPECT_TRUE(app.log.lines.empty());
}

TEST_F(AddinAppTest, AFailedToolbarIsNotFilled) {
  app.toolbar_result = E_FAIL;
  EXPECT_EQ(InitUserDLL3(&app), 1);
  EXPECT_FALSE(Contains(app.log.lines, "app 71 ShowToolbar \"Tandrel\" 1"));
  EXPECT_EQ(TheAddinApp()->toolbar_id, 0);
  ShutdownAddin();
  for (const std::string& line : app.log.lines) EXPECT_EQ(line.find("app 73"), std::string::npos);
}

TEST_F(AddinAppTest, ButtonWithoutDocumentShowsTheHostMessage) {
  InitUserDLL3(&app);
  ToolbarCB0();
  ASSERT_EQ(app.messages.size(), 1u);
  EXPECT_EQ(app.messages[0], u"    请打开文档!           ");
  ToolbarCB1();
  ToolbarCB2();
  EXPECT_EQ(app.messages[1], u"Button 1 Pressed");
  EXPECT_EQ(app.messages[2], u"Button 2 Pressed");
  EXPECT_EQ(updateButton(), 1);
  SaveAsCB();
  MenuItemCB();
  EXPECT_EQ(app.messages.size(), 3u);
}

TEST_F(AddinAppTest, DocumentEventsAttachOneSinkPerPartAndRegisterSaveAsOncePerType) {
  InitUserDLL3(&app);
  AddinApp& addin = *TheAddinApp();
  host::RecordingDocument* a = app.OpenDocument(2, "assembly");
  app.OpenDocument(2, "assembly 2");
  host::RecordingDocument* d = app.OpenDocument(3, "drawing");
  EXPECT_EQ(a->events.count() + d->events.count(), 0u);
  EXPECT_EQ(addin.sinks.size(), 1u) << "the application's sink only";
  EXPECT_EQ(std::count_if(app.save_as_items.begin(), app.save_as_items.end(), [](auto& i) { return i.type == 2; }), 1);
  EXPECT_EQ(std::count_if(app.save_as_items.begin(), app.save_as_items.end(), [](auto& i) { return i.type == 3; }), 1);

  host::RecordingDocument* opened = app.OpenDocument(1, "opened part");  // event 1
  host::RecordingDocument* created = app.NewDocument(1);                 // event 2
  EXPECT_EQ(opened->events.count(), 1u);
  EXPECT_EQ(created->events.count(), 1u);
  app.Activate(opened);
  app.events.Fire(1, DispParams{{Variant::String(u"opened part")}});  // opened again
  EXPECT_EQ(opened->events.count(), 1u) << "a part that has a sink gets no second";
  EXPECT_EQ(addin.sinks.size(), 3u);

  app.CloseDocument(opened);
  EXPECT_EQ(opened->events.count(), 0u);
  EXPECT_EQ(addin.sinks.size(), 2u);
  EXPECT_EQ(opened->refs(), 0u) << "the closed part's sink let go of it";
}

TEST_F(AddinAppTest, PartSinksUseTheirStorageStream) {
  host::RecordingDocument* part = app.OpenDocument(1, "gear");
  InitUserDLL3(&app);
  app.log.lines.clear();
  app.LoadDocument(part);  // nothing stored yet: the stream does not open
  app.SaveDocument(part);
  app.LoadDocument(part);  // a sink loads once
  const std::vector<std::string> expected = {
      "host loads doc1",
      "doc1 263 OpenStorageStream \"TandrelPart\" 0",
      "host saves doc1",
      "doc1 263 OpenStorageStream \"TandrelPart\" 1",
      "doc1 354 ReleaseStorageStream \"TandrelPart\"",
      "host loads doc1",
  };
  EXPECT_EQ(app.log.lines, expected);
  EXPECT_TRUE(part->streams.count(u"TandrelPart"));
}

TEST_F(AddinAppTest, UnloadTakesEverythingOutAndReleasesEveryReference) {
  host::RecordingDocument* part = app.OpenDocument(1, "gear");
  InitUserDLL3(&app);
  app.OpenDocument(3, "drawing");
  app.log.lines.clear();
  ShutdownAddin();
  const std::vector<std::string> expected = {
      "app 62 RemoveMenu 1 \"Tandrel &App\" \"(null)\"",
      "app 64 RemoveFileSaveAsItem \"Tandrel@SaveAsCB\" \"xampl\\nExample save (*.xampl)\" 1",
      "app 62 RemoveMenu 3 \"Tandrel &App\" \"(null)\"",
      "app 64 RemoveFileSaveAsItem \"Tandrel@SaveAsCB\" \"xampl\\nExample save (*.xampl)\" 3",
      "app 73 RemoveToolbar \"Tandrel\" 1",
  };
  EXPECT_EQ(app.log.lines, expected);
  EXPECT_EQ(TheAddinApp(), nullptr);
  EXPECT_EQ(app.events.count(), 0u);
  EXPECT_EQ(part->events.count(), 0u);
  EXPECT_EQ(app.refs(), 0u);
  EXPECT_EQ(part->refs(), 0u);
  EXPECT_TRUE(app.toolbars.empty());
}

TEST_F(AddinAppTest, HostGoingAwayEndsTheApplicationSinkAndLaterUnloadCallsNothing) {
  InitUserDLL3(&app);
  app.Shutdown();
  EXPECT_EQ(app.events.count(), 0u);
  EXPECT_EQ(AddinHost(), nullptr);
  app.log.lines.clear();
  ToolbarCB0();
  ShutdownAddin();
  EXPECT_TRUE(app.log.lines.empty());
}

TEST_F(AddinAppTest, SinksAreCreatedByClassName) {
  AddinApp addin(nullptr);
  HostEventSink* part = CreateSinkByName("swPartEvents", addin);
  ASSERT_NE(part, nullptr);
  EXPECT_STREQ(part->RuntimeClassName(), "swPartEvents");
  EXPECT_EQ(CreateSinkByName("swAssemblyEvents", addin), nullptr);
  EXPECT_EQ(addin.sinks.size(), 1u);
  part->Destroy();
  EXPECT_TRUE(addin.sinks.empty());
}

using RegistrationTest = AddinTest;

std::u16string DefaultValue(registry::Hive hive, const std::u16string& key) {
  registry::Key k;
  if (registry::OpenKey(hive, key, k) != registry::kSuccess) return u"(no key)";
  char16_t buffer[400] = {};
  uint32_t size = sizeof buffer, type = 0;
  if (registry::QueryValue(k, u"", &type, buffer, &size) != registry::kSuccess) return u"(no value)";
  return std::u16string(buffer, size / 2);
}

TEST_F(RegistrationTest, RegisterWritesTheFourEntriesAndUnregisterRemovesThem) {
  using registry::Hive;
  const std::u16string clsid = u"{418e427b-5934-492d-90ab-0a654b6e82fa}";
  ASSERT_EQ(DllRegisterServer(), S_OK);
  // 8-bit text with its terminating zero.
  EXPECT_EQ(DefaultValue(Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel"), clsid + u'\0');
  EXPECT_EQ(DefaultValue(Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel\\CLSID"), clsid + u'\0');
  EXPECT_EQ(DefaultValue(Hive::ClassesRoot, u"CLSID\\" + clsid), std::u16string(u"Tandrel") + u'\0');
  const std::u16string path = DefaultValue(Hive::ClassesRoot, u"CLSID\\" + clsid + u"\\InprocServer32");
  EXPECT_EQ(path, registry::FromUtf8(LibraryPath()) + u'\0');
  EXPECT_EQ(path[0], u'/');
  // The folder the plug-in is installed in, beside the gear settings, for Help.
  const std::string folder = std::filesystem::path(LibraryPath()).parent_path().string();
  EXPECT_EQ(ReadGearSetting(u"Install"), registry::FromUtf8(folder));

  WriteGearSetting(u"z", u"24");  // a setting of the user's
  EXPECT_EQ(DllUnregisterServer(), 0);
  EXPECT_TRUE(ReadGearSetting(u"Install").empty());
  EXPECT_EQ(ReadGearSetting(u"z"), u"24");
  EXPECT_EQ(DefaultValue(Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel"), u"(no key)");
  EXPECT_EQ(DefaultValue(Hive::ClassesRoot, u"CLSID\\" + clsid), u"(no key)");
  EXPECT_EQ(DllUnregisterServer(), 1) << "nothing left to delete";
}

// The class entry and the install folder hold the library's path as the system spells it: UTF-8, read
// back as the same characters (a byte that is no UTF-8 as U+FFFD, the rest unchanged).
TEST_F(RegistrationTest, APathOutsideAsciiIsRegisteredAsItIs) {
  const std::u16string clsid = u"CLSID\\{418e427b-5934-492d-90ab-0a654b6e82fa}\\InprocServer32";
  const struct {
    std::string path;
    std::u16string registered, folder;
  } cases[] = {
      {"/opt/\xC3\xA9 \xE4\xB8\xAD/lib\xF0\x9F\x94\xA7.so", u"/opt/é 中/lib\U0001F527.so", u"/opt/é 中"},
      {"/opt/\xE9/x/libTandrel.so", u"/opt/\uFFFD/x/libTandrel.so", u"/opt/\uFFFD/x"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(RegisterServer(c.path), S_OK) << c.path;
    EXPECT_EQ(DefaultValue(registry::Hive::ClassesRoot, clsid), c.registered + u'\0') << c.path;
    EXPECT_EQ(ReadGearSetting(u"Install"), c.folder) << c.path;
  }
}

TEST_F(RegistrationTest, UnregisterAfterAPartialRegistrationReportsFailure) {
  registry::Key key;
  ASSERT_EQ(registry::CreateKey(registry::Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel\\CLSID",
                                key),
            registry::kSuccess);
  EXPECT_EQ(DllUnregisterServer(), 1);
  EXPECT_EQ(DefaultValue(registry::Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel"), u"(no key)");
}

TEST_F(RegistrationTest, AFailedRegistrationIsUndone) {
  // The class registration cannot be written: a file stands where its hive's folder would be.
  std::filesystem::create_directories(root);
  std::ofstream(root / "HKEY_CLASSES_ROOT") << "in the way";
  EXPECT_EQ(DllRegisterServer(), SELFREG_E_CLASS);
  EXPECT_EQ(DefaultValue(registry::Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel"), u"(no key)");
}

}  // namespace
}  // namespace tandrel
