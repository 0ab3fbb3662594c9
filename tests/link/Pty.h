#pragma once
// A pseudo-terminal pair for serial-line tests: the test plays the controller on the master
// side, the program opens the slave path as its serial port.
#include <QByteArray>
#include <QString>

class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool ok() const { return master_ >= 0; }
    QString slavePath() const { return slavePath_; }

    // Everything the program has written so far (never blocks).
    QByteArray read();
    bool write(const QByteArray &bytes);
    // The far end disappears, as an unplugged adapter does.
    void hangUp();

private:
    int master_ = -1;
    QString slavePath_;
};
