#pragma once
// The engine's host on the desktop: its messages and questions go through the seam, so a
// test that scripts the seam answers the engine as well.
#include "engine/Host.h"

class TQtHost : public THost {
public:
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& text, const std::string& caption) override;
    void ProcessMessages() override;
    void SetWaitCursor(bool on) override;
    void Beep() override;
};

// Hourglass for the lifetime of the object.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
