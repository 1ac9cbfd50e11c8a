#include "engine/FileCommands.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "engine/Fileimport.h"
#include "engine/Host.h"
#include "files/UserFile.h"

namespace {
namespace fs = std::filesystem;

const char* const kNotASequenceFile =
    "is not a sequence file: Planora Pro opens .sqz sequences and imports .txt and .sds files";

// The two formats besides the native one: imported when opened, exported when saved to, and
// never the file of an entry of the list.
bool IsTextOrSdCard(const std::string& ext) { return ext == kTextExt || ext == kSdCardExt; }

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// Two things to tell in one message.
std::string Joined(const std::string& a, const std::string& b) {
    return a.empty() ? b : b.empty() ? a : a + "\r\n\r\n" + b;
}
}  // namespace

TFileCommands::TFileCommands(TSequenceList& list, std::function<void()> showCurrent)
    : List(list), ShowCurrent(std::move(showCurrent)) {}

void TFileCommands::ShowEntry(int i) {
    if (i == List.CurrentIndex()) return;
    List.SetCurrent(i);
    if (ShowCurrent) ShowCurrent();
}

bool TFileCommands::MaySave() {
    TElectSequence* s = List.CurrentSequence();
    if (!s) return false;
    if (s->NeedsRecompute != 1 && s->IsValid()) return true;
    return Host().Ask("Some changes have been done after the last computation, save anyway...", "Save");
}

bool TFileCommands::MayReplaceByImport(const std::string& target) {
    const int i = List.Find(target);
    if (i >= 0 && List.Changed(i)) {
        // Saving first would be of no use: the import writes over the file at once.
        ShowEntry(i);
        return Host().Ask("< " + target + " > was changed since it was last saved.\nThe import replaces it: import anyway?",
                          "Import");
    }
    return !Exists(target) ||
           Host().Ask("< " + target + " > already exists.\nThe import replaces it: import anyway?", "Import");
}

TFileResult TFileCommands::Open(const std::string& file) {
    // The name as given, or nothing: trimmed, it could be another file. (The reader refuses a
    // path too long for the record; the import's target is looked at here, before its question.)
    std::string path = file;
    if (const std::string fault = FileNameFault(path); !fault.empty()) return TFileResult::Failed(path + "\r\n" + fault);
    if (!Exists(path)) return TFileResult::Failed(path + "\r\nfile not found");
    const std::string ext = LowerCaseExt(path);
    const bool import = IsTextOrSdCard(ext);
    const int before = List.CurrentIndex();
    std::string note;
    if (import) {
        const std::string target = ChangeFileExt(path, ext == kTextExt ? kTextImportEnding : kSdCardImportEnding);
        if (const std::string fault = SequenceFileNameFault(target); !fault.empty())
            return TFileResult::Failed(WithReason("Can't import < " + path + " > into < " + target + " >", fault));
        if (!MayReplaceByImport(target)) {
            TFileResult r = TFileResult::Cancelled();
            r.ShowAgain = List.CurrentIndex() != before;
            return r;
        }
        auto imported = std::make_unique<TElectSequence>();
        TFileResult read = ext == kTextExt ? imported->ReadTextFile(path) : imported->ReadSdCardFile(path);
        if (!read) return read;
        note = read.Message;
        path = target;
    } else if (ext != kSequenceExt) {
        return TFileResult::Failed(path + "\r\n" + kNotASequenceFile);
    }

    const int i = List.Find(path);
    TFileResult opened;
    if (i >= 0) {
        // Opening the file again drops the changes made since it was saved: asked first. An
        // import asked before it replaced the file.
        if (!import && List.Changed(i)) {
            ShowEntry(i);
            TFileResult kept = KeepChanges("Save the changes before the file is opened again?", nullptr);
            if (!kept) {
                kept.ShowAgain = true;
                return kept;
            }
        }
        List.SetCurrent(i);
        opened = List.ReloadFile(i, path);
        opened.ShowAgain = true;
    } else {
        opened = List.AddFile(path);
        if (opened) List.SetCurrent(List.Count() - 1);
        opened.ShowAgain = bool(opened) || List.CurrentIndex() != before;
    }
    opened.Message = Joined(note, opened.Message);
    return opened;
}

TFileResult TFileCommands::WriteCurrentAs(const std::string& name) {
    TElectSequence& s = *List.CurrentSequence();
    const std::string ext = LowerCaseExt(name);
    if (ext == kTextExt) return s.WriteTextFile(name, "\t");
    if (ext == kSdCardExt) return s.WriteSdCardFile(name);
    return List.WriteCurrent(name);
}

