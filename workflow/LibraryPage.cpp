#include "workflow/LibraryPage.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>

#include "lang/Tr.h"
#include "library/Align.h"
#include "library/Journal.h"
#include "library/Library.h"
#include "library/Recovery.h"
#include "library/Reference.h"
#include "library/Undo.h"
#include "platform/Errors.h"
#include "simfinder/QORFS.h"
#include "text/PathText.h"
#include "text/Trim.h"
#include "util/Environment.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"
#include "util/Settings.h"
#include "util/Wording.h"
#include "workflow/ElevationInput.h"
#include "workflow/LangStr.h"
#include "workflow/UndoChange.h"

namespace qor {

namespace {

// The simulator's folder of the library read last.
constexpr char kFolderSetting[] = "Simulateur";
// The reference list read last.
constexpr char kReferenceSetting[] = "Reference";

using library::Conflict;
using library::Definition;

// A path under the simulator's folder without that folder: the lists stay readable.
std::string UnderFolder(const std::string& path, const std::string& folder) {
  const std::string base = IncludeBackslash(folder);
  if (folder.empty() || path.size() <= base.size() || path.compare(0, base.size(), base) != 0) {
    return path;
  }
  return path.substr(base.size());
}

std::string Who(const std::string& icao, const std::string& name) {
  return icao.empty() ? name : name + " (" + icao + ")";
}

}  // namespace

std::vector<std::string> LibraryPage::AreaColumns() {
  return {Tr("Couche"), Tr("Zone"), Tr("État"), Tr("Fichiers"), Tr("Dossier")};
}

std::vector<std::string> LibraryPage::DefinitionColumns() {
  // The elevation early, where it shows without scrolling; the path, which may be long, last.
  return {Tr("Affichée"), Tr("Altitude (m)"), Tr("Référence (m)"), Tr("Zone"),
          Tr("Couche"),   Tr("OACI"),         Tr("Nom"),           Tr("Fichier")};
}

std::vector<std::string> LibraryPage::ConflictColumns() {
  return {Tr("OACI"),
          Tr("Nom"),
          Tr("Définitions"),
          Tr("Écart (m)"),
          Tr("Altitude affichée (m)"),
          Tr("Référence (m)")};
}

LibraryPage::LibraryPage(LibraryView& view, WorkflowDialogs& dialogs, Scheduler& scheduler)
    : view_(view), dialogs_(dialogs), scheduler_(scheduler) {}

LibraryPage::~LibraryPage() = default;

bool LibraryPage::Working() const {
  return scan_ != nullptr || referenceRead_ != nullptr;
}

void LibraryPage::Show() {
  if (shown_) return;
  shown_ = true;
  // The folder read last, else the simulator the finder knows.
  folder_ = ReadSetting(kFolderSetting);
  std::string found;
  if (folder_.empty() && TFS::FindSimulatorPath(TFS::kFS2004, found)) folder_ = found;
  view_.ShowSimulatorFolder(folder_);
  referenceFile_ = ReadSetting(kReferenceSetting);
  view_.ShowReferenceFile(referenceFile_);
  view_.SetLibraryStatus(
      folder_.empty()
          ? Tr("Indiquez le dossier de FS2004 (celui de scenery.cfg), puis « Charger ».")
          : Tr("« Charger » lit la bibliothèque de scènes de ce dossier."));
}

void LibraryPage::Report(const std::string& text, bool stop) {
  dialogs_.MsgBox(text, "QORBgl", UserDialog::kOk | (stop ? UserDialog::kIconStop : 0));
}

void LibraryPage::Browse(const std::string& shown) {
  if (Working()) return;
  std::string folder(Trim(shown));
  if (!dialogs_.BrowseFolder(LangStr(40), folder)) return;
  view_.ShowSimulatorFolder(folder);
  Load(folder);
}

void LibraryPage::Load(const std::string& text) {
  if (Working()) return;
  shown_ = true;
  folder_ = Trim(text);
  // Nothing of an earlier library stays: the lists would name files of another folder.
  library_.reset();
  complete_ = false;
  shownDefinitions_.clear();
  shownConflicts_.clear();
  view_.ShowAreas({});
  view_.ShowDefinitions({}, "");
  view_.ShowConflicts({});
  library::SceneryConfig config;
  try {
    config = library::ReadSceneryConfig(folder_);
  } catch (const Exception& e) {
    view_.SetLibraryStatus(Tr("La bibliothèque n'a pas pu être lue."));
    Report(e.what(), true);
    return;
  }
  WriteSetting(kFolderSetting, folder_);  // a folder that holds a library, for the next run
  StartScan(std::move(config));
}

void LibraryPage::StartScan(library::SceneryConfig config) {
  scan_ = std::make_unique<library::LibraryScan>(std::move(config));
  view_.SetLibraryBusy(true);
  view_.SetLibraryStatus(Tr("Lecture de la bibliothèque…"));
  const std::uint64_t job = ++job_;
  scheduler_.Post([this, job] { ScanStep(job); });
}

void LibraryPage::ScanStep(std::uint64_t job) {
  if (job != job_ || !scan_) return;
  const bool done = scan_->Step(std::chrono::steady_clock::now() + scheduler_.StepTime());
  if (!done) {
    view_.SetLibraryStatus(Tr(
        "Lecture de la bibliothèque : %1 sur %2 (Échap pour arrêter)",
        {std::to_string(scan_->Done()), Counted(scan_->Total(), Tr("fichier"), Tr("fichiers"))}));
    scheduler_.Post([this, job] { ScanStep(job); });
    return;
  }
  Finish();
}

void LibraryPage::Cancel() {
  if (!Working()) return;
  ++job_;
  if (scan_) {
    Finish();
    return;
  }
  // A list read in part would say of the airports not read yet that it does not know them.
  referenceRead_.reset();
  view_.SetLibraryBusy(false);
  view_.SetLibraryStatus(reference_
                             ? Tr("Lecture de la référence arrêtée : la précédente reste en place.")
                             : Tr("Lecture de la référence arrêtée : aucune référence."));
}

void LibraryPage::BrowseReference(const std::string& shown) {
  if (Working()) return;
  std::string file(Trim(shown));
  if (!dialogs_.OpenFile(LangStr(69), LangStr(70), file)) return;
  view_.ShowReferenceFile(file);
  LoadReference(file);
}

void LibraryPage::LoadReference(const std::string& text) {
  if (Working()) return;
  shown_ = true;
  const std::string file(Trim(text));
  if (file.empty()) {
    referenceFile_.clear();
    reference_.reset();
    WriteSetting(kReferenceSetting, "");
    ShowConflictRows();
    ShowLookup();
    view_.SetLibraryStatus(
        Tr("Aucune référence : les altitudes ne sont comparées qu'entre elles."));
    return;
  }
  StartReference(file);
}

void LibraryPage::StartReference(const std::string& file) {
  try {
    referenceRead_ = std::make_unique<library::ReferenceRead>(file);
  } catch (const Exception& e) {
    view_.SetLibraryStatus(Tr("La référence n'a pas pu être lue."));
    Report(e.what(), true);
    return;
  }
  referenceFile_ = file;
  view_.SetLibraryBusy(true);
  view_.SetLibraryStatus(Tr("Lecture de la référence…"));
  const std::uint64_t job = ++job_;
  scheduler_.Post([this, job] { ReferenceStep(job); });
}

void LibraryPage::ReferenceStep(std::uint64_t job) {
  if (job != job_ || !referenceRead_) return;
  if (!referenceRead_->Step(std::chrono::steady_clock::now() + scheduler_.StepTime())) {
    const std::uint64_t total = std::max<std::uint64_t>(referenceRead_->Total(), 1);
    view_.SetLibraryStatus(Tr("Lecture de la référence : %1 % (Échap pour arrêter)",
                              {std::to_string(referenceRead_->Done() * 100 / total)}));
    scheduler_.Post([this, job] { ReferenceStep(job); });
    return;
  }
  FinishReference();
}

void LibraryPage::FinishReference() {
  reference_ = std::make_unique<library::Reference>(referenceRead_->Take());
  referenceRead_.reset();
  view_.SetLibraryBusy(false);
  WriteSetting(kReferenceSetting, referenceFile_);  // a list that reads, for the next run
  const std::size_t conflicts = ShowConflictRows();
  ShowLookup();
  std::string status = Tr("Référence %1 %2 : %3",
                          {library::FormatName(reference_->format), QuotedPath(reference_->file),
                           Counted(reference_->airports.size(), Tr("aéroport"), Tr("aéroports"))});
  if (reference_->malformed > 0) {
    status += ", " + Counted(reference_->malformed, Tr("ligne mal formée passée"),
                             Tr("lignes mal formées passées"));
  }
  if (library_) {
    status = Tr("%1 ; %2",
                {status, Counted(conflicts, Tr("conflit d'altitude"), Tr("conflits d'altitude"))});
  }
  view_.SetLibraryStatus(status + ".");
}

void LibraryPage::Finish() {
  const bool whole = scan_->Done() == scan_->Total();
  complete_ = whole;
  library_ = std::make_unique<library::Library>(scan_->Take());
  scan_.reset();
  view_.SetLibraryBusy(false);

  const library::Library& lib = *library_;
  std::vector<LibraryRow> areas;
  for (std::size_t a = 0; a < lib.config.areas.size(); ++a) {
    const library::Area& area = lib.config.areas[a];
    areas.push_back({{std::to_string(area.layer), area.title,
                      area.active ? Tr("active") : Tr("inactive"), std::to_string(lib.files[a]),
                      area.folder.empty() ? area.local : UnderFolder(area.folder, folder_)},
                     false,
                     area.folder});
  }
  view_.ShowAreas(areas);

  const std::size_t conflicts = ShowConflictRows();
  ShowLookup();

  // One sentence, whichever parts it has, for a translation to order as its language does.
  const std::string areaCount = Counted(lib.config.areas.size(), Tr("zone"), Tr("zones"));
  const std::string definitions =
      Counted(lib.definitions.size(), Tr("définition d'aéroport"), Tr("définitions d'aéroports"));
  const std::string conflicted =
      Counted(conflicts, Tr("conflit d'altitude"), Tr("conflits d'altitude"));
  const std::string unread = Counted(lib.problems.size(), Tr("fichier ou dossier illisible"),
                                     Tr("fichiers ou dossiers illisibles"));
  if (lib.problems.empty()) {
    view_.SetLibraryStatus(whole ? Tr("%1, %2, %3.", {areaCount, definitions, conflicted})
                                 : Tr("%1, %2, %3 (lecture arrêtée avant la fin).",
                                      {areaCount, definitions, conflicted}));
  } else {
    view_.SetLibraryStatus(whole
                               ? Tr("%1, %2, %3, %4.", {areaCount, definitions, conflicted, unread})
                               : Tr("%1, %2, %3, %4 (lecture arrêtée avant la fin).",
                                    {areaCount, definitions, conflicted, unread}));
  }
  if (!lib.problems.empty() && whole) {
    std::string text = Tr("Ces fichiers ou dossiers de la bibliothèque n'ont pas pu être lus :");
    const std::size_t shown = std::min<std::size_t>(lib.problems.size(), 10);
    for (std::size_t i = 0; i < shown; ++i) text += "\r\n\r\n" + lib.problems[i].message;
    if (shown < lib.problems.size()) {
      text += "\r\n\r\n" + Tr("… et %1 autres.", {std::to_string(lib.problems.size() - shown)});
    }
    dialogs_.MsgBox(text, "QORBgl", UserDialog::kOk | UserDialog::kIconExclamation);
  }
  // The list named in the field is read once the library is, the first time.
  if (whole && !reference_ && !referenceFile_.empty()) StartReference(referenceFile_);
}

std::size_t LibraryPage::ShowConflictRows() {
  shownConflicts_.clear();
  if (!library_) {
    view_.ShowConflicts({});
    return 0;
  }
  const library::Library& lib = *library_;
  const std::vector<Conflict> conflicts = library::Conflicts(lib, minDiffMm_, reference_.get());
  std::vector<LibraryRow> rows;
  for (const Conflict& c : conflicts) {
    const Definition& shown = *c.definitions.back();
    // The spread only where the definitions disagree: one alone, or agreeing, have none to say.
    rows.push_back(
        {{c.icao, c.name, std::to_string(c.definitions.size()),
          c.definitionsDiffer ? Metres(c.spreadMm, true) : "", Metres(shown.elevationMm, true),
          c.reference.airport ? Metres(c.reference.airport->elevationMm, true) : ""},
         false,
         {}});
    shownConflicts_.push_back(
        static_cast<std::size_t>(c.definitions.front() - lib.definitions.data()));
  }
  view_.ShowConflicts(rows);
  return conflicts.size();
}

std::string LibraryPage::ReferenceCell(const library::Library& lib, std::size_t definition) const {
  if (!reference_) return "";
  const library::ReferenceMatch match =
      library::MatchDefinition(*reference_, lib.definitions[definition]);
  return match.airport ? Metres(match.airport->elevationMm, true) : "";
}

std::string LibraryPage::ReferenceSummary(const library::Library& lib,
                                          std::size_t definition) const {
  if (!reference_) return "";
  const Definition& d = lib.definitions[definition];
  const library::ReferenceMatch match = library::MatchDefinition(*reference_, d);
  const std::string source(library::FormatName(reference_->format));
  if (match.airport) {
    return " " + Tr("Référence %1 : %2 m (%3 ft).",
                    {source, Metres(match.airport->elevationMm, true), match.airport->feet});
  }
  if (match.rejected) {
    return " " +
           Tr("L'indicatif %1 de la référence désigne un lieu à %2 km : ce n'est pas cet aéroport.",
              {match.rejected->first,
               Metres(static_cast<std::int64_t>(match.rejected->second + 0.5), true)});
  }
  return d.icao.empty() ? "" : " " + Tr("%1 n'est pas dans la référence %2.", {d.icao, source});
}

void LibraryPage::Lookup(const std::string& text) {
  lookup_ = Trim(text);
  if (!library_) {
    view_.SetLibraryStatus(Tr("Chargez d'abord la bibliothèque."));
    return;
  }
  ShowLookup();
}

void LibraryPage::ShowLookup() {
  shownDefinitions_.clear();
  if (!library_ || lookup_.empty()) {
    view_.ShowDefinitions({}, "");
    return;
  }
  const library::Library& lib = *library_;
  const std::vector<const Definition*> found = library::Where(lib, lookup_);
  const Definition* shown = library::Shown(lib, found);
  std::vector<LibraryRow> rows;
  for (const Definition* d : found) {
    const library::Area& area = lib.AreaOf(*d);
    const auto index = static_cast<std::size_t>(d - lib.definitions.data());
    rows.push_back(
        {{d == shown ? Tr("oui") : "", Metres(d->elevationMm, true), ReferenceCell(lib, index),
          area.active ? area.title : Tr("%1 (inactive)", {area.title}), std::to_string(area.layer),
          d->icao, d->name, UnderFolder(d->file, folder_)},
         d == shown,
         d->file});
    shownDefinitions_.push_back(index);
  }
  std::string summary;
  if (found.empty()) {
    summary = Tr("Aucune définition de « %1 » dans la bibliothèque.", {lookup_});
  } else if (const std::string counted = Counted(found.size(), Tr("définition"), Tr("définitions"));
             !shown) {
    summary =
        Tr("%1, toutes dans des zones inactives : le simulateur n'en montre aucune.", {counted});
  } else if (const std::size_t notRead = library::ActiveProblems(lib);
             notRead > 0 && library::Agree(lib, found)) {
    // A file that could not be read may hold one more definition.
    summary = Tr("%1 ; je ne peux pas dire si les actives s'accordent : %2.",
                 {counted, library::ActiveProblemsText(notRead)});
  } else if (library::Agree(lib, found)) {
    summary =
        Tr("%1 ; les actives s'accordent sur %2 m.", {counted, Metres(shown->elevationMm, true)});
  } else {
    summary = Tr("%1 ; les actives ne s'accordent pas : le simulateur montre %2 m (zone « %3 »).",
                 {counted, Metres(shown->elevationMm, true), lib.AreaOf(*shown).title});
  }
  // What the reference says of the definition shown, else of the last one.
  if (!found.empty()) summary += ReferenceSummary(lib, shownDefinitions_.back());
  view_.ShowDefinitions(rows, summary);
}

std::optional<std::string> LibraryPage::DefinitionFile(std::size_t row) const {
  if (!library_ || row >= shownDefinitions_.size()) return std::nullopt;
  return library_->definitions[shownDefinitions_[row]].file;
}

std::optional<std::uint32_t> LibraryPage::DefinitionOffset(std::size_t row) const {
  if (!library_ || row >= shownDefinitions_.size()) return std::nullopt;
  return library_->definitions[shownDefinitions_[row]].offset;
}

void LibraryPage::AlignConflict(std::size_t row) {
  if (Working() || !library_ || row >= shownConflicts_.size()) return;
  if (!complete_) {
    dialogs_.Message(
        Tr("La lecture de la bibliothèque a été arrêtée avant la fin : des définitions de cet "
           "aéroport peuvent manquer, et celle que le simulateur montre n'est peut-être pas "
           "celle-ci.\r\n\r\nChargez la bibliothèque entière avant d'aligner. Je n'ai rien "
           "écrit."));
    return;
  }
  const library::Library& lib = *library_;
  const Definition& first = lib.definitions[shownConflicts_[row]];
  // The conflict's active definitions, found again by the key the conflicts were made with.
  std::vector<const Definition*> active;
  const library::ReferenceAirport* real = nullptr;
  for (const Conflict& c : library::Conflicts(lib, minDiffMm_, reference_.get())) {
    if (c.definitions.front() != &first) continue;
    active = c.definitions;
    real = c.reference.airport;
  }
  if (active.empty()) return;
  const Definition& shown = *active.back();
  const std::string who = Who(shown.icao, shown.name);

  // The reference's elevation first, when it has one: that is what the conflict is about.
  std::string text = Metres(real ? real->elevationMm : shown.elevationMm, false);
  std::string prompt =
      active.size() == 1 ? Tr("Nouvelle altitude en mètres %1 dans sa définition active", {Of(who)})
                         : Tr("Nouvelle altitude en mètres %1 dans ses %2 définitions actives",
                              {Of(who), std::to_string(active.size())});
  if (real) {
    prompt += " " + Tr("(référence %1 : %2 m)",
                       {library::FormatName(reference_->format), Metres(real->elevationMm, true)});
  }
  std::optional<std::int32_t> mm;
  while (!mm) {
    if (!dialogs_.InputBox(Tr("Aligner les altitudes"), prompt, text)) return;
    std::string problem;
    mm = ReadMetres(text, problem);
    if (!mm) dialogs_.Message(problem + "\r\n\r\n" + Tr("Je n'ai rien écrit."));
  }
  // The runways and starts follow only when asked, told how far they would move; Enter keeps
  // them where they are when one would move 10 m or more, as in the elevation box.
  std::int64_t farthest = 0;
  std::size_t moving = 0;
  for (const Definition* d : active) {
    for (const library::Element& e : d->elements) {
      const std::int64_t move = std::llabs(std::int64_t{*mm} - e.elevationMm);
      if (move == 0) continue;
      ++moving;
      farthest = std::max(farthest, move);
    }
  }
  int all = UserDialog::kIdNo;
  if (moving > 0) {
    const bool large = farthest >= 10000;
    std::string question = Tr("Voulez-vous également mettre les pistes et les départs %1 à %2 m ?",
                              {Of(who), Metres(*mm, true)}) +
                           "\r\n\r\n" +
                           Tr("%1 à changer ; plus grand déplacement : %2 m",
                              {Counted(moving, Tr("élément"), Tr("éléments")), Metres(farthest)});
    if (large) question = Tr("Changement de plus de 10 mètres ???") + "\r\n\r\n" + question;
    all = dialogs_.MsgBox(
        question, Tr("Autres éléments"),
        UserDialog::kYesNo | UserDialog::kIconQuestion | (large ? UserDialog::kDefButton2 : 0));
  }
  const std::vector<library::FieldChange> changes =
      library::PlanAlign(lib, active, *mm, all == UserDialog::kIdYes);
  if (changes.empty()) {
    dialogs_.Message(Tr("Toutes les définitions actives %1 sont déjà à %2 m : je n'ai rien écrit.",
                        {Of(who), Metres(*mm, true)}));
    return;
  }
  std::set<std::string> distinct;
  for (const library::FieldChange& c : changes) distinct.insert(c.file);
  const std::size_t files = distinct.size();
  if (dialogs_.MsgBox(Tr("%1 %2 dans %3 vont passer à %4 m. Chaque fichier est d'abord copié dans "
                         "« QORBgl Backup » sur votre bureau.\r\n\r\nConfirmez-vous ?",
                         {Counted(changes.size(), Tr("altitude"), Tr("altitudes")), Of(who),
                          Counted(files, Tr("fichier"), Tr("fichiers")), Metres(*mm, true)}),
                      Tr("Aligner les altitudes"),
                      UserDialog::kOkCancel | UserDialog::kIconQuestion) != UserDialog::kIdOk) {
    return;
  }
  std::size_t written = 0;
  try {
    library::Align(lib, changes, DesktopFolder(), true,
                   {{}, [&](const library::FieldChange&) { ++written; }},
                   "align " + (shown.icao.empty() ? shown.name : shown.icao));
  } catch (const Exception& e) {
    Report(e.what(), true);
  }
  const std::string done =
      written == 0 ? "" : Counted(written, Tr("altitude changée"), Tr("altitudes changées"));
  // The files changed: the library is read again, so that what it shows is what they hold;
  // the folder field keeps what the user may have typed meanwhile.
  library::SceneryConfig config = library_->config;
  library_.reset();
  complete_ = false;
  StartScan(std::move(config));
  if (!done.empty()) {
    view_.SetLibraryStatus(Tr("%1 ; relecture de la bibliothèque…", {done}));
  }
}

void LibraryPage::UndoAlignment() {
  if (Working()) return;
  const library::Journal* stored = library::StoredJournal();
  if (stored == nullptr) {
    dialogs_.Message(
        Tr("Le journal des modifications n'est pas ouvert : je ne peux rien défaire."));
    return;
  }
  const std::optional<library::JournalChange> last =
      library::LastUndoable(stored->Read(), library::IsAlignment);
  if (!last) {
    dialogs_.Message(Tr("Le journal des modifications ne garde aucun alignement à défaire."));
    return;
  }
  if (dialogs_.MsgBox(UndoQuestion(*last), Tr("Annuler l'alignement"),
                      UserDialog::kYesNo | UserDialog::kIconQuestion) != UserDialog::kIdYes) {
    return;
  }
  library::UndoOutcome outcome;
  try {
    outcome = library::Undo(*last, "fenêtre : défaire", DesktopFolder(), dialogs_);
  } catch (const Exception& e) {
    Report(e.what(), true);
    return;
  }
  if (!outcome.made) return;
  dialogs_.Message(UndoSummary(outcome));
  // The files changed: what the page shows is read again, when a library was shown.
  if (!library_) return;
  library::SceneryConfig config = library_->config;
  library_.reset();
  complete_ = false;
  StartScan(std::move(config));
}

}  // namespace qor
