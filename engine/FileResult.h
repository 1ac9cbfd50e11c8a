#pragma once
// What an operation on the user's files did, for its caller to show: whether it was done, left
// undone at the user's word, or failed, and what the user is to be told (why it failed, or a
// note about what was done). The operation itself shows nothing.
#include <string>
#include <utility>

enum class TFileOutcome { Done, Cancelled, Failed };

struct TFileResult {
    TFileOutcome Outcome = TFileOutcome::Done;
    std::string Message;     // empty: nothing to tell
    bool ShowAgain = false;  // the current entry of the list holds something else: show it again

    static TFileResult Done(std::string note = {}) { return {TFileOutcome::Done, std::move(note)}; }
    static TFileResult Cancelled() { return {TFileOutcome::Cancelled, {}}; }
    static TFileResult Failed(std::string why) { return {TFileOutcome::Failed, std::move(why)}; }
    explicit operator bool() const { return Outcome == TFileOutcome::Done; }
};

// Shows r's message, if any, through the host; true when r was done.
bool ShowThroughHost(const TFileResult& r);

// A sequence (or its text or SD-card image) that was not saved under name, and why, in words.
TFileResult SaveFailed(const std::string& name, const std::string& why);
