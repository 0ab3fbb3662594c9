#pragma once
// Projects built in code for the mimic tests, the benchmark and the screenshots.
#include "mimic/MimicPages.h"
#include "project/ProjectModel.h"
#include "project/ProjectView.h"

namespace fixtures {

// Create every present record's element in the order the project reader reads them.
void createAll(ProjectView &view, const ProjectModel &model);

// Every slot of every kind on the eight pages (33-slot kinds 1..32, texts 1..64, menus 1..8,
// trend icons and clocks 1..8), equipment of all 22 kinds running, block types set.
void fillFullProject(ProjectModel &model);

// A grain-drying plant on page 0 (with a second page to navigate to) that shows every kind.
void fillShowcase(ProjectModel &model);

// Display controls without the plugins: plain widgets that keep the properties set on them.
// Counts the instances it made in `made` when given.
MimicPages::ControlFactory fakeControls(int *made = nullptr);

} // namespace fixtures
