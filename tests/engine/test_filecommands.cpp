// The file commands of the sequence list as the window runs them: the questions they ask before
// something of the user's is replaced or dropped, and what they return to be shown.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/FileCommands.h"
#include "engine/Sdcard.h"
#include "engine/SequenceList.h"
#include "tests/engine/FileFixture.h"
#include "tests/engine/SequenceBuilders.h"
#include "tests/support/UserFiles.h"

namespace {
namespace fs = std::filesystem;

// A computed sequence that saves without the question about changes since its computation.
std::unique_ptr<TElectSequence> Computed(const std::string& comment) {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, 10, 1, 1.0f);
    s->SpacingLevels[0].SelectedCount = 1;
    AddQuadripole(*s, {1, 2, 3, 4});
    s->SetComment(comment);
    return s;
}

// The bytes of a sequence file written under any name, as another program may.
void WriteImage(const std::string& path, const TElectSequence& s) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&s), kSequenceFileSize);
}

std::string CommentOf(const std::string& path) {
    TElectSequence s;
    return s.ReadSqzFile(path) ? s.GetComment() : "(unreadable)";
}
}  // namespace

class FileCommandsTest : public FileFixture {
protected:
    TSequenceList list;
    int shown = 0;  // how often the current entry was shown before a question
    TFileCommands files{list, [this] { ++shown; }};
    int picked = 0;

    std::string SqzFile(const std::string& leaf, const std::string& comment) {
        EXPECT_TRUE(Computed(comment)->SaveToFile(Path(leaf)));
        return Path(leaf);
    }
    void Open(const std::vector<std::string>& paths) {
        for (const std::string& p : paths) ASSERT_GE(list.AppendFromFile(p), 0) << p;
    }
    // The only entry, current: a new sequence never saved, or the sequence of own.sqz.
    void OpenCurrent(bool unnamed) {
        list.Clear();
        if (unnamed) {
            ASSERT_TRUE(list.Add(Computed("new")));
        } else {
            Open({SqzFile("own.sqz", "own")});
        }
        list.SetCurrent(0);
    }
    // Picks name, or cancels when it is empty; counts the dialogs.
    TFileCommands::TNamePicker Pick(const std::string& name) {
        return [this, name]() -> std::optional<std::string> {
            ++picked;
            if (name.empty()) return std::nullopt;
            return name;
        };
    }
};

