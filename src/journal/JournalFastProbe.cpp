#include "journal/JournalFastProbe.h"
#include "journal/JournalPage.h"

JournalFastProbe::JournalFastProbe(ConstJournalStation station, Link &link) : st_(station), engine_(st_, link)
{
    st_.journal.Jurnal_Request = 0;
    st_.journal.Jurnal_Find = 0;
    st_.poll.pollStep = 0;
}

ArchiveExchange *JournalFastProbe::prepare(int n)
{
    int page = journal::CurrentPage;
    if (n == 1) {
        const int writing = journal::pageOnShow(st_.journal.Jurnal_Buf);
        if (writing < 0 || writing >= journal::Pages)
            return nullptr;
        compared_ = (writing + journal::Pages - 1) % journal::Pages;
    } else if (n == 2) {
        fast_ = bytes();
    }
    if (n > 0)
        page = compared_;
    // An old answer must not pass for the fast one.
    if (n == 1)
        st_.journal.Jurnal_Buf = {};
    st_.journal.requestPage(page);
    engine_.setAnswerPaced(n == 1);
    return &engine_;
}

QByteArray JournalFastProbe::bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(st_.journal.Jurnal_Buf.data()) + 1, 324);
}

QByteArray JournalFastProbe::page(int n) const { return n == 1 ? fast_ : bytes(); }
