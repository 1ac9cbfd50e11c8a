// The list of open sequences: its limit, the current entry, finding an entry by its file, the
// list file, save as new and which entries hold unsaved changes.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/SequenceList.h"
#include "tests/engine/FileFixture.h"
#include "tests/engine/SequenceBuilders.h"
#include "tests/support/UserFiles.h"

namespace {
namespace fs = std::filesystem;

// Without regard to case, byte by byte.
bool CaseBlind(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
}

std::string FileOf(const TElectSequence* s) { return s ? TrimText(s->FileName) : "(none)"; }

std::vector<std::string> FilesOf(const TSequenceList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(FileOf(list[std::size_t(i)]));
    return out;
}

// Runs in folder and goes back to where it was.
class TInFolder {
public:
    explicit TInFolder(const fs::path& folder) : Previous(fs::current_path()) { fs::current_path(folder); }
    ~TInFolder() { fs::current_path(Previous); }
    TInFolder(const TInFolder&) = delete;
    TInFolder& operator=(const TInFolder&) = delete;

private:
    fs::path Previous;
};
}  // namespace

class SequenceListTest : public FileFixture {
protected:
    // A .sqz file of a new sequence with comment; returns its path.
    std::string SqzFile(const std::string& leaf, const std::string& comment = "") {
        auto s = NewSequence();
        s->SetComment(comment);
        EXPECT_TRUE(s->SaveToFile(Path(leaf)));
        return Path(leaf);
    }
    static void Open(TSequenceList& list, const std::vector<std::string>& files) {
        for (const std::string& f : files) ASSERT_GE(list.AppendFromFile(f), 0) << f;
    }
    std::string ListFile() const { return Path("SeqFilePath.lst"); }
    std::string ProgramList() const { return Path("program/SeqFilePath.lst"); }
    // A path that cannot be created: its folder is a plain file.
    std::string Unwritable() {
        Write(Path("plain-file"), "x");
        return Path("plain-file/x.sqz");
    }
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string out;
        for (const std::string& l : lines) out += l + "\r\n";
        return out;
    }
};

