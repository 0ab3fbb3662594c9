#pragma once
// The trend image a download assembles and its decoding walk, as pure functions.
//
// Image (7872 bytes, offsets from 0): 1920 value words of 4 bytes, least significant byte first
// (word i = sample i / 4, channel i % 4); 8 time stamps of 6 bytes at 7698 (hour, minute,
// second, two-digit year, month, day; stamp k belongs to sample 60 k); the archive index of the
// page being filled at 7798; line width minus 1 at 7799; palette indexes of the 4 channel
// colours at 7800; valid samples of the current page at 7804 (high byte first); the page
// delivered after a find-by-date at 7806; the parameter numbers of 8 groups x 4 channels at 7808.
#include <QByteArrayView>
#include "app/Pages.h"
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace trend {

constexpr int ImageBytes = 7872;
constexpr int Packets = 32;
constexpr int PacketBytes = 246;
constexpr int Channels = 4;
constexpr int Samples = 480;
constexpr int Groups = 8;
constexpr int CurrentPage = archive::CurrentPage;
constexpr int StampEvery = 60;
constexpr int Stamps = 8;
constexpr int PaletteSize = 21;

constexpr int StampsAt = 7698;
constexpr int CurrentIndexAt = 7798;
constexpr int LineWidthAt = 7799;
constexpr int PaletteAt = 7800;
constexpr int SampleCountAt = 7804;
constexpr int DeliveredPageAt = 7806;
constexpr int ParamNumbersAt = 7808;

// The trend window's colour table (0x00BBGGRR): entries 0..16, entries 17..20 stay 0.
std::array<std::int32_t, PaletteSize> palette();

// One time stamp as the image holds it.
struct Stamp {
    int hour = 0, minute = 0, second = 0, year = 0, month = 0, day = 0;
};

// A text of a time label at its place on the trend window (font size 8).
struct LabelText {
    int x = 0;
    int y = 0;
    std::int32_t colour = 0;   // 0x00BBGGRR
    QString text;
};

// Time label k of a decoded page, drawn at X = 60 k + 150. Label 0 also carries the date.
struct TimeLabel {
    int k = 0;
    int x = 0;
    Stamp stamp;
    // The texts to draw: for k = 0 the date (black, Y 438: day + "/" at X, month + "/" at
    // X + 18, a year of 10 or more as numeric output at X + 30, below 10 as "0" + digit at
    // X + 36), then the time (blue 0xFF0000, Y 425: hour + ":" at X, minute + ":" at X + 18,
    // the second placed like the year).
    std::vector<LabelText> texts() const;
    // What the label adds to `Graf_TimeText`: for k = 0 the 9-character date "dd/mm/yy ", then
    // the 10-character time "hh:mm:ss  ".
    QString timeText() const;
};

// What a completed download decodes to: the trend state fields it sets.
struct TrendPage {
    std::int16_t page = CurrentPage;                          // `Graf_Page` after the walk
    std::uint8_t currentPage = 0;                             // `Graf_CurrentPage`
    std::int16_t sampleCount = 0;                             // `Graf_SampleCount`
    std::array<std::array<float, 481>, 4> values{};           // `Graf_Values`
    std::array<std::int16_t, 33> paramNo{};                   // `Graf_ParamNo`
    std::array<std::int32_t, 7> style{1, 0, 0, 0, 0, 0, 0};   // `Graf_Style`
    QString timeText;                                         // `Graf_TimeText`
};

// The events of the walk, in order.
struct WalkEvents {
    // A time label was reached (drawn on the window).
    std::function<void(const TimeLabel &)> label;
    // The chart is to be drawn from the page as it stands now (`DRAW_GRAFIK_1_4`).
    std::function<void(const TrendPage &)> draw;
};

// The decoding walk over a complete image. `page` starts as the state before the download
// (its values, parameter numbers and style are what the walk leaves alone); `findState` is
// `Find_State` (>= 1: the page comes from the image's page byte); `palette` is `Graf_Palette`.
//
// Values are cleared, the parameter numbers taken, then the 1920 words walked in order
// (channel fastest): a value within +-0.0001 becomes 0; a word is stored while (s < sample
// count and page 200) or page < 103, the first word not stored ends the walk. The chart is
// drawn when s reaches sample count - 1 (before that sample is stored); a walk that stores the
// whole page without reaching that point draws it at its end. An archive page (page < 103)
// is drawn at the end of the walk, once all its samples are stored. The sample count is read
// unsigned (0..65535) and kept in the page as at most 32767.
// A palette index above 20 leaves that channel's colour unchanged.
// An image shorter than ImageBytes is read as if padded with zeros.
void walk(QByteArrayView image, int findState, const std::array<std::int32_t, PaletteSize> &palette, TrendPage &page,
          const WalkEvents &events = {});

// The count of valid samples on the current page, as the image holds it (0..65535).
int sampleCountOf(QByteArrayView image);

// Why a completed image cannot be the page asked for, or empty when it can. Answers carry no
// packet number, so an answer taken for the wrong packet shows only in the assembled image:
// its page byte then names another page than the one asked for (for a find the controller
// chooses, so any page goes), or a time stamp the walk reaches is no date and time, or stamps
// run backwards (more than the hour a clock is set back at the end of summer time; a
// two-digit year may pass from 99 to 00). A stamp of all zeros is a time not recorded and may
// only be followed by such stamps. `findState` is `Find_State`, `requestedPage` `Graf_Page`.
QString imageFault(QByteArrayView image, int findState, int requestedPage);

// Trend packet request without CRC: address, 70, packet, 98 (the trend block), group, page.
QByteArray packetRequest(std::uint8_t address, int packet, int group, int page);
// Find-by-date request without CRC: address, 76, hour, day, month, two-digit year.
QByteArray findRequest(std::uint8_t address, int hour, int day, int month, int year);

// A trend answer is 251 bytes; its CRC (bytes 249, 250 counted from 1, high byte first) covers
// bytes 1..246; bytes 3..248 are the packet's image bytes.
constexpr int AnswerBytes = 251;
constexpr int AnswerCovered = 246;
bool answerGood(QByteArrayView answer);

}   // namespace trend
