// Atomic file replacement and folder creation with their reasons for failing.
#include "core/system/FileUtil.h"

#include <QSaveFile>
#include <QStorageInfo>

#include <filesystem>

namespace FileUtil {

tl::expected<void, QString> writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // A file we may not replace directly must not be written in place either.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return tl::unexpected(file.errorString());
    return {};
}

tl::expected<void, QString> makeFolder(const QString &path)
{
    std::error_code code;
    const std::filesystem::path target(path.toStdString());
    std::filesystem::create_directories(target, code);
    if (!code && std::filesystem::is_directory(target, code))
        return {};
    if (code)
        return tl::unexpected(QString::fromStdString(code.message()));
    return tl::unexpected(QStringLiteral("“") + path + QStringLiteral("” exists and is not a folder"));
}

std::optional<double> freeSpaceGB(const QString &folder)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return std::nullopt;
    return double(storage.bytesAvailable()) / 1073741824.0;
}

} // namespace FileUtil
