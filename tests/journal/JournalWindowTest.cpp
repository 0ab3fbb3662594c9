// The journal window and the alarm window offscreen: a page on the grid with its dates,
// colours and event list, page requests, the go-to window, arrow keys and the mouse; alarm
// lines and the buzzer.
#include "JournalFixtures.h"
#include "station/Station.h"
#include "journal/JURNAL_sheet.h"
#include "journal/Jurnal_ALARM_ON.h"
#include "journal/JournalExport.h"
#include "journal/JournalPage.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"
#include "support/QtTestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QApplication>
#include <QLibraryInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int EventBase = 500;

struct Page {
    Station st;
    ScriptedTransport serial, tcp;
    Link link{st, serial, tcp};

    // Page 2 as a current-page answer: pointer 650, row byte 0; record 0 on 7 March 2023 at
    // 09:04:15 with events 0, 2 and 31; record 3 with events 4 and 9.
    Page()
    {
        qtApp();
        for (int n = 0; n < 32; ++n)
            st.project.blockTexts[static_cast<std::size_t>(EventBase + n)] = QStringLiteral("Подія %1").arg(n);
        st.project.Event_Base = EventBase;
        const jtest::Rec r0{15, 4, 9, 7, 3, 23, {0x05, 0, 0, 0x80}};
        const jtest::Rec r3{0, 30, 22, 8, 3, 23, {0x10, 0x02, 0, 0}};
        jtest::fill(st, jtest::answer(2, 0, 650, {{{0, r0}, {3, r3}}}));
        journal::takePage(st, true);
    }
};

QColor fg(const JURNAL_sheet &w, int row, int col) { return w.MSFlexGrid1->item(row - 1, col)->foreground().color(); }
QColor bg(const JURNAL_sheet &w, int row, int col) { return w.MSFlexGrid1->item(row - 1, col)->background().color(); }

QStringList eventColumn(const JURNAL_sheet &w)
{
    QStringList l;
    for (int r = 1; r <= 32; ++r)
        if (!w.cell(r, 3).isEmpty())
            l << QStringLiteral("%1:%2").arg(r).arg(w.cell(r, 3));
    return l;
}

std::vector<int> highlighted(const JURNAL_sheet &w)
{
    std::vector<int> rows;
    for (int r = 1; r <= 32; ++r) {
        const bool date = bg(w, r, 1) == QColor(255, 192, 192);
        const bool time = bg(w, r, 2) == QColor(255, 192, 192);
        EXPECT_EQ(date, time) << "row " << r;
        if (date)
            rows.push_back(r);
    }
    return rows;
}

