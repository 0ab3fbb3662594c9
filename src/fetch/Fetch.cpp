#include "fetch/Fetch.h"
#include "app/CommandLine.h"
#include "app/Messages.h"
#include "project/HeadlessLoad.h"
#include "project/ProjectReader.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace fetch {
namespace {

// The project loader's host: the link set-up goes to the session's link, messages to stderr.
class HeadlessHost : public NoLoadHost {
public:
    HeadlessHost(Link &link, QTextStream &err, bool openTcp) : link_(link), err_(err), openTcp_(openTcp) {}
    void connectTcp(const QString &host, std::int32_t port) override
    {
        if (openTcp_)
            link_.connectTcp(host, port);
    }
    void closeTcp() override { link_.closeTcp(); }
    void showMessage(const QString &text) override { messages << text; }
    void parameterError(const QString &text) override { err_ << "tablo-fetch: project: " << text << Qt::endl; }
    void netlistError(const QString &text) override { err_ << "tablo-fetch: netlist: " << text << Qt::endl; }

    QStringList messages;

private:
    Link &link_;
    QTextStream &err_;
    bool openTcp_;
};

// Options whose value is a file that the subcommand writes.
const QStringList OutputOptions = {QStringLiteral("--grf"), QStringLiteral("--jur"), QStringLiteral("--xlsx"),
                                   QStringLiteral("--csv"), QStringLiteral("--pdf")};

// The output options a subcommand takes, as its synopsis names them.
QStringList outputOptionsOf(const Subcommand &s)
{
    QStringList names;
    for (const QString &o : OutputOptions)
        if (s.synopsis.contains(QStringLiteral("[") + o + QStringLiteral(" FILE]")))
            names << o;
    return names;
}

// A help block without the exit codes (the common usage lists them once), headed by its
// subcommand's name.
QString helpBlock(const Subcommand &s)
{
    QStringList lines = s.help.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).startsWith(QLatin1String("Exit codes:"))
            || lines.at(i).startsWith(QLatin1String("Exit status:"))) {
            lines = lines.mid(0, i);
            break;
        }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    QString text = lines.join(u'\n');
    if (!text.startsWith(s.name + u':'))
        text = s.name + QStringLiteral(": ") + text;
    return text + u'\n';
}

}   // namespace

QString checkOutputs(const Subcommand &s, const QStringList &args)
{
    const QStringList accepted = outputOptionsOf(s);
    QStringList paths;
    for (qsizetype i = 0; i + 1 < args.size(); ++i)
        if (accepted.contains(args.at(i)))
            paths << args.at(++i);
    if (accepted.isEmpty())
        return {};
    if (paths.isEmpty())
        return QStringLiteral("nothing to write: give at least one of %1").arg(accepted.join(QStringLiteral(", ")));
    for (const QString &path : paths) {
        const QFileInfo file(path);
        if (file.isDir())
            return QStringLiteral("cannot write %1: it is a directory").arg(path);
        if (file.exists() && !file.isWritable())
            return QStringLiteral("cannot write %1: no permission").arg(path);
        const QFileInfo dir(file.absolutePath());
        if (!dir.isDir())
            return QStringLiteral("cannot write %1: no directory %2")
                .arg(path, QDir::toNativeSeparators(dir.filePath()));
        if (!file.exists() && !dir.isWritable())
            return QStringLiteral("cannot write %1: no permission in %2")
                .arg(path, QDir::toNativeSeparators(dir.filePath()));
    }
    return {};
}

QString versionText() { return QStringLiteral("tablo-fetch 5.1 (SCADA Ж7-301 5.1)\n"); }

Session::Session() : err_(stderr)
{
    serial_ = std::make_unique<SerialTransport>([this](int n) { return station.poll.comDevice(n); });
    tcp_ = std::make_unique<TcpTransport>();
    link_ = std::make_unique<Link>(station, *serial_, *tcp_, SteadyClock::instance());
}

Session::~Session() = default;

