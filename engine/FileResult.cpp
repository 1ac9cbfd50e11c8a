#include "engine/FileResult.h"

#include "engine/Host.h"
#include "files/UserFile.h"

bool ShowThroughHost(const TFileResult& r) {
    if (!r.Message.empty()) Host().ShowMessage(r.Message);
    return bool(r);
}

TFileResult SaveFailed(const std::string& name, const std::string& why) {
    return TFileResult::Failed(WithReason("Can't save sequence with < " + name + " > filename", why));
}
