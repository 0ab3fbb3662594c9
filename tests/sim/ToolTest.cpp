// The tablo-sim program as an engineer runs it: on a project file, with a scenario, a log and
// console commands.
#include "SimWire.h"

#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace simtest;

namespace {

bool writeProject(const QTemporaryDir &dir)
{
    fixture::PrtProject p;
    p.linkKind = 9;
    p.controllerAddress = 4;
    p.elements.blockType[12] = 10;   // SUM
    p.elements.blockType[20] = 25;   // S_P
    p.elements.blockType[98] = 41;
    p.elements.blockType[99] = 42;
    auto &label = p.elements.valueLabels[0][1];
    label.present = 1;
    label.block = 20;
    label.pin = 3;
    if (!fixture::writePrt(dir.filePath(QStringLiteral("boiler.prt")), p))
        return false;

    fixture::NetList net;
    net.parts.push_back(
        fixture::part(12, QStringLiteral("SUM2_4"), fixture::numberValues({1, 2, 3, 4, 5, 6, 7, 8, 9})));
    std::array<fixture::SetPoint, 8> points{};
    for (int k = 0; k < 8; ++k)
        points[size_t(k)] = {QStringLiteral("Т%1").arg(k), 0.5 + k};
    net.parts.push_back(
        fixture::part(20, QStringLiteral("S_P"), fixture::setPointValues(QStringLiteral("Завдання"), points)));
    std::array<fixture::NamedPair, 32> events{};
    events[2].name = QStringLiteral("Перегрів котла");
    net.parts.push_back(
        fixture::part(99, QStringLiteral("JUR"), fixture::archiveValues(0, QStringLiteral("Журнал"), events)));
    return fixture::writeNet(dir.filePath(QStringLiteral("plant.net")), net);
}

}   // namespace

TEST(SimTool, ServesAGeneratedProjectTakesConsoleCommandsAndLogsTheExchange)
{
    coreApp();
    QTemporaryDir dir;
    ASSERT_TRUE(writeProject(dir));
    QFile scenario(dir.filePath(QStringLiteral("night.scn")));
    ASSERT_TRUE(scenario.open(QIODevice::WriteOnly));
    scenario.write("pin 12 0 12.5\nalarms off\n");
    scenario.close();
    const QString logPath = dir.filePath(QStringLiteral("exchange.log"));

    QProcess proc;
    proc.setProgram(QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("tablo-sim")));
    proc.setArguments({dir.filePath(QStringLiteral("boiler.prt")), QStringLiteral("--tcp"),
                       QStringLiteral("127.0.0.1:0"), QStringLiteral("--log"), logPath, QStringLiteral("--no-history"),
                       QStringLiteral("--scenario"), scenario.fileName()});
    QByteArray out;
    QObject::connect(&proc, &QProcess::readyReadStandardOutput, [&] { out += proc.readAllStandardOutput(); });
    proc.start();
    ASSERT_TRUE(proc.waitForStarted(5000));
    const QRegularExpression tcpLine(QStringLiteral("TCP 127\\.0\\.0\\.1:(\\d+)"));
    ASSERT_TRUE(spinUntil([&] { return tcpLine.match(QString::fromUtf8(out)).hasMatch(); }, 10000))
        << out.toStdString();
    const quint16 port = quint16(tcpLine.match(QString::fromUtf8(out)).captured(1).toUInt());
    // The next line of the start-up, which may come in a later read.
    EXPECT_TRUE(spinUntil([&] { return out.contains("controller address 4"); }, 10000)) << out.toStdString();

    TcpClient c(port);
    ASSERT_TRUE(c.connected);
    const QByteArray a = c.exchange(pairsFrame(4, 71, 0, {{12, 0}, {20, 3}, {99, 0}}), 134);
    ASSERT_EQ(a.size(), 134);
    EXPECT_TRUE(crcOk(a, 131, 132));
    EXPECT_DOUBLE_EQ(slotValue(a, 1), 12.5);   // pinned by the scenario
    EXPECT_DOUBLE_EQ(slotValue(a, 2), 3.5);    // set-point 3 from the netlist
    EXPECT_EQ(at(a, 4 + 8) | at(a, 4 + 9) | at(a, 4 + 10) | at(a, 4 + 11), 0);

    proc.write("alarm 2 on\n");
    // The console line travels through a pipe and the simulator's event loop: generous under load.
    EXPECT_TRUE(spinUntil([&] { return at(c.exchange(pairsFrame(4, 71, 0, {{99, 0}}), 134), 7) == 0x04; }, 20000));
    c.socket.write(pairsFrame(1, 71, 0, {{12, 0}}));   // address 1 is not this controller
    const QByteArray b = c.exchange(pairsFrame(4, 72, 0, {{12, 0}}), 38);
    EXPECT_EQ(b.size(), 38);
    EXPECT_TRUE(crcOk(b, 35, 36));

    proc.terminate();
    ASSERT_TRUE(proc.waitForFinished(15000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("RX 04 47 00 0C 00 14 03 63 00")));
    EXPECT_TRUE(text.contains(QStringLiteral("alarms=00000004")));
    EXPECT_TRUE(text.contains(QStringLiteral("sim -- scenario: pin 12 0 12.5")));
    EXPECT_TRUE(text.contains(QStringLiteral("sim -- console: alarm 2 on")));
    EXPECT_TRUE(text.contains(QStringLiteral("address 1, not ours")));
}