TEST_F(SequenceListTest, TheLimitRefusesEveryWayIn) {
    EXPECT_EQ(TSequenceList().Limit(), kMaxSequences);
    const std::string full = "The sequence list is full (2 sequences): exclude a sequence from the list first.";
    const std::string a = SqzFile("a.sqz"), b = SqzFile("b.sqz");
    TSequenceList list(2);
    ASSERT_TRUE(list.Append(NewSequence()));
    Open(list, {a});
    list.SetCurrent(0);

    EXPECT_FALSE(list.Append(NewSequence()));
    EXPECT_EQ(list.AppendFromFile(b), -1);
    EXPECT_EQ(list.SaveAsNew(Path("copy.sqz")), -1);
    EXPECT_EQ(host.Messages, std::vector<std::string>(3, full));
    EXPECT_FALSE(fs::exists(Path("copy.sqz")));
    // A listed file takes the copy without a new entry.
    EXPECT_EQ(list.SaveAsNew(a), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(host.Messages.size(), 3u);

    // Start-up stops at the limit, says so once and leaves the list file as it is.
    const std::string lines = Lines({a, b, a});
    Write(ListFile(), lines);
    host.Messages.clear();
    list.ReopenList(ListFile(), ProgramList(), 2);
    EXPECT_EQ(FilesOf(list), (std::vector<std::string>{a, b}));
    EXPECT_EQ(list.CurrentIndex(), -1);
    EXPECT_EQ(host.Messages, std::vector<std::string>{full});
    EXPECT_EQ(Read(ListFile()), lines);
}

TEST_F(SequenceListTest, ExcludingMakesTheLastEntryCurrent) {
    const std::string a = SqzFile("a.sqz"), b = SqzFile("b.sqz"), c = SqzFile("c.sqz");
    TSequenceList list;
    // What the window keeps: references that follow the list.
    const int& count = list.Count();
    const int& current = list.CurrentIndex();
    TElectSequence* const& sequence = list.CurrentSequence();
    EXPECT_EQ(current, -1);
    EXPECT_EQ(sequence, nullptr);
    Open(list, {a, b, c});
    list.SetCurrent(0);
    EXPECT_EQ(FileOf(sequence), a);

    list.Exclude(0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(FileOf(sequence), c);
    EXPECT_EQ(list[2], nullptr);
    list.Exclude(5);  // names no entry
    EXPECT_EQ(FilesOf(list), (std::vector<std::string>{b, c}));
    list.Exclude(1);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(FileOf(sequence), b);
    list.Exclude(0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(current, -1);
    EXPECT_EQ(sequence, nullptr);
    EXPECT_TRUE(fs::exists(a));  // the files stay

    Open(list, {a});
    list.SetCurrent(3);
    EXPECT_EQ(current, -1);
    EXPECT_EQ(sequence, nullptr);
}

TEST_F(SequenceListTest, FindComparesPathsWithLinksAndDotsResolved) {
    const std::string a = SqzFile("a.sqz"), b = SqzFile("b.sqz");
    fs::create_directories(Path("sub"));
    fs::create_symlink(a, Path("link.sqz"));
    fs::create_directory_symlink(dir, Path("alias"));
    TSequenceList list;
    Open(list, {a, b});
    ASSERT_TRUE(list.Append(NewSequence()));  // no file: never found
    // Listed, its file gone: compared as written, made absolute.
    auto gone = NewSequence();
    gone->SetFileName(Path("sub/../gone.sqz"));
    ASSERT_TRUE(list.Append(std::move(gone)));
    Open(list, {b});  // the first of two entries of one file is the one found

    const TInFolder here(dir);
    struct TCase {
        std::string path;
        int entry;
    };
    const TCase cases[] = {
        {a, 0},
        {Path("sub/../a.sqz"), 0},
        {dir.string() + "//./a.sqz", 0},
        {Path("link.sqz"), 0},
        {Path("alias/b.sqz"), 1},
        {"a.sqz", 0},
        {"./sub/../b.sqz", 1},
        {Path("gone.sqz"), 3},
        {"gone.sqz", 3},
        {Path("A.SQZ"), -1},
        {Path("c.sqz"), -1},
        {"", -1},
        {".", -1},
    };
    for (const TCase& c : cases) EXPECT_EQ(list.Find(c.path), c.entry) << c.path;
}

TEST_F(SequenceListTest, TheListFileHoldsTheNamedEntriesInOrderAndOpensAgain) {
    // Bytes that are not UTF-8 stay as the file system has them.
    const std::string b = SqzFile("b.sqz"), a = SqzFile("A.sqz"), odd = SqzFile("\xE9t\xE9.sqz");
    TSequenceList list;
    Open(list, {b, a});
    ASSERT_TRUE(list.Append(NewSequence()));
    Open(list, {odd});
    list.SetCurrent(1);
    EXPECT_EQ(list.WriteList(ListFile(), CaseBlind), 0);
    EXPECT_EQ(Read(ListFile()), Lines({a, b, odd}));
    list.SetCurrent(2);  // unnamed: not in the file
    EXPECT_EQ(list.WriteList(ListFile(), CaseBlind), -1);
    // Entries the order cannot tell apart keep their order.
    EXPECT_EQ(list.WriteList(ListFile(), [](const std::string&, const std::string&) { return false; }), -1);
    EXPECT_EQ(Read(ListFile()), Lines({b, a, odd}));

    TSequenceList again;
    again.ReopenList(ListFile(), ProgramList(), 2);
    EXPECT_EQ(FilesOf(again), (std::vector<std::string>{b, a, odd}));
    EXPECT_EQ(again.CurrentIndex(), 2);
    EXPECT_EQ(FileOf(again.CurrentSequence()), odd);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(SequenceListTest, ReadingTheListFileDropsTheFilesThatAreRefused) {
    const std::string a = SqzFile("a.sqz"), b = SqzFile("b.sqz"), c = SqzFile("c.sqz");
    auto old = NewSequence();
    ASSERT_TRUE(old->SaveToFile(Path("old.sqz")));
    std::string image = Read(Path("old.sqz"));
    image[offsetof(TElectSequence, Version)] ^= 0x7F;
    Write(Path("old.sqz"), image);
    const std::string missing = Path("missing.sqz");
    struct TCase {
        const char* name;
        std::string contents;
        int storedLine;
        std::vector<std::string> entries;
        int current;
        std::vector<std::string> messages;  // the start of each message
        std::string rewritten;              // the list file afterwards
    };
    const TCase cases[] = {
        {"line ends", "\xEF\xBB\xBF" + a + "\r" + b + "\n" + c, 1, {a, b, c}, 1, {}, ""},
        {"stored line out of range", Lines({a, b}), 5, {a, b}, -1, {}, ""},
        {"refused lines",
         Lines({a, missing, Path("old.sqz"), b}),
         3,
         {a, b},
         1,
         // Both in one message.
         {"2 lines of the Sequence list name files that can't be opened"},
         Lines({a, b})},
        {"empty line", a + "\r\n\r\n" + b + "\r\n", 0, {a, b}, 0, {"\r\nfile not found"}, Lines({a, b})},
    };
    for (const TCase& t : cases) {
        SCOPED_TRACE(t.name);
        host.Messages.clear();
        Write(ListFile(), t.contents);
        TSequenceList list;
        list.ReopenList(ListFile(), ProgramList(), t.storedLine);
        EXPECT_EQ(FilesOf(list), t.entries);
        EXPECT_EQ(list.CurrentIndex(), t.current);
        ASSERT_EQ(host.Messages.size(), t.messages.size());
        for (std::size_t m = 0; m < t.messages.size(); ++m) {
            EXPECT_TRUE(host.Messages[m].starts_with(t.messages[m])) << host.Messages[m];
            EXPECT_TRUE(host.Messages[m].find("excluded") != std::string::npos) << host.Messages[m];
        }
        EXPECT_EQ(Read(ListFile()), t.rewritten.empty() ? t.contents : t.rewritten);
        // Every entry starts as its file holds it.
        for (int i = 0; i < list.Count(); ++i) EXPECT_FALSE(list.Changed(i));
    }
}

TEST_F(SequenceListTest, TheProgramFoldersListIsCopiedWhenTheWorkingFolderHasNone) {
    const std::string a = SqzFile("a.sqz");
    fs::create_directories(Path("program"));
    const std::string programLines = Lines({Path("gone.sqz"), a});
    Write(ProgramList(), programLines);
    TSequenceList list;
    list.ReopenList(ListFile(), ProgramList(), -1);
    EXPECT_EQ(FilesOf(list), std::vector<std::string>{a});
    EXPECT_EQ(host.Messages.size(), 1u);
    // The failed line leaves the copy, not the program's own list.
    EXPECT_EQ(Read(ListFile()), Lines({a}));
    EXPECT_EQ(Read(ProgramList()), programLines);

    // Neither list: nothing to open, nothing to say.
    fs::remove(ListFile());
    fs::remove(ProgramList());
    host.Messages.clear();
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_FALSE(fs::exists(ListFile()));
}

TEST_F(SequenceListTest, AListFileThatCannotBeReadOrWrittenIsReported) {
    // A folder where the list file should be.
    fs::create_directories(ListFile());
    TSequenceList list;
    Open(list, {SqzFile("a.sqz")});
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Can't read the sequence list < " + ListFile() + " >"});

    const std::string a = SqzFile("a.sqz");
    Open(list, {a});
    list.SetCurrent(0);
    host.Messages.clear();
    const std::string unwritable = Unwritable();
    EXPECT_EQ(list.WriteList(unwritable, CaseBlind), 0);
    EXPECT_EQ(host.Messages,
              std::vector<std::string>{"Can't save the sequence list < " + unwritable + " >\r\nNot a directory"});

    // A list file that is a link is written where the link points, and stays a link.
    fs::create_directories(Path("real"));
    fs::create_symlink(Path("real/list.lst"), Path("link.lst"));
    EXPECT_EQ(list.WriteList(Path("link.lst"), CaseBlind), 0);
    EXPECT_TRUE(fs::is_symlink(Path("link.lst")));
    EXPECT_EQ(Read(Path("real/list.lst")), Lines({a}));
}

TEST_F(SequenceListTest, SaveAsNewCopiesTheCurrentEntryIntoItsOwnOrAListedFile) {
    const std::string a = SqzFile("a.sqz", "on disk"), b = SqzFile("b.sqz");
    TSequenceList list;
    Open(list, {a, b});
    list.SetCurrent(0);
    TElectSequence* first = list[0];
    first->SetComment("rolled");

    // A new file: a new entry, current, as its file holds it.
    EXPECT_EQ(list.SaveAsNew(Path("a~.sqz")), 2);
    EXPECT_EQ(list.CurrentIndex(), 2);
    EXPECT_EQ(FileOf(list.CurrentSequence()), Path("a~.sqz"));
    EXPECT_EQ(list.CurrentSequence()->GetComment(), "rolled");
    EXPECT_FALSE(list.Changed(2));
    EXPECT_EQ(TElectSequence(Path("a~.sqz")).GetComment(), "rolled");
    // The entry copied keeps its file and its unsaved change.
    EXPECT_EQ(FileOf(first), a);
    EXPECT_EQ(first->GetComment(), "rolled");
    EXPECT_TRUE(list.Changed(0));
    EXPECT_EQ(TElectSequence(a).GetComment(), "on disk");

    // A listed file: that entry takes the copy.
    list.SetCurrent(0);
    EXPECT_EQ(list.SaveAsNew(b), 1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.CurrentSequence(), list[1]);
    EXPECT_EQ(FileOf(list[1]), b);
    EXPECT_EQ(list[1]->GetComment(), "rolled");
    EXPECT_FALSE(list.Changed(1));
    EXPECT_EQ(FileOf(first), a);

    // Onto its own file: a plain save.
    list.SetCurrent(0);
    EXPECT_EQ(list.SaveAsNew(a), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_FALSE(list.Changed(0));
    EXPECT_TRUE(host.Messages.empty());

    // A file that cannot be written: nothing changes but the message.
    first->SetComment("kept");
    EXPECT_EQ(list.SaveAsNew(Unwritable()), -1);
    EXPECT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.CurrentIndex(), 0);
    EXPECT_EQ(FileOf(first), a);
    EXPECT_EQ(first->GetComment(), "kept");
}

TEST_F(SequenceListTest, UnsavedChangesFollowSavesAndReloads) {
    const std::string a = SqzFile("a.sqz", "on disk");
    TSequenceList list;
    ASSERT_TRUE(list.Append(NewSequence()));
    list.SetCurrent(0);
    TElectSequence& s = *list.CurrentSequence();
    EXPECT_FALSE(list.Changed(0));  // a new sequence is as it was made
    EXPECT_FALSE(list.Changed(4));  // no such entry

    s.SetComment("mine");
    EXPECT_TRUE(list.Changed(0));

    // A save that fails keeps the name and the change.
    EXPECT_FALSE(list.SaveCurrent(Unwritable()));
    EXPECT_EQ(FileOf(&s), "");
    EXPECT_TRUE(list.Changed(0));
    EXPECT_TRUE(list.SaveCurrent(Path("mine.sqz")));
    EXPECT_EQ(FileOf(&s), Path("mine.sqz"));
    EXPECT_FALSE(list.Changed(0));

    s.SetComment("again");
    EXPECT_FALSE(list.Reload(0, Path("missing.sqz")));
    EXPECT_TRUE(list.Changed(0));
    EXPECT_EQ(s.GetComment(), "again");
    EXPECT_TRUE(list.Reload(0, a));
    EXPECT_FALSE(list.Changed(0));
    EXPECT_EQ(s.GetComment(), "on disk");
    EXPECT_EQ(FileOf(&s), a);
    EXPECT_EQ(host.Messages.size(), 2u);
}

TEST_F(SequenceListTest, EachFileOfTheListFileOpensOnceFromItsTrimmedLine) {
    const std::string a = SqzFile("a.sqz"), b = SqzFile("b.sqz");
    fs::create_directories(Path("sub"));
    fs::create_symlink(a, Path("link.sqz"));
    // Lines 3 and 4 name a again, by a link and by "..": the stored line 3 selects a's entry.
    Write(ListFile(), Lines({"  " + a + " \t", b, "\t" + b, Path("link.sqz"), Path("sub/../a.sqz")}));
    TSequenceList list;
    list.ReopenList(ListFile(), ProgramList(), 3);
    EXPECT_EQ(FilesOf(list), (std::vector<std::string>{a, b}));
    EXPECT_EQ(list.CurrentIndex(), 0);
    EXPECT_TRUE(host.Messages.empty());
    // The file says what was opened.
    EXPECT_EQ(Read(ListFile()), Lines({a, b}));
}

TEST_F(SequenceListTest, TheRefusedLinesOfTheListFileAreToldInOneMessage) {
    const std::string a = SqzFile("a.sqz");
    constexpr int kRefused = 16000;
    std::vector<std::string> lines;
    for (int i = 0; i < kRefused; ++i) lines.push_back(Path("gone-" + std::to_string(i) + ".sqz"));
    lines.push_back(a);
    Write(ListFile(), Lines(lines));
    TSequenceList list;
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(FilesOf(list), std::vector<std::string>{a});
    ASSERT_EQ(host.Messages.size(), 1u);
    const std::string& text = host.Messages[0];
    EXPECT_TRUE(text.starts_with("16000 lines of the Sequence list name files that can't be opened; they will be "
                                 "excluded from the Sequence list:\r\n" + lines[0] + ": file not found\r\n"))
        << text.substr(0, 300);
    // The first lines by name, the rest counted.
    EXPECT_NE(text.find(lines[9] + ": file not found\r\n... and 15990 more"), std::string::npos);
    EXPECT_EQ(text.find(lines[10]), std::string::npos);
    EXPECT_EQ(Read(ListFile()), Lines({a}));
}

TEST_F(SequenceListTest, AListFileOrALineThatIsAPipeIsRefusedAtOnce) {
    const std::string a = SqzFile("a.sqz");
    TPipeFile line(Path("pipe.sqz"));
    ASSERT_TRUE(line.Made());
    Write(ListFile(), Lines({line.Path, a}));
    TSequenceList list;
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(FilesOf(list), std::vector<std::string>{a});
    EXPECT_EQ(host.Messages,
              std::vector<std::string>{line.Path + "\r\ncan't be read\r\nthis file will be excluded from the Sequence list"});

    fs::remove(ListFile());
    TPipeFile listFile(ListFile());
    ASSERT_TRUE(listFile.Made());
    host.Messages.clear();
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Can't read the sequence list < " + ListFile() + " >"});
    EXPECT_TRUE(fs::is_fifo(ListFile()));
}

// Whoever runs the tests, root too.
TEST_F(SequenceListTest, AWriteProtectedListFileIsNotReplaced) {
    const std::string a = SqzFile("a.sqz");
    TSequenceList list;
    Open(list, {a});
    Write(ListFile(), "kept\r\n");
    fs::permissions(ListFile(), fs::perms(0444));
    EXPECT_EQ(list.WriteList(ListFile(), CaseBlind), -1);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Can't save the sequence list < " + ListFile() +
                                                      " >\r\nThe file is write-protected"});
    EXPECT_EQ(Read(ListFile()), "kept\r\n");
}

// The list file is read at most to its bound and to the size it had when opened: a list of a
// gigabyte is refused at once, and left as it is; one that never ends (the system makes it up as
// it is read) is read to its size. A line that names a path longer than an entry keeps is refused
// with the others that do not open, and leaves the list.
TEST_F(SequenceListTest, TheListFileIsReadWithinItsBound) {
    const std::string a = SqzFile("a.sqz");
    Write(ListFile(), Lines({a}));
    fs::resize_file(ListFile(), std::uintmax_t{1} << 30);
    TSequenceList list;
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Can't read the sequence list < " + ListFile() +
                                                      " >\r\nThe file is larger than 16 MiB, more than any list of sequences"});
    EXPECT_EQ(fs::file_size(ListFile()), std::uintmax_t{1} << 30);

    std::error_code ec;
    fs::remove(ListFile());
    fs::create_symlink("/proc/self/pagemap", ListFile(), ec);
    if (!ec && fs::is_regular_file(ListFile())) {
        host.Messages.clear();
        list.ReopenList(ListFile(), ProgramList(), 0);
        EXPECT_EQ(list.Count(), 0);
        EXPECT_TRUE(host.Messages.empty());
    }

    fs::remove(ListFile());
    const std::string longPath = DeepFolder(kMaxFileNameLength) + "/long.sqz";
    fs::copy_file(a, longPath);
    Write(ListFile(), Lines({longPath, a}));
    host.Messages.clear();
    list.ReopenList(ListFile(), ProgramList(), 0);
    EXPECT_EQ(FilesOf(list), std::vector<std::string>{a});
    EXPECT_EQ(host.Messages,
              std::vector<std::string>{longPath + "\r\nthe path is " + std::to_string(longPath.size()) +
                                       " bytes long; a sequence keeps at most 1023 bytes of its path: choose a "
                                       "shorter one\r\nthis file will be excluded from the Sequence list"});
    EXPECT_EQ(Read(ListFile()), Lines({a}));
}
