#include "mimic/MimicPages.h"

#include "animation/EquipmentElement.h"
#include "app/Blocks.h"
#include "app/Colors.h"
#include "app/Pages.h"
#include "mimic/MimicStation.h"
#include "link/SetPoint.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/ElementLabel.h"
#include "mimic/ElementRules.h"
#include "mimic/InspectorLabels.h"
#include "mimic/Navigation.h"
#include "mimic/SchemaLayout.h"
#include "mimic/StaleOverlay.h"
#include "mimic/ValueAge.h"
#include "mimic/ValueFreshness.h"

#include <QDateTime>
#include <QGraphicsColorizeEffect>
#include <QHelpEvent>
#include <QImageReader>
#include <QPainter>
#include <QResizeEvent>
#include <QTabBar>
#include <QToolTip>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <utility>

using mimic::OnScreenPages;

namespace {

constexpr int MaxPictureSide = 4096;   // a page bitmap larger than this is refused
constexpr int ValueLabelDefaultSize = 8;
constexpr int TextDefaultSize = 10;

// A page canvas SCADA_Picture(p): background colour and picture, elements as children.
class PageCanvas : public QWidget {
public:
    explicit PageCanvas(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("SCADA_Picture"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QColor colour = QColor(0xf0, 0xf0, 0xf0);
    QPixmap picture;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), colour);
        if (!picture.isNull())
            p.drawPixmap(0, 0, picture);
    }
};

bool onScreen(int p) { return p >= 0 && p < OnScreenPages; }

void setColours(QWidget *w, std::int32_t fore, std::optional<std::int32_t> back)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colorFromBgr(fore, pal));
    if (back) {
        pal.setColor(QPalette::Window, colorFromBgr(*back, pal));
        w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
}

