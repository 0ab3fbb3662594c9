#pragma once
// Block numbers of the demo controller program and the output pins the pages read.
namespace demo::blk {

// Analog inputs (A_I): four channels each; channel c gives pin 4c "0-100%", 4c+1 the scaled
// value, 4c+2 the low alarm and 4c+3 the high alarm.
inline constexpr int Boiler1 = 1;   // steam pressure, drum level, furnace draught, flue gas T
inline constexpr int Boiler2 = 2;
inline constexpr int Network = 3;     // supply T, return T, supply pressure, return pressure
inline constexpr int Common = 4;      // deaerator level, feed pressure, outdoor T, bunker 1 level
inline constexpr int Auxiliary = 5;   // air pressure 1, air pressure 2, bunker 2 level, room T

constexpr int scaled(int channel) { return 4 * channel + 1; }
constexpr int percent(int channel) { return 4 * channel; }
constexpr int lowAlarm(int channel) { return 4 * channel + 2; }
constexpr int highAlarm(int channel) { return 4 * channel + 3; }

// Discrete inputs (D_I): running feedback of the machines, one pin each.
inline constexpr int PumpsRun = 6;   // 0 МН-1, 1 МН-2, 2 ЖН-1, 3 ЖН-2, 4 ПН-1, 5 ПН-2, 6 РН-1, 7 РН-2
inline constexpr int FansRun = 7;    // 0 ДВ-1, 1 ДВ-2, 2 ДС-1, 3 ДС-2, 4 ПВ-1, 5 ПВ-2, 6 ВВ-1, 7 ВВ-2
inline constexpr int FuelRun = 8;    // 0 КС-1, 1 КН-1, 2 КН-2, 3 Н-1, 4 Н-2, 5 Ш-1, 6 Ш-2, 7 Д-1

// Discrete outputs (D_O): start commands of the same machines.
inline constexpr int PumpsCmd = 10;
inline constexpr int FansCmd = 11;
inline constexpr int FuelCmd = 12;

inline constexpr int HeatSum = 14;        // SUM: network ΔT, boiler 1 and 2 steam share
inline constexpr int HeatPower = 15;      // MUL: heat output of the network
inline constexpr int SteamCompare = 16;   // CMP: steam pressure limits of both boilers

inline constexpr int PidBoiler1 = 20;   // PID: steam pressure of boiler 1 → screw feeder speed
inline constexpr int PidBoiler2 = 21;
inline constexpr int PidNetwork = 22;     // PID: supply temperature → heater steam valve
inline constexpr int PidDeaerator = 23;   // PID: deaerator level → make-up pumps

inline constexpr int SetPoints = 25;   // S_P: process set-points
inline constexpr int Limits = 26;      // S_P: protection limits

inline constexpr int Timers = 30;      // TIM: purge and start-up delays
inline constexpr int Sequence1 = 31;   // LOG: start-up sequence of boiler 1
inline constexpr int Sequence2 = 32;
inline constexpr int FuelInterlock = 33;   // AND: fuel line permissives
inline constexpr int CommonAlarm = 34;     // OR_: common alarm
inline constexpr int Starts = 35;          // COU: boiler start counter
inline constexpr int Blinker = 36;         // OSC: alarm lamp blinker
inline constexpr int DayClock = 37;        // RTC: night set-back of the network

inline constexpr int BunkerMin = 17;    // MIN: the emptier of the two coal bunkers (%)
inline constexpr int ValveLimit = 18;   // LIM: travel limits of the heater steam valve

inline constexpr int PumpKeys = 40;      // PAN: network and feed pump keys (switch n = key n)
inline constexpr int ModeKeys = 41;      // PAN: manual/automatic of boilers and pump standby
inline constexpr int FanKeys = 42;       // PAN: draught fans and smoke exhausters
inline constexpr int VentKeys = 43;      // PAN: room supply and roof fans
inline constexpr int FuelKeys = 44;      // PAN: КС-1, КН-1, КН-2, Д-1
inline constexpr int FuelKeys2 = 48;     // PAN: Н-1, Н-2, Ш-1, Ш-2
inline constexpr int ScrewSpeed = 47;    // PAN: manual screw speed, more / less
inline constexpr int NetworkKeys = 49;   // PAN: key 0 heating season, 1 night set-back (switches)
inline constexpr int SeasonSwitch = 1;   // its outputs: switch k reads back at 2·k + 1
inline constexpr int NightSetBackSwitch = 3;
// Touch keys (TOU): the key code is the key number; output k is on while key k is held, so
// only momentary actions live here.
inline constexpr int Touch = 45;       // TOU: keys 3 lamp test, 4 acknowledge, 5 reset,
                                       // 6 emergency stop
inline constexpr int TouchFuel = 46;   // TOU: 1/2 start ПН-1/ПН-2, 9 stop ПН, 3/4 start fuel
                                       // line 1/2, 5 stop fuel line

inline constexpr int Report = 50;   // REP: shift report

inline constexpr int Scada = 97;     // SCA
inline constexpr int Trend = 98;     // GRA
inline constexpr int Journal = 99;   // JUR

// Outputs of a start-up sequence (LOG).
inline constexpr int SeqSteamValve = 0;
inline constexpr int SeqFeedValve = 1;
inline constexpr int SeqIgniter = 2;
inline constexpr int SeqStep = 4;   // 0 stopped, 1 purge, 2 ignition, 3 running, 4 trip, 5 standby

}   // namespace demo::blk
