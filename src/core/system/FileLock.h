// SPDX-License-Identifier: GPL-3.0-or-later
// Exclusive advisory file locks between processes.
#pragma once

#include "core/model/Error.h"

#include <QString>

#include <optional>

#include <tl/expected.hpp>

// An exclusive lock on a lock file (an open-file-description lock, fcntl
// F_OFD_SETLK), held while the object lives. The kernel releases it when the
// process ends in any way, so a crashed run never leaves a stale lock behind.
// Unlike flock(), such a lock can be looked at without being taken.
class FileLock
{
public:
    // Why the lock was not taken; code busy when another holder has it.
    using Error = ::Error;

    FileLock() = default;
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    ~FileLock();

    // Another process holding a lock this long is stuck, or not Tidewell.
    static constexpr int waitLimitMs = 10000;

    // Creates the file (and its folder) when missing, readable by its owner
    // alone; a path that is not a regular file is an error. tryLock() fails
    // at once with busy set when the lock is held; lock() waits for it, up to
    // `waitMs`, and then fails with busy set.
    static tl::expected<FileLock, Error> tryLock(const QString &path);
    static tl::expected<FileLock, Error> lock(const QString &path, int waitMs = waitLimitMs);
    // Whether anyone holds the lock now, this process's own locks included.
    // Only asks the kernel (F_OFD_GETLK): looking never makes a tryLock() of
    // another process fail.
    static bool isHeld(const QString &path);

    // Writes this process's ID into the lock file, for holderOf().
    void recordHolder();
    // The process that holds the lock and said so with recordHolder(): only
    // when the lock is held, and that process has the file open.
    static std::optional<qint64> holderOf(const QString &path);

    bool isLocked() const { return m_fd >= 0; }
    void unlock();

private:
    static tl::expected<FileLock, Error> take(const QString &path);

    int m_fd = -1;
};
