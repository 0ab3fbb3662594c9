#pragma once
// The station context: everything the original program kept process-wide, in one object that
// main() creates and the main window owns and passes by reference. No globals.
#include "app/BlockCatalogue.h"
#include "app/Pages.h"
#include "project/ProjectModel.h"
#include <QVariant>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

// Panel key waiting to be sent by the polling cycle's key request.
struct PendingKey {
    std::uint8_t block = 0;
    std::uint8_t code = 0;
    int elementIndex = 0;                       // index of the last pressed Control_Image
    std::array<std::uint8_t, 4> position{};     // left lo, left hi, top lo, top hi
};

// Set-point write carried in the tail of the step-1 request until acknowledged.
struct PendingWrite {
    std::int16_t flag = 0;                      // 1 = pending
    std::uint8_t block = 0;
    std::uint8_t pin = 0;
    float value = 0.0f;
    std::array<std::uint8_t, 4> bytes{};        // encoded value last sent
};

struct Station {
    BlockCatalogue catalogue;
    ProjectModel project;

    std::uint8_t Sound_On = 1;
    PendingKey key;
    PendingWrite write;

    // Receive image, 1-based: answer byte k lands at index k (0..30005).
    std::vector<std::uint8_t> Graf_Image = std::vector<std::uint8_t>(30006, 0);

    // Polling cycle
    std::uint8_t pollStep = 0;
    std::uint8_t linkFault = 0;
    std::int16_t Rep_Mode = 0;
    bool downloadStarted = false;               // cleared by the project loader

    // Block inspector
    int inspectedBlock = 0;
    bool inspectorVisible = false;
    int inspectorBlockType = 1;                 // selects the inspector's block picture

    // Download requests raised by pages and menus, taken by the polling cycle's wrap
    std::int16_t Find_State = 0;
    std::int16_t Graf_PageCount = 0;
    std::int16_t Graf_Group = 0;
    std::int16_t Jurnal_Request = 0;
    std::int16_t Jurnal_Find = 0;
    std::int16_t Jurnal_Page = archive::CurrentPage;   // or 0..31 = that page
    bool SendPending = false;

    // Trend state, shared by the trend download, chart, file and export
    std::int16_t Graf_Page = archive::CurrentPage;     // or 0..101 = archive page
    std::int16_t Graf_Ticks = 0;
    std::uint8_t Graf_CurrentPage = 0;
    std::int16_t Graf_SampleCount = 0;
    std::array<std::array<float, 481>, 4> Graf_Values{};   // channel by sample
    std::array<std::int16_t, 33> Graf_ParamNo{};
    std::array<std::int32_t, 7> Graf_Style{1, 0, 0, 0, 0, 0, 0};   // entry 0 = curve line width
    std::array<std::int32_t, 21> Graf_Palette{};
    QString Graf_TimeText;

    // Report download and report settings (the .rep file)
    static constexpr int RepRows = 800, RepColumns = 32;
    std::int16_t Rep_PacketNo = 0;              // next packet 0..3
    std::int16_t Rep_ParamNo = 0;               // next table column to fill, 0..15
    std::int16_t Rep_FirstPending = 0;          // 1 from a packet request until it is taken
    // Row index first; column 0 date text, 1 time text, 2..17 parameters 1..16.
    std::vector<std::array<QVariant, RepColumns>> Rep_Table =
        std::vector<std::array<QVariant, RepColumns>>(RepRows);
    std::array<QString, 17> Rep_Names;          // 0 = report title, 1..16 parameter names
    std::int16_t Rep_Precision = 0;             // 0..3 decimals of the export
    std::int16_t Rep_TriggerElement = 0;        // state text number - 1 that starts a download
    // Link number of the loaded .rep, 1..9: the report's serial port only (the live link is the
    // project's); 0 until one is loaded, and again after a project load: the link kind's port.
    std::int16_t Rep_LinkNo = 0;
    bool Rep_Archive = true;                    // "&Архів": export without opening the workbook

    // Journal state, shared by the journal download, window, file, export and printing
    std::uint8_t Jurnal_State = 0;              // 0 send, 1 wait, 2 read
    std::array<std::uint8_t, 331> Jurnal_Buf{}; // answer byte k at position k (1..330)
    std::uint16_t Jurnal_Pointer = 0;           // the controller's write position, in bytes
    std::int16_t Jurnal_Cur_Rec = 1;            // grid row to highlight, 1..32
    std::int16_t Find_Hour = 0, Find_Day = 1, Find_Month = 1, Find_Year = 19;
    // Live alarms: flags of the last poll (byte 0 = events 24..31) and those already announced
    std::array<std::uint8_t, 4> Alarm_Bits{};
    std::array<std::uint8_t, 4> Alarm_Shown{};
    std::int16_t Alarm_Lines = 0;

    // Serial devices of COM1..COM9 given on the command line or by TABLO_COMn (COM9: the
    // report port of a project on TCP).
    std::map<int, QString> comDevices;
    // The device of COMn: its mapping, else /dev/ttyS(n-1).
    QString comDevice(int n) const
    {
        const auto it = comDevices.find(n);
        return it != comDevices.end() ? it->second : QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
};
