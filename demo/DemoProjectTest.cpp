// The demo project read back through the project loader, and checked as an operator would
// find it: every page with its picture, every element on a block output that exists, the
// controller program with its names, and a layout without elements piled on each other.
#include "Blocks.h"
#include "DemoPlant.h"
#include "DemoWriter.h"

#include "station/Station.h"
#include "project/ProjectReader.h"
#include "fixture/RecordingLoad.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const char *const Captions[demo::PageCount] = {"Огляд",      "Котел 1",      "Котел 2", "Насоси",
                                               "Вентиляція", "Паливоподача", "Аварії",  "Уставки"};

struct Loaded {
    std::unique_ptr<QGuiApplication> app;
    demo::Plant plant;
    QTemporaryDir dir;
    bool written = false;
    QString writeError;
    std::unique_ptr<Station> station = std::make_unique<Station>();
    fixture::RecordingView view;
    fixture::RecordingHost host;
    bool loaded = false;
    int failedLine = 0;
};

Loaded *rig = nullptr;

class DemoProject : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        rig = new Loaded;
        if (!QGuiApplication::instance()) {
            static int argc = 1;
            static char name[] = "demo_tests";
            static char *argv[] = {name, nullptr};
            rig->app = std::make_unique<QGuiApplication>(argc, argv);
        }
        rig->plant = demo::buildPlant();
        rig->written = demo::writeProject(rig->plant, rig->dir.path(), &rig->writeError);
        ProjectReader reader(*rig->station, rig->view, rig->host);
        rig->loaded = reader.load(rig->dir.filePath(demo::ProjectFileName));
        rig->failedLine = reader.failedLine();
    }
    static void TearDownTestSuite()
    {
        delete rig;
        rig = nullptr;
    }

    const ProjectModel &m() const { return rig->station->project; }
    const BlockCatalogue &cat() const { return rig->station->catalogue; }
    int typeOf(int block) const
    {
        return block >= 1 && block <= 99 ? m().blockType[static_cast<std::size_t>(block)] : 0;
    }
};

// The on-screen rectangle of an element whose size the record gives (or that the program
// gives it: buttons with picture 0 grow by 10 pixels all round).
QRect buttonRect(const ControlRec &r)
{
    const QRect rr(r.left, r.top, r.width, r.height);
    return r.picture == 0 ? rr.adjusted(-10, -10, 10, 10) : rr;
}

// Labels size themselves to their text: the text's advance, half an 'x' of indent on each
// side and the border (a value label at 10 pt showing "1391.153" is 72 x 18).
QRect labelRect(int x, int y, const QFont &font, const QString &text)
{
    const QFontMetrics fm(font);
    return QRect(x, y, fm.horizontalAdvance(text) + fm.horizontalAdvance(QLatin1Char('x')) + 4, fm.height() + 4);
}

QFont labelFont(int pointSize)
{
    QFont f = QGuiApplication::font();
    f.setPointSize(pointSize);
    return f;
}

// A value label with room for a live reading of eight characters ("1391.153", "-109.085").
QRect valueRect(const ValueLabelRec &r)
{
    return labelRect(r.left, r.top, labelFont(r.fontSize), QStringLiteral("8888.888"));
}

struct Box {
    QRect rect;
    QString what;
};

std::vector<Box> solidElements(const ProjectModel &m, int p)
{
    std::vector<Box> boxes;
    auto add = [&](const QRect &r, const char *kind, int i) {
        boxes.push_back({r, QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(i)});
    };
    for (int i = 0; i < ProjectModel::Slots; ++i) {
        if (const auto &r = m.valueLabels[p][i]; r.present == 1)
            add(valueRect(r), "value label", i);
        if (const auto &r = m.signals[p][i]; r.present == 1)
            add(QRect(r.left, r.top(), r.width(), r.height()), "signal", i);
        if (const auto &r = m.levels[p][i]; r.present == 1)
            add(QRect(r.left, r.top, r.width, r.height), "level bar", i);
        if (const auto &r = m.contours[p][i]; r.present == 1)
            add(QRect(r.left, r.top, r.width, r.height), "shape", i);
        if (const auto &r = m.equipment[p][i]; r.present == 1)
            add(QRect(r.left, r.top, r.width, r.height), "equipment", i);
        if (const auto &r = m.controls[p][i]; r.present == 1)
            add(buttonRect(r), "button", i);
    }
    for (int i = 0; i < ProjectModel::MenuSlots; ++i)
        if (const auto &r = m.menus[p][i]; r.present == 1)
            add(QRect(r.x - 7, r.y - 13, 140, 40), "menu item", i);
    if (const auto &r = m.trendIcons[p + 1]; r.present == 1)
        add(QRect(r.left, r.top, r.width, r.height), "trend icon", 0);
    if (const auto &r = m.clocks[p + 1]; r.present == 1)
        add(QRect(r.left, r.top, 88, 40), "clock", 0);
    return boxes;
}

