#include "PtyEndpoint.h"

#include "Simulator.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyEndpoint::PtyEndpoint(Simulator &simulator) : Endpoint(simulator, QStringLiteral("pty")) {}

PtyEndpoint::~PtyEndpoint()
{
    removeLink();
    readNotifier_.reset();
    writeNotifier_.reset();
    closeTerminal();
}

bool PtyEndpoint::open(const QString &linkPath, QString *error)
{
    link_ = linkPath;
    if (!openTerminal(error))
        return false;
    if (!link_.isEmpty() && !makeLink(error)) {
        closeTerminal();
        return false;
    }
    return true;
}

bool PtyEndpoint::openTerminal(QString *error)
{
    char path[256] = {};
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, path, nullptr, nullptr) != 0) {
        if (error)
            *error =
                QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw 8-bit line at the controller's speed: no echo, no line editing, no translation.
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    master_ = master;
    slave_ = slave;
    device_ = QString::fromLocal8Bit(path);
    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyEndpoint::readable);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyEndpoint::writable);
    resetSession(QStringLiteral("pty"));
    sim_.log().note(sim_.elapsedMs(), name(), QStringLiteral("pseudo-terminal %1").arg(device_));
    return true;
}

void PtyEndpoint::closeTerminal()
{
    // The notifiers may be delivering the very event that led here.
    for (auto *n : {&readNotifier_, &writeNotifier_}) {
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->disconnect(this);
            n->release()->deleteLater();
        }
    }
    pending_.clear();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

bool PtyEndpoint::makeLink(QString *error)
{
    const QFileInfo info(link_);
    if (info.exists() && !info.isSymLink()) {
        if (error)
            *error = QStringLiteral("%1 exists and is not a symlink; not replaced").arg(link_);
        return false;
    }
    if (info.isSymLink())
        QFile::remove(link_);
    if (!QFile::link(device_, link_)) {
        if (error)
            *error = QStringLiteral("cannot make the symlink %1").arg(link_);
        return false;
    }
    return true;
}

void PtyEndpoint::removeLink()
{
    if (link_.isEmpty())
        return;
    const QFileInfo info(link_);
    if (info.isSymLink() && info.symLinkTarget() == device_)
        QFile::remove(link_);
}

void PtyEndpoint::readable()
{
    char buf[4096];
    const int fd = master_;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            received(QByteArray(buf, int(n)));
            if (master_ != fd)   // the connection was closed while handling these bytes
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: all read. EIO cannot last while our own slave descriptor is open; should it
        // come, stop watching rather than spin.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            readNotifier_->setEnabled(false);
        return;
    }
}

void PtyEndpoint::send(const QByteArray &bytes)
{
    if (master_ < 0)
        return;
    pending_.append(bytes);
    writable();
}

void PtyEndpoint::writable()
{
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeNotifier_->setEnabled(true);
            return;
        }
        pending_.clear();   // the terminal is gone
        break;
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(false);
}

void PtyEndpoint::closeConnection()
{
    // A closed terminal takes unread bytes with it: let the station read the last answer
    // first (for two seconds at most). The bytes reach the station's side of the terminal a
    // moment after they are written, so an empty queue counts only after a short while.
    drainFromMs_ = sim_.elapsedMs();
    closeWhenDrained();
}

void PtyEndpoint::closeWhenDrained()
{
    const qint64 now = sim_.elapsedMs();
    int unread = 0;
    const bool drained =
        now - drainFromMs_ >= 50 && pending_.isEmpty() && (::ioctl(slave_, FIONREAD, &unread) != 0 || unread == 0);
    if (!drained && now - drainFromMs_ < 2000) {
        QTimer::singleShot(20, this, &PtyEndpoint::closeWhenDrained);
        return;
    }
    replaceTerminal();
}

void PtyEndpoint::replaceTerminal()
{
    // Like a pulled cable: this terminal goes away and a new one takes its place.
    const QString old = device_;
    closeTerminal();
    QString error;
    if (!openTerminal(&error)) {
        sim_.log().note(sim_.elapsedMs(), QStringLiteral("pty"), error);
        Q_EMIT sim_.message(error);
        return;
    }
    if (!link_.isEmpty() && !makeLink(&error)) {
        sim_.log().note(sim_.elapsedMs(), name(), error);
        Q_EMIT sim_.message(error);
    }
    const QString text = QStringLiteral("pseudo-terminal %1 closed; now %2").arg(old, device_);
    Q_EMIT sim_.message(text);
    Q_EMIT sim_.ptyPathChanged(device_);
}

}   // namespace sim
