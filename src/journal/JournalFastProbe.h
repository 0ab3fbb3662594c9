#pragma once
// The journal side of the fast-mode check (link/FastVerdict.h): on a station of its own, the
// current page paced (it names the page being written), then the page before it, which is
// settled, fast and paced. A controller still building the lead's page when the fast request
// comes answers it with the lead's page again.
#include "app/Station.h"
#include "journal/JournalEngine.h"
#include "link/FastVerdict.h"

class JournalFastProbe : public FastProbe {
public:
    JournalFastProbe(const Station &station, Link &link);

    ArchiveExchange *prepare(int n) override;
    // Answer positions 1..324: the records, the row and page bytes (not the write pointer,
    // which moves on with every new record, nor the CRC).
    QByteArray page(int n) const override;

    int comparedPage() const { return compared_; }

private:
    QByteArray bytes() const;

    Station st_;
    JournalEngine engine_;
    int compared_ = -1;
    QByteArray fast_;
};
