#include "app/BlockCatalogue.h"

#include <algorithm>
#include <string_view>

namespace {

struct TypeRow {
    const char *code;
    int maxOutputPin;
    int maxInputPin;
    int settingsLines;
    int extraSettingsLines;
};

// Pin labels; nullptr (and every pin not written) is a blank label.
using LabelSet = std::array<const char *, BlockCatalogue::PinsPerType>;

struct LabelRow {
    int type;
    LabelSet outputs;
    LabelSet inputs;
};

struct ModeRow {
    int type;
    int mode;
    LabelSet labels;
};

constexpr std::array<TypeRow, BlockCatalogue::TypeCount> typeTable{{
    {"A_I", 15, 0, 29, 0},        // 1
    {"A_O", 0, 3, 5, 0},          // 2
    {"D_I", 7, 0, 9, 0},          // 3
    {"D_O", 0, 7, 9, 0},          // 4
    {"RS4", 7, 7, 3, 0},          // 5
    {"SYS", 0, 0, 1, 0},          // 6
    {"NO_", 0, 0, 0, 0},          // 7
    {"NO_", 0, 0, 0, 0},          // 8
    {"MUL", 3, 7, 4, 0},          // 9
    {"SUM", 3, 7, 10, 0},         // 10
    {"DIV", 3, 7, 4, 0},          // 11
    {"SQR", 3, 3, 4, 0},          // 12
    {"ABS", 3, 3, 0, 0},          // 13
    {"NO_", 0, 0, 0, 0},          // 14
    {"NO_", 0, 0, 0, 0},          // 15
    {"NO_", 0, 0, 0, 0},          // 16
    {"AND", 3, 7, 1, 0},          // 17
    {"OR_", 3, 7, 1, 0},          // 18
    {"XOR", 3, 7, 0, 0},          // 19
    {"TRI", 3, 7, 0, 0},          // 20
    {"REG", 3, 7, 1, 0},          // 21
    {"NO_", 0, 0, 0, 0},          // 22
    {"NO_", 0, 0, 0, 0},          // 23
    {"NO_", 0, 0, 0, 0},          // 24
    {"S_P", 7, 0, 8, 9},          // 25
    {"PID", 4, 7, 18, 0},         // 26
    {"MUX", 7, 7, 1, 0},          // 27
    {"PRO", 3, 3, 137, 0},        // 28
    {"PAN", 7, 7, 14, 5},         // 29
    {"RTC", 0, 6, 6, 0},          // 30
    {"COD", 3, 4, 100, 0},        // 31
    {"NO_", 0, 0, 0, 0},          // 32
    {"MIN", 1, 7, 1, 0},          // 33
    {"LIM", 5, 1, 4, 0},          // 34
    {"CMP", 5, 3, 6, 0},          // 35
    {"TIM", 7, 7, 5, 0},          // 36
    {"COU", 2, 7, 3, 0},          // 37
    {"OSC", 7, 7, 9, 0},          // 38
    {"NO_", 0, 0, 0, 0},          // 39
    {"NO_", 0, 0, 0, 0},          // 40
    {"GRA", 0, 31, 99, 34},       // 41
    {"JUR", 7, 31, 82, 33},       // 42
    {"SCA", 0, 0, 1, 0},          // 43
    {"LOG", 5, 7, 9, 0},          // 44
    {"ALG", 31, 31, 129, 5248},   // 45
    {"UNI", 7, 7, 9, 0},          // 46
    {"MON", 0, 7, 0, 0},          // 47
    {"REP", 0, 31, 0, 0},         // 48
    {"INV", 0, 0, 0, 0},          // 49
    {"TOU", 7, 0, 0, 0},          // 50
}};

// The block type enum names the positions of this table.
struct EnumCode {
    int type;
    const char *code;
};
constexpr EnumCode enumCodes[] = {
    {block::A_I, "A_I"},   {block::A_O, "A_O"},   {block::D_I, "D_I"},   {block::D_O, "D_O"},   {block::RS4, "RS4"},
    {block::SYS, "SYS"},   {block::NO_7, "NO_"},  {block::NO_8, "NO_"},  {block::MUL, "MUL"},   {block::SUM, "SUM"},
    {block::DIV, "DIV"},   {block::SQR, "SQR"},   {block::ABS, "ABS"},   {block::NO_14, "NO_"}, {block::NO_15, "NO_"},
    {block::NO_16, "NO_"}, {block::AND, "AND"},   {block::OR_, "OR_"},   {block::XOR, "XOR"},   {block::TRI, "TRI"},
    {block::REG, "REG"},   {block::NO_22, "NO_"}, {block::NO_23, "NO_"}, {block::NO_24, "NO_"}, {block::S_P, "S_P"},
    {block::PID, "PID"},   {block::MUX, "MUX"},   {block::PRO, "PRO"},   {block::PAN, "PAN"},   {block::RTC, "RTC"},
    {block::COD, "COD"},   {block::NO_32, "NO_"}, {block::MIN, "MIN"},   {block::LIM, "LIM"},   {block::CMP, "CMP"},
    {block::TIM, "TIM"},   {block::COU, "COU"},   {block::OSC, "OSC"},   {block::NO_39, "NO_"}, {block::NO_40, "NO_"},
    {block::GRA, "GRA"},   {block::JUR, "JUR"},   {block::SCA, "SCA"},   {block::LOG, "LOG"},   {block::ALG, "ALG"},
    {block::UNI, "UNI"},   {block::MON, "MON"},   {block::REP, "REP"},   {block::INV, "INV"},   {block::TOU, "TOU"}};
constexpr bool enumMatchesTable()
{
    for (const EnumCode &e : enumCodes)
        if (std::string_view(typeTable[static_cast<std::size_t>(e.type - 1)].code) != e.code)
            return false;
    return std::size(enumCodes) == typeTable.size();
}
static_assert(enumMatchesTable());

constexpr LabelRow defaultLabels[] = {
    {1,   // A_I
     {"Выход 0-100%", "Выход SCAL  ", "Выход MIN   ", "Выход MАХ   ", "Выход 0-100%", "Выход SCAL  ", "Выход MIN   ",
      "Выход MАХ   "},
     {"Выход 0-100%", "Выход SCAL  ", "Выход MIN   ", "Выход MАХ   ", "Выход 0-100%", "Выход SCAL  ", "Выход MIN   ",
      "Выход MАХ   "}},
    {2,   // A_O
     {},
     {"Вход 1 aOUT ", "Вход 2 aOUT ", "Вход 3 aOUT ", "Вход 4 aOUT "}},
    {3,   // D_I
     {"Выход 1 dIN ", "Выход 2 dIN ", "Выход 3 dIN ", "Выход 4 dIN ", "Выход 5 dIN ", "Выход 6 dIN ", "Выход 7 dIN ",
      "Выход 8 dIN "},
     {}},
    {4,   // D_O
     {},
     {"Вход 1 dOUT ", "Вход 2 dOUT ", "Вход 3 dOUT ", "Вход 4 dOUT ", "Вход 5 dOUT ", "Вход 6 dOUT ", "Вход 7 dOUT ",
      "Вход 8 dOUT "}},
    {5,   // RS4
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход 7 OUT7",
      "Выход 8 OUT8"},
     {"Вход 1 INP1 ", "Вход 2 INP2 ", "Вход 3 INP3 ", "Вход 4 INP4 ", "Вход 5 INP5 ", "Вход 6 INP6 ", "Вход 7 INP7 ",
      "Вход 8 INP8 "}},
    {6,   // SYS
     {"Выход SYSTEM"},
     {}},
    {9,   // MUL
     {"Выход 1 MUL ", "Выход 2 MUL ", "Выход 3 MUL ", "Выход 4 MUL "},
     {"Вход 1 MUL 1", "Вход 2 MUL 1", "Вход 1 MUL 2", "Вход 2 MUL 2", "Вход 1 MUL 3", "Вход 2 MUL 3", "Вход 1 MUL 4",
      "Вход 2 MUL 4"}},
    {10,   // SUM
     {"Выход 1 SUM ", "Выход 2 SUM ", "Выход 3 SUM ", "Выход 4 SUM "},
     {"Вход 1 SUM  ", "Вход 2 SUM  ", "Вход 3 SUM  ", "Вход 4 SUM  ", "Вход 5 SUM  ", "Вход 6 SUM  ", "Вход 7 SUM  ",
      "Вход 8 SUM  "}},
    {11,   // DIV
     {"Выход 1 DIV ", "Выход 2 DIV ", "Выход 3 DIV ", "Выход 4 DIV "},
     {"Вход 1 DIV 1", "Вход 2 DIV 1", "Вход 1 DIV 2", "Вход 2 DIV 2", "Вход 1 DIV 3", "Вход 2 DIV 3", "Вход 1 DIV 4",
      "Вход 2 DIV 4"}},
    {12,   // SQR
     {"Выход 1 SQRT", "Выход 2 SQRT", "Выход 3 SQRT", "Выход 4 SQRT"},
     {"Вход 1 SQRT ", "Вход 2 SQRT ", "Вход 3 SQRT ", "Вход 4 SQRT "}},
    {13,   // ABS
     {"Выход 1 ABS ", "Выход 2 ABS ", "Выход 3 ABS ", "Выход 4 ABS "},
     {"Вход 1 ABS  ", "Вход 2 ABS  ", "Вход 3 ABS  ", "Вход 4 ABS  "}},
    {17,   // AND
     {"Выход 1 AND ", "Выход 2 AND ", "Выход 3 AND ", "Выход 4 AND "},
     {"Вход 1 AND 1", "Вход 2 AND 1", "Вход 3 AND 2", "Вход 4 AND 2", "Вход 5 AND 3", "Вход 6 AND 3", "Вход 7 AND 4",
      "Вход 8 AND 4"}},
    {18,   // OR_
     {"Выход 1 OR  ", "Выход 2 OR  ", "Выход 3 OR  ", "Выход 4 OR  "},
     {"Вход 1 OR  1", "Вход 2 OR  1", "Вход 3 OR  2", "Вход 4 OR  2", "Вход 5 OR  3", "Вход 6 OR  3", "Вход 7 OR  4",
      "Вход 8 OR  4"}},
    {19,   // XOR
     {"Выход 1 XOR ", "Выход 2 XOR ", "Выход 3 XOR ", "Выход 4 XOR "},
     {"Вход 1 XOR 1", "Вход 2 XOR 1", "Вход 1 XOR 2", "Вход 2 XOR 2", "Вход 1 XOR 3", "Вход 2 XOR 3", "Вход 1 XOR 4",
      "Вход 2 XOR 4"}},
    {20,   // TRI
     {"Выход 1 TRIG", "Выход 2 TRIG", "Выход 3 TRIG", "Выход 4 TRIG"},
     {"Вход 1 SET 1", "Вход 2 RES 1", "Вход 1 SET 2", "Вход 2 RES 2", "Вход 1 SET 3", "Вход 2 RES 3", "Вход 1 SET 4",
      "Вход 2 RES 4"}},
    {21,   // REG
     {"Выход 1 REG ", "Выход 2 REG ", "Выход 3 REG ", "Выход 4 REG "},
     {"Вход 1 DAT 1", "Вход 2 WR 1 ", "Вход 1 DAT 2", "Вход 2 WR 2 ", "Вход 1 DAT 3", "Вход 2 WR 3 ", "Вход 1 DAT 4",
      "Вход 2 WR 4 "}},
    {25,   // S_P
     {},
     {"Вход 1 ADR 0"}},
    {26,   // PID
     {"Выход 1 PID ", "Вых PID2/POZ", "Выход delta ", "Выход UP/MAX", "Выход DN/MIN"},
     {"Вход 1 DATA1", "Вход 2 SPEX1", "Вход 3 RS Ti", "DATA2/TRACK ", "SPEX2/FEEDFV", "RS Ti2/POZ  "}},
    {27,   // MUX
     {"Выход 1 M-D ", "Выход 2 M-D ", "Выход 3 DEX ", "Выход 4 DEX ", "Выход 5 DEX ", "Выход 6 DEX ", "Выход 7 DEX ",
      "Выход 8 DEX "},
     {"Вход 1 ADR 0", "Вход 2 ADR 1", "Вход 3 IN1MD", "Вход 4 IN 2 ", "Вход 5 IN 3 ", "Вход 6 IN1-4", "Вход 7 IN 2 ",
      "Вход 8 IN 3 "}},
    {28,   // PRO
     {"Выход 1 PROG", "Выход 2 STEP", "Выход 3 TIME", "Выход 4 ON  "},
     {"Вход 1 DATA ", "Вход 2 STOP ", "Вход 3 START", "Вход 4 PAUSE"}},
    {29,   // PAN
     {"Выход 1 SW1 ", "Выход 1 SW2 ", "Выход 2 SW1 ", "Выход 2 SW2 ", "Выход 3 SW1 ", "Выход 3 SW2 ", "Выход 4 SW1 ",
      "Выход 4 SW2 "},
     {"Вход 1 LED  ", "Вход 2 LED  ", "Вход 3 LED  ", "Вход 4 LED  ", "Вход 1 LD/AT", "Вход 2 LD/AT", "Вход 3 LD/AT",
      "Вход 4 LD/AT"}},
    {30,   // RTC
     {"Выход 1 OUT "},
     {"Вход 1 ON   ", "Вход 2 H_ON ", "Вход 3 M_ON ", "Вход 4 S_ON ", "Вход 5 H_OFF", "Вход 6 M_OFF", "Вход 7 S_OFF"}},
    {31,   // COD
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3"},
     {"Вход 1 ADR  ", "Вход 2 OFF1 ", "Вход 3 OFF2 ", "Вход 4 OFF3 ", "Вход 5 ADRsP"}},
    {33,   // MIN
     {"Выход 1 MIMA", "Выход 2 NUM "},
     {"Вход 1 MI/MA", "Вход 2 MI/MA", "Вход 3 MI/MA", "Вход 4 MI/MA", "Вход 5 MI/MA", "Вход 6 MI/MA", "Вход 7 MI/MA",
      "Вход 8 MI/MA"}},
    {34,   // LIM
     {"Выход 1 LIM ", "Выход 2 MIN ", "Выход 3 MAX ", "Выход 4 LIM ", "Выход 5 MIN ", "Выход 6 MAX "},
     {"Вход 1 LIMIT", "Вход 2 LIMIT"}},
    {35,   // CMP
     {"Выход 1 LESS", "Выход 2 EQW ", "Выход 3 GR  ", "Выход 4 LESS", "Выход 5 EQW ", "Выход 6 GR  "},
     {"Вход 1 CMP1 ", "Вход 2 CMP2 ", "Вход 3 CMP1 ", "Вход 4 CMP2 "}},
    {36,   // TIM
     {"Выход 1 TIME", "Выход 2 OUT ", "Выход 3 TIME", "Выход 4 OUT ", "Выход 5 TIME", "Выход 6 OUT ", "Выход 7 TIME",
      "Выход 8 OUT "},
     {"Вход 1 STOP ", "Вход 2 RESET", "Вход 3 STOP ", "Вход 4 RESET", "Вход 5 STOP ", "Вход 6 RESET", "Вход 7 STOP ",
      "Вход 8 RESET"}},
    {37,   // COU
     {"Выход 1 CNT ", "Выход 2 MIN ", "Выход 3 MAX "},
     {"Вход 1 UP   ", "Вход 2 DN   ", "Вход 3 RES  ", "Вход 4 STOP ", "Вход 5 SET  ", "Вход SP&CNT ", "Вход SP&MIN ",
      "Вход SP&MAX "}},
    {38,   // OSC
     {"Выход 1 GEN1", "Выход 2 OUT1", "Выход 1 GEN2", "Выход 2 OUT2", "Выход 1 GEN3", "Выход 2 OUT3", "Выход 1 GEN4",
      "Выход 2 OUT4"},
     {"Вход 1 STR 1", "Вход 2 RES 1", "Вход 1 STR 2", "Вход 2 RES 2", "STR 3/IMP 1 ", "RES 3/PAUS 1", "STR 4/IMP 2 ",
      "RES 4/PAUS 2"}},
    {41,   // GRA
     {},
     {"Вход 1 GRAF1", "Вход 2 GRAF2", "Вход 2 GRAF3", "Вход 2 GRAF4"}},
    {42,   // JUR
     {"Архив       ", "Предупрежд. ", "Опасность 1 ", "Опасность 2 ", "Авария 1    ", "Авария 2    ", "Авария 3    ",
      "Сигнализация"},
     {}},
    {43,   // SCA
     {"Кнопка 1 ст1", "Кнопка 2 ст1", "Кнопка 1 ст2", "Кнопка 2 ст2", "Кнопка 1 ст3", "Кнопка 2 ст3", "Кнопка 1 ст4",
      "Кнопка 2 ст4"},
     {}},
    {44,   // LOG
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 END ", "Выход 5 STEP", "Выход 6 TIME"},
     {"Вход 1 IN 1 ", "Вход 2 IN 2 ", "Вход 3 IN 3 ", "Вход 4 SP 1 ", "Вход 5 SP 2 ", "Вход 6 SP 3 ", "Вход 7 RESET",
      "Вход 8 ON   "}},
    {46,   // UNI
     {"Выход 1     ", "Выход 2     ", "Выход 3     ", "Выход 4     ", "Выход 5     ", "Выход 6     ", "Выход 7     ",
      "Выход 8     "},
     {"Вход 1      ", "Вход 2      ", "Вход 3      ", "Вход 4      ", "Вход 5      ", "Вход 6      ", "Вход 7      ",
      "Вход 8      "}},
    {47,   // MON
     {},
     {"Вход 1      ", "Вход 2      ", "Вход 3      ", "Вход 4      ", "Вход 5      ", "Вход 6      ", "Вход 7      ",
      "Вход 8      "}},
};