TEST(JournalWindow, ShowsThePageWithDatesColoursAndTheSelectedRecordsEvents)
{
    Page p;
    JURNAL_sheet w(p.st, p.link);
    w.JURNAL_SCREEN();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Журнал"));
    const QStringList headings{QStringLiteral("№ події"), QStringLiteral("Дата"), QStringLiteral("Час"),
                               QStringLiteral("Аварійне повідомлення")};
    const int widths[] = {46, 86, 86, 404};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(w.cell(0, c), headings[c]);
        EXPECT_NEAR(w.MSFlexGrid1->columnWidth(c), widths[c], c == 3 ? 400 : 1) << c;
    }
    EXPECT_EQ(w.Num_STR_Jurnal->text(), QStringLiteral("3"));
    EXPECT_EQ(w.cell(1, 0), QStringLiteral("65"));
    EXPECT_EQ(w.cell(32, 0), QStringLiteral("96"));
    EXPECT_EQ(w.cell(1, 1), QStringLiteral("07/03/23"));
    EXPECT_EQ(w.cell(1, 2), QStringLiteral("09:04:15"));
    // Record 5's bytes are 6, 7, 8, 9, 10, 11: second 6, minute 7, hour 8, day 9, month 10, year 11.
    EXPECT_EQ(w.cell(6, 1), QStringLiteral("09/10/11"));
    EXPECT_EQ(w.cell(6, 2), QStringLiteral("08:07:06"));
    // Offset 640 lies below the pointer 650: written, blue; 650 and above: grey.
    EXPECT_EQ(fg(w, 1, 1), QColor(0, 0, 255));
    EXPECT_EQ(fg(w, 1, 2), QColor(0, 0, 255));
    for (int r = 2; r <= 32; ++r) {
        ASSERT_EQ(fg(w, r, 1), QColor(128, 128, 128)) << r;
        ASSERT_EQ(fg(w, r, 2), QColor(128, 128, 128)) << r;
    }
    EXPECT_TRUE(w.MSFlexGrid1->item(0, 1)->font().bold());
    EXPECT_EQ(eventColumn(w),
              (QStringList{QStringLiteral("1:Подія 0"), QStringLiteral("2:Подія 2"), QStringLiteral("3:Подія 31")}));
    EXPECT_EQ(fg(w, 1, 3), QColor(255, 0, 0));
    EXPECT_EQ(highlighted(w), std::vector<int>{1});
    EXPECT_EQ(w.view().Jurnal_Event_Count, 5 + 2);
    EXPECT_EQ(w.spanLabel->text(), QStringLiteral("Записи сторінки: 05/06/07    04:03:02 — 08/03/23    22:30:00"));

    // The row byte after a current-page request picks the record: byte 3 highlights row 4.
    p.st.journal.Jurnal_Buf[323] = 3;
    journal::takePage(p.st, true);
    w.JURNAL_SCREEN();
    EXPECT_EQ(highlighted(w), std::vector<int>{4});
    EXPECT_EQ(eventColumn(w), (QStringList{QStringLiteral("1:Подія 4"), QStringLiteral("2:Подія 9")}));

    // A left click selects a row; another button repeats the selection.
    w.show();
    const QRect cellRect = w.MSFlexGrid1->visualItemRect(w.MSFlexGrid1->item(0, 1));
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
        QMouseEvent press(QEvent::MouseButtonPress, cellRect.center(),
                          w.MSFlexGrid1->viewport()->mapToGlobal(cellRect.center()), b, b, Qt::NoModifier);
        QCoreApplication::sendEvent(w.MSFlexGrid1->viewport(), &press);
        EXPECT_EQ(w.view().Jurnal_Sel_Row, 1);
        EXPECT_EQ(highlighted(w), std::vector<int>{1});
        EXPECT_EQ(eventColumn(w).size(), 3);
    }
}

TEST(JournalWindow, PageRequestsAndTheGoToWindow)
{
    Page p;
    JURNAL_sheet w(p.st, p.link);
    struct Case {
        const char *action;
        int pageBefore;
        QString typed;
        QString boxAfter;
        int pageRequested;
    };
    const Case cases[] = {
        {"go", 2, QStringLiteral("1"), QStringLiteral("1"), 0},
        {"go", 2, QStringLiteral("40"), QStringLiteral("32"), 31},
        {"go", 2, QStringLiteral("0"), QStringLiteral("1"), 0},
        {"go", 2, QStringLiteral("7.6"), QStringLiteral("7.6"), 7},
        {"go", 2, QStringLiteral("сім"), QStringLiteral("1"), 0},
        {"dec", 0, {}, {}, 0},
        {"dec", 5, {}, {}, 4},
        {"inc", 31, {}, {}, 31},
        {"inc", 5, {}, {}, 6},
        {"dec", 200, {}, {}, 200},   // nothing arrived yet: the current page
        {"current", 5, {}, {}, 200},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + c.typed.toStdString() + " from " + std::to_string(c.pageBefore));
        p.st.journal.Jurnal_Page = static_cast<std::int16_t>(c.pageBefore);
        p.st.journal.Jurnal_Request = 0;
        p.st.journal.Jurnal_Find = 1;
        w.view().Jurnal_Sel_Row = 9;
        const std::string a = c.action;
        if (a == "go") {
            w.Jurnal_GO_Click();
            EXPECT_FALSE(w.isEnabled()) << "the go-to window holds the journal window";
            w.goWindow()->Text1->setText(c.typed);
            w.goWindow()->Ok->click();
            EXPECT_EQ(w.goWindow()->Text1->text(), c.boxAfter);
            EXPECT_TRUE(w.isEnabled());
        } else if (a == "dec") {
            w.Jurnal_DEC->click();
        } else if (a == "inc") {
            w.Jurnal_INC->click();
        } else {
            w.Command_Tekus->click();
        }
        EXPECT_EQ(p.st.journal.Jurnal_Page, c.pageRequested);
        EXPECT_EQ(p.st.journal.Jurnal_Request, 1);
        EXPECT_EQ(p.st.journal.Jurnal_Find, 0);
        EXPECT_EQ(w.view().Jurnal_Sel_Row, 1);
        EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
        EXPECT_TRUE(w.Timer2->isActive());
    }
    w.Timer2_Timer();
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
    // Cancel changes nothing.
    p.st.journal.Jurnal_Request = 0;
    w.Jurnal_GO_Click();
    w.goWindow()->Cancel->click();
    EXPECT_EQ(p.st.journal.Jurnal_Request, 0);
    EXPECT_TRUE(w.isEnabled());
}