void setBorder(QLabel *l, int borderStyle)
{
    l->setFrameStyle(borderStyle == 1 ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    l->setLineWidth(1);
}

int pointSizeOr(int size, int fallback) { return size < 1 ? fallback : mimic::usablePointSize(size); }

// The widget's own font at another point size, and weight when given.
void setFontSize(QWidget *w, int pointSize, std::optional<bool> bold = std::nullopt)
{
    QFont f = w->font();
    f.setPointSize(pointSize);
    if (bold)
        f.setBold(*bold);
    w->setFont(f);
}

// A label of an element on a page canvas, named after its control array. ElementLabels report
// mouse events with their control array index.
template <class W>
W *newLabel(QWidget *canvas, const char *name, int index = 0)
{
    W *l = nullptr;
    if constexpr (std::is_same_v<W, ElementLabel>)
        l = new ElementLabel(index, canvas);
    else
        l = new W(canvas);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A state text in the record's font size showing its on or off text.
void showSignalText(QLabel *l, const SignalTextRec &r, bool on)
{
    setFontSize(l, pointSizeOr(r.fontSize, TextDefaultSize));
    l->setText(on ? r.textOn : r.textOff);
    l->adjustSize();
    l->show();
}

// Real_Clock "hh:mm" and Real_Time "dd.MM.yy" of one clock record.
void showTime(QLabel *clock, QLabel *date, const QDateTime &now)
{
    if (clock) {
        clock->setText(now.toString(QStringLiteral("hh:mm")));
        clock->adjustSize();
    }
    if (date) {
        date->setText(now.toString(QStringLiteral("dd.MM.yy")));
        date->adjustSize();
    }
}

// The widget of an element entry: deleted with the entry, null once something else deleted it.
template <class W>
class Owned {
public:
    Owned() = default;
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() { delete p_.data(); }
    Owned &operator=(W *w)
    {
        p_ = w;
        return *this;
    }
    W *operator->() const { return p_.data(); }
    operator W *() const { return p_.data(); }

private:
    QPointer<W> p_;
};

// The widget property that leads a tooltip request back to its element:
// kind · 4096 + page · 64 + slot.
const char *const ValueElementProperty = "valueElement";

// Not current: greyed (the hatch comes from the page's overlay).
void setMarkedLook(QWidget *w, bool on)
{
    if (!w)
        return;
    if (!on) {
        w->setGraphicsEffect(nullptr);
        return;
    }
    auto *grey = new QGraphicsColorizeEffect;
    grey->setColor(QColor(128, 128, 128));
    grey->setStrength(1.0);
    w->setGraphicsEffect(grey);
}

// Entries of the kinds that have one widget.
template <class W>
struct OneWidget {
    Owned<W> w;
    std::array<QWidget *, 1> parts() const { return {w}; }
};

}   // namespace

struct MimicPages::Page {
    PageCanvas *canvas = nullptr;
    StaleOverlay *overlay = nullptr;
    bool shown = true;
};

// The control arrays of the elements, indexed like the original program's (slot + 32 x page
// and so on); an entry exists while its element does.
struct MimicPages::Elements {
    static constexpr int SlotIndexes = pages::SlotStride * (OnScreenPages - 1) + pages::Slots;       // 0..256
    static constexpr int TextIndexes = pages::TextStride * (OnScreenPages - 1) + pages::TextSlots;   // 0..512
    static constexpr int MenuIndexes = pages::MenuStride * (OnScreenPages - 1) + pages::MenuSlots;   // 0..64
    static constexpr int PageRecords = pages::Records;                                               // 0..8

    struct ValueLabel : OneWidget<ElementLabel> {
        ValueLabelRec rec;
        int slot = 0;
    };
    struct Signal : OneWidget<QWidget> {
        SignalRec rec;
    };
    struct SignalText : OneWidget<QLabel> {
        SignalTextRec rec;
    };
    struct Level {
        Owned<QLabel> frame, cover;
        LevelRec rec;
        QRect box;
        std::array<QWidget *, 2> parts() const { return {frame, cover}; }
    };
    using GoBlock = OneWidget<ElementLabel>;
    using Contour = OneWidget<QWidget>;
    struct Equipment {
        std::unique_ptr<EquipmentElement> e;
        std::array<QWidget *, 2> parts() const
        {
            if (!e)
                return {nullptr, nullptr};
            return {e->box(), e->inner()};
        }
    };
    using Text = OneWidget<QLabel>;
    using TrendIcon = OneWidget<QLabel>;
    struct Clock {
        Owned<QLabel> clock, date;
        std::array<QWidget *, 2> parts() const { return {clock, date}; }
    };
    struct Control : OneWidget<ElementLabel> {
        ControlRec rec;
    };
    struct Menu {
        Owned<ElementLabel> image, text;
        std::array<QWidget *, 2> parts() const { return {image, text}; }
    };

    template <class T>
    using Array = std::vector<std::optional<T>>;

    Array<ValueLabel> valueLabels = Array<ValueLabel>(SlotIndexes);
    Array<Signal> signals_ = Array<Signal>(SlotIndexes);
    Array<SignalText> signalTexts = Array<SignalText>(SlotIndexes);
    Array<Level> levels = Array<Level>(SlotIndexes);
    Array<GoBlock> goBlocks = Array<GoBlock>(SlotIndexes);
    Array<Contour> contours = Array<Contour>(SlotIndexes);
    Array<Equipment> equipment = Array<Equipment>(SlotIndexes);
    Array<Text> texts = Array<Text>(TextIndexes);
    Array<TrendIcon> trendIcons = Array<TrendIcon>(PageRecords);
    Array<Clock> clocks = Array<Clock>(PageRecords);
    Array<Control> controls = Array<Control>(SlotIndexes);
    Array<Menu> menus = Array<Menu>(MenuIndexes);

    // Calls f with the array of `kind` (of e, an Elements or a const Elements).
    template <class E, class F>
    static void visit(E &e, ElementKind kind, F &&f)
    {
        switch (kind) {
        case ElementKind::Parametr_Label: f(e.valueLabels); break;
        case ElementKind::Signal_Picture: f(e.signals_); break;
        case ElementKind::Text_Signal_Picture: f(e.signalTexts); break;
        case ElementKind::Level_Picture: f(e.levels); break;
        case ElementKind::Go_Block_Label: f(e.goBlocks); break;
        case ElementKind::Contour1: f(e.contours); break;
        case ElementKind::Ventilator_Picture: f(e.equipment); break;
        case ElementKind::Text_Label_Label: f(e.texts); break;
        case ElementKind::Control_Image: f(e.controls); break;
        case ElementKind::Menu_Image: f(e.menus); break;
        case ElementKind::Grafik_Image: f(e.trendIcons); break;
        case ElementKind::Real_Clock: f(e.clocks); break;
        }
    }
    template <class E, class F>
    static void forEachArray(E &e, F &&f)
    {
        for (int k = 0; k <= static_cast<int>(ElementKind::Real_Clock); ++k)
            visit(e, static_cast<ElementKind>(k), f);
    }

    // The entry at `index`, nullptr when there is none (const for a const array).
    template <class A>
    static auto at(A &a, int index) -> decltype(&*a.front())
    {
        if (index < 0 || index >= static_cast<int>(a.size()) || !a[static_cast<std::size_t>(index)])
            return nullptr;
        return &*a[static_cast<std::size_t>(index)];
    }
    // A free entry for a new instance; nullptr when the index is outside the array or already
    // taken (slot 32 of a page and slot 0 of the next share one instance: the first one wins).
    template <class T>
    static T *claim(Array<T> &a, int index)
    {
        if (index < 1 || index >= static_cast<int>(a.size()) || a[static_cast<std::size_t>(index)])
            return nullptr;
        return &a[static_cast<std::size_t>(index)].emplace();
    }
    // An entry with a display control made by `make` on `canvas`, named, placed at `box`, its
    // properties set and shown; nullptr (and no entry) when the entry is taken or no control can
    // be made.
    template <class T>
    static T *claimControl(Array<T> &a, int index, const ControlFactory &make, const QString &progId, QWidget *canvas,
                           const char *name, const QRect &box,
                           std::initializer_list<std::pair<const char *, int>> properties)
    {
        if (!make || at(a, index))
            return nullptr;
        QWidget *w = make(progId, canvas);
        if (!w)
            return nullptr;
        T *item = claim(a, index);
        if (!item) {
            delete w;
            return nullptr;
        }
        item->w = w;
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(box);
        for (const auto &[property, value] : properties)
            w->setProperty(property, value);
        w->show();
        return item;
    }

    // Entries own their widgets: dropping them removes every element from the pages.
    void clear()
    {
        forEachArray(*this, [](auto &a) {
            for (auto &v : a)
                v.reset();
        });
    }

    int widgetCount() const
    {
        int n = 0;
        forEachArray(*this, [&n](const auto &a) {
            for (const auto &v : a)
                if (v)
                    for (const QWidget *w : v->parts())
                        n += w != nullptr;
        });
        return n;
    }
};

MimicPages::MimicPages(MimicStation station, ControlFactory controls, QWidget *parent)
    : QWidget(parent),
      station_(station),
      controls_(std::move(controls)),
      art_(station.catalogue),
      elements_(std::make_unique<Elements>()),
      clock_(&WallClock::instance()),
      staleAfterMs_(mimic::staleAfterForLink(1))
{
    setObjectName(QStringLiteral("MimicPages"));

    tabControl_ = new QWidget(this);
    tabControl_->setObjectName(QStringLiteral("SCADA_SSTab"));
    tabBar_ = new QTabBar(tabControl_);
    tabBar_->setObjectName(QStringLiteral("SCADA_SSTab_tabs"));
    tabBar_->setExpanding(false);
    tabBar_->setDrawBase(true);
    for (int p = 0; p < OnScreenPages; ++p)
        tabBar_->addTab(QStringLiteral("Сторінка ") + QString::number(p + 1));
    const int strip = std::max(21, tabBar_->sizeHint().height());
    tabBar_->setGeometry(0, 0, 803, strip);
    for (int p = 0; p < OnScreenPages; ++p) {
        auto page = std::make_unique<Page>();
        page->canvas = new PageCanvas(tabControl_);
        page->canvas->setGeometry(1, strip, mimic::PageWidth, mimic::PageHeight);
        page->canvas->setVisible(p == 0);
        page->overlay = new StaleOverlay([this, p](std::vector<QRect> &out) { collectStale(p, out); }, page->canvas);
        pages_.push_back(std::move(page));
    }
    tabControl_->setGeometry(1, 1, 803, strip + mimic::PageHeight + 1);
    tabControl_->hide();   // shown once a project has been loaded
    connect(tabBar_, &QTabBar::currentChanged, this, &MimicPages::onTabChanged);

    schema_ = new BlockSchemaView(art_, this);
    schema_->hide();
    connect(schema_, &BlockSchemaView::pictureClicked, this, &MimicPages::Block_IMAGE_Click);

    inspector_ = new BlockInspector(this);
    inspector_->setWindowFlag(Qt::Window);
    connect(inspector_, &BlockInspector::closed, this, [this] {
        station_.inspector.inspectorVisible = false;
        Q_EMIT inspectorClosed();
    });

    setMinimumSize(805, tabControl_->height() + 2);
}

MimicPages::~MimicPages() { elements_->clear(); }

void MimicPages::resizeEvent(QResizeEvent *e)
{
    schema_->setGeometry(rect());
    QWidget::resizeEvent(e);
}

QWidget *MimicPages::SCADA_Picture(int p) const
{
    if (!onScreen(p))
        return nullptr;
    return pages_[static_cast<std::size_t>(p)]->canvas;
}

bool MimicPages::pageShown(int p) const { return onScreen(p) && pages_[static_cast<std::size_t>(p)]->shown; }

// ----- pages ---------------------------------------------------------------------------------

void MimicPages::onTabChanged(int index)
{
    if (!onScreen(index))
        return;
    station_.project.currentPage = static_cast<std::int16_t>(index);
    for (int p = 0; p < OnScreenPages; ++p) {
        const Page &page = *pages_[static_cast<std::size_t>(p)];
        page.canvas->setVisible(p == index && page.shown);
    }
    // Nothing on the page just shown has had a value for it yet.
    markPageStale(index);
    Q_EMIT pageChanged(index);
}

void MimicPages::selectPage(int p)
{
    if (!onScreen(p))
        return;
    if (tabBar_->currentIndex() == p)
        onTabChanged(p);
    else
        tabBar_->setCurrentIndex(p);
}

bool MimicPages::setupPage(int p, const QString &caption, const QString &picturePath, bool visible)
{
    if (!onScreen(p))
        return false;
    Page &page = *pages_[static_cast<std::size_t>(p)];
    page.canvas->picture = QPixmap();
    bool ok = true;
    if (!picturePath.isEmpty()) {
        QImageReader reader(picturePath);
        const QSize size = reader.size();
        QImage img;
        if (size.isValid() && size.width() <= MaxPictureSide && size.height() <= MaxPictureSide)
            img = reader.read();
        if (img.isNull())
            ok = false;
        else
            page.canvas->picture = QPixmap::fromImage(img);
    }
    tabBar_->setTabText(p, ok ? caption : QStringLiteral("Сторінка ") + QString::number(p + 1));
    page.shown = visible;
    page.canvas->setVisible(visible && tabBar_->currentIndex() == p);
    page.canvas->update();
    return ok;
}

void MimicPages::setPageColour(int p, std::int32_t colour)
{
    if (!onScreen(p))
        return;
    Page &page = *pages_[static_cast<std::size_t>(p)];
    page.canvas->colour = colorFromBgr(colour, palette());
    page.shown = true;
    page.canvas->setVisible(tabBar_->currentIndex() == p);
    page.canvas->update();
}

void MimicPages::showScadaView()
{
    schema_->hide();
    tabControl_->show();
}

void MimicPages::activatePage()
{
    showScadaView();
    selectPage(0);
    for (int slot = 0; slot < ProjectModel::Slots; ++slot) {
        if (auto *l = Elements::at(elements_->levels, mimic::arrayIndex(ElementKind::Level_Picture, 0, slot))) {
            if (l->frame)
                l->frame->raise();
            if (l->cover)
                l->cover->raise();
        }
    }
    // Navigation labels and keys are brought to the front when created, but the elements
    // created after them (static texts above all) would lie on their captions and take the
    // click: once the whole project is on the pages, they go to the front again.
    for (const auto &g : elements_->goBlocks)
        if (g && g->w)
            g->w->raise();
    for (const auto &c : elements_->controls)
        if (c && c->w)
            c->w->raise();
    for (const auto &page : pages_)
        page->overlay->raise();   // the hatching stays above the raised elements
    resetValueLabelCaptions(0);
}

void MimicPages::resetValueLabelCaptions(int page)
{
    for (int slot = 0; slot < ProjectModel::Slots; ++slot) {
        auto *v = Elements::at(elements_->valueLabels, mimic::arrayIndex(ElementKind::Parametr_Label, page, slot));
        if (v && v->w)
            v->w->setText(mimic::initialCaption(v->slot, v->rec.digits, v->w->text()));
    }
}

void MimicPages::mnuSchema_Click()
{
    tabControl_->hide();
    drawSchema();
    schema_->setGeometry(rect());
    schema_->show();
    schema_->raise();
}

void MimicPages::mnuSCADA_Click() { activatePage(); }

void MimicPages::drawSchema()
{
    mimic::schema::prepareBlockTypes(station_.project);
    schema_->draw(station_.project);
}

// ----- creation ------------------------------------------------------------------------------

void MimicPages::removeElements()
{
    elements_->clear();
    freshness_.clear();
    for (const auto &page : pages_)
        page->overlay->update();
    Q_EMIT elementsRemoved();
}

int MimicPages::elementWidgetCount() const { return elements_->widgetCount(); }

void MimicPages::createElement(ElementKind kind, int page, int slot, const ProjectModel &m)
{
    if (!onScreen(page))
        return;   // page 8 records (and record 0 of the per-page kinds) have no page to live on
    const auto P = static_cast<std::size_t>(page);
    const bool slotted = slot >= 0 && slot < ProjectModel::Slots;
    const auto I = static_cast<std::size_t>(slot);
    switch (kind) {
    case ElementKind::Parametr_Label:
        if (slotted)
            createValueLabel(page, slot, m.valueLabels[P][I]);
        break;
    case ElementKind::Signal_Picture:
        if (slotted)
            createSignal(page, slot, m.signals[P][I]);
        break;
    case ElementKind::Text_Signal_Picture:
        if (slotted)
            createSignalText(page, slot, m.signalTexts[P][I]);
        break;
    case ElementKind::Level_Picture:
        if (slotted)
            createLevel(page, slot, m.levels[P][I]);
        break;
    case ElementKind::Go_Block_Label:
        if (slotted)
            createGoBlock(page, slot, m.goBlocks[P][I]);
        break;
    case ElementKind::Contour1:
        if (slotted)
            createContour(page, slot, m.contours[P][I]);
        break;
    case ElementKind::Ventilator_Picture:
        if (slotted)
            createEquipment(page, slot, m.equipment[P][I]);
        break;
    case ElementKind::Text_Label_Label:
        if (slot >= 0 && slot < ProjectModel::TextSlots)
            createText(page, slot, m.texts[P][I]);
        break;
    case ElementKind::Control_Image:
        if (slotted)
            createControl(page, slot, m.controls[P][I]);
        break;
    case ElementKind::Menu_Image:
        if (slot >= 0 && slot < ProjectModel::MenuSlots)
            createMenu(page, slot, m.menus[P][I]);
        break;
    case ElementKind::Grafik_Image:
        if (slot >= 1 && slot < ProjectModel::Pages && slot - 1 == page)
            createTrendIcon(page, slot, m.trendIcons[I]);
        break;
    case ElementKind::Real_Clock:
        if (slot >= 1 && slot < ProjectModel::Pages && slot - 1 == page)
            createClock(page, slot, m.clocks[I]);
        break;
    }
}

void MimicPages::createValueLabel(int page, int slot, const ValueLabelRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Parametr_Label, page, slot);
    auto *item = Elements::claim(elements_->valueLabels, index);
    if (!item)
        return;
    item->rec = r;
    item->slot = slot;
    auto *l = newLabel<ElementLabel>(SCADA_Picture(page), "Parametr_Label", index);
    item->w = l;
    l->move(r.left, r.top);
    setColours(l, r.foreColor, r.backColor);
    setBorder(l, r.borderStyle);
    const mimic::LabelFont lf = mimic::valueLabelFont(r.fontSize < 1 ? ValueLabelDefaultSize : r.fontSize);
    setFontSize(l, lf.pointSize, lf.bold);
    l->setText(mimic::initialCaption(slot, r.digits, l->text()));
    l->adjustSize();
    l->show();
    trackValueElement(ElementKind::Parametr_Label, page, slot);
}

