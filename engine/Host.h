#pragma once
// The engine's and the link's way to reach the user: message boxes shown on the spot,
// questions, pending window events and the wait cursor. The window installs its Qt
// implementation; tests install a recorder. Plain C++ so the engine stays free of Qt.
#include <string>

// The answers to a question about changes that would be lost.
enum class TSaveAnswer { Save, Discard, Cancel };

class THost {
public:
    virtual ~THost() = default;
    // Modal message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // OK/Cancel question; true when the user answers OK.
    virtual bool Ask(const std::string& text, const std::string& caption) = 0;
    // Yes/No confirmation; true when the user answers Yes. A host that asks nobody says No.
    virtual bool Confirm(const std::string&, const std::string&) { return false; }
    // Save / Don't Save / Cancel, for changes that would be lost. A host that asks nobody
    // cancels.
    virtual TSaveAnswer AskSave(const std::string&, const std::string&) { return TSaveAnswer::Cancel; }
    // Lets the window handle its pending events (blocking waits call this in every slice).
    virtual void ProcessMessages() = 0;
    // Hourglass on (true) or back to the default cursor (false).
    virtual void SetWaitCursor(bool on) = 0;
    virtual void Beep() {}
};

// Never null: a quiet default (messages to stderr, questions answered Cancel) when none is installed.
THost& Host();
// Installs h; nullptr restores the default. The caller keeps ownership.
void SetHost(THost* h);
