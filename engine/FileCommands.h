#pragma once
// The file commands of the sequence list: open (and the two imports), save, save as, the
// SD-card image, save as new, exclude, and the unsaved changes when the window closes. Every
// command that would replace or drop something of the user's (a file on disk, unsaved edits)
// asks first, through the host; each returns what happened for the window to show. The window
// shows the entry that a question is about, and picks the names.
#include <functional>
#include <optional>
#include <string>

#include "engine/FileResult.h"
#include "engine/SequenceList.h"

class TFileCommands {
public:
    // The name of the file the user picks for the current sequence; nothing when cancelled.
    using TNamePicker = std::function<std::optional<std::string>()>;

    // showCurrent shows the current entry of list, before a question about it.
    TFileCommands(TSequenceList& list, std::function<void()> showCurrent);

    // The current sequence may be saved: computed since its last change and valid, or the user
    // says to save it anyway.
    bool MaySave();
    // Opens the .sqz file path, or imports the .txt or .sds file path into the .sqz file it
    // writes beside it and opens that. An import asks before it replaces a .sqz file that
    // exists; opening a listed file reads it again into its entry, after asking about the
    // entry's unsaved changes.
    TFileResult Open(const std::string& path);
    // Writes the current sequence to its file; one that has none goes to the file pickName
    // names, by its extension: .txt and .sds export and leave the sequence unnamed, and a file
    // of another entry takes a copy as SaveAsNew does.
    TFileResult Save(const TNamePicker& pickName);
    // Writes the current sequence to the file pickName names: .txt and .sds export it, any other
    // name takes a copy as SaveAsNew does.
    TFileResult SaveAs(const TNamePicker& pickName);
    // Writes the meter's image of the current sequence to the .sds file pickName names; any
    // other name writes nothing.
    TFileResult SaveToSdCard(const TNamePicker& pickName);
    // A copy of the current sequence into the .sqz file name, whose entry (new when the file is
    // not listed) takes it and becomes current. When another entry shows that file with unsaved
    // changes, the copy would replace them: the user is asked first. A .txt or .sds name is
    // refused: the copy would not be what its name says.
    TFileResult SaveAsNew(const std::string& name);
    // Entry i leaves the list (its file stays): confirmed, or, when it holds unsaved changes,
    // saved or given up at the user's word. The last entry becomes current.
    TFileResult Exclude(int i, const TNamePicker& pickName);
    // Each entry with unsaved changes, shown in turn: saved, given up or, at Cancel or a save
    // that does not happen, the end of the closing, that entry left current. Done when the
    // window may close; the entry current before is current again.
    TFileResult KeepChangesBeforeClosing(const TNamePicker& pickName);

private:
    // Save, Don't Save or Cancel for the changes of the current entry, which is shown; question
    // ends the text. Done when they may go (saved, or given up).
    TFileResult KeepChanges(const std::string& question, const TNamePicker& pickName);
    // The import may write target: the user agrees when it is listed with changes or exists.
    bool MayReplaceByImport(const std::string& target);
    // The current sequence written to name in the format its extension names.
    TFileResult WriteCurrentAs(const std::string& name);
    // Makes entry i current and shows it, when it is not.
    void ShowEntry(int i);

    TSequenceList& List;
    std::function<void()> ShowCurrent;
};
