#pragma once
// What the polling cycle asks of the archive downloads at the end of each cycle. Each call
// starts the download's own timer and returns true when it did; the cycle then stops, and
// the download restarts it at step 0 when it ends. The default does nothing.
class DownloadStarter {
public:
    virtual ~DownloadStarter() = default;

    // `Find_State` is 1: start the trend page search by date.
    virtual bool startTrendSearch() { return false; }
    // `Graf_PageCount` is 1: start the trend page download.
    virtual bool startTrendDownload() { return false; }
    // `Jurnal_Request` or `Jurnal_Find` is 1: start the journal download, by page (command 77)
    // when `find` is false, by date (command 78) when it is true.
    virtual bool startJournalDownload(bool find)
    {
        (void)find;
        return false;
    }
    // Nothing of the operator's waits: a background download (automatic collection) may take
    // the link, and hands it back as the others do.
    virtual bool startBackgroundDownload() { return false; }
};
