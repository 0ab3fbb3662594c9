#include "app/BlockCatalogue.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTextStream>
#include <set>
#include <utility>

namespace {

// Expected contents written as the catalogue is documented: one row per type or mode, labels
// joined with '|', "·" for a blank label, trailing blank labels left out.
struct LabelExpectation {
    int type;
    const char *outputs;
    const char *inputs;
};

struct ModeExpectation {
    int type;
    int mode;
    const char *labels;
};

const char *const typeTable = R"(
1 A_I 15 0 29 0
2 A_O 0 3 5 0
3 D_I 7 0 9 0
4 D_O 0 7 9 0
5 RS4 7 7 3 0
6 SYS 0 0 1 0
7 NO_ 0 0 0 0
8 NO_ 0 0 0 0
9 MUL 3 7 4 0
10 SUM 3 7 10 0
11 DIV 3 7 4 0
12 SQR 3 3 4 0
13 ABS 3 3 0 0
14 NO_ 0 0 0 0
15 NO_ 0 0 0 0
16 NO_ 0 0 0 0
17 AND 3 7 1 0
18 OR_ 3 7 1 0
19 XOR 3 7 0 0
20 TRI 3 7 0 0
21 REG 3 7 1 0
22 NO_ 0 0 0 0
23 NO_ 0 0 0 0
24 NO_ 0 0 0 0
25 S_P 7 0 8 9
26 PID 4 7 18 0
27 MUX 7 7 1 0
28 PRO 3 3 137 0
29 PAN 7 7 14 5
30 RTC 0 6 6 0
31 COD 3 4 100 0
32 NO_ 0 0 0 0
33 MIN 1 7 1 0
34 LIM 5 1 4 0
35 CMP 5 3 6 0
36 TIM 7 7 5 0
37 COU 2 7 3 0
38 OSC 7 7 9 0
39 NO_ 0 0 0 0
40 NO_ 0 0 0 0
41 GRA 0 31 99 34
42 JUR 7 31 82 33
43 SCA 0 0 1 0
44 LOG 5 7 9 0
45 ALG 31 31 129 5248
46 UNI 7 7 9 0
47 MON 0 7 0 0
48 REP 0 31 0 0
49 INV 0 0 0 0
50 TOU 7 0 0 0
)";