// What the program writes on a page: value readings, two-texts and state texts (the longer
// of their texts) and plain texts, each with the box it takes on the screen.
struct Writing {
    QRect rect;
    QString what;
    int stateOf = -1;   // state texts: block * 256 + pin; one of them shows at a time
};

std::vector<Writing> writings(const ProjectModel &m, int p)
{
    std::vector<Writing> out;
    for (int i = 0; i < ProjectModel::Slots; ++i) {
        if (const auto &r = m.valueLabels[p][i]; r.present == 1)
            out.push_back({valueRect(r), QStringLiteral("value label %1").arg(i)});
        if (const auto &r = m.signalTexts[p][i]; r.present == 1) {
            const QFont f = labelFont(r.fontSize);
            const QRect off = labelRect(r.left, r.top(), f, r.textOff);
            const QRect on = labelRect(r.left, r.top(), f, r.textOn);
            out.push_back({off.width() >= on.width() ? off : on,
                           QStringLiteral("signal text %1 \"%2\"").arg(i).arg(r.textOn.trimmed()),
                           r.isStateText() ? r.block * 256 + r.pin : -1});
        }
    }
    for (int i = 0; i < ProjectModel::TextSlots; ++i) {
        if (const auto &r = m.texts[p][i]; r.present == 1) {
            QFont f(r.fontName);
            f.setPointSize(r.fontSize);
            f.setBold(r.fontBold != 0);
            f.setItalic(r.fontItalic != 0);
            const QFontMetrics fm(f);
            out.push_back({QRect(r.left, r.top, fm.horizontalAdvance(r.caption), fm.height()),
                           QStringLiteral("text %1 \"%2\"").arg(i).arg(r.caption)});
        }
    }
    return out;
}

}   // namespace

TEST_F(DemoProject, LoadsCompletelyWithoutAnyMessage)
{
    EXPECT_TRUE(rig->plant.problems.isEmpty()) << rig->plant.problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(rig->written) << rig->writeError.toStdString();
    EXPECT_TRUE(rig->loaded);
    EXPECT_EQ(m().projectLoaded, 1);
    EXPECT_EQ(rig->failedLine, 0);
    EXPECT_TRUE(rig->host.messages.isEmpty()) << rig->host.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rig->host.parameterErrors.isEmpty()) << rig->host.parameterErrors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rig->host.netlistErrors.isEmpty());
    EXPECT_GE(rig->host.callIndex(QStringLiteral("caption SCADA Ж7 - ") + m().netlistPath), 0);
    EXPECT_TRUE(m().netlistPath.endsWith(QStringLiteral("/Kotelnya.net"))) << m().netlistPath.toStdString();
}

TEST_F(DemoProject, ShowsEightPagesEachWithItsOwnPicture)
{
    for (int p = 0; p < demo::PageCount; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(m().pageEnabled[static_cast<std::size_t>(p)], 1);
        const QString caption = QString::fromUtf8(Captions[p]);
        const QString path = rig->dir.filePath(caption + QStringLiteral(".bmp"));
        EXPECT_GE(rig->view.callIndex(QStringLiteral("setupPage %1 %2 %3 1").arg(p).arg(caption, path)), 0)
            << rig->view.calls.filter(QStringLiteral("setupPage %1").arg(p)).join(QLatin1Char('|')).toStdString();
        const QImage picture(path);
        EXPECT_EQ(picture.size(), QSize(800, 480));
        // A drawn diagram, not an empty canvas, and not another page's picture.
        const QRgb background = qRgb(0xF4, 0xF6, 0xF9);
        EXPECT_EQ(picture.pixel(799, 300) | 0xFF000000u, background | 0xFF000000u);
        int drawn = 0;
        for (int y = 0; y < picture.height(); y += 4)
            for (int x = 0; x < picture.width(); x += 4)
                drawn += picture.pixel(x, y) != background ? 1 : 0;
        EXPECT_GT(drawn, 800 * 480 / 16 / 10);
        for (int q = 0; q < p; ++q)
            EXPECT_NE(picture, QImage(rig->dir.filePath(QString::fromUtf8(Captions[q]) + QStringLiteral(".bmp"))));
        EXPECT_TRUE(QFile::exists(qEnvironmentVariable("TABLO_BUILD_DIR") + QStringLiteral("/demo/") + caption
                                  + QStringLiteral(".bmp")));
    }
    EXPECT_EQ(m().pageEnabled[8], 0);
}

