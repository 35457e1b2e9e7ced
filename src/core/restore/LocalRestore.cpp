// SPDX-License-Identifier: GPL-3.0-or-later
// Planning and copying a restore to this computer.
#include "core/restore/LocalRestore.h"

#include "core/engine/Fingerprints.h"
#include "core/engine/KeepOptions.h"
#include "core/model/SafePathComponent.h"
#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"
#include "core/system/Subprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace LocalRestore {

namespace {

constexpr qsizetype maxNameBytes = 255;
// rsync's record of what a copy made without root could not set itself.
const char fakeSuperAttribute[] = "user.rsync.%stat";

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isRoot()
{
    return KeepOptions::Local::current().isRoot;
}

// The mode a copy made with --fake-super stored for `path`; none without one.
std::optional<mode_t> storedMode(const QByteArray &path)
{
    char value[128];
    const ssize_t length = ::lgetxattr(path.constData(), fakeSuperAttribute, value, sizeof value - 1);
    if (length <= 0)
        return std::nullopt;
    value[length] = 0;
    unsigned mode = 0;
    if (std::sscanf(value, "%o", &mode) != 1)
        return std::nullopt;
    return mode_t(mode);
}

struct Walk
{
    Plan &plan;
    int item = 0;
};

// Reads one entry of the snapshot and what is at its place in the target
// (`there`: the open folder it would go into, or -1 when that is new).
void add(Walk &walk, const QString &source, const QString &relative, int there, const QByteArray &name)
{
    Plan &plan = walk.plan;
    const QByteArray encoded = QFile::encodeName(source);
    struct stat info;
    if (::lstat(encoded.constData(), &info) != 0)
        return;
    mode_t mode = info.st_mode;
    if (S_ISREG(mode)) {
        if (const auto stored = storedMode(encoded)) {
            plan.fakeSuper = true;
            mode = *stored;
        }
    }
    Plan::Entry entry;
    entry.source = source;
    entry.relative = relative;
    if (S_ISDIR(mode))
        entry.kind = Plan::Kind::folder;
    else if (S_ISLNK(mode))
        entry.kind = Plan::Kind::link;
    else if (S_ISREG(mode))
        entry.kind = Plan::Kind::file;
    else
        entry.kind = Plan::Kind::special;
    entry.size = entry.kind == Plan::Kind::file ? qint64(info.st_size) : 0;
    entry.privileged = entry.kind == Plan::Kind::file && (mode & (S_ISUID | S_ISGID)) != 0;
    entry.item = walk.item;
    if (entry.kind == Plan::Kind::special)
        plan.special << relative;
    if (entry.privileged)
        ++plan.privileged;
    if (entry.kind != Plan::Kind::special || plan.options.keepSpecial)
        plan.bytes += entry.size;

    // A folder merges into a folder that is there; anything else in the way is a conflict.
    Descriptor inside;
    if (there >= 0) {
        struct stat existing;
        if (::fstatat(there, name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
            if (entry.kind == Plan::Kind::folder && S_ISDIR(existing.st_mode)) {
                if (auto opened = FileUtil::openFolderAt(there, name))
                    inside = std::move(*opened);
            } else {
                plan.conflicts << plan.targetFolder + u'/' + relative;
            }
        }
    }
    plan.entries << entry;
    if (entry.kind != Plan::Kind::folder)
        return;
    QStringList names =
        QDir(source).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &child : std::as_const(names))
        add(walk, source + u'/' + child, relative + u'/' + child, inside.isValid() ? inside.get() : -1,
            QFile::encodeName(child));
}

bool under(const QString &path, const QString &folder)
{
    return path.size() > folder.size() && path.startsWith(folder) && path.at(folder.size()) == u'/';
}

// What copy() does with one item: the entries rsync copies, and counts.
struct Selection
{
    QByteArray list;              // NUL-separated, relative to the item's parent folder
    QHash<QString, int> files;    // per relative path: files at or under it
    QHash<QString, qint64> bytes; // the same for their sizes
    int entries = 0;
};

Selection select(const Plan &plan, int item, const QString &parent, const QHash<QString, Choice> &choices,
                 Outcome &outcome)
{
    Selection selection;
    QString skipped; // what lies under a skipped folder is skipped with it
    for (const Plan::Entry &entry : plan.entries) {
        if (entry.item != item || (!skipped.isEmpty() && under(entry.relative, skipped)))
            continue;
        if (plan.conflicts.contains(plan.target(entry))
            && choices.value(plan.target(entry), Choice::skip) == Choice::skip) {
            ++outcome.skipped;
            skipped = entry.relative;
            continue;
        }
        if (entry.kind == Plan::Kind::special && !plan.options.keepSpecial) {
            outcome.skippedSpecial << entry.relative;
            continue;
        }
        selection.list += QFile::encodeName(entry.source.mid(parent.size() + 1)) + '\0';
        ++selection.entries;
        if (entry.kind == Plan::Kind::folder)
            continue;
        // Counted for the entry and every folder above it.
        for (QString path = entry.relative;;) {
            selection.files[path] += 1;
            selection.bytes[path] += entry.size;
            const qsizetype slash = path.lastIndexOf(u'/');
            if (slash < 0)
                break;
            path.truncate(slash);
        }
    }
    return selection;
}

QStringList rsyncArguments(const Plan &plan, const QString &parent, bool xattrsWork)
{
    QStringList args{QStringLiteral("-a"), QStringLiteral("--files-from=-"), QStringLiteral("--from0"),
                     QStringLiteral("--info=progress2")};
    const Options &options = plan.options;
    if (options.hardLinks)
        args << QStringLiteral("-H");
    if (options.acls && xattrsWork)
        args << QStringLiteral("-A");
    if (options.xattrs && xattrsWork)
        args << QStringLiteral("-X") << Fingerprints::attributeFilter(isRoot() || plan.fakeSuper);
    if (options.sparse)
        args << QStringLiteral("--sparse");
    if (options.ioTimeoutSeconds > 0)
        args << QStringLiteral("--timeout=") + QString::number(options.ioTimeoutSeconds);
    // The copy keeps owners, modes and special files in attributes: the
    // reading side gives them back; the writing side does what this user may.
    if (plan.fakeSuper)
        args << QStringLiteral("--fake-super")
             << (isRoot() ? QStringLiteral("-M--super") : QStringLiteral("-M--no-super"));
    if (!options.keepSpecial)
        args << QStringLiteral("--no-devices") << QStringLiteral("--no-specials") << QStringLiteral("--chmod=Fug-s");
    args << parent + u'/' << QStringLiteral("./");
    return args;
}

// Runs rsync into the open folder `into` (its working folder): false when
// stopped. Its complaints go to `errors`.
bool runRsync(const QString &rsync, const QStringList &args, const QByteArray &list, int into,
              std::atomic<qint64> *done, const std::atomic<bool> *stop, QStringList &errors, int &status)
{
    static const QRegularExpression progress(QStringLiteral("^\\s*([0-9][0-9,]*)\\s+[0-9]+%"));
    QProcess process;
    process.setProgram(rsync);
    process.setArguments(args);
    process.setProcessEnvironment(Subprocess::numbersInC());
    const pid_t parent = ::getpid();
    // In the folder by its descriptor: no path to it is looked up again.
    process.setChildProcessModifier([parent, into] {
        Subprocess::dieWithParent(parent);
        if (::fchdir(into) != 0)
            ::_exit(127);
    });
    process.start();
    if (!process.waitForStarted(-1)) {
        errors << QStringLiteral("Failed to start rsync: ") + process.errorString();
        status = -1;
        return true;
    }
    process.write(list);
    process.closeWriteChannel();
    const qint64 before = done ? done->load() : 0;
    QByteArray pending;
    QByteArray errorText;
    bool stopped = false;
    while (!process.waitForFinished(100)) {
        if (stop && *stop && !stopped) {
            stopped = true;
            process.terminate();
        }
        pending += process.readAllStandardOutput();
        if (errorText.size() < 64 * 1024)
            errorText += process.readAllStandardError();
        else
            process.readAllStandardError();
        // Progress lines end in carriage returns; the newest counts.
        const qsizetype end = std::max(pending.lastIndexOf('\r'), pending.lastIndexOf('\n'));
        if (end < 0) {
            if (pending.size() > 4096)
                pending.clear();
            continue;
        }
        const QList<QByteArray> pieces = pending.left(end).split('\r');
        pending.remove(0, end + 1);
        for (qsizetype i = pieces.size() - 1; i >= 0; --i) { // the newest line first
            const auto match = progress.match(QString::fromLatin1(pieces.at(i).split('\n').last()));
            if (match.hasMatch()) {
                if (done)
                    *done = before + match.captured(1).remove(u',').toLongLong();
                break;
            }
        }
    }
    errorText += process.readAllStandardError();
    for (const QByteArray &line : errorText.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty() && errors.size() < 20)
            errors << text;
    }
    status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return !stopped;
}