TEST_F(FileCommandsTest, AnImportAsksBeforeItReplacesASqzFileThatExists) {
    auto source = Computed("source");
    ASSERT_TRUE(source->ExportTextFile(Path("line.txt"), "\t"));
    ASSERT_TRUE(source->SaveToSdCard(Path("card.sqz")));
    struct TCase {
        const char* name;
        std::string import, target;
        bool answer;
    };
    const TCase cases[] = {
        {"text, cancelled", Path("line.txt"), Path("line.sqz"), false},
        {"text, replaced", Path("line.txt"), Path("line.sqz"), true},
        {"SD card, cancelled", Path("card.sds"), Path("cardSdsToSqz.sqz"), false},
        {"SD card, replaced", Path("card.sds"), Path("cardSdsToSqz.sqz"), true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        list.Clear();
        host.Questions.clear();
        SqzFile(fs::path(c.target).filename().string(), "the user's own");
        const std::string before = Read(c.target);
        host.Answers = {c.answer};
        const TFileResult r = files.Open(c.import);
        EXPECT_EQ(host.Questions, std::vector<std::string>{"< " + c.target +
                                                           " > already exists.\nThe import replaces it: import anyway?"});
        EXPECT_EQ(r.Outcome, c.answer ? TFileOutcome::Done : TFileOutcome::Cancelled);
        EXPECT_EQ(list.Count(), c.answer ? 1 : 0);
        if (c.answer) {
            EXPECT_EQ(CommentOf(c.target), "Create with Imported file <-- " + fs::path(c.import).filename().string() + " -->");
            EXPECT_EQ(TrimText(list.CurrentSequence()->FileName), c.target);
        } else {
            EXPECT_EQ(Read(c.target), before);
        }
    }
    // Nothing there to replace: nothing asked.
    fs::remove(Path("line.sqz"));
    host.Questions.clear();
    list.Clear();
    EXPECT_TRUE(files.Open(Path("line.txt")));
    EXPECT_TRUE(host.Questions.empty());
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(FileCommandsTest, ExcludingAChangedEntryAsksToSaveItFirst) {
    struct TCase {
        const char* name;
        TSaveAnswer answer;
        bool excluded;
        std::string onDisk;
    };
    const TCase cases[] = {
        {"cancel", TSaveAnswer::Cancel, false, "on disk"},
        {"don't save", TSaveAnswer::Discard, true, "on disk"},
        {"save", TSaveAnswer::Save, true, "typed"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        list.Clear();
        host.Questions.clear();
        const std::string a = SqzFile("a.sqz", "on disk"), b = SqzFile("b.sqz", "other");
        Open({a, b});
        list.SetCurrent(0);
        list.CurrentSequence()->SetComment("typed");
        host.SaveAnswers = {c.answer};
        const TFileResult r = files.Exclude(0, Pick(""));
        EXPECT_EQ(host.Questions, std::vector<std::string>{"< " + a + " > was changed since it was last saved.\n"
                                                           "Save the changes before it is excluded from the sequence list?"});
        EXPECT_EQ(bool(r), c.excluded);
        EXPECT_EQ(list.Count(), c.excluded ? 1 : 2);
        EXPECT_EQ(TrimText(list.CurrentSequence()->FileName), c.excluded ? b : a);
        EXPECT_EQ(CommentOf(a), c.onDisk);
    }
    // Unchanged: the plain confirmation, and No keeps it.
    host.Questions.clear();
    EXPECT_FALSE(files.Exclude(0, Pick("")));
    EXPECT_EQ(host.Questions, std::vector<std::string>{"Exclude < " + Path("b.sqz") + " > from sequence list ?"});
    EXPECT_EQ(list.Count(), 1);

    // A new sequence, changed: Save asks for a name, and a cancelled name keeps it.
    ASSERT_TRUE(list.Append(Computed("")));
    list.SetCurrent(1);
    list.CurrentSequence()->SetComment("never saved");
    host.SaveAnswers = {TSaveAnswer::Save, TSaveAnswer::Save};
    EXPECT_EQ(files.Exclude(1, Pick("")).Outcome, TFileOutcome::Cancelled);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(files.Exclude(1, Pick(Path("named.sqz"))));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(CommentOf(Path("named.sqz")), "never saved");
    EXPECT_EQ(picked, 2);
    EXPECT_TRUE(host.Messages.empty());
}

// Whoever runs the tests, root too: a file whose mode denies writing is refused by every save.
TEST_F(FileCommandsTest, EverySaveRefusesAWriteProtectedFileWithItsOwnMessage) {
    struct TCase {
        const char* name;
        std::string target;  // the file written, protected beforehand
        std::function<TFileResult(TFileCommands&, const std::string&)> command;
    };
    auto picking = [this](const std::string& n) { return Pick(n); };
    const TCase cases[] = {
        {"save", Path("own.sqz"), [&](TFileCommands& f, const std::string&) { return f.Save(picking("")); }},
        {"save as, native", Path("other.sqz"), [&](TFileCommands& f, const std::string& t) { return f.SaveAs(picking(t)); }},
        {"save as, text", Path("export.txt"), [&](TFileCommands& f, const std::string& t) { return f.SaveAs(picking(t)); }},
        {"save as, SD card", Path("card.sds"), [&](TFileCommands& f, const std::string& t) { return f.SaveAs(picking(t)); }},
        {"SD card command", Path("card.sds"),
         [&](TFileCommands& f, const std::string& t) { return f.SaveToSdCard(picking(t)); }},
        {"save as new", Path("other.sqz"), [](TFileCommands& f, const std::string& t) { return f.SaveAsNew(t); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        list.Clear();
        Open({SqzFile("own.sqz", "own")});
        list.SetCurrent(0);
        list.CurrentSequence()->SetComment("changed");
        if (c.target != Path("own.sqz")) Write(c.target, "the user's file");
        const std::string before = Read(c.target);
        fs::permissions(c.target, fs::perms(0444));
        const TFileResult r = c.command(files, c.target);
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed);
        EXPECT_EQ(r.Message, "Can't save sequence with < " + c.target + " > filename\r\nThe file is write-protected");
        EXPECT_EQ(Read(c.target), before);
        EXPECT_EQ(ModeOf(c.target), mode_t(0444));
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(TrimText(list.CurrentSequence()->FileName), Path("own.sqz"));
        EXPECT_TRUE(list.Changed(0));
        fs::permissions(c.target, fs::perms(0644));
    }
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(FileCommandsTest, OpeningAPipeOrAFolderRefusesItAtOnce) {
    TPipeFile sqz(Path("pipe.sqz")), text(Path("text.txt")), card(Path("card.sds"));
    ASSERT_TRUE(sqz.Made() && text.Made() && card.Made());
    fs::create_directories(Path("folder.sqz"));
    struct TCase {
        std::string path, message;
    };
    const TCase cases[] = {
        {sqz.Path, sqz.Path + "\r\ncan't be read"},
        {text.Path, "Coordinate file error\r\n" + text.Path + "\r\nthe file can't be read"},
        {card.Path, card.Path + "\r\ncan't be read"},
        {Path("folder.sqz"), Path("folder.sqz") + "\r\ncan't be read"},
    };
    for (const TCase& c : cases) {
        const TFileResult r = files.Open(c.path);
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed) << c.path;
        EXPECT_EQ(r.Message, c.message);
    }
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(fs::exists(Path("text.sqz")));
    EXPECT_FALSE(fs::exists(Path("cardSdsToSqz.sqz")));
    // The constructor of list entries refuses it the same way.
    EXPECT_THROW(TElectSequence{sqz.Path}, std::runtime_error);
    EXPECT_EQ(host.Messages,
              std::vector<std::string>{sqz.Path + "\r\ncan't be read\r\nthis file will be excluded from the Sequence list"});
}

TEST_F(FileCommandsTest, OpeningAListedFileWithChangesAsksFirstAndShowsIt) {
    const std::string a = SqzFile("a.sqz", "on disk"), b = SqzFile("b.sqz", "b");
    Open({a, b});
    list.SetCurrent(1);
    list[0]->SetComment("typed");
    host.SaveAnswers = {TSaveAnswer::Cancel};
    TFileResult r = files.Open(a);
    EXPECT_EQ(r.Outcome, TFileOutcome::Cancelled);
    EXPECT_TRUE(r.ShowAgain);
    EXPECT_EQ(shown, 1);  // the entry asked about was shown
    EXPECT_EQ(list.CurrentIndex(), 0);
    EXPECT_EQ(list[0]->GetComment(), "typed");
    host.SaveAnswers = {TSaveAnswer::Discard};
    r = files.Open(a);
    EXPECT_TRUE(r);
    EXPECT_EQ(list[0]->GetComment(), "on disk");
    EXPECT_EQ(list.Count(), 2);
    // What the commands have to say comes back to the caller.
    r = files.Open(Path("gone.sqz"));
    EXPECT_EQ(r.Message, Path("gone.sqz") + "\r\nfile not found");
    Write(Path("notes.dat"), "x");
    EXPECT_TRUE(files.Open(Path("notes.dat")).Message.starts_with(Path("notes.dat") + "\r\nis not a sequence file"));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(FileCommandsTest, ACopyOverTheFileOfAnEntryWithChangesAsksFirst) {
    const std::string a = SqzFile("a.sqz", "a"), b = SqzFile("b.sqz", "b");
    Open({a, b});
    list[1]->SetComment("typed into b");
    list.SetCurrent(0);
    // Save as, and the roll-along through save as new, write the copy into b's entry.
    const std::function<TFileResult()> commands[] = {
        [&] { return files.SaveAs(Pick(b)); },
        [&] { return files.SaveAsNew(b); },
    };
    for (const auto& command : commands) {
        host.Questions.clear();
        host.Answers = {false};
        const TFileResult r = command();
        EXPECT_EQ(r.Outcome, TFileOutcome::Cancelled);
        ASSERT_EQ(host.Questions.size(), 1u);
        EXPECT_EQ(host.Questions[0], "< " + b + " > was changed since it was last saved.\nThe copy replaces it: save anyway?");
        EXPECT_EQ(list.CurrentIndex(), 0);
        EXPECT_EQ(list[1]->GetComment(), "typed into b");
        EXPECT_EQ(CommentOf(b), "b");
    }
    host.Answers = {true};
    EXPECT_TRUE(files.SaveAs(Pick(b)));
    EXPECT_EQ(list.CurrentIndex(), 1);
    EXPECT_EQ(list[1]->GetComment(), "a");
    EXPECT_EQ(CommentOf(b), "a");
    // An entry without changes, or the entry's own file, is written without a question.
    host.Questions.clear();
    EXPECT_TRUE(files.SaveAsNew(a));
    EXPECT_TRUE(files.SaveAs(Pick(a)));
    EXPECT_TRUE(host.Questions.empty());
}

TEST_F(FileCommandsTest, ACopyIsNeverWrittenUnderATextOrSdCardName) {
    // The roll-along's copy goes through save as new: a type chosen in its dialog must not put a
    // native image under another format's name.
    Open({SqzFile("a.sqz", "a")});
    for (const std::string leaf : {"rolled.txt", "rolled.SDS"}) {
        const TFileResult r = files.SaveAsNew(Path(leaf));
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed) << leaf;
        EXPECT_NE(r.Message.find(".sqz name"), std::string::npos) << r.Message;
        EXPECT_FALSE(fs::exists(Path(leaf))) << leaf;
        EXPECT_EQ(list.Count(), 1);
    }
}

// Where an unrelated file of the other letter case stands beside it, the name the user chose is
// the file written: the dialog's question to replace it was about that one.
TEST_F(FileCommandsTest, TheNameChosenIsTheFileWrittenWhateverTheCaseOfItsExtension) {
    struct TCase {
        const char* name;
        std::string chosen, unrelated;
        std::function<TFileResult(TFileCommands&, const std::string&)> command;
        bool unnamed;  // the current sequence was never saved
    };
    auto picking = [this](const std::string& n) { return Pick(n); };
    const TCase cases[] = {
        {"SD card command", Path("card.SDS"), Path("card.sds"),
         [&](TFileCommands& f, const std::string& n) { return f.SaveToSdCard(picking(n)); }, false},
        {"save as, SD card", Path("card.SDS"), Path("card.sds"),
         [&](TFileCommands& f, const std::string& n) { return f.SaveAs(picking(n)); }, false},
        {"first save, SD card", Path("card.Sds"), Path("card.sds"),
         [&](TFileCommands& f, const std::string& n) { return f.Save(picking(n)); }, true},
        {"save as, text", Path("line.TXT"), Path("line.txt"),
         [&](TFileCommands& f, const std::string& n) { return f.SaveAs(picking(n)); }, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenCurrent(c.unnamed);
        Write(c.unrelated, "unrelated");
        Write(c.chosen, "to be replaced");
        EXPECT_TRUE(c.command(files, c.chosen));
        EXPECT_EQ(Read(c.unrelated), "unrelated");
        EXPECT_NE(Read(c.chosen), "to be replaced");
        if (c.unrelated.ends_with(".sds")) {
            EXPECT_EQ(Read(c.chosen).size(), kSdCardFileSize);
        }
        fs::remove(c.unrelated);
        fs::remove(c.chosen);
    }
}

// A name is used exactly as it is given. The program reads names back without the blanks or
// control characters at their ends, and keeps one path a line in its list: such a name is
// refused, before any question and before anything is written, by every command; never is a
// trimmed name, another file, written or opened in its place.
TEST_F(FileCommandsTest, ANameThatTrimmingWouldChangeIsRefusedBeforeAnythingIsWritten) {
    const std::string blank = "The name begins or ends with a blank: remove it, or choose another name";
    struct TCase {
        const char* name;
        std::string chosen;
        std::function<TFileResult(TFileCommands&, const std::string&)> command;
        bool unnamed;
        std::string message;
    };
    auto picking = [this](const std::string& n) { return Pick(n); };
    auto saveAs = [&](TFileCommands& f, const std::string& n) { return f.SaveAs(picking(n)); };
    auto refusal = [](const std::string& n, const std::string& why) {
        return "Can't save sequence with < " + n + " > filename\r\n" + why;
    };
    const std::string x = Path("x.sqz") + " ";
    const TCase cases[] = {
        {"save as", x, saveAs, false, refusal(x, blank)},
        {"save as, text", Path("x.txt") + " ", saveAs, false, refusal(Path("x.txt") + " ", blank)},
        {"save as, a line break", Path("x\ny.sqz"), saveAs, false,
         refusal(Path("x\ny.sqz"), "The name holds a line break: choose another name")},
        {"first save", x, [&](TFileCommands& f, const std::string& n) { return f.Save(picking(n)); }, true,
         refusal(x, blank)},
        {"SD card command", Path("card.sds") + " ",
         [&](TFileCommands& f, const std::string& n) { return f.SaveToSdCard(picking(n)); }, false,
         refusal(Path("card.sds") + " ", blank)},
        {"save as new", x, [](TFileCommands& f, const std::string& n) { return f.SaveAsNew(n); }, false,
         refusal(x, blank)},
        {"open", x, [](TFileCommands& f, const std::string& n) { return f.Open(n); }, false,
         x + "\r\nthe name begins or ends with a blank: remove it, or choose another name"},
        {"open, a leading blank", " " + Path("x.sqz"), [](TFileCommands& f, const std::string& n) { return f.Open(n); },
         false, " " + Path("x.sqz") + "\r\nthe name begins or ends with a blank: remove it, or choose another name"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.Questions.clear();
        SqzFile("x.sqz", "unrelated");
        OpenCurrent(c.unnamed);
        if (!c.unnamed) {
            // The entry that x.sqz would have taken the copy: asked about, if it came to that.
            Open({Path("x.sqz")});
            list[1]->SetComment("typed into x");
        }
        list[0]->SetComment("changed");
        // A file of the name as given stands there too: it is not opened either.
        if (c.chosen == x) WriteImage(x, *Computed("blank"));
        const std::vector<std::string> before = Entries();
        const std::string ownName = list[0]->FileName;

        const TFileResult r = c.command(files, c.chosen);
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed);
        EXPECT_EQ(r.Message, c.message);
        EXPECT_TRUE(host.Questions.empty());
        EXPECT_EQ(Entries(), before);
        EXPECT_EQ(CommentOf(Path("x.sqz")), "unrelated");
        EXPECT_EQ(list.Count(), c.unnamed ? 1 : 2);
        EXPECT_EQ(list.CurrentIndex(), 0);
        EXPECT_EQ(std::string(list[0]->FileName), ownName);
        EXPECT_EQ(list[0]->GetComment(), "changed");
        fs::remove(x);
    }
}

// The record keeps at most 1023 bytes of its file's path. A longer path is refused with a word,
// before anything is written: cut, it would be a file in another folder that the next save
// writes. Exports keep no path and are written.
TEST_F(FileCommandsTest, APathLongerThanTheRecordKeepsIsRefusedBeforeAnythingIsWritten) {
    const std::string deep = DeepFolder(kMaxFileNameLength);
    const std::string longSqz = deep + "/line.sqz";
    const std::string why = "The path is " + std::to_string(longSqz.size()) +
                            " bytes long; a sequence keeps at most 1023 bytes of its path: choose a shorter one";
    auto refusal = [&](const std::string& n) { return "Can't save sequence with < " + n + " > filename\r\n" + why; };
    Computed("deep")->ExportTextFile(deep + "/line.txt", "\t");
    ASSERT_TRUE(fs::exists(deep + "/line.txt")) << "an export keeps no path";
    struct TCase {
        const char* name;
        std::function<TFileResult(TFileCommands&)> command;
        bool unnamed;
        std::string message;
    };
    const TCase cases[] = {
        {"save as", [&](TFileCommands& f) { return f.SaveAs(Pick(longSqz)); }, false, refusal(longSqz)},
        {"first save", [&](TFileCommands& f) { return f.Save(Pick(longSqz)); }, true, refusal(longSqz)},
        {"save as new", [&](TFileCommands& f) { return f.SaveAsNew(longSqz); }, false, refusal(longSqz)},
        {"import", [&](TFileCommands& f) { return f.Open(deep + "/line.txt"); }, false,
         "Can't import < " + deep + "/line.txt > into < " + longSqz + " >\r\n" + why},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenCurrent(c.unnamed);
        list[0]->SetComment("changed");
        const std::string ownName = list[0]->FileName;
        const TFileResult r = c.command(files);
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed);
        EXPECT_EQ(r.Message, c.message);
        EXPECT_FALSE(fs::exists(longSqz));
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(std::string(list[0]->FileName), ownName);
    }
    // Nor is a file of such a path opened: its entry would save elsewhere.
    WriteImage(longSqz, *Computed("deep"));
    list.Clear();
    const TFileResult opened = files.Open(longSqz);
    EXPECT_EQ(opened.Outcome, TFileOutcome::Failed);
    EXPECT_EQ(opened.Message, longSqz + "\r\n" + char(std::tolower(why[0])) + why.substr(1));
    EXPECT_EQ(list.Count(), 0);
    // The SD-card image keeps a short name of its own: written.
    ASSERT_TRUE(list.Add(Computed("deep")));
    list.SetCurrent(0);
    EXPECT_TRUE(files.SaveToSdCard(Pick(deep + "/card.sds")));
    EXPECT_TRUE(fs::exists(deep + "/card.sds"));
}

// Each reader reads at most what its format can hold, and never past the size a file had when
// it was opened: a larger file is refused at once with its format's message, whatever its size,
// and nothing is written or listed for it.
TEST_F(FileCommandsTest, EachReaderTakesAtMostWhatItsFormatHolds) {
    const auto sparse = [this](const std::string& leaf, std::uintmax_t size) {
        Write(Path(leaf), "#\tX\tY\tZ\r\n");
        std::error_code ec;
        fs::resize_file(Path(leaf), size, ec);
        return ec ? std::string() : Path(leaf);
    };
    const std::string textTooLarge = "the file is larger than 16 MiB, more than the text of any sequence";
    struct TCase {
        const char* name;
        std::string path;
        std::string message;
    };
    const std::string giga = sparse("giga.txt", std::uintmax_t{1} << 30);
    const std::string sixteen = sparse("sixteen.txt", std::uintmax_t{16} << 30);
    const std::string sqz = sparse("huge.sqz", std::uintmax_t{1} << 30);
    const std::string sds = sparse("long.sds", kSdCardFileSize + 1);
    std::vector<TCase> cases = {
        {"a text file of a gigabyte", giga, "Coordinate file error\r\n" + giga + "\r\n" + textTooLarge},
        {"a sequence file of a gigabyte", sqz, sqz + "\r\nis not a sequence file (wrong size)"},
        {"an SD-card file one byte too long", sds,
         sds + "\r\nis not an SD-card sequence: larger than its 144048 bytes"},
    };
    if (!sixteen.empty())
        cases.push_back({"a text file of 16 GB", sixteen, "Coordinate file error\r\n" + sixteen + "\r\n" + textTooLarge});
    // Read for ever by a reader that reads to the end: the system makes this file up as it is
    // read, while its size says 0.
    std::error_code ec;
    fs::create_symlink("/proc/self/pagemap", Path("endless.txt"), ec);
    if (!ec && fs::is_regular_file(Path("endless.txt")))
        cases.push_back({"a text file that never ends", Path("endless.txt"),
                         "Coordinate file error\r\n" + Path("endless.txt") +
                             "\r\nno coordinate header (\"#\", \"X\", \"Y\", \"Z\")"});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.path.empty());
        const std::vector<std::string> before = Entries();
        const TFileResult r = files.Open(c.path);
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed);
        EXPECT_EQ(r.Message, c.message);
        EXPECT_EQ(Entries(), before);
        EXPECT_EQ(list.Count(), 0);
    }
}

// A save that fails keeps its own message as its first line and says why below it. The full
// disk is one of the child's own; the locked folder is another user's.
TEST_F(FileCommandsTest, ASaveThatFailsSaysWhyBelowItsOwnMessage) {
    constexpr std::size_t smallDisk = 64 * 1024;
    constexpr uid_t other = 61004;
    constexpr gid_t otherGroup = 62004;
    fs::create_directories(Path("disk"));
    fs::create_directories(Path("locked"));
    fs::permissions(dir, fs::perms(0755));
    fs::permissions(Path("locked"), fs::perms(0755));
    struct TCase {
        const char* name;
        std::function<bool()> setUp;
        std::string target, why;
    };
    const TCase cases[] = {
        {"the disk is full", [&] { return OwnDisk(Path("disk"), smallDisk, false); }, Path("disk/x.sqz"),
         "The disk is full"},
        {"the disk is full, SD card", [&] { return OwnDisk(Path("disk"), smallDisk, false); }, Path("disk/x.sds"),
         "The disk is full"},
        {"a folder of another user", [] { return AsUser(other, otherGroup, {otherGroup}); }, Path("locked/x.sqz"),
         "Permission denied"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenCurrent(false);
        const auto message = InChild(c.setUp, [&] { return files.SaveAs(Pick(c.target)).Message; });
        if (!message) GTEST_SKIP() << "a disk of its own and another user are only for root";
        EXPECT_EQ(*message, "Can't save sequence with < " + c.target + " > filename\r\n" + c.why);
        EXPECT_FALSE(fs::exists(c.target));
    }
}
