// SPDX-License-Identifier: GPL-3.0-or-later
// Listing a remote folder with ssh and find.
#include "core/ssh/RemoteListing.h"

#include "core/ssh/SSHTester.h"
#include "core/ssh/Shell.h"
#include "core/ssh/TargetCheck.h"
#include "core/system/Subprocess.h"

#include <QCollator>
#include <QCoreApplication>

#include <algorithm>

namespace RemoteListing {

namespace {

// "cd" to the folder: a command over ssh starts in the account's home, where "cd" alone goes.
QString changeFolder(const QString &folder)
{
    if (folder.isEmpty() || folder == u'~' || folder == QStringLiteral("~/"))
        return QStringLiteral("cd");
    return QStringLiteral("cd -- ") + Shell::quotePath(folder);
}

} // namespace

QString command(const QString &folder)
{
    return changeFolder(folder)
           + QStringLiteral(" && printf '%s\\0' \"$PWD\" && find . -mindepth 1 -maxdepth 1 -printf '%Y\\t%P\\0'");
}

QString resolveCommand(const QString &folder)
{
    return changeFolder(folder) + QStringLiteral(" && pwd");
}

tl::expected<Listing, Error> parse(const QByteArray &output)
{
    const QList<QByteArray> fields = output.split('\0');
    // The folder, then the entries; the last field is what follows the last NUL.
    if (fields.size() < 2 || fields.first().isEmpty() || !fields.last().isEmpty())
        return tl::unexpected(
            Error{Error::Code::damaged,
                  QCoreApplication::translate("RemoteListing", "the server's answer was not a folder listing")});
    Listing listing;
    listing.folder = QString::fromUtf8(fields.first());
    for (qsizetype i = 1; i + 1 < fields.size(); ++i) {
        const QByteArray &field = fields.at(i);
        const qsizetype tab = field.indexOf('\t');
        if (tab < 1 || tab + 1 >= field.size())
            return tl::unexpected(
                Error{Error::Code::damaged,
                      QCoreApplication::translate("RemoteListing", "the server's answer was not a folder listing")});
        listing.entries.append({QString::fromUtf8(field.mid(tab + 1)), field.left(tab) == "d"});
    }
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(listing.entries.begin(), listing.entries.end(), [&collator](const Entry &a, const Entry &b) {
        if (a.isFolder != b.isFolder)
            return a.isFolder;
        // Hidden entries after the others: they are rarely what is backed up.
        const bool aHidden = a.name.startsWith(u'.');
        if (aHidden != b.name.startsWith(u'.'))
            return !aHidden;
        return collator.compare(a.name, b.name) < 0;
    });
    return listing;
}

QCoro::Task<tl::expected<Listing, Error>> list(Server server, QString folder)
{
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe)
        co_return tl::unexpected(safe.error());
    const QStringList arguments = SSHTester::commandArgs(server, 10, command(folder));
    const Subprocess::Result result = co_await Subprocess::run(SSHTester::executable, arguments);
    if (!result)
        co_return tl::unexpected(result.error());
    if (result->status != 0) {
        const QString said = QString::fromUtf8(result->err).trimmed();
        if (said.contains(QLatin1String("-printf")))
            co_return tl::unexpected(Error::failed(QCoreApplication::translate(
                "RemoteListing", "the server's find cannot list folders (it has no -printf): type the path instead")));
        co_return tl::unexpected(Error{
            Error::Code::toolFailed,
            said.isEmpty() ? QCoreApplication::translate("RemoteListing", "ssh exited with code %1").arg(result->status)
                           : said});
    }
    co_return parse(result->out);
}

QString join(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

} // namespace RemoteListing
