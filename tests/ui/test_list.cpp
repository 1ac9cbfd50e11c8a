// The sequence list: entries, selection, ticks, exclusion and the 1024-entry limit.
#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include "tests/ui/UiTest.h"
#include "ui/ListPanel.h"

class ListTest : public UiTest {
protected:
    // A window with the files a, b, c listed and entry 0 current.
    std::unique_ptr<TMainFrm> StartWithThree() {
        for (const char* n : {"a.sqz", "b.sqz", "c.sqz"}) Files << WriteSequenceFile(Path(n));
        WriteList(Files);
        return Start();
    }
    void Tick(TMainFrm& w, int i, bool on) {
        Find<QListWidget>(w, "SeqFileLb")->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    QStringList Files;
};

TEST_F(ListTest, ExcludingTheFirstOfThreeMakesTheLastCurrent) {
    auto w = StartWithThree();
    ASSERT_EQ(w->List().CurrentIndex(), 0);
    w->move(40, 30);
    Seam.Answers = {TMsgResult::Yes};
    w->ExcludeSeqBtnClick();
    ASSERT_EQ(Seam.Questions.size(), 1u);
    const auto& q = Seam.Questions[0];
    EXPECT_EQ(q.Text, "Exclude < " + Files[0] + " > from sequence list ?");
    EXPECT_EQ(q.Caption, "Confirmation");
    EXPECT_EQ(q.Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(q.Icon, TMsgIcon::Question);
    ASSERT_TRUE(q.At.has_value());
    EXPECT_EQ(*q.At, QPoint(w->x() + 200, w->y() + 48));
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->count(), 2);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), Files[2]);
    EXPECT_EQ(QString(w->List()[0]->FileName), Files[1]);
    EXPECT_EQ(w->List()[2], nullptr);
    EXPECT_TRUE(QFileInfo::exists(Files[0]));  // the file itself stays
}

TEST_F(ListTest, ExcludingTheOnlyEntryLeavesANewSequence) {
    auto w = Start();
    Seam.Answers = {TMsgResult::Yes};
    w->ExcludeSeqBtnClick();
    ASSERT_EQ(w->List().Count(), 1);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->count(), 1);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->item(0)->text(), QString());
    EXPECT_EQ(w->List().CurrentIndex(), 0);
    EXPECT_EQ(w->Current(), w->List()[0]);
    EXPECT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "CreationTbs"));
}

TEST_F(ListTest, AnsweringNoToTheExclusionChangesNothing) {
    auto w = StartWithThree();
    TElectSequence* current = w->Current();
    w->ExcludeSeqBtnClick();  // the scripted answer is No
    EXPECT_EQ(Seam.Questions.size(), 1u);
    EXPECT_EQ(w->List().Count(), 3);
    EXPECT_EQ(w->Current(), current);
}

TEST_F(ListTest, TicksAreCountedInTheStatusBar) {
    auto w = StartWithThree();
    Tick(*w, 0, true);
    Tick(*w, 2, true);
    EXPECT_EQ(w->StatusText(0), "Checked : 2");
    Seam.Answers = {TMsgResult::Yes};
    w->ExcludeSeqBtnClick();  // entry 0, ticked
    EXPECT_EQ(w->StatusText(0), "Checked : 1");
    Tick(*w, 1, false);
    EXPECT_EQ(w->StatusText(0), QString());
}

TEST_F(ListTest, SelectingAnotherEntryShowsItAndTheCurrentOneShowsNothingAgain) {
    auto w = StartWithThree();
    w->List()[1]->SetComment("second line");
    Find<QTextEdit>(w, "CommentEdt")->setPlainText("typed");
    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(0);  // already current
    EXPECT_EQ(Find<QTextEdit>(w, "CommentEdt")->toPlainText(), "typed");
    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(w->Current(), w->List()[1]);
    EXPECT_EQ(Find<QTextEdit>(w, "CommentEdt")->toPlainText(), "second line");
    EXPECT_EQ(w->StatusText(1), Files[1]);
}

