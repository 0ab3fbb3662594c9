#include "station/Station.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/ElementLabel.h"
#include "mimic/MimicFixtures.h"
#include "mimic/MimicPages.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <tuple>

namespace {

constexpr std::size_t P(int v) { return static_cast<std::size_t>(v); }

class MimicPagesTest : public ::testing::Test {
protected:
    QApplication &application = qtApp();
    Station station;
    int controlsMade = 0;
    MimicPages pages{station, fixtures::fakeControls(&controlsMade)};
    ProjectModel &m = station.project;

    void SetUp() override
    {
        // As the station wires them.
        pages.setArchiveRequests({[this](int group) { return station.trend.requestCurrentPage(group); },
                                  [this] { station.journal.requestPage(archive::CurrentPage); }});
        pages.resize(806, pages.minimumHeight());
        pages.show();
        pages.activatePage();
    }

    QLabel *label(ElementKind kind, int page, int slot, int part = 0)
    {
        return qobject_cast<QLabel *>(pages.element(kind, page, slot, part));
    }
    ValueLabelRec &valueLabel(int page, int slot, int left, int top, int block = 7)
    {
        ValueLabelRec &r = m.valueLabels[P(page)][P(slot)];
        r = {1,
             static_cast<std::int16_t>(left),
             static_cast<std::int16_t>(top),
             0x0000FF,
             0xFFFFFF,
             1,
             10,
             2,
             static_cast<std::uint8_t>(block),
             0};
        return r;
    }
    int canvasChildren() const
    {
        int n = 0;
        for (int p = 0; p < 8; ++p)
            n += static_cast<int>(pages.SCADA_Picture(p)->children().size());
        return n;
    }
};

}   // namespace

TEST_F(MimicPagesTest, SignalTakesPackedGeometryTypeAndOffColour)
{
    SignalRec &r = m.signals[0][3];
    r = {1, 40, 512 + 60, 150, 90, 0x0000FF, 0x00FF00, 1, 0, 5, 1};
    pages.createElement(ElementKind::Signal_Picture, 0, 3, m);
    QWidget *w = pages.element(ElementKind::Signal_Picture, 0, 3);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(40, 60, 22, 26));
    EXPECT_EQ(w->property("progId").toString(), QStringLiteral("Signal_Q7.Signal"));
    EXPECT_EQ(w->property("Type_Signal").toInt(), 6);
    EXPECT_EQ(w->property("Border_Style").toInt(), 1);
    EXPECT_EQ(w->property("ForeColor").toInt(), 0x0000FF);
    EXPECT_EQ(w->parentWidget(), pages.SCADA_Picture(0));

    pages.applyValue(ElementKind::Signal_Picture, 3, 1);
    EXPECT_EQ(w->property("ForeColor").toInt(), 0x00FF00);
    pages.applyValue(ElementKind::Signal_Picture, 3, 0);
    EXPECT_EQ(w->property("ForeColor").toInt(), 0x0000FF);
}

TEST_F(MimicPagesTest, ValueLabelSizeEighteenIsDrawnFourteenBoldWithItsPlaceholder)
{
    valueLabel(0, 7, 100, 50).fontSize = 18;
    valueLabel(0, 8, 100, 90).fontSize = 14;
    pages.createElement(ElementKind::Parametr_Label, 0, 7, m);
    pages.createElement(ElementKind::Parametr_Label, 0, 8, m);
    QLabel *big = label(ElementKind::Parametr_Label, 0, 7);
    QLabel *plain = label(ElementKind::Parametr_Label, 0, 8);
    ASSERT_TRUE(big && plain);
    EXPECT_EQ(big->font().pointSize(), 14);
    EXPECT_TRUE(big->font().bold());
    EXPECT_EQ(plain->font().pointSize(), 14);
    EXPECT_FALSE(plain->font().bold());
    EXPECT_EQ(big->text(), QStringLiteral("0007"));
    EXPECT_EQ(big->pos(), QPoint(100, 50));
    EXPECT_EQ(big->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(big->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_TRUE(big->isVisibleTo(pages.SCADA_Picture(0)));
}

TEST_F(MimicPagesTest, ValueLabelShowsThousandthsAndGrowsButNeverShrinks)
{
    valueLabel(0, 1, 10, 10).digits = 0;
    pages.createElement(ElementKind::Parametr_Label, 0, 1, m);
    QLabel *l = label(ElementKind::Parametr_Label, 0, 1);
    ASSERT_TRUE(l);
    const int placeholderWidth = l->width();
    pages.applyValue(ElementKind::Parametr_Label, 1, -1000);
    EXPECT_EQ(l->text(), QStringLiteral("-1"));
    pages.applyValue(ElementKind::Parametr_Label, 1, 1234567);
    EXPECT_EQ(l->text(), QStringLiteral("1234.567"));
    EXPECT_GE(l->width(), l->sizeHint().width());
    const int grown = l->width();
    EXPECT_GT(grown, placeholderWidth);
    pages.applyValue(ElementKind::Parametr_Label, 1, 0);
    EXPECT_EQ(l->text(), QStringLiteral("0"));
    EXPECT_EQ(l->width(), grown);
}

TEST_F(MimicPagesTest, ControlButtonWithPictureZeroIsGrownAndShifted)
{
    m.controls[0][4] = {1, 100, 80, 12, 3, QStringLiteral("Стоп"), 40, 40, 0};
    m.controls[0][5] = {1, 200, 80, 12, 4, QString(), 40, 40, 1};
    pages.createElement(ElementKind::Control_Image, 0, 4, m);
    pages.createElement(ElementKind::Control_Image, 0, 5, m);
    ASSERT_TRUE(label(ElementKind::Control_Image, 0, 4));
    EXPECT_EQ(label(ElementKind::Control_Image, 0, 4)->geometry(), QRect(90, 70, 60, 60));
    EXPECT_EQ(label(ElementKind::Control_Image, 0, 5)->geometry(), QRect(200, 80, 40, 40));
    EXPECT_EQ(label(ElementKind::Control_Image, 0, 4)->pixmap().cacheKey(), pages.artwork().stopImage(0).cacheKey());
}

TEST_F(MimicPagesTest, SwitchPicturesShowOnAndOffImagesByState)
{
    for (int picture : {4, 12, 13, 2}) {
        const int slot = picture == 2 ? 1 : picture;
        m.controls[0][P(slot)] = {1,  static_cast<std::int16_t>(slot * 40), 10, 3, 1, QString(), 36,
                                  36, static_cast<std::uint8_t>(picture)};
        pages.createElement(ElementKind::Control_Image, 0, slot, m);
    }
    const Artwork &art = pages.artwork();
    for (int picture : {4, 12, 13}) {
        QLabel *l = label(ElementKind::Control_Image, 0, picture);
        ASSERT_TRUE(l);
        // Created with STOP_Image entry `picture`, until the first state read.
        EXPECT_EQ(l->pixmap().cacheKey(), art.stopImage(picture).cacheKey()) << "before any value";
        pages.applyValue(ElementKind::Control_Image, picture, 0);
        EXPECT_EQ(l->pixmap().cacheKey(), art.switchOffImage(picture).cacheKey());
        pages.applyValue(ElementKind::Control_Image, picture, 3);
        EXPECT_EQ(l->pixmap().cacheKey(), art.stopImage(picture).cacheKey());
    }
    pages.applyValue(ElementKind::Control_Image, 1, 0);
    EXPECT_EQ(label(ElementKind::Control_Image, 0, 1)->pixmap().cacheKey(), art.stopImage(2).cacheKey());
}

TEST_F(MimicPagesTest, MenuTextInstanceThirteenSelectsTheTabOfItsRecord)
{
    m.menus[1][5] = {1, 100, 200, QStringLiteral("Склад"), 6};
    m.menus[1][6] = {1, 100, 260, QStringLiteral("Нікуди"), 8};
    pages.createElement(ElementKind::Menu_Image, 1, 5, m);
    pages.createElement(ElementKind::Menu_Image, 1, 6, m);
    EXPECT_EQ(pages.element(ElementKind::Menu_Image, 1, 5, 0)->pos(), QPoint(93, 187));
    EXPECT_EQ(pages.element(ElementKind::Menu_Image, 1, 5, 1)->pos(), QPoint(100, 200));
    pages.selectPage(1);
    QSignalSpy changed(&pages, &MimicPages::pageChanged);
    auto *text = qobject_cast<ElementLabel *>(pages.element(ElementKind::Menu_Image, 1, 5, 1));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->index(), 13);
    EXPECT_EQ(text->text(), QStringLiteral("Склад"));
    QTest::mouseClick(text, Qt::LeftButton);
    EXPECT_EQ(m.currentPage, 6);
    EXPECT_EQ(pages.tabBar()->currentIndex(), 6);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toInt(), 6);

    pages.selectPage(1);
    pages.Menu_Image_Click(14);   // target page 8: nothing
    EXPECT_EQ(m.currentPage, 1);
}

