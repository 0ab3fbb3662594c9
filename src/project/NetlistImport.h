#pragma once
// Netlist import: turns the tokens of the P-CAD ASCII netlist into block types, block settings
// (blockParams) and block texts (blockTexts).
//
// Tokens. Token t (1-based) is netTokens[t - 1]. A part is read from
//     (compInst "U12"          instance name: block number 1..99
//     (compRef "...")          any one token
//     (originalName "SUM8_1")  library name; its first three letters are the type code
//     (attr "name" "value")    the part's attributes, one token each, in the order below
// Attribute k of a block (k = 0, 1, 2, ...) is the (k + 1)-th "(attr" token after the
// "(originalName" token; attributes are read only from the unbroken run of "(attr" tokens
// that starts there. Number attribute k is stored at blockParams[base + paramSlot(k, type)],
// text attribute k at blockTexts[textBase + textSlot(k, type)]. A value is what follows the
// third double quote of the token (searched in characters 5..32): a number is Val of 7
// characters there, a text runs to the next double quote (at most 42 characters).
//
// Attribute layout per type (N = number, T = text, positions are k):
//   1  A_I   0 N; then for channel c = 0..3: 7c+1 T sensor type (matched against the sensor
//            names 0..14 by leading characters, the index stored), 7c+2..7c+7 N
//   2  A_O, 3 D_I   0 N
//   4  D_O   0 N; 1..8 T, one per output: "Реле" stores 1, anything else 0
//   9  MUL, 11 DIV, 12 SQR, 34 LIM   0..3 N
//   10 SUM   0..8 N (mode from the library name at area position 9)
//   21 REG   0 T: "Фронт" stores 1, anything else 0
//   25 S_P   0 T title (text 8); for set-point j = 0..7: 2j+1 T name (text j),
//            2j+2 N value; 17 T title again (text 8, the last one read stands)
//   26 PID   0..10 N
//   28 PRO   0 N (area 136); 1..128 N
//   29 PAN   0..4 T (texts 0..4); modes 4 and 5 only: numbers from k = 5, twelve in mode 4
//            (three per display: minimum, maximum, step) and thirteen in mode 5; the slot
//            table column of type 29 is rewritten to put number k at area position k - 4
//   30 RTC, 35 CMP   0..5 N
//   31 COD   0 N; 1..96 N
//   36 TIM   0..3 N in mode 0 (and when no mode is named), 0..1 N in mode 1
//   37 COU   0..2 N
//   38 OSC   numbers from k = 0: 4 in mode 0 (OSC4_ONE), 8 in mode 1 (OSC4_GEN: impulse and
//            pause per generator), 2 in mode 2, 4 in mode 3 (and mode 0's count when no mode
//            is named); the column of type 38 is rewritten to put number k at position k + 1
//   41 GRA   0 N; 1 T trend block title (text 33); for channel c = 0..31: 3c+2 N lower
//            limit (area 34 + c), 3c+3 N upper limit (area 67 + c), 3c+4 T name (text c + 1)
//   42 JUR   0 N (area 50); 1 T journal title (text 0); for event c = 0..31: 3c+2 N
//            (area 10 + c), 3c+3 N (area 51 + c), 3c+4 T event name (text c + 1).
//            Event_Base = blockTextBase[99] + 1, so blockTexts[Event_Base + c] names event c
//   44 LOG   0..2 T, one per group: "SP" stores 1, anything else 0; 3..8 N (group g's flag
//            lands at area 3g, its numbers k = 3 + g and 6 + g at 3g + 1 and 3g + 2)
//   17 AND, 18 OR_, 27 MUX, 33 MIN: mode only. Other types read nothing.
// Modes are written at area position 0 (9 for SUM) before the numbers are read; a library
// name not listed for the type writes no mode.
//
// Errors go to the listener: an attribute that cannot be read gives "Ошибка параметра!!!Блок U"
// + block number (once per block; the block's other attributes are still read); a table bound
// met (101+ components, a part numbered outside U1..U99, more tokens than the table holds, a
// settings or text area beyond entry 10 000) gives "Ошибка netLIST " and ends the import with
// the tables as filled so far.
#include "project/ProjectModel.h"
#include <QString>

class BlockCatalogue;

class NetlistListener {
public:
    virtual ~NetlistListener() = default;
    // "Ошибка параметра!!!Блок U12": a message box with the error icon.
    virtual void parameterError(const QString &text) = 0;
    // "Ошибка netLIST ": a message box with an OK button.
    virtual void netlistError(const QString &text) = 0;
};

class NetlistImport {
public:
    NetlistImport(ProjectModel &model, BlockCatalogue &catalogue, NetlistListener &listener);

    // Rebuilds netComponent, attrTokenIndex, blockType, blockParams, blockParamBase,
    // blockTexts, blockTextBase, textTotal and Event_Base from the first tokenCount - 1 tokens.
    void importNetlist(int tokenCount);

    static QString parameterErrorText(int block);
    static QString netlistErrorText();

    // The mode a library name selects for type t, if it is listed.
    static std::optional<int> modeOf(int t, const QString &libraryName);
    // Area size of a block of type t (the journal block's last upper limit sits one past its
    // catalogue count).
    static int areaSize(const BlockCatalogue &catalogue, int t);

private:
    struct Stop {};
    const QString *token(int t) const;
    void componentPass(int stored);
    void typePass();
    void settingsPass();
    void readBlock(int n, int type);
    int attrRun(int n);
    bool valueOf(int n, int k, QStringView &tok, qsizetype &start);
    void readNumber(int n, int type, int k);
    void readFlag(int n, int type, int k, const QString &onText);
    void readSensor(int n, int type, int k);
    void readText(int n, int type, int k);
    void storeParam(int n, int type, int k, float v);
    void failAttribute(int n);
    [[noreturn]] void stop();

    ProjectModel &m_;
    BlockCatalogue &cat_;
    NetlistListener &listener_;
    int tokenCount_ = 0;
    int stored_ = 0;
    std::array<int, 101> attrRun_{};   // -1 = not yet counted
    std::array<bool, 101> reported_{};
};

// Setting k of block n (through paramSlot) and text k (through textSlot); 0 / "" when block n
// has no type or an index is outside the tables.
float blockSetting(const ProjectModel &m, const BlockCatalogue &c, int n, int k);
QString blockText(const ProjectModel &m, const BlockCatalogue &c, int n, int k);
