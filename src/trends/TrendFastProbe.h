#pragma once
// The trend side of the fast-mode check (link/FastVerdict.h): on a station of its own, the
// current page of the group paced (it names the page being filled), then the last settled
// page fast and paced. A controller that answers before it has built a page gives the fast
// download the page it built before, the current one.
#include "trends/TrendStation.h"
#include "link/FastVerdict.h"
#include "trends/TrendDownload.h"

class TrendFastProbe : public FastProbe {
public:
    TrendFastProbe(ConstTrendStation station, Link &link, int group);

    ArchiveExchange *prepare(int n) override;
    // The image but the two fields about the page being filled (its index and sample count),
    // which move on while the check runs.
    QByteArray page(int n) const override;

    // The archive page compared (0..101), once the lead is in.
    int comparedPage() const { return compared_; }

private:
    QByteArray image() const;

    // The probe's own copy of the station's parts: the check never touches the live ones.
    struct Own {
        ProjectModel project;
        PollState poll;
        TrendState trend;
        explicit Own(ConstTrendStation s) : project(s.project), poll(s.poll), trend(s.trend) {}
    } st_;
    Link &link_;
    TrendDownload engine_;
    int group_;
    int compared_ = -1;
    QByteArray fast_;
};