void MimicPages::createSignal(int page, int slot, const SignalRec &r)
{
    auto *item = Elements::claimControl(elements_->signals_, mimic::arrayIndex(ElementKind::Signal_Picture, page, slot),
                                        controls_, QStringLiteral("Signal_Q7.Signal"), SCADA_Picture(page),
                                        "Signal_Picture", mimic::signalRect(r),
                                        {{"Type_Signal", mimic::signalType(r)},
                                         {"ForeColor", static_cast<int>(r.colourOff)},
                                         {"Border_Style", static_cast<int>(r.borderStyle)}});
    if (!item)
        return;
    item->rec = r;
    trackValueElement(ElementKind::Signal_Picture, page, slot);
}

void MimicPages::createSignalText(int page, int slot, const SignalTextRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Text_Signal_Picture, page, slot);
    auto *item = Elements::claim(elements_->signalTexts, index);
    if (!item)
        return;
    item->rec = r;
    auto *l = newLabel<QLabel>(SCADA_Picture(page), "Text_Signal_Picture");
    item->w = l;
    l->move(r.left, r.top());
    setColours(l, r.foreColor, r.backColor);
    setBorder(l, r.borderStyle);
    // Until its first state arrives a text shows neither of its states: a two-text element is
    // an empty box as wide as its longer text, a state text stays hidden (several of them share
    // one place).
    setFontSize(l, pointSizeOr(r.fontSize, TextDefaultSize));
    const QFontMetrics fm(l->font());
    const int wide = std::max(fm.horizontalAdvance(r.textOn), fm.horizontalAdvance(r.textOff));
    l->setText(QString());
    l->adjustSize();
    l->resize(std::max(l->width(), wide + 2 * l->frameWidth()),
              std::max(l->height(), fm.height() + 2 * l->frameWidth()));
    l->setVisible(!r.isStateText());
    trackValueElement(ElementKind::Text_Signal_Picture, page, slot);
}

