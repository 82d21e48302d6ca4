// Measures the program against what the machine needs for the same bytes: opening and listing a
// large file, listing a folder of mixed files, searching a folder, filling the window's tree,
// and the memory of the command line's listing. Prints one table of ratios against the targets.
// The writing commands (set, align) are timed alone, or against an earlier build of the program
// named by --before, run for run on the same files; --cli times another build than this one's
// (a trial change) in the whole-process figures.
//
//   qorbgl-bench [--scale=F] [--runs=N] [--data=FOLDER [--reuse]] [--before=QORBGL-CLI]
//                [--cli=QORBGL-CLI] [--check] [Google Benchmark flags]

#include <fcntl.h>
#include <linux/magic.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "benchmarks/AirportList.h"
#include "benchmarks/Reference.h"
#include "benchmarks/Scenery.h"
#include "bgl/Bgl.h"
#include "bgl/Listing.h"
#include "library/Journal.h"
#include "platform/Folder.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "util/Environment.h"

extern char** environ;

namespace qor::bench {

namespace {

namespace fs = std::filesystem;

struct Options {
  double scale = 1.0;
  int runs = 5;
  std::string data;
  std::string before;  // an earlier qorbgl-cli, timed against this one on the writes
  std::string cli = QORBGL_CLI;
  bool check = false;
  bool reuse = false;
};

// Takes the benchmark's own flags out of argv, leaving Google Benchmark's.
Options ParseOptions(int& argc, char** argv) {
  Options options;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--scale=", 0) == 0) {
      options.scale = std::atof(arg.c_str() + 8);
    } else if (arg.rfind("--runs=", 0) == 0) {
      options.runs = std::max(1, std::atoi(arg.c_str() + 7));
    } else if (arg.rfind("--data=", 0) == 0) {
      options.data = arg.substr(7);
    } else if (arg.rfind("--before=", 0) == 0) {
      options.before = arg.substr(9);
    } else if (arg.rfind("--cli=", 0) == 0) {
      options.cli = arg.substr(6);
    } else if (arg == "--reuse") {
      options.reuse = true;
    } else if (arg == "--check") {
      options.check = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return options;
}

// Keeps everything the window reads and writes (settings, desktop) inside the data folder.
void IsolateHome(const std::string& data) {
  const std::string home = data + "/home";
  fs::create_directories(home + "/runtime");
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
  ::setenv("XDG_CONFIG_DIRS", (home + "/etc-xdg").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", (home + "/runtime").c_str(), 1);
  ::setenv("WINEPREFIX", (home + "/.wine").c_str(), 1);
  fs::permissions(home + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// The trash that the backup copies replaced go to, emptied between runs (its folders kept): its
// names would otherwise pile up run after run, and the search for a free one with them.
void EmptyTrash() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data == nullptr) return;
  for (const char* part : {"/Trash/files", "/Trash/info"}) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(data + std::string(part), error)) {
      fs::remove_all(entry.path(), error);
    }
  }
}

// A 4-byte field of a file, in millimetres; 0 when it cannot be read.
std::int32_t FieldAt(const std::string& path, std::uint32_t offset) {
  unsigned char b[4] = {};
  std::ifstream in(path, std::ios::binary);
  in.seekg(offset);
  in.read(reinterpret_cast<char*>(b), sizeof b);
  return static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24);
}

// A writing command and the fields it changes, at one offset in each of its files.
struct Write {
  std::vector<std::string> args;  // all but --elevation
  std::vector<std::string> files;
  std::uint32_t offset = 0;
};

// A run of the command sets the elevation (whole metres, read alike in every locale) that its
// fields do not hold, so that every run writes whatever run came before it.
std::vector<std::string> WriteCommand(const std::string& program, const Write& write, int& metres) {
  metres = FieldAt(write.files[0], write.offset) == 150'000 ? 151 : 150;
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), write.args.begin(), write.args.end());
  argv.insert(argv.end(), {"--elevation", std::to_string(metres)});
  return argv;
}

bool Wrote(const Write& write, int metres) {
  return std::all_of(write.files.begin(), write.files.end(), [&](const std::string& file) {
    return FieldAt(file, write.offset) == metres * 1000;
  });
}

bool RunWrite(const std::string& program, const Write& write) {
  int metres = 0;
  return RunProcess(WriteCommand(program, write, metres)) && Wrote(write, metres);
}

