// Printing in twips: a PDF page read back with pdftotext shows each text where its twips say.
#include "app/TwipsPrinter.h"
#include "support/QtTestApp.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Word {
    int page;
    QString text;
    double xMin, yMin;
};

// Words and page sizes from `pdftotext -bbox`, in points from each page's top-left corner.
std::vector<Word> pdfWords(const QString &pdf, QSizeF *pageSize)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        p.kill();
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<Word> words;
    int page = -1;
    static const QRegularExpression token(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            ++page;
            *pageSize = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
        } else {
            words.push_back({page, m.captured(5), m.captured(3).toDouble(), m.captured(4).toDouble()});
        }
    }
    return words;
}

TEST(TwipsPrinter, TextLandsWithItsTopLeftCornerAtItsTwipsFromThePrintableOrigin)
{
    if (!QCoreApplication::instance())
        qttest::AppEnvironment::make<QGuiApplication>();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(20, 10, 20, 10), QPageLayout::Millimeter);
        TwipsPrinter out(printer);
        ASSERT_TRUE(out.begin(QPageLayout::Landscape));
        out.setFontSize(10);
        out.setColor(0x0000FF);
        out.text(1440, 2880, QStringLiteral("Група"));
        out.setFontSize(20);
        out.text(7200, 720, QStringLiteral("Сторінка"));
        ASSERT_TRUE(out.newPage());
        out.setFontSize(10);
        out.text(0, 0, QStringLiteral("Кінець"));
        EXPECT_TRUE(out.end());
    }
    QSizeF page;
    const auto words = pdfWords(pdf, &page);
    // Landscape A4 in points.
    EXPECT_NEAR(page.width(), 841.89, 0.5);
    EXPECT_NEAR(page.height(), 595.28, 0.5);
    // Margins 20 mm = 56.69 pt left, 10 mm = 28.35 pt top; 1 pt = 20 twips.
    struct Expect {
        const char *text;
        int page;
        double x, y;
    };
    const Expect expected[] = {
        {"Група", 0, 56.69 + 72.0, 28.35 + 144.0},
        {"Сторінка", 0, 56.69 + 360.0, 28.35 + 36.0},
        {"Кінець", 1, 56.69, 28.35},
    };
    for (const Expect &e : expected) {
        SCOPED_TRACE(e.text);
        const auto it = std::find_if(words.begin(), words.end(),
                                     [&](const Word &w) { return w.text == QString::fromUtf8(e.text); });
        ASSERT_NE(it, words.end());
        EXPECT_EQ(it->page, e.page);
        EXPECT_NEAR(it->xMin, e.x, 1.5);
        EXPECT_NEAR(it->yMin, e.y, 1.5);
    }
}

}   // namespace
