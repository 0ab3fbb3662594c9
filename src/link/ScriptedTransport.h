#pragma once
// A transport played by a script, for engine tests and benchmarks: it records every open,
// close and write, and hands out whatever bytes the script injects, in any pieces and at any
// time. A responder can answer each written frame at once.
#include "link/Transport.h"
#include <functional>
#include <vector>

class ScriptedTransport : public Transport {
public:
    // Called after each write that the transport accepted.
    using Responder = std::function<void(ScriptedTransport &, const QByteArray &written)>;

    bool open(const Endpoint &to) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool isConnected() const override { return open_ && !connectPending; }
    QString errorText() const override { return error; }
    Endpoint endpoint() const override { return endpoint_; }
    void write(const QByteArray &bytes) override;
    qint64 bytesWaiting() const override { return input_.size(); }
    QByteArray readAll() override;

    // Bytes arriving from the far end (kept until read, up to MaxBuffered like a real port).
    void inject(const QByteArray &bytes);
    // The far end went away: closed, unread input lost.
    void drop();

    // Script
    bool failOpen = false;          // open() fails
    bool writeWhenClosed = false;   // accept writes also while closed (a socket still connecting)
    bool connectPending = false;    // an open transport is still connecting (not connected)
    QString error;                  // what errorText() says
    Responder responder;

    // Record
    std::vector<Endpoint> opens;   // every open() call, successful or not
    int closes = 0;
    std::vector<QByteArray> writes;   // every accepted write
    int reads = 0;                    // readAll() calls

    QByteArray takeWrites();   // all recorded writes concatenated, record cleared

private:
    bool open_ = false;
    Endpoint endpoint_;
    QByteArray input_;
};
