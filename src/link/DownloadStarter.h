#pragma once
// What the polling cycle asks of the archive downloads at the end of each cycle: start the one
// that waits, if any. A download that starts runs on its own timer; the cycle then stops, and
// the download restarts it at step 0 when it ends. The station's requests and the order they
// are served in live above the link (station/StationDownloads.h).
class DownloadStarter {
public:
    enum class Taken {
        None,         // nothing started: the cycle goes on
        Operator,     // a download the operator asked for took the link
        Background,   // nothing of the operator's waited: an automatic collection took it
    };

    virtual ~DownloadStarter() = default;
    virtual Taken startPending() = 0;
};