TEST(JournalWindow, FindByDateRaisesTheFindAndClosesWhenTheRequestIsSent)
{
    Page p;
    p.serial.open(Endpoint{1, {}, 0});
    JURNAL_sheet w(p.st, p.link);
    w.show();
    w.Image4->click();
    Find_JURNAL_DATA *f = w.findWindow();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Пошук події по даті"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(w.isEnabled());
    const auto shown = [&] {
        return QStringList{f->Hour->currentText(), f->Number->currentText(), f->Month->currentText(),
                           f->Year->currentText()};
    };
    EXPECT_EQ(shown(), (QStringList{"0", "1", "1", "19"}));
    EXPECT_EQ(f->Hour->count(), 24);
    EXPECT_EQ(f->Year->itemText(31), QStringLiteral("50"));

    f->Hour->setCurrentIndex(14);
    f->Number->setCurrentIndex(6);
    f->Month->setCurrentIndex(2);
    f->Year->setCurrentIndex(4);
    f->Ok->click();
    EXPECT_EQ((std::array<int, 4>{p.st.journal.Find_Hour, p.st.journal.Find_Day, p.st.journal.Find_Month,
                                  p.st.journal.Find_Year}),
              (std::array<int, 4>{14, 7, 3, 23}));
    EXPECT_EQ(p.st.journal.Jurnal_Find, 1);
    EXPECT_EQ(p.st.journal.Jurnal_Request, 1);
    EXPECT_TRUE(f->ProgressBar1->isVisible());
    // A second Ok while the find runs changes nothing.
    f->Hour->setCurrentIndex(3);
    f->Ok->click();
    EXPECT_EQ(p.st.journal.Find_Hour, 14);
    for (int i = 0; i < 11; ++i)
        f->Timer1_Timer();
    EXPECT_EQ(f->ProgressBar1->value(), 11);
    f->Timer1_Timer();
    EXPECT_FALSE(f->ProgressBar1->isVisible());
    EXPECT_FALSE(f->Timer1->isActive());

    // The polling cycle hands over the link: the find goes out and the window closes.
    ASSERT_TRUE(w.startDownload());
    EXPECT_FALSE(w.startDownload()) << "one download at a time";
    w.engine().tick();
    ASSERT_EQ(p.serial.writes.size(), 1u);
    EXPECT_EQ(p.serial.writes[0].toHex(' '), QByteArray::fromHex("014E0E070317139A").toHex(' '));
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(w.Frame1->isEnabled());
    w.engine().tick();
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(p.st.journal.Jurnal_Find, 1) << "sent, not cancelled";
    p.serial.inject(jtest::answer(9, 4, 3000));
    w.engine().tick();
    EXPECT_FALSE(w.engine().active());
    EXPECT_TRUE(w.Frame1->isEnabled());
    EXPECT_EQ(w.Num_STR_Jurnal->text(), QStringLiteral("10"));
    EXPECT_EQ(highlighted(w), std::vector<int>{5});

    // Opened again: the last search, and no find pending.
    w.Image4->click();
    EXPECT_EQ(shown(), (QStringList{"14", "7", "3", "23"}));
    EXPECT_EQ(p.st.journal.Jurnal_Find, 0);
    f->Cancel->click();
    EXPECT_TRUE(w.isEnabled());
}

