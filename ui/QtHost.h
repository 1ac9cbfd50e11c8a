#pragma once
// The engine's host on the desktop: its messages and questions go through the seam, so a
// test that scripts the seam answers the engine as well.
#include "engine/Host.h"

class QWidget;

class TQtHost : public THost {
public:
    // Confirmations stand beside window (null: where the platform puts them).
    explicit TQtHost(QWidget* window = nullptr) : Window(window) {}
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& text, const std::string& caption) override;
    bool Confirm(const std::string& text, const std::string& caption) override;
    TSaveAnswer AskSave(const std::string& text, const std::string& caption) override;
    void ProcessMessages() override;
    void SetWaitCursor(bool on) override;
    void Beep() override;

private:
    QWidget* Window;
};

// Hourglass for the lifetime of the object.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
