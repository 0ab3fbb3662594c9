// The controller program of the demo boiler house: one netlist part per block, with the
// attribute values the netlist import reads for its type.
#include "Blocks.h"
#include "DemoPlant.h"

#include "fixture/NetWriter.h"

#include <algorithm>

namespace demo {

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

using fixture::AnalogChannel;

// A_I channel: sensor, then scale low, scale high, low alarm, high alarm, filter (s), hysteresis.
AnalogChannel channel(const char *sensor, double lo, double hi, double alarmLo, double alarmHi, double filter = 1,
                      double hysteresis = 0)
{
    return AnalogChannel{u(sensor), {lo, hi, alarmLo, alarmHi, filter, hysteresis}};
}

NetPart part(int n, const char *library, QStringList values, const char *note)
{
    return NetPart{n, QString::fromLatin1(library), std::move(values), u(note)};
}

QStringList panel(const char *a, const char *b, const char *c, const char *d, const char *e,
                  const std::vector<double> &numbers = {})
{
    return fixture::panelValues({u(a), u(b), u(c), u(d), u(e)}, numbers);
}

// Lower and upper chart limits of the 32 trend channels.
constexpr double TrendLimits[32][2] = {
    {0.9, 1.5},  {-100, 100}, {-30, -10},   {120, 180},   // boiler 1
    {0.9, 1.5},  {-100, 100}, {-30, -10},   {120, 180},   // boiler 2
    {70, 110},   {40, 70},    {0.45, 0.85}, {0.2, 0.4},   // network
    {0, 100},    {1.4, 2},    {-25, 10},    {10, 35},     // deaerator, feed, air
    {200, 1000}, {200, 1000}, {-300, 0},    {-300, 0},    // draught
    {0, 100},    {0, 100},    {0, 100},     {70, 110},    // regulators
    {0, 100},    {0, 100},    {0, 100},     {0, 100},     // fuel
    {0, 40},     {0, 4},      {0, 150},     {0, 6},       // heat output
};

// Journal event class (0 archive .. 7 signalling, as the journal block's outputs) and delay (s).
int eventClass(int event)
{
    switch (event) {
    case 0:
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
    case 8:
    case 9:
    case 10:
    case 11: return 4;   // trips of a boiler
    case 28:
    case 30:
    case 31: return 6;   // plant-wide alarms
    case 16:
    case 17:
    case 18:
    case 19:
    case 22: return 5;   // pump failures
    default: return 1;   // warnings
    }
}

}   // namespace

