#pragma once
// The byte pipe under the controller link: a serial port or a TCP socket. Every call returns at
// once; nothing here waits for bytes.
#include <QByteArray>
#include <QString>
#include <cstdint>

// Where a transport connects to. A serial transport uses `comPort` (1..8), a TCP transport
// `host` and `port`.
struct Endpoint {
    int comPort = 0;
    QString host;
    std::uint16_t port = 0;
};

class Transport {
public:
    // Input kept buffered before the transport stops taking more from the device. Larger than
    // every answer of the protocol (the report packet is 15365 bytes), small enough that a
    // flood of garbage cannot grow without bound.
    static constexpr qint64 MaxBuffered = 65536;

    virtual ~Transport() = default;

    // Serial: opens the port now (false when it cannot be opened). TCP: starts connecting
    // (true when the attempt has started; a refused or failed connect only leaves the socket
    // unconnected).
    virtual bool open(const Endpoint &to) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Ready to carry bytes. A serial port is as soon as it is open; a TCP socket only once its
    // connect has completed.
    virtual bool isConnected() const { return isOpen(); }
    // Why the last connect failed or the connection ended, for the operator (empty when
    // nothing went wrong or the transport cannot tell).
    virtual QString errorText() const { return {}; }
    // The endpoint of the last open() call.
    virtual Endpoint endpoint() const = 0;

    // Queues the bytes for sending; dropped when the transport is not open or connected.
    virtual void write(const QByteArray &bytes) = 0;
    virtual qint64 bytesWaiting() const = 0;
    // Everything waiting; leaves the receive buffer empty.
    virtual QByteArray readAll() = 0;
};