TEST_F(MimicPagesTest, LevelBarCoverFollowsTheValueInBothOrientations)
{
    m.levels[0][1] = {1, 10, 20, 30, 200, 100, 0x00FF00, 0xFFFFFF, 1, 3, 0};
    m.levels[0][2] = {1, 100, 20, 200, 12, 100, 0x00FF00, 0xFFFFFF, 2, 3, 1};
    pages.createElement(ElementKind::Level_Picture, 0, 1, m);
    pages.createElement(ElementKind::Level_Picture, 0, 2, m);
    QLabel *vFrame = label(ElementKind::Level_Picture, 0, 1, 0);
    QLabel *vCover = label(ElementKind::Level_Picture, 0, 1, 1);
    QLabel *hFrame = label(ElementKind::Level_Picture, 0, 2, 0);
    QLabel *hCover = label(ElementKind::Level_Picture, 0, 2, 1);
    ASSERT_TRUE(vFrame && vCover && hFrame && hCover);
    // vertical: frame colour A rises under a cover of colour B; horizontal: colours swapped
    EXPECT_EQ(vFrame->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(vCover->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(hFrame->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(hCover->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_NE(vFrame->frameShape(), QFrame::NoFrame);   // levelMode AND 1 = 1
    EXPECT_EQ(hFrame->frameShape(), QFrame::NoFrame);

    pages.applyValue(ElementKind::Level_Picture, 1, 25000);
    pages.applyValue(ElementKind::Level_Picture, 2, 25000);
    EXPECT_EQ(vCover->geometry(), QRect(10, 20, 30, 150));
    EXPECT_EQ(hCover->geometry(), QRect(100, 20, 50, 12));
    EXPECT_EQ(vFrame->geometry(), QRect(10, 20, 30, 200));

    // the cover lies above the frame
    const QObjectList kids = pages.SCADA_Picture(0)->children();
    EXPECT_GT(kids.indexOf(vCover), kids.indexOf(vFrame));
}

TEST_F(MimicPagesTest, StateTextIsShownOnlyForItsStates)
{
    SignalTextRec &r = m.signalTexts[0][2];
    r.present = 1;
    r.left = 50;
    r.topField = 3072 + 40;
    r.fontSize = 12;
    r.textOff = QStringLiteral("Закрито");
    r.textOn = QStringLiteral("Відкрито");
    pages.createElement(ElementKind::Text_Signal_Picture, 0, 2, m);
    QLabel *l = label(ElementKind::Text_Signal_Picture, 0, 2);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->pos(), QPoint(50, 40));
    for (int v = 0; v < 8; ++v) {
        pages.applyValue(ElementKind::Text_Signal_Picture, 2, v);
        EXPECT_EQ(l->isVisibleTo(pages.SCADA_Picture(0)), v == 4 || v == 5) << v;
        if (v == 4) {
            EXPECT_EQ(l->text(), QStringLiteral("Закрито"));
        } else if (v == 5) {
            EXPECT_EQ(l->text(), QStringLiteral("Відкрито"));
        }
    }
    EXPECT_EQ(l->font().pointSize(), 12);
}

TEST_F(MimicPagesTest, PlainTwoTextSwitchesBetweenItsTexts)
{
    SignalTextRec &r = m.signalTexts[0][4];
    r.present = 1;
    r.topField = 100;
    r.fontSize = 9;
    r.textOff = QStringLiteral("Стоп");
    r.textOn = QStringLiteral("Робота");
    pages.createElement(ElementKind::Text_Signal_Picture, 0, 4, m);
    QLabel *l = label(ElementKind::Text_Signal_Picture, 0, 4);
    ASSERT_TRUE(l);
    pages.applyValue(ElementKind::Text_Signal_Picture, 4, 2);
    EXPECT_EQ(l->text(), QStringLiteral("Робота"));
    pages.applyValue(ElementKind::Text_Signal_Picture, 4, 0);
    EXPECT_EQ(l->text(), QStringLiteral("Стоп"));
    EXPECT_TRUE(l->isVisibleTo(pages.SCADA_Picture(0)));
}

TEST_F(MimicPagesTest, PageChangeShowsOnlyThatPageAndRoutesValuesToItsSlots)
{
    valueLabel(0, 1, 10, 10);
    valueLabel(3, 1, 10, 10);
    pages.createElement(ElementKind::Parametr_Label, 0, 1, m);
    pages.createElement(ElementKind::Parametr_Label, 3, 1, m);
    QSignalSpy changed(&pages, &MimicPages::pageChanged);
    pages.tabBar()->setCurrentIndex(3);   // the operator's click
    EXPECT_EQ(m.currentPage, 3);
    ASSERT_EQ(changed.size(), 1);
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(pages.SCADA_Picture(p)->isVisibleTo(&pages), p == 3) << p;
    pages.applyValue(ElementKind::Parametr_Label, 1, 5500);
    EXPECT_EQ(label(ElementKind::Parametr_Label, 3, 1)->text(), QStringLiteral("5.5"));
    EXPECT_EQ(label(ElementKind::Parametr_Label, 0, 1)->text(), QStringLiteral("0001"));

    m.equipment[3][2] = {1, 10, 100, 46, 46, 2, 4, 0};
    pages.createElement(ElementKind::Ventilator_Picture, 3, 2, m);
    pages.applyValue(ElementKind::Ventilator_Picture, 2, 2);
    EXPECT_EQ(m.equipmentState[3][2], 2);
    EXPECT_EQ(m.equipmentState[0][2], 0);
}

TEST_F(MimicPagesTest, PagesWithoutPictureOrFlagStayHiddenUntilTheirColourArrives)
{
    QTemporaryDir dir;
    QImage bmp(800, 480, QImage::Format_RGB32);
    bmp.fill(Qt::darkCyan);
    const QString path = dir.filePath(QStringLiteral("Boiler.bmp"));
    ASSERT_TRUE(bmp.save(path));
    EXPECT_TRUE(pages.setupPage(0, QStringLiteral("Boiler"), path, true));
    EXPECT_EQ(pages.tabBar()->tabText(0), QStringLiteral("Boiler"));
    EXPECT_FALSE(pages.setupPage(1, QStringLiteral("Missing"), dir.filePath(QStringLiteral("none.bmp")), true));
    EXPECT_EQ(pages.tabBar()->tabText(1), QStringLiteral("Сторінка 2"));
    EXPECT_TRUE(pages.setupPage(2, QStringLiteral("Сторінка 3"), QString(), false));
    EXPECT_FALSE(pages.pageShown(2));
    pages.selectPage(2);
    EXPECT_FALSE(pages.SCADA_Picture(2)->isVisibleTo(&pages));
    pages.setPageColour(2, 0x00FF0000);
    EXPECT_TRUE(pages.pageShown(2));
    EXPECT_TRUE(pages.SCADA_Picture(2)->isVisibleTo(&pages));
    const QImage shot = pages.SCADA_Picture(2)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(400, 240), QColor(0, 0, 255));
    const QImage page0 = pages.SCADA_Picture(0)->grab().toImage();
    EXPECT_EQ(page0.pixelColor(10, 10), QColor(Qt::darkCyan));
    EXPECT_FALSE(pages.setupPage(8, QStringLiteral("x"), QString(), true));
}

TEST_F(MimicPagesTest, ReloadingTenTimesLeavesNoWidgetsBehind)
{
    fixtures::fillFullProject(m);
    const int empty = canvasChildren();
    fixtures::createAll(pages, m);
    const int loaded = canvasChildren();
    const int widgets = pages.elementWidgetCount();
    EXPECT_GT(widgets, 8 * 300);
    EXPECT_EQ(loaded - empty, widgets);
    const int firstControls = controlsMade;
    for (int round = 0; round < 10; ++round) {
        QSignalSpy removed(&pages, &MimicPages::elementsRemoved);
        pages.removeElements();
        EXPECT_EQ(removed.size(), 1);
        EXPECT_EQ(canvasChildren(), empty);
        EXPECT_EQ(pages.elementWidgetCount(), 0);
        fixtures::createAll(pages, m);
        EXPECT_EQ(canvasChildren(), loaded);
    }
    EXPECT_EQ(controlsMade, 11 * firstControls);
    EXPECT_EQ(pages.element(ElementKind::Ventilator_Picture, 7, 32, 1)->parentWidget(), pages.SCADA_Picture(7));
}

TEST_F(MimicPagesTest, NavigationLabelsLeadToPagesTrendsAndTheJournal)
{
    m.goBlocks[0][1] = {1, 100, 100, 203, 0};
    m.goBlocks[0][2] = {1, 200, 100, 215, 0};
    m.goBlocks[0][3] = {1, 300, 100, 99, 0};
    m.goBlocks[0][4] = {1, 400, 100, 150, 0};   // block 50 has no type
    for (int s = 1; s <= 4; ++s)
        pages.createElement(ElementKind::Go_Block_Label, 0, s, m);
    auto *nav = qobject_cast<ElementLabel *>(pages.element(ElementKind::Go_Block_Label, 0, 1));
    ASSERT_TRUE(nav);
    EXPECT_EQ(nav->pos(), QPoint(90, 85));

    QTest::mouseClick(nav, Qt::LeftButton);
    EXPECT_EQ(m.currentPage, 2);
    pages.selectPage(0);

    QSignalSpy trend(&pages, &MimicPages::trendRequested);
    pages.Go_Block_Label_Click(2);
    EXPECT_EQ(station.trend.Graf_Group, 4);
    EXPECT_EQ(station.trend.Graf_PageCount, 1);
    ASSERT_EQ(trend.size(), 1);
    EXPECT_EQ(trend[0][0].toInt(), 4);
    pages.Go_Block_Label_Click(2 + 32 * 5);   // same slot; a download is pending: nothing more
    EXPECT_EQ(trend.size(), 1);

    QSignalSpy journal(&pages, &MimicPages::journalRequested);
    station.journal.Jurnal_Page = 7;
    station.journal.Jurnal_Find = 1;
    pages.Go_Block_Label_Click(3);
    EXPECT_EQ(journal.size(), 1);
    EXPECT_EQ(station.journal.Jurnal_Request, 1);
    EXPECT_EQ(station.journal.Jurnal_Find, 0);
    EXPECT_EQ(station.journal.Jurnal_Page, 200);

    QSignalSpy setPoint(&pages, &MimicPages::setPointRequested);
    pages.Go_Block_Label_Click(4);
    EXPECT_EQ(setPoint.size(), 0);
    EXPECT_EQ(m.currentPage, 0);
}

// A real mouse hits whatever lies on top at the point: the static text of a caption is
// created after the navigation label under it, as the loader does.
TEST_F(MimicPagesTest, ClickOnTheCaptionOfANavigationLabelReachesTheLabel)
{
    struct Case {
        int page, slot, target;
    };
    const Case cases[] = {{1, 1, 203}, {4, 2, 208}, {6, 3, 211}, {6, 4, 218}};
    for (const Case &c : cases)
        m.goBlocks[P(c.page)][P(c.slot)] = {1, std::int16_t(100 * c.slot), 400, std::int16_t(c.target), 0};
    for (const Case &c : cases)
        pages.createElement(ElementKind::Go_Block_Label, c.page, c.slot, m);
    for (const Case &c : cases) {
        // A caption in the middle of the 64 x 30 label, as the footer buttons have.
        TextRec &t = m.texts[P(c.page)][P(c.slot)];
        t = {};
        t.present = 1;
        t.left = std::int16_t(100 * c.slot - 4);
        t.top = 392;
        t.caption = QStringLiteral("Стор");
        t.fontSize = 8;
        pages.createElement(ElementKind::Text_Label_Label, c.page, c.slot, m);
    }
    pages.activatePage();
    QSignalSpy trend(&pages, &MimicPages::trendRequested);
    QWidget *window = pages.window();
    int trends = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.target);
        station.trend.Graf_PageCount = 0;
        pages.selectPage(c.page);
        QWidget *caption = pages.element(ElementKind::Text_Label_Label, c.page, c.slot);
        ASSERT_TRUE(caption);
        const QPoint at = caption->mapTo(window, caption->rect().center());
        QWidget *hit = window->childAt(at);
        ASSERT_TRUE(hit);
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(window, at));
        if (c.target < 211) {
            EXPECT_EQ(m.currentPage, c.target - 201);
        } else {
            ++trends;
            ASSERT_EQ(trend.size(), trends);
            EXPECT_EQ(trend.back()[0].toInt(), c.target - 211);
            EXPECT_EQ(m.currentPage, c.page);
        }
    }
}