const LabelExpectation defaultRows[] = {
    {1, "Выход 0-100%|Выход SCAL  |Выход MIN   |Выход MАХ   |Выход 0-100%|Выход SCAL  |Выход MIN   |Выход MАХ   ",
     "Выход 0-100%|Выход SCAL  |Выход MIN   |Выход MАХ   |Выход 0-100%|Выход SCAL  |Выход MIN   |Выход MАХ   "},
    {2, "", "Вход 1 aOUT |Вход 2 aOUT |Вход 3 aOUT |Вход 4 aOUT "},
    {3, "Выход 1 dIN |Выход 2 dIN |Выход 3 dIN |Выход 4 dIN |Выход 5 dIN |Выход 6 dIN |Выход 7 dIN |Выход 8 dIN ", ""},
    {4, "", "Вход 1 dOUT |Вход 2 dOUT |Вход 3 dOUT |Вход 4 dOUT |Вход 5 dOUT |Вход 6 dOUT |Вход 7 dOUT |Вход 8 dOUT "},
    {5, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход 7 OUT7|Выход 8 OUT8",
     "Вход 1 INP1 |Вход 2 INP2 |Вход 3 INP3 |Вход 4 INP4 |Вход 5 INP5 |Вход 6 INP6 |Вход 7 INP7 |Вход 8 INP8 "},
    {6, "Выход SYSTEM", ""},
    {9, "Выход 1 MUL |Выход 2 MUL |Выход 3 MUL |Выход 4 MUL ",
     "Вход 1 MUL 1|Вход 2 MUL 1|Вход 1 MUL 2|Вход 2 MUL 2|Вход 1 MUL 3|Вход 2 MUL 3|Вход 1 MUL 4|Вход 2 MUL 4"},
    {10, "Выход 1 SUM |Выход 2 SUM |Выход 3 SUM |Выход 4 SUM ",
     "Вход 1 SUM  |Вход 2 SUM  |Вход 3 SUM  |Вход 4 SUM  |Вход 5 SUM  |Вход 6 SUM  |Вход 7 SUM  |Вход 8 SUM  "},
    {11, "Выход 1 DIV |Выход 2 DIV |Выход 3 DIV |Выход 4 DIV ",
     "Вход 1 DIV 1|Вход 2 DIV 1|Вход 1 DIV 2|Вход 2 DIV 2|Вход 1 DIV 3|Вход 2 DIV 3|Вход 1 DIV 4|Вход 2 DIV 4"},
    {12, "Выход 1 SQRT|Выход 2 SQRT|Выход 3 SQRT|Выход 4 SQRT", "Вход 1 SQRT |Вход 2 SQRT |Вход 3 SQRT |Вход 4 SQRT "},
    {13, "Выход 1 ABS |Выход 2 ABS |Выход 3 ABS |Выход 4 ABS ", "Вход 1 ABS  |Вход 2 ABS  |Вход 3 ABS  |Вход 4 ABS  "},
    {17, "Выход 1 AND |Выход 2 AND |Выход 3 AND |Выход 4 AND ",
     "Вход 1 AND 1|Вход 2 AND 1|Вход 3 AND 2|Вход 4 AND 2|Вход 5 AND 3|Вход 6 AND 3|Вход 7 AND 4|Вход 8 AND 4"},
    {18, "Выход 1 OR  |Выход 2 OR  |Выход 3 OR  |Выход 4 OR  ",
     "Вход 1 OR  1|Вход 2 OR  1|Вход 3 OR  2|Вход 4 OR  2|Вход 5 OR  3|Вход 6 OR  3|Вход 7 OR  4|Вход 8 OR  4"},
    {19, "Выход 1 XOR |Выход 2 XOR |Выход 3 XOR |Выход 4 XOR ",
     "Вход 1 XOR 1|Вход 2 XOR 1|Вход 1 XOR 2|Вход 2 XOR 2|Вход 1 XOR 3|Вход 2 XOR 3|Вход 1 XOR 4|Вход 2 XOR 4"},
    {20, "Выход 1 TRIG|Выход 2 TRIG|Выход 3 TRIG|Выход 4 TRIG",
     "Вход 1 SET 1|Вход 2 RES 1|Вход 1 SET 2|Вход 2 RES 2|Вход 1 SET 3|Вход 2 RES 3|Вход 1 SET 4|Вход 2 RES 4"},
    {21, "Выход 1 REG |Выход 2 REG |Выход 3 REG |Выход 4 REG ",
     "Вход 1 DAT 1|Вход 2 WR 1 |Вход 1 DAT 2|Вход 2 WR 2 |Вход 1 DAT 3|Вход 2 WR 3 |Вход 1 DAT 4|Вход 2 WR 4 "},
    {25, "", "Вход 1 ADR 0"},
    {26, "Выход 1 PID |Вых PID2/POZ|Выход delta |Выход UP/MAX|Выход DN/MIN",
     "Вход 1 DATA1|Вход 2 SPEX1|Вход 3 RS Ti|DATA2/TRACK |SPEX2/FEEDFV|RS Ti2/POZ  "},
    {27, "Выход 1 M-D |Выход 2 M-D |Выход 3 DEX |Выход 4 DEX |Выход 5 DEX |Выход 6 DEX |Выход 7 DEX |Выход 8 DEX ",
     "Вход 1 ADR 0|Вход 2 ADR 1|Вход 3 IN1MD|Вход 4 IN 2 |Вход 5 IN 3 |Вход 6 IN1-4|Вход 7 IN 2 |Вход 8 IN 3 "},
    {28, "Выход 1 PROG|Выход 2 STEP|Выход 3 TIME|Выход 4 ON  ", "Вход 1 DATA |Вход 2 STOP |Вход 3 START|Вход 4 PAUSE"},
    {29, "Выход 1 SW1 |Выход 1 SW2 |Выход 2 SW1 |Выход 2 SW2 |Выход 3 SW1 |Выход 3 SW2 |Выход 4 SW1 |Выход 4 SW2 ",
     "Вход 1 LED  |Вход 2 LED  |Вход 3 LED  |Вход 4 LED  |Вход 1 LD/AT|Вход 2 LD/AT|Вход 3 LD/AT|Вход 4 LD/AT"},
    {30, "Выход 1 OUT ", "Вход 1 ON   |Вход 2 H_ON |Вход 3 M_ON |Вход 4 S_ON |Вход 5 H_OFF|Вход 6 M_OFF|Вход 7 S_OFF"},
    {31, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3", "Вход 1 ADR  |Вход 2 OFF1 |Вход 3 OFF2 |Вход 4 OFF3 |Вход 5 ADRsP"},
    {33, "Выход 1 MIMA|Выход 2 NUM ",
     "Вход 1 MI/MA|Вход 2 MI/MA|Вход 3 MI/MA|Вход 4 MI/MA|Вход 5 MI/MA|Вход 6 MI/MA|Вход 7 MI/MA|Вход 8 MI/MA"},
    {34, "Выход 1 LIM |Выход 2 MIN |Выход 3 MAX |Выход 4 LIM |Выход 5 MIN |Выход 6 MAX ", "Вход 1 LIMIT|Вход 2 LIMIT"},
    {35, "Выход 1 LESS|Выход 2 EQW |Выход 3 GR  |Выход 4 LESS|Выход 5 EQW |Выход 6 GR  ",
     "Вход 1 CMP1 |Вход 2 CMP2 |Вход 3 CMP1 |Вход 4 CMP2 "},
    {36, "Выход 1 TIME|Выход 2 OUT |Выход 3 TIME|Выход 4 OUT |Выход 5 TIME|Выход 6 OUT |Выход 7 TIME|Выход 8 OUT ",
     "Вход 1 STOP |Вход 2 RESET|Вход 3 STOP |Вход 4 RESET|Вход 5 STOP |Вход 6 RESET|Вход 7 STOP |Вход 8 RESET"},
    {37, "Выход 1 CNT |Выход 2 MIN |Выход 3 MAX ",
     "Вход 1 UP   |Вход 2 DN   |Вход 3 RES  |Вход 4 STOP |Вход 5 SET  |Вход SP&CNT |Вход SP&MIN |Вход SP&MAX "},
    {38, "Выход 1 GEN1|Выход 2 OUT1|Выход 1 GEN2|Выход 2 OUT2|Выход 1 GEN3|Выход 2 OUT3|Выход 1 GEN4|Выход 2 OUT4",
     "Вход 1 STR 1|Вход 2 RES 1|Вход 1 STR 2|Вход 2 RES 2|STR 3/IMP 1 |RES 3/PAUS 1|STR 4/IMP 2 |RES 4/PAUS 2"},
    {41, "", "Вход 1 GRAF1|Вход 2 GRAF2|Вход 2 GRAF3|Вход 2 GRAF4"},
    {42, "Архив       |Предупрежд. |Опасность 1 |Опасность 2 |Авария 1    |Авария 2    |Авария 3    |Сигнализация", ""},
    {43, "Кнопка 1 ст1|Кнопка 2 ст1|Кнопка 1 ст2|Кнопка 2 ст2|Кнопка 1 ст3|Кнопка 2 ст3|Кнопка 1 ст4|Кнопка 2 ст4", ""},
    {44, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 END |Выход 5 STEP|Выход 6 TIME",
     "Вход 1 IN 1 |Вход 2 IN 2 |Вход 3 IN 3 |Вход 4 SP 1 |Вход 5 SP 2 |Вход 6 SP 3 |Вход 7 RESET|Вход 8 ON   "},
    {46, "Выход 1     |Выход 2     |Выход 3     |Выход 4     |Выход 5     |Выход 6     |Выход 7     |Выход 8     ",
     "Вход 1      |Вход 2      |Вход 3      |Вход 4      |Вход 5      |Вход 6      |Вход 7      |Вход 8      "},
    {47, "", "Вход 1      |Вход 2      |Вход 3      |Вход 4      |Вход 5      |Вход 6      |Вход 7      |Вход 8      "},
};

const ModeExpectation modeOutputRows[] = {
    {5, 0, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход 7 OUT7|Выход 8 OUT8"},
    {5, 1, "Выход t_AIR |Выход h AIR |Выход hWOOD1|Выход hWOOD2|Выход hWOOD3|Выход hWOOD4|Выход hWOOD5|Выход hWOOD6"},
    {5, 2, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход 7 OUT7|Выход 8 OUT8"},
    {5, 3, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход 7 OUT7|Выход 8 OUT8"},
    {10, 0, "Выход 1 SUM1|Выход 1 SUM2|Выход 1 SUM3|Выход 1 SUM4"},
    {10, 1, "Выход 1 SUM1|Выход 1 SUM2|Выход 1 SUM3"},
    {10, 2, "Выход 1 SUM1"},
    {17, 0, "Выход 1 AND1|Выход 1 AND2|Выход 1 AND3|Выход 1 AND4"},
    {17, 1, "Выход 1 AND1|Выход 1 AND2"},
    {17, 2, "Выход 1 AND1"},
    {18, 0, "Выход 1 OR1 |Выход 1 OR2 |Выход 1 OR3 |Выход 1 OR4 "},
    {18, 1, "Выход 1 OR1 |Выход 1 OR2 "},
    {18, 2, "Выход 1 OR1 "},
    {26, 0, "Выход PID1  |·|Выход delta |Выход MAX   |Выход MIN   "},
    {26, 1, "Выход PID1  |Выход PID2  "},
    {26, 2, "Выход PID1  |Выход POZ   |Выход delta |Выход UP    |Выход DOWN  "},
    {26, 3, "Выход PID1  |Выход POZ   |Выход delta |Выход UP    |Выход DOWN  "},
    {26, 4, "Выход REG1  |Выход REG2  |Выход REG3  |Выход REG4  "},
    {27, 0, "Выход 1 MUX1"},
    {27, 1, "Выход 1 MUX1|Выход 1 MUX2"},
    {27, 2, "Выход 1 DEX1|Выход 2 DEX1|Выход 3 DEX1|Выход 4 DEX1|Выход 5 DEX1|Выход 6 DEX1|Выход 7 DEX1|Выход 8 DEX1"},
    {27, 3, "Выход 1 DEX1|Выход 2 DEX1|Выход 3 DEX1|Выход 4 DEX1|Выход 1 DEX2|Выход 2 DEX2|Выход 3 DEX2|Выход 4 DEX2"},
    {29, 0, "Выход 1 SW1 |Выход 1 SW2 |Выход 2 SW1 |Выход 2 SW2 |Выход 3 SW1 |Выход 3 SW2 |Выход 4 SW1 |Выход 4 SW2 "},
    {29, 1, "Выход 1 SW1 |Выход 1 SW2 |Выход 2 SW1 |Выход 2 SW2 |Выход 3 SW1 |Выход 3 SW2 |Выход 4 SW1 |Выход 4 SW2 "},
    {29, 2, "Выход SW1   |Выход H_A1  |Выход SW2   |Выход H_A2  |Выход SW3   |Выход H_A3  |Выход SW4   |Выход H_A4  "},
    {29, 3, "Выход ST_STP|·|Выход SP1   |Выход SW1   |Выход SP2   |Выход SW2   "},
    {29, 4, "Выход SW1   |Выход OUT1  |Выход SW2   |Выход OUT2  |Выход SW3   |Выход OUT3  |Выход SW4   |Выход OUT4  "},
    {29, 5, "Выход OUT1  |Выход H_A1  |Выход OUT2  |Выход H_A2  |Выход OUT3  |Выход H_A3  |Выход OUT4  |Выход H_A4  "},
    {33, 0, "Выход MIN   |Выход NUM   "},
    {33, 1, "Выход MAX   |Выход NUM   "},
    {36, 0, "Выход 1 TIME|Выход 2 OUT |Выход 3 TIME|Выход 4 OUT |Выход 5 TIME|Выход 6 OUT |Выход 7 TIME|Выход 8 OUT "},
    {36, 1, "Выход 1 TIME|Выход 2 OUT |Выход 3 TIME|Выход 4 OUT "},
    {38, 0, "Выход 1 GEN1|Выход 2 OUT1|Выход 1 GEN2|Выход 2 OUT2|Выход 1 GEN3|Выход 2 OUT3|Выход 1 GEN4|Выход 2 OUT4"},
    {38, 1, "Выход 1 GEN1|Выход 2 OUT1|Выход 1 GEN2|Выход 2 OUT2|Выход 1 GEN3|Выход 2 OUT3|Выход 1 GEN4|Выход 2 OUT4"},
    {38, 2, "Выход 1 GEN1|Выход 2 OUT1|Выход 1 GEN2|Выход 2 OUT2"},
    {38, 3, "Выход 1 GEN1|Выход 2 OUT1|Выход 1 GEN2|Выход 2 OUT2"},
    {46, 0, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход 7 OUT7|Выход 8 OUT8"},
    {46, 1, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход NUMOUT|Выход OFF   "},
    {46, 2, "Выход 1 OUT1|Выход 2 ALM1|Выход 3 TIM1|Выход 4 STEP|Выход 1 OUT2|Выход 2 ALM2|Выход 3 TIM2|Выход 4 STEP"},
    {46, 3, "Выход 1 OUT1|Выход 2 OUT2|Выход 3 OUT3|Выход 4 OUT4|Выход 5 OUT5|Выход 6 OUT6|Выход 7 OUT7|Выход 8 OUT8"},
    {46, 4, "Выход 1 EM2 |Выход 2 EM3 |Выход 3 EM4 |Выход 4 EM5 |Выход 5 OUT |Выход 6 AVAR"},
    {46, 5, "Выход OUT1  |Выход OUT2  |Выход OUT4  |Выход OUT8  |Выход OUT16 |Выход OUT32 |Выход OUT64 |Выход OUT128"},
    {46, 6, "Выход OUT_L |Выход OUT_R |Выход OFF_ON|Выход PAUSE |Выход TIME  "},
    {46, 7, "Выход SHIBER|Выход ZONA  |Выход MAX   |Выход MIN   |Выход AL_MAX|Выход AL_MIN|Выход KLAPAN"},
};

const ModeExpectation modeInputRows[] = {
    {5, 0, "Вход 1 INP1 |Вход 2 INP2 |Вход 3 INP3 |Вход 4 INP4 |Вход 5 INP5 |Вход 6 INP6 |Вход 7 INP7 |Вход 8 INP8 "},
    {5, 1, "Вход WOOD   "},
    {5, 2, "Вход 1 INP1 |Вход 2 INP2 |Вход 3 INP3 |Вход 4 INP4 |Вход 5 INP5 |Вход 6 INP6 |Вход 7 INP7 |Вход 8 INP8 "},
    {5, 3, "Вход 1 INP1 |Вход 2 INP2 |Вход 3 INP3 |Вход 4 INP4 |Вход 5 INP5 |Вход 6 INP6 |Вход 7 INP7 |Вход 8 INP8 "},
    {10, 0, "Вход 1 SUM1 |Вход 2 SUM1 |Вход 1 SUM2 |Вход 2 SUM2 |Вход 1 SUM3 |Вход 2 SUM3 |Вход 1 SUM4 |Вход 2 SUM4 "},
    {10, 1, "Вход 1 SUM1 |Вход 2 SUM1 |·|Вход 1 SUM2 |Вход 2 SUM2 |·|Вход 1 SUM3 |Вход 2 SUM3 "},
    {10, 2, "Вход 1 SUM1 |Вход 2 SUM1 |Вход 3 SUM1 |Вход 4 SUM1 |Вход 5 SUM1 |Вход 6 SUM1 |Вход 7 SUM1 |Вход 8 SUM1 "},
    {17, 0, "Вход 1 AND1 |Вход 2 AND1 |Вход 1 AND2 |Вход 2 AND2 |Вход 1 AND3 |Вход 2 AND3 |Вход 1 AND4 |Вход 2 AND4 "},
    {17, 1, "Вход 1 AND1 |Вход 2 AND1 |Вход 3 AND1 |Вход 4 AND1 |Вход 1 AND2 |Вход 2 AND2 |Вход 3 AND2 |Вход 4 AND2 "},
    {17, 2, "Вход 1 AND1 |Вход 2 AND1 |Вход 3 AND1 |Вход 4 AND1 |Вход 5 AND1 |Вход 6 AND1 |Вход 7 AND1 |Вход 8 AND1 "},
    {18, 0, "Вход 1 OR1  |Вход 2 OR1  |Вход 1 OR2  |Вход 2 OR2  |Вход 1 OR3  |Вход 2 OR3  |Вход 1 OR4  |Вход 2 OR4  "},
    {18, 1, "Вход 1 OR1  |Вход 2 OR1  |Вход 3 OR1  |Вход 4 OR1  |Вход 1 OR2  |Вход 2 OR2  |Вход 3 OR2  |Вход 4 OR2  "},
    {18, 2, "Вход 1 OR1  |Вход 2 OR1  |Вход 3 OR1  |Вход 4 OR1  |Вход 5 OR1  |Вход 6 OR1  |Вход 7 OR1  |Вход 8 OR1  "},
    {26, 0, "Вход 1 DATA1|Вход 2 SPEX1|Вход 3 SP_IN|Вход 4 TRACK|Вход 5 FEEDF|·|Вход AUTO   |Вход SP&HAND"},
    {26, 1, "Вход 1 DATA1|Вход 2 SPEX1|Вход 3 SP_IN|Вход 1 DATA2|Вход 2 SPEX2|Вход 3 RSTi2"},
    {26, 2, "Вход 1 DATA1|Вход 2 SPEX1|Вход 3 SP_IN|Вход 4 TRACK|Вход 5 FEEDF|Вход 6 POZ  |Вход AUTO   |Вход SP&HAND"},
    {26, 3, "Вход 1 DATA1|Вход 2 SPEX1|Вход 3 SP_IN|Вход 4 TRACK|Вход 5 FEEDF|Вход 6 POZ  |Вход AUTO   |Вход SP&HAND"},
    {26, 4, "Вход 1 DATA1|Вход 2 SPEX1|Вход 1 DATA2|Вход 2 SPEX2|Вход 1 DATA3|Вход 2 SPEX3|Вход 1 DATA4|Вход 2 SPEX4"},
    {27, 0, "Вход ADRMUX1|Вход OFFMUX1|Вход 1 MUX1 |Вход 2 MUX1 |Вход 3 MUX1 |Вход 4 MUX1 |Вход 5 MUX1 |Вход 6 MUX1 "},
    {27, 1, "Вход ADRMUX1|Вход ADRMUX2|Вход 1 MUX1 |Вход 2 MUX1 |Вход 3 MUX1 |Вход 1 MUX2 |Вход 2 MUX2 |Вход 3 MUX2 "},
    {27, 2, "Вход ADRDEX1|Вход OFFDEX1|Вход DATDEX1"},
    {27, 3, "Вход ADRDEX1|Вход ADRDEX2|Вход DATDEX1|Вход DATDEX2|Вход OFFDEX1|Вход OFFDEX2"},
    {29, 0, "DISPLAY1    |DISPLAY2    |DISPLAY3    |DISPLAY4    |Вход 1 LED1 |Вход 2 LED2 |Вход 3 LED3 |Вход 4 LED4 "},
    {29, 1, "Вход 1 RES1 |Вход 2 RES2 |Вход 3 RES3 |Вход 4 RES4 "},
    {29, 2, "Вход 1 RES1 |Вход 2 RES2 |Вход 3 RES3 |Вход 4 RES4 |Вход 1 IN_A1|Вход 2 IN_A2|Вход 3 IN_A3|Вход 4 IN_A4"},
    {29, 3, "Выход 1 RES1"},
    {29, 4, "DISPLAY1    |DISPLAY2    |DISPLAY3    |DISPLAY4    "},
    {29, 5, "DISPLAY1    |DISPLAY2    |DISPLAY3    |DISPLAY4    |Вход 1 IN_A1|Вход 2 IN_A2|Вход 3 IN_A3|Вход 4 IN_A4"},
    {36, 0, "Вход 1 STOP |Вход 2 RESET|Вход 3 STOP |Вход 4 RESET|Вход 5 STOP |Вход 6 RESET|Вход 7 STOP |Вход 8 RESET"},
    {36, 1, "Вход 1 STOP |Вход 2 RESET|Вход 3 STOP |Вход 4 RESET|Вход 5 SPEX1|Вход 6 SPEX2"},
    {38, 0, "Вход 1 STR1 |Вход 2 RES1 |Вход 1 STR2 |Вход 2 RES2 |Вход 1 STR3 |Вход 2 RES3 |Вход 1 STR4 |Вход 2 RES4 "},
    {38, 1, "Вход 1 STR1 |Вход 2 RES1 |Вход 1 STR2 |Вход 2 RES2 |Вход 1 STR3 |Вход 2 RES3 |Вход 1 STR4 |Вход 2 RES4 "},
    {38, 2, "Вход 1 STR 1|Вход 2 RES1 |Вход 1 STR2 |Вход 2 RES2 |Вход 1 IMP1 |Вход 2 PAUS1|Вход 1 IMP2 |Вход 2 PAUS2"},
    {38, 3, "Вход 1 STR1 |Вход 2 RES1 |Вход 1 STR2 |Вход 2 RES2 |Вход 1 IMP1 |Вход 2 PAUS1|Вход 1 IMP2 |Вход 2 PAUS2"},
    {46, 0, "Вход START  |Вход 2 END2 |Вход 3 END3 |Вход 4 END4 |Вход 5 END5 |Вход 6 END6 |Вход 7 END7 |Вход 8 END8 "},
    {46, 1, "Вход SW1    |Вход SW2    |Вход SW3    |Вход SW4    |Вход SW5    |Вход SW6    |Вход OFF    |Вход RES    "},
    {46, 2, "Вход 1 INP1 |Вход 2 SP1  |Вход 3 CONT1|Вход 4 ON1  |Вход 1 INP2 |Вход 2 SP2  |Вход 3 CONT2|Вход 4 ON2  "},
    {46, 3, ""},
    {46, 4, "Вход 1 P1   |Вход 2 P1Zad|Вход 3 P2   |Вход 4 P2Zad|Вход 5 P3   |Вход 6 P3Zad|Вход 7 CONT |Вход 8 START"},
    {46, 5, "Вход 1 DEC  "},
    {46, 6, "Вход 1 LEFT |Вход 2 RITGH|Вход 3 H_A  |Вход 4 T_ON |Вход 5 T_OFF|Вход 6 ON   "},
    {46, 7, "Вход VENT_ON|Вход VLAG   |Вход SP_VLAG|Вход SP_MAX |Вход SP_MIN |Вход Z_VOZD |Вход STEP_1 |Вход START  "},
};

const QString blank(12, QLatin1Char(' '));

QStringList expandRow(const char *row)
{
    QStringList labels;
    const QString text = QString::fromUtf8(row);
    if (!text.isEmpty()) {
        for (const QString &label : text.split(QLatin1Char('|')))
            labels << (label == QStringLiteral("·") ? blank : label);
    }
    while (labels.size() < 8)
        labels << blank;
    return labels;
}

const std::set<int> placeholderTypes = {7, 8, 14, 15, 16, 22, 23, 24, 32, 39, 40};

}   // namespace

TEST(BlockCatalogueTypes, CodesBoundsAndSettingsCountsMatchTheTypeTable)
{
    const BlockCatalogue cat;
    QString table = QString::fromUtf8(typeTable);
    QTextStream in(&table);
    int rows = 0;
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.isEmpty())
            continue;
        ASSERT_EQ(f.size(), 6);
        const int t = f[0].toInt();
        SCOPED_TRACE(t);
        EXPECT_EQ(t, rows + 1);
        EXPECT_EQ(cat.codeOf(t), f[1]);
        EXPECT_EQ(cat.maxOutputPin(t), f[2].toInt());
        EXPECT_EQ(cat.maxInputPin(t), f[3].toInt());
        EXPECT_EQ(cat.settingsLines(t), f[4].toInt());
        EXPECT_EQ(cat.extraSettingsLines(t), f[5].toInt());
        EXPECT_EQ(cat.codeOf(t) == QStringLiteral("NO_"), placeholderTypes.count(t) == 1);
        ++rows;
    }
    EXPECT_EQ(rows, BlockCatalogue::TypeCount);
}

TEST(BlockCatalogueTypes, LookupByCodeFindsTheFirstMatchingType)
{
    const BlockCatalogue cat;
    EXPECT_EQ(cat.typeOf(QStringLiteral("NO_")), 7);
    EXPECT_EQ(cat.typeOf(QStringLiteral("A_I")), 1);
    EXPECT_EQ(cat.typeOf(QStringLiteral("RS4")), 5);
    EXPECT_EQ(cat.typeOf(QStringLiteral("TOU")), 50);
    for (int t = 1; t <= BlockCatalogue::TypeCount; ++t) {
        const int expected = placeholderTypes.count(t) == 0 ? t : 7;
        EXPECT_EQ(cat.typeOf(cat.codeOf(t)), expected) << t;
    }
    EXPECT_EQ(cat.typeOf(QStringLiteral("a_i")), std::nullopt);
    EXPECT_EQ(cat.typeOf(QStringLiteral("A_I ")), std::nullopt);
    EXPECT_EQ(cat.typeOf(QString()), std::nullopt);
}

TEST(BlockCatalogueTypes, OutOfRangeTypesReadEmptyAndZero)
{
    BlockCatalogue cat;
    for (int t : {-1, 0, 51, 1000}) {
        EXPECT_EQ(cat.codeOf(t), QString());
        EXPECT_EQ(cat.maxOutputPin(t), 0);
        EXPECT_EQ(cat.maxInputPin(t), 0);
        EXPECT_EQ(cat.settingsLines(t), 0);
        EXPECT_EQ(cat.extraSettingsLines(t), 0);
        EXPECT_FALSE(cat.hasDefaultLabels(t));
        EXPECT_EQ(cat.outputLabel(t, 0), blank);
        EXPECT_EQ(cat.inputLabel(t, 0), blank);
        cat.setSettingsLines(t, 7);
        cat.setExtraSettingsLines(t, 7);
        EXPECT_EQ(cat.settingsLines(t), 0);
    }
    EXPECT_EQ(cat.sensorTypeName(-1), QString());
    EXPECT_EQ(cat.sensorTypeName(16), QString());
}

TEST(BlockCatalogueTypes, VersionAdjustmentsChangeOnlyTheirEntry)
{
    BlockCatalogue cat;
    cat.setSettingsLines(50, 1);
    cat.setExtraSettingsLines(5, 48);
    EXPECT_EQ(cat.settingsLines(50), 1);
    EXPECT_EQ(cat.extraSettingsLines(5), 48);
    EXPECT_EQ(cat.settingsLines(49), 0);
    EXPECT_EQ(cat.extraSettingsLines(4), 0);
    EXPECT_EQ(cat.extraSettingsLines(6), 0);
    cat.setSettingsLines(50, 0);
    cat.setExtraSettingsLines(5, 0);
    EXPECT_EQ(cat.settingsLines(50), 0);
    EXPECT_EQ(cat.extraSettingsLines(5), 0);
}

TEST(BlockCatalogueTypes, AnalogInputShowsSixteenOutputsAndAlgorithmBlockThirtyTwoPins)
{
    const BlockCatalogue cat;
    EXPECT_EQ(cat.maxOutputPin(1), 15);
    EXPECT_EQ(cat.outputLabel(1, 7), QStringLiteral("Выход MАХ   "));
    EXPECT_EQ(cat.outputLabel(1, 8), blank);
    EXPECT_EQ(cat.outputLabel(1, 15), blank);
    EXPECT_EQ(cat.maxOutputPin(45), 31);
    EXPECT_EQ(cat.maxInputPin(45), 31);
    EXPECT_EQ(cat.extraSettingsLines(45), 5248);
    for (int pin = 0; pin < 8; ++pin) {
        EXPECT_EQ(cat.outputLabel(45, pin), blank);
        EXPECT_EQ(cat.inputLabel(45, pin), blank);
    }
}

TEST(BlockCatalogueLabels, EveryDefaultLabelIsTwelveCharacters)
{
    const BlockCatalogue cat;
    int counted = 0;
    for (int t = 1; t <= 48; ++t) {
        for (int pin = 0; pin < 8; ++pin) {
            EXPECT_EQ(cat.outputLabel(t, pin).size(), 12) << t << ' ' << pin;
            EXPECT_EQ(cat.inputLabel(t, pin).size(), 12) << t << ' ' << pin;
            counted += 2;
        }
    }
    EXPECT_EQ(counted, 2 * 384);
}

TEST(BlockCatalogueLabels, DefaultLabelsOfEveryTypeMatchTheLabelTable)
{
    const BlockCatalogue cat;
    std::set<int> listed;
    for (const LabelExpectation &row : defaultRows) {
        SCOPED_TRACE(row.type);
        listed.insert(row.type);
        EXPECT_TRUE(cat.hasDefaultLabels(row.type));
        const QStringList outputs = expandRow(row.outputs);
        const QStringList inputs = expandRow(row.inputs);
        ASSERT_EQ(outputs.size(), 8);
        ASSERT_EQ(inputs.size(), 8);
        for (int pin = 0; pin < 8; ++pin) {
            EXPECT_EQ(cat.outputLabel(row.type, pin), outputs[pin]) << "output pin " << pin;
            EXPECT_EQ(cat.inputLabel(row.type, pin), inputs[pin]) << "input pin " << pin;
        }
    }
    EXPECT_EQ(listed.size(), 35u);
    // Types without text: the placeholders, ALG and REP have blank rows; INV and TOU no row.
    for (int t = 1; t <= 50; ++t) {
        if (listed.count(t) != 0)
            continue;
        SCOPED_TRACE(t);
        EXPECT_TRUE(placeholderTypes.count(t) != 0 || t == 45 || t == 48 || t == 49 || t == 50);
        EXPECT_EQ(cat.hasDefaultLabels(t), t <= 48);
        for (int pin = 0; pin < 8; ++pin) {
            EXPECT_EQ(cat.outputLabel(t, pin), blank);
            EXPECT_EQ(cat.inputLabel(t, pin), blank);
        }
    }
}

TEST(BlockCatalogueLabels, AnalogInputMaximumLabelKeepsItsCyrillicLetters)
{
    const BlockCatalogue cat;
    const QString label = cat.outputLabel(1, 3);
    ASSERT_EQ(label.size(), 12);
    EXPECT_EQ(label[6], QChar(u'M'));
    EXPECT_EQ(label[7], QChar(0x0410));   // Cyrillic А
    EXPECT_EQ(label[8], QChar(0x0425));   // Cyrillic Х
    EXPECT_EQ(cat.inputLabel(1, 7), label);
}

TEST(BlockCatalogueLabels, PinsOutsideZeroToSevenAreBlank)
{
    const BlockCatalogue cat;
    for (int pin : {-1, 8, 31, 1 << 30}) {
        EXPECT_EQ(cat.outputLabel(5, pin), blank);
        EXPECT_EQ(cat.inputLabel(5, pin), blank);
        EXPECT_EQ(cat.modeOutputLabel(5, 0, pin), std::nullopt);
        EXPECT_EQ(cat.modeInputLabel(5, 0, pin), std::nullopt);
    }
}

namespace {

void checkModeTable(const ModeExpectation *begin, const ModeExpectation *end, int sideTypes,
                    bool (BlockCatalogue::*has)(int, int) const,
                    std::optional<QString> (BlockCatalogue::*label)(int, int, int) const)
{
    const BlockCatalogue cat;
    std::set<std::pair<int, int>> listed;
    std::set<int> types;
    for (const ModeExpectation *row = begin; row != end; ++row) {
        SCOPED_TRACE(testing::Message() << "type " << row->type << " mode " << row->mode);
        listed.insert({row->type, row->mode});
        types.insert(row->type);
        const QStringList labels = expandRow(row->labels);
        ASSERT_EQ(labels.size(), 8);
        for (int pin = 0; pin < 8; ++pin) {
            const std::optional<QString> got = (cat.*label)(row->type, row->mode, pin);
            ASSERT_TRUE(got.has_value()) << "pin " << pin;
            EXPECT_EQ(*got, labels[pin]) << "pin " << pin;
            EXPECT_EQ(got->size(), 12) << "pin " << pin;
        }
    }
    EXPECT_EQ(static_cast<int>(types.size()), sideTypes);
    for (int t = -1; t <= 52; ++t) {
        for (int mode = -2; mode <= 12; ++mode) {
            const bool expected = listed.count({t, mode}) != 0;
            EXPECT_EQ((cat.*has)(t, mode), expected) << t << ' ' << mode;
            if (!expected) {
                EXPECT_EQ((cat.*label)(t, mode, 0), std::nullopt) << t << ' ' << mode;
            }
        }
    }
}

}   // namespace

TEST(BlockCatalogueLabels, ModeOutputLabelsMatchForEveryListedTypeAndMode)
{
    checkModeTable(std::begin(modeOutputRows), std::end(modeOutputRows), 11, &BlockCatalogue::hasModeOutputLabels,
                   &BlockCatalogue::modeOutputLabel);
}

TEST(BlockCatalogueLabels, ModeInputLabelsMatchForEveryListedTypeAndMode)
{
    checkModeTable(std::begin(modeInputRows), std::end(modeInputRows), 10, &BlockCatalogue::hasModeInputLabels,
                   &BlockCatalogue::modeInputLabel);
}

TEST(BlockCatalogueLabels, ShortModesAndBlankMarksGiveBlankLabels)
{
    const BlockCatalogue cat;
    EXPECT_EQ(cat.modeOutputLabel(10, 2, 0), QStringLiteral("Выход 1 SUM1"));
    EXPECT_EQ(cat.modeOutputLabel(10, 2, 1), blank);
    EXPECT_EQ(cat.modeOutputLabel(26, 0, 1), blank);
    EXPECT_EQ(cat.modeOutputLabel(26, 0, 2), QStringLiteral("Выход delta "));
    EXPECT_EQ(cat.modeInputLabel(10, 1, 2), blank);
    EXPECT_EQ(cat.modeInputLabel(10, 1, 7), QStringLiteral("Вход 2 SUM3 "));
    EXPECT_TRUE(cat.hasModeInputLabels(46, 3));
    EXPECT_EQ(cat.modeInputLabel(46, 3, 0), blank);
    // Labels that are one character short or long in the source tables are held at twelve.
    EXPECT_EQ(cat.modeOutputLabel(18, 0, 0), QStringLiteral("Выход 1 OR1 "));
    EXPECT_EQ(cat.modeInputLabel(46, 7, 3), QStringLiteral("Вход SP_MAX "));
    EXPECT_EQ(cat.modeInputLabel(46, 7, 4), QStringLiteral("Вход SP_MIN "));
}

TEST(BlockCatalogueSensors, SixteenSensorTypeNamesInOrder)
{
    const BlockCatalogue cat;
    const QStringList names = QString::fromUtf8("Выкл.|50П |50М |100П|100М|гр.21|гр.23|Pt100|ТХК |"
                                                "ТХА |ТПП |ТЖК |0-5мА|0-20мА|4-20мА|")
                                  .split(QLatin1Char('|'));
    ASSERT_EQ(names.size(), 16);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(cat.sensorTypeName(k), names[k]) << k;
    EXPECT_TRUE(cat.sensorTypeName(15).isEmpty());
}

namespace {

using Column = std::array<int, BlockCatalogue::SlotRows>;

// Expected settings position of setting k for type t, derived per k (the catalogue fills by
// group and channel).
int expectedParamSlot(int k, int t)
{
    switch (t) {
    case 1: return k >= 1 && k <= 28 ? (k - 1) / 7 + 1 + 4 * ((k - 1) % 7) : 0;
    case 4: return k <= 8 ? k : 0;
    case 9:
    case 11:
    case 12:
    case 34: return k <= 3 ? k : 0;
    case 10: return k == 0 ? 8 : (k <= 8 ? k - 1 : 0);
    case 25: return k >= 2 && k <= 16 && k % 2 == 0 ? k / 2 - 1 : 0;
    case 26: {
        static const int pid[] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};
        return k <= 10 ? pid[k] : 0;
    }
    case 28: return k == 0 ? 136 : (k <= 128 ? (k - 1) / 4 + 4 + 32 * ((k - 1) % 4) : 0);
    case 30:
    case 35: return k <= 5 ? k : 0;
    case 31: return k >= 1 && k <= 96 ? (k - 1) / 3 + 4 + 32 * ((k - 1) % 3) : 0;
    case 36: return k <= 3 ? k + 1 : 0;
    case 37: return k <= 2 ? k : 0;
    case 41:
        if (k >= 2 && k <= 96 && k % 3 == 2)
            return 34 + (k - 2) / 3;
        if (k >= 3 && k <= 96 && k % 3 == 0)
            return 67 + (k - 3) / 3;
        return 0;
    case 42:
        if (k == 0)
            return 50;
        if (k >= 2 && k <= 96 && k % 3 == 2)
            return 10 + (k - 2) / 3;
        if (k >= 3 && k <= 96 && k % 3 == 0)
            return 51 + (k - 3) / 3;
        return 0;
    case 44: {
        static const int log[] = {0, 3, 6, 1, 4, 7, 2, 5, 8};
        return k <= 8 ? log[k] : 0;
    }
    default: return 0;
    }
}

int expectedTextSlot(int k, int t)
{
    switch (t) {
    case 25: return k == 0 ? 8 : (k <= 17 && k % 2 == 1 ? (k - 1) / 2 : 0);
    case 29: return k <= 4 ? k : 0;
    case 41:
        if (k == 1)
            return 33;
        return k >= 4 && k <= 97 && k % 3 == 1 ? (k - 4) / 3 + 1 : 0;
    case 42: return k >= 4 && k <= 97 && k % 3 == 1 ? (k - 4) / 3 + 1 : 0;
    default: return 0;
    }
}

}   // namespace

TEST(BlockCatalogueSlots, SettingsSlotTableMatchesItsRulesAndIsZeroElsewhere)
{
    const BlockCatalogue cat;
    for (int t = 0; t < BlockCatalogue::SlotCols; ++t) {
        for (int k = 0; k < BlockCatalogue::SlotRows; ++k)
            ASSERT_EQ(cat.paramSlot(k, t), expectedParamSlot(k, t)) << "k " << k << " t " << t;
    }
}

TEST(BlockCatalogueSlots, SettingsSlotBoundariesOfTheGroupedTypes)
{
    const BlockCatalogue cat;
    // Analog input: k = 1..7 are the first setting of each of the seven groups.
    const int firstGroup[] = {1, 5, 9, 13, 17, 21, 25};
    for (int j = 0; j < 7; ++j)
        EXPECT_EQ(cat.paramSlot(j + 1, 1), firstGroup[j]);
    EXPECT_EQ(cat.paramSlot(8, 1), 2);
    EXPECT_EQ(cat.paramSlot(28, 1), 28);
    EXPECT_EQ(cat.paramSlot(29, 1), 0);
    EXPECT_EQ(cat.paramSlot(0, 28), 136);
    EXPECT_EQ(cat.paramSlot(1, 28), 4);
    EXPECT_EQ(cat.paramSlot(4, 28), 100);
    EXPECT_EQ(cat.paramSlot(128, 28), 31 + 4 + 96);
    EXPECT_EQ(cat.paramSlot(129, 28), 0);
    EXPECT_EQ(cat.paramSlot(96, 31), 31 + 4 + 64);
    EXPECT_EQ(cat.paramSlot(97, 31), 0);
    EXPECT_EQ(cat.paramSlot(95, 41), 65);
    EXPECT_EQ(cat.paramSlot(96, 41), 98);
    EXPECT_EQ(cat.paramSlot(1, 41), 0);
    EXPECT_EQ(cat.paramSlot(0, 42), 50);
    EXPECT_EQ(cat.paramSlot(96, 42), 82);
    EXPECT_EQ(cat.paramSlot(16, 25), 7);
    EXPECT_EQ(cat.paramSlot(17, 25), 0);
    EXPECT_EQ(cat.paramSlot(10, 26), 17);
}

TEST(BlockCatalogueSlots, TextSlotTableMatchesItsRulesAndIsZeroElsewhere)
{
    const BlockCatalogue cat;
    for (int t = 0; t < BlockCatalogue::SlotCols; ++t) {
        for (int k = 0; k < BlockCatalogue::SlotRows; ++k)
            ASSERT_EQ(cat.textSlot(k, t), expectedTextSlot(k, t)) << "k " << k << " t " << t;
    }
    EXPECT_EQ(cat.textSlot(1, 41), 33);
    EXPECT_EQ(cat.textSlot(97, 41), 32);
    EXPECT_EQ(cat.textSlot(97, 42), 32);
    EXPECT_EQ(cat.textSlot(17, 25), 8);
    EXPECT_EQ(cat.textSlot(0, 25), 8);
}

TEST(BlockCatalogueSlots, SlotAccessOutsideTheTablesReadsZeroAndIgnoresWrites)
{
    BlockCatalogue cat;
    for (auto [k, t] : {std::pair{-1, 1}, std::pair{133, 28}, std::pair{0, -1}, std::pair{0, 51}}) {
        EXPECT_EQ(cat.paramSlot(k, t), 0);
        EXPECT_EQ(cat.textSlot(k, t), 0);
        cat.setParamSlot(k, t, 9);
        EXPECT_EQ(cat.paramSlot(k, t), 0);
    }
    cat.setParamSlot(5, 29, 42);
    cat.setParamSlot(132, 50, 7);
    EXPECT_EQ(cat.paramSlot(5, 29), 42);
    EXPECT_EQ(cat.paramSlot(132, 50), 7);
    EXPECT_EQ(cat.paramSlot(5, 30), 5);
}