TEST_F(DemoProject, ControllerProgramHoldsTheBlocksThePagesNeed)
{
    const std::pair<int, const char *> expected[] = {
        {demo::blk::Boiler1, "A_I"}, {demo::blk::PumpsRun, "D_I"},    {demo::blk::PumpsCmd, "D_O"},
        {demo::blk::HeatSum, "SUM"}, {demo::blk::PidBoiler1, "PID"},  {demo::blk::SetPoints, "S_P"},
        {demo::blk::Timers, "TIM"},  {demo::blk::PumpKeys, "PAN"},    {demo::blk::Touch, "TOU"},
        {demo::blk::Report, "REP"},  {demo::blk::CommonAlarm, "OR_"}, {demo::blk::Scada, "SCA"},
        {demo::blk::Trend, "GRA"},   {demo::blk::Journal, "JUR"}};
    for (const auto &[block, code] : expected)
        EXPECT_EQ(cat().codeOf(typeOf(block)), QLatin1String(code)) << block;

    // The netlist and the project file agree on every block, and no block is left without type.
    QSet<int> inNetlist;
    for (const demo::NetPart &part : rig->plant.parts) {
        inNetlist.insert(part.number);
        EXPECT_EQ(typeOf(part.number), rig->plant.model.blockType[static_cast<std::size_t>(part.number)])
            << part.number;
        EXPECT_NE(typeOf(part.number), 0) << part.number;
    }
    for (int n = 1; n <= 96; ++n) {
        if (!inNetlist.contains(n)) {
            EXPECT_EQ(typeOf(n), 0) << n;
        }
    }
    EXPECT_GE(inNetlist.size(), 40);
    EXPECT_EQ(m().reportMode, 1);
}

TEST_F(DemoProject, JournalAndTrendNamesAreWhereTheirWindowsLookForThem)
{
    const auto &events = demo::journalEventNames();
    QSet<QString> distinct;
    for (int n = 0; n < 32; ++n) {
        EXPECT_EQ(m().blockTexts[static_cast<std::size_t>(m().Event_Base + n)], events[static_cast<std::size_t>(n)])
            << n;
        EXPECT_LE(events[static_cast<std::size_t>(n)].size(), 42) << n;   // longer names are cut
        distinct.insert(events[static_cast<std::size_t>(n)]);
    }
    EXPECT_EQ(distinct.size(), 32);
    EXPECT_EQ(m().blockTexts[static_cast<std::size_t>(m().blockTextBase[99])], demo::journalTitle());

    const int tbase = m().blockTextBase[98], pbase = m().blockParamBase[98];
    const auto &channels = demo::trendChannelNames();
    for (int n = 0; n < 32; ++n) {
        EXPECT_EQ(m().blockTexts[static_cast<std::size_t>(tbase + 1 + n)], channels[static_cast<std::size_t>(n)]) << n;
        EXPECT_LE(channels[static_cast<std::size_t>(n)].size(), 42) << n;
        EXPECT_LT(m().blockParams[static_cast<std::size_t>(pbase + n + 34)],
                  m().blockParams[static_cast<std::size_t>(pbase + n + 67)])
            << "chart limits of channel " << n;
    }
    EXPECT_EQ(m().blockTexts[static_cast<std::size_t>(tbase + 33)], demo::trendTitle());
}