TEST_F(MimicPagesTest, SetPointLabelOpensTheDialogWithTheValueBelowIt)
{
    m.blockType[12] = 25;                       // S_P
    m.blockType[13] = 1;                        // A_I
    m.goBlocks[0][5] = {1, 100, 100, 112, 3};   // label at (90, 85)
    m.goBlocks[0][6] = {1, 300, 100, 113, 0};
    m.goBlocks[0][7] = {1, 500, 100, 112, 1};   // nothing below this one
    for (int s = 5; s <= 7; ++s)
        pages.createElement(ElementKind::Go_Block_Label, 0, s, m);
    valueLabel(0, 2, 95, 110, 13);   // under the label, but an A_I block
    valueLabel(0, 3, 95, 120, 12);   // under the label, S_P: the one
    valueLabel(0, 4, 95, 130, 12);   // also qualifies, comes later
    for (int s = 2; s <= 4; ++s)
        pages.createElement(ElementKind::Parametr_Label, 0, s, m);
    pages.applyValue(ElementKind::Parametr_Label, 3, 42500);

    QSignalSpy setPoint(&pages, &MimicPages::setPointRequested);
    pages.Go_Block_Label_Click(5);
    ASSERT_EQ(setPoint.size(), 1);
    EXPECT_EQ(setPoint[0][0].toInt(), 12);
    EXPECT_EQ(setPoint[0][1].toInt(), 3);
    EXPECT_EQ(setPoint[0][2].toString(), QStringLiteral("42.5"));

    pages.Go_Block_Label_Click(6);   // A_I is not settable: no dialog
    EXPECT_EQ(setPoint.size(), 1);
    pages.Go_Block_Label_Click(7);
    ASSERT_EQ(setPoint.size(), 2);
    EXPECT_TRUE(setPoint[1][2].toString().isEmpty());
}

