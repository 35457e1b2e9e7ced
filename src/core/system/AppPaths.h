// Where Tidewell keeps its files; tilde expansion for user paths.
#pragma once

#include <QString>

// Where Tidewell keeps its files, and the "~" expansion used for every
// user-entered path.
namespace AppPaths {

// First XDG data location + "/Tidewell".
QString dataFolder();
QString configFile();
// "~" → home folder, "~user" → that user's home folder; anything else unchanged.
QString expandTilde(const QString &path);
// The user's home folder as the process sees it ($HOME).
QString homeFolder();

} // namespace AppPaths