constexpr ModeRow modeOutputRows[] = {
    {5,
     0,
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход 7 OUT7",
      "Выход 8 OUT8"}},
    {5,
     1,
     {"Выход t_AIR ", "Выход h AIR ", "Выход hWOOD1", "Выход hWOOD2", "Выход hWOOD3", "Выход hWOOD4", "Выход hWOOD5",
      "Выход hWOOD6"}},
    {5,
     2,
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход 7 OUT7",
      "Выход 8 OUT8"}},
    {5,
     3,
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход 7 OUT7",
      "Выход 8 OUT8"}},
    {10, 0, {"Выход 1 SUM1", "Выход 1 SUM2", "Выход 1 SUM3", "Выход 1 SUM4"}},
    {10, 1, {"Выход 1 SUM1", "Выход 1 SUM2", "Выход 1 SUM3"}},
    {10, 2, {"Выход 1 SUM1"}},
    {17, 0, {"Выход 1 AND1", "Выход 1 AND2", "Выход 1 AND3", "Выход 1 AND4"}},
    {17, 1, {"Выход 1 AND1", "Выход 1 AND2"}},
    {17, 2, {"Выход 1 AND1"}},
    {18, 0, {"Выход 1 OR1 ", "Выход 1 OR2 ", "Выход 1 OR3 ", "Выход 1 OR4 "}},
    {18, 1, {"Выход 1 OR1 ", "Выход 1 OR2 "}},
    {18, 2, {"Выход 1 OR1 "}},
    {26, 0, {"Выход PID1  ", nullptr, "Выход delta ", "Выход MAX   ", "Выход MIN   "}},
    {26, 1, {"Выход PID1  ", "Выход PID2  "}},
    {26, 2, {"Выход PID1  ", "Выход POZ   ", "Выход delta ", "Выход UP    ", "Выход DOWN  "}},
    {26, 3, {"Выход PID1  ", "Выход POZ   ", "Выход delta ", "Выход UP    ", "Выход DOWN  "}},
    {26, 4, {"Выход REG1  ", "Выход REG2  ", "Выход REG3  ", "Выход REG4  "}},
    {27, 0, {"Выход 1 MUX1"}},
    {27, 1, {"Выход 1 MUX1", "Выход 1 MUX2"}},
    {27,
     2,
     {"Выход 1 DEX1", "Выход 2 DEX1", "Выход 3 DEX1", "Выход 4 DEX1", "Выход 5 DEX1", "Выход 6 DEX1", "Выход 7 DEX1",
      "Выход 8 DEX1"}},
    {27,
     3,
     {"Выход 1 DEX1", "Выход 2 DEX1", "Выход 3 DEX1", "Выход 4 DEX1", "Выход 1 DEX2", "Выход 2 DEX2", "Выход 3 DEX2",
      "Выход 4 DEX2"}},
    {29,
     0,
     {"Выход 1 SW1 ", "Выход 1 SW2 ", "Выход 2 SW1 ", "Выход 2 SW2 ", "Выход 3 SW1 ", "Выход 3 SW2 ", "Выход 4 SW1 ",
      "Выход 4 SW2 "}},
    {29,
     1,
     {"Выход 1 SW1 ", "Выход 1 SW2 ", "Выход 2 SW1 ", "Выход 2 SW2 ", "Выход 3 SW1 ", "Выход 3 SW2 ", "Выход 4 SW1 ",
      "Выход 4 SW2 "}},
    {29,
     2,
     {"Выход SW1   ", "Выход H_A1  ", "Выход SW2   ", "Выход H_A2  ", "Выход SW3   ", "Выход H_A3  ", "Выход SW4   ",
      "Выход H_A4  "}},
    {29, 3, {"Выход ST_STP", nullptr, "Выход SP1   ", "Выход SW1   ", "Выход SP2   ", "Выход SW2   "}},
    {29,
     4,
     {"Выход SW1   ", "Выход OUT1  ", "Выход SW2   ", "Выход OUT2  ", "Выход SW3   ", "Выход OUT3  ", "Выход SW4   ",
      "Выход OUT4  "}},
    {29,
     5,
     {"Выход OUT1  ", "Выход H_A1  ", "Выход OUT2  ", "Выход H_A2  ", "Выход OUT3  ", "Выход H_A3  ", "Выход OUT4  ",
      "Выход H_A4  "}},
    {33, 0, {"Выход MIN   ", "Выход NUM   "}},
    {33, 1, {"Выход MAX   ", "Выход NUM   "}},
    {36,
     0,
     {"Выход 1 TIME", "Выход 2 OUT ", "Выход 3 TIME", "Выход 4 OUT ", "Выход 5 TIME", "Выход 6 OUT ", "Выход 7 TIME",
      "Выход 8 OUT "}},
    {36, 1, {"Выход 1 TIME", "Выход 2 OUT ", "Выход 3 TIME", "Выход 4 OUT "}},
    {38,
     0,
     {"Выход 1 GEN1", "Выход 2 OUT1", "Выход 1 GEN2", "Выход 2 OUT2", "Выход 1 GEN3", "Выход 2 OUT3", "Выход 1 GEN4",
      "Выход 2 OUT4"}},
    {38,
     1,
     {"Выход 1 GEN1", "Выход 2 OUT1", "Выход 1 GEN2", "Выход 2 OUT2", "Выход 1 GEN3", "Выход 2 OUT3", "Выход 1 GEN4",
      "Выход 2 OUT4"}},
    {38, 2, {"Выход 1 GEN1", "Выход 2 OUT1", "Выход 1 GEN2", "Выход 2 OUT2"}},
    {38, 3, {"Выход 1 GEN1", "Выход 2 OUT1", "Выход 1 GEN2", "Выход 2 OUT2"}},
    {46,
     0,
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход 7 OUT7",
      "Выход 8 OUT8"}},
    {46,
     1,
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход NUMOUT",
      "Выход OFF   "}},
    {46,
     2,
     {"Выход 1 OUT1", "Выход 2 ALM1", "Выход 3 TIM1", "Выход 4 STEP", "Выход 1 OUT2", "Выход 2 ALM2", "Выход 3 TIM2",
      "Выход 4 STEP"}},
    {46,
     3,
     {"Выход 1 OUT1", "Выход 2 OUT2", "Выход 3 OUT3", "Выход 4 OUT4", "Выход 5 OUT5", "Выход 6 OUT6", "Выход 7 OUT7",
      "Выход 8 OUT8"}},
    {46, 4, {"Выход 1 EM2 ", "Выход 2 EM3 ", "Выход 3 EM4 ", "Выход 4 EM5 ", "Выход 5 OUT ", "Выход 6 AVAR"}},
    {46,
     5,
     {"Выход OUT1  ", "Выход OUT2  ", "Выход OUT4  ", "Выход OUT8  ", "Выход OUT16 ", "Выход OUT32 ", "Выход OUT64 ",
      "Выход OUT128"}},
    {46, 6, {"Выход OUT_L ", "Выход OUT_R ", "Выход OFF_ON", "Выход PAUSE ", "Выход TIME  "}},
    {46,
     7,
     {"Выход SHIBER", "Выход ZONA  ", "Выход MAX   ", "Выход MIN   ", "Выход AL_MAX", "Выход AL_MIN", "Выход KLAPAN"}},
};

