// A few commands driven end to end through Qt's own dialogs (the Qt seam).
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "tests/ui/UiTest.h"
#include "ui_Main.h"

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
    EXPECT_EQ(w->SequenceCount, 1);
    EXPECT_EQ(QString(w->CurrentSequence->FileName), b);
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
    ASSERT_EQ(w->SequenceCount, 2);
    EXPECT_EQ(QString(w->CurrentSequence->FileName), Path("copy.sqz"));
    EXPECT_TRUE(QFileInfo::exists(Path("copy.sqz")));
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
    EXPECT_EQ(w->SequenceCount, 1);
}
