#pragma once
// The parts of the station the project loader fills.
#include "app/StationPart.h"
#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"

template <bool Const>
struct BasicProjectStation {
    StationPart<BlockCatalogue, Const> catalogue;
    StationPart<ProjectModel, Const> project;

    template <class S>
    BasicProjectStation(S &s) : catalogue(s.catalogue), project(s.project)
    {
    }
};
using ProjectStation = BasicProjectStation<false>;
using ConstProjectStation = BasicProjectStation<true>;
