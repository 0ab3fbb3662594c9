#include "app/CommandLine.h"

namespace {

// Qt's own window-system options: accepted and left for QApplication.
const QStringList qtOptionsWithValue = {QStringLiteral("-platform"),        QStringLiteral("-platformpluginpath"),
                                        QStringLiteral("-platformtheme"),   QStringLiteral("-plugin"),
                                        QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowicon"),
                                        QStringLiteral("-qwindowtitle"),    QStringLiteral("-style"),
                                        QStringLiteral("-stylesheet"),      QStringLiteral("-display"),
                                        QStringLiteral("-geometry"),        QStringLiteral("-session")};
const QStringList qtFlags = {QStringLiteral("-reverse"), QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                             QStringLiteral("-sync"), QStringLiteral("-widgetcount")};

// "N=DEVICE" with N = 1..9 and a non-empty device.
bool parseComMapping(const QString &text, int &n, QString &device)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    QString number = text.left(eq);
    if (number.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        number = number.mid(3);
    bool ok = false;
    n = number.toInt(&ok);
    device = text.mid(eq + 1);
    return ok && n >= CommandLine::FirstCom && n <= CommandLine::LastCom && !device.isEmpty();
}

CommandLine failure(const QString &message)
{
    CommandLine cl;
    cl.action = CommandLine::Action::Error;
    cl.error = message;
    return cl;
}

}   // namespace

std::map<int, QString> CommandLine::comDevicesFromEnvironment(const std::function<QString(const QString &)> &env)
{
    std::map<int, QString> devices;
    if (env) {
        for (int n = FirstCom; n <= LastCom; ++n) {
            const QString device = env(QStringLiteral("TABLO_COM%1").arg(n));
            if (!device.isEmpty())
                devices[n] = device;
        }
    }
    return devices;
}

CommandLine::ComOption CommandLine::takeComOption(const QStringList &args, qsizetype &i,
                                                  std::map<int, QString> &devices, QString &value)
{
    const QString &arg = args.at(i);
    if (arg == QLatin1String("--com")) {
        if (i + 1 >= args.size())
            return ComOption::Missing;
        value = args.at(++i);
    } else if (arg.startsWith(QLatin1String("--com="))) {
        value = arg.mid(6);
    } else {
        return ComOption::NotCom;
    }
    int n = 0;
    QString device;
    if (!parseComMapping(value, n, device))
        return ComOption::Bad;
    devices[n] = device;
    return ComOption::Ok;
}

CommandLine CommandLine::parse(const QStringList &args, const std::function<QString(const QString &)> &env)
{
    CommandLine cl;
    cl.comDevices = comDevicesFromEnvironment(env);

    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    QStringList positional;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            positional << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
        } else if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            version = true;
        } else if (arg == QLatin1String("--demo")) {
            cl.demo = true;
        } else if (arg == QLatin1String("--com") || arg.startsWith(QLatin1String("--com="))) {
            QString value;
            const ComOption com = takeComOption(args, i, cl.comDevices, value);
            if (com == ComOption::Missing)
                return failure(QStringLiteral("option --com needs a value N=DEVICE"));
            if (com == ComOption::Bad)
                return failure(QStringLiteral("bad --com value \"%1\": expected N=DEVICE with N "
                                              "from 1 to 9, e.g. --com 1=/dev/ttyUSB0")
                                   .arg(value));
        } else if (arg == QLatin1String("--history") || arg.startsWith(QLatin1String("--history="))) {
            if (arg.startsWith(QLatin1String("--history=")))
                cl.historyTarget = arg.mid(10);
            else if (i + 1 < args.size())
                cl.historyTarget = args.at(++i);
            if (cl.historyTarget.isEmpty())
                return failure(QStringLiteral("option --history needs a file name or a postgresql:// URI"));
        } else if (qtOptionsWithValue.contains(arg)) {
            if (i + 1 >= args.size())
                return failure(QStringLiteral("option %1 needs a value").arg(arg));
            ++i;
        } else if (qtFlags.contains(arg)) {
            // left for QApplication
        } else {
            return failure(QStringLiteral("unknown option \"%1\"").arg(arg));
        }
    }

    if (help) {
        cl.action = Action::Help;
        return cl;
    }
    if (version) {
        cl.action = Action::Version;
        return cl;
    }
    QStringList projects;
    QStringList files;
    for (const QString &path : positional)
        (kindOf(path) == FileKind::Project ? projects : files) << path;
    if (projects.size() > 1)
        return failure(QStringLiteral("only one project file can be opened, got %1").arg(projects.size()));
    if (files.size() > 1)
        return failure(
            QStringLiteral("only one trend, journal or report file can be opened, got %1").arg(files.size()));
    if (!projects.isEmpty())
        cl.projectPath = projects.first();
    if (!files.isEmpty())
        cl.filePath = files.first();
    return cl;
}

CommandLine::FileKind CommandLine::kindOf(const QString &path)
{
    const int dot = static_cast<int>(path.lastIndexOf(u'.'));
    const int slash = static_cast<int>(path.lastIndexOf(u'/'));
    const QString suffix = dot > slash ? path.mid(dot + 1).toLower() : QString();
    if (suffix == QLatin1String("grf"))
        return FileKind::Trend;
    if (suffix == QLatin1String("jur"))
        return FileKind::Journal;
    if (suffix == QLatin1String("rep"))
        return FileKind::Report;
    return FileKind::Project;
}

QString CommandLine::usage(const QString &programName)
{
    return QStringLiteral("Usage: %1 [options] [PROJECT.prt] [FILE.grf | FILE.jur | FILE.rep]\n"
                          "Tablo, operator station (SCADA) for Ж7 process controllers.\n"
                          "\n"
                          "  PROJECT.prt          open this project file at start\n"
                          "  FILE.grf             open a saved trend page in the trend window\n"
                          "  FILE.jur             open a saved journal page in the journal window\n"
                          "  FILE.rep             open report settings in the report window\n"
                          "                       (after the project, when one is named beside it)\n"
                          "  --demo               run the demo plant against the built-in controller simulator\n"
                          "  --com N=DEVICE       serial device for COMN (N = 1..9), e.g. --com 1=/dev/ttyUSB0;\n"
                          "                       COM9 is the report port of a project on TCP;\n"
                          "                       may be repeated; default COMN is /dev/ttyS(N-1);\n"
                          "                       the environment variable TABLO_COMN gives the same\n"
                          "  --history FILE       keep the controller's history in FILE (SQLite) or in a\n"
                          "                       postgresql://USER@HOST/DB database; default\n"
                          "                       $XDG_DATA_HOME/tablo/history/PROJECT-ADDRESS.sqlite\n"
                          "  -h, --help           show this help and exit\n"
                          "  -v, --version        show the version and exit\n")
        .arg(programName);
}

QString CommandLine::versionText() { return QStringLiteral("Tablo 5.1 (SCADA Ж7-301 5.1)\n"); }