// Moves what rsync made (the entry `name` of `from`) to its place in the
// target (the entry `name` of `into`, under `relative`).
class Placer
{
public:
    Placer(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &date, const Selection &selection,
           Outcome &outcome)
        : m_plan(plan)
        , m_choices(choices)
        , m_date(date)
        , m_selection(selection)
        , m_outcome(outcome)
    { }

    void place(int from, const QByteArray &staged, int into, const QString &name, const QString &relative)
    {
        struct stat made;
        if (::fstatat(from, staged.constData(), &made, AT_SYMLINK_NOFOLLOW) != 0)
            return; // not copied (rsync said why)
        const QString target = m_plan.targetFolder + u'/' + relative;
        const QByteArray encoded = QFile::encodeName(name);
        struct stat there;
        if (::fstatat(into, encoded.constData(), &there, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return fail(target, systemError());
            if (moveNew(from, staged, into, encoded))
                return placed(relative);
            if (errno != EEXIST)
                return fail(target, systemError());
            // Made meanwhile by someone else: kept, and this one beside it.
            return keepBoth(from, staged, into, name, relative, target);
        }
        const bool conflict = m_plan.conflicts.contains(target);
        if (!conflict && S_ISDIR(made.st_mode) && S_ISDIR(there.st_mode))
            return merge(from, staged, into, encoded, relative, target);
        switch (conflict ? m_choices.value(target, Choice::skip) : Choice::keepBoth) {
        case Choice::skip:
            return;
        case Choice::keepBoth:
            return keepBoth(from, staged, into, name, relative, target);
        case Choice::replace:
            return replace(from, staged, into, encoded, made, there, relative, target);
        }
    }

private:
    static bool moveNew(int from, const QByteArray &staged, int into, const QByteArray &name)
    {
        return ::renameat2(from, staged.constData(), into, name.constData(), RENAME_NOREPLACE) == 0;
    }

    void placed(const QString &relative)
    {
        m_outcome.copied += m_selection.files.value(relative);
        m_outcome.bytes += m_selection.bytes.value(relative);
    }

    void fail(const QString &target, const QString &reason)
    {
        m_outcome.failures << target + QStringLiteral(": ") + reason;
    }

    void merge(int from, const QByteArray &staged, int into, const QByteArray &name, const QString &relative,
               const QString &target)
    {
        auto source = FileUtil::openFolderAt(from, staged);
        auto destination = FileUtil::openFolderAt(into, name);
        if (!source || !destination)
            return fail(target, source ? destination.error().message : source.error().message);
        DIR *folder = ::fdopendir(::dup(source->get()));
        if (!folder)
            return fail(target, systemError());
        QList<QByteArray> children;
        while (const dirent *entry = ::readdir(folder)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                children << QByteArray(entry->d_name);
        }
        ::closedir(folder);
        for (const QByteArray &child : std::as_const(children)) {
            const QString childName = QFile::decodeName(child);
            place(source->get(), child, destination->get(), childName, relative + u'/' + childName);
        }
    }

    void keepBoth(int from, const QByteArray &staged, int into, const QString &name, const QString &relative,
                  const QString &target)
    {
        for (int attempt = 1; attempt < 1000; ++attempt) {
            const QString other = keepBothFileName(name, m_date, attempt);
            if (moveNew(from, staged, into, QFile::encodeName(other))) {
                m_outcome.keptBoth << other;
                return placed(relative);
            }
            if (errno != EEXIST)
                return fail(target, systemError());
        }
        fail(target, systemError(EEXIST));
    }

    void replace(int from, const QByteArray &staged, int into, const QByteArray &name, const struct stat &made,
                 const struct stat &there, const QString &relative, const QString &target)
    {
        // A folder in the way goes first, or a file in a folder's way;
        // a file (or link) is replaced in one step.
        if (S_ISDIR(there.st_mode)) {
            if (const auto removed = FileUtil::removeTreeAt(into, name); !removed)
                return fail(target, removed.error().message);
        } else if (S_ISDIR(made.st_mode) && ::unlinkat(into, name.constData(), 0) != 0) {
            return fail(target, systemError());
        }
        if (S_ISDIR(there.st_mode) || S_ISDIR(made.st_mode)
                ? moveNew(from, staged, into, name)
                : ::renameat(from, staged.constData(), into, name.constData()) == 0)
            return placed(relative);
        fail(target, systemError());
    }

    const Plan &m_plan;
    const QHash<QString, Choice> &m_choices;
    QDate m_date;
    const Selection &m_selection;
    Outcome &m_outcome;
};

// A fresh folder only this user may enter, inside `parent`: its name.
tl::expected<QByteArray, Error> makeStaging(int parent)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = QByteArrayLiteral(".tidewell-restoring-")
                                + QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
        if (::mkdirat(parent, name.constData(), 0700) == 0)
            return name;
        if (errno != EEXIST)
            return tl::unexpected(Error::fromErrno(errno, systemError()));
    }
    return tl::unexpected(Error::fromErrno(EEXIST, systemError(EEXIST)));
}

