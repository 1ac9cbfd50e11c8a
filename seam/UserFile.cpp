#include "seam/UserFile.h"

#include <QFile>
#include <string>

#include "files/UserFile.h"

bool WriteUserFile(const QString& path, const QByteArray& bytes, QString* reason) {
    std::string why;
    const bool written = ReplaceFileContents(QFile::encodeName(path).toStdString(), bytes.constData(),
                                             static_cast<std::size_t>(bytes.size()), &why);
    if (!written && reason) *reason = QString::fromLocal8Bit(why.c_str());
    return written;
}

QString WithReason(const QString& message, const QString& why) {
    return QString::fromLocal8Bit(WithReason(message.toLocal8Bit().toStdString(), why.toLocal8Bit().toStdString()).c_str());
}
