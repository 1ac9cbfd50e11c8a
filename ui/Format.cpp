#include "ui/Format.h"

#include <cmath>

#include "engine/Electsequence.h"

namespace {
QString Fixed(double v, int decimals) {
    QString s = QString::number(v, 'f', decimals);
    // A value that rounds to zero shows no sign.
    if (s.startsWith('-') && s.toDouble() == 0.0) s.remove(0, 1);
    return s;
}
}  // namespace

QString FormatHash2(double v) {
    QString s = Fixed(v, 2);
    if (s.contains('.')) {
        while (s.endsWith('0')) s.chop(1);
        if (s.endsWith('.')) s.chop(1);
    }
    return s;
}

QString Format1(double v) { return Fixed(v, 1); }

QString Format2(double v) { return Fixed(v, 2); }

QString FormatDuration(double days) {
    if (!std::isfinite(days) || days < 0) days = 0;
    const long long ms = std::llround(days * 86400000.0);
    const long long s = ms / 1000;
    return QString::asprintf("%02lld:%02lld:%02lld", s / 3600, (s / 60) % 60, s % 60);
}

QString FormatGeneral(double v) { return QString::number(v, 'g', 15); }

int IntOf(const QString& text, int fallback) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

QString Trimmed(const char* text) { return QString::fromStdString(TrimText(text)); }
