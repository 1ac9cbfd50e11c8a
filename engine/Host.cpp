#include "engine/Host.h"

#include <cstdio>

namespace {
class TDefaultHost final : public THost {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool Ask(const std::string&, const std::string&) override { return false; }
    void ProcessMessages() override {}
    void SetWaitCursor(bool) override {}
};

TDefaultHost defaultHost;
THost* current = &defaultHost;
}  // namespace

THost& Host() { return *current; }
void SetHost(THost* h) { current = h ? h : &defaultHost; }
