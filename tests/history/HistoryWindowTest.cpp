// The history window offscreen over a store that a writer keeps filling: the chart of a
// group across two pages with the hour between them a gap, the mouse's zoom, the journal's
// search and range, the action filter, the exports' files, and the line shown when there is
// no history yet.
#include "history/HistoryPainter.h"
#include "history/HistoryWindow.h"
#include "HistoryContents.h"
#include "HistoryImages.h"
#include "support/QtTestApp.h"
#include "support/XlsxDump.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace historytest;
using history::HistoryWindow;

const qint64 S = March5 + 7 * Hour;   // 2024-03-05 07:00:00
const QDateTime Seven(QDate(2024, 3, 5), QTime(7, 0, 0), Qt::UTC);

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList column(const QTableWidget *t, int c)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, c) ? t->item(r, c)->text() : QString());
    return out;
}

// Whether pixel column x of the plot holds any channel's colour (the names below it do not count).
bool drawnAt(const QImage &img, int x)
{
    const QRect plot = history::HistoryPainter::plotRect(img.size());
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        for (int c = 0; c < 4; ++c)
            if (img.pixelColor(x, y) == history::HistoryPainter::channelColour(c))
                return true;
    return false;
}

TEST(HistoryWindow, ShowsTheStoredHistoryFiltersTheJournalAndExportsWhatIsShown)
{
    qtApp();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Kotelnya-1.sqlite"));
    QString error;
    // The station's writer stays open beside the window's reader.
    auto writer = history::HistoryStore::open(file, &error);
    ASSERT_TRUE(writer) << error.toStdString();
    const history::Channels names{history::Channel{0, QStringLiteral("Температура")},
                                  {1, QStringLiteral("Тиск, кПа")},
                                  {2, QStringLiteral("Рівень")},
                                  {3, QStringLiteral("Витрата живильної води після економайзера")}};
    // Group 4 (index 3): 07:00..07:59:52.5 and 09:00..09:59:52.5 at 7.5 s; 08:00..09:00 is a gap.
    for (int k : {0, 2})
        ASSERT_EQ(
            int(writer->storeTrendPage(3, image(regularStamps(Seven.addSecs(3600 * k), 7500), 480), k, names, 0).kind),
            int(history::Stored::New));
    ASSERT_TRUE(storeJournal(*writer));
    ASSERT_TRUE(storeActions(*writer));

    HistoryWindow w;
    w.resize(1000, 700);
    w.show();
    ASSERT_TRUE(spinUntil([&] { return w.isVisible(); }));
    ASSERT_TRUE(w.open(file));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Історія"));
    EXPECT_EQ(w.status->text(), QStringLiteral("Історія %1: сторінок графіків 2").arg(QDir::toNativeSeparators(file)));
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("Графіки"));
    EXPECT_EQ(w.tabs->tabText(1), QStringLiteral("Журнал"));
    EXPECT_EQ(w.tabs->tabText(2), QStringLiteral("Дії оператора"));

    // Group 4 over 8 hours from 06:00.
    w.groupBox->setCurrentIndex(3);
    w.spanBox->setCurrentIndex(1);
    Q_EMIT w.spanBox->activated(1);
    w.jumpEdit->setDateTime(QDateTime(QDate(2024, 3, 5), QTime(6, 0, 0), Qt::UTC));
    w.jumpButton->click();
    history::HistoryChart &chart = *w.chart();
    EXPECT_EQ(chart.group(), 3);
    EXPECT_EQ(chart.from(), S - Hour);
    EXPECT_EQ(chart.to(), S + 7 * Hour - 1);
    EXPECT_EQ(w.channelBoxes[1]->text(), QStringLiteral("Тиск, кПа"));
    // A long name is cut on its box, so that the window still fits a 1024-pixel screen.
    EXPECT_EQ(w.channelBoxes[3]->text(), QStringLiteral("Витрата живильної води …"));
    EXPECT_EQ(w.channelBoxes[3]->toolTip(), QStringLiteral("Витрата живильної води після економайзера"));
    EXPECT_LE(w.minimumSizeHint().width(), 1024);
    EXPECT_EQ(w.rangeLabel->text(), QStringLiteral("2024-03-05 06:00:00 — 2024-03-05 13:59:59   (8 год)"));
    EXPECT_EQ(w.spanBox->currentText(), QStringLiteral("8 годин"));

    // One column per pixel of the plot; each column's share of the 8 hours decides what it holds.
    const int n = chart.columnCount();
    ASSERT_EQ(n, w.chartView->width() - 96);
    ASSERT_EQ(int(chart.columns().size()), n);
    const QImage img = w.chartView->grab().toImage();
    int total = 0;
    for (int k = 0; k < n; ++k) {
        const qint64 lo = qint64(k) * 8 * Hour / n, hi = qint64(k + 1) * 8 * Hour / n;   // from 06:00
        const int count = chart.columns()[std::size_t(k)].count;
        total += count;
        const bool empty = hi <= Hour || (lo >= 2 * Hour && hi <= 3 * Hour) || lo >= 4 * Hour;
        const bool full = (lo >= Hour && hi <= 2 * Hour - 7500) || (lo >= 3 * Hour && hi <= 4 * Hour - 7500);
        if (empty) {
            EXPECT_EQ(count, 0) << k;
            EXPECT_FALSE(drawnAt(img, 80 + k)) << k;
        }
        if (full) {
            EXPECT_GT(count, 0) << k;
            EXPECT_TRUE(drawnAt(img, 80 + k)) << k;
        }
    }
    EXPECT_EQ(total, 960);

    // A notch of the wheel about the plot's middle: 0.8 of 8 hours.
    const QPointF mid(80 + n / 2, 100);
    QWheelEvent wheel(mid, w.chartView->mapToGlobal(mid), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.chartView, &wheel);
    EXPECT_EQ(chart.span(), 8 * Hour * 4 / 5);
    EXPECT_EQ(w.spanBox->currentIndex(), -1);   // no preset has that span
    EXPECT_TRUE(w.rangeLabel->text().endsWith(QStringLiteral("(6 год 24 хв)"))) << w.rangeLabel->text().toStdString();
    // A left drag over columns 100..199 shows just them.
    const qint64 from = chart.from(), span = chart.span();
    QTest::mousePress(w.chartView, Qt::LeftButton, {}, QPoint(180, 100));
    QTest::mouseMove(w.chartView, QPoint(230, 100));
    QTest::mouseMove(w.chartView, QPoint(279, 100));
    QTest::mouseRelease(w.chartView, Qt::LeftButton, {}, QPoint(279, 100));
    const auto startOf = [&](int k) { return from + qint64(std::ceil(double(k) * double(span) / n)); };
    EXPECT_EQ(chart.from(), startOf(100));
    EXPECT_EQ(chart.to(), startOf(200) - 1);

    // The arrow keys move by a tenth of the columns, + zooms about the middle.
    const qint64 dragged = chart.from(), draggedSpan = chart.span();
    QTest::keyClick(w.chartView, Qt::Key_Left);
    EXPECT_EQ(chart.from(), dragged - std::llround(double(n / 10) * double(draggedSpan) / n));
    QTest::keyClick(w.chartView, Qt::Key_Right);
    EXPECT_EQ(chart.from(), dragged);
    QTest::keyClick(w.chartView, Qt::Key_Plus);
    EXPECT_EQ(chart.span(), std::llround(double(draggedSpan) * 0.8));

    // The samples of the minute from 07:00, as CSV; the chart as a workbook and a PDF.
    chart.setRange(S, S + Minute - 1);
    w.refreshChart();
    const QString csv = dir.filePath(QStringLiteral("g4.csv"));
    ASSERT_TRUE(w.exportSamples(HistoryWindow::Format::Csv, csv));
    EXPECT_EQ(
        fileBytes(csv),
        QByteArray("\xEF\xBB\xBF")
            + QStringLiteral("Дата і час,Температура,\"Тиск, кПа\",Рівень,Витрата живильної води після економайзера\r\n"
                             "2024-03-05 07:00:00.000,0.125,0.25,-0.5,1\r\n"
                             "2024-03-05 07:00:07.500,0.25,0.5,-1,2\r\n"
                             "2024-03-05 07:00:15.000,0.5,1,-2,4\r\n"
                             "2024-03-05 07:00:22.500,1,2,-4,8\r\n"
                             "2024-03-05 07:00:30.000,2,4,-8,16\r\n"
                             "2024-03-05 07:00:37.500,4,8,-16,0.125\r\n"
                             "2024-03-05 07:00:45.000,8,16,-0.125,0.25\r\n"
                             "2024-03-05 07:00:52.500,16,0.125,-0.25,0.5\r\n")
                  .toUtf8());
    ASSERT_FALSE(w.openMessages().empty());
    EXPECT_EQ(w.openMessages().back()->text(), QStringLiteral("Файл збережено: %1").arg(QDir::toNativeSeparators(csv)));
    // The same minute as a workbook: a title, the heading, one row per sample.
    const QString xlsx = dir.filePath(QStringLiteral("g4.xlsx"));
    ASSERT_TRUE(w.exportSamples(HistoryWindow::Format::Xlsx, xlsx));
    QString why;
    const QJsonObject cells = dumpXlsx(xlsx, &why)[QStringLiteral("cells")].toObject();
    ASSERT_FALSE(cells.isEmpty()) << why.toStdString();
    const std::pair<const char *, QJsonValue> book[] = {
        {"A1", QStringLiteral("Група 4   2024-03-05 07:00:00 — 2024-03-05 07:00:59")},
        {"A2", QStringLiteral("Дата і час")},
        {"C2", QStringLiteral("Тиск, кПа")},
        {"A3", QStringLiteral("2024-03-05 07:00:00.000")},
        {"B3", 0.125},
        {"D3", -0.5},
        {"A10", QStringLiteral("2024-03-05 07:00:52.500")},
        {"E10", 0.5},
        {"A11", QJsonValue()},
    };
    for (const auto &[cell, value] : book)
        EXPECT_EQ(cells[QString::fromUtf8(cell)].toObject()[QStringLiteral("value")], value) << cell;
    const QString pdf = dir.filePath(QStringLiteral("g4.pdf"));
    ASSERT_TRUE(w.exportSamples(HistoryWindow::Format::Pdf, pdf));
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF-"));
    // A file that cannot be written: an error box, nothing written.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/g4.xlsx"));
    EXPECT_FALSE(w.exportSamples(HistoryWindow::Format::Xlsx, nowhere));
    EXPECT_EQ(w.openMessages().back()->icon(), QMessageBox::Critical);
    EXPECT_FALSE(QFileInfo::exists(nowhere));

    // The journal: every record, then those whose name holds "тиск", then only the 5th's.
    w.tabs->setCurrentIndex(1);
    EXPECT_EQ(column(w.journalTable, 0),
              (QStringList{"2024-03-05 07:05:09", "2024-03-05 07:05:09", "2024-03-05 07:06:00", "2024-03-05 09:30:00",
                           "2024-03-06 10:00:00"}));
    EXPECT_EQ(w.journalEvent->itemText(10), QStringLiteral("Подія 10: Високий тиск пари"));
    w.journalSearch->setText(QStringLiteral("ТИСК"));
    EXPECT_EQ(column(w.journalTable, 4), (QStringList{"Високий тиск пари", "Високий тиск пари"}));
    EXPECT_EQ(column(w.journalTable, 3), (QStringList{"10", "10"}));
    w.journalFrom->setDateTime(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 0), Qt::UTC));
    w.journalTo->setDateTime(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59), Qt::UTC));
    w.journalRange->setChecked(true);
    EXPECT_EQ(column(w.journalTable, 0), (QStringList{"2024-03-05 07:05:09"}));
    EXPECT_EQ(w.journalCount->text(), QStringLiteral("Записів: 1"));
    w.journalRange->setChecked(false);
    w.journalSearch->clear();
    w.journalEvent->setCurrentIndex(1);   // event 1
    EXPECT_EQ(column(w.journalTable, 0), (QStringList{"2024-03-05 07:05:09", "2024-03-05 09:30:00"}));
    const QString jcsv = dir.filePath(QStringLiteral("j.csv"));
    ASSERT_TRUE(w.exportJournal(jcsv));
    EXPECT_EQ(fileBytes(jcsv),
              QByteArray("\xEF\xBB\xBF")
                  + QStringLiteral("Дата і час,Сторінка,Рядок,Подія,Назва\r\n"
                                   "2024-03-05 07:05:09,5,1,1,Аварія димососа\r\n"
                                   "2024-03-05 09:30:00,5,3,1,Аварія димососа\r\n")
                        .toUtf8());

    // The action log by kind.
    w.tabs->setCurrentIndex(2);
    EXPECT_EQ(w.actionsTable->rowCount(), 4);
    w.actionsKind->setCurrentIndex(w.actionsKind->findText(QStringLiteral("уставка")));
    EXPECT_EQ(column(w.actionsTable, 0), (QStringList{"2024-03-05 07:00:02.000"}));
    EXPECT_EQ(column(w.actionsTable, 2), (QStringList{"уставка"}));
    EXPECT_EQ(column(w.actionsTable, 3), (QStringList{"block 5 pin 2: 1.5 -> 2, acknowledged"}));
    const QString acsv = dir.filePath(QStringLiteral("a.csv"));
    ASSERT_TRUE(w.exportActions(acsv));
    EXPECT_EQ(fileBytes(acsv),
              QByteArray("\xEF\xBB\xBF")
                  + QStringLiteral("Дата і час,Користувач,Дія,Опис\r\n"
                                   "2024-03-05 07:00:02.000,op,setpoint,"
                                   "\"block 5 pin 2: 1.5 -> 2, acknowledged\"\r\n")
                        .toUtf8());

    // The writer stores another page meanwhile: the window reads it on reload.
    ASSERT_EQ(
        int(writer->storeTrendPage(3, image(regularStamps(Seven.addSecs(4 * 3600), 7500), 480), 4, names, 0).kind),
        int(history::Stored::New));
    w.reload();
    EXPECT_EQ(w.status->text(), QStringLiteral("Історія %1: сторінок графіків 3").arg(QDir::toNativeSeparators(file)));
    w.nowButton->click();
    EXPECT_EQ(chart.to(), S + 4 * Hour + 479 * 7500);
}

TEST(HistoryWindow, SaysSoWhenThereIsNoHistoryYetAndCreatesNone)
{
    qtApp();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tablo/history/Kotelnya-1.sqlite"));
    HistoryWindow w;
    w.show();
    EXPECT_FALSE(w.open(file));
    EXPECT_EQ(
        w.status->text(),
        QStringLiteral("Історії ще немає: станція ще нічого не зберегла у %1").arg(QDir::toNativeSeparators(file)));
    for (int i = 0; i < w.tabs->count(); ++i)
        EXPECT_FALSE(w.tabs->widget(i)->isEnabled()) << i;
    EXPECT_EQ(w.chart(), nullptr);
    EXPECT_FALSE(w.exportSamples(HistoryWindow::Format::Csv, dir.filePath(QStringLiteral("x.csv"))));
    w.reload();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("tablo"))));

    // A file that is no history: the reason, not "no history yet".
    const QString junk = dir.filePath(QStringLiteral("junk.sqlite"));
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database at all, just text\n");
    }
    EXPECT_FALSE(w.open(junk));
    EXPECT_TRUE(w.status->text().startsWith(QStringLiteral("Історію не відкрито: "))) << w.status->text().toStdString();
}

}   // namespace
