// The program window loading the demo boiler house: captions, menus, pages, display-control
// plugins, and the project settings dialog.
#include "e2e/StationRig.h"

#include "link/Link.h"
#include "link/TcpTransport.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/MimicPages.h"
#include "app/Logo.h"
#include "mimic/BlockInspector.h"
#include "project/ConfigProject.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>

namespace e2e {
namespace {

const QStringList demoTabs = {QStringLiteral("Огляд"),  QStringLiteral("Котел 1"),    QStringLiteral("Котел 2"),
                              QStringLiteral("Насоси"), QStringLiteral("Вентиляція"), QStringLiteral("Паливоподача"),
                              QStringLiteral("Аварії"), QStringLiteral("Уставки")};

QStringList tabCaptions(const OperatorStation &w)
{
    QStringList captions;
    for (int p = 0; p < w.mimicPages()->tabBar()->count(); ++p)
        captions << w.mimicPages()->tabBar()->tabText(p);
    return captions;
}

int countElements(const OperatorStation &w, ElementKind kind)
{
    int n = 0;
    for (int p = 0; p < 8; ++p)
        for (int s = 1; s <= 32; ++s)
            n += w.mimicPages()->element(kind, p, s) ? 1 : 0;
    return n;
}

TEST(StationLoadTest, CommandLineLoadShowsTabCaptionsFromPictureNamesAndTheNetlistCaption)
{
    StationRig rig;
    EXPECT_EQ(rig.window->mainWindow()->windowTitle(), QStringLiteral("SCADA Ж7-301 5.1"));
    EXPECT_FALSE(rig.window->mainWindow()->action(QStringLiteral("mnuReport"))->isVisible());
    EXPECT_FALSE(rig.window->linkIndicator()->isVisible()) << "no indicator before a project";
    EXPECT_FALSE(rig.window->mainWindow()->Timer_05()->isActive());

    ASSERT_TRUE(rig.load());
    const QString netlist = QDir(rig.dir.path()).filePath(QStringLiteral("Kotelnya.net"));
    EXPECT_EQ(rig.project().netlistPath, netlist);
    EXPECT_EQ(rig.window->mainWindow()->windowTitle(), QStringLiteral("SCADA Ж7 - ") + netlist);
    EXPECT_EQ(tabCaptions(*rig.window), demoTabs);
    EXPECT_TRUE(rig.window->mimicPages()->SCADA_SSTab()->isVisible());
    EXPECT_FALSE(rig.window->mainWindow()->logo()->isVisible());

    for (const char *name : {"mnuReport", "mnuGRAFIK", "mnuJurnalOpen", "mnu12", "mnu13"})
        EXPECT_TRUE(rig.window->mainWindow()->action(QString::fromLatin1(name))->isVisible()) << name;
    // Format version 5 clears all three version marks.
    for (const char *name : {"mnuHelp1", "mnuHelp2", "mnuHelp3"})
        EXPECT_FALSE(rig.window->mainWindow()->action(QString::fromLatin1(name))->isChecked()) << name;

    EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
    EXPECT_TRUE(rig.window->mainWindow()->Timer_Vent()->isActive());
    EXPECT_TRUE(rig.window->linkIndicator()->isVisible());
    EXPECT_EQ(rig.project().linkTimingFactor, 10);
    EXPECT_GT(countElements(*rig.window, ElementKind::Parametr_Label), 50);
    EXPECT_GT(countElements(*rig.window, ElementKind::Signal_Picture), 20);
    EXPECT_TRUE(rig.window->openMessages().empty());

    // The TCP client went to the port the copy names: the simulator answers.
    EXPECT_TRUE(rig.waitForAnswers());
}

TEST(StationLoadTest, OpenProjectMenuLoadsTheChosenFileAndCancelKeepsTheLoadedProject)
{
    StationRig rig;
    rig.window->fileToChoose = rig.prt;
    rig.window->mainWindow()->action(QStringLiteral("mnuLoad"))->trigger();
    EXPECT_EQ(rig.project().projectLoaded, 1);
    EXPECT_EQ(tabCaptions(*rig.window), demoTabs);
    const int labels = countElements(*rig.window, ElementKind::Parametr_Label);

    // A second load replaces the elements one for one; a cancelled dialog loads nothing.
    rig.window->mainWindow()->action(QStringLiteral("mnuLoad"))->trigger();
    EXPECT_EQ(countElements(*rig.window, ElementKind::Parametr_Label), labels);
    rig.window->fileToChoose.clear();
    rig.window->mainWindow()->action(QStringLiteral("mnuLoad"))->trigger();
    EXPECT_EQ(countElements(*rig.window, ElementKind::Parametr_Label), labels);
    EXPECT_TRUE(rig.window->openMessages().empty()) << "cancelling says nothing";
    EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
}

TEST(StationLoadTest, UnreadableProjectIsReportedInOneMessageBoxNamingTheFile)
{
    StationRig rig;
    const QString missing = QDir(rig.dir.path()).filePath(QStringLiteral("Немає.prt"));
    rig.window->loadProject(missing);
    EXPECT_EQ(rig.project().projectLoaded, 0);
    const auto boxes = rig.window->openMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0]->text().contains(missing)) << boxes[0]->text().toStdString();
    EXPECT_EQ(boxes[0]->windowTitle(), QStringLiteral("Помилка"));
    EXPECT_FALSE(rig.window->mainWindow()->Timer_05()->isActive()) << "no polling without a project";
    EXPECT_FALSE(rig.window->linkIndicator()->isVisible());
}

