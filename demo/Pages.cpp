// The eight pages of the demo boiler house: picture and elements of each.
#include "Pages.h"

#include "Blocks.h"
#include "PageBuilder.h"

namespace demo {

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

// Control-button pictures of the program's artwork.
namespace pic {
constexpr int EmergencyStop = 0;
constexpr int Start = 1;
constexpr int Stop = 2;
constexpr int Left = 6;
constexpr int Right = 7;
constexpr int Toggle = 4;   // switch: on/off picture from the controller
constexpr int Reset = 10;
constexpr int Selector = 12;   // switch
constexpr int Lamp = 13;       // illuminated push button (switch)
constexpr int Acknowledge = 14;
}   // namespace pic

constexpr int Key = 32;   // size of a control button

// ---------------------------------------------------------------------------------------------
// Page 1: overview, with the menu of the sections
void overview(Plant &plant)
{
    PageBuilder pb(plant, 0, u("Огляд.bmp"));
    Sketch &s = pb.sketch();
    pb.furniture(u("КОТЕЛЬНЯ № 3 — ЗАГАЛЬНА СХЕМА"), false);

    s.panel(QRect(8, 52, 160, 326));
    pb.text(18, 57, u("РОЗДІЛИ"), 9, true, colour::title);
    const char *const items[] = {"Котел 1",      "Котел 2",         "Насоси",         "Вентиляція",
                                 "Паливоподача", "Аварії і тренди", "Уставки і ключі"};
    for (int k = 0; k < 7; ++k)
        pb.menu(22, 92 + 41 * k, u(items[k]), k + 1);

    s.panel(QRect(8, 384, 160, 92));
    pb.text(16, 388, u("Зовнішнє повітря"), 8, true);
    pb.valueWithUnit(20, 406, blk::Common, blk::scaled(2), u("°C"), 12);
    pb.twoText(16, 434, blk::NetworkKeys, blk::SeasonSwitch, u(" ОПАЛЮВАЛЬНИЙ СЕЗОН "), u(" ЛІТНІЙ РЕЖИМ "), 7);
    pb.twoText(16, 454, blk::DayClock, 0, u(" ДЕННИЙ ГРАФІК "), u(" НІЧНЕ ЗНИЖЕННЯ "), 7, colour::text,
               colour::paleGreen);

    // Steam header and the two boilers
    const QColor st = ink::steam;
    s.pipe({{295, 66}, {580, 66}, {580, 100}}, st);
    s.arrow({580, 100}, Dir::Down, st);
    for (int k = 0; k < 2; ++k) {
        const int x = 190 + 160 * k;
        const int boiler = k == 0 ? blk::Boiler1 : blk::Boiler2;
        const int seq = k == 0 ? blk::Sequence1 : blk::Sequence2;
        s.boiler(QRect(x + 5, 146, 110, 140), k == 0 ? u("К-1") : u("К-2"));
        s.pipe({{x + 20, 124}, {x + 20, 146}}, ink::returnWater, 3);
        s.pipe({{x + 100, 124}, {x + 100, 146}}, ink::returnWater, 3);
        s.pipe({{x + 105, 104}, {x + 105, 66}}, st);
        pb.shape(x, 104, 120, 22, colour::navy, 4, 2);
        pb.valueWithUnit(x - 10, 78, boiler, blk::scaled(0), u("МПа"), 10, 2);
        pb.signal(x + 92, 262, 14, 14, Symbol::Circle, seq, blk::SeqSteamValve);
        pb.stateText(x + 6, 294, 0, seq, blk::SeqStep, u(" ЗУПИНЕНО "), u(" ПРОДУВАННЯ "));
        pb.stateText(x + 6, 294, 1, seq, blk::SeqStep, u(" РОЗПАЛЮВАННЯ "), u(" РОБОТА "));
        pb.stateText(x + 6, 294, 2, seq, blk::SeqStep, u(" АВАРІЙНА ЗУПИНКА "), u(" РЕЗЕРВ "), 9, colour::red);
    }

    // Network heater, supply and return
    s.heatExchanger(QRect(558, 100, 44, 120));
    s.tag({606, 196}, u("ПСВ-1"), 8, true);
    s.pipe({{602, 118}, {792, 118}}, ink::supply);
    s.arrow({794, 118}, Dir::Right, ink::supply);
    s.tag({690, 100}, u("до споживачів"), 7);
    pb.valueWithUnit(690, 126, blk::Network, blk::scaled(0), u("°C"), 9);
    pb.valueWithUnit(690, 150, blk::Network, blk::scaled(2), u("МПа"), 9, 2);
    s.pipe({{792, 252}, {580, 252}, {580, 220}}, ink::returnWater);
    s.arrow({580, 221}, Dir::Up, ink::returnWater);
    s.tag({690, 234}, u("від споживачів"), 7);
    s.scroll({672, 252}, 14, Dir::Left);
    pb.signal(662, 242, 20, 20, Symbol::TriangleLeft, blk::PumpsRun, 0);
    s.tag({656, 272}, u("МН"), 7, true);
    pb.valueWithUnit(690, 264, blk::Network, blk::scaled(1), u("°C"), 9);
    pb.valueWithUnit(690, 288, blk::Network, blk::scaled(3), u("МПа"), 9, 2);

    // Condensate to the deaerator, feed water back to the drums
    s.pipe({{558, 200}, {540, 200}, {540, 330}}, ink::makeUp, 4);
    s.arrow({540, 331}, Dir::Down, ink::makeUp, 8);
    s.verticalTank(QRect(524, 326, 32, 30), ink::water, 0.0);
    s.horizontalVessel(QRect(480, 352, 150, 42), ink::water, 0.0);
    s.tag({640, 358}, u("Деаератор"), 8, true);
    pb.levelHorizontal(486, 366, 138, 14, 100, colour::water, colour::white, blk::Common, blk::percent(0));
    pb.valueWithUnit(640, 376, blk::Common, blk::scaled(0), u("%"));
    s.pipe({{481, 373}, {470, 373}, {470, 440}, {180, 440}, {180, 115}, {190, 115}}, ink::feed, 4);
    s.arrow({190, 115}, Dir::Right, ink::feed, 8);
    s.pipe({{330, 440}, {330, 115}, {350, 115}}, ink::feed, 4);
    s.arrow({350, 115}, Dir::Right, ink::feed, 8);
    s.joint({330, 440}, ink::feed, 3);
    s.scroll({440, 440}, 13, Dir::Left);
    pb.signal(430, 430, 20, 20, Symbol::TriangleLeft, blk::PumpsRun, 2);
    s.tag({432, 412}, u("ЖН"), 7, true);
    pb.valueWithUnit(290, 450, blk::Common, blk::scaled(1), u("МПа"), 10, 2);

    // Fuel in the bunkers and the state of the plant
    s.panel(QRect(196, 330, 120, 92));
    pb.text(204, 334, u("Паливо в бункерах"), 7, true);
    for (int k = 0; k < 2; ++k) {
        const int x = 214 + 56 * k;
        pb.levelVertical(x, 352, 16, 48, 100, colour::coal, colour::white, k == 0 ? blk::Common : blk::Auxiliary,
                         k == 0 ? blk::percent(3) : blk::percent(2));
        s.tag({x - 4, 404}, k == 0 ? u("К-1") : u("К-2"), 7);
    }
    s.panel(QRect(350, 330, 118, 92));
    pb.text(358, 334, u("Стан котельні"), 7, true);
    pb.twoText(358, 352, blk::CommonAlarm, 0, u(" НОРМА "), u(" АВАРІЯ "), 9, colour::text, colour::paleGreen);
    s.tag({358, 378}, u("Подача палива:"), 7);
    pb.twoText(358, 394, blk::FuelInterlock, 0, u(" ЗАБОРОНЕНА "), u(" ДОЗВОЛЕНА "), 8);

    s.legend({648, 408}, ink::steam, u("пара"));
    s.legend({648, 422}, ink::supply, u("пряма мережна вода"));
    s.legend({648, 436}, ink::returnWater, u("зворотна мережна вода"));
    s.legend({648, 450}, ink::feed, u("живильна вода"));
    s.legend({648, 464}, ink::makeUp, u("конденсат"));
}

// ---------------------------------------------------------------------------------------------
// Pages 2 and 3: boiler n (1 or 2)
void boilerPage(Plant &plant, int n)
{
    const int k = n - 1;
    const int ai = n == 1 ? blk::Boiler1 : blk::Boiler2;
    const int seq = n == 1 ? blk::Sequence1 : blk::Sequence2;
    const int pid = n == 1 ? blk::PidBoiler1 : blk::PidBoiler2;
    const QString tagN = QString::number(n);
    PageBuilder pb(plant, n, u("Котел %1.bmp").arg(n));
    Sketch &s = pb.sketch();
    pb.furniture(u("КОТЕЛ № %1   ДКВр-2,5-13").arg(n), true);

    pb.text(14, 52, u("Стан котла:"), 9, true);
    pb.stateText(100, 50, 0, seq, blk::SeqStep, u(" ЗУПИНЕНО "), u(" ПРОДУВАННЯ ТОПКИ "), 10);
    pb.stateText(100, 50, 1, seq, blk::SeqStep, u(" РОЗПАЛЮВАННЯ "), u(" РОБОТА "), 10);
    pb.stateText(100, 50, 2, seq, blk::SeqStep, u(" АВАРІЙНА ЗУПИНКА "), u(" ГАРЯЧИЙ РЕЗЕРВ "), 10, colour::red);
    pb.text(282, 52, u("пусків:"), 8);
    pb.value(328, 50, blk::Starts, 0, 2, 9, colour::text, colour::lightGrey, 0);

    // Steam from the drum to the header through the main steam valve
    s.pipe({{470, 96}, {470, 62}, {792, 62}}, ink::steam);
    s.arrow({794, 62}, Dir::Right, ink::steam);
    pb.signal(600, 54, 30, 30, Symbol::ValveH, seq, blk::SeqSteamValve);
    s.tag({598, 86}, u("ГПЗ-") + tagN, 7, true);
    s.tag({668, 46}, u("до колектора пари"), 7);
    pb.valueWithUnit(652, 72, ai, blk::scaled(0), u("МПа"), 12, 2);

    // Feed water to the drum through the feed valve
    pb.text(14, 88, u("Живильна вода"), 8, true);
    s.pipe({{8, 111}, {300, 111}}, ink::feed);
    s.arrow({300, 111}, Dir::Right, ink::feed);
    pb.signal(150, 103, 30, 30, Symbol::ValveH, seq, blk::SeqFeedValve);
    pb.valueWithUnit(40, 120, blk::Common, blk::scaled(1), u("МПа"), 10, 2);

    // Drum with its level, boiler body
    s.pipe({{330, 126}, {330, 150}}, ink::returnWater, 4);
    s.pipe({{470, 126}, {470, 150}}, ink::returnWater, 4);
    pb.shape(300, 96, 200, 30, colour::navy, 4, 2);
    pb.levelVertical(508, 80, 14, 60, 100, colour::water, colour::white, ai, blk::percent(1));
    s.tag({528, 82}, u("рівень"), 7);
    pb.valueWithUnit(528, 100, ai, blk::scaled(1), u("мм"), 10, 0);
    s.boiler(QRect(310, 150, 180, 180), u("К-") + tagN);
    pb.signal(322, 300, 14, 14, Symbol::TriangleUp, seq, blk::SeqIgniter, colour::grey, colour::amber);

    // Fuel: bunker and screw feeder
    s.bunker(QRect(150, 146, 100, 92), 0.0);
    s.tag({160, 150}, u("Бункер"), 7, true);
    pb.levelVertical(192, 166, 16, 48, 100, colour::coal, colour::white, n == 1 ? blk::Common : blk::Auxiliary,
                     n == 1 ? blk::percent(3) : blk::percent(2));
    pb.machine(188, 244, 16, blk::FuelRun, 5 + k);
    s.tag({190, 280}, u("Шнек Ш-") + tagN, 7, true);
    pb.button(262, 280, Key, Key, blk::FuelKeys2, 2 + k, pic::Selector, u("Шнек Ш-") + tagN);

    // Air: draught fan to the grate
    s.duct({{94, 279}, {140, 279}, {140, 342}, {390, 342}, {390, 332}}, ink::air, 16);
    pb.machine(48, 256, n == 1 ? 0 : 1, blk::FansRun, k);
    s.tag({44, 306}, u("ДВ-") + tagN, 8, true);
    pb.button(80, 304, Key, Key, blk::FanKeys, k, pic::Lamp, u("ДВ-") + tagN);
    pb.valueWithUnit(150, 312, blk::Auxiliary, blk::scaled(k), u("Па"), 9, 0);

    // Flue gas: duct to the smoke exhauster and the chimney
    s.duct({{490, 180}, {604, 180}, {604, 321}, {620, 321}}, ink::gas);
    s.duct({{666, 306}, {716, 306}}, ink::gas);
    s.chimney(QRect(712, 140, 56, 302));
    pb.machine(620, 298, n == 1 ? 4 : 5, blk::FansRun, 2 + k);
    s.tag({620, 348}, u("ДС-") + tagN, 8, true);
    pb.button(656, 348, Key, Key, blk::FanKeys, 2 + k, pic::Lamp, u("ДС-") + tagN);
    s.tag({500, 194}, u("Т газів"), 7);
    pb.valueWithUnit(498, 208, ai, blk::scaled(3), u("°C"), 9, 0);
    s.tag({500, 240}, u("розрідження"), 7);
    pb.valueWithUnit(498, 254, ai, blk::scaled(2), u("Па"), 9, 0);

    // Pressure regulator: set-point, output, manual/automatic
    s.panel(QRect(8, 362, 292, 80));
    pb.text(16, 366, u("Регулятор тиску пари"), 8, true);
    s.tag({16, 392}, u("Уставка"), 8);
    pb.nav(80, 404, 100 + blk::SetPoints, k);
    pb.valueWithUnit(92, 390, blk::SetPoints, k, u("МПа"), 10, 2);
    s.tag({16, 418}, u("Вихід"), 8);
    pb.valueWithUnit(92, 416, pid, 0, u("%"), 10, 0);
    pb.button(204, 392, Key, Key, blk::ModeKeys, k, pic::Toggle, u("Ручний / автомат"));
    pb.twoText(242, 400, blk::ModeKeys, 2 * k + 1, u(" РУЧН "), u(" АВТ "), 8);

    // Protections
    s.panel(QRect(310, 362, 282, 80));
    pb.text(318, 366, u("Захисти котла"), 8, true);
    struct Lamp {
        int pin;
        const char *name;
    };
    const Lamp lamps[] = {{blk::highAlarm(0), "Тиск пари високий"},
                          {blk::lowAlarm(1), "Рівень низький"},
                          {blk::highAlarm(1), "Рівень високий"},
                          {blk::highAlarm(2), "Немає розрідження"}};
    for (int j = 0; j < 4; ++j) {
        const int x = 318 + 136 * (j % 2), y = 390 + 24 * (j / 2);
        pb.signal(x, y, 14, 14, Symbol::Square, ai, lamps[j].pin, colour::paleGreen, colour::red, 1);
        s.tag({x + 20, y}, u(lamps[j].name), 7);
    }
    pb.nav(620, 412, 211 + k);
    s.tag({632, 400}, u("Тренд котла"), 7, true);
}

// ---------------------------------------------------------------------------------------------
// Page 4: network, feed and make-up pumps
void pumpSet(PageBuilder &pb, int x, int y, int kind, int pin, const QString &name, int keyBlock, int key,
             int labelDx = 0)
{
    pb.machine(x, y, kind, blk::PumpsRun, pin);
    const QSize sz = PageBuilder::machineSize(kind);
    pb.sketch().tag({x + labelDx, y + sz.height() + 2}, name, 8, true);
    pb.signal(x + labelDx + 44, y + sz.height() + 4, 12, 12, Symbol::Circle, blk::PumpsRun, pin);
    pb.button(x + sz.width() + 4, y + sz.height() - Key, Key, Key, keyBlock, key, pic::Selector, name);
}

void pumpsPage(Plant &plant)
{
    PageBuilder pb(plant, 3, u("Насоси.bmp"));
    Sketch &s = pb.sketch();
    pb.furniture(u("НАСОСНА: МЕРЕЖЕВІ, ЖИВИЛЬНІ, ПІДЖИВЛЮВАЛЬНІ"), true);

    // Network heater: steam in, condensate out, network water through
    s.heatExchanger(QRect(106, 74, 48, 150));
    s.tag({162, 200}, u("ПСВ-1"), 8, true);
    s.pipe({{20, 58}, {130, 58}, {130, 74}}, ink::steam);
    s.arrow({130, 75}, Dir::Down, ink::steam);
    s.tag({14, 44}, u("пара"), 7);
    pb.signal(50, 50, 28, 28, Symbol::ValveH, blk::PidNetwork, 3);
    pb.text(14, 84, u("клапан пари"), 7);
    pb.valueWithUnit(14, 100, blk::PidNetwork, 0, u("%"), 9, 0);

    // Supply to the consumers along the top
    s.pipe({{154, 92}, {792, 92}}, ink::supply);
    s.arrow({794, 92}, Dir::Right, ink::supply);
    s.tag({650, 74}, u("пряма вода до споживачів"), 7);
    pb.valueWithUnit(560, 100, blk::Network, blk::scaled(0), u("°C"));
    pb.valueWithUnit(674, 100, blk::Network, blk::scaled(2), u("МПа"), 10, 2);

    // Return from the consumers: suction header, two network pumps, discharge into the heater
    s.pipe({{792, 272}, {300, 272}}, ink::returnWater);
    s.arrow({792, 272}, Dir::Left, ink::returnWater);
    s.tag({650, 278}, u("зворотна вода від споживачів"), 7);
    pb.valueWithUnit(560, 242, blk::Network, blk::scaled(1), u("°C"));
    pb.valueWithUnit(674, 242, blk::Network, blk::scaled(3), u("МПа"), 10, 2);
    for (int j = 0; j < 2; ++j) {
        const int x = 310 + 120 * j;
        s.pipe({{x + 22, 272}, {x + 22, 160}}, ink::returnWater, 4);
        s.pipe({{x + 12, 160}, {x + 12, 140}, {216, 140}}, ink::returnWater, 4);
    }
    s.pipe({{216, 140}, {216, 240}, {130, 240}, {130, 224}}, ink::returnWater, 4);
    s.arrow({130, 225}, Dir::Up, ink::returnWater, 8);
    // The names stand right of the suction pipes that rise to the pumps.
    pumpSet(pb, 310, 136, 8, 0, u("МН-1"), blk::PumpKeys, 0, 26);
    pumpSet(pb, 430, 136, 8, 1, u("МН-2"), blk::PumpKeys, 1, 26);
    pb.button(230, 168, Key, Key, blk::ModeKeys, 2, pic::Toggle, u("АВР мережевих насосів"));
    pb.text(222, 204, u("АВР МН"), 7, true);
    // Temperature drop and heat output with small bars: their full scales (40 °C, 4 МВт for the
    // two boilers) are also the ranges a simulated controller gives these computed values.
    s.panel(QRect(540, 126, 252, 100));
    pb.text(548, 130, u("Теплова мережа"), 8, true);
    s.tag({548, 154}, u("перепад Т"), 8);
    pb.valueWithUnit(632, 152, blk::HeatSum, 0, u("°C"));
    pb.levelHorizontal(748, 156, 36, 10, 40, colour::water, colour::white, blk::HeatSum, 0);
    s.tag({548, 178}, u("потужність"), 8);
    pb.valueWithUnit(632, 176, blk::HeatPower, 0, u("МВт"), 10, 2);
    pb.levelHorizontal(748, 180, 36, 10, 4, colour::amber, colour::white, blk::HeatPower, 0);
    s.tag({548, 202}, u("уставка Т"), 8);
    pb.nav(620, 214, 100 + blk::SetPoints, 2);
    pb.valueWithUnit(632, 200, blk::SetPoints, 2, u("°C"));

    // Make-up: treated water tank → make-up pumps (motor above, discharge below) → deaerator
    s.verticalTank(QRect(20, 312, 60, 110), ink::water, 0.6);
    pb.text(14, 296, u("Бак ХВО"), 8, true);
    s.pipe({{80, 347}, {202, 347}}, ink::makeUp, 4);
    for (int j = 0; j < 2; ++j) {
        const int x = 100 + 80 * j;
        s.pipe({{x + 12, 366}, {x + 12, 390}}, ink::makeUp, 4);
        pb.machine(x, 300, 10, blk::PumpsRun, 4 + j);
        pb.text(x + 4, 282, j == 0 ? u("ПН-1") : u("ПН-2"), 8, true);
        pb.signal(x + 40, 284, 12, 12, Symbol::Circle, blk::PumpsRun, 4 + j);
    }
    s.pipe({{112, 390}, {316, 390}, {316, 357}, {330, 357}}, ink::makeUp, 4);
    s.arrow({330, 357}, Dir::Right, ink::makeUp, 8);
    pb.signal(262, 366, 16, 16, Symbol::TriangleRight, blk::PidDeaerator, 0, colour::grey, colour::water);
    pb.button(96, 404, Key, Key, blk::TouchFuel, 1, pic::Start, u("Пуск ПН-1"));
    pb.button(136, 404, Key, Key, blk::TouchFuel, 9, pic::Stop, u("Стоп ПН"));
    pb.button(176, 404, Key, Key, blk::TouchFuel, 2, pic::Start, u("Пуск ПН-2"));
    pb.valueWithUnit(226, 404, blk::PidDeaerator, 0, u("%"), 9, 0);
    s.tag({226, 424}, u("регулятор рівня"), 7);

    // Deaerator with its level
    s.verticalTank(QRect(376, 300, 40, 34), ink::water, 0.0);
    s.horizontalVessel(QRect(330, 332, 190, 50), ink::water, 0.0);
    pb.text(332, 308, u("Деаератор"), 8, true);
    pb.levelHorizontal(340, 348, 170, 18, 100, colour::water, colour::white, blk::Common, blk::percent(0));
    pb.valueWithUnit(430, 388, blk::Common, blk::scaled(0), u("%"));
    pb.signal(346, 390, 12, 12, Symbol::Square, blk::Common, blk::lowAlarm(0), colour::paleGreen, colour::red, 1);
    pb.signal(362, 390, 12, 12, Symbol::Square, blk::Common, blk::highAlarm(0), colour::paleGreen, colour::red, 1);
    s.tag({346, 406}, u("min max"), 7);

    // Feed pumps: deaerator → boilers
    s.pipe({{520, 366}, {556, 366}, {556, 322}, {590, 322}}, ink::feed, 4);
    s.pipe({{556, 366}, {556, 396}, {600, 396}}, ink::feed, 4);
    pumpSet(pb, 566, 300, 9, 2, u("ЖН-1"), blk::PumpKeys, 2);
    pumpSet(pb, 566, 374, 11, 3, u("ЖН-2"), blk::PumpKeys, 3);
    s.pipe({{637, 322}, {760, 322}, {760, 300}}, ink::feed, 4);
    s.pipe({{637, 396}, {760, 396}, {760, 322}}, ink::feed, 4);
    s.arrow({760, 300}, Dir::Up, ink::feed, 8);
    s.tag({700, 306}, u("до котлів"), 7);
    pb.valueWithUnit(676, 412, blk::Common, blk::scaled(1), u("МПа"), 9, 2);
}

// ---------------------------------------------------------------------------------------------
// Page 5: draught fans, smoke exhausters, dampers, room ventilation
void ventilationPage(Plant &plant)
{
    PageBuilder pb(plant, 4, u("Вентиляція.bmp"));
    Sketch &s = pb.sketch();
    pb.furniture(u("ТЯГОДУТТЬОВІ МЕХАНІЗМИ ТА ВЕНТИЛЯЦІЯ"), true);

    s.panel(QRect(8, 52, 600, 388), QColor(0xFB, 0xFC, 0xFD));
    pb.text(16, 56, u("Котельна зала"), 8, true, colour::title, true);
    // Common flue to the chimney
    s.duct({{560, 90}, {560, 440}}, ink::gas, 16);
    s.chimney(QRect(540, 412, 40, 30));
    pb.text(488, 420, u("до димаря"), 7);
    for (int j = 0; j < 2; ++j) {
        const int y = 110 + 170 * j;
        const int ai = j == 0 ? blk::Boiler1 : blk::Boiler2;
        const QString n = QString::number(j + 1);
        s.boiler(QRect(190, y, 120, 96), u("К-") + n);
        // Air: fan → air damper → under the grate
        s.duct({{106, y + 60}, {190, y + 60}}, ink::air, 14);
        pb.machine(62, y + 37, j, blk::FansRun, j);
        s.tag({62, y + 86}, u("ДВ-") + n, 8, true);
        pb.button(112, y + 84, Key, Key, blk::FanKeys, j, pic::Lamp, u("ДВ-") + n);
        pb.signal(150, y + 44, 16, 32, Symbol::ValveV, blk::PidBoiler1 + j, 0);
        s.tag({18, y - 8}, u("тиск повітря"), 7);
        pb.valueWithUnit(18, y + 6, blk::Auxiliary, blk::scaled(j), u("Па"), 9, 0);
        s.arrow({20, y + 60}, Dir::Right, ink::air);
        // Gas: boiler → damper (geared drive) → smoke exhauster → common flue
        s.duct({{310, y + 24}, {476, y + 24}}, ink::gas, 16);
        pb.machine(384, y - 43, 14 + j, blk::FansRun, 2 + j);
        s.tag({446, y - 30}, u("шибер"), 7);
        s.tag({446, y - 18}, u("ДС-") + n, 7);
        pb.machine(476, y + 1, 4 + j, blk::FansRun, 2 + j);
        s.duct({{522, y + 12}, {560, y + 12}}, ink::gas, 16);
        s.tag({476, y + 50}, u("ДС-") + n, 8, true);
        pb.button(512, y + 48, Key, Key, blk::FanKeys, 2 + j, pic::Lamp, u("ДС-") + n);
        s.tag({318, y + 42}, u("розрідження"), 7);
        pb.valueWithUnit(384, y + 40, ai, blk::scaled(2), u("Па"), 9, 0);
        s.tag({318, y + 64}, u("Т газів"), 7);
        pb.valueWithUnit(384, y + 62, ai, blk::scaled(3), u("°C"), 9, 0);
    }

    // Room ventilation: supply fans in the wall, roof fans
    s.panel(QRect(618, 52, 174, 388));
    pb.text(626, 56, u("Вентиляція зали"), 8, true);
    pb.valueWithUnit(626, 76, blk::Auxiliary, blk::scaled(3), u("°C"), 10, 1);
    s.tag({626, 100}, u("Т повітря в залі"), 7);
    const char *const names[] = {"ПВ-1", "ПВ-2", "ВВ-1", "ВВ-2"};
    for (int j = 0; j < 4; ++j) {
        const int y = 122 + 78 * j;
        pb.machine(630, y, 2 + j + (j >= 2 ? 2 : 0), blk::FansRun, 4 + j);
        pb.text(684, y + 4, u(names[j]), 9, true);
        pb.text(684, y + 22, j < 2 ? u("припливний") : u("витяжний"), 7);
        pb.button(748, y + 6, Key, Key, blk::VentKeys, j, pic::Selector, u(names[j]));
        pb.signal(684, y + 40, 12, 12, Symbol::Circle, blk::FansRun, 4 + j);
    }
}

// ---------------------------------------------------------------------------------------------
// Page 6: fuel supply
void fuelPage(Plant &plant)
{
    PageBuilder pb(plant, 5, u("Паливоподача.bmp"));
    Sketch &s = pb.sketch();
    pb.furniture(u("ПАЛИВОПОДАЧА"), true);

    // Receiving hopper, feeder, crusher, reversible belt
    s.bunker(QRect(346, 218, 108, 72), 0.5);
    pb.text(348, 200, u("Приймальний бункер"), 7, true);
    pb.machine(370, 292, 13, blk::FuelRun, 7);
    s.tag({432, 300}, u("Ж-1"), 7, true);
    pb.machine(376, 344, 12, blk::FuelRun, 7);
    s.tag({428, 360}, u("Д-1"), 7, true);
    pb.text(428, 374, u("дробарка"), 7);
    pb.machine(340, 408, 17, blk::FuelRun, 0);
    s.tag({294, 424}, u("КС-1"), 8, true);

    // Line 1 (left): inclined conveyor, bucket elevator, bunker of boiler 1, screw
    pb.machine(218, 336, 20, blk::FuelRun, 1);
    s.tag({206, 414}, u("КН-1"), 8, true);
    pb.machine(170, 216, 18, blk::FuelRun, 3);
    s.tag({176, 200}, u("Н-1"), 8, true);
    s.pipe({{172, 226}, {130, 246}}, ink::fuel, 6);
    pb.signal(142, 216, 14, 14, Symbol::TriangleDown, blk::FuelRun, 3, colour::grey, colour::amber);
    s.bunker(QRect(40, 246, 100, 80), 0.0);
    pb.text(48, 228, u("Бункер К-1"), 7, true);
    pb.levelVertical(82, 256, 16, 44, 100, colour::coal, colour::white, blk::Common, blk::percent(3));
    pb.machine(30, 332, 16, blk::FuelRun, 5);
    s.tag({36, 366}, u("Ш-1 → котел К-1"), 7, true);
    pb.valueWithUnit(36, 382, blk::Common, blk::scaled(3), u("%"), 9, 0);

    // Line 2 (right)
    pb.machine(462, 336, 21, blk::FuelRun, 2);
    s.tag({560, 414}, u("КН-2"), 8, true);
    pb.machine(582, 216, 19, blk::FuelRun, 4);
    s.tag({588, 200}, u("Н-2"), 8, true);
    s.pipe({{628, 226}, {670, 246}}, ink::fuel, 6);
    pb.signal(644, 216, 14, 14, Symbol::TriangleDown, blk::FuelRun, 4, colour::grey, colour::amber);
    s.bunker(QRect(660, 246, 100, 80), 0.0);
    pb.text(668, 228, u("Бункер К-2"), 7, true);
    pb.levelVertical(702, 256, 16, 44, 100, colour::coal, colour::white, blk::Auxiliary, blk::percent(2));
    pb.machine(650, 332, 16, blk::FuelRun, 6);
    s.tag({656, 366}, u("Ш-2 → котел К-2"), 7, true);
    pb.valueWithUnit(656, 382, blk::Auxiliary, blk::scaled(2), u("%"), 9, 0);

    // Control panel of the line
    s.panel(QRect(8, 50, 784, 142));
    pb.text(16, 54, u("Керування паливоподачею"), 9, true, colour::title);
    struct Machine {
        const char *name;
        int pin;
        int block;
        int key;
    };
    const Machine machines[] = {{"КС-1", 0, blk::FuelKeys, 0}, {"КН-1", 1, blk::FuelKeys, 1},
                                {"КН-2", 2, blk::FuelKeys, 2}, {"Н-1", 3, blk::FuelKeys2, 0},
                                {"Н-2", 4, blk::FuelKeys2, 1}, {"Д-1", 7, blk::FuelKeys, 3}};
    for (int j = 0; j < 6; ++j) {
        const int x = 16 + 76 * j;
        pb.text(x, 76, u(machines[j].name), 8, true);
        pb.signal(x + 42, 78, 12, 12, Symbol::Circle, blk::FuelRun, machines[j].pin);
        pb.button(x + 6, 96, Key, Key, machines[j].block, machines[j].key, pic::Selector, u(machines[j].name));
    }
    pb.text(16, 136, u("Лінія К-1"), 8, true);
    pb.button(84, 132, 28, 28, blk::TouchFuel, 3, pic::Start, u("Пуск лінії К-1"));
    pb.text(16, 166, u("Лінія К-2"), 8, true);
    pb.button(84, 162, 28, 28, blk::TouchFuel, 4, pic::Start, u("Пуск лінії К-2"));
    pb.button(124, 146, 28, 28, blk::TouchFuel, 5, pic::Stop, u("Зупинка лінії"));
    pb.twoText(166, 140, blk::FuelInterlock, 0, u(" ПОДАЧА ЗАБОРОНЕНА "), u(" ПОДАЧУ ДОЗВОЛЕНО "), 8, colour::text,
               colour::paleRed);
    pb.text(166, 166, u("затримка пуску лінії:"), 8);
    pb.valueWithUnit(290, 164, blk::Timers, 6, u("с"), 9, 0);

    // Manual screw speed: more / less keys with the speed shown
    s.panel(QRect(474, 60, 310, 124), QColor(0xF4, 0xF7, 0xFA));
    pb.text(482, 64, u("Швидкість шнеків (ручний режим)"), 8, true);
    for (int j = 0; j < 2; ++j) {
        const int y = 90 + 44 * j;
        pb.text(482, y + 8, u("Ш-%1").arg(j + 1), 9, true);
        pb.button(516, y, Key, Key, blk::ScrewSpeed, 2 * j, pic::Left, u("Менше"));
        pb.valueWithUnit(554, y + 6, blk::ScrewSpeed, 2 * j + 1, u("%"), 10, 0);
        pb.button(650, y, Key, Key, blk::ScrewSpeed, 2 * j + 1, pic::Right, u("Більше"));
        pb.twoText(690, y + 6, blk::ModeKeys, 2 * j + 1, u(" РУЧН "), u(" АВТ "), 8);
    }
}

// ---------------------------------------------------------------------------------------------
// Page 7: annunciator, journal, trends, report
void alarmsPage(Plant &plant)
{
    PageBuilder pb(plant, 6, u("Аварії.bmp"));
    Sketch &s = pb.sketch();
    pb.furniture(u("СИГНАЛІЗАЦІЯ, ЖУРНАЛ ПОДІЙ, ТРЕНДИ"), true);

    // The report trigger is the first state text of this page (report element number 1).
    s.panel(QRect(560, 344, 232, 96));
    pb.text(568, 348, u("Змінний звіт"), 9, true, colour::title);
    pb.twoText(568, 372, blk::Report, 0, u(" очікування кінця зміни "), u(" ЗВІТ ГОТОВИЙ "), 8, colour::text,
               colour::lightGrey);
    s.tag({568, 400}, u("Звіт завантажується сам, коли"), 7);
    s.tag({568, 414}, u("контролер закриває зміну."), 7);

    // Annunciator: sixteen alarm windows
    s.panel(QRect(8, 50, 540, 262));
    pb.text(16, 54, u("Табло сигналізації"), 9, true, colour::title);
    struct Window {
        int block;
        int pin;
        const char *name;
    };
    const Window windows[] = {
        {blk::Boiler1, blk::highAlarm(0), "Тиск пари К-1 високий"},
        {blk::Boiler1, blk::lowAlarm(1), "Рівень К-1 низький"},
        {blk::Boiler1, blk::highAlarm(1), "Рівень К-1 високий"},
        {blk::Boiler1, blk::highAlarm(2), "Немає розрідження К-1"},
        {blk::Boiler2, blk::highAlarm(0), "Тиск пари К-2 високий"},
        {blk::Boiler2, blk::lowAlarm(1), "Рівень К-2 низький"},
        {blk::Boiler2, blk::highAlarm(1), "Рівень К-2 високий"},
        {blk::Boiler2, blk::highAlarm(2), "Немає розрідження К-2"},
        {blk::Network, blk::highAlarm(0), "Т прямої води висока"},
        {blk::Network, blk::lowAlarm(2), "Тиск прямої низький"},
        {blk::Network, blk::lowAlarm(3), "Тиск зворотної низький"},
        {blk::Common, blk::lowAlarm(0), "Деаератор: рівень низький"},
        {blk::Common, blk::lowAlarm(1), "Тиск живильної низький"},
        {blk::Common, blk::lowAlarm(3), "Мало палива К-1"},
        {blk::Auxiliary, blk::lowAlarm(2), "Мало палива К-2"},
        {blk::Auxiliary, blk::highAlarm(3), "Т у залі висока"},
    };
    for (int j = 0; j < 16; ++j) {
        const int x = 16 + 132 * (j % 4), y = 76 + 58 * (j / 4);
        s.panel(QRect(x, y, 126, 52), QColor(0xF7, 0xF8, 0xFA));
        pb.signal(x + 6, y + 6, 18, 18, Symbol::Square, windows[j].block, windows[j].pin, colour::paleGreen,
                  colour::red, 1);
        // The window captions are part of the picture, as on a real annunciator panel.
        s.centredTag(QRect(x + 28, y + 2, 96, 48), u(windows[j].name), 7);
    }

    // Alarm classes of the journal block and the common alarm
    s.panel(QRect(8, 320, 540, 120));
    pb.text(16, 324, u("Класи подій журналу"), 9, true, colour::title);
    const char *const classes[] = {"Архів",    "Попередження", "Небезпека 1", "Небезпека 2",
                                   "Аварія 1", "Аварія 2",     "Аварія 3",    "Сигналізація"};
    for (int j = 0; j < 8; ++j) {
        const int x = 16 + 116 * (j % 4), y = 348 + 24 * (j / 4);
        pb.signal(x, y, 14, 14, Symbol::Circle, blk::Journal, j, colour::grey, j < 2 ? colour::amber : colour::red);
        pb.text(x + 20, y, u(classes[j]), 7);
    }
    pb.twoText(16, 404, blk::CommonAlarm, 0, u(" ЗАГАЛЬНА АВАРІЯ: НЕМАЄ "), u(" ЗАГАЛЬНА АВАРІЯ "), 9, colour::text,
               colour::paleGreen);
    pb.signal(214, 404, 20, 20, Symbol::Circle, blk::Blinker, 1, colour::grey, colour::red, 1);
    pb.button(270, 404, Key, Key, blk::Touch, 4, pic::Acknowledge, u("Квитування"));
    pb.text(306, 406, u("квитувати"), 7);
    pb.button(376, 404, Key, Key, blk::Touch, 5, pic::Reset, u("Скидання"));
    pb.text(412, 406, u("скинути"), 7);
    pb.button(492, 372, 40, 40, blk::Touch, 6, pic::EmergencyStop, u("Аварійний стоп"));

    // Journal and trend groups
    s.panel(QRect(560, 50, 232, 286));
    pb.text(568, 54, u("Журнал подій"), 9, true, colour::title);
    pb.nav(580, 90, 99);
    pb.text(592, 76, u("відкрити журнал"), 8);
    pb.text(568, 104, u("Тренди (групи каналів)"), 9, true, colour::title);
    const char *const groups[] = {"Котел 1",      "Котел 2",    "Теплова мережа", "Деаератор, живлення",
                                  "Тяга і дуття", "Регулятори", "Паливо",         "Теплота"};
    for (int j = 0; j < 8; ++j) {
        const int y = 140 + 24 * j;
        pb.nav(580, y, 211 + j);
        pb.text(592, y - 14, u("%1. %2").arg(j + 1).arg(u(groups[j])), 8);
    }
}

// ---------------------------------------------------------------------------------------------
// Page 8: set-points, timers and the panel keys
void setPointsPage(Plant &plant)
{
    PageBuilder pb(plant, 7, u("Уставки.bmp"));
    Sketch &s = pb.sketch();
    pb.furniture(u("УСТАВКИ, ТАЙМЕРИ, КЛЮЧІ КЕРУВАННЯ"), true);

    struct Row {
        const char *name;
        const char *unit;
        int digits;
    };
    const Row process[8] = {{"Тиск пари К-1", "МПа", 2},   {"Тиск пари К-2", "МПа", 2},   {"Т прямої води", "°C", 1},
                            {"Рівень деаератора", "%", 0}, {"Розрідження К-1", "Па", 0},  {"Розрідження К-2", "Па", 0},
                            {"Нічне зниження Т", "°C", 1}, {"Рівень у барабані", "мм", 0}};
    const Row limits[8] = {{"Макс. тиск пари", "МПа", 2},      {"Мін. рівень барабана", "мм", 0},
                           {"Макс. рівень барабана", "мм", 0}, {"Макс. Т прямої води", "°C", 1},
                           {"Мін. тиск мережі", "МПа", 2},     {"Макс. Т газів", "°C", 0},
                           {"Мін. рівень деаератора", "%", 0}, {"Мін. паливо в бункері", "%", 0}};
    auto table = [&](int x, int block, const Row(&rows)[8], const QString &title) {
        s.panel(QRect(x, 50, 258, 252));
        pb.text(x + 8, 54, title, 9, true, colour::title);
        for (int j = 0; j < 8; ++j) {
            const int y = 80 + 27 * j;
            if (j % 2 == 1)
                s.painter().fillRect(QRect(x + 4, y - 3, 250, 26), QColor(0xF2, 0xF5, 0xF8));
            pb.text(x + 8, y + 3, u(rows[j].name), 8);
            pb.nav(x + 140, y + 14, 100 + block, j);
            pb.valueWithUnit(x + 150, y + 1, block, j, u(rows[j].unit), 9, rows[j].digits);
        }
    };
    table(8, blk::SetPoints, process, u("Технологічні уставки"));
    table(272, blk::Limits, limits, u("Уставки захистів"));

    s.panel(QRect(536, 50, 256, 144));
    pb.text(544, 54, u("Таймери"), 9, true, colour::title);
    const char *const timers[] = {"Продування топки К-1", "Продування топки К-2", "Затримка пуску ДС",
                                  "Затримка конвеєрів"};
    for (int j = 0; j < 4; ++j) {
        const int y = 80 + 27 * j;
        pb.text(544, y + 3, u(timers[j]), 8);
        pb.nav(684, y + 14, 100 + blk::Timers, 2 * j);
        pb.valueWithUnit(694, y + 1, blk::Timers, 2 * j, u("с"), 9, 0);
    }
    s.panel(QRect(536, 200, 256, 102));
    pb.text(544, 204, u("Розрахункові величини"), 9, true, colour::title);
    pb.text(544, 230, u("клапан пари ПСВ"), 8);
    pb.valueWithUnit(694, 228, blk::PidNetwork, 0, u("%"), 9, 0);
    pb.text(544, 256, u("обмеження ходу"), 8);
    pb.valueWithUnit(694, 254, blk::ValveLimit, 0, u("%"), 9, 0);
    pb.text(544, 280, u("паливо в бункерах, мін."), 8);
    pb.valueWithUnit(694, 278, blk::BunkerMin, 0, u("%"), 9, 0);

    // Panel keys
    s.panel(QRect(8, 310, 784, 130));
    pb.text(16, 314, u("Ключі керування"), 9, true, colour::title);
    struct Switch {
        int block;
        int key;
        int picture;
        const char *name;
    };
    const Switch keys[] = {
        {blk::ModeKeys, 0, pic::Toggle, "К-1 автомат"}, {blk::ModeKeys, 1, pic::Toggle, "К-2 автомат"},
        {blk::ModeKeys, 2, pic::Toggle, "АВР МН"},      {blk::ModeKeys, 3, pic::Toggle, "АВР ЖН"},
        {blk::PumpKeys, 0, pic::Selector, "МН-1"},      {blk::PumpKeys, 1, pic::Selector, "МН-2"},
        {blk::PumpKeys, 2, pic::Selector, "ЖН-1"},      {blk::PumpKeys, 3, pic::Selector, "ЖН-2"},
        {blk::FanKeys, 0, pic::Lamp, "ДВ-1"},           {blk::FanKeys, 2, pic::Lamp, "ДС-1"},
        {blk::FanKeys, 1, pic::Lamp, "ДВ-2"},           {blk::FanKeys, 3, pic::Lamp, "ДС-2"},
    };
    for (int j = 0; j < 12; ++j) {
        const int x = 18 + 64 * j;
        pb.button(x + 8, 340, Key, Key, keys[j].block, keys[j].key, keys[j].picture, u(keys[j].name));
        pb.text(x, 376, u(keys[j].name), 7);
    }
    // Lamp test is a touch key (on while held); season and night set-back are latched switches.
    struct PanelKey {
        int block;
        int key;
        int picture;
        const char *name;
    };
    const PanelKey more[] = {{blk::Touch, 3, pic::Start, "Перевірка ламп"},
                             {blk::NetworkKeys, 0, pic::Selector, "Сезон"},
                             {blk::NetworkKeys, 1, pic::Toggle, "Нічне зниження"}};
    for (int j = 0; j < 3; ++j) {
        const int x = 18 + 150 * j;
        pb.button(x, 398, Key, Key, more[j].block, more[j].key, more[j].picture, u(more[j].name));
        pb.text(x + 38, 408, u(more[j].name), 8);
    }
    pb.twoText(470, 404, blk::NetworkKeys, blk::SeasonSwitch, u(" ОПАЛЮВАЛЬНИЙ СЕЗОН "), u(" ЛІТНІЙ РЕЖИМ "), 8);
    pb.menu(650, 412, u("Загальна схема"), 0);
}

}   // namespace

void buildPages(Plant &plant)
{
    overview(plant);
    boilerPage(plant, 1);
    boilerPage(plant, 2);
    pumpsPage(plant);
    ventilationPage(plant);
    fuelPage(plant);
    alarmsPage(plant);
    setPointsPage(plant);
}

}   // namespace demo
