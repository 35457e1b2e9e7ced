// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the user's language: Tidewell's catalogue and Qt's own.
#include "core/system/Translations.h"

#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtEndian>

#include <cstring>
#include <memory>

namespace Translations {

namespace {

// A catalogue installed for the life of the process (or until the next
// install()): the translator reads the bytes in place, so they stay with it.
struct Installed
{
    QByteArray bytes;
    std::unique_ptr<QTranslator> translator;
};

Installed &own()
{
    static Installed installed;
    return installed;
}

Installed &qt()
{
    static Installed installed;
    return installed;
}

void drop(Installed &installed)
{
    if (installed.translator)
        QCoreApplication::removeTranslator(installed.translator.get());
    installed.translator.reset();
    installed.bytes.clear();
}

// Larger than any catalogue: a file this size is something else.
constexpr qsizetype maxCatalogueBytes = 16 * 1024 * 1024;
const uchar magic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                         0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
enum Block : uchar { contexts = 0x2f, hashes = 0x42, messages = 0x69, numerusRules = 0x88, dependencies = 0x96 };
enum Tag : uchar { end = 1, translation = 3, obsolete1 = 5, sourceText = 6, context = 7, comment = 8 };

quint32 read32(const uchar *p)
{
    return qFromBigEndian<quint32>(p);
}

quint16 read16(const uchar *p)
{
    return qFromBigEndian<quint16>(p);
}

// One message record from `at` as Qt reads it (every tag until the end
// tag, or the first tag Qt stops at), within [begin, limit).
bool soundMessage(const uchar *begin, qsizetype size, quint32 at)
{
    if (at >= quint32(size))
        return false;
    const uchar *m = begin + at;
    const uchar *limit = begin + size;
    for (;;) {
        if (m >= limit)
            return true; // Qt reads no tag there: the end
        const uchar tag = *m++;
        switch (tag) {
        case end:
            return true;
        case obsolete1:
            if (limit - m < 4)
                return false;
            m += 4;
            break;
        case translation:
        case sourceText:
        case context:
        case comment: {
            if (limit - m < 4)
                return false;
            const quint32 length = read32(m);
            m += 4;
            // Qt reads a comment's first byte even when it is empty.
            if (length >= 0x80000000u || quint64(limit - m) < length || (tag == comment && m >= limit))
                return false;
            m += length;
            break;
        }
        default:
            return true; // Qt stops at a tag it does not know
        }
    }
}

bool soundContexts(const uchar *data, qsizetype size)
{
    if (size < 2)
        return false;
    const quint16 buckets = read16(data);
    if (buckets == 0 || 2 + 2 * qsizetype(buckets) > size)
        return false;
    for (quint16 g = 0; g < buckets; ++g) {
        const quint16 offset = read16(data + 2 + 2 * g);
        if (offset == 0)
            continue;
        qsizetype at = 2 + 2 * qsizetype(buckets) + 2 * qsizetype(offset);
        for (;;) {
            if (at >= size)
                return false;
            const quint8 length = data[at++];
            if (length == 0)
                break;
            if (at + length > size)
                return false;
            at += length;
        }
    }
    return true;
}

} // namespace

tl::expected<void, Error> check(const QByteArray &catalogue)
{
    const auto *data = reinterpret_cast<const uchar *>(catalogue.constData());
    const qsizetype size = catalogue.size();
    if (size < qsizetype(sizeof magic) || std::memcmp(data, magic, sizeof magic) != 0)
        return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("not a Qt catalogue")});
    if (size > maxCatalogueBytes)
        return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("larger than a catalogue is")});
    const uchar *hashTable = nullptr;
    const uchar *messageTable = nullptr;
    qsizetype hashSize = 0;
    qsizetype messageSize = 0;
    // The blocks as Qt's loader walks them.
    qsizetype at = sizeof magic;
    while (at < size - 5) {
        const uchar tag = data[at];
        const quint32 length = read32(data + at + 1);
        at += 5;
        if (tag == 0 || length == 0)
            break;
        if (quint64(size - at) < length)
            return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("a block runs past the end")});
        if (tag == contexts && !soundContexts(data + at, qsizetype(length)))
            return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("its context table points outside it")});
        if (tag == dependencies)
            return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("it would load other catalogues")});
        if (tag == hashes) {
            hashTable = data + at;
            hashSize = qsizetype(length);
        } else if (tag == messages) {
            messageTable = data + at;
            messageSize = qsizetype(length);
        }
        at += qsizetype(length);
    }
    if (hashSize % 8 != 0)
        return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("its hash table is cut")});
    for (qsizetype entry = 0; entry + 8 <= hashSize; entry += 8) {
        if (!messageTable || !soundMessage(messageTable, messageSize, read32(hashTable + entry + 4)))
            return tl::unexpected(Error{Error::Code::damaged, QStringLiteral("a message runs past the end")});
    }
    return {};
}

