// SPDX-License-Identifier: GPL-3.0-or-later
// Reads JSON members leniently, failing the document on a wrong type.
#pragma once

#include "core/model/DecodeError.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <initializer_list>
#include <optional>

#include <tl/expected.hpp>

// Reads the members of one JSON object leniently: a missing member or null
// leaves the target at its default. A member of the wrong type marks the
// whole document as failed, unless the reader collects warnings: then only
// the members that identify things (ids, the lists of servers and paths, a
// path's remote path) fail the document, and any other is left at its
// default with a warning that names it. The first failure is kept.
class JsonReader
{
public:
    JsonReader(const QJsonObject &object, QString context, QStringList *warnings = nullptr);

    void read(const char *key, QString &target);
    void read(const char *key, bool &target);
    void read(const char *key, qint64 &target);
    void read(const char *key, std::optional<qint64> &target);
    void read(const char *key, QUuid &target);
    // An array of strings.
    void read(const char *key, QStringList &target);
    // Seconds since 2001-01-01 UTC, as stored for dates; dates outside the
    // years 1970 to 9999 are wrong values.
    void readDate(const char *key, std::optional<double> &target);
    // Returns the array member, or nullptr-like empty optional when missing or null.
    std::optional<QJsonArray> array(const char *key);
    // The same for an object member.
    std::optional<QJsonObject> object(const char *key);

    // Members that say where or as whom to connect are never left at their
    // default: with warnings collected, a wrong one goes into `unreadable`
    // as the file has it (see Server::unreadable) and the warning says so;
    // without, it fails the document like any other.
    void keepWrong(std::initializer_list<const char *> keys, QJsonObject *unreadable);
    // Records the member `key` as unreadable (see keepWrong) or fails the
    // document, for a value of the right type that is still wrong.
    void refuse(const char *key, const char *expected);

    bool ok() const { return !m_error.has_value(); }
    QString context() const { return m_context; }
    // Records a failure (of this object or of one inside it); the first stays.
    void fail(const DecodeError &error);
    // `value` when every member read well, else the first failure.
    template<typename T>
    tl::expected<T, DecodeError> result(T value) const
    {
        if (m_error)
            return tl::unexpected(*m_error);
        return value;
    }

private:
    bool present(const char *key, QJsonValue &value) const;
    void typeError(const char *key, const char *expected);

    QJsonObject m_object;
    QString m_context;
    std::optional<DecodeError> m_error;
    QStringList *m_warnings;
    QStringList m_kept;
    QJsonObject *m_unreadable = nullptr;
};
