#include "mimic/MimicFixtures.h"

#include <QWidget>

namespace fixtures {

namespace {

constexpr std::size_t P(int p) { return static_cast<std::size_t>(p); }

} // namespace

void createAll(ProjectView &view, const ProjectModel &m)
{
    auto create = [&](ElementKind kind, const auto &record, int p, int i) {
        if (record.present == 1)
            view.createElement(kind, p, i, m);
    };
    auto createTable = [&](ElementKind kind, const auto &table) {
        for (int p = 0; p < ProjectModel::Pages; ++p)
            for (int i = 0; i < static_cast<int>(table[P(p)].size()); ++i)
                create(kind, table[P(p)][P(i)], p, i);
    };
    for (int p = 0; p < ProjectModel::Pages; ++p)
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            create(ElementKind::Parametr_Label, m.valueLabels[P(p)][P(i)], p, i);
            create(ElementKind::Signal_Picture, m.signals[P(p)][P(i)], p, i);
            create(ElementKind::Text_Signal_Picture, m.signalTexts[P(p)][P(i)], p, i);
            create(ElementKind::Level_Picture, m.levels[P(p)][P(i)], p, i);
            create(ElementKind::Go_Block_Label, m.goBlocks[P(p)][P(i)], p, i);
            create(ElementKind::Contour1, m.contours[P(p)][P(i)], p, i);
        }
    createTable(ElementKind::Ventilator_Picture, m.equipment);
    createTable(ElementKind::Text_Label_Label, m.texts);
    for (int k = 0; k < ProjectModel::Pages; ++k)
        create(ElementKind::Grafik_Image, m.trendIcons[P(k)], k - 1, k);
    for (int k = 0; k < ProjectModel::Pages; ++k)
        create(ElementKind::Real_Clock, m.clocks[P(k)], k - 1, k);
    createTable(ElementKind::Control_Image, m.controls);
    createTable(ElementKind::Menu_Image, m.menus);
}

void fillFullProject(ProjectModel &m)
{
    for (int n = 1; n < ProjectModel::Blocks; ++n)
        m.blockType[P(n)] = static_cast<std::int16_t>(1 + (n - 1) % 50);
    for (int p = 0; p < 8; ++p) {
        for (int i = 1; i <= 32; ++i) {
            const auto col = static_cast<std::int16_t>(10 + ((i - 1) % 8) * 98);
            const auto row = static_cast<std::int16_t>(10 + ((i - 1) / 8) * 115);
            m.valueLabels[P(p)][P(i)] = {1, col, row, 0x000000, 0xFFFFFF, 1, 10, 2,
                                         static_cast<std::uint8_t>(i), 0};
            m.signals[P(p)][P(i)] = {1, static_cast<std::int16_t>(col + 60), row, 20, 20, 0x808080,
                                     0x00FF00, 1, 0, static_cast<std::uint8_t>(i), 1};
            m.signalTexts[P(p)][P(i)].present = 1;
            m.signalTexts[P(p)][P(i)].left = col;
            m.signalTexts[P(p)][P(i)].topField = static_cast<std::int16_t>(row + 20);
            m.signalTexts[P(p)][P(i)].fontSize = 8;
            m.signalTexts[P(p)][P(i)].textOff = QStringLiteral("Стоп");
            m.signalTexts[P(p)][P(i)].textOn = QStringLiteral("Робота");
            m.levels[P(p)][P(i)] = {1, static_cast<std::int16_t>(col + 85), row, 8, 40, 100,
                                    0x00C000, 0xFFFFFF, static_cast<std::uint8_t>(i % 4), 3, 0};
            m.goBlocks[P(p)][P(i)] = {1, static_cast<std::int16_t>(col + 10),
                                      static_cast<std::int16_t>(row + 15), 125, 0};
            m.contours[P(p)][P(i)] = {1, col, static_cast<std::int16_t>(row + 40), 90, 20, 0x404040,
                                      static_cast<std::int16_t>(i % 6), 1};
            m.equipment[P(p)][P(i)] = {1, col, static_cast<std::int16_t>(row + 40), 60, 70,
                                       (i - 1) % 22, 5, static_cast<std::uint8_t>(i)};
            m.equipmentState[P(p)][P(i)] = static_cast<std::int16_t>(1 + i % 2);
            m.controls[P(p)][P(i)] = {1, static_cast<std::int16_t>(col + 60),
                                      static_cast<std::int16_t>(row + 70), 29,
                                      static_cast<std::uint8_t>(i % 16), QStringLiteral("Кнопка"), 30, 30,
                                      static_cast<std::uint8_t>(i % 16)};
        }
        for (int i = 1; i <= 64; ++i)
            m.texts[P(p)][P(i)] = {1, static_cast<std::int16_t>(10 + ((i - 1) % 8) * 98),
                                   static_cast<std::int16_t>(5 + ((i - 1) / 8) * 58), 0x000000,
                                   QStringLiteral("Текст %1").arg(i), QStringLiteral("DejaVu Sans"), 0, 0, 8};
        for (int i = 1; i <= 8; ++i)
            m.menus[P(p)][P(i)] = {1, static_cast<std::int16_t>(650), static_cast<std::int16_t>(20 + i * 45),
                                   QStringLiteral("Сторінка %1").arg(i), static_cast<std::uint8_t>(i - 1)};
        m.trendIcons[P(p + 1)] = {1, 700, 420, 48, 36, 0};
        m.clocks[P(p + 1)] = {1, 720, 4};
    }
}

