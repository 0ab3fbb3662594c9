#pragma once
// The archive downloads the polling cycle hands the link to at the end of a cycle, as the
// station wires them: each archive window, once created, fills in its entry. An entry left
// empty starts nothing (the request stays raised and the cycle goes on).
#include "station/StationDownloads.h"
#include <functional>

class ArchiveDownloads : public StationDownloads {
public:
    using StationDownloads::StationDownloads;

    std::function<bool()> trendSearch;
    std::function<bool()> trendDownload;
    std::function<bool(bool find)> journalDownload;
    std::function<bool()> background;

protected:
    bool startTrendSearch() override { return trendSearch && trendSearch(); }
    bool startTrendDownload() override { return trendDownload && trendDownload(); }
    bool startJournalDownload(bool find) override { return journalDownload && journalDownload(find); }
    bool startBackgroundDownload() override { return background && background(); }
};
