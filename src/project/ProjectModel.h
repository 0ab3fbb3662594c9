#pragma once
// The in-memory form of a loaded project: link settings, page pictures, the element tables of
// the eight mimic pages (page p = 0..8, slot i), block types, and the block settings and texts
// that the netlist import fills. One instance, owned by the Station.
#include "app/Blocks.h"
#include "app/Pages.h"
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The element kinds of a mimic page, named after their control arrays.
enum class ElementKind {
    Parametr_Label,        // value label
    Signal_Picture,        // Signal control
    Text_Signal_Picture,   // two-text / state text
    Level_Picture,         // level bar (frame Level_Picture + cover Level_Picture_1)
    Go_Block_Label,        // navigation label
    Contour1,              // Contour control
    Ventilator_Picture,    // equipment (box + Krylcatka or Motor)
    Text_Label_Label,      // static text, slots 0..64
    Control_Image,         // control button
    Menu_Image,            // menu item (Menu_Image + Menu_Text), slots 0..8
    Grafik_Image,          // trend icon, one per page record k = 0..8 (lives on page k-1)
    Real_Clock,            // clock + date (Real_Clock + Real_Time), record k = 0..8 (page k-1)
};

struct ValueLabelRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0;
    std::int32_t foreColor = 0, backColor = 0;
    std::uint8_t borderStyle = 0, fontSize = 0, digits = 0, block = 0, pin = 0;
};

struct SignalRec {
    std::int16_t present = 0;
    std::int16_t left = 0, topField = 0, widthField = 0, heightField = 0;
    std::int32_t colourOff = 0, colourOn = 0;
    std::uint8_t borderStyle = 0, spare = 0, block = 0, pin = 0;
    int top() const { return topField & 511; }
    int width() const { return widthField & 63; }
    int height() const { return heightField & 63; }
    int typeSignal() const { return (heightField / 64) * 4 + (widthField / 64); }
};

struct SignalTextRec {
    std::int16_t present = 0;
    std::int16_t left = 0, topField = 0;
    std::uint8_t fontSize = 0;
    std::int32_t foreColor = 0, backColor = 0;
    QString textOff, textOn;
    std::uint8_t borderStyle = 0, spare = 0, block = 0, pin = 0;
    int top() const { return topField & 511; }
    bool isStateText() const { return topField > 511; }
    int stateNumber() const { return topField / 1024 - 1; }
};

struct LevelRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0, width = 0, height = 0;
    std::int32_t fullScale = 0, colourA = 0, colourB = 0;
    std::uint8_t levelMode = 0, block = 0, pin = 0;
};

struct GoBlockRec {
    std::int16_t present = 0;
    std::int16_t x = 0, y = 0, target = 0, targetPin = 0;
};

struct ContourRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0, width = 0, height = 0;
    std::int32_t borderColor = 0;
    std::int16_t shape = 0, borderWidth = 0;
};

struct EquipmentRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0, width = 0, height = 0;
    std::int32_t equipmentKind = 0;
    std::uint8_t block = 0, pin = 0;
};

struct TextRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0;
    std::int32_t foreColor = 0;
    QString caption, fontName;
    std::int16_t fontBold = 0, fontItalic = 0;
    std::uint8_t fontSize = 0;
};

struct ControlRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0;
    std::uint8_t block = 0, key = 0;
    QString text;
    std::int16_t width = 0, height = 0;
    std::uint8_t picture = 0;
};

struct MenuRec {
    std::int16_t present = 0;
    std::int16_t x = 0, y = 0;
    QString text;
    std::uint8_t targetPage = 0;
};

struct TrendIconRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0, width = 0, height = 0;
    std::uint8_t spare = 0;
};

struct ClockRec {
    std::int16_t present = 0;
    std::int16_t left = 0, top = 0;
};

struct NetComponent {
    QString instanceName, typeCode, libraryName;
};

class ProjectModel {
public:
    static constexpr int Pages = pages::Records;         // records for pages 0..8; 0..7 are on screen
    static constexpr int Slots = pages::Slots;           // slots 0..32
    static constexpr int TextSlots = pages::TextSlots;   // Text_Label_Label slots 0..64
    static constexpr int MenuSlots = pages::MenuSlots;   // menu slots 0..8
    static constexpr int Blocks = block::Last + 1;       // block numbers 1..99 (index 0 unused)
    static constexpr int MaxTokens = 10000;              // netTokens[0..9999]
    static constexpr int ParamCount = 10001;             // blockParams[0..10000]
    static constexpr int TextCount = 10001;              // blockTexts[0..10000]

    template <class R, int N>
    using Table = std::array<std::array<R, N>, Pages>;

    // Header
    double formatVersion = 0;
    std::optional<int> versionCode;   // unset when line 1 is none of 0..5
    QString projectName;
    std::int16_t linkKind = 1;   // 1..8 serial COMn, 9 TCP
    QString ipAddress;
    std::int32_t tcpPort = 0;
    std::int16_t controllerAddress = 1;
    QString netlistPath = QStringLiteral("Пусто");
    std::int16_t linkTimingFactor = 1;   // 1 serial, 10 TCP
    std::array<QString, 16> pagePicture;
    std::array<std::uint8_t, Pages> pageEnabled{};
    std::array<std::int16_t, 5> schemaSetting{0, 1, 0, 1, 0};   // [1..4]

    // Element tables
    Table<ValueLabelRec, Slots> valueLabels;
    Table<SignalRec, Slots> signals;
    Table<SignalTextRec, Slots> signalTexts;
    Table<LevelRec, Slots> levels;
    Table<GoBlockRec, Slots> goBlocks;
    Table<ContourRec, Slots> contours;
    Table<EquipmentRec, Slots> equipment;
    Table<TextRec, TextSlots> texts;
    Table<ControlRec, Slots> controls;
    Table<MenuRec, MenuSlots> menus;
    std::array<TrendIconRec, Pages> trendIcons;   // record k lives on page k-1
    std::array<ClockRec, Pages> clocks;           // record k lives on page k-1
    std::array<std::array<std::int16_t, Slots>, Pages> equipmentState{};

    // Blocks
    std::array<std::int16_t, Blocks> blockType{};   // [1..99], 0 = no block
    std::int16_t reportMode = 0;

    // Netlist tokens and what the import makes of them
    std::vector<QString> netTokens;               // netTokens[0..]
    int netTokenCount = 0;                        // stored tokens + 1
    bool netTokensOverflow = false;               // the netlist held more tokens than the table
    std::array<NetComponent, 101> netComponent;   // [1..100]
    std::array<int, 101> attrTokenIndex{};        // [1..100], 1-based token index
    std::vector<float> blockParams = std::vector<float>(ParamCount, 0.0f);
    std::array<int, 101> blockParamBase{};   // [1..100]
    std::vector<QString> blockTexts = std::vector<QString>(TextCount);
    std::array<int, 101> blockTextBase{};   // [1..100]
    int textTotal = 0;
    int Event_Base = 0;   // blockTexts index of journal event 0's name

    // Run state
    std::uint8_t projectLoaded = 0;
    std::int16_t currentPage = 0;

    // Setting k / text k of block n through the catalogue's slot tables: blockSetting() and
    // blockText() in project/NetlistImport.h.
};
