#pragma once
// The parts of the station the link and its polling cycle use.
#include "app/StationPart.h"
#include "app/BlockCatalogue.h"
#include "link/PollState.h"
#include "project/ProjectModel.h"

template <bool Const>
struct BasicLinkStation {
    StationPart<BlockCatalogue, Const> catalogue;
    StationPart<ProjectModel, Const> project;
    StationPart<PendingKey, Const> key;
    StationPart<PendingWrite, Const> write;
    StationPart<PollState, Const> poll;
    StationPart<InspectorState, Const> inspector;

    template <class S>
    BasicLinkStation(S &s)
        : catalogue(s.catalogue), project(s.project), key(s.key), write(s.write), poll(s.poll), inspector(s.inspector)
    {
    }
};
using LinkStation = BasicLinkStation<false>;
using ConstLinkStation = BasicLinkStation<true>;
