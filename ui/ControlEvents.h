#pragma once
// The one way from the window's controls to its handlers: a click or a choice (any signal of a
// control), leaving and entering a control, entering a panel, an up-down's step, and the raw
// events a handler needs (a grid's mouse and keys, a resize).
//
// Only the user enters a control: a click, Tab or Backtab, a shortcut. The focus that Qt or the
// program gives back (a tab page shown again, the window or a list coming back) enters nothing
// (a panel, whose handler only shows, is entered by any move within the program).
// Leaving counts when the focus moves on within the program (not the window losing its
// activation, nor a menu or popup taking the keyboard for a moment), and leaving an edit runs
// its handler only when its text is not the one it held when the focus came to it, or the user
// edited it (typing, or a step of its arrows): passing through an edit writes nothing.
//
// Teardown: the router is the context of every route. Once it is closed (the window lets go of
// its sequences: its close went through, or it is being destroyed) nothing reaches a handler,
// and when it goes, every route goes with it.
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

class QAbstractButton;
class QAction;
class QWidget;
class TUpDown;

class TControlEvents : public QObject {
public:
    using THandler = std::function<void()>;
    // Runs on an event; true when the event is used up (the control does not see it).
    using TFilter = std::function<bool(QEvent*)>;
    using TChanging = std::function<void(bool& allow, int newPosition, int direction)>;

    TControlEvents();

    // The user left control: the focus went from it to another widget of the program, and, for
    // an edit, its text changed or the user edited it since the focus came to it.
    void OnExit(QWidget* control, THandler run);
    // The user put the focus on control.
    void OnEnter(QWidget* control, THandler run);
    // The focus moved within the program to a widget inside panel, coming from outside it; the
    // panel's handler only shows, so focus the program gives counts as well as the user's.
    void OnPanelEnter(QWidget* panel, THandler run);
    // Before each step of the arrows.
    void OnChanging(TUpDown* upDown, TChanging run);
    void OnClick(QAbstractButton* button, THandler run);
    void OnClick(QAction* item, THandler run);
    // Events of one type that watched receives, before it handles them.
    void OnEvent(QObject* watched, QEvent::Type type, TFilter run);
    // Events of one type, once watched has handled them; they go no further.
    void AfterEvent(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> run);

    // Any signal of a control; run takes the signal's arguments or none.
    template <class Sender, class Signal, class F>
    void On(Sender* sender, Signal signal, F run) {
        connect(sender, signal, this, [this, run = std::move(run)](const auto&... args) {
            if (!Open()) return;
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                run(args...);
            else
                run();
        });
    }

    // From now on nothing reaches a handler.
    void Close() { Closed = true; }
    bool Open() const { return !Closed; }

    // The focus moved from one widget of the program to another (see above).
    static bool FocusMovedWithinProgram(const QEvent* focusEvent);
    // The user moved it: a click, Tab or Backtab, a shortcut.
    static bool FocusMovedByUser(const QEvent* focusEvent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TRoute {
        QPointer<QObject> Watched;
        QEvent::Type Type;
        TFilter Run;
        bool After;
    };
    void Add(QObject* watched, QEvent::Type type, TFilter run, bool after);

    std::vector<TRoute> Routes;
    // The widget that had the focus before the change being delivered now.
    QPointer<QWidget> FocusBefore;
    // The event handed back to its control so that the control handles it first.
    QEvent* Forwarded = nullptr;
    bool Closed = false;
};
