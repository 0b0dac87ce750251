// The registry stand-in's values written by copies of the plug-in at the same moment.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "registry.h"

namespace tandrel {
namespace {

// Two copies of the plug-in saving the same setting at once, each its own value, while a third reads
// it: no save fails, and every reading finds one of the values written, whole. Afterwards the key holds
// the value and nothing else.
TEST(Registry, CopiesSavingAtOnceNeverFailAndAReaderFindsOnlyWrittenValues) {
  const std::filesystem::path root = std::filesystem::current_path() / "registry_copies";
  std::filesystem::remove_all(root);
  registry::SetRegistryRoot(root);
  const std::u16string subkey = u"SOFTWARE\\SolidWorks\\Applications\\RI Redezere Viva";
  registry::Key key;
  ASSERT_EQ(registry::CreateKey(registry::Hive::LocalMachine, subkey, key), registry::kSuccess);
  const std::u16string written[] = {u"0.001000", u"0.3333333333333333"};
  ASSERT_EQ(registry::SetValue(key, u"tol", registry::REG_SZ, written[0].data(), uint32_t(written[0].size() * 2)),
            registry::kSuccess);
  std::vector<pid_t> copies;
  for (const std::u16string& mine : written) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int failures = 0;
      for (int i = 0; i < 300; ++i)
        failures += registry::SetValue(key, u"tol", registry::REG_SZ, mine.data(), uint32_t(mine.size() * 2)) !=
                    registry::kSuccess;
      ::_exit(failures > 100 ? 100 : failures);
    }
    copies.push_back(child);
  }
  int readings = 0, foreign = 0;
  std::vector<int> status(copies.size(), -1);
  for (std::size_t done = 0; done < copies.size();) {
    char16_t text[64] = {};
    uint32_t type = 0, size = sizeof text;
    ++readings;
    if (registry::QueryValue(key, u"tol", &type, text, &size) != registry::kSuccess) {
      ++foreign;
    } else {
      const std::u16string read(text, size / 2);
      foreign += read != written[0] && read != written[1];
    }
    done = 0;
    for (std::size_t k = 0; k < copies.size(); ++k)
      done += status[k] != -1 || ::waitpid(copies[k], &status[k], WNOHANG) == copies[k];
  }
  for (const int s : status) EXPECT_TRUE(WIFEXITED(s) && WEXITSTATUS(s) == 0) << "failed saves: " << WEXITSTATUS(s);
  EXPECT_EQ(foreign, 0) << "readings that found no value or one nobody wrote, of " << readings;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(key.folder)) files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"tol.value"});
  registry::SetRegistryRoot({});
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace tandrel