// Replaces the first occurrence of `from` in the copied netlist.
void editNetlist(const StationRig &rig, const QByteArray &from, const QByteArray &to)
{
    QFile f(QDir(rig.dir.path()).filePath(QStringLiteral("Kotelnya.net")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    const qsizetype at = bytes.indexOf(from);
    ASSERT_GE(at, 0);
    bytes.replace(at, from.size(), to);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

TEST(StationLoadTest, NetlistErrorsReachTheOperatorWithTheirOwnTextsAndTheLoadCompletes)
{
    {
        StationRig rig;
        editNetlist(rig, "(attr \"P0\" \"0\")", "(attr \"P0\" 0)");   // block U1: no value
        ASSERT_TRUE(rig.load());
        const auto boxes = rig.window->openMessages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->text(), QStringLiteral("Ошибка параметра!!!Блок U1"));
        EXPECT_EQ(boxes[0]->icon(), QMessageBox::Critical);
        EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
    }
    {
        StationRig rig;
        editNetlist(rig, "(compInst \"U1\"", "(compInst \"U150\"");   // outside the tables
        ASSERT_TRUE(rig.load());
        const auto boxes = rig.window->openMessages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->text(), QStringLiteral("Ошибка netLIST "));
        EXPECT_EQ(boxes[0]->standardButtons(), QMessageBox::Ok);
    }
}

TEST(StationLoadTest, ClosingTheMainWindowUnloadsTheWindowsItOpened)
{
    StationRig rig;
    ASSERT_TRUE(rig.load());
    bool ended = false;
    QObject::connect(rig.window->mainWindow(), &ConfigScada::shutDown, [&] { ended = true; });
    rig.window->mainWindow()->action(QStringLiteral("mnuNastrojki"))->trigger();
    QPointer<QWidget> settings = rig.window->projectSettings();
    rig.window->projectSettings()->Cancel->click();
    rig.window->mainWindow()->action(QStringLiteral("mnuSchema"))->trigger();
    rig.window->mimicPages()->Block_IMAGE_Click(8 + 1);
    QPointer<QWidget> inspector = rig.window->mimicPages()->inspector();
    ASSERT_TRUE(inspector->isVisible());

    rig.window->mainWindow()->close();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(spinUntil([&] { return settings.isNull() && inspector.isNull(); }, 2000));
    EXPECT_FALSE(rig.station->inspector.inspectorVisible);
}

TEST(StationLoadTest, MissingDisplayControlPluginsAreNamedOnceAndThePagesLoadWithoutThem)
{
    QTemporaryDir empty;
    StationRig rig(QStringList{empty.path()});
    ASSERT_TRUE(rig.load());
    EXPECT_EQ(countElements(*rig.window, ElementKind::Signal_Picture), 0);
    EXPECT_EQ(countElements(*rig.window, ElementKind::Contour1), 0);
    EXPECT_GT(countElements(*rig.window, ElementKind::Parametr_Label), 50) << "the rest of the page loads";

    ASSERT_TRUE(spinUntil([&] { return !rig.window->openMessages().empty(); }, 2000));
    spinUntil([] { return false; }, 50);   // a second box would have come by now
    auto boxes = rig.window->openMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0]->text().contains(QStringLiteral("libSignal.so"))) << boxes[0]->text().toStdString();
    EXPECT_TRUE(boxes[0]->text().contains(QStringLiteral("libContour1.so"))) << boxes[0]->text().toStdString();

    boxes[0]->close();
    ASSERT_TRUE(rig.load());
    spinUntil([] { return false; }, 50);
    EXPECT_TRUE(rig.window->openMessages().empty()) << "named once per run, not once per load";
}

TEST(StationLoadTest, ProjectSettingsDisableTheMainWindowAndOkShowsTheSchemaWithTheCaption)
{
    StationRig rig;
    ASSERT_TRUE(rig.load());
    rig.window->mainWindow()->setWindowTitle(QStringLiteral("—"));
    rig.window->mainWindow()->action(QStringLiteral("mnuNastrojki"))->trigger();
    ConfigProject *dialog = rig.window->projectSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    EXPECT_EQ(dialog->Name_Schema_text->text(), rig.project().netlistPath);

    // The controller address changes at once; Ok brings back the window with the schema.
    dialog->Combo2->setCurrentIndex(3);
    Q_EMIT dialog->Combo2->activated(3);
    EXPECT_EQ(rig.project().controllerAddress, 4);
    dialog->Ok->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    EXPECT_EQ(rig.window->mainWindow()->windowTitle(), QStringLiteral("SCADA Ж7 - ") + rig.project().netlistPath);
    EXPECT_TRUE(rig.window->mimicPages()->schema()->isVisible());
    EXPECT_FALSE(rig.window->mimicPages()->SCADA_SSTab()->isVisible());

    // Opened again and cancelled: the main window comes back too; SCADA brings the pages back.
    rig.window->mainWindow()->action(QStringLiteral("mnuNastrojki"))->trigger();
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    dialog->Cancel->click();
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    rig.window->mainWindow()->action(QStringLiteral("mnuSCADA"))->trigger();
    EXPECT_TRUE(rig.window->mimicPages()->SCADA_SSTab()->isVisible());
    EXPECT_FALSE(rig.window->mimicPages()->schema()->isVisible());
    EXPECT_EQ(rig.project().currentPage, 0);
}

}   // namespace
}   // namespace e2e
