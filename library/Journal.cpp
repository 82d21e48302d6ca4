#include "library/Journal.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

#include "lang/Tr.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/FileOps.h"
#include "platform/ShellFolders.h"
#include "text/Hex.h"
#include "text/PathText.h"
#include "util/Checksum.h"
#include "util/FileUtil.h"

namespace qor::library {

namespace {

// How long a process waits for another one's append: appends take milliseconds.
constexpr std::chrono::milliseconds kJournalWait(10000);

// A text as one token: its spaces, control characters, non-ASCII bytes and '%' as %XX; the
// empty text as a lone '%'.
void PutText(std::string& out, std::string_view text) {
  out += ' ';
  if (text.empty()) {
    out += '%';
    return;
  }
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || b == '%') {
      out += '%';
      out += LowerHexDigit(static_cast<unsigned>(b) >> 4);
      out += LowerHexDigit(static_cast<unsigned>(b));
    } else {
      out += c;
    }
  }
}

void PutNumber(std::string& out, std::int64_t n) {
  out += ' ';
  out += std::to_string(n);
}

void PutUnsigned(std::string& out, std::uint64_t n) {
  out += ' ';
  out += std::to_string(n);
}

void PutBytes(std::string& out, const std::array<std::uint8_t, 4>& bytes, std::uint8_t width) {
  out += ' ';
  for (std::uint8_t i = 0; i < width; ++i) {
    out += LowerHexDigit(static_cast<unsigned>(bytes[i]) >> 4);
    out += LowerHexDigit(static_cast<unsigned>(bytes[i]));
  }
}

void PutStamp(std::string& out, const platform::File::Stamp& s) {
  PutUnsigned(out, s.device);
  PutUnsigned(out, s.inode);
  PutUnsigned(out, s.size);
  PutNumber(out, s.modifiedNs);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The tokens of a record, read one by one; every reader fails on anything unexpected.
class Tokens {
 public:
  explicit Tokens(std::string_view text) : rest_(text) {}

  bool Next(std::string_view& token) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find(' ');
    token = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return !token.empty();
  }
  bool Unsigned(std::uint64_t& n) {
    std::string_view t;
    if (!Next(t) || t.size() > 20) return false;
    n = 0;
    for (const char c : t) {
      if (c < '0' || c > '9') return false;
      const std::uint64_t next = n * 10 + static_cast<unsigned>(c - '0');
      if (next / 10 != n) return false;
      n = next;
    }
    return true;
  }
  bool Signed(std::int64_t& n) {
    std::string_view t;
    if (!Peek(t)) return false;
    const bool negative = t[0] == '-';
    if (negative) rest_.remove_prefix(1);
    std::uint64_t u = 0;
    if (!Unsigned(u) || u > (negative ? 1ull << 63 : (1ull << 63) - 1)) return false;
    n = negative ? static_cast<std::int64_t>(0 - u) : static_cast<std::int64_t>(u);
    return true;
  }
  bool Text(std::string& text) {
    std::string_view t;
    if (!Next(t)) return false;
    text.clear();
    if (t == "%") return true;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] != '%') {
        text += t[i];
        continue;
      }
      if (i + 2 >= t.size()) return false;
      const int hi = HexValue(t[i + 1]);
      const int lo = HexValue(t[i + 2]);
      if (hi < 0 || lo < 0) return false;
      text += static_cast<char>(hi * 16 + lo);
      i += 2;
    }
    return true;
  }
  bool Bytes(std::array<std::uint8_t, 4>& bytes, std::uint8_t width) {
    std::string_view t;
    if (!Next(t) || t.size() != 2u * width) return false;
    bytes = {};
    for (std::uint8_t i = 0; i < width; ++i) {
      const int hi = HexValue(t[2 * i]);
      const int lo = HexValue(t[2 * i + 1]);
      if (hi < 0 || lo < 0) return false;
      bytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return true;
  }
  bool Stamp(platform::File::Stamp& s) {
    return Unsigned(s.device) && Unsigned(s.inode) && Unsigned(s.size) && Signed(s.modifiedNs);
  }
  bool AtEnd() const { return rest_.empty(); }

 private:
  bool Peek(std::string_view& token) const {
    if (rest_.empty()) return false;
    token = rest_.substr(0, rest_.find(' '));
    return !token.empty();
  }
  std::string_view rest_;
};

