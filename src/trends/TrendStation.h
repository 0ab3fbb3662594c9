#pragma once
// The parts of the station the trend download, chart, file and export use.
#include "app/StationPart.h"
#include "link/PollState.h"
#include "project/ProjectModel.h"
#include "trends/TrendState.h"

template <bool Const>
struct BasicTrendStation {
    StationPart<ProjectModel, Const> project;
    StationPart<PollState, Const> poll;
    StationPart<TrendState, Const> trend;

    template <class S>
    BasicTrendStation(S &s) : project(s.project), poll(s.poll), trend(s.trend)
    {
    }
};
using TrendStation = BasicTrendStation<false>;
using ConstTrendStation = BasicTrendStation<true>;
