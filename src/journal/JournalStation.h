#pragma once
// The parts of the station the journal download, window, files and alarms use.
#include "app/StationPart.h"
#include "journal/JournalState.h"
#include "link/PollState.h"
#include "project/ProjectModel.h"

template <bool Const>
struct BasicJournalStation {
    StationPart<ProjectModel, Const> project;
    StationPart<PendingKey, Const> key;
    StationPart<PendingWrite, Const> write;
    StationPart<PollState, Const> poll;
    StationPart<JournalState, Const> journal;
    StationPart<AlarmState, Const> alarm;

    template <class S>
    BasicJournalStation(S &s)
        : project(s.project), key(s.key), write(s.write), poll(s.poll), journal(s.journal), alarm(s.alarm)
    {
    }
};
using JournalStation = BasicJournalStation<false>;
using ConstJournalStation = BasicJournalStation<true>;
