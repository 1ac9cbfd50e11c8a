// The window tests run inside the program's own application object, on the offscreen
// platform, in a home folder of their own.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/support/TestFonts.h"
#include "ui/App.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!UseTestFonts()) return 1;
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + "/.cache").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    TPlanoraApp app(argc, argv);
    return RUN_ALL_TESTS();
}
