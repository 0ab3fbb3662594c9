#pragma once
// The controller's block numbers that have a fixed meaning, and the 50 block types by their
// catalogue codes (type number = position in the code table, 1..50).
namespace block {

constexpr int First = 1;
constexpr int Last = 99;           // block numbers 1..99
constexpr int PanelStation = 97;   // the panel station, typed SCA whatever the netlist says
constexpr int Trend = 98;          // the trend archive block, typed GRA
constexpr int Journal = 99;        // the event journal block, typed JUR

// Eleven positions hold the placeholder code "NO_"; they are named by their number.
enum Type : int {
    A_I = 1,
    A_O = 2,
    D_I = 3,
    D_O = 4,
    RS4 = 5,
    SYS = 6,
    NO_7 = 7,
    NO_8 = 8,
    MUL = 9,
    SUM = 10,
    DIV = 11,
    SQR = 12,
    ABS = 13,
    NO_14 = 14,
    NO_15 = 15,
    NO_16 = 16,
    AND = 17,
    OR_ = 18,
    XOR = 19,
    TRI = 20,
    REG = 21,
    NO_22 = 22,
    NO_23 = 23,
    NO_24 = 24,
    S_P = 25,
    PID = 26,
    MUX = 27,
    PRO = 28,
    PAN = 29,
    RTC = 30,
    COD = 31,
    NO_32 = 32,
    MIN = 33,
    LIM = 34,
    CMP = 35,
    TIM = 36,
    COU = 37,
    OSC = 38,
    NO_39 = 39,
    NO_40 = 40,
    GRA = 41,
    JUR = 42,
    SCA = 43,
    LOG = 44,
    ALG = 45,
    UNI = 46,
    MON = 47,
    REP = 48,
    INV = 49,
    TOU = 50,
};
constexpr int TypeCount = 50;

}   // namespace block
