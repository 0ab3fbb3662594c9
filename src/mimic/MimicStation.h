#pragma once
// The parts of the station the mimic pages and the block inspector use.
#include "app/StationPart.h"
#include "app/BlockCatalogue.h"
#include "link/PollState.h"
#include "project/ProjectModel.h"

template <bool Const>
struct BasicMimicStation {
    StationPart<BlockCatalogue, Const> catalogue;
    StationPart<ProjectModel, Const> project;
    StationPart<PendingKey, Const> key;
    StationPart<PollState, Const> poll;
    StationPart<InspectorState, Const> inspector;

    template <class S>
    BasicMimicStation(S &s)
        : catalogue(s.catalogue), project(s.project), key(s.key), poll(s.poll), inspector(s.inspector)
    {
    }
};
using MimicStation = BasicMimicStation<false>;
using ConstMimicStation = BasicMimicStation<true>;