void MimicPages::createLevel(int page, int slot, const LevelRec &r)
{
    auto *item = Elements::claim(elements_->levels, mimic::arrayIndex(ElementKind::Level_Picture, page, slot));
    if (!item)
        return;
    item->rec = r;
    item->box = mimic::elementRect(r.left, r.top, r.width, r.height);
    const bool horizontal = mimic::isHorizontalBar(r);
    auto makeBox = [&](const char *name, std::int32_t colour) {
        auto *b = newLabel<QLabel>(SCADA_Picture(page), name);
        b->setGeometry(item->box);
        setColours(b, colors::Black, colour);
        setBorder(b, r.levelMode & 1);
        return b;
    };
    item->frame = makeBox("Level_Picture", horizontal ? r.colourB : r.colourA);
    item->cover = makeBox("Level_Picture_1", horizontal ? r.colourA : r.colourB);
    item->frame->show();
    item->cover->show();
    trackValueElement(ElementKind::Level_Picture, page, slot);
}

void MimicPages::createGoBlock(int page, int slot, const GoBlockRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Go_Block_Label, page, slot);
    auto *item = Elements::claim(elements_->goBlocks, index);
    if (!item)
        return;
    auto *l = newLabel<ElementLabel>(SCADA_Picture(page), "Go_Block_Label", index);
    item->w = l;
    l->setGeometry(mimic::goBlockRect(r));
    l->setCursor(Qt::PointingHandCursor);
    l->setHoverFrame(true);
    connect(l, &ElementLabel::clicked, this, &MimicPages::Go_Block_Label_Click);
    l->show();
    l->raise();
}

