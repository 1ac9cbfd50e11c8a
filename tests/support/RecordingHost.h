#pragma once
// A host for tests: records every message and question, answers questions from a script.
#include <deque>
#include <string>
#include <vector>

#include "engine/Host.h"

class TRecordingHost : public THost {
public:
    std::vector<std::string> Messages;
    std::vector<std::string> Questions;  // every question's text, of every kind
    std::deque<bool> Answers;   // consumed by Ask and Confirm; Cancel and No when empty
    std::deque<TSaveAnswer> SaveAnswers;  // consumed by AskSave; Cancel when empty
    int ProcessCalls = 0;
    int WaitCursorDepth = 0;
    int Beeps = 0;

    TRecordingHost() { SetHost(this); }
    ~TRecordingHost() override { SetHost(nullptr); }
    TRecordingHost(const TRecordingHost&) = delete;
    TRecordingHost& operator=(const TRecordingHost&) = delete;

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    bool Ask(const std::string& text, const std::string&) override {
        Questions.push_back(text);
        if (Answers.empty()) return false;
        bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    bool Confirm(const std::string& text, const std::string& caption) override { return Ask(text, caption); }
    TSaveAnswer AskSave(const std::string& text, const std::string&) override {
        Questions.push_back(text);
        if (SaveAnswers.empty()) return TSaveAnswer::Cancel;
        const TSaveAnswer a = SaveAnswers.front();
        SaveAnswers.pop_front();
        return a;
    }
    void ProcessMessages() override { ++ProcessCalls; }
    void SetWaitCursor(bool on) override { WaitCursorDepth += on ? 1 : -1; }
    void Beep() override { ++Beeps; }
};
