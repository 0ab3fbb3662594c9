#include "ControlTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace controltest;

namespace {

// The test program lives in the build folder root, next to the plugins.
QString buildDir() { return QCoreApplication::applicationDirPath(); }

// Restores an environment variable when the test ends.
class EnvGuard {
public:
    explicit EnvGuard(const char *name) : name_(name), had_(qEnvironmentVariableIsSet(name)), value_(qgetenv(name)) {}
    ~EnvGuard()
    {
        if (had_)
            qputenv(name_, value_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray value_;
};

}   // namespace

TEST(ControlHost, CreatesBothControlsByTheirIdentifiers)
{
    application();
    ControlHost h;
    QWidget parent;
    QWidget *signal = h.create(QStringLiteral("Signal_Q7.Signal"), &parent);
    ASSERT_NE(signal, nullptr) << h.errorString().toStdString();
    EXPECT_TRUE(h.errorString().isEmpty());
    EXPECT_EQ(signal->parent(), &parent);
    EXPECT_EQ(signal->size(), QSize(33, 33));   // 495 × 495 twips
    EXPECT_NE(persistentControl(signal), nullptr);
    for (const char *name : {"Type_Signal", "Border_Style", "ForeColor"})
        EXPECT_GE(signal->metaObject()->indexOfProperty(name), 0) << name;

    QWidget *contour = h.create(QStringLiteral("Contour1.Contour"), &parent);
    ASSERT_NE(contour, nullptr) << h.errorString().toStdString();
    EXPECT_EQ(contour->size(), QSize(102, 92));   // 1530 × 1380 twips
    EXPECT_NE(persistentControl(contour), nullptr);
    for (const char *name : {"BackColor", "BackStyle", "BorderStyle", "BorderWidth", "BorderColor", "Shape"})
        EXPECT_GE(contour->metaObject()->indexOfProperty(name), 0) << name;

    for (QWidget *w : {signal, contour})
        for (const char *sig : {"Click()", "DblClick()", "MouseDown(short,short,float,float)",
                                "MouseMove(short,short,float,float)", "MouseUp(short,short,float,float)"})
            EXPECT_GE(w->metaObject()->indexOfSignal(sig), 0) << sig;

    // One plugin, loaded once: every instance shares the same class.
    QWidget *second = h.create(QStringLiteral("Signal_Q7.Signal"), &parent);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->metaObject(), signal->metaObject());
}

TEST(ControlHost, MissingPluginFileGivesAnErrorNamingTheFile)
{
    application();
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    ControlHost h(QStringList{empty.path()});
    EXPECT_EQ(h.create(QStringLiteral("Signal_Q7.Signal"), nullptr), nullptr);
    EXPECT_TRUE(h.errorString().contains(QStringLiteral("libSignal.so"))) << h.errorString().toStdString();
    EXPECT_TRUE(h.errorString().contains(empty.path()));

    ControlHost nowhere(QStringList{});
    EXPECT_EQ(nowhere.create(QStringLiteral("Contour1.Contour"), nullptr), nullptr);
    EXPECT_TRUE(nowhere.errorString().contains(QStringLiteral("libContour1.so")));
}

TEST(ControlHost, PluginOfAnotherInterfaceIsRefused)
{
    application();
    ControlHost h(QStringList{QStringLiteral(TABLO_TEST_PLUGIN_DIR)});
    EXPECT_EQ(h.create(QStringLiteral("Unrelated.Control"), nullptr), nullptr);
    const QString e = h.errorString();
    EXPECT_TRUE(e.contains(QStringLiteral("libUnrelated.so"))) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("org.example.Unrelated/1.0"))) << e.toStdString();

    // Metadata that claims the interface while the object lacks it.
    EXPECT_EQ(h.create(QStringLiteral("Impostor.Control"), nullptr), nullptr);
    EXPECT_TRUE(h.errorString().contains(QStringLiteral("libImpostor.so"))) << h.errorString().toStdString();
    // Asking again gives the same answer.
    EXPECT_EQ(h.create(QStringLiteral("Impostor.Control"), nullptr), nullptr);
    EXPECT_TRUE(h.errorString().contains(QStringLiteral("libImpostor.so")));
}

TEST(ControlHost, PluginWithAnotherIdentifierIsRefused)
{
    application();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("libContour1.so"));
    ASSERT_TRUE(QFile::copy(QDir(buildDir()).filePath(QStringLiteral("libSignal.so")), copy));
    ControlHost h(QStringList{dir.path()});
    EXPECT_EQ(h.create(QStringLiteral("Contour1.Contour"), nullptr), nullptr);
    const QString e = h.errorString();
    EXPECT_TRUE(e.contains(copy)) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("Signal_Q7.Signal"))) << e.toStdString();
}

TEST(ControlHost, FileThatIsNoPluginGivesAnErrorNotACrash)
{
    application();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile junk(dir.filePath(QStringLiteral("libSignal.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, '\x7f'));
    junk.close();
    ControlHost h(QStringList{dir.path()});
    EXPECT_EQ(h.create(QStringLiteral("Signal_Q7.Signal"), nullptr), nullptr);
    EXPECT_TRUE(h.errorString().contains(junk.fileName())) << h.errorString().toStdString();
}

TEST(ControlHost, MalformedIdentifiersAreRefused)
{
    application();
    ControlHost h(QStringList{buildDir()});
    for (const char *id : {"", ".Signal", "../Signal.x", "a/b.c"}) {
        EXPECT_EQ(h.create(QString::fromLatin1(id), nullptr), nullptr) << id;
        EXPECT_FALSE(h.errorString().isEmpty()) << id;
    }
    // A good identifier afterwards works and clears the error.
    QWidget parent;
    EXPECT_NE(h.create(QStringLiteral("Signal_Q7.Signal"), &parent), nullptr);
    EXPECT_TRUE(h.errorString().isEmpty());
}

TEST(ControlHost, PluginPathFolderIsSearchedBeforeTheProgramFolder)
{
    application();
    EnvGuard guard("TABLO_PLUGIN_PATH");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile junk(dir.filePath(QStringLiteral("libSignal.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a plugin");
    junk.close();

    qputenv("TABLO_PLUGIN_PATH", dir.path().toLocal8Bit());
    ControlHost first;
    EXPECT_EQ(first.searchDirs().value(0), dir.path());
    EXPECT_EQ(first.searchDirs().value(1), QCoreApplication::applicationDirPath());
    EXPECT_EQ(first.create(QStringLiteral("Signal_Q7.Signal"), nullptr), nullptr);
    EXPECT_TRUE(first.errorString().contains(dir.path())) << first.errorString().toStdString();
    // Not there: found next to the program.
    QWidget parent;
    EXPECT_NE(first.create(QStringLiteral("Contour1.Contour"), &parent), nullptr) << first.errorString().toStdString();

    qunsetenv("TABLO_PLUGIN_PATH");
    ControlHost fallback;
    // The program's folder (a build tree), then the package's library folder beside it.
    const QStringList dirs = fallback.searchDirs();
    ASSERT_EQ(dirs.size(), 2);
    EXPECT_EQ(dirs[0], QCoreApplication::applicationDirPath());
    EXPECT_TRUE(dirs[1].startsWith(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."))));
    EXPECT_TRUE(dirs[1].endsWith(QStringLiteral("/tablo"))) << dirs[1].toStdString();
    EXPECT_NE(fallback.create(QStringLiteral("Signal_Q7.Signal"), &parent), nullptr)
        << fallback.errorString().toStdString();
}
