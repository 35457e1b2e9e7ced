// SPDX-License-Identifier: GPL-3.0-or-later
// Starting short external programs and collecting their output.
#include "core/system/Subprocess.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <qcoro/qcoroprocess.h>

#include <memory>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Subprocess {

void dieWithParent(pid_t parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The parent may have died before the line above.
    if (::getppid() != parent)
        ::raise(SIGTERM);
}

bool start(QProcess *process, const QByteArray &input)
{
    if (!process->childProcessModifier()) {
        const pid_t parent = ::getpid();
        process->setChildProcessModifier([parent] { dieWithParent(parent); });
    }
    if (input.isNull())
        process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(-1))
        return false;
    if (!input.isNull()) {
        process->write(input);
        process->closeWriteChannel();
    }
    return true;
}

QCoro::Task<> waitForExit(QProcess *process)
{
    if (process->state() != QProcess::NotRunning)
        co_await qCoro(process).waitForFinished(-1);
}

int exitStatus(const QProcess &process)
{
    return process.exitCode();
}

static Output collect(QProcess &process)
{
    return {exitStatus(process), process.readAllStandardOutput(), process.readAllStandardError()};
}

QCoro::Task<Result> run(QString program, QStringList arguments, QByteArray input)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    if (!start(process.get(), input))
        co_return tl::unexpected(StartError{Error::Code::notStarted, process->errorString()});
    co_await waitForExit(process.get());
    co_return collect(*process);
}

Result runBlocking(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!start(&process, input))
        return tl::unexpected(StartError{Error::Code::notStarted, process.errorString()});
    process.waitForFinished(-1);
    return collect(process);
}

QProcessEnvironment numbersInC(QProcessEnvironment environment)
{
    const QString all = environment.value(QStringLiteral("LC_ALL"));
    if (!all.isEmpty()) {
        environment.remove(QStringLiteral("LC_ALL"));
        for (const char *category : {"LC_CTYPE", "LC_COLLATE", "LC_MESSAGES", "LC_MONETARY", "LC_TIME", "LC_PAPER",
                                     "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"})
            environment.insert(QLatin1String(category), all);
    }
    environment.insert(QStringLiteral("LC_NUMERIC"), QStringLiteral("C"));
    return environment;
}

QString strictUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

QByteArray utf8Prefix(const QByteArray &bytes)
{
    // Step back over continuation bytes to the lead byte of the last sequence;
    // keep it only when the sequence is complete.
    qsizetype lead = bytes.size() - 1;
    while (lead >= 0 && lead > bytes.size() - 4 && (uchar(bytes.at(lead)) & 0xc0) == 0x80)
        --lead;
    if (lead < 0 || (uchar(bytes.at(lead)) & 0x80) == 0)
        return bytes;
    const uchar first = uchar(bytes.at(lead));
    const qsizetype length = first >= 0xf0 ? 4 : first >= 0xe0 ? 3 : first >= 0xc0 ? 2 : 1;
    return bytes.size() - lead >= length ? bytes : bytes.left(lead);
}

bool groupRuns(qint64 group)
{
    if (group <= 0 || ::kill(-pid_t(group), 0) != 0)
        return false;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString &pid : pids) {
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp …": the name may hold anything but the last ')'.
        const QByteArray line = stat.read(1024);
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z")
            return true;
    }
    return false;
}

} // namespace Subprocess
