// The operator station's command line (`tablo [--demo] [--com N=DEVICE]... [PROJECT.prt]`,
// --help, --version) on any arguments and TABLO_COMn environment. Checked: the parse ends in
// one of its actions; an error says what is wrong; a run names COM ports 1..9 only, each with
// a device; the same arguments parse the same way.
//
// Input: arguments separated by NUL bytes; an argument "=N=DEVICE" sets TABLO_COMN instead.
#include "FuzzRig.h"

#include "app/CommandLine.h"

#include <map>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList args{QStringLiteral("tablo")};
    std::map<QString, QString> env;
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &piece : all.split('\0')) {
        const QString a = QString::fromUtf8(piece);
        if (a.startsWith(u'=') && a.indexOf(u'=', 1) > 1)
            env[QStringLiteral("TABLO_COM") + a.mid(1, a.indexOf(u'=', 1) - 1)] = a.mid(a.indexOf(u'=', 1) + 1);
        else
            args << a;
    }
    const auto lookup = [&env](const QString &name) {
        const auto it = env.find(name);
        return it == env.end() ? QString() : it->second;
    };
    const CommandLine cl = CommandLine::parse(args, lookup);
    switch (cl.action) {
    case CommandLine::Action::Error: FUZZ_CHECK(!cl.error.isEmpty()); break;
    case CommandLine::Action::Help: FUZZ_CHECK(!CommandLine::usage(QStringLiteral("tablo")).isEmpty()); break;
    case CommandLine::Action::Version: FUZZ_CHECK(!CommandLine::versionText().isEmpty()); break;
    case CommandLine::Action::Run:
        for (const auto &[com, device] : cl.comDevices) {
            FUZZ_CHECK(com >= CommandLine::FirstCom && com <= CommandLine::LastCom);
            FUZZ_CHECK(!device.isEmpty());
        }
        break;
    }
    const CommandLine again = CommandLine::parse(args, lookup);
    FUZZ_CHECK(again.action == cl.action && again.error == cl.error && again.projectPath == cl.projectPath
               && again.demo == cl.demo && again.comDevices == cl.comDevices);
    return 0;
}
