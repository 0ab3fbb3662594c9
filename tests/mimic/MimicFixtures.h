#pragma once
// The mimic tests' fixtures: the projects built in code, and display controls without plugins.
#include "fixture/MimicProjects.h"
#include "mimic/MimicPages.h"

namespace fixtures {

// Display controls without the plugins: plain widgets that keep the properties set on them.
// Counts the instances it made in `made` when given.
MimicPages::ControlFactory fakeControls(int *made = nullptr);

}   // namespace fixtures
