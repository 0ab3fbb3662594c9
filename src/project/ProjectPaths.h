#pragma once
// File names written into project files on Windows: backslashes become '/', the name is taken
// relative to the project file's folder, and when the exact name does not exist each part of
// it is matched case-insensitively.
#include <QString>

// `name` relative to `folder` (leading separators dropped). Returns the existing file whose
// path matches case-insensitively when the exact one is missing, else the plain joined path.
QString resolveProjectPath(const QString &folder, const QString &name);