TEST(JournalWindow, HeldArrowKeysMoveTenRecordsOrOnePageASecond)
{
    Page p;
    JURNAL_sheet w(p.st, p.link);
    w.JURNAL_SCREEN();
    w.show();
    const auto key = [&](QEvent::Type t, int k) {
        QKeyEvent e(t, k, Qt::NoModifier);
        QCoreApplication::sendEvent(w.MSFlexGrid1, &e);
    };
    key(QEvent::KeyPress, Qt::Key_Down);
    for (int i = 0; i < 3; ++i)
        w.Timer1_Timer();
    EXPECT_EQ(w.view().Jurnal_Sel_Row, 4);
    EXPECT_EQ(highlighted(w), std::vector<int>{4});
    EXPECT_EQ(eventColumn(w), (QStringList{QStringLiteral("1:Подія 4"), QStringLiteral("2:Подія 9")}));
    EXPECT_EQ(w.Timer1->interval(), 100);
    key(QEvent::KeyRelease, Qt::Key_Down);
    w.Timer1_Timer();
    EXPECT_EQ(w.view().Jurnal_Sel_Row, 4);

    key(QEvent::KeyPress, Qt::Key_Up);
    for (int i = 0; i < 10; ++i)
        w.Timer1_Timer();
    EXPECT_EQ(w.view().Jurnal_Sel_Row, 1) << "stops at the first row";
    key(QEvent::KeyRelease, Qt::Key_Up);

    key(QEvent::KeyPress, Qt::Key_Right);
    w.Timer1_Timer();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 3);
    EXPECT_EQ(p.st.journal.Jurnal_Request, 1);
    EXPECT_EQ(w.Timer1->interval(), 1000);
    w.Timer1_Timer();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 4);
    key(QEvent::KeyRelease, Qt::Key_Right);
    w.Timer1_Timer();
    EXPECT_EQ(w.Timer1->interval(), 100);
    EXPECT_EQ(p.st.journal.Jurnal_Page, 4);

    key(QEvent::KeyPress, Qt::Key_Left);
    w.Timer1_Timer();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 3);
    // Hidden, the window forgets the key it never saw released.
    w.hide();
    w.show();
    w.Timer1_Timer();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 3);
}

// A window whose file dialogs, printer dialog and document opener are answered by the test.
struct ScriptedSheet : JURNAL_sheet {
    using JURNAL_sheet::JURNAL_sheet;
    QString path;
    QStringList titles, proposed, opened;
    bool viewerFound = true;
    void askSavePath(const QString &title, const QString &name, const QString &, FileDialogs::PathDone done) override
    {
        titles << title;
        proposed << name;
        done(path);
    }
    void askOpenPath(const QString &, FileDialogs::PathDone done) override { done(path); }
    bool openDocument(const QString &p) override
    {
        opened << p;
        return viewerFound;
    }
    void choosePrinter(QPrinter *printer, FileDialogs::PrintDone done) override
    {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        done(true);
    }
    QStringList messageTexts() const
    {
        QStringList l;
        for (QMessageBox *b : messages())
            l << b->text();
        return l;
    }
};