constexpr ModeRow modeInputRows[] = {
    {5,
     0,
     {"Вход 1 INP1 ", "Вход 2 INP2 ", "Вход 3 INP3 ", "Вход 4 INP4 ", "Вход 5 INP5 ", "Вход 6 INP6 ", "Вход 7 INP7 ",
      "Вход 8 INP8 "}},
    {5, 1, {"Вход WOOD   "}},
    {5,
     2,
     {"Вход 1 INP1 ", "Вход 2 INP2 ", "Вход 3 INP3 ", "Вход 4 INP4 ", "Вход 5 INP5 ", "Вход 6 INP6 ", "Вход 7 INP7 ",
      "Вход 8 INP8 "}},
    {5,
     3,
     {"Вход 1 INP1 ", "Вход 2 INP2 ", "Вход 3 INP3 ", "Вход 4 INP4 ", "Вход 5 INP5 ", "Вход 6 INP6 ", "Вход 7 INP7 ",
      "Вход 8 INP8 "}},
    {10,
     0,
     {"Вход 1 SUM1 ", "Вход 2 SUM1 ", "Вход 1 SUM2 ", "Вход 2 SUM2 ", "Вход 1 SUM3 ", "Вход 2 SUM3 ", "Вход 1 SUM4 ",
      "Вход 2 SUM4 "}},
    {10,
     1,
     {"Вход 1 SUM1 ", "Вход 2 SUM1 ", nullptr, "Вход 1 SUM2 ", "Вход 2 SUM2 ", nullptr, "Вход 1 SUM3 ",
      "Вход 2 SUM3 "}},
    {10,
     2,
     {"Вход 1 SUM1 ", "Вход 2 SUM1 ", "Вход 3 SUM1 ", "Вход 4 SUM1 ", "Вход 5 SUM1 ", "Вход 6 SUM1 ", "Вход 7 SUM1 ",
      "Вход 8 SUM1 "}},
    {17,
     0,
     {"Вход 1 AND1 ", "Вход 2 AND1 ", "Вход 1 AND2 ", "Вход 2 AND2 ", "Вход 1 AND3 ", "Вход 2 AND3 ", "Вход 1 AND4 ",
      "Вход 2 AND4 "}},
    {17,
     1,
     {"Вход 1 AND1 ", "Вход 2 AND1 ", "Вход 3 AND1 ", "Вход 4 AND1 ", "Вход 1 AND2 ", "Вход 2 AND2 ", "Вход 3 AND2 ",
      "Вход 4 AND2 "}},
    {17,
     2,
     {"Вход 1 AND1 ", "Вход 2 AND1 ", "Вход 3 AND1 ", "Вход 4 AND1 ", "Вход 5 AND1 ", "Вход 6 AND1 ", "Вход 7 AND1 ",
      "Вход 8 AND1 "}},
    {18,
     0,
     {"Вход 1 OR1  ", "Вход 2 OR1  ", "Вход 1 OR2  ", "Вход 2 OR2  ", "Вход 1 OR3  ", "Вход 2 OR3  ", "Вход 1 OR4  ",
      "Вход 2 OR4  "}},
    {18,
     1,
     {"Вход 1 OR1  ", "Вход 2 OR1  ", "Вход 3 OR1  ", "Вход 4 OR1  ", "Вход 1 OR2  ", "Вход 2 OR2  ", "Вход 3 OR2  ",
      "Вход 4 OR2  "}},
    {18,
     2,
     {"Вход 1 OR1  ", "Вход 2 OR1  ", "Вход 3 OR1  ", "Вход 4 OR1  ", "Вход 5 OR1  ", "Вход 6 OR1  ", "Вход 7 OR1  ",
      "Вход 8 OR1  "}},
    {26,
     0,
     {"Вход 1 DATA1", "Вход 2 SPEX1", "Вход 3 SP_IN", "Вход 4 TRACK", "Вход 5 FEEDF", nullptr, "Вход AUTO   ",
      "Вход SP&HAND"}},
    {26, 1, {"Вход 1 DATA1", "Вход 2 SPEX1", "Вход 3 SP_IN", "Вход 1 DATA2", "Вход 2 SPEX2", "Вход 3 RSTi2"}},
    {26,
     2,
     {"Вход 1 DATA1", "Вход 2 SPEX1", "Вход 3 SP_IN", "Вход 4 TRACK", "Вход 5 FEEDF", "Вход 6 POZ  ", "Вход AUTO   ",
      "Вход SP&HAND"}},
    {26,
     3,
     {"Вход 1 DATA1", "Вход 2 SPEX1", "Вход 3 SP_IN", "Вход 4 TRACK", "Вход 5 FEEDF", "Вход 6 POZ  ", "Вход AUTO   ",
      "Вход SP&HAND"}},
    {26,
     4,
     {"Вход 1 DATA1", "Вход 2 SPEX1", "Вход 1 DATA2", "Вход 2 SPEX2", "Вход 1 DATA3", "Вход 2 SPEX3", "Вход 1 DATA4",
      "Вход 2 SPEX4"}},
    {27,
     0,
     {"Вход ADRMUX1", "Вход OFFMUX1", "Вход 1 MUX1 ", "Вход 2 MUX1 ", "Вход 3 MUX1 ", "Вход 4 MUX1 ", "Вход 5 MUX1 ",
      "Вход 6 MUX1 "}},
    {27,
     1,
     {"Вход ADRMUX1", "Вход ADRMUX2", "Вход 1 MUX1 ", "Вход 2 MUX1 ", "Вход 3 MUX1 ", "Вход 1 MUX2 ", "Вход 2 MUX2 ",
      "Вход 3 MUX2 "}},
    {27, 2, {"Вход ADRDEX1", "Вход OFFDEX1", "Вход DATDEX1"}},
    {27, 3, {"Вход ADRDEX1", "Вход ADRDEX2", "Вход DATDEX1", "Вход DATDEX2", "Вход OFFDEX1", "Вход OFFDEX2"}},
    {29,
     0,
     {"DISPLAY1    ", "DISPLAY2    ", "DISPLAY3    ", "DISPLAY4    ", "Вход 1 LED1 ", "Вход 2 LED2 ", "Вход 3 LED3 ",
      "Вход 4 LED4 "}},
    {29, 1, {"Вход 1 RES1 ", "Вход 2 RES2 ", "Вход 3 RES3 ", "Вход 4 RES4 "}},
    {29,
     2,
     {"Вход 1 RES1 ", "Вход 2 RES2 ", "Вход 3 RES3 ", "Вход 4 RES4 ", "Вход 1 IN_A1", "Вход 2 IN_A2", "Вход 3 IN_A3",
      "Вход 4 IN_A4"}},
    {29, 3, {"Выход 1 RES1"}},
    {29, 4, {"DISPLAY1    ", "DISPLAY2    ", "DISPLAY3    ", "DISPLAY4    "}},
    {29,
     5,
     {"DISPLAY1    ", "DISPLAY2    ", "DISPLAY3    ", "DISPLAY4    ", "Вход 1 IN_A1", "Вход 2 IN_A2", "Вход 3 IN_A3",
      "Вход 4 IN_A4"}},
    {36,
     0,
     {"Вход 1 STOP ", "Вход 2 RESET", "Вход 3 STOP ", "Вход 4 RESET", "Вход 5 STOP ", "Вход 6 RESET", "Вход 7 STOP ",
      "Вход 8 RESET"}},
    {36, 1, {"Вход 1 STOP ", "Вход 2 RESET", "Вход 3 STOP ", "Вход 4 RESET", "Вход 5 SPEX1", "Вход 6 SPEX2"}},
    {38,
     0,
     {"Вход 1 STR1 ", "Вход 2 RES1 ", "Вход 1 STR2 ", "Вход 2 RES2 ", "Вход 1 STR3 ", "Вход 2 RES3 ", "Вход 1 STR4 ",
      "Вход 2 RES4 "}},
    {38,
     1,
     {"Вход 1 STR1 ", "Вход 2 RES1 ", "Вход 1 STR2 ", "Вход 2 RES2 ", "Вход 1 STR3 ", "Вход 2 RES3 ", "Вход 1 STR4 ",
      "Вход 2 RES4 "}},
    {38,
     2,
     {"Вход 1 STR 1", "Вход 2 RES1 ", "Вход 1 STR2 ", "Вход 2 RES2 ", "Вход 1 IMP1 ", "Вход 2 PAUS1", "Вход 1 IMP2 ",
      "Вход 2 PAUS2"}},
    {38,
     3,
     {"Вход 1 STR1 ", "Вход 2 RES1 ", "Вход 1 STR2 ", "Вход 2 RES2 ", "Вход 1 IMP1 ", "Вход 2 PAUS1", "Вход 1 IMP2 ",
      "Вход 2 PAUS2"}},
    {46,
     0,
     {"Вход START  ", "Вход 2 END2 ", "Вход 3 END3 ", "Вход 4 END4 ", "Вход 5 END5 ", "Вход 6 END6 ", "Вход 7 END7 ",
      "Вход 8 END8 "}},
    {46,
     1,
     {"Вход SW1    ", "Вход SW2    ", "Вход SW3    ", "Вход SW4    ", "Вход SW5    ", "Вход SW6    ", "Вход OFF    ",
      "Вход RES    "}},
    {46,
     2,
     {"Вход 1 INP1 ", "Вход 2 SP1  ", "Вход 3 CONT1", "Вход 4 ON1  ", "Вход 1 INP2 ", "Вход 2 SP2  ", "Вход 3 CONT2",
      "Вход 4 ON2  "}},
    {46, 3, {}},
    {46,
     4,
     {"Вход 1 P1   ", "Вход 2 P1Zad", "Вход 3 P2   ", "Вход 4 P2Zad", "Вход 5 P3   ", "Вход 6 P3Zad", "Вход 7 CONT ",
      "Вход 8 START"}},
    {46, 5, {"Вход 1 DEC  "}},
    {46, 6, {"Вход 1 LEFT ", "Вход 2 RITGH", "Вход 3 H_A  ", "Вход 4 T_ON ", "Вход 5 T_OFF", "Вход 6 ON   "}},
    {46,
     7,
     {"Вход VENT_ON", "Вход VLAG   ", "Вход SP_VLAG", "Вход SP_MAX ", "Вход SP_MIN ", "Вход Z_VOZD ", "Вход STEP_1 ",
      "Вход START  "}},
};

