// SPDX-License-Identifier: GPL-3.0-or-later
// Reads JSON members leniently, failing the document on a wrong type.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// Reads the members of one JSON object leniently: a missing member or null
// leaves the target at its default, a member of the wrong type marks the
// whole document as failed. The first failure is kept as the error text.
class JsonReader
{
public:
    JsonReader(const QJsonObject &object, QString context, QString *error);

    void read(const char *key, QString &target);
    void read(const char *key, bool &target);
    void read(const char *key, qint64 &target);
    void read(const char *key, std::optional<qint64> &target);
    void read(const char *key, QUuid &target);
    // An array of strings.
    void read(const char *key, QStringList &target);
    // Seconds since 2001-01-01 UTC, as stored for dates.
    void readDate(const char *key, std::optional<double> &target);
    // Returns the array member, or nullptr-like empty optional when missing or null.
    std::optional<QJsonArray> array(const char *key);

    bool ok() const { return m_error->isEmpty(); }
    QString context() const { return m_context; }

    static bool fail(QString *error, const QString &message);

private:
    bool present(const char *key, QJsonValue &value) const;
    void typeError(const char *key, const char *expected);

    QJsonObject m_object;
    QString m_context;
    QString *m_error;
};