bool ParseBegin(Tokens& t, JournalChange& c) {
  std::uint64_t files = 0;
  if (!t.Unsigned(c.id) || c.id == 0 || !t.Signed(c.timeMs) || !t.Text(c.record.command) ||
      !t.Unsigned(c.record.undoes) || !t.Unsigned(files)) {
    return false;
  }
  for (std::uint64_t i = 0; i < files; ++i) {
    FileEdit f;
    std::uint64_t fields = 0;
    if (!t.Text(f.path) || !t.Stamp(f.stamp) || !t.Unsigned(fields)) return false;
    for (std::uint64_t j = 0; j < fields; ++j) {
      FieldEdit e;
      std::uint64_t offset = 0;
      std::uint64_t width = 0;
      if (!t.Unsigned(offset) || offset > UINT32_MAX || !t.Unsigned(width) ||
          (width != 1 && width != 2 && width != 4)) {
        return false;
      }
      e.offset = static_cast<std::uint32_t>(offset);
      e.width = static_cast<std::uint8_t>(width);
      if (!t.Bytes(e.before, e.width) || !t.Bytes(e.after, e.width) || !t.Text(e.what)) {
        return false;
      }
      f.fields.push_back(std::move(e));
    }
    c.record.files.push_back(std::move(f));
  }
  return t.AtEnd();
}

bool ParseCopy(Tokens& t, JournalCopy& c) {
  return t.Signed(c.timeMs) && t.Text(c.record.path) && t.Stamp(c.record.stamp) &&
         t.Text(c.record.copy) && t.AtEnd();
}

std::string Line(std::string_view record) {
  const std::uint32_t crc = Crc32(record);
  std::string line(8, '0');
  for (int i = 0; i < 8; ++i) line[7 - i] = LowerHexDigit(crc >> (4 * i));
  line += ' ';
  line += record;
  line += '\n';
  return line;
}

// The record of a line whose checksum holds; nothing for a damaged one.
std::optional<std::string_view> RecordOf(std::string_view line) {
  if (line.size() < 10 || line[8] != ' ') return std::nullopt;
  std::uint32_t crc = 0;
  for (int i = 0; i < 8; ++i) {
    const int v = HexValue(line[i]);
    if (v < 0) return std::nullopt;
    crc = crc << 4 | static_cast<std::uint32_t>(v);
  }
  const std::string_view record = line.substr(9);
  if (Crc32(record) != crc) return std::nullopt;
  return record;
}

// More than the journal ever holds (it is kept under its limit): a larger file is not read
// whole, only its end, from a line's start.
constexpr std::uint64_t kMostRead = 16 * 1024 * 1024;

std::string ReadAll(platform::File& file) {
  const std::uint64_t size = file.Size();
  const std::uint64_t from = size > kMostRead ? size - kMostRead : 0;
  std::string bytes(static_cast<std::size_t>(size - from), '\0');
  bytes.resize(file.ReadAt(from, bytes.data(), bytes.size()));
  if (from > 0) bytes.erase(0, std::min(bytes.find('\n') + 1, bytes.size()));
  return bytes;
}

}  // namespace

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string MomentText(std::int64_t timeMs) {
  const platform::LocalTime t = platform::LocalTimeAt(timeMs);
  const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  // Day, month, year, hour, minute: each language writes them in its own order and marks.
  return Tr("%1/%2/%3 %4:%5",
            {two(t.day), two(t.month), std::to_string(t.year), two(t.hour), two(t.minute)});
}

std::string CommandText(const std::string& command) {
  // The window's changes are recorded under French names; the command line's under its syntax.
  if (command == "fenêtre") return Tr("fenêtre");
  if (command == "fenêtre : défaire") return Tr("fenêtre : défaire");
  return command;
}

std::string Journal::UserPath() {
  return platform::UserLocalAppDataFolder() + "QORBgl" + platform::kPathDelimiter + "journal";
}