MimicPages::ControlFactory fakeControls(int *made)
{
    return [made](const QString &progId, QWidget *parent) -> QWidget * {
        if (progId != QStringLiteral("Signal_Q7.Signal") && progId != QStringLiteral("Contour1.Contour"))
            return nullptr;
        auto *w = new QWidget(parent);
        w->setProperty("progId", progId);
        if (made)
            ++*made;
        return w;
    };
}

namespace {

struct Builder {
    ProjectModel &m;
    int page = 0;
    int nextSlot[12] = {};

    int slot(ElementKind k)
    {
        int &s = nextSlot[static_cast<int>(k)];
        return ++s;
    }
    void value(int x, int y, int block, int pin, int size = 10, int digits = 2)
    {
        auto &r = m.valueLabels[P(page)][P(slot(ElementKind::Parametr_Label))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0x00202020, 0x00F4F4F4, 1,
             static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(digits),
             static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(pin)};
    }
    void text(int x, int y, const QString &caption, int size = 9, bool bold = false, std::int32_t colour = 0x00303030)
    {
        auto &r = m.texts[P(page)][P(slot(ElementKind::Text_Label_Label))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), colour, caption,
             QStringLiteral("DejaVu Sans"), static_cast<std::int16_t>(bold ? 1 : 0), 0,
             static_cast<std::uint8_t>(size)};
    }
    void signal(int x, int y, int w, int h, int type, int block, int pin, int border = 1)
    {
        auto &r = m.signals[P(page)][P(slot(ElementKind::Signal_Picture))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
             static_cast<std::int16_t>(w + 64 * (type % 4)), static_cast<std::int16_t>(h + 64 * (type / 4)),
             0x00A0A0A0, 0x0000C000, static_cast<std::uint8_t>(border), 0, static_cast<std::uint8_t>(block),
             static_cast<std::uint8_t>(pin)};
    }
    void stateText(int x, int y, const QString &off, const QString &on, int block, int pin)
    {
        auto &r = m.signalTexts[P(page)][P(slot(ElementKind::Text_Signal_Picture))];
        r.present = 1;
        r.left = static_cast<std::int16_t>(x);
        r.topField = static_cast<std::int16_t>(y);
        r.fontSize = 9;
        r.foreColor = 0x00FFFFFF;
        r.backColor = 0x00505050;
        r.textOff = off;
        r.textOn = on;
        r.borderStyle = 1;
        r.block = static_cast<std::uint8_t>(block);
        r.pin = static_cast<std::uint8_t>(pin);
    }
    void level(int x, int y, int w, int h, int full, std::int32_t a, std::int32_t b, int mode, int block, int pin)
    {
        auto &r = m.levels[P(page)][P(slot(ElementKind::Level_Picture))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(w),
             static_cast<std::int16_t>(h), full, a, b, static_cast<std::uint8_t>(mode),
             static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(pin)};
    }
    void nav(int x, int y, int target, int pin = 0)
    {
        auto &r = m.goBlocks[P(page)][P(slot(ElementKind::Go_Block_Label))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(target),
             static_cast<std::int16_t>(pin)};
    }
    void contour(int x, int y, int w, int h, std::int32_t colour, int shape, int width)
    {
        auto &r = m.contours[P(page)][P(slot(ElementKind::Contour1))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(w),
             static_cast<std::int16_t>(h), colour, static_cast<std::int16_t>(shape),
             static_cast<std::int16_t>(width)};
    }
    int machine(int x, int y, int w, int h, int kind, int state)
    {
        const int s = slot(ElementKind::Ventilator_Picture);
        m.equipment[P(page)][P(s)] = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                                      static_cast<std::int16_t>(w), static_cast<std::int16_t>(h), kind, 20,
                                      static_cast<std::uint8_t>(s)};
        m.equipmentState[P(page)][P(s)] = static_cast<std::int16_t>(state);
        return s;
    }
    void button(int x, int y, int w, int h, int picture, int block, int key, const QString &hint)
    {
        auto &r = m.controls[P(page)][P(slot(ElementKind::Control_Image))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::uint8_t>(block),
             static_cast<std::uint8_t>(key), hint, static_cast<std::int16_t>(w), static_cast<std::int16_t>(h),
             static_cast<std::uint8_t>(picture)};
    }
    void menu(int x, int y, const QString &caption, int target)
    {
        auto &r = m.menus[P(page)][P(slot(ElementKind::Menu_Image))];
        r = {1, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), caption,
             static_cast<std::uint8_t>(target)};
    }
};

} // namespace

