// The simulator as the station meets it: over TCP and over a pseudo-terminal, with faults.
#include "SimWire.h"

#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/Simulator.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

using namespace simtest;

namespace {

const qint64 Start = sim::controllerMs(QDate(2024, 3, 7), QTime(14, 5, 30));

ProjectModel plantModel()
{
    ProjectModel m;
    m.controllerAddress = 1;
    m.blockType[12] = 10;   // SUM
    m.blockType[20] = 25;   // S_P
    m.blockType[29] = 29;   // PAN
    return m;
}

std::unique_ptr<sim::Simulator> makeSimulator(const sim::FaultPlan &faults = {})
{
    coreApp();
    sim::SimulatorOptions o;
    o.controller.trendHistory = o.controller.journalHistory = o.controller.reportHistory = false;
    o.controller.plant.autoAlarms = false;
    o.faults = faults;
    auto s = std::make_unique<sim::Simulator>(plantModel(), o, std::make_unique<sim::ManualClock>(Start));
    for (int pin = 0; pin < 4; ++pin)
        s->controller().plant().pinOutput(12, pin, 10.0 * (pin + 1));
    return s;
}

// A simulator listening on a free loopback port; nullptr when it cannot listen.
std::unique_ptr<sim::Simulator> tcpSimulator(const sim::FaultPlan &faults = {})
{
    auto s = makeSimulator(faults);
    if (!s->listenTcp())
        return nullptr;
    return s;
}

QByteArray values3() { return pairsFrame(1, 71, 0, {{12, 0}, {12, 1}, {12, 2}}); }

}   // namespace

TEST(SimOverTcp, EveryCommandIsAnsweredWithItsLengthCrcAndContent)
{
    auto s = tcpSimulator();
    ASSERT_TRUE(s);
    ASSERT_NE(s->tcpPort(), 0);
    TcpClient c(s->tcpPort());
    ASSERT_TRUE(c.connected);

    // Command 70 and 76 have no answer: what follows them must be the next answer exactly.
    int total = 0;
    c.socket.write(frame({1, 70, 0, 29, 4 * 16 + 2, 0}));   // switch key 2: pin 5
    ASSERT_TRUE(c.send(values3(), total += 134));
    ASSERT_TRUE(c.send(pairsFrame(1, 72, 0, {{29, 5}}), total += 38));
    ASSERT_TRUE(c.send(frame({1, 70, 1, 98, 0, 200}), total += 251));
    ASSERT_TRUE(c.send(frame({1, 75, 0, 0, 0, 0}), total += 15365));
    c.socket.write(frame({1, 76, 14, 7, 3, 24}));
    ASSERT_TRUE(c.send(frame({1, 77, 1, 0, 0, 200}), total += 330));
    ASSERT_TRUE(c.send(frame({1, 78, 14, 7, 3, 24}), total += 330));
    ASSERT_TRUE(c.send(pairsFrame(1, 72, 0, {}), total += 38));
    ASSERT_EQ(c.got.size(), total);

    const QByteArray v = c.got.mid(0, 134);
    EXPECT_TRUE(crcOk(v, 131, 132));
    EXPECT_EQ(at(v, 3), 1);   // the key is acknowledged by the next answer...
    EXPECT_DOUBLE_EQ(slotValue(v, 1), 10.0);
    EXPECT_DOUBLE_EQ(slotValue(v, 3), 30.0);
    const QByteArray b = c.got.mid(134, 38);
    EXPECT_TRUE(crcOk(b, 35, 36));
    EXPECT_EQ(at(b, 3), 0);   // ...once
    EXPECT_EQ(at(b, 4), 1);   // and the switch is on
    const QByteArray t = c.got.mid(172, 251);
    EXPECT_TRUE(crcOk(t, 246, 249));
    const QByteArray r = c.got.mid(423, 15365);
    EXPECT_TRUE(crcOk(r, 15362, 15364));
    const QByteArray j = c.got.mid(423 + 15365, 330);
    EXPECT_TRUE(crcOk(j, 326, 327));
    EXPECT_EQ(at(j, 2), 77);
    const QByteArray f = c.got.mid(423 + 15365 + 330, 330);
    EXPECT_TRUE(crcOk(f, 326, 327));
    EXPECT_EQ(at(f, 2), 78);
}