constexpr std::array<const char *, 16> sensorTypeNames{{"Выкл.", "50П ", "50М ", "100П", "100М", "гр.21", "гр.23",
                                                        "Pt100", "ТХК ", "ТХА ", "ТПП ", "ТЖК ", "0-5мА", "0-20мА",
                                                        "4-20мА", ""}};

// Every label must be exactly twelve characters (UTF-8 continuation bytes do not count).
constexpr int codePoints(const char *s)
{
    int n = 0;
    for (; *s != '\0'; ++s) {
        if ((static_cast<unsigned char>(*s) & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

constexpr bool labelsWellFormed(const LabelSet &set)
{
    for (const char *label : set) {
        if (label != nullptr && codePoints(label) != BlockCatalogue::LabelWidth)
            return false;
    }
    return true;
}

constexpr bool allLabelsWellFormed()
{
    for (const LabelRow &row : defaultLabels) {
        if (row.type < 1 || row.type > 48 || !labelsWellFormed(row.outputs) || !labelsWellFormed(row.inputs))
            return false;
    }
    for (const ModeRow &row : modeOutputRows) {
        if (!labelsWellFormed(row.labels))
            return false;
    }
    for (const ModeRow &row : modeInputRows) {
        if (!labelsWellFormed(row.labels))
            return false;
    }
    return true;
}
static_assert(allLabelsWellFormed(), "every pin label is twelve characters");

QString labelText(const char *label)
{
    return label == nullptr ? BlockCatalogue::blankLabel() : QString::fromUtf8(label);
}

bool validType(int t) { return t >= 1 && t <= BlockCatalogue::TypeCount; }

}   // namespace

BlockCatalogue::BlockCatalogue()
{
    for (int t = 1; t <= TypeCount; ++t) {
        const TypeRow &row = typeTable[static_cast<std::size_t>(t - 1)];
        typeCodes_[static_cast<std::size_t>(t - 1)] = QString::fromLatin1(row.code);
        maxOutputPin_[static_cast<std::size_t>(t)] = row.maxOutputPin;
        maxInputPin_[static_cast<std::size_t>(t)] = row.maxInputPin;
        settingsLines_[static_cast<std::size_t>(t)] = row.settingsLines;
        extraSettingsLines_[static_cast<std::size_t>(t)] = row.extraSettingsLines;
    }

    outputLabels_.fill(blankLabel());
    inputLabels_.fill(blankLabel());
    for (const LabelRow &row : defaultLabels) {
        for (int pin = 0; pin < PinsPerType; ++pin) {
            const auto at = static_cast<std::size_t>((row.type - 1) * PinsPerType + pin);
            outputLabels_[at] = labelText(row.outputs[static_cast<std::size_t>(pin)]);
            inputLabels_[at] = labelText(row.inputs[static_cast<std::size_t>(pin)]);
        }
    }

    const auto fillModes = [](const auto &rows, std::vector<ModeLabels> &table) {
        for (const ModeRow &row : rows) {
            ModeLabels entry;
            entry.type = row.type;
            entry.mode = row.mode;
            for (std::size_t pin = 0; pin < entry.labels.size(); ++pin)
                entry.labels[pin] = labelText(row.labels[pin]);
            table.push_back(entry);
        }
    };
    fillModes(modeOutputRows, modeOutputLabels_);
    fillModes(modeInputRows, modeInputLabels_);

    for (std::size_t k = 0; k < sensorTypes_.size(); ++k)
        sensorTypes_[k] = QString::fromUtf8(sensorTypeNames[k]);

    // Position of setting k inside a block's settings area, per type.
    const auto param = [this](int k, int t, int slot) {
        paramSlot_[static_cast<std::size_t>(k)][static_cast<std::size_t>(t)] = static_cast<std::uint8_t>(slot);
    };
    // A_I: four groups of seven settings, interleaved by channel.
    param(0, 1, 0);
    for (int c = 0; c <= 3; ++c) {
        for (int j = 1; j <= 7; ++j)
            param(7 * c + j, 1, c + 1 + 4 * (j - 1));
    }
    for (int k = 0; k <= 8; ++k)
        param(k, 4, k);
    for (int t : {9, 11, 12, 34}) {
        for (int k = 0; k <= 3; ++k)
            param(k, t, k);
    }
    param(0, 10, 8);
    for (int k = 1; k <= 8; ++k)
        param(k, 10, k - 1);
    for (int k = 2; k <= 16; k += 2)
        param(k, 25, k / 2 - 1);
    {
        const int pid[] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};
        for (int k = 0; k <= 10; ++k)
            param(k, 26, pid[k]);
    }
    param(0, 28, 136);
    for (int c = 0; c <= 31; ++c) {
        for (int j = 1; j <= 4; ++j)
            param(4 * c + j, 28, c + 4 + 32 * (j - 1));
    }
    for (int t : {30, 35}) {
        for (int k = 0; k <= 5; ++k)
            param(k, t, k);
    }
    param(0, 31, 0);
    for (int c = 0; c <= 31; ++c) {
        for (int j = 1; j <= 3; ++j)
            param(3 * c + j, 31, c + 4 + 32 * (j - 1));
    }
    for (int k = 0; k <= 3; ++k)
        param(k, 36, k + 1);
    for (int k = 0; k <= 2; ++k)
        param(k, 37, k);
    param(0, 41, 0);
    param(0, 42, 50);
    for (int c = 0; c <= 31; ++c) {
        param(3 * c + 2, 41, 34 + c);
        param(3 * c + 3, 41, 67 + c);
        param(3 * c + 2, 42, 10 + c);
        param(3 * c + 3, 42, 51 + c);
    }
    {
        const int log[] = {0, 3, 6, 1, 4, 7, 2, 5, 8};
        for (int k = 0; k <= 8; ++k)
            param(k, 44, log[k]);
    }

    // Position of text k inside a block's text area, per type.
    const auto text = [this](int k, int t, int slot) {
        textSlot_[static_cast<std::size_t>(k)][static_cast<std::size_t>(t)] = static_cast<std::uint8_t>(slot);
    };
    text(0, 25, 8);
    for (int k = 1; k <= 17; k += 2)
        text(k, 25, (k - 1) / 2);
    for (int k = 0; k <= 4; ++k)
        text(k, 29, k);
    text(1, 41, 33);
    text(1, 42, 0);
    for (int c = 0; c <= 31; ++c) {
        text(3 * c + 4, 41, c + 1);
        text(3 * c + 4, 42, c + 1);
    }
}

QString BlockCatalogue::codeOf(int t) const
{
    return validType(t) ? typeCodes_[static_cast<std::size_t>(t - 1)] : QString();
}

std::optional<int> BlockCatalogue::typeOf(const QString &code) const
{
    for (int t = 1; t <= TypeCount; ++t) {
        if (typeCodes_[static_cast<std::size_t>(t - 1)] == code)
            return t;
    }
    return std::nullopt;
}

int BlockCatalogue::maxOutputPin(int t) const { return validType(t) ? maxOutputPin_[static_cast<std::size_t>(t)] : 0; }

int BlockCatalogue::maxInputPin(int t) const { return validType(t) ? maxInputPin_[static_cast<std::size_t>(t)] : 0; }

int BlockCatalogue::settingsLines(int t) const
{
    return validType(t) ? settingsLines_[static_cast<std::size_t>(t)] : 0;
}

int BlockCatalogue::extraSettingsLines(int t) const
{
    return validType(t) ? extraSettingsLines_[static_cast<std::size_t>(t)] : 0;
}

void BlockCatalogue::setSettingsLines(int t, int n)
{
    if (validType(t))
        settingsLines_[static_cast<std::size_t>(t)] = n;
}

void BlockCatalogue::setExtraSettingsLines(int t, int n)
{
    if (validType(t))
        extraSettingsLines_[static_cast<std::size_t>(t)] = n;
}

QString BlockCatalogue::outputLabel(int t, int pin) const
{
    if (!hasDefaultLabels(t) || pin < 0 || pin >= PinsPerType)
        return blankLabel();
    return outputLabels_[static_cast<std::size_t>((t - 1) * PinsPerType + pin)];
}

QString BlockCatalogue::inputLabel(int t, int pin) const
{
    if (!hasDefaultLabels(t) || pin < 0 || pin >= PinsPerType)
        return blankLabel();
    return inputLabels_[static_cast<std::size_t>((t - 1) * PinsPerType + pin)];
}

bool BlockCatalogue::hasDefaultLabels(int t) const { return t >= 1 && t <= 48; }

const BlockCatalogue::ModeLabels *BlockCatalogue::findMode(const std::vector<ModeLabels> &table, int t, int mode)
{
    const auto it = std::find_if(table.begin(), table.end(),
                                 [t, mode](const ModeLabels &m) { return m.type == t && m.mode == mode; });
    return it == table.end() ? nullptr : &*it;
}

std::optional<QString> BlockCatalogue::modeOutputLabel(int t, int mode, int pin) const
{
    const ModeLabels *m = findMode(modeOutputLabels_, t, mode);
    if (m == nullptr || pin < 0 || pin >= PinsPerType)
        return std::nullopt;
    return m->labels[static_cast<std::size_t>(pin)];
}

std::optional<QString> BlockCatalogue::modeInputLabel(int t, int mode, int pin) const
{
    const ModeLabels *m = findMode(modeInputLabels_, t, mode);
    if (m == nullptr || pin < 0 || pin >= PinsPerType)
        return std::nullopt;
    return m->labels[static_cast<std::size_t>(pin)];
}

bool BlockCatalogue::hasModeOutputLabels(int t, int mode) const
{
    return findMode(modeOutputLabels_, t, mode) != nullptr;
}

bool BlockCatalogue::hasModeInputLabels(int t, int mode) const
{
    return findMode(modeInputLabels_, t, mode) != nullptr;
}

QString BlockCatalogue::sensorTypeName(int k) const
{
    if (k < 0 || k >= static_cast<int>(sensorTypes_.size()))
        return QString();
    return sensorTypes_[static_cast<std::size_t>(k)];
}

std::uint8_t BlockCatalogue::paramSlot(int k, int t) const
{
    if (k < 0 || k >= SlotRows || t < 0 || t >= SlotCols)
        return 0;
    return paramSlot_[static_cast<std::size_t>(k)][static_cast<std::size_t>(t)];
}

void BlockCatalogue::setParamSlot(int k, int t, std::uint8_t v)
{
    if (k < 0 || k >= SlotRows || t < 0 || t >= SlotCols)
        return;
    paramSlot_[static_cast<std::size_t>(k)][static_cast<std::size_t>(t)] = v;
}

std::uint8_t BlockCatalogue::textSlot(int k, int t) const
{
    if (k < 0 || k >= SlotRows || t < 0 || t >= SlotCols)
        return 0;
    return textSlot_[static_cast<std::size_t>(k)][static_cast<std::size_t>(t)];
}