TEST_F(DemoProject, SetPointNamesMatchTheRowsOfTheSetPointPage)
{
    QSet<QString> pageTexts;
    for (const TextRec &t : m().texts[7])
        if (t.present == 1)
            pageTexts.insert(t.caption);
    for (int block : {demo::blk::SetPoints, demo::blk::Limits}) {
        for (int k = 0; k < 8; ++k) {
            const QString name =
                m().blockTexts[static_cast<std::size_t>(m().blockTextBase[static_cast<std::size_t>(block)] + k)];
            EXPECT_FALSE(name.isEmpty()) << block << " " << k;
            EXPECT_TRUE(pageTexts.contains(name)) << name.toStdString();
        }
    }
}

TEST_F(DemoProject, UsesEveryElementKindAndEveryMachine)
{
    using K = ElementKind;
    for (K kind : {K::Parametr_Label, K::Signal_Picture, K::Text_Signal_Picture, K::Level_Picture, K::Go_Block_Label,
                   K::Contour1, K::Ventilator_Picture, K::Text_Label_Label, K::Control_Image, K::Menu_Image,
                   K::Grafik_Image, K::Real_Clock})
        EXPECT_GT(rig->view.count(kind), 0) << int(kind);
    EXPECT_EQ(rig->view.count(K::Real_Clock), 8);
    EXPECT_EQ(rig->view.count(K::Grafik_Image), 8);

    QSet<int> machines, symbols, pictures, navTargets;
    bool stateText = false, twoText = false, vertical = false, horizontal = false;
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            if (const auto &r = m().equipment[p][i]; r.present == 1)
                machines.insert(r.equipmentKind);
            if (const auto &r = m().signals[p][i]; r.present == 1)
                symbols.insert(r.typeSignal());
            if (const auto &r = m().controls[p][i]; r.present == 1)
                pictures.insert(r.picture);
            if (const auto &r = m().goBlocks[p][i]; r.present == 1)
                navTargets.insert(r.target);
            if (const auto &r = m().signalTexts[p][i]; r.present == 1)
                (r.isStateText() ? stateText : twoText) = true;
            if (const auto &r = m().levels[p][i]; r.present == 1)
                (r.levelMode > 1 ? horizontal : vertical) = true;
        }
    }
    for (int kind = 0; kind <= 21; ++kind)
        EXPECT_TRUE(machines.contains(kind)) << "equipment kind " << kind;
    for (int t = 0; t <= 7; ++t)
        EXPECT_TRUE(symbols.contains(t)) << "signal type " << t;
    for (int picture : {0, 4, 12, 13})
        EXPECT_TRUE(pictures.contains(picture)) << "button picture " << picture;
    for (int target = 201; target <= 208; ++target)
        EXPECT_TRUE(navTargets.contains(target)) << target;
    for (int target = 211; target <= 218; ++target)
        EXPECT_TRUE(navTargets.contains(target)) << target;
    EXPECT_TRUE(navTargets.contains(99));
    EXPECT_TRUE(navTargets.contains(100 + demo::blk::SetPoints));
    EXPECT_TRUE(stateText && twoText && vertical && horizontal);
}

TEST_F(DemoProject, EveryElementReadsAnOutputThatItsBlockHas)
{
    auto check = [&](int p, int i, const char *kind, int block, int pin) {
        const int t = typeOf(block);
        EXPECT_NE(t, 0) << kind << " " << p << "/" << i << " reads block " << block;
        EXPECT_LE(pin, cat().maxOutputPin(t)) << kind << " " << p << "/" << i << " reads pin " << pin;
    };
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            if (const auto &r = m().valueLabels[p][i]; r.present == 1)
                check(p, i, "value label", r.block, r.pin);
            if (const auto &r = m().signals[p][i]; r.present == 1)
                check(p, i, "signal", r.block, r.pin);
            if (const auto &r = m().signalTexts[p][i]; r.present == 1)
                check(p, i, "signal text", r.block, r.pin);
            if (const auto &r = m().levels[p][i]; r.present == 1)
                check(p, i, "level bar", r.block, r.pin);
            if (const auto &r = m().equipment[p][i]; r.present == 1)
                check(p, i, "equipment", r.block, r.pin);
            if (const auto &r = m().controls[p][i]; r.present == 1) {
                const QString code = cat().codeOf(typeOf(r.block));
                EXPECT_TRUE(code == QLatin1String("PAN") || code == QLatin1String("TOU")) << p << "/" << i;
                // A touch block sends the key number itself as the code, and code 0 is no key.
                if (code == QLatin1String("TOU")) {
                    EXPECT_NE(r.key, 0) << p << "/" << i;
                }
                if (r.picture == 4 || r.picture == 12 || r.picture == 13)   // switch state at 2·key + 1
                    check(p, i, "switch", r.block, 2 * r.key + 1);
            }
        }
    }
}

