#pragma once
// The report side of the fast-mode check (link/FastVerdict.h): on a station of its own, the
// whole report archive fast and then paced (no lead: the report archive is one, not pages
// built on request), compared as the table both give.
#include "app/Station.h"
#include "link/FastVerdict.h"
#include "reports/ReportDownload.h"

class ReportFastProbe : public FastProbe {
public:
    ReportFastProbe(const Station &station, Link &link);

    bool leads() const override { return false; }
    ArchiveExchange *prepare(int n) override;
    // Every cell of the 375 rows (date, time, 16 values), one text each.
    QByteArray page(int n) const override;

private:
    QByteArray table() const;

    Station st_;
    ReportDownload engine_;
    QByteArray fast_;
};
