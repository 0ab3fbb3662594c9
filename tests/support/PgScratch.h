#pragma once
// A throw-away PostgreSQL cluster for the tests: initdb into a temporary folder, the server
// listening only on a Unix socket in that folder (no TCP port), stopped and removed at the end.
// PostgreSQL refuses to run as root, so under root the cluster belongs to the `postgres`
// system user and its commands run through runuser.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <unistd.h>

class PgScratch {
public:
    // The folder of initdb, pg_ctl and postgres, or empty when no server is installed.
    static QString binDir()
    {
        const QString fromEnv = qEnvironmentVariable("TABLO_PG_BINDIR");
        if (!fromEnv.isEmpty())
            return QFileInfo::exists(fromEnv + "/initdb") ? fromEnv : QString();
        QDir lib(QStringLiteral("/usr/lib/postgresql"));
        QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        for (const QString &v : versions) {
            const QString dir = lib.filePath(v + "/bin");
            if (QFileInfo::exists(dir + "/initdb") && QFileInfo::exists(dir + "/pg_ctl"))
                return dir;
        }
        return {};
    }

    // Why the cluster cannot run here, or nothing when it can be tried.
    static std::optional<QString> unavailable()
    {
        if (binDir().isEmpty())
            return QStringLiteral("no PostgreSQL server binaries (Debian package postgresql-15)");
        if (::geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty())
            return QStringLiteral("running as root without runuser");
        return std::nullopt;
    }

    PgScratch() = default;
    PgScratch(const PgScratch &) = delete;
    PgScratch &operator=(const PgScratch &) = delete;
    ~PgScratch() { stop(); }

    // initdb and start; false with error() set when either fails. Bounded: initdb and the
    // start each get 60 s.
    bool start()
    {
        if (auto why = unavailable()) {
            error_ = *why;
            return false;
        }
        if (!dir_.isValid()) {
            error_ = QStringLiteral("no temporary folder");
            return false;
        }
        bin_ = binDir();
        data_ = dir_.filePath(QStringLiteral("data"));
        socket_ = dir_.path();
        if (::geteuid() == 0) {
            // The postgres user must own the cluster and be able to reach the socket folder.
            if (!run(QStringLiteral("chown"), {QStringLiteral("postgres:postgres"), dir_.path()}, false)
                || !run(QStringLiteral("chmod"), {QStringLiteral("0755"), dir_.path()}, false))
                return false;
            user_ = QStringLiteral("postgres");
        } else {
            user_ = qEnvironmentVariable("USER", QStringLiteral("postgres"));
        }
        if (!run(bin_ + "/initdb",
                 {"-D", data_, "-A", "trust", "-U", user_, "-E", "UTF8", "--locale=C.UTF-8", "--no-sync"}, true))
            return false;
        const QString opts =
            QStringLiteral("-c listen_addresses='' -k %1 -c fsync=off -c max_connections=120").arg(socket_);
        if (!run(bin_ + "/pg_ctl",
                 {"-D", data_, "-o", opts, "-l", dir_.filePath("server.log"), "-w", "-t", "60", "start"}, true))
            return false;
        running_ = true;
        return true;
    }

    // Stops the server (fast shutdown, bounded) if it runs. Stopping twice is harmless.
    void stop()
    {
        if (!running_)
            return;
        run(bin_ + "/pg_ctl", {"-D", data_, "-m", "fast", "-w", "-t", "30", "stop"}, true);
        running_ = false;
    }

    // Stops the server for a while and starts it again on the same data (an outage).
    bool restart()
    {
        stop();
        const QString opts =
            QStringLiteral("-c listen_addresses='' -k %1 -c fsync=off -c max_connections=120").arg(socket_);
        running_ = run(bin_ + "/pg_ctl",
                       {"-D", data_, "-o", opts, "-l", dir_.filePath("server.log"), "-w", "-t", "60", "start"}, true);
        return running_;
    }

    bool running() const { return running_; }
    const QString &error() const { return error_; }
    // The socket folder (the client's host), the superuser, a connection URI to database db.
    const QString &socketDir() const { return socket_; }
    const QString &user() const { return user_; }
    QString uri(const QString &db = QStringLiteral("postgres")) const
    {
        return QStringLiteral("postgresql://%1@/%2?host=%3").arg(user_, db, socket_);
    }
    // Runs SQL through psql as the superuser; false when psql fails.
    bool psql(const QString &sql, QString *out = nullptr, const QString &db = QStringLiteral("postgres"))
    {
        return run(bin_ + "/psql",
                   {"-X", "-q", "-t", "-A", "-v", "ON_ERROR_STOP=1", "-h", socket_, "-U", user_, "-d", db, "-c", sql},
                   true, out);
    }

private:
    bool run(const QString &program, const QStringList &args, bool asOwner, QString *out = nullptr)
    {
        QProcess p;
        // The owner cannot always enter the test's own folder (a private temporary clone):
        // it starts in the cluster's folder, which it owns.
        p.setWorkingDirectory(dir_.path());
        if (asOwner && ::geteuid() == 0)
            p.start(QStringLiteral("runuser"), QStringList{"-u", "postgres", "--", program} + args);
        else
            p.start(program, args);
        const bool finished = p.waitForFinished(90000);
        const QString output = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
        if (out)
            *out = output.trimmed();
        if (!finished) {
            p.kill();
            p.waitForFinished(5000);
            error_ = QStringLiteral("%1 did not finish").arg(QFileInfo(program).fileName());
            return false;
        }
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            error_ = QStringLiteral("%1 failed: %2").arg(QFileInfo(program).fileName(), (output + errors).trimmed());
            return false;
        }
        return true;
    }

    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/tablo-pg-XXXXXX")};
    QString bin_, data_, socket_, user_, error_;
    bool running_ = false;
};
