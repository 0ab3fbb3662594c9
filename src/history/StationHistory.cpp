#include "history/StationHistory.h"
#include "app/Blocks.h"
#include "text/Numbers.h"
#include "trends/TrendImage.h"

namespace history {
namespace {

QString textAt(const Station &station, long long i)
{
    const auto &texts = station.project.blockTexts;
    return i >= 0 && i < static_cast<long long>(texts.size()) ? texts[std::size_t(i)] : QString();
}

}   // namespace

Channels trendChannels(const Station &station, int group, QByteArrayView image)
{
    Channels out;
    if (group < 0 || group >= trend::Groups)
        return out;
    const long long tbase = station.project.blockTextBase[block::Trend];
    for (int c = 0; c < 4; ++c) {
        const int at = trend::ParamNumbersAt + 4 * group + c;
        const int n = at < image.size() ? static_cast<std::uint8_t>(image[at]) : 0;
        out[std::size_t(c)] = {n, textAt(station, tbase + 1 + n)};
    }
    return out;
}

std::array<QString, 32> journalEventNames(const Station &station)
{
    std::array<QString, 32> names;
    for (int n = 0; n < 32; ++n)
        names[std::size_t(n)] = journal::eventName(station, n);
    return names;
}

std::vector<ReportRow> reportRows(const Station &station)
{
    std::vector<ReportRow> rows;
    for (int r = 0; r < 375 && r < int(station.report.Rep_Table.size()); ++r) {
        const auto &row = station.report.Rep_Table[std::size_t(r)];
        ReportRow out{row[0].toString(), row[1].toString(), {}};
        if (out.date.isEmpty() || out.time.isEmpty())
            continue;
        for (int p = 0; p < 16; ++p)
            out.values[std::size_t(p)] = row[std::size_t(p + 2)].toFloat();
        rows.push_back(out);
    }
    return rows;
}

QString setPointText(int block, int pin, std::optional<float> oldValue, float newValue, bool acknowledged)
{
    return QStringLiteral("block %1 pin %2: %3 -> %4, %5")
        .arg(block)
        .arg(pin)
        .arg(oldValue ? text::formatNumber(*oldValue).trimmed() : QStringLiteral("?"),
             text::formatNumber(newValue).trimmed(),
             acknowledged ? QStringLiteral("acknowledged") : QStringLiteral("not acknowledged"));
}

}   // namespace history
