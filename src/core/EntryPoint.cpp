#include "core/EntryPoint.h"

#include "core/model/JsonReader.h"

namespace EntryPoint {

std::optional<QUuid> headlessServerID(const QStringList &arguments)
{
    const qsizetype index = arguments.indexOf(QStringLiteral("--run-backup"));
    if (index < 0 || index + 1 >= arguments.size())
        return std::nullopt;
    return JsonReader::parseUuid(arguments.at(index + 1));
}

} // namespace EntryPoint
