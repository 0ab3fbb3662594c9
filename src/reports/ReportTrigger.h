#pragma once
// The polling cycle's listener as the station wires it when reports are built in: every call
// goes on to the pages' listener, and the automatic report start is answered from the report
// settings (`Rep_TriggerElement`) and handed to `start` — so the pages need not know reports.
//
// A report starts when the trigger's state turns non-zero, not for as long as it stays so: a
// controller that keeps its "report ready" state up after the download would otherwise have
// the report fetched again at every polling cycle, with the pages frozen in between.
#include "reports/ReportStation.h"
#include "link/PollListener.h"
#include <algorithm>
#include <functional>

class ReportTriggerListener : public PollListener {
public:
    ReportTriggerListener(ConstReportStation station, PollListener &pages, std::function<void()> start)
        : station_(station), pages_(pages), start_(std::move(start))
    {
    }

    void applyValue(ElementKind kind, int slot, std::int32_t value) override
    {
        if (kind == ElementKind::Text_Signal_Picture && slot == reportTriggerElement() + 1) {
            // The memory belongs to one element on one page: another trigger element (a .rep
            // loaded) or another page starts it afresh, so that its first rise counts.
            const int page = station_.project.currentPage;
            if (page != page_ || slot != slot_) {
                page_ = page;
                slot_ = slot;
                last_ = 0;
            }
            previous_ = last_;
            last_ = value;
        }
        pages_.applyValue(kind, slot, value);
    }
    void inspectorOutput(int index, const QString &text) override { pages_.inspectorOutput(index, text); }
    void inspectorInput(int index, const QString &text) override { pages_.inspectorInput(index, text); }
    void alarmWord(const std::array<std::uint8_t, 4> &bytes) override { pages_.alarmWord(bytes); }
    void crcMismatch() override { pages_.crcMismatch(); }
    void linkAnswering(bool answering) override { pages_.linkAnswering(answering); }

    void reportTrigger() override
    {
        pages_.reportTrigger();
        if (previous_ == 0 && start_)
            start_();
    }
    int reportTriggerElement() const override { return std::clamp<int>(station_.report.Rep_TriggerElement, 0, 31); }

private:
    ConstReportStation station_;
    PollListener &pages_;
    std::function<void()> start_;
    // The trigger's state in the last two cycles, on the page and slot it was seen on.
    int page_ = -1;
    int slot_ = -1;
    std::int32_t previous_ = 0;
    std::int32_t last_ = 0;
};