TEST_F(MimicPagesTest, ControlButtonsReportPressAndReleaseWithTheirSlot)
{
    m.controls[0][32] = {1, 100, 100, 12, 3, QString(), 40, 40, 1};
    pages.createElement(ElementKind::Control_Image, 0, 32, m);
    auto *button = qobject_cast<ElementLabel *>(pages.element(ElementKind::Control_Image, 0, 32));
    ASSERT_TRUE(button);
    QSignalSpy pressed(&pages, &MimicPages::controlPressed);
    QSignalSpy released(&pages, &MimicPages::controlReleased);
    QTest::mousePress(button, Qt::LeftButton);
    ASSERT_EQ(pressed.size(), 1);
    EXPECT_EQ(pressed[0][0].toInt(), 32);
    EXPECT_EQ(pressed[0][1].toInt(), 0);
    EXPECT_EQ(pressed[0][2].toInt(), 32);
    EXPECT_EQ(released.size(), 0);
    QTest::mouseRelease(button, Qt::LeftButton);
    ASSERT_EQ(released.size(), 1);
    EXPECT_EQ(released[0][2].toInt(), 32);

    pages.selectPage(2);
    pages.Control_Image_MouseDown(69);
    EXPECT_EQ(pressed[1][1].toInt(), 2);
    EXPECT_EQ(pressed[1][2].toInt(), 5);
}

