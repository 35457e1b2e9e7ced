#pragma once

#include <QByteArray>
#include <QString>

namespace FileUtil {

// Replaces the file as a whole: readers see the old or the new content, never
// a part. Returns false with *error set when it cannot.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace FileUtil
