#pragma once
// Report download and report settings (the .rep file).
#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <vector>

struct ReportState {
    static constexpr int RepRows = 800, RepColumns = 32;
    std::int16_t Rep_PacketNo = 0;       // next packet 0..3
    std::int16_t Rep_ParamNo = 0;        // next table column to fill, 0..15
    std::int16_t Rep_FirstPending = 0;   // 1 from a packet request until it is taken
    // Row index first; column 0 date text, 1 time text, 2..17 parameters 1..16.
    std::vector<std::array<QVariant, RepColumns>> Rep_Table = std::vector<std::array<QVariant, RepColumns>>(RepRows);
    std::array<QString, 17> Rep_Names;     // 0 = report title, 1..16 parameter names
    std::int16_t Rep_Precision = 0;        // 0..3 decimals of the export
    std::int16_t Rep_TriggerElement = 0;   // state text number - 1 that starts a download
    // Link number of the loaded .rep, 1..9: the report's serial port only (the live link is the
    // project's); 0 until one is loaded, and again after a project load: the link kind's port.
    std::int16_t Rep_LinkNo = 0;
    bool Rep_Archive = true;   // "&Архів": export without opening the workbook
};