bool Session::loadProject(const QString &path, QString *error, bool openTcp)
{
    NoProjectView view;   // nothing is shown
    HeadlessHost host(*link_, err_, openTcp);
    ProjectReader reader(station, view, host);
    const bool ok = reader.load(path) && station.project.projectLoaded != 0;
    if (!ok && error) {
        *error = host.messages.isEmpty() ? QStringLiteral("cannot load the project %1").arg(path)
                                         : host.messages.join(QStringLiteral("; "));
    }
    return ok;
}

QString Session::linkText() const
{
    const ProjectModel &m = station.project;
    if (m.linkKind >= 1 && m.linkKind <= 8)
        return QStringLiteral("COM%1 (%2)").arg(m.linkKind).arg(station.poll.comDevice(m.linkKind));
    return QStringLiteral("TCP %1:%2").arg(m.ipAddress).arg(m.tcpPort);
}

bool Session::connect(QString *error, int timeoutMs)
{
    if (link_->isSerial()) {
        if (link_->openSerialIfClosed())
            return true;
        if (error)
            *error = link_->portFailureText().replace(u'\n', QStringLiteral(" "))
                + QStringLiteral(" (COM%1)").arg(station.project.linkKind);
        return false;
    }
    if (station.project.linkKind != 9) {
        if (error)
            *error = QStringLiteral("the project's link kind %1 names no COM port and no TCP connection")
                         .arg(station.project.linkKind);
        return false;
    }
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&tcp_->socket(), &QTcpSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(&tcp_->socket(), &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    if (!tcp_->isConnected() && tcp_->isOpen()) {
        limit.start(timeoutMs);
        loop.exec();
    }
    if (tcp_->isConnected())
        return true;
    if (error)
        *error = QStringLiteral("no connection to %1 (%2)").arg(linkText(), tcp_->socket().errorString());
    return false;
}

bool Session::exec(int timeoutMs)
{
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    quit_ = [&loop] { loop.quit(); };
    limit.start(timeoutMs);
    loop.exec();
    quit_ = nullptr;
    return !timedOut;
}

void Session::quit()
{
    if (quit_)
        QTimer::singleShot(0, quit_);
}

void Session::progress(const QString &line) { err_ << "tablo-fetch: " << line << Qt::endl; }

void Session::error(const QString &line) { err_ << "tablo-fetch: " << line << Qt::endl; }

bool Session::wrote(const QString &path, bool ok, const QString &why, const QString &failure)
{
    if (ok) {
        progress(QStringLiteral("wrote %1").arg(path));
        return true;
    }
    err_ << "tablo-fetch: " << failure << ' ' << path << (why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why))
         << Qt::endl;
    return false;
}

QString FindHour::text() const
{
    return QStringLiteral("%1-%2-%3 %4 h")
        .arg(2000 + year)
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(hour);
}

QString parseFindHour(const QString &value, int firstYear, int lastYear, FindHour &into)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})[ T](\\d{1,2})$"));
    const auto m = form.match(value.trimmed());
    const QDate date =
        m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
    const int hour = m.hasMatch() ? m.captured(4).toInt() : -1;
    if (!date.isValid() || date.year() < firstYear || date.year() > lastYear || hour < 0 || hour > 23)
        return QStringLiteral("bad --find value \"%1\": expected \"YYYY-MM-DD HH\" (%2..%3, hour 0..23)")
            .arg(value)
            .arg(firstYear)
            .arg(lastYear);
    into.hour = hour;
    into.day = date.day();
    into.month = date.month();
    into.year = date.year() % 100;
    return {};
}

