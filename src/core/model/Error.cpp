// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/Error.h"

#include <cerrno>

Error Error::fromErrno(int number, const QString &message)
{
    switch (number) {
    case ENOENT:
        return {Code::notFound, message};
    case EACCES:
    case EPERM:
        return {Code::denied, message};
    case EEXIST:
    case ENOTEMPTY:
        return {Code::exists, message};
    case EBUSY:
    case EAGAIN:
        return {Code::busy, message};
    default:
        return {Code::failed, message};
    }
}