// In memory, a flush costs nothing: the writes' figures would leave out their largest part.
bool InMemory(const std::string& folder) {
  struct statfs info {};
  return ::statfs(folder.c_str(), &info) == 0 && info.f_type == TMPFS_MAGIC;
}

// Answers the search's input box with the sought name; any other message is a failure of the
// benchmark's own set-up.
class BenchDialog : public WorkflowDialogs {
 public:
  explicit BenchDialog(std::string answer) : answer_(std::move(answer)) {}
  void Message(const std::string& text) override {
    std::cerr << "qorbgl-bench: unexpected message: " << text << '\n';
    std::exit(2);
  }
  int MsgBox(const std::string& text, const std::string&, int) override {
    Message(text);
    return 0;
  }
  bool InputBox(const std::string&, const std::string&, std::string& text) override {
    text = answer_;
    return true;
  }
  bool OpenFileName(std::string&) override { return false; }
  bool OpenFile(const std::string&, const std::string&, std::string&) override { return false; }
  bool SaveFileName(const std::string&, const std::string&, std::string&) override { return false; }
  bool BrowseFolder(const std::string&, std::string&) override { return false; }

 private:
  std::string answer_;
};

// Runs the window's events until its listing or search has ended.
void Settle(TfMain& window) {
  while (window.Workflow().Working()) QCoreApplication::processEvents();
}

// Takes the tree lines as the listing makes them, and keeps only their count and length: the
// keeping and sorting of lines is the tree's own work, measured with the window's tree.
class LineSink : public AirportTree {
 public:
  void Clear() override { lines = bytes = 0; }
  Node AddNode(std::optional<Node>, std::string_view text) override {
    bytes += text.size();
    return lines++;
  }
  void SetData(Node, std::uint32_t) override {}
  void Sort() override {}
  std::size_t lines = 0;
  std::size_t bytes = 0;
};

template <typename T>
T* Child(QWidget& window, const char* name) {
  T* child = window.findChild<T*>(name);
  if (child == nullptr) {
    std::cerr << "qorbgl-bench: the window has no " << name << '\n';
    std::exit(2);
  }
  return child;
}

void Fail(benchmark::State& state, const std::string& why) {
  state.SkipWithError(why.c_str());
}

struct Figure {
  const char* label;
  const char* program;
  const char* reference;
  double target;
  double absoluteLimitMs = 0;  // also under this many milliseconds, when set
};

constexpr Figure kFigures[] = {
    {"(a) open the large file", "a_open", "a_plain_read", 3.0},
    {"(a) open + every tree line", "a_open_lines", "a_plain_read", 5.0},
    {"(b) list a mixed folder", "b_list_files", "b_plain_two_bytes", 1.5},
    {"(c) search a folder", "c_search", "c_plain_read_folder", 3.0},
    {"(d) window: open, tree shown", "d_window_open", "d_open_lines", 3.0, 100.0},
};

// The reference list of airports (OurAirports' layout) read whole and indexed, against the plain
// read of its bytes: no ratio is asked of a text parser, only the time a user waits for.
constexpr Figure kListFigures[] = {
    {"(r) read the airport list", "r_read_list", "r_plain_read", 0, 150.0},
};
// And one match per airport of the list, timed alone.
constexpr Figure kMatchFigures[] = {{"(r) one match per airport", "r_match", "", 0}};

// Whole commands, each a process of its own, against a process that reads the same bytes.
constexpr Figure kProcessFigures[] = {
    {"list FILE", "p_list", "p_cat_country", 6.0},
    {"list --json FILE", "p_list_json", "p_cat_country", 4.0},
    {"find FOLDER NAME", "p_find", "p_cat_search", 3.0},
    {"files FOLDER", "p_files", "p_head_mixed", 1.5},
    {"where IDENT (library)", "p_where", "p_cat_library", 0.5},
    {"conflicts (library)", "p_conflicts", "p_cat_library", 1.0},
    // The reference list read by a fresh process, which touches all its memory for the first
    // time: under 150 ms, whatever `cat` takes.
    {"where IDENT --reference LIST", "p_where_reference", "p_cat_reference", 0, 150.0},
};

