#pragma once
// The report side of the fast-mode check (link/FastVerdict.h): on a station of its own, the
// whole report archive fast and then paced (no lead: the report archive is one, not pages
// built on request), compared as the table both give.
#include "reports/ReportStation.h"
#include "link/FastVerdict.h"
#include "reports/ReportDownload.h"

class ReportFastProbe : public FastProbe {
public:
    ReportFastProbe(ConstReportStation station, Link &link);

    bool leads() const override { return false; }
    ArchiveExchange *prepare(int n) override;
    // Every cell of the 375 rows (date, time, 16 values), one text each.
    QByteArray page(int n) const override;

private:
    QByteArray table() const;

    // The probe's own copy of the station's parts: the check never touches the live ones.
    struct Own {
        ProjectModel project;
        PollState poll;
        ReportState report;
        explicit Own(ConstReportStation s) : project(s.project), poll(s.poll), report(s.report) {}
    } st_;
    ReportDownload engine_;
    QByteArray fast_;
};