TEST(JournalWindow, ArchiveButtonsSaveOpenExportAndPrintThePageAndReportFailures)
{
    Page p;
    QTemporaryDir dir;
    ScriptedSheet w(p.st, p.link);
    w.JURNAL_SCREEN();
    const journal::Buffer page = p.st.journal.Jurnal_Buf;

    w.path = dir.filePath(QStringLiteral("page3"));
    w.SAVE->click();
    EXPECT_EQ(w.proposed.last(), QStringLiteral("Журнал подій "));
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("page3.jur"))));

    // Another page arrives; opening the file brings the saved one back onto the grid.
    p.st.journal.Jurnal_Buf.fill(0);
    p.st.journal.Jurnal_Page = 7;
    w.JURNAL_SCREEN();
    w.path = dir.filePath(QStringLiteral("page3.jur"));
    w.LOAD->click();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 2);
    EXPECT_EQ(w.Num_STR_Jurnal->text(), QStringLiteral("3"));
    EXPECT_EQ(w.cell(1, 1), QStringLiteral("07/03/23"));
    for (int k = 0; k < 330; ++k)
        ASSERT_EQ(p.st.journal.Jurnal_Buf[k], page[k]) << k;
    const journal::Buffer loaded = p.st.journal.Jurnal_Buf;

    // A damaged file leaves the page as it is and says why.
    QFile bad(dir.filePath(QStringLiteral("bad.jur")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("3\r\ntitle\r\n1\r\n");
    bad.close();
    w.path = bad.fileName();
    w.LOAD->click();
    EXPECT_EQ(p.st.journal.Jurnal_Buf, loaded);
    ASSERT_EQ(w.messageTexts().size(), 1);
    EXPECT_TRUE(w.messageTexts()[0].contains(QStringLiteral("bad.jur")));

    // A file that cannot be written.
    w.path = dir.filePath(QStringLiteral("no/such/folder/x.jur"));
    w.SAVE->click();
    EXPECT_EQ(w.messageTexts().size(), 2);
    EXPECT_EQ(w.messageTexts().last(), QStringLiteral("Файл заблоковано!!!"));

    // Excel: a workbook named after the page, shown to the operator; without a viewer the
    // message names the file.
    w.path = dir.filePath(QStringLiteral("book"));
    w.EXCEL->click();
    EXPECT_EQ(w.proposed.last(), QStringLiteral("Журнал подій 3.xlsx"));
    ASSERT_EQ(w.opened, QStringList{dir.filePath(QStringLiteral("book.xlsx"))});
    EXPECT_TRUE(QFileInfo(w.opened[0]).size() > 0);
    w.viewerFound = false;
    w.EXCEL->click();
    EXPECT_TRUE(w.messageTexts().last().contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("book.xlsx")))));

    w.path = dir.filePath(QStringLiteral("events.csv"));
    w.CSV->click();
    EXPECT_EQ(w.proposed.last(), QStringLiteral("Журнал подій 3.csv"));
    EXPECT_TRUE(QFileInfo(w.path).size() > 0);

    w.path = dir.filePath(QStringLiteral("print.pdf"));
    w.PRINT_ON->click();
    QFile pdf(w.path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_EQ(w.messageTexts().size(), 3);
}

struct RecordingSink : journal::SoundSink {
    int *plays;
    explicit RecordingSink(int *plays) : plays(plays) {}
    void play() override { ++*plays; }
};