void MimicPages::createContour(int page, int slot, const ContourRec &r)
{
    Elements::claimControl(elements_->contours, mimic::arrayIndex(ElementKind::Contour1, page, slot), controls_,
                           QStringLiteral("Contour1.Contour"), SCADA_Picture(page), "Contour1",
                           mimic::elementRect(r.left, r.top, r.width, r.height),
                           {{"BorderColor", static_cast<int>(r.borderColor)},
                            {"BorderWidth", static_cast<int>(r.borderWidth)},
                            {"Shape", static_cast<int>(r.shape)}});
}

void MimicPages::createEquipment(int page, int slot, const EquipmentRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot);
    if (Elements::at(elements_->equipment, index) || !anim::equipmentKind(r.equipmentKind))
        return;
    auto *item = Elements::claim(elements_->equipment, index);
    if (!item)
        return;
    item->e = EquipmentElement::create(art_, r.equipmentKind, mimic::elementRect(r.left, r.top, r.width, r.height),
                                       SCADA_Picture(page));
}

void MimicPages::createText(int page, int slot, const TextRec &r)
{
    auto *item = Elements::claim(elements_->texts, mimic::arrayIndex(ElementKind::Text_Label_Label, page, slot));
    if (!item)
        return;
    auto *l = newLabel<QLabel>(SCADA_Picture(page), "Text_Label_Label");
    item->w = l;
    // A static text only shows; a click on it belongs to whatever lies beneath.
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->move(r.left, r.top);
    l->setText(r.caption);
    QFont f = l->font();
    if (!r.fontName.trimmed().isEmpty())
        f.setFamily(r.fontName.trimmed());
    f.setBold(r.fontBold != 0);
    f.setItalic(r.fontItalic != 0);
    f.setPointSize(pointSizeOr(r.fontSize, TextDefaultSize));
    l->setFont(f);
    setColours(l, r.foreColor, std::nullopt);
    l->adjustSize();
    l->show();
}

void MimicPages::createTrendIcon(int page, int k, const TrendIconRec &r)
{
    auto *item = Elements::claim(elements_->trendIcons, k);
    if (!item)
        return;
    auto *l = newLabel<QLabel>(SCADA_Picture(page), "Grafik_Image");
    item->w = l;
    l->setScaledContents(true);
    l->setPixmap(art_.trendIcon());
    l->setGeometry(mimic::elementRect(r.left, r.top, r.width, r.height));
    l->show();
}

