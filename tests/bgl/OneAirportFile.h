#pragma once
// The file the rewrite tests change: one airport "Nord" with a runway and a start, in a home
// folder of its own whose desktop is "Bureau" and whose trash lies under its data folder.

#include <cstdint>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "bgl/ChangeJournal.h"
#include "platform/File.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/MemoryJournal.h"
#include "tests/support/TempFolder.h"

namespace qor::test {

class OneAirportFile : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnv("XDG_DATA_HOME", (home_ / "data"));
    auto& ap = builder_.AddSection(3).AddSubSection().AddAirport().Name("Nord").Elevation(432000);
    ap.Runway(24, 1, 431000).Start(6, 2, 430000);
    original_ = builder_.WriteTo(path_);
    elevation_ = ap.elevationOffset;
  }

  MemoryJournal journal_;
  ScopedJournal journalInPlace_{journal_};
  TempFolder home_;
  std::string path_ = home_ / "AP.bgl";
  std::string desktop_ = (home_ / "Bureau") + platform::kPathDelimiter;
  std::string backupFolder_ = desktop_ + "QORBgl Backup";
  BglBuilder builder_;
  Bytes original_;
  std::uint32_t elevation_ = 0;  // the airport's own elevation field
};

}  // namespace qor::test