// Cuts `text` from the end until its UTF-8 form fits in `bytes`, never inside a character.
QString fitted(const QString &text, qsizetype bytes)
{
    QString cut = text;
    while (!cut.isEmpty() && cut.toUtf8().size() > bytes) {
        cut.chop(1);
        if (!cut.isEmpty() && cut.back().isHighSurrogate())
            cut.chop(1);
    }
    return cut;
}

void copyItems(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate, int target,
               const QByteArray &staging, std::atomic<qint64> *done, const std::atomic<bool> *stop, Outcome &outcome);

} // namespace

tl::expected<void, Error> check(const Options &options)
{
    if (options.keepSpecial && !isRoot())
        return tl::unexpected(
            Error{Error::Code::denied,
                  QStringLiteral("Special files (devices, FIFOs, sockets) and setuid or setgid files are given back "
                                 "only by root: run the restore as root, or restore without them.")});
    return {};
}

Plan plan(const QList<Item> &items, const QString &targetFolder, const Options &options)
{
    Plan result;
    result.targetFolder = QDir::cleanPath(targetFolder);
    result.items = items;
    result.options = options;
    // Nothing is made here: a target that is not there has no conflicts.
    const auto target = FileUtil::openFolder(result.targetFolder, false);
    Walk walk{result};
    for (qsizetype i = 0; i < items.size(); ++i) {
        walk.item = int(i);
        add(walk, items.at(i).source, items.at(i).name, target ? target->get() : -1,
            QFile::encodeName(items.at(i).name));
    }
    return result;
}

