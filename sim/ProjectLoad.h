#pragma once
// Reads a project (.prt and the netlist it names) into a model without any window, for the
// simulator executable.
#include "project/ProjectModel.h"

#include <QString>
#include <QStringList>

namespace sim {

// False when the project could not be read through; messages gathers what the loader and the
// netlist import reported on the way (parameter errors do not stop a load).
bool loadProject(const QString &path, ProjectModel &model, QStringList *messages, QString *error);

}   // namespace sim
