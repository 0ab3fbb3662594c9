#include "trends/TrendFastProbe.h"
#include "app/Pages.h"

TrendFastProbe::TrendFastProbe(ConstTrendStation station, Link &link, int group)
    : st_(station), link_(link), engine_(st_, link), group_(group)
{
    st_.trend.Graf_PageCount = 0;
    st_.trend.Find_State = 0;
    st_.poll.pollStep = 0;
    engine_.loadPalette();
}

ArchiveExchange *TrendFastProbe::prepare(int n)
{
    if (n == 1) {
        const int filling = st_.trend.Graf_CurrentPage;
        if (filling < 0 || filling >= archive::TrendPages)
            return nullptr;
        compared_ = (filling + archive::TrendPages - 1) % archive::TrendPages;
    } else if (n == 2) {
        fast_ = image();
    }
    engine_.setAnswerPaced(n == 1);
    // The trend window's poll time on each link.
    engine_.setPollText(link_.isSerial() ? QStringLiteral("100") : QStringLiteral("200"));
    if (!engine_.request(group_, n == 0 ? trend::CurrentPage : compared_))
        return nullptr;
    return &engine_;
}

QByteArray TrendFastProbe::image() const
{
    QByteArray b = TrendDownload::image(st_).toByteArray();
    b[trend::CurrentIndexAt] = 0;
    b[trend::SampleCountAt] = 0;
    b[trend::SampleCountAt + 1] = 0;
    return b;
}

QByteArray TrendFastProbe::page(int n) const { return n == 1 ? fast_ : image(); }
