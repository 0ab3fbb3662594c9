#pragma once
// Page numbers shared by the archives and the mimic page geometry.
#include <cstdint>

namespace archive {
// `Graf_Page` / `Jurnal_Page` asking for the page the controller is writing now.
constexpr std::int16_t CurrentPage = 200;
constexpr int TrendPages = 102;    // trend archive pages 0..101
constexpr int JournalPages = 32;   // journal pages 0..31
}   // namespace archive

namespace pages {
constexpr int OnScreen = 8;             // mimic pages 0..7 are shown
constexpr int Records = OnScreen + 1;   // the project file holds records for pages 0..8
constexpr int Slots = 33;               // element slots 0..32 of a page
constexpr int LastSlot = Slots - 1;     // the slots elements use are 1..32
constexpr int SlotStride = 32;          // control array index: slot + 32 * page
constexpr int TextSlots = 65;           // text slots 0..64
constexpr int TextStride = 64;          // slot + 64 * page
constexpr int MenuSlots = 9;            // menu slots 0..8
constexpr int MenuStride = 8;           // slot + 8 * page
}   // namespace pages
