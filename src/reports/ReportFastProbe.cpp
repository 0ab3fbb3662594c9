#include "reports/ReportFastProbe.h"
#include "reports/ReportPacket.h"

ReportFastProbe::ReportFastProbe(ConstReportStation station, Link &link) : st_(station), engine_(st_, link)
{
    st_.poll.Rep_Mode = 0;
}

ArchiveExchange *ReportFastProbe::prepare(int n)
{
    if (n == 2)
        fast_ = table();
    st_.report.Rep_PacketNo = 0;
    st_.report.Rep_ParamNo = 0;
    for (auto &row : st_.report.Rep_Table)
        for (auto &cell : row)
            cell = QVariant();
    engine_.setAnswerPaced(n == 1);
    return &engine_;
}

QByteArray ReportFastProbe::table() const
{
    QByteArray b;
    for (int r = 0; r < report::Rows; ++r)
        for (int c = 0; c < 2 + report::Params; ++c)
            b += st_.report.Rep_Table[std::size_t(r)][std::size_t(c)].toString().toUtf8() + '\t';
    return b;
}

QByteArray ReportFastProbe::page(int n) const { return n == 1 ? fast_ : table(); }