TEST(SimOverTcp, FramesForAnotherAddressAreIgnoredAndGarbageIsResynchronised)
{
    auto s = tcpSimulator();
    ASSERT_TRUE(s);
    TcpClient c(s->tcpPort());
    c.socket.write(pairsFrame(2, 71, 0, {{12, 0}}));
    // Junk, then a frame split in two writes.
    const QByteArray v = values3();
    c.socket.write(QByteArray::fromHex("FF00AA55FE") + v.left(30));
    c.socket.flush();
    ASSERT_TRUE(c.send(v.mid(30), 134));
    EXPECT_TRUE(crcOk(c.got, 131, 132));
    EXPECT_DOUBLE_EQ(slotValue(c.got, 2), 20.0);
    // A false start ("01 47" promises 75 bytes) before a short frame: answered once the
    // false start has gone stale.
    const QByteArray a = c.exchange(QByteArray::fromHex("0147") + pairsFrame(1, 72, 0, {{12, 0}}), 38);
    ASSERT_EQ(a.size(), 38);
    EXPECT_EQ(at(a, 4), 10);
}

TEST(SimOverTcp, ASecondClientWaitsUntilTheFirstLeavesAndTooManyAreTurnedAway)
{
    auto s = tcpSimulator();
    ASSERT_TRUE(s);
    auto first = std::make_unique<TcpClient>(s->tcpPort());
    TcpClient second(s->tcpPort());
    ASSERT_TRUE(second.connected);
    second.socket.write(values3());
    EXPECT_EQ(first->exchange(values3(), 134).size(), 134);
    EXPECT_TRUE(second.got.isEmpty());

    std::vector<std::unique_ptr<TcpClient>> more;
    for (int i = 0; i < 4; ++i)
        more.push_back(std::make_unique<TcpClient>(s->tcpPort()));
    EXPECT_TRUE(spinUntil([&] { return more.back()->socket.state() == QAbstractSocket::UnconnectedState; }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(more[size_t(i)]->socket.state(), QAbstractSocket::ConnectedState) << i;

    first.reset();
    second.got.clear();
    EXPECT_TRUE(second.send(values3(), 134));
    EXPECT_TRUE(crcOk(second.got.right(134), 131, 132));
}

TEST(SimFaults, DropEveryNthAnswerLeavesTheOthersInOrder)
{
    auto s = tcpSimulator({.dropEvery = 2});
    ASSERT_TRUE(s);
    TcpClient c(s->tcpPort());
    ASSERT_TRUE(c.send(pairsFrame(1, 71, 0, {{12, 0}}), 134));
    c.socket.write(pairsFrame(1, 71, 0, {{12, 1}}));
    ASSERT_TRUE(c.send(pairsFrame(1, 71, 0, {{12, 2}}), 268));
    EXPECT_EQ(c.got.size(), 268);
    EXPECT_DOUBLE_EQ(slotValue(c.got, 1), 10.0);
    EXPECT_DOUBLE_EQ(slotValue(c.got.mid(134), 1), 30.0);
    EXPECT_EQ(s->requestsHandled(), 3);
}

TEST(SimFaults, CorruptedCrcTruncatedLengthenedAndGarbledAnswersKeepTheirData)
{
    {
        auto s = tcpSimulator({.corruptEvery = 1});
        ASSERT_TRUE(s);
        TcpClient c(s->tcpPort());
        const QByteArray a = c.exchange(values3(), 134);
        ASSERT_EQ(a.size(), 134);
        EXPECT_FALSE(crcOk(a, 131, 132));
        EXPECT_DOUBLE_EQ(slotValue(a, 3), 30.0);
        const QByteArray t = c.exchange(frame({1, 70, 1, 98, 0, 200}), 251);
        EXPECT_FALSE(crcOk(t, 246, 249));
    }
    {
        auto s = tcpSimulator({.truncateEvery = 2, .truncateBytes = 1});
        ASSERT_TRUE(s);
        TcpClient c(s->tcpPort());
        EXPECT_EQ(c.exchange(values3(), 134).size(), 134);
        EXPECT_EQ(c.exchange(frame({1, 70, 2, 98, 0, 200}), 250).size(), 250);
        // The next answer is whole again: nothing of the cut one is left over.
        EXPECT_EQ(c.exchange(pairsFrame(1, 72, 0, {}), 38).size(), 38);
    }
    {
        auto s = tcpSimulator({.lengthenEvery = 1, .lengthenBytes = 1});
        ASSERT_TRUE(s);
        TcpClient c(s->tcpPort());
        const QByteArray a = c.exchange(pairsFrame(1, 72, 0, {{12, 1}}), 39);
        ASSERT_EQ(a.size(), 39);
        EXPECT_TRUE(crcOk(a, 35, 36));
        EXPECT_EQ(at(a, 4), 20);
    }
    {
        auto s = tcpSimulator({.garbageEvery = 1, .garbageBytes = 5});
        ASSERT_TRUE(s);
        TcpClient c(s->tcpPort());
        const QByteArray a = c.exchange(values3(), 139);
        ASSERT_EQ(a.size(), 139);
        EXPECT_FALSE(crcOk(a, 131, 132));
        EXPECT_TRUE(crcOk(a.mid(5), 131, 132));
    }
}

TEST(SimFaults, DelayedAnswersComeLateAndInOrder)
{
    auto s = tcpSimulator({.delayEvery = 1, .delayMs = 300});
    ASSERT_TRUE(s);
    TcpClient c(s->tcpPort());
    QElapsedTimer t;
    t.start();
    c.socket.write(pairsFrame(1, 71, 0, {{12, 0}}));
    ASSERT_TRUE(c.send(pairsFrame(1, 71, 0, {{12, 3}}), 134));
    EXPECT_GE(t.elapsed(), 290);
    ASSERT_TRUE(spinUntil([&] { return c.got.size() >= 268; }));
    EXPECT_DOUBLE_EQ(slotValue(c.got, 1), 10.0);
    EXPECT_DOUBLE_EQ(slotValue(c.got.mid(134), 1), 40.0);
}

TEST(SimFaults, ConnectionClosesAfterNRequestsAndTheNextOneStartsAfresh)
{
    auto s = tcpSimulator({.closeAfter = 2});
    ASSERT_TRUE(s);
    TcpClient c(s->tcpPort());
    c.socket.write(frame({1, 70, 0, 0, 0, 0}));   // a request without answer counts too
    ASSERT_TRUE(c.send(values3(), 134));
    EXPECT_TRUE(spinUntil([&] { return c.socket.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(crcOk(c.got, 131, 132));

    TcpClient again(s->tcpPort());
    EXPECT_EQ(again.exchange(values3(), 134).size(), 134);
    EXPECT_EQ(again.socket.state(), QAbstractSocket::ConnectedState);
}

namespace {

struct PtyClient {
    explicit PtyClient(const QString &path)
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~PtyClient()
    {
        if (fd >= 0)
            ::close(fd);
    }
    QByteArray exchange(const QByteArray &f, int expected)
    {
        QByteArray got;
        if (::write(fd, f.constData(), size_t(f.size())) != f.size())
            return got;
        spinUntil([&] {
            char buf[4096];
            ssize_t n;
            while ((n = ::read(fd, buf, sizeof buf)) > 0)
                got.append(buf, int(n));
            return got.size() >= expected;
        });
        return got;
    }
    int fd = -1;
};

}   // namespace

TEST(SimOverPty, AnswersOnThePseudoTerminalThroughItsSymlink)
{
    auto s = makeSimulator();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyQ7"));
    QString error;
    ASSERT_TRUE(s->openPty(link, &error)) << error.toStdString();
    EXPECT_TRUE(s->ptyPath().startsWith(QStringLiteral("/dev/pts/")));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), s->ptyPath());

    PtyClient c(link);
    ASSERT_GE(c.fd, 0);
    const QByteArray v = c.exchange(values3(), 134);
    ASSERT_EQ(v.size(), 134);
    EXPECT_TRUE(crcOk(v, 131, 132));
    EXPECT_DOUBLE_EQ(slotValue(v, 2), 20.0);
    s->controller().journal().append(Start - 60000, 0x10);
    const QByteArray j = c.exchange(frame({1, 78, 14, 7, 3, 24}), 330);
    ASSERT_EQ(j.size(), 330);
    EXPECT_TRUE(crcOk(j, 326, 327));
    EXPECT_EQ(at(j, 3 + 6), 0x10);
    const QByteArray r = c.exchange(frame({1, 75, 3, 0, 0, 0}), 15365);
    EXPECT_EQ(r.size(), 15365);
    EXPECT_TRUE(crcOk(r, 15362, 15364));

    s.reset();
    EXPECT_FALSE(QFileInfo(link).isSymLink());   // removed on the way out
}

TEST(SimOverPty, ClosingTheConnectionBringsANewTerminalAndMovesTheSymlink)
{
    auto s = makeSimulator({.closeAfter = 1});
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyQ7"));
    ASSERT_TRUE(s->openPty(link));
    int moved = 0;
    QObject::connect(s.get(), &sim::Simulator::ptyPathChanged, [&] { ++moved; });
    const QString old = s->ptyPath();
    PtyClient first(link);
    EXPECT_EQ(first.exchange(values3(), 134).size(), 134);
    ASSERT_TRUE(spinUntil([&] { return moved == 1; }));
    // The old terminal hangs up on whoever still holds it; the link names the new one.
    char byte;
    errno = 0;
    const ssize_t n = ::read(first.fd, &byte, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n << " " << errno;
    EXPECT_NE(s->ptyPath(), old);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), s->ptyPath());
    PtyClient c(link);
    EXPECT_EQ(c.exchange(pairsFrame(1, 72, 0, {{12, 3}}), 38).size(), 38);
}

TEST(SimLogFile, EveryRequestAndAnswerIsLoggedWithTimeDirectionHexAndFields)
{
    auto s = makeSimulator({.dropEvery = 2});
    QBuffer log;
    log.open(QIODevice::ReadWrite);
    s->setLogDevice(&log);
    ASSERT_TRUE(s->listenTcp());
    TcpClient c(s->tcpPort());
    c.exchange(pairsFrame(1, 71, 2, {{12, 0}}, writeTail(20, 1, 2.5)), 134);
    c.socket.write(QByteArray::fromHex("0000") + frame({1, 77, 1, 0, 0, 7}));
    spinUntil([&] { return s->requestsHandled() == 2; });
    const QStringList lines = QString::fromUtf8(log.data()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto find = [&](const QString &part) {
        for (const QString &l : lines)
            if (l.contains(part))
                return l;
        return QString();
    };
    const QString rx = find(QStringLiteral(" RX 01 47 02 0C 00 "));
    ASSERT_FALSE(rx.isEmpty()) << log.data().toStdString();
    EXPECT_TRUE(rx.contains(QStringLiteral("| values page 2: 12.0 write 20.1 = 2.5: accepted")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ *\\d+ tcp#1 RX ")).match(rx).hasMatch()) << rx.toStdString();
    EXPECT_TRUE(find(QStringLiteral(" TX 01 47 02 ")).contains(QStringLiteral("| status 2 12.0=10")));
    EXPECT_TRUE(find(QStringLiteral("journal page 7")).contains(QStringLiteral(" RX 01 4D 01 00 00 07 ")));
    EXPECT_TRUE(find(QStringLiteral("[dropped]")).contains(QStringLiteral(" TX 01 4D ")));
    EXPECT_FALSE(find(QStringLiteral("skipped 2 byte(s)")).isEmpty());
}

TEST(SimPacing, AnswersGoOutAtTheLineSpeedInRequestOrderOnTcpAndOnThePty)
{
    // A value answer (134 bytes) and a report packet (15 365 bytes) asked for back to back:
    // 15 499 bytes of 10 bits at 115 200 baud are 1345 ms on the line.
    const qint64 wireMs = 15499LL * 10 * 1000 / 115200;
    struct Case {
        const char *name;
        bool pty;
        int delayMs;   // every answer this late (the fault option)
    };
    const Case cases[] = {{"tcp", false, 0}, {"pty", true, 0}, {"tcp, answers 300 ms late", false, 300}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sim::FaultPlan faults;
        if (c.delayMs > 0) {
            faults.delayEvery = 1;
            faults.delayMs = c.delayMs;
        }
        auto s = makeSimulator(faults);
        s->setBaud(115200);
        QTemporaryDir dir;
        std::unique_ptr<TcpClient> tcp;
        std::unique_ptr<PtyClient> pty;
        if (c.pty) {
            ASSERT_TRUE(s->openPty(dir.filePath(QStringLiteral("tty"))));
            pty = std::make_unique<PtyClient>(s->ptyPath());
            ASSERT_GE(pty->fd, 0);
        } else {
            ASSERT_TRUE(s->listenTcp());
            tcp = std::make_unique<TcpClient>(s->tcpPort());
            ASSERT_TRUE(tcp->connected);
        }
        const QByteArray requests = values3() + frame({1, 75, 0, 0, 0, 0});
        QByteArray got;
        std::vector<std::pair<qint64, qsizetype>> arrivals;   // ms since the requests, bytes so far
        QElapsedTimer t;
        t.start();
        if (pty)
            ASSERT_EQ(::write(pty->fd, requests.constData(), size_t(requests.size())), requests.size());
        else
            tcp->socket.write(requests);
        spinUntil(
            [&] {
                if (pty) {
                    char buf[4096];
                    ssize_t n;
                    while ((n = ::read(pty->fd, buf, sizeof buf)) > 0)
                        got.append(buf, int(n));
                } else {
                    got += tcp->got;
                    tcp->got.clear();
                }
                if (arrivals.empty() || arrivals.back().second != got.size())
                    arrivals.emplace_back(t.elapsed(), got.size());
                return got.size() >= 15499;
            },
            20000);
        const qint64 took = t.elapsed();
        ASSERT_EQ(got.size(), 15499);
        EXPECT_GE(took, c.delayMs + wireMs * 8 / 10);
        EXPECT_LE(took, c.delayMs + wireMs * 3);
        // In order, each whole: the value answer, then the report packet.
        EXPECT_TRUE(crcOk(got, 131, 132));
        EXPECT_DOUBLE_EQ(slotValue(got, 1), 10.0);
        const QByteArray r = got.mid(134);
        EXPECT_EQ(at(r, 1), 1);
        EXPECT_EQ(at(r, 2), 75);
        EXPECT_TRUE(crcOk(r, 15362, 15364));
        // In many pieces, not in one write: halfway through the time, about half is there.
        EXPECT_GT(arrivals.size(), 20u);
        const auto half =
            std::find_if(arrivals.begin(), arrivals.end(), [&](const auto &a) { return a.second >= 15499 / 2; });
        ASSERT_NE(half, arrivals.end());
        EXPECT_GE(half->first, c.delayMs + wireMs * 4 / 10);
    }
}
