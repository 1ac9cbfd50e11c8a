#include "engine/FileResult.h"

#include "engine/Host.h"

bool ShowThroughHost(const TFileResult& r) {
    if (!r.Message.empty()) Host().ShowMessage(r.Message);
    return bool(r);
}
