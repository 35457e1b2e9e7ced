// SPDX-License-Identifier: GPL-3.0-or-later
// Lenient, typed reading of JSON members.
#include "core/model/JsonReader.h"

#include "core/model/ReferenceDate.h"
#include "core/model/ServerId.h"

#include <QJsonArray>
#include <QSet>

#include <cmath>

JsonReader::JsonReader(const QJsonObject &object, QString context, QStringList *warnings)
    : m_object(object)
    , m_context(std::move(context))
    , m_warnings(warnings)
{ }

bool JsonReader::present(const char *key, QJsonValue &value) const
{
    if (!ok())
        return false;
    value = m_object.value(QLatin1String(key));
    return !value.isUndefined() && !value.isNull();
}

void JsonReader::keepWrong(std::initializer_list<const char *> keys, QJsonObject *unreadable)
{
    for (const char *key : keys)
        m_kept << QString::fromLatin1(key);
    m_unreadable = unreadable;
}

void JsonReader::refuse(const char *key, const char *expected)
{
    typeError(key, expected);
}

void JsonReader::typeError(const char *key, const char *expected)
{
    static const QSet<QLatin1String> identifying{QLatin1String("id"), QLatin1String("servers"), QLatin1String("paths"),
                                                 QLatin1String("remotePath")};
    QString where = m_context.isEmpty() ? QString::fromLatin1(key) : m_context + u'.' + QLatin1String(key);
    const QString problem = QStringLiteral("“%1” must be %2.").arg(where, QLatin1String(expected));
    if (m_warnings && m_unreadable && m_kept.contains(QLatin1String(key))) {
        m_unreadable->insert(QLatin1String(key), m_object.value(QLatin1String(key)));
        *m_warnings << problem + QStringLiteral(" The server is not backed up until it is corrected.");
        return;
    }
    if (m_warnings && !identifying.contains(QLatin1String(key)))
        *m_warnings << problem + QStringLiteral(" It was left at its default.");
    else
        fail(Error{Error::Code::invalid, problem});
}

void JsonReader::read(const char *key, QStringList &target)
{
    QJsonValue v;
    if (!present(key, v))
        return;
    if (!v.isArray())
        return typeError(key, "a list of texts");
    QStringList texts;
    const QJsonArray items = v.toArray();
    for (const QJsonValue item : items) {
        if (!item.isString())
            return typeError(key, "a list of texts");
        texts << item.toString();
    }
    target = texts;
}

void JsonReader::fail(const DecodeError &error)
{
    if (!m_error)
        m_error = error;
}

void JsonReader::read(const char *key, QString &target)
{
    QJsonValue v;
    if (!present(key, v))
        return;
    if (!v.isString())
        return typeError(key, "a string");
    target = v.toString();
}

void JsonReader::read(const char *key, bool &target)
{
    QJsonValue v;
    if (!present(key, v))
        return;
    if (!v.isBool())
        return typeError(key, "true or false");
    target = v.toBool();
}

void JsonReader::read(const char *key, qint64 &target)
{
    std::optional<qint64> value;
    read(key, value);
    if (value)
        target = *value;
}

void JsonReader::read(const char *key, std::optional<qint64> &target)
{
    QJsonValue v;
    if (!present(key, v))
        return;
    if (!v.isDouble())
        return typeError(key, "a whole number");
    // Qt keeps integers that fit in 64 bits as integers, so they arrive here
    // exactly; a number written with a fraction is accepted only when whole.
    const QVariant variant = v.toVariant();
    if (variant.typeId() == QMetaType::LongLong) {
        target = variant.toLongLong();
        return;
    }
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
        return typeError(key, "a whole number");
    target = static_cast<qint64>(d);
}

void JsonReader::read(const char *key, QUuid &target)
{
    QJsonValue v;
    if (!present(key, v))
        return;
    if (!v.isString())
        return typeError(key, "a UUID string");
    const auto id = ServerId::parse(v.toString());
    if (!id)
        return typeError(key, "a UUID such as 0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60");
    target = *id;
}

void JsonReader::readDate(const char *key, std::optional<double> &target)
{
    QJsonValue v;
    if (!present(key, v))
        return;
    // Beyond these years a date has no ISO form, and arithmetic on it overflows.
    constexpr double earliest = -double(ReferenceDate::unixOffsetSeconds);
    constexpr double latest = 253402300799.0 - double(ReferenceDate::unixOffsetSeconds); // 9999-12-31T23:59:59Z
    if (!v.isDouble() || !std::isfinite(v.toDouble()) || v.toDouble() < earliest || v.toDouble() > latest)
        return typeError(key, "a number of seconds since 2001-01-01 (a date from 1970 to 9999)");
    target = v.toDouble();
}

std::optional<QJsonArray> JsonReader::array(const char *key)
{
    QJsonValue v;
    if (!present(key, v))
        return std::nullopt;
    if (!v.isArray()) {
        typeError(key, "a list");
        return std::nullopt;
    }
    return v.toArray();
}

std::optional<QJsonObject> JsonReader::object(const char *key)
{
    QJsonValue v;
    if (!present(key, v))
        return std::nullopt;
    if (!v.isObject()) {
        typeError(key, "an object");
        return std::nullopt;
    }
    return v.toObject();
}
