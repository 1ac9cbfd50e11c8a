// The .sds import on arbitrary bytes: it must not crash, a refused file must leave no .sqz, and
// an accepted one must give a .sqz that opens as a sequence.
#include <cstdlib>
#include <memory>

#include "engine/Electsequence.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string name = WriteInput("in.sds", data, size);
    const std::string sqz = FuzzFolder() + "/inSdsToSqz.sqz";
    RemoveFile(sqz);
    TElectSequence* s = &FreshObject<TElectSequence>();
    if (s->ImportSdCardFile(name)) {
        if (name != sqz) std::abort();
        try {
            auto opened = std::make_unique<TElectSequence>(sqz);
        } catch (...) {
            std::abort();  // the import wrote a file the loader refuses
        }
    } else if (FileExists(sqz)) {
        std::abort();
    }
    return 0;
}