TEST(AlarmWindow, ListsNewAlarmsWithTheirTimeKeepsTheNewestEightAndSoundsOnlyWhenAsked)
{
    Page p;
    int plays = 0;
    Jurnal_ALARM_ON w(p.st, std::make_unique<RecordingSink>(&plays));
    const ManualClock at(QDateTime(QDate(2026, 12, 8), QTime(12, 34, 56)).toMSecsSinceEpoch());
    w.clock = &at;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Аварійне повідомлення"));
    EXPECT_EQ(w.Alarm_Sound()->text(), QStringLiteral("Звукова сигналізація"));

    w.alarmWord({0, 0, 0, 0x05});
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.Alarm_Sound()->isChecked()) << "sound is on at program start";
    EXPECT_EQ(w.lineTexts(), (QStringList{QStringLiteral("12:34:56   Подія 0"), QStringLiteral("12:34:56   Подія 2")}));
    EXPECT_TRUE(w.Alarm(1)->isVisible());
    EXPECT_FALSE(w.Alarm(2)->isVisible());
    EXPECT_EQ(w.Alarm(0)->text(), QStringLiteral("12:34:56   Подія 0"));
    EXPECT_TRUE(w.Zummer()->isActive());
    EXPECT_EQ(w.Zummer()->interval(), 500);
    w.Zummer_Timer();
    w.Zummer_Timer();
    EXPECT_EQ(plays, 2);
    w.KCC()->click();
    EXPECT_FALSE(w.Zummer()->isActive());

    // Ten more alarms: the newest eight lines stay.
    w.alarmWord({0, 0, 0x0F, 0xFF});
    QStringList expected;
    for (int n : {4, 5, 6, 7, 8, 9, 10, 11})
        expected << QStringLiteral("12:34:56   Подія %1").arg(n);
    EXPECT_EQ(w.lineTexts(), expected);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(w.Alarm(i)->isVisible()) << i;
    EXPECT_EQ(p.st.alarm.Alarm_Lines, 12);

    // With the box cleared the buzzer plays nothing although Zummer runs.
    w.Alarm_Sound()->setChecked(false);
    w.Zummer()->start();
    w.Zummer_Timer();
    EXPECT_EQ(plays, 2);

    w.Ok()->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(p.st.alarm.Sound_On, 0);
    EXPECT_EQ(p.st.alarm.Alarm_Lines, 0);
    EXPECT_FALSE(w.Zummer()->isActive());

    // Still set at the next poll: announced again, with the sound box as the operator left it.
    w.alarmWord({0, 0, 0, 0x01});
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.Alarm_Sound()->isChecked());
    EXPECT_EQ(w.lineTexts(), QStringList{QStringLiteral("12:34:56   Подія 0")});
    EXPECT_FALSE(w.Zummer()->isActive());
    w.close();
    EXPECT_EQ(p.st.alarm.Alarm_Shown, (std::array<std::uint8_t, 4>{}));
}

// After a page change that has not arrived (or failed), Save, Excel and the printout still
// describe the page on show; a reopened window shows no old page and offers nothing to save.
TEST(JournalWindow, ArchiveWorksOnThePageOnShowAndAReopenedWindowStartsBlank)
{
    Page p;
    QTemporaryDir dir;
    ScriptedSheet w(p.st, p.link);
    w.JURNAL_SCREEN();
    w.Jurnal_INC_Click();   // page 4 asked for; page 3 (byte 2) on show
    ASSERT_EQ(p.st.journal.Jurnal_Page, 3);

    w.path = dir.filePath(QStringLiteral("p.jur"));
    w.SAVE->click();
    QFile f(w.path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readLine().trimmed(), QByteArray("3"));
    w.path = dir.filePath(QStringLiteral("book.xlsx"));
    w.EXCEL->click();
    EXPECT_EQ(w.proposed.last(), QStringLiteral("Журнал подій 3.xlsx"));
    const std::vector<journal::EventRow> rows = journal::eventRows(p.st);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(rows[0].written) << "record 0 of page 3 lies below pointer 650";
    bool pageLine = false;
    for (const journal::PrintText &t : journal::printLayout(p.st, 100000))
        pageLine = pageLine || t.text == QStringLiteral("Сторінка - 3");
    EXPECT_TRUE(pageLine);
    EXPECT_EQ(w.titles.first(), QStringLiteral("Зберегти журнал"));
    // That request ends without a page: the next step goes from the page on show.
    p.st.journal.Jurnal_Request = 0;
    w.Jurnal_INC_Click();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 3);
    p.st.journal.Jurnal_Request = 0;
    w.Jurnal_DEC_Click();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 1);
    w.Jurnal_INC_Click();   // still waiting: requests add up
    EXPECT_EQ(p.st.journal.Jurnal_Page, 2);

    // Closed and opened again: the grid as set up, page label 1, nothing to save or print.
    w.close();
    w.prepareForRequest();
    EXPECT_EQ(w.cell(1, 1), QString());
    EXPECT_EQ(w.cell(1, 2), QString());
    EXPECT_EQ(w.cell(1, 3), QString());
    EXPECT_EQ(w.cell(32, 0), QStringLiteral("32"));
    EXPECT_EQ(w.Num_STR_Jurnal->text(), QStringLiteral("1"));
    EXPECT_NE(bg(w, 1, 1), QColor(255, 192, 192));
    for (QToolButton *b : {w.SAVE, w.EXCEL, w.CSV, w.PRINT_ON})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(w.LOAD->isEnabled());
    const int saves = static_cast<int>(w.proposed.size());
    w.SAVE_Click();
    EXPECT_EQ(w.proposed.size(), saves) << "no dialog without a page on show";
    // A page that arrives is shown again.
    w.JURNAL_SCREEN();
    EXPECT_EQ(w.cell(1, 1), QStringLiteral("07/03/23"));
    EXPECT_TRUE(w.SAVE->isEnabled());
}

