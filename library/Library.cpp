#include "library/Library.h"

#include <algorithm>
#include <map>

#include "bgl/Bgl.h"
#include "bgl/BglHeader.h"
#include "bgl/Listing.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "text/PathText.h"
#include "util/FileUtil.h"

namespace qor::library {

namespace {

// The "scenery" folder of an area, in any letter case.
std::string SceneryFolder(const Area& area) {
  const std::string found = platform::FindNameIgnoringCase(area.folder, "scenery");
  return area.folder + (found.empty() ? "scenery" : found) + platform::kPathDelimiter;
}

void Read(Library& library, std::size_t area, const std::string& path, std::string_view only) {
  const TBGL bgl(path, "", TBGL::Scope::Airports);
  library.stamps.emplace_back(path, bgl.SeenStamp());
  for (const TAirport1Rec* airport : bgl.Airports()) {
    std::string icao = airport->Icao();
    if (!only.empty() && !NamesAirport(only, airport->Name, icao)) continue;
    Definition d;
    d.area = area;
    d.file = path;
    d.name = std::string(airport->Name);
    d.icao = std::move(icao);
    d.latitude = airport->Latitude();
    d.longitude = airport->Longitude();
    d.elevationMm = airport->Elevations[0].SignedAltitude();
    d.offset = airport->Elevations[0].Offset;
    d.elements.reserve(airport->Elevations.size() - 1);
    for (std::size_t i = 1; i < airport->Elevations.size(); ++i) {
      const TElevation& e = airport->Elevations[i];
      d.elements.push_back({std::string(e.Caption), e.SignedAltitude(), e.Offset});
    }
    library.definitions.push_back(std::move(d));
  }
}

// The key an airport is known by across files: its ident, else its name with a to z folded.
std::string Key(const Definition& d) {
  if (!d.icao.empty()) return "I" + d.icao;
  std::string key = "N" + d.name;
  for (char& c : key) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  return key;
}

}  // namespace

LibraryScan::LibraryScan(SceneryConfig config, std::string only) : only_(std::move(only)) {
  library_.config = std::move(config);
  const std::vector<Area>& areas = library_.config.areas;
  library_.files.assign(areas.size(), 0);
  // The file names first, so that the progress knows the whole.
  for (std::size_t a = 0; a < areas.size(); ++a) {
    const Area& area = areas[a];
    if (area.folder.empty()) {
      library_.problems.push_back(
          {area.section,
           Tr("La zone « %1 » ne nomme aucun dossier (Local= et Remote= sont vides).",
              {area.title}),
           a});
      continue;
    }
    const std::string folder = SceneryFolder(area);
    std::string reason;
    const platform::FolderState state = platform::ProbeFolder(folder, reason);
    if (state == platform::FolderState::kMissing) {
      library_.problems.push_back(
          {folder, Tr("Le dossier de la zone « %1 » n'existe pas : %2", {area.title, folder}), a});
      continue;
    }
    if (state == platform::FolderState::kUnreadable) {
      library_.problems.push_back({folder,
                                   Tr("Le dossier de la zone « %1 » ne peut pas être lu (%2) : %3",
                                      {area.title, reason, folder}),
                                   a});
      continue;
    }
    try {
      const std::vector<std::string> names = platform::ListFolderFiles(folder, "bgl");
      library_.files[a] = names.size();
      for (const std::string& name : names) paths_.emplace_back(a, folder + name);
    } catch (const Exception& e) {
      library_.problems.push_back({folder, e.what(), a});
    }
  }
}

bool LibraryScan::Step(Clock::time_point until) {
  while (done_ < paths_.size()) {
    const auto& [area, path] = paths_[done_++];
    try {
      Read(library_, area, path, only_);
    } catch (const Exception& e) {
      // The header word tells a file of the older format, passed over, from a damaged one,
      // whose message then names the word the file starts with.
      std::string message = e.what();
      bool older = false;
      try {
        const HeaderCheck header = CheckHeader(path);
        older = header.kind == HeaderKind::kOlderFormat;
        if (header.kind == HeaderKind::kDamaged) message = header.message;
      } catch (const EInOutError&) {
        // the first message says why
      }
      if (!older) library_.problems.push_back({path, message, area});
    }
    if (Clock::now() >= until) break;
  }
  return done_ == paths_.size();
}

std::size_t ActiveProblems(const Library& library) {
  return static_cast<std::size_t>(
      std::count_if(library.problems.begin(), library.problems.end(),
                    [&](const Problem& p) { return library.config.areas[p.area].active; }));
}

std::string ActiveProblemsText(std::size_t problems) {
  return problems == 1 ? Tr("1 fichier ou dossier des zones actives n'a pas pu être lu")
                       : Tr("%1 fichiers ou dossiers des zones actives n'ont pas pu être lus",
                            {std::to_string(problems)});
}

Library ScanLibrary(SceneryConfig config, std::string only) {
  LibraryScan scan(std::move(config), std::move(only));
  scan.Step(LibraryScan::Clock::time_point::max());
  return scan.Take();
}

std::vector<const Definition*> Where(const Library& library, std::string_view text) {
  std::vector<const Definition*> found;
  for (const Definition& d : library.definitions) {
    if (NamesAirport(text, d.name, d.icao)) found.push_back(&d);
  }
  return found;
}

const Definition* Shown(const Library& library, const std::vector<const Definition*>& found) {
  for (auto it = found.rbegin(); it != found.rend(); ++it) {
    if (library.AreaOf(**it).active) return *it;
  }
  return nullptr;
}

bool Agree(const Library& library, const std::vector<const Definition*>& found,
           std::int32_t toleranceMm) {
  std::int64_t low = INT64_MAX, high = INT64_MIN;
  for (const Definition* d : found) {
    if (!library.AreaOf(*d).active) continue;
    low = std::min<std::int64_t>(low, d->elevationMm);
    high = std::max<std::int64_t>(high, d->elevationMm);
  }
  return low == INT64_MAX || high - low <= toleranceMm;
}

std::vector<Conflict> Conflicts(const Library& library, std::int32_t minDiffMm,
                                const Reference* reference) {
  std::map<std::string, std::size_t> index;
  std::vector<Conflict> all;
  for (const Definition& d : library.definitions) {
    if (!library.AreaOf(d).active) continue;
    const auto [it, added] = index.try_emplace(Key(d), all.size());
    if (added) {
      all.emplace_back();
      all.back().icao = d.icao;
      all.back().name = d.name;
    }
    all[it->second].definitions.push_back(&d);
  }
  std::vector<Conflict> conflicts;
  for (Conflict& c : all) {
    const auto [low, high] = std::minmax_element(
        c.definitions.begin(), c.definitions.end(),
        [](const Definition* a, const Definition* b) { return a->elevationMm < b->elevationMm; });
    const std::int64_t spread = std::int64_t{(*high)->elevationMm} - (*low)->elevationMm;
    c.definitionsDiffer = spread > minDiffMm;
    const Definition& shown = *c.definitions.back();
    if (reference) {
      c.reference = MatchDefinition(*reference, shown);
      c.referenceDiffers =
          c.reference.airport &&
          DiffersFromReference(shown.elevationMm, c.reference.airport->elevationMm, minDiffMm);
    }
    if (!c.definitionsDiffer && !c.referenceDiffers) continue;
    c.spreadMm = static_cast<std::int32_t>(std::min<std::int64_t>(spread, INT32_MAX));
    // The name the simulator shows.
    c.name = shown.name;
    conflicts.push_back(std::move(c));
  }
  return conflicts;
}

}  // namespace qor::library
