#pragma once
// A station, a link over scripted transports and the trend download engine with a recording
// listener; a scripted controller that answers trend packets from an image the test lays out
// byte by byte.
#include "station/Station.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"
#include "trends/TrendDownload.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

namespace trendtest {

// CRC-16/MODBUS written out bit by bit (initial 0xFFFF, reflected polynomial 0xA001), apart
// from the link's own, to build the controller's answers; its check value for "123456789" is
// 0x4B37.
inline std::uint16_t modbusCrc(const QByteArray &b, int count)
{
    std::uint16_t r = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        r ^= std::uint8_t(b[i]);
        for (int k = 0; k < 8; ++k)
            r = (r & 1) ? std::uint16_t((r >> 1) ^ 0xA001) : std::uint16_t(r >> 1);
    }
    return r;
}

inline QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

// A trend image of 7872 zero bytes with helpers to set its fields.
struct Image {
    QByteArray bytes = QByteArray(7872, '\0');

    void word(int sample, int channel, std::uint32_t w)
    {
        const int o = 4 * (sample * 4 + channel);
        for (int k = 0; k < 4; ++k)
            bytes[o + k] = char(w >> (8 * k) & 0xFF);
    }
    void stamp(int k, int hour, int minute, int second, int year, int month, int day)
    {
        const int o = 7698 + 6 * k;
        const int v[6] = {hour, minute, second, year, month, day};
        for (int i = 0; i < 6; ++i)
            bytes[o + i] = char(v[i]);
    }
    void sampleCount(int n)
    {
        bytes[7804] = char(n >> 8);
        bytes[7805] = char(n & 0xFF);
    }
    void set(int offset, int value) { bytes[offset] = char(value); }

    // Answer to packet n (1..32): two header bytes, the packet's 246 image bytes, the CRC over
    // answer bytes 1..246 high byte first, one trailing byte.
    QByteArray answer(int n) const
    {
        QByteArray a;
        a.append(char(1));
        a.append(char(70));
        a.append(bytes.mid((n - 1) * 246, 246));
        const std::uint16_t crc = modbusCrc(a, 246);
        a.append(char(crc >> 8));
        a.append(char(crc & 0xFF));
        a.append(char(0x55));
        return a;
    }
};

struct Events : TrendListener {
    std::vector<std::string> log;   // every call in order, e.g. "startDownloadTimer 600"
    std::vector<trend::TimeLabel> labels;
    std::vector<QString> messages;
    int beeps = 0;
    int draws = 0;
    // At each draw: samples of channel 0 stored so far (non-zero values).
    std::vector<int> storedAtDraw;
    const Station *station = nullptr;

    void note(const std::string &s) { log.push_back(s); }
    void drawChart() override
    {
        ++draws;
        int n = 0;
        for (float v : station->trend.Graf_Values[0])
            n += v != 0.0f;
        storedAtDraw.push_back(n);
        note("drawChart");
    }
    void clearChart() override { note("clearChart"); }
    void drawTimeLabel(const trend::TimeLabel &l) override
    {
        labels.push_back(l);
        note("label " + std::to_string(l.k));
    }
    void beep() override
    {
        ++beeps;
        note("beep");
    }
    void message(const QString &t) override
    {
        messages.push_back(t);
        note("message");
    }
    void showProgress(int v) override { note("progress " + std::to_string(v)); }
    void hideProgress() override { note("hideProgress"); }
    void clearMonitor() override { note("clearMonitor"); }
    void appendMonitor(const QString &t) override { note("monitor" + t.toStdString()); }
    void setFramesEnabled(bool e) override { note(e ? "framesOn" : "framesOff"); }
    void setBusy(bool b) override { note(b ? "busy" : "idle"); }
    void pollTextReset(const QString &t) override { note("pollTextReset " + t.toStdString()); }
    void startDownloadTimer(int ms) override { note("startDownloadTimer " + std::to_string(ms)); }
    void stopDownloadTimer() override { note("stopDownloadTimer"); }
    void armPollRestart() override { note("armPollRestart"); }
    void disableMainWindow() override { note("disableMainWindow"); }
    void startFindTimer(int ms) override { note("startFindTimer " + std::to_string(ms)); }
    void stopFindTimer() override { note("stopFindTimer"); }
    void findFinished() override { note("findFinished"); }

    bool has(const std::string &s) const
    {
        for (const auto &e : log)
            if (e == s)
                return true;
        return false;
    }
};

struct Rig {
    Station st;
    ScriptedTransport serial;
    ScriptedTransport tcp;
    Link link{st, serial, tcp};
    Events ev;
    TrendDownload engine{st, link, &ev};
    Image image;
    bool answering = true;
    // The controller writes the page it delivers (the request's page byte) into the image.
    bool echoPage = true;

    Rig()
    {
        ev.station = &st;
        engine.loadPalette();
        serial.open(Endpoint{1, {}, 0});
        const auto respond = [this](ScriptedTransport &t, const QByteArray &w) {
            if (answering && w.size() == 8 && w[1] == 70 && w[2] >= 1 && w[2] <= 32) {
                if (echoPage)
                    image.set(7806, std::uint8_t(w[5]));
                t.inject(image.answer(w[2]));
            }
        };
        serial.responder = respond;
        tcp.responder = respond;
    }

    ScriptedTransport &active() { return link.isTcp() ? tcp : serial; }

    void useTcp()
    {
        st.project.linkKind = 9;
        st.project.ipAddress = QStringLiteral("127.0.0.1");
        st.project.tcpPort = 4001;
        link.setUpForProject();
    }

    // Asks for a page and starts the download as the polling cycle would.
    void begin(int group, int page)
    {
        ASSERT_TRUE(engine.request(group, page));
        ASSERT_TRUE(engine.start());
    }

    // Ticks until the download ends or `limit` ticks passed; returns the ticks taken.
    int run(int limit = 200)
    {
        int n = 0;
        while (engine.running() && n < limit) {
            engine.tick();
            ++n;
        }
        return n;
    }
};

}   // namespace trendtest
