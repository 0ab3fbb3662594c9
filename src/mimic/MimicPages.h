#pragma once
// The SCADA view of the main window: the tab control SCADA_SSTab with the eight 800 x 480 page
// canvases SCADA_Picture(p) and every element of a loaded project on them, the block schema
// that replaces the tabs on mnuSchema, the block inspector, and the animation of the machinery
// on the page on show.
//
// The project loader drives it through ProjectView; the polling cycle through PollListener.
// Everything the main window owns (timers, key repeat, clock, the set-point dialog, trend and
// journal windows) is reached through the signals below, so this class needs none of them.
#include "animation/Artwork.h"
#include "app/Clock.h"
#include "animation/MechanismAnimation.h"
#include "link/PollListener.h"
#include "mimic/ValueFreshness.h"
#include "project/ProjectView.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class BlockInspector;
class BlockSchemaView;
class ElementLabel;
class EquipmentElement;
class QDateTime;
class QLabel;
class QTabBar;
#include "mimic/MimicStation.h"

class MimicPages : public QWidget, public ProjectView, public PollListener {
    Q_OBJECT
public:
    // Creates a display control by its programmatic identifier ("Signal_Q7.Signal",
    // "Contour1.Contour") with the given parent; nullptr when it cannot (the element is skipped).
    using ControlFactory = std::function<QWidget *(const QString &progId, QWidget *parent)>;

    MimicPages(MimicStation station, ControlFactory controls, QWidget *parent = nullptr);
    ~MimicPages() override;

    // The archive downloads a navigation label asks for, as the archives' own request
    // functions: `trend` asks for the current page of a group and says whether it was taken
    // (not while another page is to come), `journal` for the journal's current page.
    struct ArchiveRequests {
        std::function<bool(int group)> trend;
        std::function<void()> journal;
    };
    void setArchiveRequests(ArchiveRequests requests) { requests_ = std::move(requests); }

    // ProjectView
    void removeElements() override;
    bool setupPage(int p, const QString &caption, const QString &picturePath, bool visible) override;
    void setPageColour(int p, std::int32_t colour) override;
    void selectPage(int p) override;
    void createElement(ElementKind kind, int page, int slot, const ProjectModel &model) override;
    void activatePage() override;

    // PollListener: element values and inspector boxes are shown here; the alarm word, the
    // report trigger, CRC mismatches and the link state leave as signals.
    void applyValue(ElementKind kind, int slot, std::int32_t value) override;
    void inspectorOutput(int index, const QString &text) override;
    void inspectorInput(int index, const QString &text) override;
    void alarmWord(const std::array<std::uint8_t, 4> &bytes) override;
    void reportTrigger() override;
    void crcMismatch() override;
    void linkAnswering(bool answering) override;

    // Menu "&Вид": the block schema instead of the tabs, and back (page activation).
    void mnuSchema_Click();
    void mnuSCADA_Click();
    // Draw the schema (also after the project settings dialog's Ok).
    void drawSchema();

    // Element events (also reachable by clicks on the widgets).
    void Block_IMAGE_Click(int index);
    void Go_Block_Label_Click(int index);
    void Menu_Image_Click(int index);
    void Menu_Text_Click(int index);
    void Control_Image_MouseDown(int index);
    void Control_Image_MouseUp(int index);

    // Animation ticks: connect the main window's Timer_Vent (70 ms) and Timer_Transport45
    // (10 ms, one run per start) to these. A Timer_Vent tick that needs the inclined conveyors
    // emits startTransport45().
    void Timer_Vent_Timer();
    void Timer_Transport45_Timer();

    // Values that tell their age. A value label, state symbol, state text, level bar or switch
    // picture of the page on show whose value has not arrived since the page was shown, or is
    // older than staleAfter() ms, is greyed and hatched until its next value; its tooltip says
    // when its value last arrived. The clock gives milliseconds since the epoch (default: the
    // wall clock; it must outlive the pages); checkFreshness() runs on every Timer_Vent tick and
    // when the link falls silent.
    void setClock(const Clock &clock);
    void setStaleAfter(int ms);
    int staleAfter() const { return staleAfterMs_; }
    void checkFreshness();
    // Whether the element (kind, page, slot) is drawn as not current; false for elements that
    // show no value.
    bool isStale(ElementKind kind, int page, int slot) const;
    // The age line of the element's tooltip; empty for elements that show no value.
    QString valueAgeText(ElementKind kind, int page, int slot) const;

