#include "library/Undo.h"

#include <memory>

#include "bgl/Bgl.h"
#include "bgl/BufferedFile.h"
#include "bgl/Change.h"
#include "lang/Tr.h"
#include "platform/Errors.h"

namespace qor::library {

namespace {

char CodeOf(std::uint8_t width) {
  return width == 1 ? 'B' : width == 2 ? 'W' : 'D';
}

}  // namespace

bool IsAlignment(const JournalChange& change) {
  return change.record.command.rfind("align", 0) == 0;
}

std::optional<JournalChange> LastUndoable(const JournalContents& contents,
                                          const std::function<bool(const JournalChange&)>& which) {
  for (auto it = contents.changes.rbegin(); it != contents.changes.rend(); ++it) {
    if (it->state != JournalChange::State::Done || it->record.undoes != 0) continue;
    if (!which || which(*it)) return *it;
  }
  return std::nullopt;
}

bool Touches(const JournalChange& change, const platform::File::Stamp& stamp) {
  for (const FileEdit& f : change.record.files) {
    if (f.stamp.SameFile(stamp)) return true;
  }
  return false;
}

UndoOutcome Undo(const JournalChange& change, const std::string& command,
                 const std::string& desktopFolder, UserDialog& dialog) {
  UndoOutcome outcome;
  std::vector<std::unique_ptr<TBGL>> open;
  std::vector<FileWrites> files;
  std::vector<std::size_t> request;  // the request of each file of the change, or none
  for (const FileEdit& f : change.record.files) {
    std::unique_ptr<TBGL> bgl;
    std::string why;
    try {
      bgl = std::make_unique<TBGL>(f.path, desktopFolder);
    } catch (const Exception& e) {
      why = e.what();
    }
    if (bgl && !bgl->SeenStamp().SameFile(f.stamp)) {
      bgl.reset();
      why = Tr("le fichier a été remplacé depuis par un autre");
    }
    if (!bgl) {
      for (const FieldEdit& e : f.fields) outcome.fields.push_back({f.path, e, false, why});
      request.push_back(SIZE_MAX);
      continue;
    }
    FileWrites w{bgl.get(), {}, f.stamp};
    for (const FieldEdit& e : f.fields) {
      w.fields.push_back({e.offset, CodeOf(e.width), FieldValue(e.before, e.width),
                          FieldValue(e.after, e.width), e.what});
      outcome.fields.push_back({f.path, e, true, ""});
    }
    request.push_back(files.size());
    files.push_back(std::move(w));
    open.push_back(std::move(bgl));
  }
  ChangeOptions options;
  options.command = command;
  options.undoes = change.id;
  options.backup = false;  // the journal keeps the bytes it replaces, as it kept the change's
  options.skipChanged = true;
  const ChangeResult result = WriteChange(files, options, dialog);
  if (!result.accepted) return {};
  outcome.made = true;
  outcome.change = result.change;
  if (outcome.change == 0) {
    // Nothing to write (every field back already, or left): recorded all the same, so that the
    // change counts as taken back and the next undo goes further.
    ChangeJournal& journal = CurrentJournal();
    outcome.change = journal.Begin({command, change.id, {}});
    journal.Finish(outcome.change, ChangeJournal::End::Done);
  }
  // The fields left by the change, found back among the outcome's.
  for (const auto& [r, f] : result.left) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < change.record.files.size(); ++i) {
      if (request[i] == r) {
        at += f;
        break;
      }
      at += change.record.files[i].fields.size();
    }
    outcome.fields[at].putBack = false;
    outcome.fields[at].why = Tr("elle ne tient plus la valeur que la modification y avait écrite");
  }
  return outcome;
}

}  // namespace qor::library
