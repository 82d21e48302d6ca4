// qorbgl-cli align, restore, history and undo: the commands that change files of the library,
// put a file's backup copy back, and read or take back what the journal of changes recorded.

#include <chrono>
#include <optional>

#include "bgl/QORBglLib.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "cli/LibraryOptions.h"
#include "lang/Tr.h"
#include "library/Align.h"
#include "library/Journal.h"
#include "library/Library.h"
#include "library/Restore.h"
#include "library/Undo.h"
#include "platform/Console.h"
#include "platform/File.h"
#include "platform/Process.h"
#include "text/PathText.h"
#include "util/NumberFormat.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

namespace {

using library::Definition;
using library::JournalChange;
using library::Library;

// Data (names, paths, captions) as text output shows it: control characters spelled out.
std::string Shown(const std::string& text) {
  return TerminalText(text);
}

// A moment in ISO 8601, UTC: "2026-12-08T20:41:07.123Z".
std::string IsoTime(std::int64_t ms) {
  using namespace std::chrono;
  const sys_time<milliseconds> when{milliseconds(ms)};
  const sys_days day = floor<days>(when);
  const year_month_day date{day};
  const hh_mm_ss<milliseconds> time{when - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
                static_cast<int>(time.subseconds().count()));
  return text;
}

const char* StateKey(JournalChange::State state) {
  switch (state) {
    case JournalChange::State::Done:
      return "done";
    case JournalChange::State::Undone:
      return "undone";
    case JournalChange::State::RolledBack:
      return "rolled-back";
    case JournalChange::State::Unfinished:
      break;
  }
  return "unfinished";
}

std::string StateText(JournalChange::State state) {
  switch (state) {
    case JournalChange::State::Done:
      return Tr("faite");
    case JournalChange::State::Undone:
      return Tr("défaite");
    case JournalChange::State::RolledBack:
      return Tr("interrompue, défaite");
    case JournalChange::State::Unfinished:
      break;
  }
  return Tr("en cours");
}

std::string Who(const JournalChange& c) {
  return Tr("n° %1 (« %2 » du %3)",
            {std::to_string(c.id), Shown(c.record.command), library::MomentText(c.timeMs)});
}

// A field as a line says it: "FILE : WHAT (offset N)".
std::string FieldLine(const std::string& file, const FieldEdit& e) {
  return e.what.empty()
             ? Tr("%1 : (offset %2)", {Shown(file), std::to_string(e.offset)})
             : Tr("%1 : %2 (offset %3)", {Shown(file), Shown(e.what), std::to_string(e.offset)});
}

std::string Elevation(const std::array<std::uint8_t, 4>& bytes, std::uint8_t width) {
  return width == 4 ? Metres(FieldValue(bytes, width)) + " m"
                    : std::to_string(FieldValue(bytes, width));
}

}  // namespace

int AlignCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(
      args, {"--fs", "--elevation", "--reference", "--all", "--dry-run", "--no-backup"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage(Tr("align attend un IDENT (indicatif OACI ou nom)."));
  if (!o->elevation && !o->reference) {
    return Usage(Tr("align attend --elevation METRES ou --reference FICHIER."));
  }
  std::optional<std::int32_t> mm;
  if (o->elevation) {
    mm = ReadMm(*o->elevation, problem);
    if (!mm) return Usage(problem);
  }
  std::optional<library::Reference> reference;
  if (!ReadReferenceOption(*o, reference)) return kFileError;
  const std::string& airport = o->words[0];
  const std::optional<Library> library = ScanOptions(*o, airport);
  if (!library) return kFileError;
  std::vector<const Definition*> active;
  for (const Definition* d : library::Where(*library, airport)) {
    if (library->AreaOf(*d).active) active.push_back(d);
  }
  if (active.empty()) {
    Report(Tr("Aucune définition active de « %1 » dans la bibliothèque : je n'écris rien.",
              {airport}));
    return kNothing;
  }
  std::string said;  // what the reference says, shown before the changes
  if (reference) {
    // The definition the simulator shows is the one matched: its ident and place.
    const library::ReferenceMatch match = library::MatchDefinition(*reference, *active.back());
    said = ReferenceLine(*reference, match, active.back()->icao);
    if (!mm) {
      if (!match.airport) {
        platform::WriteOut(said);
        Report(Tr("Aucune altitude de référence pour « %1 » dans %2 : je n'écris rien.",
                  {airport, QuotedPath(reference->file)}));
        return kNothing;
      }
      mm = match.airport->elevationMm;
    }
  }
  const std::vector<library::FieldChange> changes =
      library::PlanAlign(*library, active, *mm, o->all);
  const auto line = [](const library::FieldChange& c) {
    return Tr("%1 (%2, offset %3) : %4 -> %5 m",
              {Shown(c.what), Shown(c.file), std::to_string(c.offset), Metres(c.oldMm),
               Metres(c.newMm)}) +
           '\n';
  };
  if (o->dryRun) {
    std::string out = said;
    for (const library::FieldChange& c : changes) out += line(c);
    out +=
        (changes.empty() ? Tr("Rien à changer.") : Tr("(--dry-run : rien n'a été écrit)")) + '\n';
    platform::WriteOut(out);
    return kDone;
  }
  if (changes.empty()) {
    platform::WriteOut(
        said +
        Tr("Rien à changer : toutes les définitions actives sont déjà à %1 m.", {Metres(*mm)}) +
        '\n');
    return kDone;
  }
  std::string out = said;
  library::AlignReport report;
  report.copied = [&](const std::string& file, const std::string& copy) {
    out += Tr("Copie de sécurité de %1 : %2", {Shown(file), Shown(copy)}) + '\n';
  };
  report.written = [&](const library::FieldChange& c) { out += line(c); };
  const std::string ident = active.back()->icao.empty() ? airport : active.back()->icao;
  library::Align(*library, changes, Desktop(), !o->noBackup, report, "align " + ident);
  platform::WriteOut(out);
  return kDone;
}

int RestoreCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {}, problem);
  if (!o || o->words.size() != 1) return Usage(Tr("restore attend un FICHIER."));
  const std::string& file = o->words[0];
  if (!platform::FileExists(file)) return NoSuchFile(file);
  CommandLineDialog dialog;
  const library::RestoreOutcome outcome = library::Restore(
      file, Desktop(), library::Journal(library::Journal::UserPath()).Read(), dialog);
  switch (outcome.result) {
    case library::RestoreOutcome::Result::NoCopy:
      Report(outcome.message);
      return kNothing;
    case library::RestoreOutcome::Result::Refused:
      if (!outcome.message.empty()) Report(outcome.message);
      return kFileError;
    case library::RestoreOutcome::Result::Same:
      platform::WriteOut(Tr("%1 tient déjà ce que tient sa copie de sécurité %2 : rien à remettre.",
                            {Shown(file), Shown(outcome.copy)}) +
                         '\n');
      return kDone;
    case library::RestoreOutcome::Result::Restored:
      break;
  }
  platform::WriteOut(
      Tr("Copie de sécurité remise en place dans %1 : %2 (modification n° %3 du journal ; "
         "qorbgl-cli undo la défait).",
         {Shown(file), Counted(outcome.fields, Tr("altitude remise"), Tr("altitudes remises")),
          std::to_string(outcome.change)}) +
      '\n');
  return kDone;
}

int HistoryCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--json"}, problem);
  if (!o) return Usage(problem);
  const bool json = o->json;
  const std::vector<std::string>& files = o->words;
  if (files.size() > 1) return Usage(Tr("history attend au plus un FICHIER."));
  const library::JournalContents contents = library::Journal(library::Journal::UserPath()).Read();
  // A file is known by its identity on disk when it exists, else by the path recorded.
  const std::optional<std::string> file =
      files.empty() ? std::nullopt : std::optional<std::string>(files[0]);
  const std::optional<platform::File::Stamp> stamp =
      file ? platform::StampOfPath(*file) : std::nullopt;
  const auto concerns = [&](const FileEdit& f) {
    if (!file) return true;
    return stamp ? f.stamp.SameFile(*stamp) : f.path == platform::AbsolutePath(*file);
  };

  std::string out = json ? "{\"changes\": [" : "";
  std::size_t count = 0;
  for (auto c = contents.changes.rbegin(); c != contents.changes.rend(); ++c) {
    for (const FileEdit& f : c->record.files) {
      if (!concerns(f)) continue;
      for (const FieldEdit& e : f.fields) {
        if (json) {
          out += count == 0 ? "\n  {\"time\": " : ",\n  {\"time\": ";
          AppendJsonString(out, IsoTime(c->timeMs));
          out += ", \"transaction\": ";
          AppendJsonNumber(out, static_cast<std::int64_t>(c->id));
          out += ", \"command\": ";
          AppendJsonString(out, c->record.command);
          out += ", \"file\": ";
          AppendJsonString(out, f.path);
          out += ", \"field\": ";
          AppendJsonString(out, e.what);
          out += ", \"offset\": ";
          AppendJsonNumber(out, e.offset);
          out += ", \"old_elevation_mm\": ";
          AppendJsonNumber(out, FieldValue(e.before, e.width));
          out += ", \"new_elevation_mm\": ";
          AppendJsonNumber(out, FieldValue(e.after, e.width));
          out += ", \"state\": \"";
          out += StateKey(c->state);
          out += "\"}";
        } else {
          out += Tr("[%1] %2 %3 (%4) : %5 : %6 -> %7",
                    {std::to_string(c->id), library::MomentText(c->timeMs),
                     Shown(c->record.command), StateText(c->state), FieldLine(f.path, e),
                     Elevation(e.before, e.width), Elevation(e.after, e.width)}) +
                 '\n';
        }
        ++count;
      }
    }
  }
  if (json) out += count == 0 ? "]}\n" : "\n]}\n";
  platform::WriteOut(out);
  if (count == 0) {
    Report(file ? Tr("Le journal ne garde aucune modification de %1.", {QuotedPath(*file)})
                : Tr("Le journal ne garde aucune modification."));
    return kNothing;
  }
  return kDone;
}

int UndoCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--json"}, problem);
  if (!o || !o->words.empty()) return Usage(Tr("undo n'attend que --json."));
  const bool json = o->json;
  const library::JournalContents contents = library::Journal(library::Journal::UserPath()).Read();
  const std::optional<JournalChange> last = library::LastUndoable(contents);
  if (!last) {
    Report(Tr("Le journal ne garde aucune modification à défaire."));
    return kNothing;
  }
  CommandLineDialog dialog;
  const library::UndoOutcome outcome = [&] {
    const FrenchForJson french(json);  // why a field was left is in the JSON
    return library::Undo(*last, "undo", Desktop(), dialog);
  }();
  if (!outcome.made) return kFileError;
  std::size_t left = 0;
  std::string out;
  if (json) {
    out = "{\"undone\": " + std::to_string(last->id) +
          ", \"transaction\": " + std::to_string(outcome.change) + ", \"command\": ";
    AppendJsonString(out, last->record.command);
    out += ", \"fields\": [";
  } else {
    out = Tr("Modification %1 défaite (modification n° %2 du journal) :",
             {Who(*last), std::to_string(outcome.change)}) +
          '\n';
  }
  for (std::size_t i = 0; i < outcome.fields.size(); ++i) {
    const library::UndoneField& u = outcome.fields[i];
    left += u.putBack ? 0 : 1;
    if (json) {
      out += i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ";
      AppendJsonString(out, u.file);
      out += ", \"field\": ";
      AppendJsonString(out, u.edit.what);
      out += ", \"offset\": ";
      AppendJsonNumber(out, u.edit.offset);
      out += ", \"old_elevation_mm\": ";
      AppendJsonNumber(out, FieldValue(u.edit.after, u.edit.width));
      out += ", \"new_elevation_mm\": ";
      AppendJsonNumber(out, FieldValue(u.edit.before, u.edit.width));
      out += u.putBack ? ", \"state\": \"put-back\"}" : ", \"state\": \"left\", \"reason\": ";
      if (!u.putBack) {
        AppendJsonString(out, u.why);
        out += '}';
      }
    } else {
      out += "   " +
             (u.putBack ? Tr("%1 : %2 -> %3",
                             {FieldLine(u.file, u.edit), Elevation(u.edit.after, u.edit.width),
                              Elevation(u.edit.before, u.edit.width)})
                        : Tr("%1 : laissée telle quelle : %2",
                             {FieldLine(u.file, u.edit), Shown(u.why)})) +
             '\n';
    }
  }
  if (json) out += outcome.fields.empty() ? "]}\n" : "\n]}\n";
  platform::WriteOut(out);
  if (left > 0) {
    Report(left == 1 ? Tr("%1 altitude n'a pas pu être remise : elle est laissée telle quelle.",
                          {std::to_string(left)})
                     : Tr("%1 altitudes n'ont pas pu être remises : elles sont laissées telles "
                          "quelles.",
                          {std::to_string(left)}));
    return kFileError;
  }
  return kDone;
}

}  // namespace qor::cli
