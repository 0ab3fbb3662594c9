// tablo-fuzz-seeds OUTDIR: writes each fuzz target's seed corpus into OUTDIR/<target>/, made by
// the test-support writers and the frame builders, so no binary corpus is kept in the tree.
#include "FuzzRig.h"
#include "station/Station.h"

#include "link/Frame.h"
#include "link/PollCycle.h"

#ifdef TABLO_FUZZ_TRENDS
#include "trends/GrfFile.h"
#include "TrendPageImage.h"
#include "trends/TrendImage.h"
#endif

#ifdef TABLO_FUZZ_JOURNAL
#include "journal/JournalFile.h"
#include "journal/JournalPage.h"
#endif
#ifdef TABLO_FUZZ_REPORTS
#include "ReportPacketAnswer.h"
#include "reports/ReportFile.h"
#include "reports/ReportPacket.h"
#endif

#include <QDir>
#include <QFile>
#include <cstdio>
#include <initializer_list>
#include <vector>

using namespace fixture;

namespace {

constexpr char NetlistMark[] = "\n=== netlist ===\n";

struct Corpus {
    QString dir;
    int count = 0;
    bool ok = true;

    void add(const QByteArray &bytes)
    {
        QFile f(QDir(dir).filePath(QStringLiteral("seed-%1").arg(++count, 3, 10, QLatin1Char('0'))));
        ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && ok;
    }
};

void projectSeeds(Corpus &c)
{
    const QByteArray net = fuzz::netlistBytes(fuzz::plantNetlist());
    c.add(fuzz::projectBytes(fuzz::plantProject()));
    c.add(fuzz::projectBytes(fuzz::plantProject()) + NetlistMark + net);
    // The versions that change which sections and settings lines the file holds.
    for (double version : {0.0, 1.0, 2.0, 3.0, 7.0}) {
        PrtProject p = fuzz::plantProject();
        p.version = version;
        if (version == 7.0) {
            p.touSettingsLines = 0;
            p.rs4ExtraLines = 0;
        }
        c.add(fuzz::projectBytes(p));
    }
    PrtProject tcp = fuzz::plantProject();
    tcp.linkKind = 9;
    tcp.tcpPort = 4001;
    c.add(fuzz::projectBytes(tcp));
    // A file that ends inside the slot records.
    c.add(fuzz::projectBytes(fuzz::plantProject()).left(4000));
}

void netlistSeeds(Corpus &c)
{
    c.add(fuzz::netlistBytes(fuzz::plantNetlist()));
    NetList more;
    more.parts.push_back(part(2, QStringLiteral("SUM8_1"), numberValues({1, 2, 3, 4, 5, 6, 7, 8, 9})));
    more.parts.push_back(part(3, QStringLiteral("OSC4_GEN"), numberValues({1, 2, 3, 4, 5, 6, 7, 8})));
    more.parts.push_back(part(5, QStringLiteral("OSC4_ONE"), numberValues({1, 2, 3, 4})));
    more.parts.push_back(part(6, QStringLiteral("LOG"), logicValues({true, false, true}, {1, 2, 3, 4, 5, 6})));
    more.parts.push_back(
        part(7, QStringLiteral("PAN_INC_DEC"), panelValues({}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
    more.parts.push_back(part(8, QStringLiteral("REG"), {QStringLiteral("Фронт")}));
    more.parts.push_back(part(9, QStringLiteral("TIM"), numberValues({1, 2})));
    more.parts.push_back(part(10, QStringLiteral("COD"), numberValues({1, 2, 3, 4, 5, 6})));
    more.parts.push_back(part(11, QStringLiteral("PRO"), numberValues({1, 2, 3, 4, 5, 6})));
    more.parts.push_back(part(12, QStringLiteral("MUL"), numberValues({1, 2, 3, 4})));
    more.parts.push_back(part(13, QStringLiteral("INV")));
    c.add(fuzz::netlistBytes(more));
    NetList noHeader = fuzz::plantNetlist();
    noHeader.withNetlistLine = false;
    c.add(fuzz::netlistBytes(noHeader));
}

// One polling cycle's answers, each arriving before the tick that takes it.
QByteArray cycle(std::uint8_t flags, std::uint8_t block, std::uint8_t status)
{
    QByteArray in;
    in.append(char(flags)).append(char(block));
    int ticks = 2;   // steps 0 and 1 send; step 2 takes the first answer
    for (int step = 2; step <= PollCycle::LastStep; step += 3) {
        const bool values = step == 2 || step == 5 || step == 17;
        const int covered = values ? frame::ValuesCovered : frame::BytesCovered;
        QByteArray a(covered + 3, '\0');
        a[0] = 1;
        a[1] = char(values ? frame::ReadValues : frame::ReadBytes);
        a[2] = char(status);
        for (int k = 3; k < covered; ++k)
            a[k] = char((k * 37 + step) & (values ? 0xFF : 0x03));
        // Bit 7: the target puts the CRC in place.
        in.append(char(0x80 | ticks)).append(char(a.size())).append(a);
        ticks = 3;
    }
    return in;
}

void pollSeeds(Corpus &c)
{
    c.add(cycle(0x00, 0, 0));
    c.add(cycle(0x01, 0, 0));    // TCP
    c.add(cycle(0x0C, 0, 1));    // key and write pending, key acknowledged
    c.add(cycle(0x04, 0, 2));    // write acknowledged
    c.add(cycle(0x02, 26, 0));   // inspector on the PID block
    c.add(cycle(0x03, 1, 0));    // inspector on the analog input, TCP
    // Two answers in one piece, and one answer split across two ticks.
    QByteArray joined = cycle(0x00, 0, 0);
    joined.append(joined.mid(2));
    c.add(joined);
}

QByteArray chunk(const QByteArray &request, bool seal = true, int wait = 1)
{
    QByteArray out;
    out.append(char((seal ? 0x40 : 0) | 0x80 | wait)).append(char(request.size())).append(request);
    return out;
}

void simSeeds(Corpus &c)
{
    frame::Pairs pairs{};
    for (int s = 0; s < 8; ++s)
        pairs[static_cast<std::size_t>(s)] = {std::uint8_t(1 + s % 4), std::uint8_t(s)};
    frame::Pairs alarm{};
    alarm[0] = {99, 0};
    const frame::Tail write{25, 1, 0x00, 0x00, 0x2A, 0x42};
    const QByteArray key = frame::keyRequest(1, 0, 29, 0x41, 3);
    c.add(chunk(frame::keyRequest(1, 0, 0, 0, 0)) + chunk(frame::pairsRequest(1, frame::ReadValues, 0, pairs, {}))
          + chunk(frame::pairsRequest(1, frame::ReadBytes, 0, pairs, {}))
          + chunk(frame::pairsRequest(1, frame::ReadValues, 0, alarm, {})));
    c.add(chunk(key) + chunk(frame::pairsRequest(1, frame::ReadValues, 0, pairs, write)));
    c.add(chunk(frame::keyRequest(1, 0, 50, 2, 0)) + chunk(frame::keyRequest(1, 0, 50, 2, 0), true, 63));
    // Trend: find the page of an hour, then packets 1 and 32 of group 1.
    const QByteArray find = QByteArray::fromHex("014c16070318");
    const QByteArray p1 = QByteArray::fromHex("014601620100"), p32 = QByteArray::fromHex("014620620100");
    c.add(chunk(find) + chunk(p1) + chunk(p32));
    c.add(chunk(QByteArray::fromHex("0146016201c8")));   // the page being filled
    c.add(chunk(QByteArray::fromHex("014b00000000")) + chunk(QByteArray::fromHex("014b03000000")));   // report
    c.add(chunk(QByteArray::fromHex("014dc8000000")) + chunk(QByteArray::fromHex("014e0f08030c")));   // journal
    // Garbage before a frame, and a frame split across two arrivals.
    const QByteArray whole = frame::withCrc(frame::pairsRequest(1, frame::ReadValues, 0, pairs, {}));
    c.add(chunk(QByteArray::fromHex("ff0147550001"), false) + chunk(whole.left(30), false)
          + chunk(whole.mid(30), false));
}

// The bytes of a file the writer under test made in the corpus folder, which is then removed.
[[maybe_unused]] QByteArray takeFile(Corpus &c, const QString &path, bool written)
{
    QFile f(path);
    c.ok = written && f.open(QIODevice::ReadOnly) && c.ok;
    const QByteArray bytes = f.readAll();
    f.remove();
    return bytes;
}

#ifdef TABLO_FUZZ_TRENDS
// A trend image of the page being filled: rising values, eight stamps, 300 valid samples,
// group 1's parameters; one seed per Find_State.
void trendImageSeeds(Corpus &c)
{
    const QByteArray image = fuzz::trendPageImage(200);
    for (char findState : {0, 1, 2})
        c.add(QByteArray(1, findState) + image);
}

// A trend file as the trend window saves it, from the plant's station.
void grfSeeds(Corpus &c)
{
    Station station;
    fuzz::loadPlant(station);
    station.trend.Graf_Group = 1;
    station.trend.Graf_SampleCount = 120;
    station.trend.Graf_TimeText = QStringLiteral("07/03/24 10:00:00  ");
    for (int ch = 0; ch < 4; ++ch)
        for (int s = 0; s <= 480; ++s)
            station.trend.Graf_Values[static_cast<std::size_t>(ch)][static_cast<std::size_t>(s)] =
                float(ch * 10 + s) / 8.0f;
    const QString path = QDir(c.dir).filePath(QStringLiteral("seed.grf"));
    const QByteArray bytes = takeFile(c, path, grf::save(path, station, grf::scaleFromProject(station)));
    c.add(bytes);
    c.add(bytes.left(bytes.size() / 2));
}
#endif

#ifdef TABLO_FUZZ_JOURNAL
// A journal page answer: records with dates, times and a few events, the row, page and write
// position bytes; and the same page as a .jur file.
void journalSeeds(Corpus &c)
{
    journal::Buffer buf{};
    buf[1] = 1;
    buf[2] = 77;
    for (int r = 0; r < journal::Records; ++r) {
        const int at = 3 + journal::RecordSize * r;
        const std::uint8_t rec[10] = {std::uint8_t(r), 30,  12, 7, 3, 24, std::uint8_t(1 << (r % 8)), 0,
                                      std::uint8_t(r), 0x80};
        std::copy(rec, rec + 10, buf.begin() + at);
    }
    buf[323] = 17;
    buf[324] = 2;
    buf[325] = 0x03;
    buf[326] = 0x2A;
    for (char flags : {0, 1})
        c.add(QByteArray(1, flags) + QByteArray(reinterpret_cast<const char *>(buf.data()) + 1, 330));
    const QString path = QDir(c.dir).filePath(QStringLiteral("seed.jur"));
    c.add(takeFile(c, path, journal::saveJur(path, 3, buf)));
}
#endif

#ifdef TABLO_FUZZ_REPORTS
// A report packet answer with entries in every sub-block, one per packet number; and a .rep
// settings file.
void reportSeeds(Corpus &c)
{
    const QByteArray answer = fuzz::reportPacketAnswer(0);
    for (char packet : {0, 1, 2, 3})
        c.add(QByteArray(1, packet) + answer);
    Station station;
    station.report.Rep_Precision = 2;
    station.report.Rep_TriggerElement = 5;
    for (int k = 0; k <= 16; ++k)
        station.report.Rep_Names[static_cast<std::size_t>(k)] = QStringLiteral("Параметр %1").arg(k);
    const QString path = QDir(c.dir).filePath(QStringLiteral("seed.rep"));
    c.add(takeFile(c, path, report::saveSettings(path, station)));
}
#endif

// Engine targets: a flags byte (and its arguments), then one fate byte per request; see
// EngineWire.h. Fates: 0 good, 2 lost, 3 corrupted, 4 cut (with bit 3) or lengthened,
// 5 garbage, 6 closed (bit 3: connects refused a while), 7 late.
QByteArray fates(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

void engineSeeds(Corpus &c, const QByteArray &head)
{
    c.add(head);                                                            // every answer good
    c.add(head + fates({2, 0, 3, 0x01, 0x20, 0x55, 0, 0x0C, 0x80}));        // lost, corrupted, cut
    c.add(head + fates({0, 0, 0x06, 0, 0, 0x2E, 0, 0}));                    // closed, then refused
    c.add(head + fates({0x17, 0, 0, 0x0F, 0, 0, 0}));                       // late by three ticks
    c.add(head + fates({0x05, 4, 'a', 'b', 'c', 'd', 0x0D, 2, 1, 2, 0}));   // garbage
    c.add(head + fates({0x34, 0x01, 0x02, 0x03, 0x04, 0}));                 // lengthened
}

#ifdef TABLO_FUZZ_TRENDS
void trendDownloadSeeds(Corpus &c)
{
    for (const QByteArray &head : {fates({0x00}), fates({0x01}), fates({0x15, 17}), fates({0x0E}), fates({0x21})})
        engineSeeds(c, head);
}

#endif

#ifdef TABLO_FUZZ_JOURNAL
void journalDownloadSeeds(Corpus &c)
{
    for (const QByteArray &head :
         {fates({0x00, 5}), fates({0x01, 31}), fates({0x04}), fates({0x03, 0}), fates({0x07}), fates({0x09, 5})})
        engineSeeds(c, head);
}

#endif

#ifdef TABLO_FUZZ_REPORTS
void reportDownloadSeeds(Corpus &c)
{
    for (const QByteArray &head : {fates({0x00}), fates({0x01})})
        engineSeeds(c, head);
}

#endif

void pollLinkSeeds(Corpus &c)
{
    for (const QByteArray &head : {fates({0x00}), fates({0x01}), fates({0x07})}) {
        engineSeeds(c, head);
        // A lost answer followed by its successor's, one answer time late.
        c.add(head + fates({0, 0, 0, 2, 0x0F, 0, 0, 0, 0x0F, 2, 0}));
    }
}

void scenarioSeeds(Corpus &c)
{
    c.add(QByteArrayLiteral("# settings\n"
                            "clock 2024-03-07 22:30:00\nseed 7\naddress 3\nhistory off\ntrend-period 10s\n"
                            "report-period 15m\nalarm-interval 90s\n"
                            "trend 2024-03-07 22:00:00 1.5 2.5 -3\njournal 2024-03-07 21:00:00 0,2,31\n"
                            "journal 2024-03-07 21:05:00 0x80000005\njournal 2024-03-07 21:06:00 -\n"
                            "report 2024-03-07 21:00:00 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"));
    c.add(QByteArrayLiteral("pin 12 0 55.5\npin-input 26 0 61\nunpin 12 0\nunpin-input 26 0\nalarm 4 on\nalarms off\n"
                            "alarms auto\nkey 29 0x41\nwrite 26 0 80\ntrend-group 2 8 9 10 11\ntrend-source 8 26 1\n"
                            "report-source 1 12 0\ntrend-style 2 1 4 2 5\nat 30s alarm 5 on\nat 2m30s pin 12 0 10\n"
                            "at 1h1m30s key 29 0x41\nat 1.5 alarm 5 off\n"));
    c.add(QByteArrayLiteral("pin 100 0 1\n"));
    // Values of the simulator's time and fault options.
    c.add(QByteArrayLiteral("1m30s 500ms 1.5 2h 3:250 7 1:0 0:5 4:100001\n"));
}

QByteArray arguments(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *a : list) {
        if (!out.isEmpty())
            out.append('\0');
        out.append(a);
    }
    return out;
}

void commandLineSeeds(Corpus &c)
{
    c.add(arguments({"--help"}));
    c.add(arguments({"--version"}));
    c.add(arguments({"--demo", "--com", "1=/dev/pts/3", "plant.prt"}));
    c.add(arguments({"--com=COM9=/dev/ttyUSB0", "=2=/dev/ttyS1", "x.prt"}));   // and TABLO_COM2
    c.add(arguments({"--com", "10=/dev/x", "a.prt", "b.prt"}));
    c.add(arguments({"--bogus"}));
}

#ifdef TABLO_FUZZ_FETCH
void fetchSeeds(Corpus &c)
{
    c.add(arguments({"--com", "9=/dev/pts/4", "plant.prt", "trend", "--group", "2", "--page", "17", "-o", "x.grf"}));
    c.add(arguments({"--com=COM1=/dev/ttyS0", "trend", "--find", "2024-03-07 14", "--xlsx", "a.xlsx"}));
    c.add(arguments({"report", "-o", "r.csv", "--rep", "s.rep"}));
    c.add(arguments({"journal", "--page", "current", "--find", "2024-02-29T23", "-o", "j.jur"}));
    c.add(arguments({"--find", "2023-02-29 10", "--find", "2024-13-01 00", "--com", "0=x"}));
}
#endif

}   // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tablo-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const std::vector<std::pair<const char *, void (*)(Corpus &)>> targets = {
        {"fuzz_project_reader", projectSeeds},
        {"fuzz_netlist", netlistSeeds},
        {"fuzz_poll_cycle", pollSeeds},
        {"fuzz_sim_requests", simSeeds},
        {"fuzz_poll_link", pollLinkSeeds},
        {"fuzz_scenario", scenarioSeeds},
        {"fuzz_command_line", commandLineSeeds},
#ifdef TABLO_FUZZ_FETCH
        {"fuzz_fetch_options", fetchSeeds},
#endif
#ifdef TABLO_FUZZ_TRENDS
        {"fuzz_trend_image", trendImageSeeds},
        {"fuzz_grf_file", grfSeeds},
        {"fuzz_trend_download", trendDownloadSeeds},
#endif
#ifdef TABLO_FUZZ_JOURNAL
        {"fuzz_journal", journalSeeds},
        {"fuzz_journal_download", journalDownloadSeeds},
#endif
#ifdef TABLO_FUZZ_REPORTS
        {"fuzz_reports", reportSeeds},
        {"fuzz_report_download", reportDownloadSeeds},
#endif
    };
    bool ok = true;
    for (const auto &[name, make] : targets) {
        Corpus c{QDir(out).filePath(QString::fromLatin1(name))};
        ok = QDir().mkpath(c.dir) && ok;
        make(c);
        ok = ok && c.ok;
        std::printf("%s: %d seeds\n", name, c.count);
    }
    return ok ? 0 : 1;
}
