#include "Answers.h"
#include "station/Station.h"
#include "Pty.h"
#include "Rig.h"
#include "link/SerialTransport.h"
#include "link/TcpTransport.h"
#include "support/QtTestApp.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using answers::bytes;

namespace {

// --- TCP ---------------------------------------------------------------------------------

struct Server {
    QTcpServer server;
    QTcpSocket *peer = nullptr;

    Server()
    {
        coreApp();
        server.listen(QHostAddress::LocalHost, 0);
    }
    Endpoint endpoint() const { return {0, QStringLiteral("127.0.0.1"), server.serverPort()}; }
    bool accept()
    {
        if (!spinUntil([&] { return server.hasPendingConnections(); }))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
};

TEST(TcpTransport, ConnectsWithoutBlockingAndCarriesBytesBothWays)
{
    Server s;
    ASSERT_TRUE(s.server.isListening());
    TcpTransport t;
    EXPECT_TRUE(t.open(s.endpoint()));
    ASSERT_TRUE(s.accept());
    ASSERT_TRUE(spinUntil([&] { return t.isConnected(); }));

    t.write(bytes({1, 70, 0, 0, 0, 0, 5, 0x88}));
    ASSERT_TRUE(spinUntil([&] { return s.peer->bytesAvailable() >= 8; }));
    EXPECT_EQ(s.peer->readAll(), bytes({1, 70, 0, 0, 0, 0, 5, 0x88}));

    const QByteArray answer = answers::values(1);
    s.peer->write(answer);
    ASSERT_TRUE(spinUntil([&] { return t.bytesWaiting() >= answer.size(); }));
    EXPECT_EQ(t.readAll(), answer);
    EXPECT_EQ(t.bytesWaiting(), 0);
}

TEST(TcpTransport, ARefusedConnectionOnlyLeavesTheSocketUnconnected)
{
    quint16 port = 0;
    {
        Server s;   // a port that was free a moment ago and is closed now
        port = s.server.serverPort();
    }
    TcpTransport t;
    t.open({0, QStringLiteral("127.0.0.1"), port});
    ASSERT_TRUE(spinUntil([&] { return !t.isOpen(); }));
    t.write(bytes({1, 2, 3}));
    EXPECT_EQ(t.bytesWaiting(), 0);
    EXPECT_TRUE(t.readAll().isEmpty());
    EXPECT_FALSE(t.isConnected());
}

TEST(TcpTransport, AFloodIsBufferedOnlyUpToTheReadLimit)
{
    Server s;
    TcpTransport t;
    t.open(s.endpoint());
    ASSERT_TRUE(s.accept());
    ASSERT_TRUE(spinUntil([&] { return t.isConnected(); }));
    const qint64 flood = 4 * Transport::MaxBuffered;
    s.peer->write(QByteArray(flood, 'x'));
    qint64 total = 0;
    while (total < flood) {
        ASSERT_TRUE(spinUntil([&] { return t.bytesWaiting() > 0; }));
        const QByteArray chunk = t.readAll();
        ASSERT_LE(chunk.size(), Transport::MaxBuffered);
        total += chunk.size();
    }
    EXPECT_EQ(total, flood);
}

// --- Serial line over a pseudo-terminal -----------------------------------------------

struct SerialBench {
    QTemporaryDir dir;
    QString com1 = dir.filePath(QStringLiteral("com1"));
    std::unique_ptr<Pty> pty = std::make_unique<Pty>();
    SerialTransport serial{SerialTransport::deviceTable({{1, com1}})};
    ScriptedTransport tcp;
    Station st;
    Link link{st, serial, tcp};
    Recorder rec;
    PollCycle cycle{st, link, &rec};

