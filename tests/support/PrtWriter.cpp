#include "support/PrtWriter.h"

#include "app/BlockCatalogue.h"
#include "text/LineFile.h"
#include "text/Numbers.h"

#include <QFile>
#include <QImage>
#include <QPainter>

namespace fixture {
namespace {

const BlockCatalogue &freshCatalogue()
{
    static const BlockCatalogue catalogue;
    return catalogue;
}

QString num(std::int64_t v)
{
    return text::formatNumber(v);
}

QString label(const char *kind, int p, int i)
{
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(kind)).arg(p).arg(i);
}

} // namespace

int PrtProject::touLines() const
{
    if (touSettingsLines)
        return *touSettingsLines;
    if (!versionLine && (version == 3 || version == 4 || version == 5))
        return 1;
    return 0;
}

bool PrtProject::hasEquipment() const
{
    if (versionLine)
        return !(text::val(*versionLine) == 0 || text::val(*versionLine) == 1);
    return !(version == 0 || version == 1);
}

int PrtProject::settingsLinesOf(int type) const
{
    if (type == 50)
        return touLines();
    return freshCatalogue().settingsLines(type);
}

int PrtProject::extraLinesOf(int type) const
{
    if (type == 5) {
        if (rs4ExtraLines)
            return *rs4ExtraLines;
        return !versionLine && version == 5 ? 48 : 0;
    }
    return freshCatalogue().extraSettingsLines(type);
}

PrtLayout::PrtLayout(const PrtProject &p)
{
    equipment = SlotBlock + 9 * 33 * 63;
    texts = equipment + (p.hasEquipment() ? 9 * 33 * 25 : 0);
    colours = texts + 9 * 65 * 10;
    trendIcons = colours + 16;
    clocks = trendIcons + 9 * 7;
    controls = clocks + 9 * 4;
    menus = controls + 9 * 33 * 10;
    blockTypes = menus + 9 * 9 * 6;
    settings = blockTypes + 100;
    int line = settings;
    bool rep = false;
    for (int n = 1; n <= 99; ++n) {
        const int t = p.elements.blockType[static_cast<std::size_t>(n)];
        if (t != 0)
            line += 2 + p.settingsLinesOf(t);
        rep = rep || t == 48;
    }
    report = line;
    extra = report + (rep ? 18 : 0);
    line = extra + 1;
    for (int n = 1; n <= 99; ++n) {
        const int t = p.elements.blockType[static_cast<std::size_t>(n)];
        if (t == 25 || t == 29 || t == 41 || t == 42)
            line += 1 + p.extraLinesOf(t);
    }
    end = line;
}

