#pragma once
// The journal side of the fast-mode check (link/FastVerdict.h): on a station of its own, the
// current page paced (it names the page being written), then the page before it, which is
// settled, fast and paced. A controller still building the lead's page when the fast request
// comes answers it with the lead's page again.
#include "journal/JournalStation.h"
#include "journal/JournalEngine.h"
#include "link/FastVerdict.h"

class JournalFastProbe : public FastProbe {
public:
    JournalFastProbe(ConstJournalStation station, Link &link);

    ArchiveExchange *prepare(int n) override;
    // Answer positions 1..324: the records, the row and page bytes (not the write pointer,
    // which moves on with every new record, nor the CRC).
    QByteArray page(int n) const override;

    int comparedPage() const { return compared_; }

private:
    QByteArray bytes() const;

    // The probe's own copy of the station's parts: the check never touches the live ones.
    struct Own {
        ProjectModel project;
        PendingKey key;
        PendingWrite write;
        PollState poll;
        JournalState journal;
        AlarmState alarm;
        explicit Own(ConstJournalStation s)
            : project(s.project), key(s.key), write(s.write), poll(s.poll), journal(s.journal), alarm(s.alarm)
        {
        }
    } st_;
    JournalEngine engine_;
    int compared_ = -1;
    QByteArray fast_;
};
