#pragma once
// State of the polling cycle and of what it sends: the panel key, the set-point write, the
// receive image and the link to the controller's archives.
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

// Panel key waiting to be sent by the polling cycle's key request.
struct PendingKey {
    std::uint8_t block = 0;
    std::uint8_t code = 0;
    int elementIndex = 0;                     // index of the last pressed Control_Image
    std::array<std::uint8_t, 4> position{};   // left lo, left hi, top lo, top hi
};

// Set-point write carried in the tail of the step-1 request until acknowledged.
struct PendingWrite {
    std::int16_t flag = 0;   // 1 = pending
    std::uint8_t block = 0;
    std::uint8_t pin = 0;
    float value = 0.0f;
    std::array<std::uint8_t, 4> bytes{};   // encoded value last sent
};

struct PollState {
    // Receive image, 1-based: answer byte k lands at index k (0..30005).
    std::vector<std::uint8_t> Graf_Image = std::vector<std::uint8_t>(30006, 0);

    std::uint8_t pollStep = 0;
    std::uint8_t linkFault = 0;
    std::int16_t Rep_Mode = 0;      // 1 while the report download owns the link
    bool downloadStarted = false;   // cleared by the project loader
    bool SendPending = false;       // an archive download holds the link

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

// The block inspector: which block the polling cycle reads for it, and its picture.
struct InspectorState {
    int inspectedBlock = 0;
    bool inspectorVisible = false;
    int inspectorBlockType = 1;   // selects the inspector's block picture
};
