#pragma once
// The Qt side's way to the one writer of the user's files (files/UserFile.h): what the chart,
// the sheets and the export dialog write follows the same rules as the engine's files.
#include <QByteArray>
#include <QString>

// Writes bytes as the whole new contents of path; false when nothing was replaced, and why, in
// words, in reason when it is given.
bool WriteUserFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// message, then why on a line of its own, begun with a capital (files/UserFile.h, WithReason).
QString WithReason(const QString& message, const QString& why);
