// The trend window's own handling: the go-to dialog's checks, and a page going through the
// trend file and the exports with what the operator sees on the way.
#include "trends/GRAFIK_sheet.h"
#include "station/Station.h"
#include "trends/TrendDialogs.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"
#include "support/QtTestApp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QLabel>
#include <QRadioButton>
#include <QUrl>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int ParamBase = 100;
constexpr int TextBase = 200;

// The window with the download's listener events reachable, as a completed download calls them.
class Sheet : public GRAFIK_sheet {
public:
    using GRAFIK_sheet::drawChart;
    using GRAFIK_sheet::GRAFIK_sheet;
};

void project(Station &s)
{
    ProjectModel &m = s.project;
    m.projectLoaded = 1;
    m.linkKind = 9;
    m.blockParamBase[98] = ParamBase;
    m.blockTextBase[98] = TextBase;
    m.blockTexts[TextBase + 33] = QStringLiteral("Котельня");
    for (int n = 0; n < 32; ++n) {
        m.blockTexts[static_cast<std::size_t>(TextBase + 1 + n)] = QStringLiteral("Параметр %1").arg(n);
        m.blockParams[static_cast<std::size_t>(ParamBase + n + 34)] = n == 1 ? -40.0f : 0.0f;
        m.blockParams[static_cast<std::size_t>(ParamBase + n + 67)] = 100.0f;
    }
}

struct Rig {
    struct App {
        App() { qtApp(); }
    } app;
    Station station;
    ScriptedTransport serial, tcp;
    Link link{station, serial, tcp};
    Sheet sheet{station, link};
    Rig()
    {
        project(station);
        sheet.load();
    }
    QStringList messages() const
    {
        QStringList texts;
        for (QMessageBox *box : sheet.openMessages())
            texts << box->text();
        return texts;
    }
};

TEST(TrendWindow, GoDialogTakesGroupsOneToEightOnlyAndThenAsksForThePage)
{
    struct Case {
        const char *group, *page;
        bool accepted;
        std::int16_t wantGroup, wantPage;
    } cases[] = {
        {"9", "1", false, 0, 200},
        {"0", "3", false, 0, 200},
        {"3", "5", true, 2, 4},
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.sheet.Grafik_GO->click();
        GO *go = rig.sheet.goDialog();
        ASSERT_NE(go, nullptr);
        EXPECT_TRUE(go->isVisible());
        EXPECT_TRUE(go->Text1->text().isEmpty()) << "the page field starts empty";
        EXPECT_FALSE(rig.sheet.isEnabled()) << "the trend window waits for the dialog";
        go->Text2->setText(QString::fromUtf8(c.group));
        go->Text1->setText(QString::fromUtf8(c.page));
        go->Ok->click();
        EXPECT_EQ(rig.station.trend.Graf_PageCount, c.accepted ? 1 : 0) << c.group;
        EXPECT_EQ(rig.station.trend.Graf_Group, c.wantGroup) << c.group;
        EXPECT_EQ(rig.station.trend.Graf_Page, c.wantPage) << c.group;
        EXPECT_EQ(go->isVisible(), !c.accepted) << c.group;
        EXPECT_EQ(rig.sheet.ProgressBar_GRAFIK->isVisibleTo(&rig.sheet), c.accepted) << c.group;
        EXPECT_EQ(rig.messages(), c.accepted ? QStringList() : QStringList{QStringLiteral("Невірний номер групи!!!")})
            << c.group;
    }
}

// The dialog opens on the group on show, ticked and in its field, so "Ok" with only a page
// typed stays in that group. The window's timers are precise: they pace the protocol.
TEST(TrendWindow, GoDialogStartsOnTheGroupOnShow)
{
    Rig rig;
    for (QTimer *t : {rig.sheet.Timer_Opros_GRAFIK, rig.sheet.Timer_ProgressBar_GRAFIK, rig.sheet.Timer_PUSK_Timer_05,
                      rig.sheet.Timer1})
        EXPECT_EQ(t->timerType(), Qt::PreciseTimer) << t->objectName().toStdString();
    rig.station.trend.Graf_Group = 4;
    rig.sheet.Grafik_GO->click();
    GO *go = rig.sheet.goDialog();
    ASSERT_NE(go, nullptr);
    EXPECT_TRUE(go->Grup_Gr[4]->isChecked());
    EXPECT_EQ(go->Text2->text(), QStringLiteral("5"));
    go->Text1->setText(QStringLiteral("3"));
    go->Ok->click();
    EXPECT_EQ(rig.station.trend.Graf_Group, 4);
    EXPECT_EQ(rig.station.trend.Graf_Page, 2);
    EXPECT_EQ(rig.station.trend.Graf_PageCount, 1);
}