// The writing commands, each a process of its own, against the same commands of the program
// before its journal of changes (--before): the journal's whole cost, since both make a backup
// copy and flush what they write. The journal's reading grows with its size, so each command
// starts from a new journal and from one half full.
constexpr Figure kWriteFigures[] = {
    {"set FILE, new journal", "w1_set", "w1_set_before", 1.5},
    {"set FILE, journal half full", "w2_set", "w2_set_before", 1.5},
    {"align IDENT, new journal", "w3_align", "w3_align_before", 1.5},
    {"align IDENT, journal half full", "w4_align", "w4_align_before", 1.5},
};

// Keeps the time of every run of every benchmark, in milliseconds, while the console shows
// them all; the table takes their medians.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) {
        std::cerr << "qorbgl-bench: " << run.run_name.function_name << ": " << run.error_message
                  << '\n';
        ++errors;
        continue;
      }
      if (run.run_type != Run::RT_Iteration) continue;
      const double ms = run.GetAdjustedRealTime() *
                        benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                        benchmark::GetTimeUnitMultiplier(run.time_unit);
      times[run.run_name.function_name].push_back(ms);
    }
  }
  std::map<std::string, double> Medians() const {
    std::map<std::string, double> medians;
    for (auto [name, ms] : times) {
      std::sort(ms.begin(), ms.end());
      const std::size_t n = ms.size();
      medians[name] = n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    }
    return medians;
  }
  std::map<std::string, std::vector<double>> times;
  int errors = 0;
};

// Runs a command with its output thrown away and prints its peak resident memory in KiB. The
// command is forked from this small process: a child of the large benchmark process would start
// with the benchmark's own peak as its count.
int ReportPeakMemoryOf(char** command) {
  const pid_t pid = ::fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::execv(command[0], command);
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return 1;
  }
  std::printf("%ld\n", usage.ru_maxrss);
  return 0;
}