Outcome copy(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate,
             std::atomic<qint64> *done, const std::atomic<bool> *stop)
{
    Outcome outcome;
    if (const auto allowed = check(plan.options); !allowed) {
        outcome.failures << allowed.error().message;
        return outcome;
    }
    auto target = FileUtil::openFolder(plan.targetFolder, true);
    if (!target) {
        outcome.failures << plan.targetFolder + QStringLiteral(": ") + target.error().message;
        return outcome;
    }
    if ((plan.options.xattrs || plan.options.acls) && !KeepOptions::checkXattrs(plan.targetFolder))
        outcome.notes << QStringLiteral("The folder's file system stores no extended attributes: ACLs and extended "
                                        "attributes were not given back.");
    if (plan.privileged > 0 && !plan.options.keepSpecial)
        outcome.notes
            << QStringLiteral("%1 setuid or setgid file(s) came back without those bits.").arg(plan.privileged);
    auto staging = makeStaging(target->get());
    if (!staging) {
        outcome.failures << plan.targetFolder + QStringLiteral(": ") + staging.error().message;
        return outcome;
    }
    copyItems(plan, choices, snapshotDate, target->get(), *staging, done, stop, outcome);
    // What was not placed (skipped, or left by a cancel) goes with the folder.
    if (const auto removed = FileUtil::removeTreeAt(target->get(), *staging); !removed)
        outcome.failures << plan.targetFolder + u'/' + QFile::decodeName(*staging) + QStringLiteral(": ")
                                + removed.error().message;
    return outcome;
}

