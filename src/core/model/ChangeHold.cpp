// SPDX-License-Identifier: GPL-3.0-or-later
// Texts and JSON form of a held change.
#include "core/model/ChangeHold.h"

#include "core/model/JsonReader.h"

#include <QCoreApplication>
#include <QLocale>

qint64 ChangeHold::percent() const
{
    if (of <= 0)
        return 0;
    const qint64 rounded = (changed * 100 + of / 2) / of;
    return rounded == 100 && changed < of ? 99 : rounded;
}

QString ChangeHold::englishText() const
{
    const QLocale english(QLocale::English);
    return QString::number(percent()) + QStringLiteral(" % of the files changed since ") + since + QStringLiteral(" (")
           + english.toString(changed) + QStringLiteral(" of ") + english.toString(of) + u')';
}

QString ChangeHold::logLine() const
{
    return QStringLiteral("!! ") + englishText()
           + QStringLiteral(": old backups are kept until you confirm this change.");
}

QString ChangeHold::shownText() const
{
    const QLocale locale;
    return QCoreApplication::translate("ChangeHold",
                                       "%1 % of the files changed since %2 (%3 of %4): old backups are kept until "
                                       "you confirm this change.")
        .arg(QString::number(percent()), since, locale.toString(changed), locale.toString(of));
}

bool ChangeHold::exceeds(qint64 changed, qint64 of, qint64 percent)
{
    return percent > 0 && of >= minimumFiles && changed * 100 > percent * of;
}

QJsonObject ChangeHold::toJson() const
{
    return QJsonObject{{QStringLiteral("day"), day},
                       {QStringLiteral("since"), since},
                       {QStringLiteral("changed"), changed},
                       {QStringLiteral("of"), of}};
}

tl::expected<ChangeHold, DecodeError> ChangeHold::fromJson(const QJsonObject &object, const QString &context)
{
    ChangeHold hold;
    JsonReader reader(object, context);
    reader.read("day", hold.day);
    reader.read("since", hold.since);
    reader.read("changed", hold.changed);
    reader.read("of", hold.of);
    return reader.result(hold);
}
