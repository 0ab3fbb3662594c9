#pragma once
// The command line of tablo-sim, read without touching any file, port or terminal, so that it
// can be checked on any input.
#include "sim/Simulator.h"
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <vector>

namespace sim {

class SimCommandLine {
public:
    SimCommandLine();

    // The arguments, the program's name first. False on a malformed command line (a usage
    // error), with the reason.
    bool parse(const QStringList &arguments, QString *error);
    // The options' values over `options`, which a scenario may have configured first. False
    // with the reason when a value is out of its range or malformed.
    bool applyTo(SimulatorOptions &options, QString *error) const;

    QCommandLineParser &parser() { return cl_; }   // for --help and --version
    bool helpAsked() const { return cl_.isSet(help_); }
    bool versionAsked() const { return cl_.isSet(version_); }
    QStringList projects() const { return cl_.positionalArguments(); }
    QString scenario() const { return cl_.isSet(scenario_) ? cl_.value(scenario_) : QString(); }
    QString log() const { return cl_.isSet(log_) ? cl_.value(log_) : QString(); }
    bool tcpAsked() const { return cl_.isSet(tcp_); }
    QString tcp() const { return cl_.value(tcp_); }
    bool ptyAsked() const { return cl_.isSet(pty_); }
    QString pty() const { return cl_.value(pty_); }

private:
    QCommandLineParser cl_;
    QCommandLineOption help_, version_;
    QCommandLineOption tcp_, pty_, address_, scenario_, log_, seed_, trendPeriod_, reportPeriod_, noHistory_, noAlarms_,
        alarmInterval_, drop_, corrupt_, truncate_, lengthen_, delay_, garbage_, baud_, close_, speed_, pageBuild_;
};

// "HOST:PORT" or "PORT" (on 127.0.0.1); "localhost" is 127.0.0.1. False when malformed.
bool splitHostPort(const QString &text, QHostAddress &host, quint16 &port);

}   // namespace sim