std::vector<NetPart> buildBlocks()
{
    std::vector<NetPart> p;

    // Analog inputs
    p.push_back(
        part(blk::Boiler1, "A_I_4",
             fixture::analogInputValues(0,
                                        {channel("4-20мА", 0.9, 1.5, 0.95, 1.4), channel("4-20мА", -100, 100, -70, 70),
                                         channel("4-20мА", -30, -10, -28, -12), channel("ТХА", 120, 180, 125, 175, 2)}),
             "Котел 1: тиск пари, рівень у барабані, розрідження, Т димових газів"));
    p.push_back(
        part(blk::Boiler2, "A_I_4",
             fixture::analogInputValues(0,
                                        {channel("4-20мА", 0.9, 1.5, 0.95, 1.4), channel("4-20мА", -100, 100, -70, 70),
                                         channel("4-20мА", -30, -10, -28, -12), channel("ТХА", 120, 180, 125, 175, 2)}),
             "Котел 2: тиск пари, рівень у барабані, розрідження, Т димових газів"));
    p.push_back(part(
        blk::Network, "A_I_4",
        fixture::analogInputValues(0,
                                   {channel("100П", 70, 110, 72, 105), channel("100П", 40, 70, 42, 65),
                                    channel("4-20мА", 0.45, 0.85, 0.5, 0.8), channel("4-20мА", 0.2, 0.4, 0.22, 0.38)}),
        "Теплова мережа: Т прямої, Т зворотної, тиск прямої, тиск зворотної"));
    p.push_back(
        part(blk::Common, "A_I_4",
             fixture::analogInputValues(0,
                                        {channel("4-20мА", 0, 100, 25, 85), channel("4-20мА", 1.4, 2, 1.45, 1.95),
                                         channel("50М", -25, 10, -23, 8, 10), channel("4-20мА", 0, 100, 15, 98, 5)}),
             "Рівень у деаераторі, тиск живильної води, Т зовнішнього повітря, паливо К-1"));
    p.push_back(
        part(blk::Auxiliary, "A_I_4",
             fixture::analogInputValues(0,
                                        {channel("0-5мА", 200, 1000, 250, 950), channel("0-5мА", 200, 1000, 250, 950),
                                         channel("4-20мА", 0, 100, 15, 98, 5), channel("Pt100", 10, 35, 12, 32, 10)}),
             "Тиск повітря К-1 і К-2, паливо К-2, Т повітря в залі"));

    // Discrete inputs and outputs
    p.push_back(part(blk::PumpsRun, "D_I_8", fixture::numberValues({0}),
                     "Робота насосів: МН-1, МН-2, ЖН-1, ЖН-2, ПН-1, ПН-2, РН-1, РН-2"));
    p.push_back(part(blk::FansRun, "D_I_8", fixture::numberValues({0}),
                     "Робота вентиляторів: ДВ-1, ДВ-2, ДС-1, ДС-2, ПВ-1, ПВ-2, ВВ-1, ВВ-2"));
    p.push_back(part(blk::FuelRun, "D_I_8", fixture::numberValues({0}),
                     "Робота паливоподачі: КС-1, КН-1, КН-2, Н-1, Н-2, Ш-1, Ш-2, Д-1"));
    p.push_back(part(blk::PumpsCmd, "D_O_8",
                     fixture::digitalOutputValues(0, {true, true, true, true, true, true, true, true}),
                     "Пуск насосів"));
    p.push_back(part(blk::FansCmd, "D_O_8",
                     fixture::digitalOutputValues(0, {true, true, true, true, false, false, false, false}),
                     "Пуск вентиляторів"));
    p.push_back(part(blk::FuelCmd, "D_O_8",
                     fixture::digitalOutputValues(0, {true, true, true, true, true, false, false, true}),
                     "Пуск механізмів паливоподачі"));

    // Arithmetic and logic
    p.push_back(part(blk::HeatSum, "SUM2_4", fixture::numberValues({0, 1, -1, 1, 1, 1, 1, 1, 1}),
                     "Перепад Т мережі (пряма − зворотна)"));
    p.push_back(part(blk::HeatPower, "MUL_4", fixture::numberValues({1.163, 1, 1, 1}), "Теплова потужність мережі"));
    p.push_back(part(blk::SteamCompare, "CMP_2", fixture::numberValues({1.4, 0.02, 1.4, 0.02, 0, 0}),
                     "Граничний тиск пари обох котлів"));
    p.push_back(part(blk::BunkerMin, "MIN_MAX_MIN", {}, "Найменше паливо в бункерах"));
    p.push_back(
        part(blk::ValveLimit, "LIM_2", fixture::numberValues({0, 100, 5, 95}), "Обмеження ходу клапана пари ПСВ"));

    // Regulators: set-point, gain, integral and derivative times, limits, ramp, dead band …
    p.push_back(part(blk::PidBoiler1, "PID_ANALOG1", fixture::numberValues({1.3, 2, 60, 0, 100, 0, 5, 1, 0.5, 10, 0}),
                     "Регулятор тиску пари К-1 (швидкість шнека Ш-1)"));
    p.push_back(part(blk::PidBoiler2, "PID_ANALOG1", fixture::numberValues({1.3, 2, 60, 0, 100, 0, 5, 1, 0.5, 10, 0}),
                     "Регулятор тиску пари К-2 (швидкість шнека Ш-2)"));
    p.push_back(part(blk::PidNetwork, "PID_IMPULS", fixture::numberValues({95, 1.5, 120, 0, 100, 0, 2, 1, 1, 30, 0}),
                     "Регулятор Т прямої води (клапан пари на ПСВ)"));
    p.push_back(part(blk::PidDeaerator, "PID_RELAY", fixture::numberValues({60, 1, 30, 0, 100, 0, 1, 1, 5, 10, 0}),
                     "Регулятор рівня в деаераторі (підживлювальні насоси)"));

    // Set-points
    p.push_back(part(blk::SetPoints, "S_P_8",
                     fixture::setPointValues(u("Технологічні уставки"),
                                             {{{u("Тиск пари К-1"), 1.3},
                                               {u("Тиск пари К-2"), 1.3},
                                               {u("Т прямої води"), 95},
                                               {u("Рівень деаератора"), 60},
                                               {u("Розрідження К-1"), -20},
                                               {u("Розрідження К-2"), -20},
                                               {u("Нічне зниження Т"), 5},
                                               {u("Рівень у барабані"), 0}}}),
                     "Технологічні уставки"));
    p.push_back(part(blk::Limits, "S_P_8",
                     fixture::setPointValues(u("Уставки захистів"),
                                             {{{u("Макс. тиск пари"), 1.4},
                                               {u("Мін. рівень барабана"), -70},
                                               {u("Макс. рівень барабана"), 70},
                                               {u("Макс. Т прямої води"), 105},
                                               {u("Мін. тиск мережі"), 0.5},
                                               {u("Макс. Т газів"), 175},
                                               {u("Мін. рівень деаератора"), 25},
                                               {u("Мін. паливо в бункері"), 15}}}),
                     "Уставки захистів"));

    // Sequences, timers, counters
    p.push_back(part(blk::Timers, "TIMER_4", fixture::numberValues({60, 60, 10, 15}),
                     "Продування топок К-1, К-2; затримка пуску ДС; затримка конвеєрів"));
    p.push_back(part(blk::Sequence1, "LOG_3", fixture::logicValues({true, false, false}, {60, 30, 10, 1, 2, 3}),
                     "Пуск котла 1: продування, розпалювання, робота"));
    p.push_back(part(blk::Sequence2, "LOG_3", fixture::logicValues({true, false, false}, {60, 30, 10, 1, 2, 3}),
                     "Пуск котла 2: продування, розпалювання, робота"));
    p.push_back(part(blk::FuelInterlock, "AND4_2", {}, "Дозвіл паливоподачі"));
    p.push_back(part(blk::CommonAlarm, "OR8_1", {}, "Загальна аварія"));
    p.push_back(part(blk::Starts, "COU_1", fixture::numberValues({0, 0, 9999}), "Лічильник пусків котлів"));
    p.push_back(part(blk::Blinker, "OSC2_GEN", fixture::numberValues({0.5, 0.5, 1, 1}), "Мигалка аварійних ламп"));
    p.push_back(part(blk::DayClock, "RTC_1", fixture::numberValues({23, 0, 0, 5, 0, 0}),
                     "Нічне зниження графіка з 23:00 до 05:00"));

    // Panel keys
    p.push_back(part(blk::PumpKeys, "PAN_OFF_ON", panel("МН-1", "МН-2", "ЖН-1", "ЖН-2", "Насоси"), "Ключі насосів"));
    p.push_back(part(blk::ModeKeys, "PAN_HAND_AUT", panel("Котел 1", "Котел 2", "АВР МН", "АВР ЖН", "Режими"),
                     "Ручний / автоматичний режим котлів, АВР насосів"));
    p.push_back(part(blk::FanKeys, "PAN_OFF_ON2", panel("ДВ-1", "ДВ-2", "ДС-1", "ДС-2", "Тяга"),
                     "Ключі дуттьових вентиляторів і димососів"));
    p.push_back(part(blk::VentKeys, "PAN_OFF_ON", panel("ПВ-1", "ПВ-2", "ВВ-1", "ВВ-2", "Вентиляція"),
                     "Ключі вентиляції зали"));
    p.push_back(part(blk::FuelKeys, "PAN_OFF_ON", panel("КС-1", "КН-1", "КН-2", "Д-1", "Паливо 1"),
                     "Ключі стрічкового і похилих конвеєрів, дробарки"));
    p.push_back(
        part(blk::FuelKeys2, "PAN_OFF_ON", panel("Н-1", "Н-2", "Ш-1", "Ш-2", "Паливо 2"), "Ключі норій і шнеків"));
    p.push_back(part(blk::ScrewSpeed, "PAN_INC_DEC",
                     panel("Ш-1", "Ш-2", "Резерв", "Резерв", "Шнеки", {0, 100, 5, 0, 100, 5, 0, 0, 0, 0, 0, 0}),
                     "Ручна швидкість шнеків: менше / більше"));
    p.push_back(part(blk::NetworkKeys, "PAN_OFF_ON", panel("Сезон", "Нічне зниж.", "Резерв", "Резерв", "Мережа"),
                     "Ключі опалювального сезону і нічного зниження"));
    p.push_back(part(blk::Touch, "TOU_8", {}, "Перевірка ламп, квитування, скидання, аварійний стоп"));
    p.push_back(part(blk::TouchFuel, "TOU_8", {}, "Пуск і зупинка підживлювальних насосів і ліній паливоподачі"));

    p.push_back(part(blk::Report, "REP_16", {}, "Змінний звіт"));

    // Trend, journal and SCADA blocks
    p.push_back(part(blk::Scada, "SCA", {}, "Кнопки SCADA"));
    std::array<fixture::NamedPair, 32> channels;
    for (int c = 0; c < 32; ++c)
        channels[c] = {TrendLimits[c][0], TrendLimits[c][1], trendChannelNames()[c]};
    p.push_back(
        part(blk::Trend, "GRA_32", fixture::archiveValues(60, trendTitle(), channels), "Тренди: 8 груп по 4 канали"));
    std::array<fixture::NamedPair, 32> events;
    for (int e = 0; e < 32; ++e)
        events[e] = {double(eventClass(e)), 2, journalEventNames()[e]};
    p.push_back(
        part(blk::Journal, "JUR_32", fixture::archiveValues(1, journalTitle(), events), "Журнал подій: 32 події"));

    std::sort(p.begin(), p.end(), [](const NetPart &a, const NetPart &b) { return a.number < b.number; });
    return p;
}

}   // namespace demo