namespace {

void copyItems(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate, int target,
               const QByteArray &staging, std::atomic<qint64> *done, const std::atomic<bool> *stop, Outcome &outcome)
{
    auto stagingFolder = FileUtil::openFolderAt(target, staging);
    if (!stagingFolder) {
        outcome.failures << plan.targetFolder + QStringLiteral(": ") + stagingFolder.error().message;
        return;
    }
    const bool xattrsWork = KeepOptions::checkXattrs(plan.targetFolder).has_value();
    for (qsizetype i = 0; i < plan.items.size(); ++i) {
        const Item &item = plan.items.at(i);
        const QString parent = QFileInfo(item.source).path();
        const Selection selection = select(plan, int(i), parent, choices, outcome);
        if (selection.entries == 0)
            continue;
        const QByteArray slot = QByteArray::number(i);
        if (::mkdirat(stagingFolder->get(), slot.constData(), 0700) != 0) {
            outcome.failures << plan.targetFolder + QStringLiteral(": ") + systemError();
            continue;
        }
        auto into = FileUtil::openFolderAt(stagingFolder->get(), slot);
        if (!into) {
            outcome.failures << plan.targetFolder + QStringLiteral(": ") + into.error().message;
            continue;
        }
        QStringList errors;
        int status = 0;
        if (!runRsync(plan.options.rsync, rsyncArguments(plan, parent, xattrsWork), selection.list, into->get(), done,
                      stop, errors, status)) {
            outcome.cancelled = true;
            break;
        }
        if (status != 0) {
            for (const QString &error : std::as_const(errors))
                outcome.failures << item.name + QStringLiteral(": ") + error;
            if (errors.isEmpty())
                outcome.failures << item.name + QStringLiteral(": rsync ended with ") + QString::number(status);
        }
        Placer placer(plan, choices, snapshotDate, selection, outcome);
        placer.place(into->get(), QFile::encodeName(QFileInfo(item.source).fileName()), target, item.name, item.name);
    }
}

} // namespace

QStringList describe(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate)
{
    QStringList lines;
    QString skipped;
    for (const Plan::Entry &entry : plan.entries) {
        if (!skipped.isEmpty() && under(entry.relative, skipped))
            continue;
        const QString target = plan.target(entry);
        if (entry.kind == Plan::Kind::special && !plan.options.keepSpecial) {
            lines << QStringLiteral("skip (special file): ") + target;
            continue;
        }
        if (!plan.conflicts.contains(target)) {
            lines << QStringLiteral("restore: ") + target;
            continue;
        }
        switch (choices.value(target, Choice::skip)) {
        case Choice::skip:
            lines << QStringLiteral("keep what is there: ") + target;
            skipped = entry.relative;
            break;
        case Choice::replace:
            lines << QStringLiteral("replace: ") + target;
            break;
        case Choice::keepBoth:
            lines << QStringLiteral("keep both: ") + target + QStringLiteral(" (the restored one as ")
                         + keepBothName(target, snapshotDate) + u')';
            skipped = entry.relative;
            break;
        }
    }
    return lines;
}

QString keepBothFileName(const QString &name, const QDate &snapshotDate, int attempt)
{
    // Before the extension ("archive.tar.gz": before ".tar.gz"); a dot file has none.
    const qsizetype dot = name.indexOf(u'.', 1);
    const QString base = dot < 0 ? name : name.left(dot);
    QString extension = dot < 0 ? QString() : name.mid(dot);
    QString mark = QStringLiteral(" (restored ") + snapshotDate.toString(Qt::ISODate) + u')';
    if (attempt > 1)
        mark += u' ' + QString::number(attempt);
    // A long name gives up the end of its base first, then of its extension.
    extension = fitted(extension, maxNameBytes / 2);
    const qsizetype room = maxNameBytes - mark.toUtf8().size() - extension.toUtf8().size();
    return fitted(base, room) + mark + extension;
}

QString keepBothName(const QString &target, const QDate &snapshotDate)
{
    const QFileInfo info(target);
    QString candidate;
    for (int attempt = 1;; ++attempt) {
        candidate = info.absolutePath() + u'/' + keepBothFileName(info.fileName(), snapshotDate, attempt);
        if (!QFileInfo(candidate).exists() && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

QString defaultFolder(const QString &serverName, const QString &snapshotDate)
{
    return AppPaths::homeFolder() + QStringLiteral("/Restored/") + safePathComponent(serverName) + u'/' + snapshotDate;
}

} // namespace LocalRestore
