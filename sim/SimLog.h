#pragma once
// The exchange log: one line per request, answer or event, with the time in milliseconds since
// the simulator started, the endpoint, the direction, the bytes in hex and the parsed fields.
//
//     1234 tcp#1 RX 01 47 00 ... | values page 0: 26.0 26.1
//     1235 tcp#1 TX 01 47 00 ... | status 0 26.0=48.2 26.1=51.07
#include <QFile>
#include <QString>
#include <memory>

class QIODevice;

namespace sim {

class SimLog {
public:
    static constexpr int HexLimit = 140;   // longer answers (archives) are shown by their start

    bool open(const QString &path, QString *error = nullptr);
    void setDevice(QIODevice *device);   // not owned
    bool enabled() const { return device_ != nullptr; }

    void frame(qint64 ms, const QString &endpoint, const char *direction, const QByteArray &bytes, const QString &text);
    void note(qint64 ms, const QString &endpoint, const QString &text);

private:
    void write(const QString &line);
    std::unique_ptr<QFile> file_;
    QIODevice *device_ = nullptr;
};

}   // namespace sim
