#pragma once
// The parts of the station the report download, window, file and export use.
#include "app/StationPart.h"
#include "link/PollState.h"
#include "project/ProjectModel.h"
#include "reports/ReportState.h"

template <bool Const>
struct BasicReportStation {
    StationPart<ProjectModel, Const> project;
    StationPart<PollState, Const> poll;
    StationPart<ReportState, Const> report;

    template <class S>
    BasicReportStation(S &s) : project(s.project), poll(s.poll), report(s.report)
    {
    }
};
using ReportStation = BasicReportStation<false>;
using ConstReportStation = BasicReportStation<true>;