void MimicPages::createClock(int page, int k, const ClockRec &r)
{
    auto *item = Elements::claim(elements_->clocks, k);
    if (!item)
        return;
    auto make = [&](const char *name, int top) {
        auto *l = newLabel<QLabel>(SCADA_Picture(page), name);
        setFontSize(l, TextDefaultSize, true);
        l->move(r.left, top);
        return l;
    };
    item->clock = make("Real_Clock", r.top);
    item->date = make("Real_Time", r.top + 22);
    showTime(item->clock, item->date, QDateTime::currentDateTime());
    item->clock->show();
    item->date->show();
    Q_EMIT clockCreated(k, item->clock, item->date);
}

void MimicPages::createControl(int page, int slot, const ControlRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Control_Image, page, slot);
    const QPixmap &picture = art_.stopImage(r.picture);
    if (picture.isNull() || Elements::at(elements_->controls, index))
        return;   // a picture number the program has no picture for
    auto *item = Elements::claim(elements_->controls, index);
    if (!item)
        return;
    item->rec = r;
    auto *l = newLabel<ElementLabel>(SCADA_Picture(page), "Control_Image", index);
    item->w = l;
    l->setGeometry(mimic::controlRect(r));
    l->setScaledContents(true);
    // Switches too start with their own picture; the first state read changes it.
    l->setPixmap(picture);
    l->setCursor(Qt::PointingHandCursor);
    if (!r.text.isEmpty())
        l->setToolTip(r.text);
    connect(l, &ElementLabel::pressed, this, &MimicPages::Control_Image_MouseDown);
    connect(l, &ElementLabel::released, this, &MimicPages::Control_Image_MouseUp);
    l->raise();
    l->show();
    // Only a switch whose key has a state pin is read by the polling cycle.
    if (Artwork::isSwitchPicture(r.picture) && r.key <= 127)
        trackValueElement(ElementKind::Control_Image, page, slot);
}

void MimicPages::createMenu(int page, int slot, const MenuRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Menu_Image, page, slot);
    auto *item = Elements::claim(elements_->menus, index);
    if (!item)
        return;
    auto *image = newLabel<ElementLabel>(SCADA_Picture(page), "Menu_Image", index);
    item->image = image;
    image->setPixmap(art_.menuPlate());
    image->setGeometry(QRect(mimic::menuImagePos(r), art_.menuPlate().size()));
    image->setCursor(Qt::PointingHandCursor);
    connect(image, &ElementLabel::clicked, this, &MimicPages::Menu_Image_Click);

    auto *text = newLabel<ElementLabel>(SCADA_Picture(page), "Menu_Text", index);
    item->text = text;
    text->setText(r.text);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setColours(text, colors::Black, colors::White);
    text->setCursor(Qt::PointingHandCursor);
    const int width = std::max(110, text->sizeHint().width() + 6);
    text->setGeometry(QRect(mimic::menuTextPos(r), QSize(width, 20)));
    connect(text, &ElementLabel::clicked, this, &MimicPages::Menu_Text_Click);
    image->show();
    text->show();
}

QWidget *MimicPages::element(ElementKind kind, int page, int slot, int part) const
{
    const int index = mimic::arrayIndex(kind, page, slot);
    QWidget *found = nullptr;
    Elements::visit(*elements_, kind, [&](const auto &a) {
        if (const auto *v = Elements::at(a, index)) {
            const auto parts = v->parts();
            found = part == 0 ? parts.front() : parts.back();
        }
    });
    return found;
}

// ----- live values ---------------------------------------------------------------------------

void MimicPages::applyValue(ElementKind kind, int slot, std::int32_t v)
{
    const int page = station_.project.currentPage;
    if (!onScreen(page) || slot < 1 || slot > pages::LastSlot)
        return;
    const int index = mimic::arrayIndex(kind, page, slot);
    Elements &e = *elements_;
    // The element's value arrived: current again, and no longer greyed or hatched.
    const auto arrived = [this, kind, page, slot](auto &item) {
        if (freshness_.arrived(kind, page, slot, clock_->nowMs())) {
            for (QWidget *w : item.parts())
                setMarkedLook(w, false);
            pages_[static_cast<std::size_t>(page)]->overlay->update();
        }
    };
    switch (kind) {
    case ElementKind::Parametr_Label:
        if (auto *item = Elements::at(e.valueLabels, index); item && item->w) {
            arrived(*item);
            // Fixed size from the placeholder; grown (never shrunk) when a value needs more room.
            item->w->setText(valueText(v));
            const QSize hint = item->w->sizeHint();
            if (hint.width() > item->w->width() || hint.height() > item->w->height())
                item->w->resize(std::max(hint.width(), item->w->width()), std::max(hint.height(), item->w->height()));
        }
        break;
    case ElementKind::Signal_Picture:
        if (auto *item = Elements::at(e.signals_, index); item && item->w) {
            item->w->setProperty("ForeColor", static_cast<int>(v == 0 ? item->rec.colourOff : item->rec.colourOn));
            arrived(*item);
        }
        break;
    case ElementKind::Text_Signal_Picture:
        if (auto *item = Elements::at(e.signalTexts, index); item && item->w) {
            const mimic::TextSignalView view = mimic::textSignalView(item->rec, v);
            if (view.visible)
                showSignalText(item->w, item->rec, view.on);
            else
                item->w->hide();
            arrived(*item);
        }
        break;
    case ElementKind::Level_Picture:
        if (auto *item = Elements::at(e.levels, index); item && item->cover) {
            if (auto cover = mimic::levelCover(item->box, item->rec, v))
                item->cover->setGeometry(*cover);
            arrived(*item);
        }
        break;
    case ElementKind::Control_Image:
        if (auto *item = Elements::at(e.controls, index);
            item && item->w && Artwork::isSwitchPicture(item->rec.picture)) {
            item->w->setPixmap(v != 0 ? art_.stopImage(item->rec.picture) : art_.switchOffImage(item->rec.picture));
            arrived(*item);
        }
        break;
    case ElementKind::Ventilator_Picture:
        station_.project.equipmentState[static_cast<std::size_t>(page)][static_cast<std::size_t>(slot)] =
            static_cast<std::int16_t>(v);
        break;
    default: break;
    }
}

