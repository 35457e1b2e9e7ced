// SPDX-License-Identifier: GPL-3.0-or-later
// Unified diffs of two backed-up files.
#include "core/restore/TextDiff.h"

#include "core/system/Subprocess.h"

#include <QFile>
#include <QFileInfo>

namespace TextDiff {

namespace {

const QString program = QStringLiteral("/usr/bin/diff");

// None for a regular file (a link is not followed out of the backup) that
// reads as text; otherwise why it is not compared line by line.
std::optional<Result> unfit(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return Result{Result::Kind::binary, QString()};
    if (info.size() > largestFile)
        return Result{Result::Kind::tooLarge, QString()};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result{Result::Kind::failed, file.errorString()};
    // As diff itself decides: a NUL byte near the start makes it binary.
    if (file.read(8192).contains('\0'))
        return Result{Result::Kind::binary, QString()};
    return std::nullopt;
}

} // namespace

QCoro::Task<Result> between(QString older, QString newer, QString olderLabel, QString newerLabel)
{
    const QStringList files{older, newer};
    for (const QString &path : files) {
        if (std::optional<Result> reason = unfit(path))
            co_return *reason;
    }
    const QStringList arguments{QStringLiteral("-u"), QStringLiteral("--label"), olderLabel, QStringLiteral("--label"),
                                newerLabel,           QStringLiteral("--"),      older,      newer};
    const Subprocess::Result ran = co_await Subprocess::run(program, arguments);
    if (!ran)
        co_return Result{Result::Kind::failed, ran.error().message};
    if (ran->status == 0)
        co_return Result{Result::Kind::same, QString()};
    if (ran->status != 1)
        co_return Result{Result::Kind::failed, QString::fromUtf8(ran->err).trimmed()};
    QString text = QString::fromUtf8(Subprocess::utf8Prefix(ran->out.left(longestText)));
    if (ran->out.size() > longestText)
        text += QStringLiteral("\n…\n");
    co_return Result{Result::Kind::changed, text};
}

} // namespace TextDiff
