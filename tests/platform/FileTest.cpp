#include "platform/File.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h makes ReplaceFile a name for its own ReplaceFileW; FileOps.h declares ours.
#undef ReplaceFile
#else
#include <signal.h>
#include <unistd.h>

#include "platform/SysCalls_posix.h"
#endif

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/FileOps.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

using namespace std::chrono_literals;
using test::ReadText;
using test::Utf8Path;
using test::WriteText;

// Takes every write permission away: on Windows that sets the read-only attribute.
void MakeReadOnly(const std::string& path) {
  fs::permissions(Utf8Path(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// A temporary folder whose read-only files are made writable again at the end, since Windows
// removes no read-only file.
class FileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(Utf8Path(dir_.Path()), ec)) {
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
  }
  test::TempFolder dir_;
};

TEST_F(FileTest, ReadsAndWritesAtOffsetsInANameWithAccentsAndSpaces) {
  const std::string path = dir_ / "Aéroport d'été.bgl";
  WriteText(path, "0123456789");
  const std::unique_ptr<File> file = File::OpenReadWrite(path);
  EXPECT_EQ(file->Path(), path);
  EXPECT_EQ(file->Size(), 10u);
  char buffer[8] = {};
  ASSERT_EQ(file->ReadAt(2, buffer, 4), 4u);
  EXPECT_EQ(std::string_view(buffer, 4), "2345");
  // Fewer bytes only where the file ends.
  ASSERT_EQ(file->ReadAt(7, buffer, 8), 3u);
  EXPECT_EQ(std::string_view(buffer, 3), "789");
  EXPECT_EQ(file->ReadAt(10, buffer, 8), 0u);
  EXPECT_EQ(file->ReadAt(100, buffer, 8), 0u);

  file->WriteAt(3, "ab", 2);  // a patch keeps the length
  file->WriteAt(10, "Z", 1);  // a write at the end extends the file
  file->Flush();
  EXPECT_EQ(file->Size(), 11u);
  ASSERT_EQ(file->ReadAt(0, buffer, 8), 8u);
  EXPECT_EQ(std::string_view(buffer, 8), "012ab567");
  // Shared: another reader sees the bytes while the file is open.
  EXPECT_EQ(ReadText(path), "012ab56789Z");
}

TEST_F(FileTest, TheStampTellsTheFileAndItsChanges) {
  const std::string path = dir_ / "a.bgl";
  WriteText(path, "four");
  WriteText(dir_ / "b.bgl", "four");
  const std::unique_ptr<File> file = File::OpenReadWrite(path);
  const File::Stamp opened = file->CurrentStamp();
  EXPECT_EQ(StampOfPath(path), opened);
  EXPECT_EQ(opened.size, 4u);
  const std::optional<File::Stamp> other = StampOfPath(dir_ / "b.bgl");
  ASSERT_TRUE(other);
  EXPECT_FALSE(other->device == opened.device && other->inode == opened.inode);

  file->WriteAt(4, "more", 4);
  const File::Stamp grown = file->CurrentStamp();
  EXPECT_EQ(grown.size, 8u);
  EXPECT_EQ(grown.inode, opened.inode);
  EXPECT_EQ(StampOfPath(path), grown);

  // A change of time alone shows, in nanoseconds.
  const auto noon = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{
      std::chrono::sys_days{std::chrono::year{2004} / 7 / 14} + std::chrono::hours{12}});
  fs::last_write_time(Utf8Path(path), noon);
  const File::Stamp atNoon = file->CurrentStamp();
  fs::last_write_time(Utf8Path(path), noon + std::chrono::hours{1});
  const File::Stamp later = file->CurrentStamp();
  EXPECT_EQ(later.modifiedNs - atNoon.modifiedNs, 3'600'000'000'000);
  EXPECT_EQ(later.size, grown.size);
  EXPECT_EQ(StampOfPath(path), later);

  EXPECT_EQ(StampOfPath(dir_ / "missing.bgl"), std::nullopt);
}

struct Refusal {
  const char* name;
  std::string file;
  std::function<void(const std::string&)> make;
  const char* tail;  // the message after the quoted path
};

void PrintTo(const Refusal& c, std::ostream* os) {
  *os << c.name;
}

