#include "ui/QtHost.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include "seam/Seam.h"

void TQtHost::ShowMessage(const std::string& text) { Seam().Message(QString::fromStdString(text)); }

bool TQtHost::Ask(const std::string& text, const std::string& caption) {
    return Seam().Question(QString::fromStdString(text), QString::fromStdString(caption), TMsgButtons::OkCancel,
                           TMsgIcon::Warning) == TMsgResult::Ok;
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