TFileResult TFileCommands::Save(const TNamePicker& pickName) {
    if (!MaySave()) return TFileResult::Cancelled();
    std::string name = TrimText(List.CurrentSequence()->FileName);
    if (name.empty()) {
        const std::optional<std::string> chosen = pickName ? pickName() : std::nullopt;
        if (!chosen) return TFileResult::Cancelled();
        name = *chosen;
        // Another entry already shows that file: written into it as Save as does.
        const int listed = List.Find(name);
        if (listed >= 0 && listed != List.CurrentIndex() && !IsTextOrSdCard(LowerCaseExt(name))) return SaveAsNew(name);
    }
    return WriteCurrentAs(name);
}

TFileResult TFileCommands::SaveAs(const TNamePicker& pickName) {
    if (!MaySave()) return TFileResult::Cancelled();
    const std::optional<std::string> chosen = pickName();
    if (!chosen) return TFileResult::Cancelled();
    if (IsTextOrSdCard(LowerCaseExt(*chosen))) return WriteCurrentAs(*chosen);
    return SaveAsNew(*chosen);
}

TFileResult TFileCommands::SaveToSdCard(const TNamePicker& pickName) {
    if (!MaySave()) return TFileResult::Cancelled();
    const std::optional<std::string> chosen = pickName();
    if (!chosen) return TFileResult::Cancelled();
    // Refused, not left unwritten: "x.sds " is no .sds name, though the user chose it as one.
    if (const std::string fault = FileNameFault(*chosen); !fault.empty()) return SaveFailed(*chosen, fault);
    if (LowerCaseExt(*chosen) != kSdCardExt) return TFileResult::Cancelled();
    return List.CurrentSequence()->WriteSdCardFile(*chosen);
}

TFileResult TFileCommands::SaveAsNew(const std::string& name) {
    // The copy is an entry of the list, kept in its native file: under a text or SD-card name it
    // would be a file that is not what its name says.
    if (IsTextOrSdCard(LowerCaseExt(name)))
        return TFileResult::Failed("< " + name + " >\r\nA sequence of the list is kept in a .sqz file: choose a .sqz name.");
    // Refused before any question: the name is the file written, or nothing is.
    if (const std::string fault = SequenceFileNameFault(name); !fault.empty()) return SaveFailed(name, fault);
    // The entry of that file takes the copy: what was typed into it since its last save would go.
    // It is not shown for the question, since the copy is of the entry shown now.
    const int listed = List.Find(name);
    if (listed >= 0 && listed != List.CurrentIndex() && List.Changed(listed) &&
        !Host().Ask("< " + TrimText(List[std::size_t(listed)]->FileName) +
                        " > was changed since it was last saved.\nThe copy replaces it: save anyway?",
                    "Save"))
        return TFileResult::Cancelled();
    TFileResult r = List.WriteCopy(name);
    r.ShowAgain = bool(r);
    return r;
}

TFileResult TFileCommands::KeepChanges(const std::string& question, const TNamePicker& pickName) {
    const TElectSequence& s = *List.CurrentSequence();
    const std::string file = TrimText(s.FileName);
    const std::string what = file.empty() ? "The new sequence < " + s.GetSeqName() + " > has never been saved."
                                          : "< " + file + " > was changed since it was last saved.";
    switch (Host().AskSave(what + "\n" + question, "Save")) {
        case TSaveAnswer::Discard: return TFileResult::Done();
        case TSaveAnswer::Cancel: return TFileResult::Cancelled();
        case TSaveAnswer::Save: break;
    }
    const int i = List.CurrentIndex();
    TFileResult saved = Save(pickName);
    // A save that did not happen (refused, cancelled, failed, or into another file) keeps the
    // changes, and the command stops.
    if (saved && List.Changed(i)) saved.Outcome = TFileOutcome::Cancelled;
    return saved;
}

TFileResult TFileCommands::Exclude(int i, const TNamePicker& pickName) {
    if (i < 0 || i >= List.Count()) return TFileResult::Cancelled();
    if (List.Changed(i)) {
        ShowEntry(i);
        TFileResult kept = KeepChanges("Save the changes before it is excluded from the sequence list?", pickName);
        if (!kept) return kept;
    } else if (!Host().Confirm("Exclude < " + TrimText(List[std::size_t(i)]->FileName) + " > from sequence list ?",
                               "Confirmation")) {
        return TFileResult::Cancelled();
    }
    List.Exclude(i);
    TFileResult r = TFileResult::Done();
    r.ShowAgain = true;
    return r;
}

TFileResult TFileCommands::KeepChangesBeforeClosing(const TNamePicker& pickName) {
    const int shown = List.CurrentIndex();
    for (int i = 0; i < List.Count(); ++i) {
        if (!List.Changed(i)) continue;
        // The sequence asked about is the one shown.
        ShowEntry(i);
        TFileResult kept = KeepChanges("Save the changes?", pickName);
        if (!kept) return kept;
    }
    // The entry chosen before closing is the one remembered.
    if (shown >= 0 && shown < List.Count()) List.SetCurrent(shown);
    return TFileResult::Done();
}