QString usage(const std::vector<const Subcommand *> &subcommands)
{
    QString u =
        QStringLiteral("Usage: tablo-fetch [--com N=DEVICE]... PROJECT.prt SUBCOMMAND [options]\n"
                       "Downloads an archive of the Ж7 controller of a project without the operator station's\n"
                       "windows: the same requests, pacing and checks, the same files.\n"
                       "\n"
                       "  PROJECT.prt       the project: its link (COM1..COM8 or TCP host and port), controller\n"
                       "                    address and the names of the recorded parameters\n"
                       "  --com N=DEVICE    serial device for COMN (N = 1..9), e.g. --com 1=/dev/ttyUSB0; may be\n"
                       "                    repeated; default COMN is /dev/ttyS(N-1); TABLO_COMN gives the same\n"
                       "  -h, --help        show this help and exit\n"
                       "  --version         show the version and exit\n"
                       "\n"
                       "Subcommands (SUBCOMMAND --help shows one; all but collect write at least one FILE):\n");
    for (const Subcommand *s : subcommands)
        u += QStringLiteral("  %1 %2\n").arg(s->name, s->synopsis);
    for (const Subcommand *s : subcommands)
        u += u'\n' + helpBlock(*s);
    u += QStringLiteral("\nProgress goes to standard error.\n"
                        "Exit status: 0 done, 2 malformed command line, 3 the controller could not be reached or\n"
                        "the transfer failed (the operator station's message is printed, e.g. \"%1\"),\n"
                        "4 an output file could not be written, 5 the project could not be loaded.\n")
             .arg(msg::TransferFailed);
    return u;
}

int run(const QStringList &args, const std::vector<const Subcommand *> &subcommands,
        const std::function<QString(const QString &)> &env)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    std::map<int, QString> com = CommandLine::comDevicesFromEnvironment(env);
    const auto usageError = [&](const QString &what) {
        err << "tablo-fetch: " << what << "\n"
            << "Try 'tablo-fetch --help'." << Qt::endl;
        return UsageError;
    };

    QString projectPath;
    const Subcommand *command = nullptr;
    qsizetype i = 1;
    for (; i < args.size() && !command; ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << usage(subcommands) << Qt::flush;
            return Success;
        }
        if (a == QLatin1String("--version")) {
            out << versionText() << Qt::flush;
            return Success;
        }
        QString comValue;
        switch (CommandLine::takeComOption(args, i, com, comValue)) {
        case CommandLine::ComOption::NotCom: break;
        case CommandLine::ComOption::Missing: return usageError(QStringLiteral("option --com needs a value N=DEVICE"));
        case CommandLine::ComOption::Bad:
            return usageError(
                QStringLiteral("bad --com value \"%1\": expected N=DEVICE with N from 1 to 9").arg(comValue));
        case CommandLine::ComOption::Ok: continue;
        }
        if (a.startsWith(u'-') && a != QLatin1String("-"))
            return usageError(QStringLiteral("unknown option \"%1\"").arg(a));
        if (projectPath.isEmpty()) {
            projectPath = a;
            continue;
        }
        for (const Subcommand *s : subcommands)
            if (s->name == a)
                command = s;
        if (!command)
            return usageError(QStringLiteral("unknown subcommand \"%1\"").arg(a));
    }
    if (projectPath.isEmpty())
        return usageError(QStringLiteral("no project file given"));
    if (!command)
        return usageError(QStringLiteral("no subcommand given"));
    const QStringList rest = args.mid(i);
    if (rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"))) {
        out << command->help << Qt::flush;
        return Success;
    }
    if (command->check) {
        const QString problem = command->check(rest);
        if (!problem.isEmpty())
            return usageError(problem);
    }
    // Before the project is read and anything downloaded: a run that could write nothing
    // fails now, not after the transfer.
    if (const QString problem = checkOutputs(*command, rest); !problem.isEmpty())
        return usageError(problem);

    Session session;
    session.station.poll.comDevices = com;
    QString error;
    if (!session.loadProject(projectPath, &error, command->needsLink)) {
        err << "tablo-fetch: " << error << Qt::endl;
        return ProjectFailed;
    }
    session.progress(QStringLiteral("project %1, controller %2 on %3")
                         .arg(projectPath)
                         .arg(session.station.project.controllerAddress)
                         .arg(session.linkText()));
    if (command->needsLink && !session.connect(&error)) {
        err << "tablo-fetch: " << error << Qt::endl;
        return TransferFailed;
    }
    return command->run(session, rest);
}

}   // namespace fetch