    // Clock of the page on show: Real_Clock "hh:mm" and Real_Time "dd.mm.yy".
    void showClock(const QDateTime &now);
    QLabel *Real_Clock(int k) const;   // record k = 1..8 (page k - 1)
    QLabel *Real_Time(int k) const;

    // Widgets, for the main window's layout and for tests.
    QWidget *SCADA_SSTab() const { return tabControl_; }
    QTabBar *tabBar() const { return tabBar_; }
    QWidget *SCADA_Picture(int p) const;
    BlockSchemaView *schema() const { return schema_; }
    BlockInspector *inspector() const { return inspector_; }
    const Artwork &artwork() const { return art_; }
    bool pageShown(int p) const;
    // The widget of element (kind, page, slot); part 1 is the second widget of two-part kinds
    // (Level_Picture_1, Motor/Krylcatka, Menu_Text, Real_Time). nullptr when there is none.
    QWidget *element(ElementKind kind, int page, int slot, int part = 0) const;
    // Number of widgets the current project's elements own.
    int elementWidgetCount() const;

Q_SIGNALS:
    // The page on show changed (tab click, navigation, menu item); currentPage is already set.
    void pageChanged(int page);
    // Control_Image mouse press and release: the control array index, the page on show and the
    // record slot (index AND 31, 32 for 0). Connect to the main window's key repeat.
    void controlPressed(int index, int page, int slot);
    void controlReleased(int index, int page, int slot);
    // A navigation label asks for the set-point dialog of block `block`, pin `pin`. `startText`
    // is the caption of the value label under the navigation label, empty when there is none
    // (the dialog then keeps its own initial text).
    void setPointRequested(int block, int pin, const QString &startText);
    // A navigation label requested a trend download of `group` and the request was taken; the
    // trend window is to be shown on the current page.
    void trendRequested(int group);
    // A navigation label requested the journal's current page; the journal window is to be
    // shown.
    void journalRequested();
    // The block inspector opened for a block / closed.
    void inspectorOpened(int block);
    void inspectorClosed();
    // A Timer_Vent tick wants Timer_Transport45 started.
    void startTransport45();
    // Clock labels of record k were created (the main window's Timer1 updates them).
    void clockCreated(int k, QLabel *clock, QLabel *date);
    // removeElements() ran: every element widget is gone.
    void elementsRemoved();
    // Poll listener calls that belong to other windows.
    void alarmWordReceived(const std::array<std::uint8_t, 4> &bytes);
    void reportTriggerRequested();
    void crcMismatchOccurred();
    void linkAnsweringChanged(bool answering);

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Elements;
    struct Page;

    void onTabChanged(int index);
    void showScadaView();
    void createValueLabel(int page, int slot, const ValueLabelRec &r);
    void createSignal(int page, int slot, const SignalRec &r);
    void createSignalText(int page, int slot, const SignalTextRec &r);
    void createLevel(int page, int slot, const LevelRec &r);
    void createGoBlock(int page, int slot, const GoBlockRec &r);
    void createContour(int page, int slot, const ContourRec &r);
    void createEquipment(int page, int slot, const EquipmentRec &r);
    void createText(int page, int slot, const TextRec &r);
    void createTrendIcon(int page, int k, const TrendIconRec &r);
    void createClock(int page, int k, const ClockRec &r);
    void createControl(int page, int slot, const ControlRec &r);
    void createMenu(int page, int slot, const MenuRec &r);
    void resetValueLabelCaptions(int page);
    void openInspector(int block);
    std::array<std::int32_t, anim::MechanismAnimation::Slots> equipmentKinds(int page) const;
    void showFrames(int page, const anim::MechanismAnimation::Frames &frames);
    // Freshness of the elements that show values.
    template <class F>
    void forEachPart(ElementKind kind, int page, int slot, F &&f) const;
    void trackValueElement(ElementKind kind, int page, int slot);
    void showMarked(int page, const std::vector<mimic::ValueFreshness::Element> &newlyMarked);
    void markPageStale(int page);
    void collectStale(int page, std::vector<QRect> &out) const;

    MimicStation station_;
    ArchiveRequests requests_;
    ControlFactory controls_;
    Artwork art_;
    anim::MechanismAnimation animation_;

    QWidget *tabControl_ = nullptr;
    QTabBar *tabBar_ = nullptr;
    std::vector<std::unique_ptr<Page>> pages_;
    BlockSchemaView *schema_ = nullptr;
    BlockInspector *inspector_ = nullptr;
    std::unique_ptr<Elements> elements_;
    bool selecting_ = false;
    mimic::ValueFreshness freshness_;
    const Clock *clock_;
    int staleAfterMs_;
};