QStringList folders()
{
    const QString binary = QDir::cleanPath(QCoreApplication::applicationDirPath());
    // The build's own binary reads the build's catalogues; an installed one
    // only those installed with it.
    if (binary == QDir::cleanPath(QStringLiteral(TIDEWELL_BUILD_DIR)))
        return {binary + QStringLiteral("/translations")};
    return {QDir::cleanPath(binary + QStringLiteral("/../share/tidewell/translations"))};
}

namespace {

// The catalogue `name` from the first folder that has one, when it is sound.
bool load(Installed &into, const QString &name, const QStringList &searchFolders)
{
    for (const QString &folder : searchFolders) {
        const QString path = folder + u'/' + name + QStringLiteral(".qm");
        const auto bytes = FileUtil::readRegularFile(path, maxCatalogueBytes + 1);
        if (!bytes || !*bytes)
            continue;
        if (const auto sound = check(**bytes); !sound) {
            DiagnosticLog::write(QStringLiteral("tidewell: the catalogue ") + path + QStringLiteral(" is damaged (")
                                 + sound.error().message + QStringLiteral("); it is not used."));
            continue;
        }
        auto translator = std::make_unique<QTranslator>();
        into.bytes = **bytes;
        if (translator->load(reinterpret_cast<const uchar *>(into.bytes.constData()), int(into.bytes.size()), folder)) {
            into.translator = std::move(translator);
            return true;
        }
        into.bytes.clear();
        DiagnosticLog::write(QStringLiteral("tidewell: the catalogue ") + path
                             + QStringLiteral(" could not be loaded; it is not used."));
    }
    return false;
}

} // namespace

QString install(const QLocale &locale, const QStringList &searchFolders)
{
    drop(own());
    drop(qt());
    // The languages in the user's order ("de-AT", "de", …). English is the
    // texts' own language: its catalogue holds only the plural forms.
    QString language;
    for (QString wanted : locale.uiLanguages()) {
        wanted.replace(u'-', u'_');
        if (wanted == QStringLiteral("C") || wanted == QStringLiteral("en") || wanted.startsWith(QStringLiteral("en_")))
            break;
        for (const QString &name : {wanted, wanted.section(u'_', 0, 0)}) {
            if (load(own(), QStringLiteral("tidewell_") + name, searchFolders)) {
                language = name;
                break;
            }
        }
        if (!language.isEmpty())
            break;
    }
    if (language.isEmpty() && !load(own(), QStringLiteral("tidewell_en"), searchFolders))
        return {};
    QCoreApplication::installTranslator(own().translator.get());
    language = own().translator->language();
    if (language == QStringLiteral("en") || language.isEmpty())
        return language;
    // Qt's standard dialogs and buttons in the same language, when installed.
    if (load(qt(), QStringLiteral("qtbase_") + language, {QLibraryInfo::path(QLibraryInfo::TranslationsPath)}))
        QCoreApplication::installTranslator(qt().translator.get());
    return language;
}

} // namespace Translations
