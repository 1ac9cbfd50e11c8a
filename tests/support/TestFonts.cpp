#include "tests/support/TestFonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {
const char* const kFontFolder = "/usr/share/fonts/truetype/dejavu/";
// The files of fonts-dejavu-core: the folder also holds those of other packages.
const char* const kFontFiles[] = {"DejaVuSans.ttf",     "DejaVuSans-Bold.ttf",  "DejaVuSansMono.ttf",
                                  "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"};
}  // namespace

bool UseTestFonts() {
    static QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "UseTestFonts: no temporary folder\n");
        return false;
    }
    const QString fonts = folder.filePath("fonts");
    QDir().mkpath(fonts);
    for (const char* name : kFontFiles) {
        const QString from = QString(kFontFolder) + name;
        if (!QFileInfo::exists(from) || !QFile::link(from, fonts + '/' + name)) {
            std::fprintf(stderr, "UseTestFonts: %s is missing (package fonts-dejavu-core)\n", qPrintable(from));
            return false;
        }
    }
    const QString config = folder.filePath("fonts.conf");
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QTextStream(&f) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                    << "  <dir>" << fonts << "</dir>\n"
                    << "  <cachedir>" << folder.filePath("cache") << "</cachedir>\n"
                    << "  <match target=\"pattern\">\n"
                    << "    <edit name=\"family\" mode=\"append_last\"><string>DejaVu Sans</string></edit>\n"
                    << "  </match>\n</fontconfig>\n";
    f.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(config));
    return true;
}
