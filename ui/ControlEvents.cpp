#include "ui/ControlEvents.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "ui/UpDown.h"

TControlEvents::TControlEvents() : FocusBefore(QApplication::focusWidget()) {
    // A change's focus events are delivered before the change is signalled: while they are,
    // FocusBefore still names the widget the focus comes from.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusBefore = now; });
}

namespace {
// The text an edit holds; nothing for a control without one (a grid).
std::optional<QString> TextOf(const QWidget* control) {
    if (const auto* e = qobject_cast<const QLineEdit*>(control)) return e->text();
    if (const auto* t = qobject_cast<const QTextEdit*>(control)) return t->toPlainText();
    return std::nullopt;
}

// The user edited the text since the program last wrote it (writing it clears the flag).
bool EditedByUser(const QWidget* control) {
    if (const auto* e = qobject_cast<const QLineEdit*>(control)) return e->isModified();
    if (const auto* t = qobject_cast<const QTextEdit*>(control)) return t->document()->isModified();
    return false;
}
}  // namespace

bool TControlEvents::FocusMovedWithinProgram(const QEvent* focusEvent) {
    const Qt::FocusReason r = static_cast<const QFocusEvent*>(focusEvent)->reason();
    return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason && r != Qt::MenuBarFocusReason;
}

bool TControlEvents::FocusMovedByUser(const QEvent* focusEvent) {
    const Qt::FocusReason r = static_cast<const QFocusEvent*>(focusEvent)->reason();
    return r == Qt::MouseFocusReason || r == Qt::TabFocusReason || r == Qt::BacktabFocusReason ||
           r == Qt::ShortcutFocusReason;
}

void TControlEvents::OnExit(QWidget* control, THandler run) {
    // The text the edit held when the focus came to it; none while the focus has not come.
    auto entered = std::make_shared<std::optional<QString>>();
    OnEvent(control, QEvent::FocusIn, [control, entered](QEvent* e) {
        // The window or a popup giving the focus back keeps the text the user was typing; what
        // the program wrote meanwhile is taken as the control's own.
        if (FocusMovedWithinProgram(e) || !EditedByUser(control)) *entered = TextOf(control);
        return false;
    });
    OnEvent(control, QEvent::FocusOut, [control, entered, run = std::move(run)](QEvent* e) {
        if (!FocusMovedWithinProgram(e)) return false;
        const std::optional<QString> text = TextOf(control);
        if (!text || !*entered || *text != **entered || EditedByUser(control)) run();
        return false;
    });
}

void TControlEvents::OnEnter(QWidget* control, THandler run) {
    OnEvent(control, QEvent::FocusIn, [run = std::move(run)](QEvent* e) {
        if (FocusMovedByUser(e)) run();
        return false;
    });
}

void TControlEvents::OnPanelEnter(QWidget* panel, THandler run) {
    // The panel itself takes no focus: its widgets do, the inner edit of an up-down included. A
    // prompt's handler only fits the prompt to the sequence shown, so focus that the program
    // gives into it counts too.
    const auto entered = [this, panel, run = std::move(run)](QEvent* e) {
        if (FocusMovedWithinProgram(e) && !(FocusBefore && panel->isAncestorOf(FocusBefore))) run();
        return false;
    };
    for (QWidget* w : panel->findChildren<QWidget*>()) OnEvent(w, QEvent::FocusIn, entered);
}

void TControlEvents::OnChanging(TUpDown* upDown, TChanging run) {
    // The arrows may outlive the router: they hold it weakly.
    upDown->OnChanging = [router = QPointer<TControlEvents>(this), run = std::move(run)](bool& allow, int position,
                                                                                         int direction) {
        if (router && router->Open()) run(allow, position, direction);
    };
}

void TControlEvents::OnClick(QAbstractButton* button, THandler run) {
    On(button, &QAbstractButton::clicked, std::move(run));
}

void TControlEvents::OnClick(QAction* item, THandler run) { On(item, &QAction::triggered, std::move(run)); }

void TControlEvents::OnEvent(QObject* watched, QEvent::Type type, TFilter run) {
    Add(watched, type, std::move(run), false);
}

void TControlEvents::AfterEvent(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> run) {
    Add(watched, type, [run = std::move(run)](QEvent* e) {
        run(e);
        return true;
    }, true);
}

void TControlEvents::Add(QObject* watched, QEvent::Type type, TFilter run, bool after) {
    const bool watching =
        std::any_of(Routes.begin(), Routes.end(), [watched](const TRoute& r) { return r.Watched == watched; });
    Routes.push_back({watched, type, std::move(run), after});
    if (!watching) watched->installEventFilter(this);
}

bool TControlEvents::eventFilter(QObject* watched, QEvent* event) {
    if (!Open() || event == Forwarded) return false;
    const QEvent::Type type = event->type();
    bool usedUp = false;
    for (std::size_t i = 0; i < Routes.size() && Open(); ++i) {
        if (Routes[i].Watched != watched || Routes[i].Type != type) continue;
        // A copy: a handler runs commands, and one of them may add a route.
        const TRoute route = Routes[i];
        if (route.After) {
            QEvent* const outer = std::exchange(Forwarded, event);
            QCoreApplication::sendEvent(watched, event);
            Forwarded = outer;
            if (!Open()) return true;
        }
        usedUp = route.Run(event) || usedUp;
    }
    return usedUp;
}
