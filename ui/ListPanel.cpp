// The sequence list's entries and its tool bar.
#include "ui/ListPanel.h"

#include <QAction>
#include <QFontMetrics>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolBar>
#include <algorithm>
#include <utility>

#include "engine/SequenceList.h"
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui_ListPanel.h"

namespace {
// The entry text: the path shortened to width pixels by replacing folders, from the front,
// with "...", then dropping the root, then keeping the file name alone, which is never cut.
QString ShortenPath(const QString& path, const QFontMetrics& fm, int width) {
    if (fm.horizontalAdvance(path) <= width) return path;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return path;
    const QString name = path.mid(slash + 1);
    const QString root = path.startsWith('/') ? QStringLiteral("/") : QString();
    const QStringList dirs = path.left(slash).split('/', Qt::SkipEmptyParts);
    for (qsizetype k = 1; k <= dirs.size(); ++k) {
        const QStringList rest = dirs.mid(k);
        const QString t = root + "..." + '/' + (rest.isEmpty() ? QString() : rest.join('/') + '/') + name;
        if (fm.horizontalAdvance(t) <= width) return t;
    }
    const QString t = ".../" + name;
    return fm.horizontalAdvance(t) <= width ? t : name;
}
}  // namespace

TListPanel::TListPanel(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TListPanel>()) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    ui->setupUi(this);
    ui->ExcludeSeqBtn->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    ui->ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

TListPanel::~TListPanel() = default;

void TListPanel::Connect(TControlEvents& e, const TSequenceList& list, TListPanelWindow window) {
    List = &list;
    e.OnClick(ui->ExcludeSeqBtn, std::move(window.ExcludeSeqBtnClick));
    e.On(ui->SeqFileLb, &QListWidget::currentRowChanged, std::move(window.SeqFileLbClick));
    e.On(ui->SeqFileLb, &QListWidget::itemChanged, std::move(window.SeqFileLbClickCheck));
    // The entries are shortened to the list's width: a new width remakes them.
    e.OnEvent(ui->SeqFileLb->viewport(), QEvent::Resize, [this](QEvent*) {
        for (int i = 0; i < List->Count(); ++i) RemakeEntryText(i);
        return false;
    });
}

void TListPanel::AddCommands(const QList<QAction*>& commands) {
    ui->ToolBar1->insertActions(ui->ExcludeSeqBtn, commands);
}

QAction* TListPanel::ExcludeCommand() const { return ui->ExcludeSeqBtn; }

QSize TListPanel::minimumSizeHint() const {
    const int least = std::max(kLeastWidth, ui->ToolBar1->sizeHint().width());
    const QSize s = QWidget::minimumSizeHint();
    return QSize(std::max(s.width(), least), s.height());
}

void TListPanel::AddEntryItems() {
    QListWidget* list = ui->SeqFileLb;
    const QSignalBlocker block(list);
    for (int i = list->count(); i < List->Count(); ++i) {
        auto* item = new QListWidgetItem(EntryText(*(*List)[std::size_t(i)]));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
}

void TListPanel::ShowEntries() {
    AddEntryItems();
    for (int i = 0; i < List->Count(); ++i) RemakeEntryText(i);
    SelectEntry(List->CurrentIndex());
}

QString TListPanel::EntryText(const TElectSequence& s) const {
    const QString path = Trimmed(s.FileName);
    return ShortenPath(path, QFontMetrics(ui->SeqFileLb->font()), EntryTextRoom());
}

int TListPanel::EntryTextRoom() const {
    // What the style draws around an entry's text (check box, margins), measured on a sample.
    QListWidget* list = ui->SeqFileLb;
    QStyleOptionViewItem item;
    item.initFrom(list);
    item.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
    item.font = list->font();
    item.fontMetrics = QFontMetrics(item.font);
    item.text = QStringLiteral("x");
    const int around = list->style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), list).width() -
                       item.fontMetrics.horizontalAdvance(item.text);
    return list->viewport()->width() - around;
}

void TListPanel::RemakeEntryText(int i) {
    // An entry of the list that the control does not show yet (the list file is still being
    // read) gets its text when it is added.
    QListWidgetItem* item = ui->SeqFileLb->item(i);
    const TElectSequence* s = (*List)[std::size_t(i)];
    if (!item || !s) return;
    const QSignalBlocker block(ui->SeqFileLb);
    item->setText(EntryText(*s));
}

void TListPanel::SelectEntry(int i) {
    const QSignalBlocker block(ui->SeqFileLb);
    ui->SeqFileLb->setCurrentRow(i);
}

int TListPanel::SelectedIndex() const { return ui->SeqFileLb->currentRow(); }

void TListPanel::RemoveEntry(int i) {
    const QSignalBlocker block(ui->SeqFileLb);
    delete ui->SeqFileLb->takeItem(i);
}

int TListPanel::EntryCount() const { return ui->SeqFileLb->count(); }

bool TListPanel::Ticked(int i) const { return ui->SeqFileLb->item(i)->checkState() == Qt::Checked; }

int TListPanel::TickedCount() const {
    int checked = 0;
    for (int i = 0; i < EntryCount(); ++i)
        if (Ticked(i)) ++checked;
    return checked;
}

std::vector<const TElectSequence*> TListPanel::OtherTickedSequences() const {
    std::vector<const TElectSequence*> others;
    const int selected = SelectedIndex();
    for (int i = 0; i < List->Count() && i < EntryCount(); ++i) {
        const TElectSequence* o = (*List)[std::size_t(i)];
        if (i == selected || o == List->CurrentSequence() || !o) continue;
        if (Ticked(i)) others.push_back(o);
    }
    return others;
}

void TListPanel::FocusList() { ui->SeqFileLb->setFocus(); }