TEST_F(MimicPagesTest, SchemaShowsExistingBlocksInTheirCellsWithNumbers)
{
    m.blockType[1] = 1;
    m.blockType[12] = 10;
    m.blockType[96] = 26;
    pages.mnuSchema_Click();
    EXPECT_FALSE(pages.SCADA_SSTab()->isVisibleTo(&pages));
    EXPECT_TRUE(pages.schema()->isVisibleTo(&pages));
    EXPECT_EQ(m.blockType[98], 41);
    BlockSchemaView *schema = pages.schema();
    EXPECT_EQ(schema->Block_IMAGE(9)->pos(), QPoint(80, 20));
    EXPECT_EQ(schema->Block_IMAGE(20)->pos(), QPoint(140, 200));
    EXPECT_EQ(schema->Block_IMAGE(20)->pixmap().cacheKey(), pages.artwork().blockPicture(10).cacheKey());
    EXPECT_EQ(schema->Block_IMAGE(104)->pos(), QPoint(740, 440));
    EXPECT_TRUE(schema->Block_IMAGE(104)->isVisibleTo(schema));
    EXPECT_FALSE(schema->Block_IMAGE(10)->isVisibleTo(schema));
    EXPECT_EQ(schema->Block_IMAGE(2)->pos(), QPoint(20, 80));
    EXPECT_EQ(schema->Block_IMAGE(2)->pixmap().cacheKey(), pages.artwork().blockPicture(41).cacheKey());

    auto caption = [&](const QString &text) -> const BlockSchemaView::Caption * {
        for (const auto &c : schema->captions())
            if (c.text == text)
                return &c;
        return nullptr;
    };
    ASSERT_TRUE(caption(QStringLiteral("01")));
    EXPECT_EQ(caption(QStringLiteral("01"))->pos, QPoint(90, 7));
    ASSERT_TRUE(caption(QStringLiteral("02")));
    EXPECT_EQ(caption(QStringLiteral("02"))->pos, QPoint(90, 90));
    ASSERT_TRUE(caption(QStringLiteral(" 12 ")));
    EXPECT_EQ(caption(QStringLiteral(" 12 "))->pos, QPoint(150, 187));
    EXPECT_TRUE(caption(QStringLiteral(" 12 "))->number);
    ASSERT_TRUE(caption(QStringLiteral("Журнал")));
    EXPECT_EQ(caption(QStringLiteral("Журнал"))->pos, QPoint(20, 182));
    EXPECT_EQ(static_cast<int>(schema->captions().size()), 3 + 96);

    // blue numbers reach the screen
    const QImage shot = schema->grab().toImage();
    bool blue = false;
    for (int y = 7; y < 20 && !blue; ++y)
        for (int x = 90; x < 110 && !blue; ++x)
            blue = shot.pixelColor(x, y).blue() > 150 && shot.pixelColor(x, y).red() < 100;
    EXPECT_TRUE(blue);

    pages.Block_IMAGE_Click(1);   // the SCADA icon: back to the pages, page 0
    EXPECT_TRUE(pages.SCADA_SSTab()->isVisibleTo(&pages));
    EXPECT_FALSE(pages.schema()->isVisibleTo(&pages));
    EXPECT_EQ(m.currentPage, 0);
}