QStringList prtLines(const PrtProject &d)
{
    const ProjectModel &m = d.elements;
    QStringList out;
    out.reserve(40000);
    out << (d.versionLine ? *d.versionLine : QString::number(d.version).prepend(u' ').append(u' '));
    out << d.projectName << num(d.linkKind) << d.ipAddress << num(d.tcpPort)
        << num(d.controllerAddress) << d.netlist;
    for (const QString &s : d.pagePicture)
        out << s;
    for (int f : d.pageEnabled)
        out << num(f);
    out << QStringLiteral("Schema");
    for (int s : d.schemaSetting)
        out << num(s);

    for (int p = 0; p < 9; ++p) {
        for (int i = 0; i < 33; ++i) {
            const auto P = static_cast<std::size_t>(p), I = static_cast<std::size_t>(i);
            const ValueLabelRec &v = m.valueLabels[P][I];
            out << label("Parametr_Label", p, i) << num(v.present) << num(v.left) << num(v.top)
                << num(v.foreColor) << num(v.backColor) << num(v.borderStyle) << num(v.fontSize)
                << num(v.digits) << num(v.block) << num(v.pin);
            const SignalRec &s = m.signals[P][I];
            out << label("Signal_Picture", p, i) << num(s.present) << num(s.left) << num(s.topField)
                << num(s.widthField) << num(s.heightField) << num(s.colourOff) << num(s.colourOn)
                << num(s.borderStyle) << num(s.spare) << num(s.block) << num(s.pin);
            const SignalTextRec &t = m.signalTexts[P][I];
            out << label("Text_Signal_Picture", p, i) << num(t.present) << num(t.left)
                << num(t.topField) << num(t.fontSize) << num(t.foreColor) << num(t.backColor)
                << t.textOff << t.textOn << num(t.borderStyle) << num(t.spare) << num(t.block)
                << num(t.pin);
            const LevelRec &l = m.levels[P][I];
            out << label("Level_Picture", p, i) << num(l.present) << num(l.left) << num(l.top)
                << num(l.width) << num(l.height) << num(l.fullScale) << num(l.colourA)
                << num(l.colourB) << num(l.levelMode) << num(l.block) << num(l.pin);
            const GoBlockRec &g = m.goBlocks[P][I];
            out << label("Go_Block_Label", p, i) << num(g.present) << num(g.x) << num(g.y)
                << num(g.target) << num(g.targetPin);
            const ContourRec &c = m.contours[P][I];
            out << label("Contour1", p, i) << num(c.present) << num(c.left) << num(c.top)
                << num(c.width) << num(c.height) << num(c.borderColor) << num(c.shape)
                << num(c.borderWidth);
        }
    }
    if (d.hasEquipment()) {
        for (int p = 0; p < 9; ++p) {
            for (int i = 0; i < 33; ++i) {
                const EquipmentRec &e = m.equipment[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
                out << label("Ventilator_Picture", p, i) << num(e.present) << num(e.left)
                    << num(e.top) << num(e.width) << num(e.height) << num(e.equipmentKind)
                    << num(e.block) << num(e.pin);
                for (int k = 0; k < 16; ++k)
                    out << num(k == 0 ? 1 : 0);
            }
        }
    }
    for (int p = 0; p < 9; ++p) {
        for (int i = 0; i < 65; ++i) {
            const TextRec &t = m.texts[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            out << label("Text_Label_Label", p, i) << num(t.present) << num(t.left) << num(t.top)
                << num(t.foreColor) << t.caption << t.fontName << num(t.fontBold)
                << num(t.fontItalic) << num(t.fontSize);
        }
    }
    for (int p = 0; p < 8; ++p)
        out << QStringLiteral("Page colour %1").arg(p) << num(d.pageColour[static_cast<std::size_t>(p)]);
    for (int k = 0; k < 9; ++k) {
        const TrendIconRec &g = m.trendIcons[static_cast<std::size_t>(k)];
        out << label("Grafik_Image", k, 0) << num(g.present) << num(g.left) << num(g.top)
            << num(g.width) << num(g.height) << num(g.spare);
    }
    for (int k = 0; k < 9; ++k) {
        const ClockRec &c = m.clocks[static_cast<std::size_t>(k)];
        out << label("Real_Clock", k, 0) << num(c.present) << num(c.left) << num(c.top);
    }
    for (int p = 0; p < 9; ++p) {
        for (int i = 0; i < 33; ++i) {
            const ControlRec &c = m.controls[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            out << label("Control_Image", p, i) << num(c.present) << num(c.left) << num(c.top)
                << num(c.block) << num(c.key) << c.text << num(c.width) << num(c.height)
                << num(c.picture);
        }
    }
    for (int p = 0; p < 9; ++p) {
        for (int i = 0; i < 9; ++i) {
            const MenuRec &r = m.menus[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            out << label("Menu_Image", p, i) << num(r.present) << num(r.x) << num(r.y) << r.text
                << num(r.targetPage);
        }
    }
    out << QStringLiteral("Block types");
    for (int n = 1; n <= 99; ++n)
        out << num(m.blockType[static_cast<std::size_t>(n)]);
    int firstReport = 0;
    for (int n = 1; n <= 99; ++n) {
        const int t = m.blockType[static_cast<std::size_t>(n)];
        if (t == 0)
            continue;
        if (t == 48 && firstReport == 0)
            firstReport = n;
        out << QStringLiteral("Block U%1").arg(n);
        QStringList lines;
        if (auto it = d.blockSettings.find(n); it != d.blockSettings.end())
            lines = it->second;
        const int want = d.settingsLinesOf(t) + 1;
        while (lines.size() < want)
            lines << num(0);
        out << lines.mid(0, want);
    }
    if (firstReport != 0) {
        out << d.reportModeLine;
        for (int k = 0; k < 17; ++k)
            out << num(0);
    }
    out << QStringLiteral("Extra settings");
    for (int n = 1; n <= 99; ++n) {
        const int t = m.blockType[static_cast<std::size_t>(n)];
        if (t == 25 || t == 29 || t == 41 || t == 42) {
            out << QStringLiteral("Extra U%1").arg(n);
            for (int k = 0; k < d.extraLinesOf(t); ++k)
                out << QStringLiteral("Текст %1").arg(k);
        }
    }
    return out;
}

bool writeLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    bytes.reserve(lines.size() * 12);
    for (const QString &l : lines) {
        bytes += text::encode1251(l);
        bytes += "\r\n";
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

bool writePrt(const QString &path, const PrtProject &p)
{
    return writeLines(path, prtLines(p));
}

void fillFullProject(PrtProject &d)
{
    ProjectModel &m = d.elements;
    for (int p = 0; p < 8; ++p) {
        d.pagePicture[static_cast<std::size_t>(p)] = QStringLiteral("\\Page%1.bmp").arg(p + 1);
        d.pageEnabled[static_cast<std::size_t>(p)] = 1;
        d.pageColour[static_cast<std::size_t>(p)] = 0x101010 * (p + 1);
    }
    for (int p = 0; p < 9; ++p) {
        for (int i = 0; i < 33; ++i) {
            const auto P = static_cast<std::size_t>(p), I = static_cast<std::size_t>(i);
            const auto s16 = [&](int base) { return static_cast<std::int16_t>(base + p * 40 + i); };
            const auto u8 = [&](int base) { return static_cast<std::uint8_t>((base + p * 7 + i) % 256); };
            const std::int32_t colour = (p << 16) | (i << 8);
            m.valueLabels[P][I] = {1, s16(1), s16(2), colour | 1, colour | 2, u8(0), u8(8), static_cast<std::uint8_t>(i % 5), u8(1), static_cast<std::uint8_t>(i % 16)};
            m.signals[P][I] = {1, s16(3), s16(4), s16(5), s16(6), colour | 3, colour | 4, u8(1), u8(2), u8(3), static_cast<std::uint8_t>(i % 8)};
            m.signalTexts[P][I] = {1, s16(7), s16(8), u8(10), colour | 5, colour | 6,
                                   QStringLiteral("Стоп %1.%2").arg(p).arg(i), QStringLiteral("Пуск %1.%2").arg(p).arg(i),
                                   u8(4), u8(5), u8(6), static_cast<std::uint8_t>(i % 8)};
            m.levels[P][I] = {1, s16(9), s16(10), s16(11), s16(12), 1000 + p * 33 + i, colour | 7, colour | 8, static_cast<std::uint8_t>(i % 4), u8(7), static_cast<std::uint8_t>(i % 8)};
            m.goBlocks[P][I] = {1, s16(13), s16(14), static_cast<std::int16_t>(101 + (p * 33 + i) % 99), static_cast<std::int16_t>(i % 8)};
            m.contours[P][I] = {1, s16(15), s16(16), s16(17), s16(18), colour | 9, static_cast<std::int16_t>(i % 6), static_cast<std::int16_t>(1 + i % 3)};
            m.equipment[P][I] = {1, s16(19), s16(20), s16(21), s16(22), (p * 33 + i) % 22, u8(11), static_cast<std::uint8_t>(i % 8)};
            m.controls[P][I] = {1, s16(23), s16(24), u8(12), u8(13), QStringLiteral("Кнопка %1.%2").arg(p).arg(i), s16(25), s16(26), static_cast<std::uint8_t>(i % 3)};
        }
        for (int i = 0; i < 65; ++i) {
            const auto P = static_cast<std::size_t>(p), I = static_cast<std::size_t>(i);
            m.texts[P][I] = {1, static_cast<std::int16_t>(27 + p * 40 + i), static_cast<std::int16_t>(28 + p * 40 + i), (p << 16) | (i << 8) | 10,
                             QStringLiteral("Напис %1.%2").arg(p).arg(i), QStringLiteral("Arial"), static_cast<std::int16_t>(i % 2), static_cast<std::int16_t>((i / 2) % 2), static_cast<std::uint8_t>(8 + i % 10)};
        }
        for (int i = 0; i < 9; ++i)
            m.menus[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)] = {1, static_cast<std::int16_t>(29 + p * 40 + i), static_cast<std::int16_t>(30 + p * 40 + i), QStringLiteral("Меню %1.%2").arg(p).arg(i), static_cast<std::uint8_t>(i % 8)};
        m.trendIcons[static_cast<std::size_t>(p)] = {1, static_cast<std::int16_t>(31 + p), static_cast<std::int16_t>(32 + p), static_cast<std::int16_t>(33 + p), static_cast<std::int16_t>(34 + p), static_cast<std::uint8_t>(p)};
        m.clocks[static_cast<std::size_t>(p)] = {1, static_cast<std::int16_t>(35 + p), static_cast<std::int16_t>(36 + p)};
    }
}

bool writePicture(const QString &path, int width, int height, unsigned rgb)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(QColor::fromRgb(rgb));
    QPainter painter(&img);
    painter.setPen(QPen(Qt::darkGray, 2));
    painter.drawRect(1, 1, width - 3, height - 3);
    painter.end();
    return img.save(path, "BMP");
}

} // namespace fixture
