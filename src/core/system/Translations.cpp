// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the user's language: Tidewell's catalogue and Qt's own.
#include "core/system/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace Translations {

namespace {

// Owned here for the life of the process, replaced by a later install().
std::unique_ptr<QTranslator> &own()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator> &qt()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

void drop(std::unique_ptr<QTranslator> &translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

} // namespace

QStringList folders()
{
    const QString binary = QCoreApplication::applicationDirPath();
    return {binary + QStringLiteral("/translations"), binary + QStringLiteral("/../share/tidewell/translations")};
}

QString install(const QLocale &locale, const QStringList &searchFolders)
{
    drop(own());
    drop(qt());
    const auto load = [&searchFolders](QTranslator &translator, const QString &name) {
        for (const QString &folder : searchFolders) {
            if (translator.load(QStringLiteral("tidewell_") + name, folder))
                return true;
        }
        return false;
    };
    // The languages in the user's order ("de-AT", "de", …). English is the
    // texts' own language: its catalogue holds only the plural forms.
    auto translator = std::make_unique<QTranslator>();
    QString language;
    for (QString wanted : locale.uiLanguages()) {
        wanted.replace(u'-', u'_');
        if (wanted == QStringLiteral("C") || wanted == QStringLiteral("en") || wanted.startsWith(QStringLiteral("en_")))
            break;
        for (const QString &name : {wanted, wanted.section(u'_', 0, 0)}) {
            if (load(*translator, name)) {
                language = name;
                break;
            }
        }
        if (!language.isEmpty())
            break;
    }
    if (language.isEmpty() && !load(*translator, QStringLiteral("en")))
        return {};
    QCoreApplication::installTranslator(translator.get());
    language = translator->language();
    own() = std::move(translator);
    if (language == QStringLiteral("en") || language.isEmpty())
        return language;
    // Qt's standard dialogs and buttons in the same language, when installed.
    auto standard = std::make_unique<QTranslator>();
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (standard->load(QStringLiteral("qtbase_") + language, qtFolder)) {
        QCoreApplication::installTranslator(standard.get());
        qt() = std::move(standard);
    }
    return language;
}

} // namespace Translations