TEST_F(DemoProject, IndicatorsOnTouchKeysShowOnlyWhatAHeldKeyDrives)
{
    // A touch block's output k is on only while its key k is held: a lamp or two-text on such an
    // output must sit on the page that offers key k, and no touch key is drawn as a latched switch.
    QSet<int> held;   // page * 4096 + block * 32 + key
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            const ControlRec &r = m().controls[p][i];
            if (r.present != 1 || cat().codeOf(typeOf(r.block)) != QLatin1String("TOU"))
                continue;
            held.insert(p * 4096 + r.block * 32 + r.key);
            EXPECT_TRUE(r.picture != 4 && r.picture != 12 && r.picture != 13)
                << "switch picture on touch key " << p << "/" << i;
        }
    }
    auto check = [&](int p, int i, const char *kind, int block, int pin) {
        if (cat().codeOf(typeOf(block)) == QLatin1String("TOU")) {
            EXPECT_TRUE(held.contains(p * 4096 + block * 32 + pin))
                << kind << " " << p << "/" << i << " shows output " << pin << " of touch block " << block;
        }
    };
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            if (const auto &r = m().signals[p][i]; r.present == 1)
                check(p, i, "signal", r.block, r.pin);
            if (const auto &r = m().signalTexts[p][i]; r.present == 1)
                check(p, i, "two-text", r.block, r.pin);
            if (const auto &r = m().valueLabels[p][i]; r.present == 1)
                check(p, i, "value label", r.block, r.pin);
        }
    }
}

TEST_F(DemoProject, NavigationLabelsAndMenusLeadSomewhere)
{
    static const QSet<int> settable{25, 26, 31, 35, 36, 38, 45, 46};
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            const GoBlockRec &g = m().goBlocks[p][i];
            if (g.present != 1)
                continue;
            SCOPED_TRACE(QStringLiteral("page %1 slot %2 target %3").arg(p).arg(i).arg(g.target).toStdString());
            if (g.target >= 201 && g.target <= 208) {
                EXPECT_NE(g.target - 201, p);
                EXPECT_EQ(m().pageEnabled[static_cast<std::size_t>(g.target - 201)], 1);
            } else if (g.target >= 101 && g.target <= 199) {
                const int block = g.target - 100;
                ASSERT_TRUE(settable.contains(typeOf(block)));
                // The set-point window starts from the value label just under the label.
                const int t = g.y - 15, l = g.x - 10;
                const ValueLabelRec *found = nullptr;
                for (int j = 1; j <= 32 && !found; ++j) {
                    const ValueLabelRec &v = m().valueLabels[p][j];
                    if (v.present == 1 && t < v.top && v.top < t + 60 && l - 5 < v.left && v.left < l + 67
                        && settable.contains(typeOf(v.block)))
                        found = &v;
                }
                ASSERT_NE(found, nullptr);
                EXPECT_EQ(found->block, block);
                EXPECT_EQ(found->pin, g.targetPin);
            } else {
                EXPECT_TRUE(g.target == 99 || (g.target >= 211 && g.target <= 218));
            }
        }
        for (int i = 1; i < ProjectModel::MenuSlots; ++i) {
            if (const MenuRec &r = m().menus[p][i]; r.present == 1) {
                EXPECT_LT(r.targetPage, 8) << p << "/" << i;
            }
        }
    }
}

