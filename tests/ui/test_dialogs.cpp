// A few commands driven end to end through Qt's own dialogs (the Qt seam).
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "chart/Pe3dvcl.h"
#include "export/Exportsqt.h"
#include "export/ReskonSolvy.h"
#include "tests/ui/UiTest.h"
#include "ui/Help.h"

namespace {
// Runs act on the next modal dialog as soon as it is shown.
void WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

QAbstractButton* ButtonNamed(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text) return b;
    return nullptr;
}
}  // namespace

class DialogTest : public UiTest {
protected:
    void UseQtDialogs() { SetSeam(&QtDialogs); }
    TQtSeam QtDialogs;
};

TEST_F(DialogTest, ExclusionAskedInAMessageBoxWithOuiAndNon) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    WriteList({a, b});
    auto w = Start();
    UseQtDialogs();
    QString text, title;
    bool hadNon = false;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        hadNon = ButtonNamed(box, "&Non") != nullptr;
        ButtonNamed(box, "&Oui")->click();
    });
    w->ExcludeSeqBtnClick();
    EXPECT_EQ(text, "Exclude < " + a + " > from sequence list ?");
    EXPECT_EQ(title, "Confirmation");
    EXPECT_TRUE(hadNon);
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), b);
}

TEST_F(DialogTest, SaveAsThroughTheFileDialog) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    WriteList({a});
    auto w = Start();
    UseQtDialogs();
    QStringList filters;
    WhenModal([&](QWidget* modal) {
        auto* dlg = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dlg, nullptr);
        filters = dlg->nameFilters();
        // Named without its extension: the dialog adds the default one.
        dlg->selectFile(Path("copy"));
        QMetaObject::invokeMethod(dlg, "accept", Qt::QueuedConnection);
    });
    w->Saveas1Click();
    EXPECT_EQ(filters, (QStringList{"Planora pro (*.sqz)", "Text (*.txt)", "Sd card format (*.sds)"}));
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(QString(w->Current()->FileName), Path("copy.sqz"));
    EXPECT_TRUE(QFileInfo::exists(Path("copy.sqz")));
}

// The type the user picks in the dialog's list decides the extension added to a name typed
// without one, and so the file the dialog's own overwrite question is about.
TEST_F(DialogTest, TheTypePickedInTheSaveDialogDecidesTheExtensionAdded) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString same = WriteSequenceFile(Path("copy.sqz"));
    QFile f(same);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    WriteList({a});
    auto w = Start();
    UseQtDialogs();
    QFileDialog* dialog = nullptr;
    QStringList asked;  // a question over the dialog is answered No, and the dialog closed
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        asked << box->text();
        box->reject();
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    WhenModal([&](QWidget* modal) {
        dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(types && name);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        ASSERT_EQ(types->currentText(), "Text (*.txt)");
        name->setFocus();
        name->clear();
        QTest::keyClicks(name, "copy");
        watch.start();
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    w->Saveas1Click();
    watch.stop();
    EXPECT_TRUE(asked.isEmpty()) << asked.join('|').toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    QFile text(Path("copy.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(text.readAll().startsWith("#\tX\tY\tZ\r\n"));
    EXPECT_EQ(w->List().Count(), 1);
}

TEST_F(DialogTest, TheEnginesMessageReachesAMessageBox) {
    auto w = Start();
    UseQtDialogs();
    QString text;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    w->OpenSequenceFile(Path("gone.sqz"));
    EXPECT_TRUE(text.startsWith(Path("gone.sqz"))) << text.toStdString();
    EXPECT_TRUE(text.contains("file not found"));
    EXPECT_EQ(w->List().Count(), 1);
}

// Each part of the program tells the user in a message box of its own kind: the window plainly
// under the program's name, the chart with a warning over the chart, the export dialog with
// an information over itself.
TEST_F(DialogTest, EachPartTellsTheUserInItsOwnMessageBox) {
    auto w = Start();
    auto sequence = MakeSequence(10);
    TExportSqtFrm exportDialog(nullptr, sequence.get());
    exportDialog.Solvy()->LoadFromSequence();
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewGraphTbs"));
    QApplication::processEvents();
    Pe3do* chart = Find<Pe3do>(w, "Pe3do1");
    UseQtDialogs();
    const struct {
        const char* part;
        std::function<void()> act;
        QString caption;
        QMessageBox::Icon icon;
        QWidget* parent;
        QString text;
    } rows[] = {
        {"window", [&] { w->OpenSequenceFile(Path("gone.sqz")); }, "Planora Pro", QMessageBox::NoIcon, w.get(),
         Path("gone.sqz") + "\r\nfile not found"},
        {"chart",
         [&] {
             chart->SetPEstrarg1(Path("no/such/folder/c.png"));
             chart->SetPEactions(tdPngToFile);
         },
         "Chart", QMessageBox::Warning, chart, "The chart could not be exported to \"" + Path("no/such/folder/c.png")},
        {"export",
         [&] {
             exportDialog.show();
             exportDialog.findChild<QAbstractButton*>("ModeReceiverOnlyCb")->click();
             auto* edit = exportDialog.findChild<QLineEdit*>("TxIabEdt");
             edit->setText("abc");
             emit edit->editingFinished();
         },
         "Planora Pro", QMessageBox::Information, &exportDialog, "'abc' is not a valid floating point value"},
    };
    for (const auto& r : rows) {
        QMessageBox* shown = nullptr;
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
        WhenModal([&](QWidget* modal) {
            shown = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(shown, nullptr);
            caption = shown->windowTitle();
            text = shown->text();
            icon = shown->icon();
            parent = shown->parentWidget();
            shown->button(QMessageBox::Ok)->click();
        });
        r.act();
        ASSERT_NE(shown, nullptr) << r.part;
        EXPECT_EQ(caption, r.caption) << r.part;
        EXPECT_EQ(icon, r.icon) << r.part;
        EXPECT_EQ(parent, r.parent) << r.part;
        EXPECT_TRUE(text.startsWith(r.text)) << r.part << ": " << text.toStdString();
    }
}

TEST_F(DialogTest, HelpOpensTheProgramsHelpWindow) {
    auto w = Start();
    UseQtDialogs();
    w->Rubriquedaide1Click();
    THelpFrm* help = THelpFrm::Current();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Browser()->source(), QUrl(THelpFrm::PageOf(THelpFrm::HelpTopics)));
    THelpFrm::CloseAll();
}

// The chart's maximised view and its export dialog run as modal windows over the program.
TEST_F(DialogTest, TheChartsWindowsRunModally) {
    auto w = Start();
    UseQtDialogs();
    const struct {
        QAbstractButton* button;
        QString window;
    } rows[] = {{Find<QToolButton>(w, "MaximizeBtn"), "ChartMaximizedDlg"},
                {Find<QToolButton>(w, "ExportBtn"), "ChartExportDlg"}};
    for (const auto& r : rows) {
        QString shown;
        WhenModal([&](QWidget* modal) {
            shown = modal->objectName();
            modal->close();
        });
        r.button->click();
        EXPECT_EQ(shown, r.window);
    }
}