Journal::Journal(std::string path, std::uint64_t limit) : path_(std::move(path)), limit_(limit) {}

std::string Journal::BeginRecord(std::uint64_t id, std::int64_t timeMs,
                                 const ChangeRecord& change) {
  std::string r = "B";
  PutUnsigned(r, id);
  PutNumber(r, timeMs);
  PutText(r, change.command);
  PutUnsigned(r, change.undoes);
  PutUnsigned(r, change.files.size());
  for (const FileEdit& f : change.files) {
    PutText(r, f.path);
    PutStamp(r, f.stamp);
    PutUnsigned(r, f.fields.size());
    for (const FieldEdit& e : f.fields) {
      PutUnsigned(r, e.offset);
      PutUnsigned(r, e.width);
      PutBytes(r, e.before, e.width);
      PutBytes(r, e.after, e.width);
      PutText(r, e.what);
    }
  }
  return r;
}

std::string Journal::EndRecord(std::uint64_t id, End end) {
  std::string r = "E";
  PutUnsigned(r, id);
  r += end == End::Done ? " D" : " R";
  return r;
}

std::string Journal::CopyRecord(std::int64_t timeMs, const BackupRecord& backup) {
  std::string r = "C";
  PutNumber(r, timeMs);
  PutText(r, backup.path);
  PutStamp(r, backup.stamp);
  PutText(r, backup.copy);
  return r;
}

JournalContents Journal::Parse(std::string_view bytes) {
  JournalContents contents;
  std::map<std::uint64_t, End> ends;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) {
      ++contents.damaged;  // a line cut short: its record was never whole
      break;
    }
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    const std::optional<std::string_view> record = RecordOf(line);
    if (!record) {
      ++contents.damaged;
      continue;
    }
    Tokens t(*record);
    std::string_view kind;
    bool understood = false;
    if (t.Next(kind) && kind == "B") {
      JournalChange c;
      understood = ParseBegin(t, c);
      if (understood) {
        contents.lastId = std::max(contents.lastId, c.id);
        contents.changes.push_back(std::move(c));
      }
    } else if (kind == "E") {
      std::uint64_t id = 0;
      std::string_view how;
      understood = t.Unsigned(id) && t.Next(how) && (how == "D" || how == "R") && t.AtEnd();
      if (understood) {
        contents.lastId = std::max(contents.lastId, id);
        ends.try_emplace(id, how == "D" ? End::Done : End::RolledBack);
      }
    } else if (kind == "C") {
      JournalCopy c;
      understood = ParseCopy(t, c);
      if (understood) contents.copies.push_back(std::move(c));
    }
    if (!understood) ++contents.damaged;
  }
  std::map<std::uint64_t, std::size_t> byId;
  for (std::size_t i = 0; i < contents.changes.size(); ++i) {
    JournalChange& c = contents.changes[i];
    byId.try_emplace(c.id, i);
    const auto e = ends.find(c.id);
    if (e != ends.end()) {
      c.state =
          e->second == End::Done ? JournalChange::State::Done : JournalChange::State::RolledBack;
    }
  }
  // A change taken back by an undo that was made whole is undone.
  for (const JournalChange& c : contents.changes) {
    if (c.record.undoes == 0 || c.state != JournalChange::State::Done) continue;
    const auto target = byId.find(c.record.undoes);
    if (target == byId.end()) continue;
    JournalChange& undone = contents.changes[target->second];
    if (undone.state == JournalChange::State::Done && undone.id < c.id) {
      undone.state = JournalChange::State::Undone;
      undone.undoneBy = c.id;
    }
  }
  return contents;
}