TEST_F(MimicPagesTest, ClickingABlockOpensTheInspectorWithLiveValues)
{
    m.blockType[12] = 10;
    m.blockParamBase[12] = 300;
    m.blockParams[309] = 2;
    pages.mnuSchema_Click();
    QSignalSpy opened(&pages, &MimicPages::inspectorOpened);
    QTest::mouseClick(pages.schema()->Block_IMAGE(20), Qt::LeftButton);
    EXPECT_EQ(station.inspector.inspectedBlock, 12);
    EXPECT_EQ(station.inspector.inspectorBlockType, 10);
    EXPECT_TRUE(station.inspector.inspectorVisible);
    ASSERT_EQ(opened.size(), 1);
    BlockInspector *in = pages.inspector();
    EXPECT_TRUE(in->isVisible());
    EXPECT_EQ(in->Label1()->text(), QStringLiteral("12"));
    EXPECT_EQ(in->Output_Name(0)->text(), QStringLiteral("Выход 1 SUM1"));
    EXPECT_EQ(in->Output_Name(0)->pos(), QPoint(188, 10));
    EXPECT_EQ(in->Output_DATA(3)->pos(), QPoint(298, 64));
    EXPECT_EQ(in->Input_name(7)->pos(), QPoint(18, 136));
    EXPECT_EQ(in->Input_DATA(7)->pos(), QPoint(114, 136));
    EXPECT_TRUE(in->Output_Name(3)->isVisibleTo(in));
    EXPECT_FALSE(in->Output_Name(4)->isVisibleTo(in));
    EXPECT_TRUE(in->Input_DATA(7)->isVisibleTo(in));
    EXPECT_FALSE(in->Input_DATA(8)->isVisibleTo(in));

    pages.inspectorOutput(0, QStringLiteral("41.5"));
    pages.inspectorInput(7, QStringLiteral("-2"));
    pages.inspectorOutput(40, QStringLiteral("9"));   // no such box: ignored
    EXPECT_EQ(in->Output_DATA(0)->text(), QStringLiteral("41.5"));
    EXPECT_EQ(in->Input_DATA(7)->text(), QStringLiteral("-2"));

    QSignalSpy closed(&pages, &MimicPages::inspectorClosed);
    QTest::mouseClick(in->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_FALSE(station.inspector.inspectorVisible);
    EXPECT_FALSE(in->isVisible());
    pages.inspectorOutput(0, QStringLiteral("7"));
    EXPECT_EQ(in->Output_DATA(0)->text(), QStringLiteral("41.5"));

    pages.Block_IMAGE_Click(20);   // opening again starts from "0"
    EXPECT_EQ(in->Output_DATA(0)->text(), QStringLiteral("0"));
    in->okButton()->click();
    EXPECT_FALSE(station.inspector.inspectorVisible);
}

TEST_F(MimicPagesTest, TouBlockAndTheIconsBecomeInspectedWithoutAWindow)
{
    m.blockType[5] = 50;
    pages.Block_IMAGE_Click(13);
    EXPECT_EQ(station.inspector.inspectedBlock, 5);
    EXPECT_EQ(station.inspector.inspectorBlockType, 50);
    EXPECT_FALSE(station.inspector.inspectorVisible);
    EXPECT_FALSE(pages.inspector()->isVisible());
    pages.Block_IMAGE_Click(2);
    EXPECT_EQ(station.inspector.inspectedBlock, 98);
    EXPECT_EQ(station.inspector.inspectorBlockType, 41);
    pages.Block_IMAGE_Click(3);
    EXPECT_EQ(station.inspector.inspectedBlock, 99);
    EXPECT_EQ(station.inspector.inspectorBlockType, 42);
    pages.Block_IMAGE_Click(108);   // block 100 does not exist
    pages.Block_IMAGE_Click(5);
    EXPECT_EQ(station.inspector.inspectedBlock, 99);
    EXPECT_FALSE(pages.inspector()->isVisible());
}

TEST_F(MimicPagesTest, AnimationTurnsTheMachineryOfThePageOnShowOnly)
{
    m.equipment[0][1] = {1, 10, 10, 46, 46, 2, 4, 0};
    m.equipment[0][2] = {1, 100, 10, 120, 72, 20, 4, 1};
    m.equipment[0][3] = {1, 300, 10, 56, 71, 9, 4, 2};
    m.equipment[1][1] = {1, 10, 10, 46, 46, 5, 4, 0};
    for (auto [p, s] : {std::pair{0, 1}, {0, 2}, {0, 3}, {1, 1}})
        pages.createElement(ElementKind::Ventilator_Picture, p, s, m);
    m.equipmentState[0][1] = 1;
    m.equipmentState[0][2] = 2;
    m.equipmentState[0][3] = 0;
    m.equipmentState[1][1] = 1;
    const Artwork &art = pages.artwork();
    auto inner = [&](int p, int s) { return label(ElementKind::Ventilator_Picture, p, s, 1); };
    ASSERT_TRUE(inner(0, 1) && inner(0, 2) && inner(1, 1));
    EXPECT_EQ(inner(0, 1)->pos(), QPoint(18, 18));
    EXPECT_EQ(inner(0, 3)->pos(), QPoint(304, 18));
    const qint64 otherPage = inner(1, 1)->pixmap().cacheKey();

    QSignalSpy transport(&pages, &MimicPages::startTransport45);
    for (int expected : {3, 2, 1, 0, 3}) {
        pages.Timer_Vent_Timer();
        EXPECT_EQ(inner(0, 1)->pixmap().cacheKey(), art.frame(anim::FrameSet::Vent1, expected).cacheKey());
    }
    EXPECT_EQ(transport.size(), 5);
    EXPECT_EQ(inner(0, 3)->pixmap().cacheKey(), art.frame(anim::FrameSet::MotorVert, 1).cacheKey());
    EXPECT_EQ(inner(1, 1)->pixmap().cacheKey(), otherPage);
    for (int expected : {3, 2, 1}) {
        pages.Timer_Transport45_Timer();
        EXPECT_EQ(inner(0, 2)->pixmap().cacheKey(), art.frame(anim::FrameSet::KonveerL45, expected).cacheKey());
    }

    m.equipmentState[0][2] = 0;
    pages.Timer_Vent_Timer();
    EXPECT_EQ(transport.size(), 5);
    pages.selectPage(1);
    pages.Timer_Vent_Timer();
    EXPECT_NE(inner(1, 1)->pixmap().cacheKey(), otherPage);
}

TEST_F(MimicPagesTest, ClockLabelsOfThePageOnShowTellTheTime)
{
    m.clocks[1] = {1, 700, 10};
    m.clocks[3] = {1, 600, 20};
    QSignalSpy created(&pages, &MimicPages::clockCreated);
    pages.createElement(ElementKind::Real_Clock, 0, 1, m);
    pages.createElement(ElementKind::Real_Clock, 2, 3, m);
    ASSERT_EQ(created.size(), 2);
    EXPECT_EQ(created[1][0].toInt(), 3);
    EXPECT_EQ(pages.Real_Clock(3)->pos(), QPoint(600, 20));
    EXPECT_EQ(pages.Real_Time(3)->pos(), QPoint(600, 42));
    EXPECT_EQ(pages.Real_Clock(3)->parentWidget(), pages.SCADA_Picture(2));
    pages.selectPage(2);
    const QDateTime at(QDate(2026, 3, 7), QTime(9, 5, 30));
    pages.showClock(at);
    EXPECT_EQ(pages.Real_Clock(3)->text(), QStringLiteral("09:05"));
    EXPECT_EQ(pages.Real_Time(3)->text(), QStringLiteral("07.03.26"));
    EXPECT_NE(pages.Real_Clock(1)->text(), QStringLiteral("09:05"));
}

TEST_F(MimicPagesTest, PageActivationResetsPlaceholdersAndRaisesLevelCovers)
{
    valueLabel(0, 5, 10, 10).digits = 3;
    m.levels[0][1] = {1, 10, 40, 20, 100, 100, 0xFF, 0xFFFFFF, 0, 1, 0};
    m.contours[0][1] = {1, 0, 0, 200, 200, 0, 0, 1};
    pages.createElement(ElementKind::Parametr_Label, 0, 5, m);
    pages.createElement(ElementKind::Level_Picture, 0, 1, m);
    pages.createElement(ElementKind::Contour1, 0, 1, m);
    pages.applyValue(ElementKind::Parametr_Label, 5, 1500);
    EXPECT_EQ(label(ElementKind::Parametr_Label, 0, 5)->text(), QStringLiteral("1.5"));
    pages.selectPage(4);
    pages.activatePage();
    EXPECT_EQ(m.currentPage, 0);
    EXPECT_EQ(label(ElementKind::Parametr_Label, 0, 5)->text(), QStringLiteral("00005"));
    const QObjectList kids = pages.SCADA_Picture(0)->children();
    QWidget *shape = pages.element(ElementKind::Contour1, 0, 1);
    EXPECT_GT(kids.indexOf(label(ElementKind::Level_Picture, 0, 1, 1)), kids.indexOf(shape));
    EXPECT_GT(kids.indexOf(label(ElementKind::Level_Picture, 0, 1, 1)),
              kids.indexOf(label(ElementKind::Level_Picture, 0, 1, 0)));
    // The hatching of values that are not current stays above the raised bars.
    EXPECT_EQ(kids.back()->objectName(), QStringLiteral("StaleOverlay"));
}

TEST_F(MimicPagesTest, BadRecordsAreSkippedOrKeptWithinThePageAndTheRestLoads)
{
    valueLabel(0, 1, -30000, 32000).fontSize = 0;
    m.levels[0][1] = {1, -5, -5, 32767, -32768, 0, 0, 0, 255, 1, 1};
    m.controls[0][2] = {1, 10, 10, 1, 1, QString(), 32767, 32767, 0};
    m.controls[0][3] = {1, 10, 10, 1, 1, QString(), 30, 30, 99};   // no such picture
    m.equipment[0][4] = {1, 10, 10, 46, 46, 40, 1, 1};             // no such kind
    m.equipment[0][5] = {1, 10, 10, 46, 46, -1, 1, 1};
    m.equipment[0][32] = {1, 10, 10, 46, 46, 3, 1, 1};
    m.equipment[1][0] = {1, 10, 10, 46, 46, 4, 1, 1};   // same instance as (0, 32)
    m.texts[0][6] = {1, 5, 5, 0, QStringLiteral("Текст"), QStringLiteral("No Such Font Anywhere"), 1, 1, 0};
    m.trendIcons[0] = {1, 0, 0, 10, 10, 0};                   // record 0 has no page
    m.menus[0][0] = {1, 0, 0, QStringLiteral("шаблон"), 1};   // the template instance
    m.valueLabels[8][3] = m.valueLabels[0][1];                // page 8 is not on screen
    valueLabel(0, 9, 30, 30);
    fixtures::createAll(pages, m);
    pages.createElement(ElementKind::Parametr_Label, 0, 40, m);   // slot out of range
    pages.createElement(ElementKind::Grafik_Image, 5, 2, m);      // record 2 lives on page 1

    QLabel *huge = label(ElementKind::Control_Image, 0, 2);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->size(), QSize(800, 480));
    QLabel *lv = label(ElementKind::Level_Picture, 0, 1, 1);
    ASSERT_TRUE(lv);
    EXPECT_EQ(lv->size(), QSize(800, 0));
    pages.applyValue(ElementKind::Level_Picture, 1, 50000);   // full scale 0: cover unchanged
    EXPECT_EQ(lv->size(), QSize(800, 0));
    EXPECT_EQ(pages.element(ElementKind::Control_Image, 0, 3), nullptr);
    EXPECT_EQ(pages.element(ElementKind::Ventilator_Picture, 0, 4), nullptr);
    EXPECT_EQ(pages.element(ElementKind::Ventilator_Picture, 0, 5), nullptr);
    ASSERT_NE(pages.element(ElementKind::Ventilator_Picture, 1, 0), nullptr);
    EXPECT_EQ(pages.element(ElementKind::Ventilator_Picture, 1, 0)->parentWidget(), pages.SCADA_Picture(0));
    EXPECT_EQ(pages.element(ElementKind::Grafik_Image, 0, 0), nullptr);
    EXPECT_EQ(pages.element(ElementKind::Menu_Image, 0, 0), nullptr);
    ASSERT_TRUE(label(ElementKind::Text_Label_Label, 0, 6));
    EXPECT_TRUE(label(ElementKind::Text_Label_Label, 0, 6)->font().bold());
    EXPECT_GT(label(ElementKind::Parametr_Label, 0, 1)->font().pointSize(), 0);
    EXPECT_TRUE(label(ElementKind::Parametr_Label, 0, 9));
    EXPECT_EQ(label(ElementKind::Parametr_Label, 0, 9)->text(), QStringLiteral("0009"));

    // values for slots that do not exist, slots out of range and other kinds do nothing
    pages.applyValue(ElementKind::Parametr_Label, 0, 5);
    pages.applyValue(ElementKind::Parametr_Label, 33, 5);
    pages.applyValue(ElementKind::Parametr_Label, 17, 5);
    pages.applyValue(ElementKind::Menu_Image, 1, 5);
    pages.Timer_Vent_Timer();
    pages.Timer_Transport45_Timer();
    m.currentPage = 9;
    pages.applyValue(ElementKind::Parametr_Label, 9, 5);
    pages.Timer_Vent_Timer();
    pages.Go_Block_Label_Click(1);
    pages.Menu_Image_Click(1);
    EXPECT_EQ(label(ElementKind::Parametr_Label, 0, 9)->text(), QStringLiteral("0009"));
}