class OpenRefusalTest : public FileTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(OpenRefusalTest, NamesTheFileAndWhy) {
  const std::string path = dir_ / GetParam().file;
  GetParam().make(path);
  try {
    File::OpenReadWrite(path);
    FAIL() << "opened";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Impossible d'ouvrir le fichier \"" + path + "\"" + GetParam().tail);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenRefusalTest,
    ::testing::Values(
        Refusal{"Folder", "dossier.bgl",
                [](const std::string& p) { fs::create_directory(Utf8Path(p)); },
                " : c'est un dossier."},
        // Refused for the administrator too, as the read-only attribute is.
        Refusal{"ReadOnly", "lecture seule.bgl",
                [](const std::string& p) {
                  WriteText(p, "x");
                  MakeReadOnly(p);
                },
                " en écriture : il est en lecture seule (accès refusé)."},
        Refusal{"Missing", "Été à Orly.bgl", [](const std::string&) {}, " : fichier introuvable."},
        Refusal{"ThroughAFile", "fichier.bgl" + std::string(1, kPathDelimiter) + "a.bgl",
                [](const std::string& p) { WriteText(p.substr(0, p.rfind(kPathDelimiter)), "x"); },
                " : chemin invalide."}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

#ifdef _WIN32
// Only Windows lets a program hold a file for itself alone.
TEST_F(FileTest, AFileAnotherProgramHoldsIsRefused) {
  const std::string path = dir_ / "held.bgl";
  WriteText(path, "held");
  const HANDLE held = ::CreateFileW(Utf8Path(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  char buffer[4];
  EXPECT_EQ(ReadStartOfFile(path, buffer, 4), std::nullopt);
  try {
    File::OpenReadWrite(path);
    ADD_FAILURE() << "opened";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier \"" + path +
                                         "\" : fichier utilisé par un autre programme.");
  }
  ::CloseHandle(held);
}
#endif

struct QuickLook {
  const char* name;
  const char* file;
  std::function<void(const std::string&)> make;
  std::size_t n;
  std::optional<std::string> expected;
};

void PrintTo(const QuickLook& c, std::ostream* os) {
  *os << c.name;
}

std::function<void(const std::string&)> Holding(std::string bytes) {
  return [bytes](const std::string& p) { WriteText(p, bytes); };
}

class ReadStartTest : public FileTest, public ::testing::WithParamInterface<QuickLook> {};

// The same answer by the file's path and by its name in the open folder, as the listing asks.
TEST_P(ReadStartTest, ReadsWhatOpenReadWriteWouldOpen) {
  const QuickLook& c = GetParam();
  c.make(dir_ / c.file);
  const std::optional<OpenFolder> folder = OpenFolder::Open(dir_.Path());
  ASSERT_TRUE(folder);
  char byPath[16] = {};
  char byName[16] = {};
  const std::optional<std::size_t> got = ReadStartOfFile(dir_ / c.file, byPath, c.n);
  EXPECT_EQ(ReadStartOfFile(*folder, c.file, byName, c.n), got);
  ASSERT_EQ(got.has_value(), c.expected.has_value());
  if (got) {
    EXPECT_EQ(std::string(byPath, *got), *c.expected);
    EXPECT_EQ(std::string(byName, *got), *c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadStartTest,
    ::testing::Values(
        QuickLook{"Longer", "long.bgl", Holding("0123456789"), 4, "0123"},
        QuickLook{"Shorter", "short.bgl", Holding("012"), 8, "012"},
        QuickLook{"Empty", "empty.bgl", Holding(""), 8, ""},
        QuickLook{"Accented", "Aéroport d'été.bgl", Holding("abc"), 8, "abc"},
        QuickLook{"ReadOnly", "ro.bgl",
                  [](const std::string& p) {
                    WriteText(p, "012");
                    MakeReadOnly(p);
                  },
                  8, std::nullopt},
        QuickLook{"Folder", "folder.bgl",
                  [](const std::string& p) { fs::create_directory(Utf8Path(p)); }, 8, std::nullopt},
        QuickLook{"Missing", "missing.bgl", [](const std::string&) {}, 8, std::nullopt}),
    [](const ::testing::TestParamInfo<QuickLook>& info) { return info.param.name; });

TEST_F(FileTest, AnOpenFolderReadsOnlyItsOwnNames) {
  const std::string inner = dir_ / "Dossier été";
  fs::create_directory(Utf8Path(inner));
  WriteText(inner + kPathDelimiter + "a.bgl", "abc");
  // The path may end in the delimiter or not.
  for (const std::string& path : {inner, inner + kPathDelimiter}) {
    const std::optional<OpenFolder> folder = OpenFolder::Open(path);
    ASSERT_TRUE(folder) << path;
    char buffer[4] = {};
    EXPECT_EQ(ReadStartOfFile(*folder, "a.bgl", buffer, 4), 3u);
  }

  const std::optional<OpenFolder> outer = OpenFolder::Open(dir_.Path());
  ASSERT_TRUE(outer);
  char buffer[4] = {};
  EXPECT_EQ(ReadStartOfFile(*outer, "", buffer, 4), std::nullopt);
  EXPECT_EQ(ReadStartOfFile(*outer, "Dossier été/a.bgl", buffer, 4), std::nullopt);
#ifdef _WIN32
  EXPECT_EQ(ReadStartOfFile(*outer, "Dossier été\\a.bgl", buffer, 4), std::nullopt);
#endif

  EXPECT_FALSE(OpenFolder::Open(dir_ / "missing"));
  EXPECT_FALSE(OpenFolder::Open(inner + kPathDelimiter + "a.bgl"));  // a file, no folder
}

TEST_F(FileTest, ExistenceTellsFilesFromFolders) {
  WriteText(dir_ / "fichier été.bgl", "x");
  fs::create_directory(Utf8Path(dir_ / "dossier été"));
  EXPECT_TRUE(FileExists(dir_ / "fichier été.bgl"));
  EXPECT_FALSE(FolderExists(dir_ / "fichier été.bgl"));
  EXPECT_FALSE(FileExists(dir_ / "dossier été"));
  EXPECT_TRUE(FolderExists(dir_ / "dossier été"));
  EXPECT_FALSE(FileExists(dir_ / "missing"));
  EXPECT_FALSE(FolderExists(dir_ / "missing"));
}

TEST_F(FileTest, OpenOrCreateMakesAnEmptyFileAndKeepsAnExistingOne) {
  const std::string path = dir_ / "Journal d'été.qor";
  {
    const std::unique_ptr<File> created = File::OpenOrCreate(path);
    EXPECT_EQ(created->Size(), 0u);
    created->WriteAt(0, "abc", 3);
  }
  EXPECT_EQ(ReadText(path), "abc");
#ifndef _WIN32
  // The program's own file: the user's alone.
  EXPECT_EQ(fs::status(Utf8Path(path)).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
#endif
  const std::unique_ptr<File> opened = File::OpenOrCreate(path);
  EXPECT_EQ(opened->Size(), 3u);
  char buffer[3] = {};
  ASSERT_EQ(opened->ReadAt(0, buffer, 3), 3u);
  EXPECT_EQ(std::string_view(buffer, 3), "abc");
}

TEST_F(FileTest, OpenOrCreateRefusesWhatCannotBeAFile) {
  WriteText(dir_ / "fichier.bgl", "x");
  fs::create_directory(Utf8Path(dir_ / "dossier été"));
  const struct {
    std::string path;
    const char* tail;
  } rows[] = {
      // "Not a folder", also to the administrator.
      {dir_ / "fichier.bgl" + kPathDelimiter + "journal.qor", " : chemin invalide."},
      {dir_ / "dossier été", " : c'est un dossier."},
  };
  for (const auto& row : rows) {
    try {
      File::OpenOrCreate(row.path);
      ADD_FAILURE() << "opened " << row.path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Impossible d'ouvrir le fichier \"" + row.path + "\"" + row.tail);
    }
  }
  EXPECT_EQ(ReadText(dir_ / "fichier.bgl"), "x");
}

// Two opens of one file are two holders of its lock, in one process as in two.
TEST_F(FileTest, ALockHasOneHolderAtATime) {
  constexpr std::chrono::milliseconds kWait = 200ms;
  const std::string path = dir_ / "journal été.qor";
  const struct {
    const char* name;
    std::function<void(std::unique_ptr<File>&)> release;
  } rows[] = {
      {"Unlock", [](std::unique_ptr<File>& file) { file->Unlock(); }},
      {"Closed", [](std::unique_ptr<File>& file) { file.reset(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<File> first = File::OpenOrCreate(path);
    const std::unique_ptr<File> second = File::OpenOrCreate(path);
    ASSERT_TRUE(first->Lock(0ms));
    // The lock stops no one from reading and writing the file's bytes.
    second->WriteAt(0, "abcd", 4);
    char buffer[4] = {};
    EXPECT_EQ(second->ReadAt(0, buffer, 4), 4u);
#ifdef _WIN32
    // Windows locks are mandatory: another program may still lock the data's bytes for itself
    // (here the first terabyte).
    const HANDLE other = ::CreateFileW(Utf8Path(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    OVERLAPPED fromZero{};
    EXPECT_TRUE(::LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                             0xFFFFFFFF, 0xFF, &fromZero));
    ::CloseHandle(other);
#endif

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second->Lock(kWait));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, kWait);
    EXPECT_LT(waited, kWait + 1s);

    row.release(first);
    EXPECT_TRUE(second->Lock(0ms));
    if (first) {
      EXPECT_FALSE(first->Lock(0ms));
      second->Unlock();
      EXPECT_TRUE(first->Lock(0ms));
    }
  }
}

#ifndef _WIN32
// The real calls, with flock failing as this row says.
class FailingFlock : public SysCalls {
 public:
  explicit FailingFlock(std::vector<int> errors) : errors_(std::move(errors)) {}
  int Flock(int fd, int operation) override {
    if (next_ == errors_.size()) return SysCalls::Flock(fd, operation);
    errno = errors_[next_++];
    return -1;
  }

 private:
  std::vector<int> errors_;
  std::size_t next_ = 0;
};

TEST_F(FileTest, ALockTheSystemRefusesIsAnError) {
  const std::string path = dir_ / "journal été.qor";
  const std::unique_ptr<File> file = File::OpenOrCreate(path);
  {
    // An interrupted call is made again.
    FailingFlock calls({EINTR, EINTR});
    const ScopedSysCalls scoped(calls);
    EXPECT_TRUE(file->Lock(0ms));
    file->Unlock();
  }
  FailingFlock calls({ENOLCK});
  const ScopedSysCalls scoped(calls);
  try {
    file->Lock(1s);
    ADD_FAILURE() << "locked";
  } catch (const EInOutError& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("Impossible de réserver le fichier \"" + path + "\" : ", 0), 0u)
        << e.what();
  }
}
#endif

// The environment variable that makes this test program the process holding a lock.
constexpr const char* kLockHolder = "QORBGL_TEST_LOCK_HOLDER";

// This test program's file, to start it again as a second process.
std::string ThisProgram() {
#ifdef _WIN32
  std::wstring name(32768, L'\0');
  name.resize(::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
  const std::u8string utf8 = fs::path(name).u8string();
#else
  const std::u8string utf8 = fs::read_symlink("/proc/self/exe").u8string();
#endif
  return std::string(utf8.begin(), utf8.end());
}

unsigned long ThisProcess() {
#ifdef _WIN32
  return ::GetCurrentProcessId();
#else
  return static_cast<unsigned long>(::getpid());
#endif
}

void Kill(unsigned long process) {
#ifdef _WIN32
  const HANDLE handle = ::OpenProcess(PROCESS_TERMINATE, FALSE, process);
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(::TerminateProcess(handle, 9));
  ::CloseHandle(handle);
#else
  EXPECT_EQ(::kill(static_cast<pid_t>(process), SIGKILL), 0);
#endif
}

// The same test in a second process takes the lock and waits to be killed.
TEST(FileLockTest, GoesWithItsProcessEvenKilled) {
  if (const char* held = std::getenv(kLockHolder)) {
    const std::unique_ptr<File> file = File::OpenOrCreate(held);
    ASSERT_TRUE(file->Lock(0ms));
    // The process's number, given its name whole.
    WriteText(std::string(held) + ".tmp", std::to_string(ThisProcess()));
    ASSERT_TRUE(ReplaceFile(std::string(held) + ".tmp", std::string(held) + ".process"));
    std::this_thread::sleep_for(30s);
    return;
  }
  test::TempFolder dir;
  const std::string path = dir / "journal";
  test::ProgramRun run;
  std::thread holder([&] {
    run = test::RunProgram(ThisProgram(),
                           {"--gtest_filter=FileLockTest.GoesWithItsProcessEvenKilled"},
                           {{kLockHolder, path}});
  });
  std::string process;
  for (int i = 0; i < 300 && process.empty(); ++i) {
    std::this_thread::sleep_for(100ms);
    process = ReadText(path + ".process");
  }
  const std::unique_ptr<File> file = File::OpenOrCreate(path);
  if (!process.empty()) {
    EXPECT_FALSE(file->Lock(100ms));
    Kill(std::stoul(process));
  }
  holder.join();
  ASSERT_FALSE(process.empty()) << run.out << run.err;
  EXPECT_NE(run.exit, 0) << "the holder ended by itself";
  EXPECT_TRUE(file->Lock(0ms));
}

}  // namespace
}  // namespace qor::platform