// The peak resident memory of `qorbgl-cli list FILE`, in bytes.
std::optional<std::uint64_t> PeakMemoryOfList(const std::string& cli, const std::string& file) {
  int out[2];
  if (::pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string self = "/proc/self/exe";
  std::string mode = "--peak-memory-of";
  std::string program = cli;
  std::string command = "list";
  std::string path = file;
  char* argv[] = {self.data(), mode.data(), program.data(), command.data(), path.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string text;
  char chunk[64];
  for (ssize_t got; (got = ::read(out[0], chunk, sizeof chunk)) > 0;) text.append(chunk, got);
  ::close(out[0]);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  return std::strtoull(text.c_str(), nullptr, 10) * 1024;
}

// One table's rows: each figure's medians, their ratio against its target, and the spread of
// the ratios run by run (the runs of a figure alternate, so run i of each side go together).
int PrintFigures(const TableReporter& reporter, const Figure* begin, const Figure* end,
                 const char* program = "program", const char* reference = "reference") {
  const std::map<std::string, double> medians = reporter.Medians();
  int missed = 0;
  std::printf("\n%-30s %12s %12s %8s %8s  %-4s %s\n", "figure", program, reference, "ratio",
              "target", "met", "spread of the runs' ratios");
  for (const Figure* f = begin; f != end; ++f) {
    const auto p = medians.find(f->program);
    const auto r = medians.find(f->reference);
    if (p == medians.end() || r == medians.end()) {
      std::printf("%-30s %12s\n", f->label, "not run");
      continue;
    }
    const double ratio = p->second / r->second;
    bool met = f->target <= 0 || ratio <= f->target;
    if (f->absoluteLimitMs > 0) met = met && p->second < f->absoluteLimitMs;
    missed += met ? 0 : 1;
    const std::vector<double>& ps = reporter.times.at(f->program);
    const std::vector<double>& rs = reporter.times.at(f->reference);
    double low = 1e300;
    double high = 0;
    for (std::size_t i = 0; i < std::min(ps.size(), rs.size()); ++i) {
      low = std::min(low, ps[i] / rs[i]);
      high = std::max(high, ps[i] / rs[i]);
    }
    char target[16] = "-";
    if (f->target > 0) std::snprintf(target, sizeof target, "%.1f", f->target);
    std::printf("%-30s %9.2f ms %9.2f ms %8.2f %8s  %-4s %.2f to %.2f", f->label, p->second,
                r->second, ratio, target, met ? "yes" : "NO", low, high);
    if (f->absoluteLimitMs > 0) std::printf("  (and under %.0f ms)", f->absoluteLimitMs);
    std::printf("\n");
  }
  return missed;
}

// Figures timed alone (no earlier program to hold them against): the median and the spread.
void PrintTimes(const TableReporter& reporter, const Figure* begin, const Figure* end) {
  const std::map<std::string, double> medians = reporter.Medians();
  std::printf("\n%-30s %12s  %s\n", "figure", "program", "spread of the runs");
  for (const Figure* f = begin; f != end; ++f) {
    const auto p = medians.find(f->program);
    if (p == medians.end()) {
      std::printf("%-30s %12s\n", f->label, "not run");
      continue;
    }
    const std::vector<double>& ps = reporter.times.at(f->program);
    const auto [low, high] = std::minmax_element(ps.begin(), ps.end());
    std::printf("%-30s %9.2f ms  %.2f to %.2f ms\n", f->label, p->second, *low, *high);
  }
}

int PrintMemory(const char* label, std::optional<std::uint64_t> bytes, std::uint64_t fileSize,
                double target) {
  if (!bytes) {
    std::printf("%-30s %12s\n", label, "failed");
    return 1;
  }
  const double ratio = static_cast<double>(*bytes) / static_cast<double>(fileSize);
  const bool met = ratio <= target;
  std::printf("%-30s %9.1f MB %9.1f MB %8.2f %8.1f  %s\n", label, *bytes / 1e6, fileSize / 1e6,
              ratio, target, met ? "yes" : "NO");
  return met ? 0 : 1;
}

// The journals that the writes start from: a new one and one half full.
struct Journals {
  std::string fresh;
  std::string halfFull;
};

int PrintTable(const TableReporter& reporter, const Scenery& scenery, const AirportList& list,
               const WriteScenery& writes, const Journals& journals, bool before,
               std::optional<std::uint64_t> windowGrowth, std::optional<std::uint64_t> peak) {
  std::printf("\nIn the program's own process:");
  int missed = PrintFigures(reporter, std::begin(kFigures), std::end(kFigures));
  missed += PrintMemory("window memory, file open", windowGrowth, scenery.largeFileSize, 3.0);
  std::printf("\nThe reference list of airports, %d rows, %.1f MB:", list.rows, list.size / 1e6);
  missed += PrintFigures(reporter, std::begin(kListFigures), std::end(kListFigures));
  PrintTimes(reporter, std::begin(kMatchFigures), std::end(kMatchFigures));
  std::printf("\nWhole processes of qorbgl-cli:");
  missed += PrintFigures(reporter, std::begin(kProcessFigures), std::end(kProcessFigures));
  missed += PrintMemory("memory of list (peak RSS)", peak, scenery.countryFileSize, 2.0);
  if (before) {
    std::printf("\nWrites of qorbgl-cli, against the program before its journal:");
    missed +=
        PrintFigures(reporter, std::begin(kWriteFigures), std::end(kWriteFigures), "now", "before");
  } else {
    std::printf("\nWrites of qorbgl-cli (--before=QORBGL-CLI to hold them against another):");
    PrintTimes(reporter, std::begin(kWriteFigures), std::end(kWriteFigures));
  }
  std::printf(
      "\nlarge file: %d airports, %d tree lines, %.1f MB; mixed folder: %zu files; "
      "search folder: %zu files; country file: %d airports, %.1f MB; set: a file of %.1f KB; "
      "align: %zu files defining %s; journals: new %.1f KB, half full %.1f KB\n",
      scenery.largeFileAirports, scenery.largeFileLines, scenery.largeFileSize / 1e6,
      scenery.mixedNames.size(), scenery.searchNames.size(), scenery.countryFileAirports,
      scenery.countryFileSize / 1e6, writes.setFileSize / 1e3, writes.alignFiles.size(),
      writes.alignIdent.c_str(), fs::file_size(journals.fresh) / 1e3,
      fs::file_size(journals.halfFull) / 1e3);
  return missed;
}

}  // namespace

int Main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  std::optional<fs::path> madeFolder;
  if (options.data.empty()) {
    std::string pattern = (fs::temp_directory_path() / "qorbgl-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("qorbgl-bench: mkdtemp");
      return 2;
    }
    options.data = pattern;
    madeFolder = options.data;
  }
  IsolateHome(options.data);
  // Every command reads the journal of changes first: the read-only figures start without one,
  // whether the data folder is new or taken again.
  const std::string journal = library::Journal::UserPath();
  fs::remove(journal);

  std::cerr << "qorbgl-bench: making the scenery in " << options.data << " ...\n";
  const Scenery scenery = MakeScenery(options.data + "/scenery", options.scale, options.reuse);
  const WriteScenery writes = MakeWriteScenery(options.data + "/writes", options.scale);
  const AirportList list = MakeAirportList(options.data + "/reference", options.scale);
  for (const std::string& program : {options.before, options.cli}) {
    if (!program.empty() && ::access(program.c_str(), X_OK) != 0) {
      std::cerr << "qorbgl-bench: " << program << " is no program\n";
      return 2;
    }
  }
  if (InMemory(options.data)) {
    std::cerr << "qorbgl-bench: " << options.data
              << " is in memory (tmpfs): the writes' flushes cost nothing there\n";
  }
  // Fresh files still waiting for the disk would make the first runs pay for their writing.
  ::sync();

  QApplication app(argc, argv);
  InitEnvironment();
  SetDialogs(std::make_unique<BenchDialog>(scenery.soughtName));
  benchmark::Initialize(&argc, argv);

  TfMain window;
  window.FormCreate();
  window.show();
  Settle(window);
  auto* pages = Child<QTabWidget>(window, "pc");
  auto* treePage = Child<QWidget>(window, "tsElev");
  auto* helpPage = Child<QWidget>(window, "tsAide");
  auto* tree = Child<QTreeView>(window, "tvElev");
  // What the window takes for the large file and its tree, measured before the benchmarks
  // leave memory behind to be taken again.
  auto showLarge = [&]() -> bool {
    pages->setCurrentWidget(treePage);
    window.Workflow().OpenPath(scenery.largeFile);
    Settle(window);
    QCoreApplication::processEvents();  // painted
    return window.Bgl() != nullptr && tree->model()->rowCount() == scenery.largeFileAirports;
  };
  std::optional<std::uint64_t> windowGrowth;
  {
    const std::uint64_t before = ResidentBytes();
    if (showLarge()) windowGrowth = ResidentBytes() - before;
    window.Workflow().ChooseFolder(scenery.mixedFolder);  // closes the file
    Settle(window);
  }

  // Each benchmark is registered once per run, and the runs of a figure's benchmarks alternate
  // (reference, program, reference, program...): a machine that slows down or speeds up for a
  // while then weighs on both sides of a ratio alike. One figure's runs end before the next
  // figure's begin, so that what one leaves in memory does not weigh on another.
  std::vector<std::pair<std::string, std::function<void(benchmark::State&)>>> planned;
  auto add = [&](const char* name, std::function<void(benchmark::State&)> body) {
    planned.emplace_back(name, std::move(body));
  };

  add("a_plain_read", [&](benchmark::State& state) {
    // The buffer is made before the clock runs and let go after, like the program's own.
    std::vector<unsigned char> buffer(scenery.largeFileSize + 64 * 1024);
    for (auto _ : state) benchmark::DoNotOptimize(PlainReadWhole(scenery.largeFile, buffer));
  });
  // Opening alone: the object is let go with the clock stopped.
  add("a_open", [&](benchmark::State& state) {
    for (auto _ : state) {
      auto bgl = std::make_unique<TBGL>(scenery.largeFile, DesktopFolder());
      benchmark::DoNotOptimize(bgl->Sections.size());
      state.PauseTiming();
      bgl.reset();
      state.ResumeTiming();
    }
  });
  add("a_open_lines", [&](benchmark::State& state) {
    LineSink sink;
    for (auto _ : state) {
      const TBGL bgl(scenery.largeFile, DesktopFolder());
      bgl.FillTree(sink);
      benchmark::DoNotOptimize(sink.bytes);
      if (sink.lines != static_cast<std::size_t>(scenery.largeFileLines)) {
        return Fail(state, "wrong number of tree lines");
      }
    }
  });

  add("b_plain_two_bytes", [&](benchmark::State& state) {
    for (auto _ : state) {
      int read = 0;
      for (const std::string& name : scenery.mixedNames) {
        read += PlainReadTwoBytes(scenery.mixedFolder + "/" + name);
      }
      benchmark::DoNotOptimize(read);
    }
  });
  add("b_list_files", [&](benchmark::State& state) {
    pages->setCurrentWidget(helpPage);
    for (auto _ : state) {
      window.Workflow().ChooseFolder(scenery.mixedFolder);
      Settle(window);
    }
  });

  add("c_plain_read_folder", [&](benchmark::State& state) {
    std::vector<unsigned char> buffer;
    for (auto _ : state) {
      std::uint64_t read = 0;
      for (const std::string& name : scenery.searchNames) {
        read += PlainReadWhole(scenery.searchFolder + "/" + name, buffer);
      }
      benchmark::DoNotOptimize(read);
    }
  });
  add("c_library_only", [&](benchmark::State& state) {
    for (auto _ : state) {
      int found = 0;
      for (const std::string& name : scenery.searchNames) {
        const TBGL bgl(scenery.searchFolder + "/" + name, DesktopFolder());
        found += bgl.FindAirport(scenery.soughtName) ? 1 : 0;
      }
      benchmark::DoNotOptimize(found);
    }
  });
  add("c_search", [&](benchmark::State& state) {
    pages->setCurrentWidget(helpPage);
    auto* files = Child<QListWidget>(window, "lbFiles");
    for (auto _ : state) {
      state.PauseTiming();
      window.Workflow().ChooseFolder(scenery.searchFolder);
      Settle(window);
      QCoreApplication::processEvents();
      state.ResumeTiming();
      window.Workflow().Search();
      Settle(window);
      if (files->count() != 1) return Fail(state, "the search did not keep the one file");
    }
  });

  // The window opening the large file on its elevation page, its sorted tree painted, against
  // the library alone opening it and making every line.
  add("d_open_lines", [&](benchmark::State& state) {
    LineSink sink;
    for (auto _ : state) {
      const TBGL bgl(scenery.largeFile, DesktopFolder());
      bgl.FillTree(sink);
      benchmark::DoNotOptimize(sink.bytes);
    }
  });
  add("d_window_open", [&](benchmark::State& state) {
    for (auto _ : state) {
      state.PauseTiming();
      window.Workflow().ChooseFolder(scenery.mixedFolder);  // the file closed, not timed
      Settle(window);
      QCoreApplication::processEvents();
      state.ResumeTiming();
      if (!showLarge()) return Fail(state, "the tree does not hold every airport");
    }
  });

  // The reference list, read whole as `--reference` and the library page read it.
  add("r_plain_read", [&](benchmark::State& state) {
    std::vector<unsigned char> buffer(list.size + 64 * 1024);
    for (auto _ : state) benchmark::DoNotOptimize(PlainReadWhole(list.file, buffer));
  });
  add("r_read_list", [&](benchmark::State& state) { ReadAirportList(state, list); });
  add("r_match", [&](benchmark::State& state) { MatchEveryIdent(state, list); });

  // Whole commands, each a process of its own, after the process that reads the same bytes.
  const std::string& cli = options.cli;
  auto command = [&](const char* name, std::vector<std::string> argv, int status = 0) {
    add(name, [argv = std::move(argv), status](benchmark::State& state) {
      for (auto _ : state) {
        if (!RunProcess(argv, status)) return Fail(state, "the command failed: " + argv[0]);
      }
    });
  };
  std::vector<std::string> catSearch = {"cat"};
  for (const std::string& name : scenery.searchNames) {
    catSearch.push_back(scenery.searchFolder + "/" + name);
  }
  std::vector<std::string> headMixed = {"head", "-q", "-c", "2"};
  for (const std::string& name : scenery.mixedNames) {
    headMixed.push_back(scenery.mixedFolder + "/" + name);
  }
  command("p_cat_country", {"cat", scenery.countryFile});
  command("p_list", {cli, "list", scenery.countryFile});
  command("p_list_json", {cli, "list", "--json", scenery.countryFile});
  command("p_cat_search", catSearch);
  command("p_find", {cli, "find", scenery.searchFolder, scenery.soughtName});
  command("p_head_mixed", headMixed);
  command("p_files", {cli, "files", scenery.mixedFolder});
  std::vector<std::string> catLibrary = {"cat"};
  catLibrary.insert(catLibrary.end(), scenery.libraryFiles.begin(), scenery.libraryFiles.end());
  command("p_cat_library", catLibrary);
  command("p_where", {cli, "where", scenery.libraryIdent, "--fs", scenery.libraryFolder});
  command("p_conflicts", {cli, "conflicts", "--fs", scenery.libraryFolder});
  command("p_cat_reference", {"cat", list.file});
  // No definition of the airport in that library: status 1, once the list is read.
  command("p_where_reference",
          {cli, "where", "LFLJ", "--reference", list.file, "--fs", list.emptyLibrary}, 1);

  // The journals the writes start from, written by the program itself: the records of one
  // change, and those of as many alignments as fill half the journal's limit, the least it holds
  // once it has been trimmed (it stays between half its limit and all of it from then on).
  const Write set = {{"set", writes.setFile, "--offset", std::to_string(writes.setOffset)},
                     {writes.setFile},
                     writes.setOffset};
  const Write align = {{"align", writes.alignIdent, "--all", "--fs", writes.alignFolder},
                       writes.alignFiles,
                       writes.alignOffset};
  const Journals journals = {options.data + "/journal-new", options.data + "/journal-half-full"};
  const auto halfFull = static_cast<std::uintmax_t>(library::Journal::kDefaultLimit / 2 *
                                                    std::min(1.0, options.scale));
  constexpr auto kReplace = fs::copy_options::overwrite_existing;
  bool made = RunWrite(cli, set) && fs::copy_file(journal, journals.fresh, kReplace);
  while (made && fs::file_size(journal) < halfFull) made = RunWrite(cli, align);
  made = made && fs::copy_file(journal, journals.halfFull, kReplace);
  if (!made) {
    std::cerr << "qorbgl-bench: the writes to fill the journal failed\n";
    return 2;
  }

  // The writes, the earlier program's run (--before) just before each of this one's, on the
  // same files. Untimed before each run: the journal put in its state, the trash emptied, the
  // value picked and the disk flushed, so that no run pays for what the one before left to
  // write; after it, every field checked.
  auto writing = [&](const char* name, const std::string& program, const Write& write,
                     const std::string& from) {
    add(name, [=](benchmark::State& state) {
      for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(from, journal, kReplace);
        EmptyTrash();
        int metres = 0;
        const std::vector<std::string> argv = WriteCommand(program, write, metres);
        ::sync();
        state.ResumeTiming();
        const bool ran = RunProcess(argv);
        state.PauseTiming();
        const bool wrote = Wrote(write, metres);
        state.ResumeTiming();
        if (!ran) return Fail(state, "the command failed: " + program + " " + write.args[0]);
        if (!wrote) return Fail(state, "a field does not hold its new value: " + write.args[0]);
      }
    });
  };
  const bool before = !options.before.empty();
  if (before) writing("w1_set_before", options.before, set, journals.fresh);
  writing("w1_set", cli, set, journals.fresh);
  if (before) writing("w2_set_before", options.before, set, journals.halfFull);
  writing("w2_set", cli, set, journals.halfFull);
  if (before) writing("w3_align_before", options.before, align, journals.fresh);
  writing("w3_align", cli, align, journals.fresh);
  if (before) writing("w4_align_before", options.before, align, journals.halfFull);
  writing("w4_align", cli, align, journals.halfFull);

  // A figure's benchmarks share the first word of their names (a_, p_, w1_...).
  const auto group = [](const std::string& name) { return name.substr(0, name.find('_')); };
  for (std::size_t first = 0; first < planned.size();) {
    std::size_t end = first;
    while (end < planned.size() && group(planned[end].first) == group(planned[first].first)) ++end;
    // A whole process is one run of its figure, and its median wants at least seven.
    const bool processes = planned[first].first[0] == 'p' || planned[first].first[0] == 'w';
    const int runs = processes ? std::max(options.runs, 7) : options.runs;
    for (int run = 0; run < runs; ++run) {
      for (std::size_t i = first; i < end; ++i) {
        auto* registered = benchmark::RegisterBenchmark(planned[i].first.c_str(), planned[i].second)
                               ->Unit(benchmark::kMillisecond)
                               ->UseRealTime();
        if (processes) registered->Iterations(1);
      }
    }
    first = end;
  }

  TableReporter reporter;
  try {
    benchmark::RunSpecifiedBenchmarks(&reporter);
  } catch (const std::exception& e) {
    std::cerr << "qorbgl-bench: " << e.what() << '\n';
    return 2;
  }
  benchmark::Shutdown();

  const std::optional<std::uint64_t> peak = PeakMemoryOfList(options.cli, scenery.countryFile);
  const int missed =
      PrintTable(reporter, scenery, list, writes, journals, before, windowGrowth, peak);
  if (madeFolder) fs::remove_all(*madeFolder);
  if (reporter.errors > 0) return 2;
  return options.check && missed > 0 ? 1 : 0;
}

}  // namespace qor::bench

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--peak-memory-of") {
    return qor::bench::ReportPeakMemoryOf(argv + 2);
  }
  return qor::bench::Main(argc, argv);
}
