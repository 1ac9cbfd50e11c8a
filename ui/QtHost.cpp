#include "ui/QtHost.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWidget>
#include <optional>

#include "seam/Seam.h"

void TQtHost::ShowMessage(const std::string& text) { Seam().Message(QString::fromStdString(text)); }

bool TQtHost::Ask(const std::string& text, const std::string& caption) {
    return Seam().Question(QString::fromStdString(text), QString::fromStdString(caption), TMsgButtons::OkCancel,
                           TMsgIcon::Warning) == TMsgResult::Ok;
}

bool TQtHost::Confirm(const std::string& text, const std::string& caption) {
    // The confirmation box stands at the window's left + 200, top + 48.
    const std::optional<QPoint> at = Window ? std::optional<QPoint>(QPoint(Window->x() + 200, Window->y() + 48))
                                            : std::nullopt;
    return Seam().Question(QString::fromStdString(text), QString::fromStdString(caption), TMsgButtons::YesNo,
                           TMsgIcon::Question, at) == TMsgResult::Yes;
}

TSaveAnswer TQtHost::AskSave(const std::string& text, const std::string& caption) {
    switch (Seam().Question(QString::fromStdString(text), QString::fromStdString(caption),
                            TMsgButtons::SaveDiscardCancel, TMsgIcon::Warning)) {
        case TMsgResult::Save: return TSaveAnswer::Save;
        case TMsgResult::Discard: return TSaveAnswer::Discard;
        default: return TSaveAnswer::Cancel;
    }
}

void TQtHost::ProcessMessages() { QCoreApplication::processEvents(); }

void TQtHost::SetWaitCursor(bool on) {
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void TQtHost::Beep() { Seam().Beep(); }

TWaitCursor::TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
TWaitCursor::~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