TEST_F(MimicPagesTest, MissingControlPluginSkipsOnlyThoseElements)
{
    Station other;
    MimicPages noPlugins(other, [](const QString &, QWidget *) -> QWidget * { return nullptr; });
    MimicPages noFactory(other, nullptr);
    other.project.signals[0][1] = {1, 10, 10, 20, 20, 0, 0, 0, 0, 1, 0};
    other.project.contours[0][1] = {1, 10, 10, 20, 20, 0, 0, 1};
    other.project.valueLabels[0][1] = {1, 10, 40, 0, 0xFFFFFF, 0, 8, 1, 1, 0};
    for (MimicPages *v : {&noPlugins, &noFactory}) {
        fixtures::createAll(*v, other.project);
        EXPECT_EQ(v->element(ElementKind::Signal_Picture, 0, 1), nullptr);
        EXPECT_EQ(v->element(ElementKind::Contour1, 0, 1), nullptr);
        EXPECT_NE(v->element(ElementKind::Parametr_Label, 0, 1), nullptr);
        v->applyValue(ElementKind::Signal_Picture, 1, 1);
    }
}

TEST_F(MimicPagesTest, ListenerCallsForOtherWindowsLeaveAsSignals)
{
    QSignalSpy alarm(&pages, &MimicPages::alarmWordReceived);
    QSignalSpy report(&pages, &MimicPages::reportTriggerRequested);
    QSignalSpy crc(&pages, &MimicPages::crcMismatchOccurred);
    QSignalSpy link(&pages, &MimicPages::linkAnsweringChanged);
    PollListener &listener = pages;
    listener.alarmWord({1, 2, 3, 4});
    listener.reportTrigger();
    listener.crcMismatch();
    listener.linkAnswering(false);
    ASSERT_EQ(alarm.size(), 1);
    EXPECT_EQ((alarm[0][0].value<std::array<std::uint8_t, 4>>()), (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(report.size(), 1);
    EXPECT_EQ(crc.size(), 1);
    ASSERT_EQ(link.size(), 1);
    EXPECT_FALSE(link[0][0].toBool());
}

// ---- values that tell their age ------------------------------------------------------------

namespace {

// Pixels of a colour inside a rectangle of an image.
int countIn(const QImage &img, const QRect &r, const std::function<bool(QColor)> &match)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += match(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}

}   // namespace

TEST_F(MimicPagesTest, ValuesOlderThanThreeCyclesAreGreyedAndHatchedUntilTheirNextValue)
{
    // 8 December 2026, 21:43:05 local time.
    const std::int64_t base = QDateTime(QDate(2026, 12, 8), QTime(21, 43, 5)).toMSecsSinceEpoch();
    ManualClock now(base);
    pages.setClock(now);
    pages.setStaleAfter(3 * 420);

    valueLabel(0, 1, 20, 20);
    m.signals[0][2] = {1, 60, 20, 20, 20, 0x0000FF, 0x00FF00, 0};
    SignalTextRec &two = m.signalTexts[0][3];
    two = {};
    two.present = 1;
    two.left = 100;
    two.topField = 20;
    two.textOff = QStringLiteral("Стоп");
    two.textOn = QStringLiteral("Робота");
    SignalTextRec &state = m.signalTexts[0][4];
    state = two;
    state.left = 200;
    state.topField = 3072 + 20;
    m.levels[0][5] = {1, 300, 20, 20, 60, 100, 0x00FF00, 0xFFFFFF, 0, 3, 1};
    m.controls[0][6] = {1, 360, 20, 3, 3, QStringLiteral("Насос"), 36, 36, 4};
    m.controls[0][7] = {1, 420, 20, 3, 4, QString(), 36, 36, 2};   // a push button shows no value
    valueLabel(1, 1, 20, 20);
    for (auto [kind, page, slot] : {std::tuple{ElementKind::Parametr_Label, 0, 1},
                                    {ElementKind::Signal_Picture, 0, 2},
                                    {ElementKind::Text_Signal_Picture, 0, 3},
                                    {ElementKind::Text_Signal_Picture, 0, 4},
                                    {ElementKind::Level_Picture, 0, 5},
                                    {ElementKind::Control_Image, 0, 6},
                                    {ElementKind::Control_Image, 0, 7},
                                    {ElementKind::Parametr_Label, 1, 1}})
        pages.createElement(kind, page, slot, m);

    struct Shown {
        ElementKind kind;
        int slot;
        std::int32_t value;
    };
    const Shown shown[] = {{ElementKind::Parametr_Label, 1, 1500},   {ElementKind::Signal_Picture, 2, 1},
                           {ElementKind::Text_Signal_Picture, 3, 1}, {ElementKind::Text_Signal_Picture, 4, 5},
                           {ElementKind::Level_Picture, 5, 50000},   {ElementKind::Control_Image, 6, 1}};
    const auto staleCount = [&] {
        int n = 0;
        for (const Shown &e : shown)
            n += pages.isStale(e.kind, 0, e.slot) ? 1 : 0;
        return n;
    };
    const auto applyAll = [&] {
        for (const Shown &e : shown)
            pages.applyValue(e.kind, e.slot, e.value);
    };

    // Loaded: no value yet. Neither text of a two-text element shows, a state text is hidden.
    EXPECT_EQ(staleCount(), 6);
    EXPECT_FALSE(pages.isStale(ElementKind::Control_Image, 0, 7));
    EXPECT_EQ(pages.valueAgeText(ElementKind::Parametr_Label, 0, 1), QStringLiteral("Значення ще не надходило"));
    EXPECT_EQ(pages.valueAgeText(ElementKind::Control_Image, 0, 7), QString());
    EXPECT_EQ(label(ElementKind::Text_Signal_Picture, 0, 3)->text(), QString());
    EXPECT_FALSE(label(ElementKind::Text_Signal_Picture, 0, 4)->isVisibleTo(pages.SCADA_Picture(0)));

    applyAll();
    EXPECT_EQ(staleCount(), 0);
    EXPECT_EQ(label(ElementKind::Text_Signal_Picture, 0, 3)->text(), QStringLiteral("Робота"));
    EXPECT_EQ(label(ElementKind::Text_Signal_Picture, 0, 4)->text(), QStringLiteral("Робота"));

    // Exactly three cycles old is still current; a millisecond more is not.
    now.setNow(base + 1260);
    pages.Timer_Vent_Timer();
    EXPECT_EQ(staleCount(), 0);
    now.setNow(base + 1261);
    pages.Timer_Vent_Timer();
    EXPECT_EQ(staleCount(), 6);
    EXPECT_EQ(pages.valueAgeText(ElementKind::Signal_Picture, 0, 2),
              QStringLiteral("Значення отримано 08.12.26 о 21:43:05 (1 с тому)"));
    // The last value stays readable under the marking.
    EXPECT_EQ(label(ElementKind::Parametr_Label, 0, 1)->text(), QStringLiteral("1.5"));

    // One value brings back its own element only; the next cycle brings back the rest.
    now.setNow(base + 12000);
    pages.applyValue(ElementKind::Parametr_Label, 1, 2000);
    EXPECT_FALSE(pages.isStale(ElementKind::Parametr_Label, 0, 1));
    EXPECT_EQ(staleCount(), 5);
    applyAll();
    EXPECT_EQ(staleCount(), 0);
    EXPECT_EQ(pages.valueAgeText(ElementKind::Level_Picture, 0, 5),
              QStringLiteral("Значення отримано 08.12.26 о 21:43:17 (0 с тому)"));

    // A silent link checks at once, without waiting for the animation tick.
    now.setNow(base + 12000 + 1261);
    pages.linkAnswering(false);
    EXPECT_EQ(staleCount(), 6);
    applyAll();

    // A clock set back leaves no value current.
    now.setNow(base);
    pages.Timer_Vent_Timer();
    EXPECT_EQ(staleCount(), 6);
    applyAll();

    // Nothing on a page just shown has had its value yet, also coming back to it.
    pages.selectPage(1);
    EXPECT_TRUE(pages.isStale(ElementKind::Parametr_Label, 1, 1));
    pages.applyValue(ElementKind::Parametr_Label, 1, 7000);
    EXPECT_FALSE(pages.isStale(ElementKind::Parametr_Label, 1, 1));
    pages.selectPage(0);
    EXPECT_EQ(staleCount(), 6);
    EXPECT_EQ(pages.valueAgeText(ElementKind::Control_Image, 0, 6),
              QStringLiteral("Значення отримано 08.12.26 о 21:43:05 (0 с тому)"));

    // The tooltip of a button joins its own text and the age of its value.
    QWidget *button = pages.element(ElementKind::Control_Image, 0, 6);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Насос\nЗначення отримано 08.12.26 о 21:43:05 (0 с тому)"));
    QToolTip::hideText();
}

TEST_F(MimicPagesTest, NotCurrentValuesLoseTheirColourAndAreHatchedOnTheCanvas)
{
    ManualClock now(1'000'000);
    pages.setClock(now);
    pages.setStaleAfter(1000);
    valueLabel(0, 1, 20, 20);   // red text on white
    m.valueLabels[0][1].fontSize = 24;
    pages.createElement(ElementKind::Parametr_Label, 0, 1, m);
    QLabel *l = label(ElementKind::Parametr_Label, 0, 1);
    ASSERT_TRUE(l);
    const auto red = [](QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
    const auto hatch = [](QColor c) { return c == QColor(140, 140, 180); };

    struct Step {
        std::int64_t at;
        bool value;   // a value arrives at `at`, else only the check runs
        bool redText;
        bool hatched;
    };
    for (const Step s :
         {Step{1'000'000, false, false, true}, Step{1'000'100, true, true, false}, Step{1'001'100, false, true, false},
          Step{1'001'101, false, false, true}, Step{1'001'200, true, true, false}}) {
        now.setNow(s.at);
        if (s.value)
            pages.applyValue(ElementKind::Parametr_Label, 1, 88888);
        pages.Timer_Vent_Timer();
        const QImage img = pages.SCADA_Picture(0)->grab().toImage();
        const QRect box = l->geometry();
        EXPECT_EQ(countIn(img, box, red) > 0, s.redText) << s.at;
        EXPECT_EQ(countIn(img, box, hatch) > 0, s.hatched) << s.at;
        // The hatching stays on the element.
        EXPECT_EQ(countIn(img, QRect(box.right() + 2, box.top(), 20, box.height()), hatch), 0) << s.at;
    }
}
