// Reads the command line: a headless run or the window.
#include "core/EntryPoint.h"

#include "core/model/ServerId.h"

namespace EntryPoint {

std::optional<QUuid> headlessServerID(const QStringList &arguments)
{
    const qsizetype index = arguments.indexOf(QStringLiteral("--run-backup"));
    if (index < 0 || index + 1 >= arguments.size())
        return std::nullopt;
    return ServerId::parse(arguments.at(index + 1));
}

} // namespace EntryPoint