// The download's timer is precise; an arrow tap shorter than the keyboard tick still moves;
// all 32 rows are in view on a 1024 x 768 screen.
TEST(JournalWindow, PreciseDownloadTimerQuickArrowTapsAndAllRowsOnA1024x768Screen)
{
    Page p;
    JURNAL_sheet w(p.st, p.link);
    w.JURNAL_SCREEN();
    EXPECT_EQ(w.Timer_Opros_JURNAL->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(w.Timer1->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(w.findWindow()->Timer1->timerType(), Qt::PreciseTimer);
    ASSERT_TRUE(w.startDownload());
    EXPECT_TRUE(w.Timer_Opros_JURNAL->isActive());
    EXPECT_LE(w.Timer_Opros_JURNAL->interval(), 600);
    EXPECT_GE(w.Timer_Opros_JURNAL->interval(), 500);
    w.close();

    w.show();
    const auto tap = [&](int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(w.MSFlexGrid1, &press);
        QCoreApplication::sendEvent(w.MSFlexGrid1, &release);
    };
    ASSERT_EQ(w.view().Jurnal_Sel_Row, 1);
    tap(Qt::Key_Down);
    w.Timer1_Timer();
    EXPECT_EQ(w.view().Jurnal_Sel_Row, 2);
    w.Timer1_Timer();
    EXPECT_EQ(w.view().Jurnal_Sel_Row, 2) << "a tap moves once";
    tap(Qt::Key_Down);   // three taps within one tick: three rows, one a tick
    tap(Qt::Key_Down);
    tap(Qt::Key_Down);
    tap(Qt::Key_Up);
    for (int i = 0; i < 4; ++i)
        w.Timer1_Timer();
    EXPECT_EQ(w.view().Jurnal_Sel_Row, 4);
    tap(Qt::Key_Right);
    w.Timer1_Timer();
    EXPECT_EQ(p.st.journal.Jurnal_Page, 3);
    EXPECT_EQ(p.st.journal.Jurnal_Request, 1);

    // Room for a title bar of 30 px and a panel of 40 px.
    EXPECT_LE(w.width(), 1024);
    EXPECT_LE(w.height(), 768 - 70);
    QTableWidget *g = w.MSFlexGrid1;
    EXPECT_LE(g->rowViewportPosition(31) + g->rowHeight(31), g->viewport()->height()) << "row 32 cut off";
    w.close();
}

// While a Save dialog of the journal window is open, the alarm window takes a click on its
// silence button, and no download starts under the dialog.
TEST(JournalWindow, AlarmWindowTakesClicksWhileASaveDialogIsOpen)
{
    Page p;
    JURNAL_sheet w(p.st, p.link);
    w.show();
    w.JURNAL_SCREEN();
    int plays = 0;
    Jurnal_ALARM_ON alarm(p.st, std::make_unique<RecordingSink>(&plays));
    alarm.alarmWord({0, 0, 0, 0x01});
    ASSERT_TRUE(alarm.isVisible());
    ASSERT_TRUE(alarm.Zummer()->isActive());

    bool ran = false, dialogSeen = false, buzzing = true, started = true;
    QTimer::singleShot(0, &alarm, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        dialogSeen = dialog != nullptr && dialog->inherits("QFileDialog");
        // Through the window system, as a real mouse: modal blocking applies there.
        QTest::mouseClick(alarm.windowHandle(), Qt::LeftButton, {},
                          alarm.KCC()->mapTo(&alarm, alarm.KCC()->rect().center()));
        buzzing = alarm.Zummer()->isActive();
        started = w.startDownload();
        if (dialog)
            dialog->close();
        ran = true;
    });
    w.SAVE->click();   // an application-modal dialog would only return here once closed
    for (int i = 0; i < 200 && !ran; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(dialogSeen);
    EXPECT_FALSE(buzzing) << "the silence button did not take the click";
    EXPECT_FALSE(started) << "a download started under the open dialog";
    for (int i = 0; i < 50 && FileDialogs::isOpen(&w); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(FileDialogs::isOpen(&w));
    EXPECT_TRUE(w.startDownload()) << "once the dialog is gone";
    w.close();
    alarm.close();
}

// Qt's own dialogs speak Ukrainian when the translations are installed; a folder without them
// leaves the English texts and nothing else.
TEST(FileDialogs, QtTranslationsLoadWhenInstalledAndAreSkippedWhenMissing)
{
    qtApp();
    QTemporaryDir empty;
    EXPECT_FALSE(installQtTranslations(*QCoreApplication::instance(), empty.path()));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Save As"));
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(dir + QStringLiteral("/qtbase_uk.qm")))
        GTEST_SKIP() << "qt6-translations-l10n is not installed";
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Зберегти як"));
}

}   // namespace

namespace {

// "Швидко" follows the verdict kept for the controller: refused, ticking it says why and leaves
// it off; accepted, the download runs answer-paced; never checked, the check runs first on the
// link the polling cycle handed over, and closing the window stops it and resumes polling.
TEST(JournalWindow, FastItemFollowsTheVerdictKeptForTheController)
{
    QTemporaryDir data;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const FastVerdicts verdicts;
    for (const FastVerdict v : {FastVerdict::Refused, FastVerdict::Accepted, FastVerdict::Unknown}) {
        SCOPED_TRACE(int(v));
        Page p;
        p.st.project.projectName = QStringLiteral("Котельня");
        p.st.project.controllerAddress = 3;
        ASSERT_TRUE(verdicts.put(p.st.project.projectName, 3, QStringLiteral("journal"), v));
        JURNAL_sheet w(p.st, p.link);
        int resumed = 0;
        QObject::connect(&w, &JURNAL_sheet::pollingResumed, [&] { ++resumed; });
        ASSERT_FALSE(w.fastBox->isChecked());
        w.fastBox->setChecked(true);
        EXPECT_EQ(w.fastBox->isChecked(), v != FastVerdict::Refused);
        QStringList said;
        for (QMessageBox *box : w.messages())
            said << box->text();
        EXPECT_EQ(said, v == FastVerdict::Refused ? QStringList{fastmsg::Refused} : QStringList{});

        p.st.journal.Jurnal_Request = 1;
        ASSERT_TRUE(w.startDownload());
        EXPECT_EQ(w.fastGate().checking(), v == FastVerdict::Unknown);
        EXPECT_EQ(w.engine().active(), v != FastVerdict::Unknown);
        EXPECT_EQ(w.engine().answerPaced(), v == FastVerdict::Accepted);
        EXPECT_FALSE(w.startDownload());
        w.close();
        EXPECT_FALSE(w.fastGate().checking());
        EXPECT_FALSE(w.engine().active());
        EXPECT_EQ(resumed, 1);
    }
    if (before.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
}

}   // namespace
