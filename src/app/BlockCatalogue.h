#pragma once
// The constant catalogue of the controller's 50 function-block types: codes, pin bounds,
// settings counts, pin labels, analog sensor names and the settings/text slot tables.
// Built once at start-up; read-only afterwards except settingsLines(50), extraSettingsLines(5)
// (set by the project reader per file version) and the paramSlot columns of types 29 and 38
// (rewritten by the netlist import).
#include "app/Blocks.h"
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class BlockCatalogue {
public:
    static constexpr int TypeCount = block::TypeCount;
    static constexpr int SlotRows = 133;   // setting number k = 0..132
    static constexpr int SlotCols = 51;    // type number t = 0..50

    BlockCatalogue();   // fills every table

    // t = 1..50; out-of-range t gives "" / 0 / blank labels, never UB.
    QString codeOf(int t) const;
    std::optional<int> typeOf(const QString &code) const;   // smallest t with that code
    int maxOutputPin(int t) const;
    int maxInputPin(int t) const;
    int settingsLines(int t) const;
    int extraSettingsLines(int t) const;
    void setSettingsLines(int t, int n);   // the project reader's version adjustments
    void setExtraSettingsLines(int t, int n);

    // Default labels, exactly 12 characters each; blank = 12 spaces. Types without a row
    // (45, 48, 49, 50, NO_) give blank labels.
    QString outputLabel(int t, int pin) const;
    QString inputLabel(int t, int pin) const;
    bool hasDefaultLabels(int t) const;   // false for 49, 50 (no row at all)

    // Mode tables: nullopt when the type/mode is not listed or pin is outside 0..7; a listed
    // mode with fewer than eight labels gives blank labels for the remaining pins.
    std::optional<QString> modeOutputLabel(int t, int mode, int pin) const;
    std::optional<QString> modeInputLabel(int t, int mode, int pin) const;
    bool hasModeOutputLabels(int t, int mode) const;
    bool hasModeInputLabels(int t, int mode) const;

    QString sensorTypeName(int k) const;   // k = 0..15

    // Slot tables; out-of-range indexes read 0 and writes are ignored.
    std::uint8_t paramSlot(int k, int t) const;
    void setParamSlot(int k, int t, std::uint8_t v);
    std::uint8_t textSlot(int k, int t) const;

    static constexpr int PinsPerType = 8;
    static constexpr int LabelWidth = 12;
    static QString blankLabel() { return QString(LabelWidth, QLatin1Char(' ')); }

private:
    struct ModeLabels {
        int type = 0;
        int mode = 0;
        std::array<QString, PinsPerType> labels;
    };
    static const ModeLabels *findMode(const std::vector<ModeLabels> &table, int t, int mode);

    std::array<QString, TypeCount> typeCodes_;
    std::array<int, TypeCount + 1> maxOutputPin_{};
    std::array<int, TypeCount + 1> maxInputPin_{};
    std::array<QString, 48 * PinsPerType> outputLabels_;   // (t - 1) * 8 + pin, types 1..48
    std::array<QString, 48 * PinsPerType> inputLabels_;
    std::vector<ModeLabels> modeOutputLabels_;
    std::vector<ModeLabels> modeInputLabels_;
    std::array<QString, 16> sensorTypes_;
    std::array<int, TypeCount + 1> settingsLines_{};
    std::array<int, TypeCount + 1> extraSettingsLines_{};
    std::array<std::array<std::uint8_t, SlotCols>, SlotRows> paramSlot_{};
    std::array<std::array<std::uint8_t, SlotCols>, SlotRows> textSlot_{};
};
