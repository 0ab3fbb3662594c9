#pragma once
// The station's archive download requests as the polling cycle serves them at the end of a
// cycle: the trend page search by date, the trend page, the journal page (by page or by date),
// and only when none of these waits a background download. Each start says whether its
// download took the link; one that did not leaves its request raised for the next cycle.
#include "link/DownloadStarter.h"
#include "station/Station.h"

class StationDownloads : public DownloadStarter {
public:
    explicit StationDownloads(const Station &station) : station_(station) {}

    Taken startPending() final
    {
        const TrendState &trend = station_.trend;
        const JournalState &journal = station_.journal;
        if (trend.Find_State == 1 && startTrendSearch())
            return Taken::Operator;
        if (trend.Graf_PageCount == 1 && startTrendDownload())
            return Taken::Operator;
        if ((journal.Jurnal_Request == 1 || journal.Jurnal_Find == 1)
            && startJournalDownload(journal.Jurnal_Request != 1))
            return Taken::Operator;
        return startBackgroundDownload() ? Taken::Background : Taken::None;
    }

protected:
    // `Find_State` is 1: start the trend page search by date.
    virtual bool startTrendSearch() { return false; }
    // `Graf_PageCount` is 1: start the trend page download.
    virtual bool startTrendDownload() { return false; }
    // `Jurnal_Request` or `Jurnal_Find` is 1: by page (command 77) when `find` is false, by
    // date (command 78) when it is true.
    virtual bool startJournalDownload(bool find)
    {
        (void)find;
        return false;
    }
    // Nothing of the operator's waits: a background download may take the link.
    virtual bool startBackgroundDownload() { return false; }

private:
    const Station &station_;
};
