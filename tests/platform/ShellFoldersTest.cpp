#include "platform/ShellFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

class ShellFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("HOME", home_.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home_ / ".config").c_str(), 1);
    std::filesystem::create_directories(home_ / ".config");
  }
  test::TempFolder home_;
};

TEST_F(ShellFoldersTest, TheDesktopComesFromUserDirsElseHomeDesktop) {
  EXPECT_EQ(UserDesktopFolder(), home_.Path() + "/Desktop/");
  std::ofstream(home_ / ".config/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                  << "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n"
                                                  << "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n";
  EXPECT_EQ(UserDesktopFolder(), home_.Path() + "/Bureau/");
  std::ofstream(home_ / ".config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"/srv/bureau/\"\n";
  EXPECT_EQ(UserDesktopFolder(), "/srv/bureau/");
}

}  // namespace
}  // namespace qor::platform
