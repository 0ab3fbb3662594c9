#pragma once
// Where the polling cycle's decoded values go. The main window implements it with the mimic
// pages, the block inspector and the alarm check; tests implement it by recording.
#include "project/ProjectModel.h"
#include <QString>
#include <array>
#include <cstdint>

class PollListener {
public:
    virtual ~PollListener() = default;

    // A value for slot 1..32 of the page on show. For Parametr_Label and Level_Picture `value`
    // is the signed reading in thousandths; for Signal_Picture, Text_Signal_Picture and
    // Control_Image it is the state byte.
    virtual void applyValue(ElementKind kind, int slot, std::int32_t value) = 0;

    // Block inspector boxes: entry 0..31 of Output_DATA / Input_DATA.
    virtual void inspectorOutput(int index, const QString &text) = 0;
    virtual void inspectorInput(int index, const QString &text) = 0;

    // The journal block's alarm word: answer bytes 4..7 of the alarm request.
    virtual void alarmWord(const std::array<std::uint8_t, 4> &bytes) = 0;

    // A plain two-text element on a report block asked for an automatic report download.
    virtual void reportTrigger() {}
    // The report settings' trigger element number minus 1 (0..31): the state text whose
    // non-zero state makes the cycle call reportTrigger().
    virtual int reportTriggerElement() const { return 0; }

    // An answer failed its CRC check (the operator hears a beep).
    virtual void crcMismatch() {}

    // The link answered (true) or a full cycle passed without a good answer (false).
    virtual void linkAnswering(bool) {}
};

// The controller's thousandths as the operator reads them: the shortest decimal text of
// v / 1000 ("-1", "0.5", "12.345").
inline QString valueText(std::int32_t v) { return QString::number(static_cast<double>(v) / 1000.0, 'g', 12); }