void MimicPages::inspectorOutput(int index, const QString &text)
{
    if (station_.inspector.inspectorVisible)
        inspector_->setOutput(index, text);
}

void MimicPages::inspectorInput(int index, const QString &text)
{
    if (station_.inspector.inspectorVisible)
        inspector_->setInput(index, text);
}

void MimicPages::alarmWord(const std::array<std::uint8_t, 4> &bytes) { Q_EMIT alarmWordReceived(bytes); }
void MimicPages::reportTrigger() { Q_EMIT reportTriggerRequested(); }
void MimicPages::crcMismatch() { Q_EMIT crcMismatchOccurred(); }
void MimicPages::linkAnswering(bool answering)
{
    if (!answering)
        checkFreshness();
    Q_EMIT linkAnsweringChanged(answering);
}

// ----- clicks --------------------------------------------------------------------------------

void MimicPages::Block_IMAGE_Click(int index)
{
    if (index == 1) {
        mnuSCADA_Click();
        return;
    }
    if (index == 2 || index == 3) {
        station_.inspector.inspectorBlockType = index == 2 ? block::GRA : block::JUR;
        station_.inspector.inspectedBlock = index == 2 ? block::Trend : block::Journal;
        return;
    }
    const int n = mimic::schema::blockOfCell(index);
    if (index < mimic::schema::FirstBlockCell || n > block::Last)
        return;
    const int type = station_.project.blockType[static_cast<std::size_t>(n)];
    station_.inspector.inspectorBlockType = type;
    station_.inspector.inspectedBlock = n;
    if (type == block::TOU || type < 1 || type > BlockCatalogue::TypeCount)
        return;   // a TOU block has nothing to inspect
    openInspector(n);
}

void MimicPages::openInspector(int block)
{
    const int type = station_.project.blockType[static_cast<std::size_t>(block)];
    inspector_->showBlock(block, station_.catalogue.codeOf(type), art_.blockPicture(type),
                          mimic::inspectorPins(station_.catalogue, station_.project, block));
    station_.inspector.inspectorVisible = true;
    inspector_->show();
    inspector_->raise();
    Q_EMIT inspectorOpened(block);
}

void MimicPages::Go_Block_Label_Click(int index)
{
    const int page = station_.project.currentPage;
    if (!onScreen(page))
        return;
    const int s = mimic::slotOfIndex(index);
    const GoBlockRec &rec = station_.project.goBlocks[static_cast<std::size_t>(page)][static_cast<std::size_t>(s)];
    const mimic::NavTarget target = mimic::navigationTarget(rec.target);
    using A = mimic::NavTarget::Action;
    switch (target.action) {
    case A::Page: selectPage(target.value); break;
    case A::Trend:
        if (requests_.trend && requests_.trend(target.value))
            Q_EMIT trendRequested(target.value);
        break;
    case A::Journal:
        if (requests_.journal)
            requests_.journal();
        Q_EMIT journalRequested();
        break;
    case A::SetPoint: {
        const int type = station_.project.blockType[static_cast<std::size_t>(target.value)];
        if (!setpoint::typeAccepts(type))
            break;
        const QRect nav = mimic::goBlockRect(rec);
        std::vector<mimic::ValueLabelSpot> spots;
        for (int j = 1; j <= pages::LastSlot; ++j) {
            const auto *v =
                Elements::at(elements_->valueLabels, mimic::arrayIndex(ElementKind::Parametr_Label, page, j));
            if (v && v->w)
                spots.push_back({j, v->w->x(), v->w->y(), v->rec.block});
        }
        QString start;
        if (auto j = mimic::findSetPointLabel(spots, nav.left(), nav.top(), station_.project.blockType))
            start = static_cast<QLabel *>(element(ElementKind::Parametr_Label, page, *j))->text();
        Q_EMIT setPointRequested(target.value, rec.targetPin, start);
        break;
    }
    case A::None: break;
    }
}

void MimicPages::Menu_Image_Click(int index)
{
    const int page = station_.project.currentPage;
    if (!onScreen(page))
        return;
    const int item = mimic::menuItemOfIndex(index);
    const int target =
        station_.project.menus[static_cast<std::size_t>(page)][static_cast<std::size_t>(item)].targetPage;
    if (target < OnScreenPages)
        selectPage(target);
}

void MimicPages::Menu_Text_Click(int index) { Menu_Image_Click(index); }

void MimicPages::Control_Image_MouseDown(int index)
{
    if (index < 1)
        return;
    Q_EMIT controlPressed(index, station_.project.currentPage, mimic::slotOfIndex(index));
}

void MimicPages::Control_Image_MouseUp(int index)
{
    if (index < 1)
        return;
    Q_EMIT controlReleased(index, station_.project.currentPage, mimic::slotOfIndex(index));
}

