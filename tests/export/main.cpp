// The export tests run inside one application object on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "tests/support/TestFonts.h"

namespace {
QtMessageHandler gDefaultHandler = nullptr;

// The offscreen platform cannot size windows to their hints and says so every time.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains("does not support propagateSizeHints")) return;
    gDefaultHandler(type, context, text);
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!UseTestFonts()) return 1;
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    gDefaultHandler = qInstallMessageHandler(QuietHandler);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