// The journal with its lock held, for the length of one operation. Nothing is read that the
// operation does not need: an append looks only at the journal's size and last byte, a new
// change number only at the journal's end.
class Journal::Session {
 public:
  explicit Session(const Journal& journal) : journal_(journal) {
    const std::string& path = journal.path_;
    const std::string folder = ExtractFilePath(path);
    if (!folder.empty() && !platform::FolderExists(folder) &&
        !platform::MakeFolders(folder, 0700)) {
      throw Exception(Tr("Je ne peux pas créer le dossier du journal des modifications %1.",
                         {QuotedPath(folder)}));
    }
    lock_ = platform::File::OpenOrCreate(path + ".lock");
    if (!lock_->Lock(kJournalWait)) {
      throw Exception(
          Tr("Le journal des modifications %1 est retenu par un autre programme "
             "depuis %2 secondes : je n'écris rien.",
             {QuotedPath(path), std::to_string(kJournalWait.count() / 1000)}));
    }
    if (platform::FileExists(path)) {
      file_ = platform::File::OpenOrCreate(path);
      size_ = file_->Size();
      char last = '\n';
      if (size_ > 0) file_->ReadAt(size_ - 1, &last, 1);
      endsLine_ = last == '\n';
    }
  }

  // Everything the journal holds (its end, when it is far too large).
  std::string Bytes() const { return file_ ? ReadAll(*file_) : std::string(); }

  // The highest change number recorded: that of the last whole change record, or of a later
  // end record, read back from the journal's end a piece at a time.
  std::uint64_t LastId() const {
    if (!file_) return 0;
    std::uint64_t piece = 64 * 1024;
    for (;;) {
      const std::uint64_t from = size_ > piece ? size_ - piece : 0;
      std::string bytes(static_cast<std::size_t>(size_ - from), '\0');
      bytes.resize(file_->ReadAt(from, bytes.data(), bytes.size()));
      std::string_view rest = bytes;
      rest = rest.substr(0, rest.rfind('\n') + 1);  // a line cut short is no record
      std::uint64_t highest = 0;
      while (!rest.empty()) {
        const std::string_view body = rest.substr(0, rest.size() - 1);  // its last line end off
        const std::size_t before = body.rfind('\n');
        // The first line of a piece may have begun before it: only whole lines count.
        if (before == std::string_view::npos && from > 0) break;
        const std::size_t at = before == std::string_view::npos ? 0 : before + 1;
        const std::string_view line = body.substr(at);
        rest = rest.substr(0, at);
        const std::optional<std::string_view> record = RecordOf(line);
        if (!record || record->size() < 2 || (*record)[1] != ' ') continue;
        Tokens t(record->substr(2));
        std::uint64_t id = 0;
        if (((*record)[0] != 'B' && (*record)[0] != 'E') || !t.Unsigned(id)) continue;
        highest = std::max(highest, id);
        if ((*record)[0] == 'B') return highest;
      }
      if (from == 0) return highest;
      piece *= 4;
    }
  }

  void Append(const std::string& record, bool flush) {
    if (!file_) {
      // Made under another name and given its own only once it is on disk with its folder's
      // entry, so that the first record does not vanish with a crash.
      const std::string fresh = journal_.path_ + ".new";
      platform::RemoveFile(fresh);
      platform::File::OpenOrCreate(fresh)->Flush();
      if (!platform::RenameFile(fresh, journal_.path_)) {
        throw Exception(Tr("Je ne peux pas créer le journal des modifications %1.",
                           {QuotedPath(journal_.path_)}));
      }
      file_ = platform::File::OpenOrCreate(journal_.path_);
      size_ = 0;
      endsLine_ = true;
    }
    // A line cut short by a crash is ended first: this record starts a line of its own.
    const std::string line = (endsLine_ ? "" : "\n") + Line(record);
    file_->WriteAt(size_, line.data(), line.size());
    if (flush) file_->Flush();
    size_ += line.size();
    endsLine_ = true;
  }