    SerialBench()
    {
        coreApp();
        plugIn();
    }
    // (Re)points COM1 at the current pseudo-terminal.
    bool plugIn()
    {
        QFile::remove(com1);
        return pty->ok() && QFile::link(pty->slavePath(), com1);
    }
    QByteArray lineOutput(qsizetype n)
    {
        QByteArray got;
        spinUntil([&] {
            got += pty->read();
            return got.size() >= n;
        });
        return got;
    }
};

TEST(SerialTransport, MapsComPortsToDevicesByTableThenByDefault)
{
    const auto map = SerialTransport::deviceTable({{2, QStringLiteral("/dev/ttyUSB0")}});
    EXPECT_EQ(map(2), QStringLiteral("/dev/ttyUSB0"));
    if (qEnvironmentVariableIsEmpty("TABLO_COM3")) {
        EXPECT_EQ(map(3), QStringLiteral("/dev/ttyS2"));
    }
    qputenv("TABLO_COM7", "/dev/ttyACM1");
    EXPECT_EQ(SerialTransport::defaultDevice(7), QStringLiteral("/dev/ttyACM1"));
    qunsetenv("TABLO_COM7");
    EXPECT_EQ(SerialTransport::defaultDevice(7), QStringLiteral("/dev/ttyS6"));
}

TEST(SerialTransport, AMissingDeviceFailsToOpenWithAReason)
{
    coreApp();
    QTemporaryDir dir;
    SerialTransport t(SerialTransport::deviceTable({{1, dir.filePath(QStringLiteral("nothing"))}}));
    EXPECT_FALSE(t.open({1, {}, 0}));
    EXPECT_FALSE(t.isOpen());
    EXPECT_FALSE(t.lastError().isEmpty());
    t.write(bytes({1, 2}));   // harmless while closed
    EXPECT_EQ(t.bytesWaiting(), 0);
}

// The operator is told why the port failed and which device it was.
TEST(SerialTransport, AFailedOpenSaysWhyAndNamesTheDevice)
{
    coreApp();
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("ttyUSB9"));
    const QString plain = dir.filePath(QStringLiteral("plain"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    struct Case {
        QString device;
        SerialTransport::Failure failure;
        QString text;
    };
    const Case cases[] = {
        {missing, SerialTransport::Failure::Missing, QStringLiteral("пристрій не існує: ") + missing},
        {plain, SerialTransport::Failure::NotSerial, QStringLiteral("це не послідовний порт: ") + plain},
        {dir.path(), SerialTransport::Failure::NotSerial, QStringLiteral("це не послідовний порт: ") + dir.path()},
        {QStringLiteral("/dev/null"), SerialTransport::Failure::NotSerial,
         QStringLiteral("це не послідовний порт: /dev/null")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.device.toStdString());
        SerialTransport t(SerialTransport::deviceTable({{3, c.device}}));
        EXPECT_FALSE(t.open({3, {}, 0}));
        EXPECT_FALSE(t.isOpen());
        EXPECT_EQ(t.lastFailure(), c.failure);
        EXPECT_EQ(t.errorText(), c.text);

        // What the windows and tablo-fetch show.
        Station st;
        st.project.linkKind = 3;
        ScriptedTransport tcp;
        Link link(st, t, tcp);
        EXPECT_FALSE(link.openSerialIfClosed());
        EXPECT_EQ(link.portFailureText(), QStringLiteral("Помилка СОМ порту !!!\n") + c.text);
    }
    // A port another user of the line holds.
    Pty pty;
    ASSERT_TRUE(pty.ok());
    SerialTransport holder(SerialTransport::deviceTable({{1, pty.slavePath()}}));
    ASSERT_TRUE(holder.open({1, {}, 0})) << holder.lastError().toStdString();
    SerialTransport second(SerialTransport::deviceTable({{1, pty.slavePath()}}));
    EXPECT_FALSE(second.open({1, {}, 0}));
    EXPECT_EQ(second.lastFailure(), SerialTransport::Failure::InUse);
    EXPECT_EQ(second.errorText(), QStringLiteral("порт зайнятий іншою програмою: ") + pty.slavePath());
    holder.close();
    EXPECT_TRUE(second.open({1, {}, 0})) << second.lastError().toStdString();
    EXPECT_TRUE(second.errorText().isEmpty());

    // A user outside the dialout group gets the remedy with the reason (root cannot see it).
    const QString denied =
        SerialTransport::failureText(SerialTransport::Failure::NoPermission, QStringLiteral("/dev/ttyS0"));
    EXPECT_TRUE(denied.startsWith(QStringLiteral("немає дозволу на доступ до порту: /dev/ttyS0")));
    EXPECT_TRUE(denied.contains(QStringLiteral("dialout")));
}

TEST(SerialLink, ThePollingCycleTalksToTheControllerOverAPseudoTerminal)
{
    SerialBench b;
    ASSERT_TRUE(b.pty->ok());
    b.st.project.valueLabels[0][1] = {.present = 1, .block = 5, .pin = 2};

    b.cycle.tick();   // opens COM1 and sends the key request
    ASSERT_TRUE(b.serial.isOpen()) << b.serial.lastError().toStdString();
    EXPECT_EQ(b.lineOutput(8), bytes({0x01, 0x46, 0x00, 0x00, 0x00, 0x00, 0x05, 0x88}));

    b.cycle.tick();   // step 1
    const QByteArray request = b.lineOutput(75);
    ASSERT_EQ(request.size(), 75);
    EXPECT_EQ(request.mid(3, 2), bytes({5, 2}));

    std::array<std::int32_t, 32> v{};
    v[0] = -1000;
    const QByteArray answer = answers::values(0, v);
    // Split across two writes, as a slow line delivers it.
    ASSERT_TRUE(b.pty->write(answer.left(60)));
    ASSERT_TRUE(spinUntil([&] { return b.serial.bytesWaiting() >= 60; }));
    ASSERT_TRUE(b.pty->write(answer.mid(60)));
    ASSERT_TRUE(spinUntil([&] { return b.serial.bytesWaiting() >= answer.size(); }));
    b.cycle.tick();   // step 2
    EXPECT_EQ(b.rec.values, (std::vector<Applied>{{ElementKind::Parametr_Label, 1, -1000}}));
    EXPECT_EQ(b.serial.bytesWaiting(), 0);
}

TEST(SerialLink, AnAdapterPulledOutIsClosedAndOpenedAgainWhenItReturns)
{
    SerialBench b;
    ASSERT_TRUE(b.pty->ok());
    b.cycle.tick();
    ASSERT_TRUE(b.serial.isOpen());
    b.lineOutput(8);
    b.cycle.tick();

    b.pty->hangUp();
    ASSERT_TRUE(spinUntil([&] { return !b.serial.isOpen(); }));

    // Gone: ticks fail to open, the cycle stays at its start and flags the fault.
    QFile::remove(b.com1);
    b.cycle.tick();
    EXPECT_EQ(b.st.poll.linkFault, 1);
    EXPECT_EQ(b.st.poll.pollStep, 0);

    // Back: the next tick opens it and starts the cycle with a key request.
    b.pty = std::make_unique<Pty>();
    ASSERT_TRUE(b.plugIn());
    b.cycle.tick();
    EXPECT_TRUE(b.serial.isOpen());
    EXPECT_EQ(b.st.poll.linkFault, 0);
    EXPECT_EQ(b.lineOutput(8).size(), 8);
}

}   // namespace