// With the serial port gone the polling cycle never reaches its end: the find says so at once
// and gives the window back. A find closed before its frame went out never goes out.
TEST(TrendWindow, FindByDateWithThePortGoneSaysSoAndACancelledFindNeverGoesOut)
{
    {
        Rig rig;
        rig.station.project.linkKind = 1;
        rig.serial.failOpen = true;
        rig.sheet.pollingActive = [] { return true; };
        rig.sheet.Image4->click();
        Find_GRAFIK_DATA *find = rig.sheet.findDialog();
        ASSERT_NE(find, nullptr);
        find->Ok->click();
        ASSERT_TRUE(rig.sheet.Timer1->isActive());
        QMetaObject::invokeMethod(rig.sheet.Timer1, "timeout");
        EXPECT_EQ(rig.messages(), QStringList{QStringLiteral("Помилка СОМ порту !!!")});
        EXPECT_EQ(rig.station.trend.Find_State, 0);
        EXPECT_FALSE(find->isVisible());
        EXPECT_TRUE(rig.sheet.isEnabled());
        EXPECT_TRUE(rig.serial.writes.empty());
    }
    for (const bool handedOver : {false, true}) {
        Rig rig;
        rig.tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
        rig.sheet.pollingActive = [] { return true; };
        rig.sheet.Image4->click();
        Find_GRAFIK_DATA *find = rig.sheet.findDialog();
        ASSERT_NE(find, nullptr);
        find->Ok->click();
        EXPECT_EQ(rig.station.trend.Find_State, 1);
        if (handedOver) {
            ASSERT_TRUE(rig.sheet.startSearch());   // the polling cycle stopped for it
        }
        find->Cancel->click();
        EXPECT_EQ(rig.station.trend.Find_State, 0) << handedOver;
        EXPECT_FALSE(rig.sheet.Timer1->isActive()) << handedOver;
        EXPECT_TRUE(rig.sheet.isEnabled());
        // The port back, the cycle's end: nothing is asked for.
        EXPECT_FALSE(rig.sheet.startSearch());
        QMetaObject::invokeMethod(rig.sheet.Timer1, "timeout");
        EXPECT_TRUE(rig.tcp.writes.empty()) << handedOver;
        // A cycle that stopped for the search is restarted.
        EXPECT_EQ(rig.sheet.Timer_PUSK_Timer_05->isActive(), true) << handedOver;
    }
}

TEST(TrendWindow, FindByDateWaitsForThePollingCycleToHandOverTheLink)
{
    for (const bool polling : {true, false}) {
        Rig rig;
        rig.tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
        rig.sheet.pollingActive = [&polling] { return polling; };
        rig.sheet.Image4->click();
        Find_GRAFIK_DATA *find = rig.sheet.findDialog();
        ASSERT_NE(find, nullptr);
        EXPECT_TRUE(find->isVisible());
        find->Hour->setCurrentIndex(7);
        find->Number->setCurrentIndex(4);
        find->Month->setCurrentIndex(2);
        find->Year->setCurrentIndex(5);
        find->Ok->click();
        EXPECT_EQ(rig.station.trend.Find_State, 1);
        EXPECT_EQ(rig.sheet.Timer1->isActive(), !polling) << polling;
        if (polling) {
            EXPECT_TRUE(rig.tcp.writes.empty());
            ASSERT_TRUE(rig.sheet.startSearch());   // the end of the polling cycle
        }
        ASSERT_TRUE(rig.sheet.Timer1->isActive()) << polling;
        EXPECT_EQ(rig.sheet.Timer1->interval(), 600);

        // First tick: the frame (address 1, command 76, hour 7, day 5, month 3, year 24, CRC).
        QMetaObject::invokeMethod(rig.sheet.Timer1, "timeout");
        ASSERT_EQ(rig.tcp.writes.size(), 1u) << polling;
        EXPECT_EQ(rig.tcp.writes[0].left(6), QByteArray::fromHex("014c07050318"));
        EXPECT_EQ(rig.tcp.writes[0].size(), 8);
        // Second tick: the found page is downloaded, the dialog goes.
        QMetaObject::invokeMethod(rig.sheet.Timer1, "timeout");
        EXPECT_FALSE(rig.sheet.Timer1->isActive());
        EXPECT_FALSE(find->isVisible());
        EXPECT_TRUE(rig.sheet.engine().running());
        EXPECT_TRUE(rig.sheet.Timer_Opros_GRAFIK->isActive());
        EXPECT_TRUE(rig.sheet.isEnabled());
    }
}

// Records the files the window asks the desktop to open.
class Opener : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

