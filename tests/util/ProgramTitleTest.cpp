#include "util/ProgramTitle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "platform/Process.h"
#include "util/NumberFormat.h"
#include "util/Version.h"

namespace qor {
namespace {

using platform::NumberSymbols;

const NumberSymbols kFrench{",", " "};

TEST(ProgramTitle, ListsTheVersionParts) {
  const FileVersion v{1, 0, 1, 4};
  const std::pair<int, std::string> cases[] = {
      {0, "(QORBgl v1)"},     {1, "(QORBgl v1)"},       {2, "(QORBgl v1.0)"},
      {3, "(QORBgl v1.0.1)"}, {4, "(QORBgl v1.0.1.4)"}, {9, "(QORBgl v1.0.1.4)"},
  };
  for (const auto& [parts, expected] : cases) EXPECT_EQ(ProgramTitle(parts, "QORBgl", v), expected);
  EXPECT_EQ(ProgramTitle(4, "QORBgl", FileVersion{}), "(QORBgl v0.0.0.0)");

  const NumberSymbols saved = CurrentNumberSymbols();
  SetNumberSymbols(kFrench);
  EXPECT_EQ(ProgramTitle(2, "QORBgl", FileVersion{1234, 5, 0, 0}), "(QORBgl v1 234.5)");
  SetNumberSymbols(saved);
}

TEST(ProgramTitle, UsesTheRunningProgram) {
  const FileVersion built{kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
  EXPECT_EQ(ProgramTitle(4), ProgramTitle(4, "util_test", built));
}

TEST(ReadFileVersion, OnlyTheProgramsOwnFileHasOne) {
  const std::filesystem::path self = platform::ProgramFilePath();
  ASSERT_FALSE(self.empty());
  const FileVersion built{kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
  EXPECT_EQ(ReadFileVersion(self.string()), built);
  EXPECT_EQ(ReadFileVersion((self.parent_path() / "." / self.filename()).string()), built);
  EXPECT_EQ(ReadFileVersion(self.parent_path().string()), FileVersion{});
  EXPECT_EQ(ReadFileVersion((self.parent_path() / "no-such-file").string()), FileVersion{});
}

}  // namespace
}  // namespace qor
