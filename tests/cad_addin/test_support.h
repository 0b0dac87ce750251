// Shared pieces of the plug-in tests: recorded desktop services and a registry of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "addin_app.h"
#include "addin_services.h"
#include "recording_host.h"
#include "registry.h"

namespace tandrel::test {

// Records message boxes and shell opens (answered with shell_opens); Esc counts as held from the given
// poll on (never when -1).
class RecordedServices : public AddinServices {
 public:
  void ShowMessage(const std::u16string& text) override { messages.push_back(text); }
  bool EscapeHeld() override { return escape_from >= 0 && ++polls > escape_from; }
  bool OpenWithShell(const std::u16string& path) override {
    opened.push_back(path);
    return shell_opens;
  }

  std::vector<std::u16string> messages;
  std::vector<std::u16string> opened;
  bool shell_opens = true;  // whether the desktop has a program for the file
  int escape_from = -1;
  int polls = 0;
};

// A fixture with recorded services and an empty registry under a folder of its own.
class AddinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = std::filesystem::current_path() / "registry" / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(root);
    registry::SetRegistryRoot(root);
    SetServices(&services);
  }
  void TearDown() override {
    SetServices(nullptr);
    registry::SetRegistryRoot({});
  }
  RecordedServices services;
  std::filesystem::path root;
};

// A fixture with the add-in started in a host with one open part document.
class AddinDocumentTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    doc = app.OpenDocument(1, "gear");
    ASSERT_EQ(StartAddin(&app), 1);
  }
  void TearDown() override {
    ShutdownAddin();
    AddinTest::TearDown();
  }
  host::RecordingHost app;
  host::RecordingDocument* doc = nullptr;
};

}  // namespace tandrel::test
