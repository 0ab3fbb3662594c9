#pragma once
// The station: everything the operator station keeps while it runs, one object that main()
// creates and the composition passes by reference. No globals. Each part is its subsystem's
// own state; the subsystems see only the parts they name in their station views.
#include "app/BlockCatalogue.h"
#include "journal/JournalState.h"
#include "link/PollState.h"
#include "project/ProjectModel.h"
#include "reports/ReportState.h"
#include "trends/TrendState.h"

struct Station {
    BlockCatalogue catalogue;
    ProjectModel project;
    PendingKey key;
    PendingWrite write;
    PollState poll;
    InspectorState inspector;
    TrendState trend;
    JournalState journal;
    AlarmState alarm;
    ReportState report;
};