TEST(TrendWindow, PageComesBackFromItsFileAsItWasDrawnAndExportsOpenForTheOperator)
{
    QTemporaryDir dir;
    Rig a;
    Station &s = a.station;
    s.trend.Graf_Group = 0;
    s.trend.Graf_Page = 12;
    s.trend.Graf_SampleCount = 480;
    s.trend.Graf_ParamNo = {};
    for (int c = 0; c < 4; ++c)
        s.trend.Graf_ParamNo[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(c);
    s.trend.Graf_Style = {1, 0x0000FF, 0xFF0000, 0x00FF00, 0xFF00FF, 0, 0};
    s.trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  ");
    for (int i = 0; i < 480; ++i)
        for (int c = 0; c < 4; ++c)
            s.trend.Graf_Values[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
                float(30 * std::sin(i / (20.0 + 7 * c)) + 10 * c);
    a.sheet.drawChart();
    EXPECT_EQ(a.sheet.chartState().Graf_ZeroY, 220);

    // A save that cannot be written says so and leaves nothing behind.
    const QString blocked = dir.filePath(QStringLiteral("missing/page.grf"));
    EXPECT_FALSE(a.sheet.saveFile(blocked));
    EXPECT_EQ(a.messages(), QStringList{QStringLiteral("Файл заблоковано!!!")});
    EXPECT_FALSE(QFile::exists(blocked));

    const QString path = dir.filePath(QStringLiteral("page.grf"));
    ASSERT_TRUE(a.sheet.saveFile(path));

    // Another station with the same project shows the file's page: the curves and the scale
    // column come out pixel for pixel as drawn after the download.
    // A file cut short, or damaged at a line, loads up to there and the window says how far.
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = whole.readAll().split('\n');
    whole.close();
    struct Partial {
        const char *name;
        int keep;
        int damaged;   // 1-based line made unreadable, 0 none
        const char *says;
    } partials[] = {
        {"short.grf", 100, 0, "Файл прочитано лише до рядка 100 з 1982"},
        {"damaged.grf", 1982, 60, "Файл прочитано лише до рядка 59 з 1982"},
        {"foreign.grf", 1982, 1, "Файл прочитано лише до рядка 0 з 1982"},
    };
    Rig p;
    for (const Partial &f : partials) {
        QFile out(dir.filePath(QString::fromLatin1(f.name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        for (int i = 0; i < f.keep; ++i)
            out.write((i + 1 == f.damaged ? QByteArray("x\r") : lines[i]) + '\n');
        out.close();
        ASSERT_TRUE(p.sheet.loadFile(out.fileName()));
        EXPECT_TRUE(p.sheet.fileStatus->isVisibleTo(&p.sheet)) << f.name;
        EXPECT_EQ(p.sheet.fileStatus->text(), QString::fromUtf8(f.says));
        EXPECT_TRUE(p.messages().isEmpty()) << "no message box";
    }

    Rig b;
    ASSERT_TRUE(b.sheet.loadFile(path));
    EXPECT_FALSE(b.sheet.fileStatus->isVisibleTo(&b.sheet));
    ASSERT_TRUE(p.sheet.loadFile(path));
    EXPECT_FALSE(p.sheet.fileStatus->isVisibleTo(&p.sheet)) << "a whole file clears the note";
    EXPECT_EQ(b.sheet.chartState().Graf_ScaleFromProject, 0);
    EXPECT_EQ(b.station.trend.Graf_Page, 12);
    const QRect plot(100, 20, 532, 401);   // the scale column and the chart
    EXPECT_EQ(b.sheet.canvas().copy(plot), a.sheet.canvas().copy(plot));
    EXPECT_TRUE(b.sheet.Frame1->isEnabled());

    // Clicks on the scale column step through the channels; a click on the chart does not.
    const std::int16_t first = b.sheet.chartState().Graf_ScaleSel;
    QTest::mouseClick(b.sheet.chartView(), Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(b.sheet.chartState().Graf_ScaleSel, first);
    for (int i = 1; i <= 5; ++i) {
        QTest::mouseClick(b.sheet.chartView(), Qt::LeftButton, {}, QPoint(120, 100));
        EXPECT_EQ(b.sheet.chartState().Graf_ScaleSel, (first + i) % 5) << i;
    }

    // The desktop's programs come from its folders; the URL handler stands for xdg-open,
    // which reports success whether or not a program takes the file.
    const QByteArray xdg[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
    QByteArray saved[4];
    for (int i = 0; i < 4; ++i) {
        saved[i] = qgetenv(xdg[i].constData());
        qputenv(xdg[i].constData(), QFile::encodeName(dir.filePath(QStringLiteral("desktop"))));
    }
    Opener opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    const QString bare = dir.filePath(QStringLiteral("bare.xlsx"));
    EXPECT_TRUE(b.sheet.exportFile(true, bare));   // no spreadsheet program: the operator is told
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(b.messages(), QStringList{QStringLiteral("Файл збережено: ") + QDir::toNativeSeparators(bare)});
    for (QMessageBox *box : b.sheet.openMessages())
        box->close();
    const QStringList shown = b.messages();

    QDir().mkpath(dir.filePath(QStringLiteral("desktop/applications")));
    QFile calc(dir.filePath(QStringLiteral("desktop/applications/calc.desktop")));
    ASSERT_TRUE(calc.open(QIODevice::WriteOnly));
    calc.write("[Desktop Entry]\nType=Application\nName=Calc\nExec=calc %f\nMimeType=application/"
               "vnd.openxmlformats-officedocument.spreadsheetml.sheet;text/csv;\n");
    calc.close();
    const QString xlsx = dir.filePath(QStringLiteral("page.xlsx"));
    const QString csv = dir.filePath(QStringLiteral("page.csv"));
    EXPECT_TRUE(b.sheet.exportFile(true, xlsx));
    EXPECT_TRUE(b.sheet.exportFile(false, csv));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    for (int i = 0; i < 4; ++i) {
        if (saved[i].isNull())
            qunsetenv(xdg[i].constData());
        else
            qputenv(xdg[i].constData(), saved[i]);
    }
    EXPECT_TRUE(QFile::exists(xlsx));
    EXPECT_TRUE(QFile::exists(csv));
    EXPECT_EQ(opener.opened, (QList<QUrl>{QUrl::fromLocalFile(xlsx), QUrl::fromLocalFile(csv)}));
    EXPECT_EQ(b.messages(), shown);
    EXPECT_FALSE(b.sheet.exportFile(false, dir.filePath(QStringLiteral("missing/page.csv"))));
    EXPECT_EQ(b.messages().size(), shown.size() + 1);

    // "Друк" on a printer that writes a PDF file: the chart page with its title and names.
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(b.sheet.printOn(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(20000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString &word : {QStringLiteral("Котельня"), QStringLiteral("Параметр 3"),
                                    QStringLiteral("07:05:09"), QStringLiteral("Сторінка -")})
            EXPECT_TRUE(out.contains(word)) << word.toStdString();
    }
}

#include "TrendWindowTest.moc"

// "Швидко" follows the verdict kept for the project's controller: refused, ticking it says why
// and leaves it off, and downloads stay paced; accepted, the download runs answer-paced; never
// checked, the check runs first on the link the polling cycle hands over, and closing the
// window stops it.
TEST(TrendWindow, FastItemFollowsTheVerdictKeptForTheController)
{
    QTemporaryDir data;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const FastVerdicts verdicts;
    const QString plant = QStringLiteral("Котельня №3");
    for (const FastVerdict v : {FastVerdict::Refused, FastVerdict::Accepted, FastVerdict::Unknown}) {
        SCOPED_TRACE(int(v));
        ASSERT_TRUE(verdicts.put(plant, 4, QStringLiteral("trend"), v));
        Rig r;
        r.station.project.projectName = plant;
        r.station.project.controllerAddress = 4;
        ASSERT_FALSE(r.sheet.fastBox->isChecked());
        r.sheet.fastBox->setChecked(true);
        EXPECT_EQ(r.sheet.fastBox->isChecked(), v != FastVerdict::Refused);
        EXPECT_EQ(r.messages(), v == FastVerdict::Refused ? QStringList{fastmsg::Refused} : QStringList{});

        ASSERT_TRUE(r.sheet.engine().request(1, 200));
        ASSERT_TRUE(r.sheet.startDownload());
        EXPECT_EQ(r.sheet.fastGate().checking(), v == FastVerdict::Unknown);
        EXPECT_EQ(r.sheet.engine().running(), v != FastVerdict::Unknown);
        EXPECT_EQ(r.sheet.engine().answerPaced(), v == FastVerdict::Accepted);
        if (v == FastVerdict::Unknown) {
            EXPECT_EQ(r.sheet.packetLabel->text(), QStringLiteral("Перевірка швидкого режиму…"));
        }
        // The link is the window's until it closes.
        EXPECT_FALSE(r.sheet.startDownload());
        r.sheet.close();
        EXPECT_FALSE(r.sheet.fastGate().checking());
        EXPECT_FALSE(r.sheet.engine().running());
    }
    EXPECT_EQ(verdicts.get(plant, 4, QStringLiteral("trend")), FastVerdict::Unknown);
    if (before.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
}

}   // namespace