  // Too large: the newest records down to half the limit are kept, with every record of an
  // unfinished change however old.
  void TrimWhenFull() {
    if (!file_ || size_ <= journal_.limit_) return;
    const std::string bytes = ReadAll(*file_);
    const JournalContents now = Parse(bytes);
    std::vector<std::uint64_t> unfinished;
    for (const JournalChange& c : now.changes) {
      if (c.state == JournalChange::State::Unfinished) unfinished.push_back(c.id);
    }
    std::vector<std::string_view> lines;
    for (std::string_view rest = bytes; !rest.empty();) {
      const std::size_t end = rest.find('\n');
      if (end == std::string_view::npos) break;
      lines.push_back(rest.substr(0, end + 1));
      rest.remove_prefix(end + 1);
    }
    std::vector<bool> keep(lines.size(), false);
    std::uint64_t kept = 0;
    for (std::size_t i = lines.size(); i-- > 0;) {
      if (kept + lines[i].size() > journal_.limit_ / 2) break;
      keep[i] = true;
      kept += lines[i].size();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (keep[i]) continue;
      const std::optional<std::string_view> record =
          RecordOf(lines[i].substr(0, lines[i].size() - 1));
      if (!record || record->substr(0, 2) != "B ") continue;
      Tokens t(record->substr(2));
      std::uint64_t id = 0;
      keep[i] =
          t.Unsigned(id) && std::find(unfinished.begin(), unfinished.end(), id) != unfinished.end();
    }
    std::string trimmed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (keep[i]) trimmed += lines[i];
    }
    const std::string fresh = journal_.path_ + ".new";
    platform::RemoveFile(fresh);
    {
      const std::unique_ptr<platform::File> out = platform::File::OpenOrCreate(fresh);
      out->WriteAt(0, trimmed.data(), trimmed.size());
      out->Flush();
    }
    file_.reset();
    // Left as it was when the new one cannot take its place: it only stays larger.
    if (!platform::ReplaceFile(fresh, journal_.path_)) platform::RemoveFile(fresh);
  }

 private:
  const Journal& journal_;
  std::unique_ptr<platform::File> lock_;
  std::unique_ptr<platform::File> file_;
  std::uint64_t size_ = 0;
  bool endsLine_ = true;
};

JournalContents Journal::ParseUnfinished(std::string_view bytes) {
  // The end records first, checked: a damaged one must not pass for an end. A change record
  // is read whole only when no end follows it.
  std::vector<std::uint64_t> ended;
  std::vector<std::pair<std::uint64_t, std::string_view>> begun;
  for (std::string_view rest = bytes; !rest.empty();) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) break;
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (line.size() < 12 || line[8] != ' ' || line[10] != ' ') continue;
    if (line[9] == 'E') {
      const std::optional<std::string_view> record = RecordOf(line);
      Tokens t(record ? record->substr(2) : std::string_view());
      std::uint64_t id = 0;
      if (record && t.Unsigned(id)) ended.push_back(id);
    } else if (line[9] == 'B') {
      Tokens t(line.substr(11));
      std::uint64_t id = 0;
      if (t.Unsigned(id)) begun.emplace_back(id, line);
    }
  }
  std::sort(ended.begin(), ended.end());
  std::string unfinished;
  for (const auto& [id, line] : begun) {
    if (std::binary_search(ended.begin(), ended.end(), id)) continue;
    unfinished.append(line);
    unfinished += '\n';
  }
  return Parse(unfinished);
}

void Journal::Locked(const std::function<void(const JournalContents&, const Append&)>& work) const {
  Session session(*this);
  const JournalContents contents = ParseUnfinished(session.Bytes());
  const Append append = [&](const std::string& record) { session.Append(record, true); };
  work(contents, append);
  session.TrimWhenFull();
}

std::uint64_t Journal::Begin(const ChangeRecord& change) {
  Session session(*this);
  const std::uint64_t id = session.LastId() + 1;
  session.Append(BeginRecord(id, NowMs(), change), true);
  session.TrimWhenFull();
  return id;
}

void Journal::Finish(std::uint64_t change, End end) {
  Session session(*this);
  session.Append(EndRecord(change, end), true);
  session.TrimWhenFull();
}

void Journal::NoteBackup(const BackupRecord& backup) {
  // Flushed with the change it comes before: lost with a crash before that, it leaves restore
  // to its other rule (a copy differing only inside elevation fields).
  Session session(*this);
  session.Append(CopyRecord(NowMs(), backup), false);
  session.TrimWhenFull();
}

JournalContents Journal::Read() const {
  if (!platform::FileExists(path_)) return {};
  Session session(*this);
  return Parse(session.Bytes());
}

}  // namespace qor::library
