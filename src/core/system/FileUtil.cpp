#include "core/system/FileUtil.h"

#include <QSaveFile>

namespace FileUtil {

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // A file we may not replace directly must not be written in place either.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace FileUtil