TEST_F(DemoProject, ElementsStayOnTheirPageWithoutCoveringEachOther)
{
    const QRect page(0, 0, 800, 480);
    for (int p = 0; p < 8; ++p) {
        const std::vector<Box> boxes = solidElements(m(), p);
        for (std::size_t a = 0; a < boxes.size(); ++a) {
            EXPECT_TRUE(page.contains(boxes[a].rect)) << "page " << p << ": " << boxes[a].what.toStdString();
            for (std::size_t b = a + 1; b < boxes.size(); ++b) {
                EXPECT_FALSE(boxes[a].rect.intersects(boxes[b].rect))
                    << "page " << p << ": " << boxes[a].what.toStdString() << " and " << boxes[b].what.toStdString();
            }
        }
        for (int i = 0; i < ProjectModel::TextSlots; ++i) {
            if (const TextRec &r = m().texts[p][i]; r.present == 1) {
                EXPECT_TRUE(page.contains(QPoint(r.left, r.top))) << p << "/" << i;
            }
        }
    }
    // Elements live on slots 1..31 (menus 1..7): slot 0 and slot 32 share instances with
    // neighbouring pages, and nothing belongs to the page-less record 8.
    for (int i : {0, 32}) {
        for (int p = 0; p < ProjectModel::Pages; ++p) {
            EXPECT_NE(m().valueLabels[p][i].present, 1);
            EXPECT_NE(m().equipment[p][i].present, 1);
            EXPECT_NE(m().controls[p][i].present, 1);
            EXPECT_NE(m().goBlocks[p][i].present, 1);
        }
    }
    EXPECT_NE(m().trendIcons[0].present, 1);
    EXPECT_NE(m().clocks[0].present, 1);
}

TEST_F(DemoProject, ReadingsAndCaptionsKeepClearOfEachOtherAndOfThePictureTexts)
{
    const QRect page(0, 0, 800, 480);
    for (int p = 0; p < 8; ++p) {
        const std::vector<Writing> live = writings(m(), p);
        const demo::Drawing &drawn = rig->plant.drawn[static_cast<std::size_t>(p)];
        ASSERT_FALSE(drawn.texts.empty()) << "page " << p;
        for (std::size_t a = 0; a < live.size(); ++a) {
            const Writing &w = live[a];
            const std::string what = w.what.toStdString();
            EXPECT_TRUE(page.contains(w.rect)) << "page " << p << ": " << what;
            // Units, tags and captions drawn on the picture stay readable beside live texts
            // and under the elements.
            for (const demo::DrawnText &t : drawn.texts) {
                EXPECT_FALSE(w.rect.intersects(t.rect))
                    << "page " << p << ": " << what << " covers \"" << t.text.toStdString() << "\"";
            }
            for (std::size_t b = a + 1; b < live.size(); ++b) {
                if (w.stateOf >= 0 && w.stateOf == live[b].stateOf)
                    continue;
                EXPECT_FALSE(w.rect.intersects(live[b].rect))
                    << "page " << p << ": " << what << " and " << live[b].what.toStdString();
            }
            // A live text that starts inside a panel or button ends inside it.
            const QRect *frame = nullptr;
            for (const QRect &f : drawn.frames) {
                if (f.contains(w.rect.topLeft()) && (!frame || frame->contains(f)))
                    frame = &f;
            }
            if (frame) {
                EXPECT_TRUE(frame->contains(w.rect)) << "page " << p << ": " << what << " leaves its frame";
            }
        }
        for (const Box &b : solidElements(m(), p)) {
            for (const demo::DrawnText &t : drawn.texts) {
                EXPECT_FALSE(b.rect.intersects(t.rect))
                    << "page " << p << ": " << b.what.toStdString() << " covers \"" << t.text.toStdString() << "\"";
            }
        }
    }
}

TEST_F(DemoProject, TheReportStartsFromTheFirstStateTextOfTheAlarmPage)
{
    const SignalTextRec &trigger = m().signalTexts[6][1];
    ASSERT_EQ(trigger.present, 1);
    EXPECT_FALSE(trigger.isStateText());
    EXPECT_EQ(cat().codeOf(typeOf(trigger.block)), QLatin1String("REP"));
}

TEST_F(DemoProject, TheBuildLeavesTheCurrentDemoBesideTheProgram)
{
    const QString beside = qEnvironmentVariable("TABLO_BUILD_DIR") + QStringLiteral("/demo/");
    for (const QString &name : {demo::ProjectFileName, demo::NetlistFileName}) {
        QFile built(beside + name), fresh(rig->dir.filePath(name));
        ASSERT_TRUE(built.open(QIODevice::ReadOnly)) << built.fileName().toStdString();
        ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
        EXPECT_TRUE(built.readAll() == fresh.readAll()) << name.toStdString() << " is out of date";
    }
}

TEST_F(DemoProject, WritingIntoAFolderThatCannotBeMadeFailsWithItsName)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    const QString target = dir.filePath(QStringLiteral("file/demo"));
    EXPECT_FALSE(demo::writeProject(rig->plant, target, &error));
    EXPECT_TRUE(error.contains(target)) << error.toStdString();
}