void fillShowcase(ProjectModel &m)
{
    m.blockType[1] = 1;    // A_I
    m.blockType[2] = 3;    // D_I
    m.blockType[5] = 10;   // SUM
    m.blockType[6] = 26;   // PID
    m.blockType[7] = 25;   // S_P
    m.blockType[12] = 29;  // PAN
    m.blockType[20] = 46;  // UNI
    m.blockType[30] = 50;  // TOU

    Builder b{m};
    b.text(16, 8, QStringLiteral("Зерносушильний комплекс ЗСК-30"), 14, true, 0x00603010);
    b.text(18, 36, QStringLiteral("Лінія подачі та сушіння зерна"), 9, false, 0x00505050);

    // intake: inclined conveyor into the bucket elevator, belt over to the dryer
    b.text(24, 250, QStringLiteral("Транспортер Т1"), 8);
    b.machine(24, 268, 120, 72, 21, 1);
    b.machine(150, 150, 48, 120, 19, 1);
    b.text(138, 128, QStringLiteral("Норія Н1"), 8);
    b.machine(200, 156, 120, 30, 17, 1);
    b.text(216, 190, QStringLiteral("Конвеєр К1"), 8);

    // burner temperature first: the dryer shell drawn after it must not hide a value
    b.text(456, 240, QStringLiteral("Пальник"), 8);
    b.value(456, 258, 6, 0, 18, 1);
    b.text(520, 262, QStringLiteral("°C"), 9);

    // the dryer: shell, grain level, burner and exhaust fans
    b.contour(340, 110, 106, 250, 0x00404040, 4, 2);
    b.level(356, 128, 18, 210, 100, 0x0030A0E0, 0x00F0F0F0, 1, 1, 1);
    b.text(380, 128, QStringLiteral("Рівень"), 8);
    b.value(380, 146, 1, 1, 10, 2);
    b.text(424, 148, QStringLiteral("%"), 8);
    b.text(380, 190, QStringLiteral("t зерна"), 8);
    b.value(380, 208, 1, 2, 10, 2);
    b.text(424, 210, QStringLiteral("°C"), 8);
    b.nav(392, 278, 107, 0);
    b.text(380, 252, QStringLiteral("Завдання"), 8);
    b.value(380, 272, 7, 0, 10, 2);
    b.text(424, 274, QStringLiteral("°C"), 8);
    b.machine(456, 112, 46, 46, 0, 1);
    b.text(508, 116, QStringLiteral("Вентилятор В1"), 8);
    b.signal(508, 134, 14, 14, 1, 2, 0);
    b.stateText(528, 133, QStringLiteral(" Стоп "), QStringLiteral(" Робота "), 2, 0);
    b.machine(456, 176, 46, 46, 5, 2);
    b.text(508, 180, QStringLiteral("Вентилятор В2"), 8);
    b.signal(508, 198, 14, 14, 1, 2, 1);
    b.stateText(528, 197, QStringLiteral(" Стоп "), QStringLiteral(" Робота "), 2, 1);
    b.level(456, 290, 120, 12, 100, 0x000080FF, 0x00FFFFFF, 3, 6, 1);
    b.text(456, 304, QStringLiteral("Потужність"), 8);

    // unloading: screw under the dryer, pump set and gear drive
    b.machine(330, 372, 120, 32, 16, 1);
    b.text(342, 406, QStringLiteral("Шнек Ш1"), 8);
    b.machine(474, 336, 56, 71, 8, 1);
    b.text(474, 410, QStringLiteral("Насос Н2"), 8);
    b.machine(548, 348, 48, 59, 12, 0);
    b.text(548, 410, QStringLiteral("Редуктор"), 8);
    b.machine(150, 300, 48, 120, 18, 0);
    b.signal(210, 380, 30, 20, 6, 2, 2, 0);
    b.text(208, 402, QStringLiteral("Засувка"), 8);
    b.signal(260, 380, 20, 20, 2, 2, 3, 0);

    // panel: keys, switches, menu, clock and trend icon
    b.contour(612, 60, 176, 406, 0x00808080, 0, 1);
    b.text(622, 66, QStringLiteral("Керування"), 9, true);
    b.button(630, 100, 40, 40, 0, 12, 1, QStringLiteral("Аварійний стоп"));
    b.button(690, 90, 36, 36, 1, 12, 2, QStringLiteral("Пуск"));
    b.button(736, 90, 36, 36, 2, 12, 3, QStringLiteral("Стоп"));
    b.button(690, 138, 36, 36, 4, 12, 4, QStringLiteral("Нагрів"));
    b.button(736, 138, 36, 36, 12, 12, 5, QStringLiteral("Режим"));
    b.button(630, 186, 36, 36, 13, 12, 6, QStringLiteral("Автомат"));
    b.button(690, 186, 36, 36, 3, 30, 1, QStringLiteral("Більше"));
    b.button(736, 186, 36, 36, 5, 30, 2, QStringLiteral("Менше"));
    b.menu(632, 256, QStringLiteral("Схема сушарки"), 0);
    b.menu(632, 306, QStringLiteral("Склад зерна"), 1);
    b.nav(640, 356, 211);
    b.text(624, 348, QStringLiteral("Графіки"), 8);
    b.nav(720, 356, 99);
    b.text(704, 348, QStringLiteral("Журнал"), 8);
    m.trendIcons[1] = {1, 630, 366, 48, 36, 0};
    m.clocks[1] = {1, 700, 410};

    // page 1: the store with a way back
    b.page = 1;
    for (int &s : b.nextSlot)
        s = 0;
    b.text(16, 8, QStringLiteral("Склад зерна"), 14, true, 0x00603010);
    b.machine(60, 120, 48, 120, 18, 1);
    b.machine(120, 120, 120, 30, 17, 2);
    b.machine(260, 200, 120, 72, 20, 1);
    b.level(420, 100, 24, 200, 100, 0x0030A0E0, 0x00F0F0F0, 0, 1, 3);
    b.menu(632, 406, QStringLiteral("До сушарки"), 0);
    m.clocks[2] = {1, 700, 8};
}

} // namespace fixtures
