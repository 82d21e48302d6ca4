#include "library/SceneryConfig.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/WinePaths.h"
#include "text/PathText.h"
#include "util/Cp1252.h"
#include "util/FileUtil.h"

namespace qor::library {

namespace {

// A scenery.cfg is a few kilobytes; a file a thousand times larger is no scenery.cfg.
constexpr std::uint64_t kLargestConfig = 16 * 1024 * 1024;

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

bool StartsWithAscii(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && SameAscii(text.substr(0, start.size()), start);
}

class Parser {
 public:
  Parser(const std::string& path, const std::string& simFolder)
      : path_(path), simFolder_(simFolder) {}

  SceneryConfig Parse(std::string_view bytes) {
    // A file saved as UTF-8 by an editor says so by its mark; FS2004 writes Windows-1252.
    utf8_ = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (utf8_) bytes.remove_prefix(3);
    std::size_t number = 0;
    while (!bytes.empty()) {
      const std::size_t end = std::min(bytes.find('\n'), bytes.size());
      Line(Trimmed(bytes.substr(0, end)), ++number);
      bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    FinishArea();
    std::stable_sort(areas_.begin(), areas_.end(),
                     [](const Area& a, const Area& b) { return a.layer < b.layer; });
    return SceneryConfig{path_, std::move(areas_)};
  }

 private:
  [[noreturn]] void Malformed(std::size_t number, const std::string& why) const {
    throw Exception(Tr("Le fichier %1 est mal formé à la ligne %2 : %3",
                       {QuotedPath(path_), std::to_string(number), why}));
  }

  std::string Text(std::string_view bytes) const {
    return utf8_ ? std::string(bytes) : Cp1252ToUtf8(bytes);
  }

  void Line(std::string_view line, std::size_t number) {
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') {
      if (line.back() != ']') Malformed(number, Tr("« %1 » n'a pas son « ] ».", {Text(line)}));
      FinishArea();
      const std::string_view name = Trimmed(line.substr(1, line.size() - 2));
      inSection_ = true;
      inArea_ = StartsWithAscii(name, "Area.");
      if (inArea_) {
        area_ = Area{};
        area_.section = Text(name);
        area_.line = number;
        layer_.reset();
        remote_.clear();
      }
      return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      Malformed(number, Tr("« %1 » n'est ni un titre de section, ni une clé suivie de « = », ni "
                           "un commentaire.",
                           {Text(line)}));
    }
    if (!inSection_) {
      Malformed(number, Tr("la clé « %1 » n'est dans aucune section.", {Text(line)}));
    }
    if (!inArea_) return;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (SameAscii(key, "Title")) {
      area_.title = Text(value);
    } else if (SameAscii(key, "Local")) {
      area_.local = Text(value);
    } else if (SameAscii(key, "Remote")) {
      remote_ = Text(value);
    } else if (SameAscii(key, "Active")) {
      if (SameAscii(value, "TRUE")) {
        area_.active = true;
      } else if (SameAscii(value, "FALSE")) {
        area_.active = false;
      } else {
        Malformed(number, Tr("Active vaut « %1 » ; TRUE ou FALSE attendu.", {Text(value)}));
      }
    } else if (SameAscii(key, "Layer")) {
      int layer = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), layer);
      if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
        Malformed(number, Tr("Layer vaut « %1 » ; un nombre entier attendu.", {Text(value)}));
      }
      layer_ = layer;
    }
  }

  void FinishArea() {
    if (!inArea_) return;
    inArea_ = false;
    if (area_.local.empty()) area_.local = remote_;
    // Without Layer=, an area loads in the place its number gives it.
    if (layer_) {
      area_.layer = *layer_;
    } else {
      const std::string_view digits = std::string_view(area_.section).substr(5);
      int number = 0;
      std::from_chars(digits.data(), digits.data() + digits.size(), number);
      area_.layer = number;
    }
    if (area_.title.empty()) area_.title = area_.section;
    if (!area_.local.empty()) area_.folder = AreaFolder(area_.local, simFolder_);
    areas_.push_back(std::move(area_));
  }

  const std::string& path_;
  const std::string& simFolder_;
  bool utf8_ = false;
  bool inSection_ = false;
  bool inArea_ = false;
  Area area_;
  std::optional<int> layer_;
  std::string remote_;
  std::vector<Area> areas_;
};

bool IsAbsoluteWindowsPath(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') || path.substr(0, 2) == "\\\\";
}

}  // namespace

std::string AreaFolder(const std::string& local, const std::string& simFolder) {
  std::string folder;
  std::string_view rest = local;
  if (IsAbsoluteWindowsPath(local)) {
    folder = platform::NativePathOfWindowsPath(local);
    if (folder.empty()) folder = local;  // a drive Wine does not map: shown as written
    return IncludeBackslash(folder);
  }
  if (!local.empty() && platform::kPathDelimiters.find(local[0]) != std::string_view::npos &&
      platform::kPathDelimiter == '/') {
    folder = "/";  // an absolute path of this system
    rest.remove_prefix(1);
  } else {
    folder = IncludeBackslash(simFolder);
  }
  // Each part in any letter case, as Windows finds it.
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of("\\/"), rest.size());
    const std::string part(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (part.empty() || part == ".") continue;
    const std::string found = part == ".." ? "" : platform::FindNameIgnoringCase(folder, part);
    folder += (found.empty() ? part : found) + platform::kPathDelimiter;
  }
  return folder;
}

SceneryConfig ParseSceneryConfig(std::string_view bytes, const std::string& path,
                                 const std::string& simFolder) {
  return Parser(path, simFolder).Parse(bytes);
}

SceneryConfig ReadSceneryConfig(const std::string& simFolder) {
  const std::string folder = IncludeBackslash(simFolder);
  const std::string name = platform::FindNameIgnoringCase(folder, kSceneryCfg);
  const std::string path = folder + (name.empty() ? kSceneryCfg : name);
  if (name.empty() || !platform::FileExists(path)) {
    throw Exception(
        Tr("Je ne trouve pas le fichier %1 : c'est là que le simulateur tient la "
           "liste de sa bibliothèque de scènes.",
           {QuotedPath(path)}));
  }
  const std::unique_ptr<platform::File> file = platform::File::OpenRead(path);
  const std::uint64_t size = file->Size();
  if (size > kLargestConfig) {
    throw Exception(Tr("Le fichier %1 fait %2 octets : ce n'est pas une liste de scènes.",
                       {QuotedPath(path), std::to_string(size)}));
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  bytes.resize(file->ReadAt(0, bytes.data(), bytes.size()));
  return ParseSceneryConfig(bytes, path, folder);
}

}  // namespace qor::library
