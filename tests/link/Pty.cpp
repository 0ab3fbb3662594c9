#include "Pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

Pty::Pty()
{
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    master_ = master;
    slavePath_ = QString::fromLocal8Bit(name);
}

Pty::~Pty() { hangUp(); }

QByteArray Pty::read()
{
    QByteArray out;
    char buf[4096];
    for (;;) {
        const ssize_t n = master_ >= 0 ? ::read(master_, buf, sizeof buf) : -1;
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

bool Pty::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return done == bytes.size();
}

void Pty::hangUp()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
