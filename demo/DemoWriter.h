#pragma once
// Writes the demo plant into a folder: the project file, its netlist and the page pictures.
#include "DemoPlant.h"

#include <QString>

namespace demo {

// Creates the folder when needed. On failure returns false with a message naming the file.
bool writeProject(const Plant &plant, const QString &folder, QString *error);

}   // namespace demo