// ----- animation and clock -------------------------------------------------------------------

std::array<std::int32_t, anim::MechanismAnimation::Slots> MimicPages::equipmentKinds(int page) const
{
    std::array<std::int32_t, anim::MechanismAnimation::Slots> kinds;
    for (int slot = 0; slot < anim::MechanismAnimation::Slots; ++slot) {
        const auto *item =
            Elements::at(elements_->equipment, mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot));
        kinds[static_cast<std::size_t>(slot)] = item && item->e ? item->e->kind() : anim::MechanismAnimation::NoElement;
    }
    return kinds;
}

void MimicPages::showFrames(int page, const anim::MechanismAnimation::Frames &frames)
{
    for (int slot = 0; slot < anim::MechanismAnimation::Slots; ++slot) {
        const auto &f = frames[static_cast<std::size_t>(slot)];
        if (!f)
            continue;
        if (auto *item =
                Elements::at(elements_->equipment, mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot));
            item && item->e)
            item->e->showFrame(*f);
    }
}

void MimicPages::Timer_Vent_Timer()
{
    const int page = station_.project.currentPage;
    if (!onScreen(page))
        return;
    checkFreshness();
    const auto tick =
        animation_.tickVent(equipmentKinds(page), station_.project.equipmentState[static_cast<std::size_t>(page)]);
    showFrames(page, tick.frames);
    if (tick.startTransport45)
        Q_EMIT startTransport45();
}

void MimicPages::Timer_Transport45_Timer()
{
    const int page = station_.project.currentPage;
    if (!onScreen(page))
        return;
    showFrames(page,
               animation_.tickTransport45(equipmentKinds(page),
                                          station_.project.equipmentState[static_cast<std::size_t>(page)]));
}

QLabel *MimicPages::Real_Clock(int k) const
{
    const auto *item = Elements::at(elements_->clocks, k);
    return item ? static_cast<QLabel *>(item->clock) : nullptr;
}

QLabel *MimicPages::Real_Time(int k) const
{
    const auto *item = Elements::at(elements_->clocks, k);
    return item ? static_cast<QLabel *>(item->date) : nullptr;
}

void MimicPages::showClock(const QDateTime &now)
{
    const int k = station_.project.currentPage + 1;
    showTime(Real_Clock(k), Real_Time(k), now);
}

// ----- values that tell their age ------------------------------------------------------------

void MimicPages::setClock(const Clock &clock) { clock_ = &clock; }

void MimicPages::setStaleAfter(int ms) { staleAfterMs_ = std::max(1, ms); }

template <class F>
void MimicPages::forEachPart(ElementKind kind, int page, int slot, F &&f) const
{
    const int index = mimic::arrayIndex(kind, page, slot);
    Elements::visit(*elements_, kind, [&](const auto &array) {
        if (const auto *item = Elements::at(array, index))
            for (QWidget *w : item->parts())
                if (w)
                    f(w);
    });
}

void MimicPages::trackValueElement(ElementKind kind, int page, int slot)
{
    if (!freshness_.track(kind, page, slot))
        return;
    forEachPart(kind, page, slot, [&](QWidget *w) {
        w->setProperty(ValueElementProperty, static_cast<int>(kind) * 4096 + page * 64 + slot);
        w->installEventFilter(this);
    });
    if (page == station_.project.currentPage)
        markPageStale(page);
}

void MimicPages::showMarked(int page, const std::vector<mimic::ValueFreshness::Element> &newlyMarked)
{
    if (newlyMarked.empty())
        return;
    for (const mimic::ValueFreshness::Element &e : newlyMarked)
        forEachPart(e.kind, e.page, e.slot, [](QWidget *w) { setMarkedLook(w, true); });
    StaleOverlay *overlay = pages_[static_cast<std::size_t>(page)]->overlay;
    overlay->raise();
    overlay->update();
}

void MimicPages::markPageStale(int page)
{
    if (onScreen(page))
        showMarked(page, freshness_.pageShown(page));
}

void MimicPages::checkFreshness()
{
    const int page = station_.project.currentPage;
    if (onScreen(page))
        showMarked(page, freshness_.check(page, clock_->nowMs(), staleAfterMs_));
}

void MimicPages::collectStale(int page, std::vector<QRect> &out) const
{
    QWidget *canvas = SCADA_Picture(page);
    for (const mimic::ValueFreshness::Element &e : freshness_.markedOn(page)) {
        QRect box;
        forEachPart(e.kind, e.page, e.slot, [&](QWidget *w) {
            if (w->isVisibleTo(canvas))
                box = box.united(w->geometry());
        });
        if (!box.isEmpty())
            out.push_back(box);
    }
}

bool MimicPages::isStale(ElementKind kind, int page, int slot) const { return freshness_.marked(kind, page, slot); }

QString MimicPages::valueAgeText(ElementKind kind, int page, int slot) const
{
    return freshness_.ageText(kind, page, slot, clock_->nowMs());
}

bool MimicPages::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *w = qobject_cast<QWidget *>(watched);
        const QVariant tag = watched->property(ValueElementProperty);
        if (w && tag.isValid()) {
            const int t = tag.toInt();
            const QString age = valueAgeText(static_cast<ElementKind>(t / 4096), t / 64 % 64, t % 64);
            if (!age.isEmpty()) {
                const QString own = w->toolTip();
                QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                                   own.isEmpty() ? age : own + QLatin1Char('\n') + age, w);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