TEST_F(ListTest, LongPathsAreShortenedFromTheFront) {
    auto w = Start();
    const QString folder = Path("survey-2026/field-campaign-north/profiles/deep");
    QDir().mkpath(folder);
    const QString file = WriteSequenceFile(folder + "/line-07.sqz");
    w->OpenSequenceFile(file);
    const QString text = Find<QListWidget>(w, "SeqFileLb")->item(1)->text();
    EXPECT_TRUE(text.contains("...")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("/line-07.sqz")) << text.toStdString();
    EXPECT_LE(QFontMetrics(Find<QListWidget>(w, "SeqFileLb")->font()).horizontalAdvance(text),
              Find<TListPanel>(w, "ListPanel")->PanelWidth() - 18);
    Seam.Answers = {TMsgResult::No};
    w->ExcludeSeqBtnClick();
    EXPECT_EQ(Seam.Questions[0].Text, "Exclude < " + file + " > from sequence list ?");
    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(0);
    Close(w);
    EXPECT_EQ(ReadList(), QStringList{file});
}

TEST_F(ListTest, EntriesKeepTheFileNameWholeAtEveryWidth) {
    // Two files that differ only in their name, deep in long folders, and a name too long for
    // any list.
    const QString folder = Path("survey-2026/field-campaign-north-ridge/profiles/deep-electrodes");
    QDir().mkpath(folder);
    const QStringList names = {"line-07.sqz", "line-08.sqz", "a-very-long-survey-name-of-the-east-line-second-spread.sqz"};
    for (const QString& n : names) Files << WriteSequenceFile(folder + '/' + n);
    WriteList(Files);
    auto w = Start();
    QListWidget* list = Find<QListWidget>(w, "SeqFileLb");
    ASSERT_EQ(list->count(), 3);
    for (const int width : {1024, 1300, 1147}) {
        w->resize(width, 660);
        QApplication::processEvents();
        SCOPED_TRACE(width);
        for (int i = 0; i < list->count(); ++i) {
            const QString text = list->item(i)->text();
            SCOPED_TRACE(text.toStdString());
            EXPECT_TRUE(text == names[i] || text.endsWith('/' + names[i]));
            if (text == names[i] && list->sizeHintForRow(i) > 0 &&
                list->sizeHintForIndex(list->model()->index(i, 0)).width() > list->viewport()->width()) {
                // Too long even alone: shown whole, and the list scrolls to it.
                EXPECT_EQ(list->textElideMode(), Qt::ElideNone);
                EXPECT_GT(list->horizontalScrollBar()->maximum(), 0);
            } else {
                // Shortened to fit: the list has nothing to cut.
                EXPECT_LE(list->sizeHintForIndex(list->model()->index(i, 0)).width(), list->viewport()->width());
            }
        }
        EXPECT_NE(list->item(0)->text(), list->item(1)->text());
    }
    // The list file still holds the whole paths.
    Close(w);
    QStringList written = ReadList();
    written.sort();
    Files.sort();
    EXPECT_EQ(written, Files);
}

TEST_F(ListTest, TheEntryAfterTheLastSlotIsRefused) {
    EXPECT_EQ(TSequenceList().Limit(), 1024);
    auto w = Start();
    // A list of three (1024 real sequences would need half a gigabyte), filled by New.
    constexpr int kLimit = 3;
    w->List().SetLimit(kLimit);
    while (w->List().Count() < kLimit) w->New1Click();
    EXPECT_TRUE(Seam.Messages.isEmpty());
    const QString file = WriteSequenceFile(Path("one-more.sqz"));
    w->New1Click();
    w->OpenSequenceFile(file);
    Seam.Files = {Path("copy.sqz")};
    Seam.Answers = {TMsgResult::Ok};  // save the uncomputed sequence anyway
    w->Saveas1Click();
    EXPECT_EQ(w->List().Count(), kLimit);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->count(), kLimit);
    EXPECT_EQ(w->List().CurrentIndex(), kLimit - 1);
    EXPECT_EQ(Seam.Messages.size(), 3);
    for (const QString& m : Seam.Messages)
        EXPECT_EQ(m, "The sequence list is full (3 sequences): exclude a sequence from the list first.");
    EXPECT_FALSE(QFileInfo::exists(Path("copy.sqz")));
}
