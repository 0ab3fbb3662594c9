#include "mimic/MimicPages.h"

#include "animation/EquipmentElement.h"
#include "app/Colors.h"
#include "app/Station.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/ElementLabel.h"
#include "mimic/ElementRules.h"
#include "mimic/InspectorLabels.h"
#include "mimic/Navigation.h"
#include "mimic/SchemaLayout.h"

#include <QDateTime>
#include <QImageReader>
#include <QPainter>
#include <QResizeEvent>
#include <QTabBar>
#include <optional>

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

int pointSizeOr(int size, int fallback)
{
    return size < 1 ? fallback : mimic::usablePointSize(size);
}

template <class W>
void dispose(QPointer<W> &w)
{
    delete w.data();
    w = nullptr;
}

} // namespace

struct MimicPages::Page {
    PageCanvas *canvas = nullptr;
    bool shown = true;
};

struct MimicPages::Elements {
    static constexpr int SlotIndexes = 32 * (OnScreenPages - 1) + 33;   // 0..256
    static constexpr int TextIndexes = 64 * (OnScreenPages - 1) + 65;   // 0..512
    static constexpr int MenuIndexes = 8 * (OnScreenPages - 1) + 9;     // 0..64
    static constexpr int PageRecords = OnScreenPages + 1;               // 0..8

    struct ValueLabel {
        QPointer<ElementLabel> w;
        ValueLabelRec rec;
        int slot = 0;
    };
    struct Signal {
        QPointer<QWidget> w;
        SignalRec rec;
    };
    struct SignalText {
        QPointer<QLabel> w;
        SignalTextRec rec;
    };
    struct Level {
        QPointer<QLabel> frame, cover;
        LevelRec rec;
        QRect box;
    };
    struct GoBlock {
        QPointer<ElementLabel> w;
    };
    struct Contour {
        QPointer<QWidget> w;
    };
    struct Equipment {
        std::unique_ptr<EquipmentElement> e;
    };
    struct Text {
        QPointer<QLabel> w;
    };
    struct TrendIcon {
        QPointer<QLabel> w;
    };
    struct Clock {
        QPointer<QLabel> clock, date;
    };
    struct Control {
        QPointer<ElementLabel> w;
        ControlRec rec;
    };
    struct Menu {
        QPointer<ElementLabel> image, text;
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

    template <class T>
    static T *at(Array<T> &a, int index)
    {
        if (index < 0 || index >= static_cast<int>(a.size()) || !a[static_cast<std::size_t>(index)])
            return nullptr;
        return &*a[static_cast<std::size_t>(index)];
    }
    template <class T>
    static const T *at(const Array<T> &a, int index)
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

    void clear()
    {
        for (auto &v : valueLabels)
            if (v) dispose(v->w);
        for (auto &v : signals_)
            if (v) dispose(v->w);
        for (auto &v : signalTexts)
            if (v) dispose(v->w);
        for (auto &v : levels)
            if (v) { dispose(v->cover); dispose(v->frame); }
        for (auto &v : goBlocks)
            if (v) dispose(v->w);
        for (auto &v : contours)
            if (v) dispose(v->w);
        for (auto &v : texts)
            if (v) dispose(v->w);
        for (auto &v : trendIcons)
            if (v) dispose(v->w);
        for (auto &v : clocks)
            if (v) { dispose(v->clock); dispose(v->date); }
        for (auto &v : controls)
            if (v) dispose(v->w);
        for (auto &v : menus)
            if (v) { dispose(v->image); dispose(v->text); }
        for (auto &v : equipment)
            v.reset();
        for (auto &v : valueLabels) v.reset();
        for (auto &v : signals_) v.reset();
        for (auto &v : signalTexts) v.reset();
        for (auto &v : levels) v.reset();
        for (auto &v : goBlocks) v.reset();
        for (auto &v : contours) v.reset();
        for (auto &v : texts) v.reset();
        for (auto &v : trendIcons) v.reset();
        for (auto &v : clocks) v.reset();
        for (auto &v : controls) v.reset();
        for (auto &v : menus) v.reset();
    }

    int widgetCount() const
    {
        auto live = [](const auto &p) { return p ? 1 : 0; };
        int n = 0;
        for (auto &v : valueLabels) if (v) n += live(v->w);
        for (auto &v : signals_) if (v) n += live(v->w);
        for (auto &v : signalTexts) if (v) n += live(v->w);
        for (auto &v : levels) if (v) n += live(v->frame) + live(v->cover);
        for (auto &v : goBlocks) if (v) n += live(v->w);
        for (auto &v : contours) if (v) n += live(v->w);
        for (auto &v : equipment) if (v && v->e) n += live(v->e->box()) + live(v->e->inner());
        for (auto &v : texts) if (v) n += live(v->w);
        for (auto &v : trendIcons) if (v) n += live(v->w);
        for (auto &v : clocks) if (v) n += live(v->clock) + live(v->date);
        for (auto &v : controls) if (v) n += live(v->w);
        for (auto &v : menus) if (v) n += live(v->image) + live(v->text);
        return n;
    }
};

MimicPages::MimicPages(Station &station, ControlFactory controls, QWidget *parent)
    : QWidget(parent), station_(station), controls_(std::move(controls)), art_(station.catalogue),
      elements_(std::make_unique<Elements>())
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
        station_.inspectorVisible = false;
        Q_EMIT inspectorClosed();
    });

    setMinimumSize(805, tabControl_->height() + 2);
}

MimicPages::~MimicPages()
{
    elements_->clear();
}

void MimicPages::resizeEvent(QResizeEvent *e)
{
    schema_->setGeometry(rect());
    QWidget::resizeEvent(e);
}

QWidget *MimicPages::SCADA_Picture(int p) const
{
    if (p < 0 || p >= OnScreenPages)
        return nullptr;
    return pages_[static_cast<std::size_t>(p)]->canvas;
}

bool MimicPages::pageShown(int p) const
{
    return p >= 0 && p < OnScreenPages && pages_[static_cast<std::size_t>(p)]->shown;
}

// ----- pages ---------------------------------------------------------------------------------

void MimicPages::onTabChanged(int index)
{
    if (index < 0 || index >= OnScreenPages)
        return;
    station_.project.currentPage = static_cast<std::int16_t>(index);
    for (int p = 0; p < OnScreenPages; ++p) {
        const Page &page = *pages_[static_cast<std::size_t>(p)];
        page.canvas->setVisible(p == index && page.shown);
    }
    Q_EMIT pageChanged(index);
}

void MimicPages::selectPage(int p)
{
    if (p < 0 || p >= OnScreenPages)
        return;
    if (tabBar_->currentIndex() == p)
        onTabChanged(p);
    else
        tabBar_->setCurrentIndex(p);
}

bool MimicPages::setupPage(int p, const QString &caption, const QString &picturePath, bool visible)
{
    if (p < 0 || p >= OnScreenPages)
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
    if (p < 0 || p >= OnScreenPages)
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

void MimicPages::mnuSCADA_Click()
{
    activatePage();
}

void MimicPages::drawSchema()
{
    mimic::schema::prepareBlockTypes(station_.project);
    schema_->draw(station_.project);
}

// ----- creation ------------------------------------------------------------------------------

void MimicPages::removeElements()
{
    elements_->clear();
    Q_EMIT elementsRemoved();
}

int MimicPages::elementWidgetCount() const
{
    return elements_->widgetCount();
}

void MimicPages::createElement(ElementKind kind, int page, int slot, const ProjectModel &m)
{
    if (page < 0 || page >= OnScreenPages)
        return;   // page 8 records (and record 0 of the per-page kinds) have no page to live on
    const auto P = static_cast<std::size_t>(page);
    const bool slotted = slot >= 0 && slot < ProjectModel::Slots;
    const auto I = static_cast<std::size_t>(slot);
    switch (kind) {
    case ElementKind::Parametr_Label:
        if (slotted) createValueLabel(page, slot, m.valueLabels[P][I]);
        break;
    case ElementKind::Signal_Picture:
        if (slotted) createSignal(page, slot, m.signals[P][I]);
        break;
    case ElementKind::Text_Signal_Picture:
        if (slotted) createSignalText(page, slot, m.signalTexts[P][I]);
        break;
    case ElementKind::Level_Picture:
        if (slotted) createLevel(page, slot, m.levels[P][I]);
        break;
    case ElementKind::Go_Block_Label:
        if (slotted) createGoBlock(page, slot, m.goBlocks[P][I]);
        break;
    case ElementKind::Contour1:
        if (slotted) createContour(page, slot, m.contours[P][I]);
        break;
    case ElementKind::Ventilator_Picture:
        if (slotted) createEquipment(page, slot, m.equipment[P][I]);
        break;
    case ElementKind::Text_Label_Label:
        if (slot >= 0 && slot < ProjectModel::TextSlots)
            createText(page, slot, m.texts[P][I]);
        break;
    case ElementKind::Control_Image:
        if (slotted) createControl(page, slot, m.controls[P][I]);
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
    auto *l = new ElementLabel(index, SCADA_Picture(page));
    l->setObjectName(QStringLiteral("Parametr_Label"));
    item->w = l;
    l->move(r.left, r.top);
    setColours(l, r.foreColor, r.backColor);
    setBorder(l, r.borderStyle);
    const mimic::LabelFont lf = mimic::valueLabelFont(r.fontSize < 1 ? ValueLabelDefaultSize : r.fontSize);
    QFont f = l->font();
    f.setPointSize(lf.pointSize);
    f.setBold(lf.bold);
    l->setFont(f);
    l->setText(mimic::initialCaption(slot, r.digits, l->text()));
    l->adjustSize();
    l->show();
}

void MimicPages::createSignal(int page, int slot, const SignalRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Signal_Picture, page, slot);
    if (!controls_ || Elements::at(elements_->signals_, index))
        return;
    QWidget *w = controls_(QStringLiteral("Signal_Q7.Signal"), SCADA_Picture(page));
    if (!w)
        return;
    auto *item = Elements::claim(elements_->signals_, index);
    if (!item) {
        delete w;
        return;
    }
    item->rec = r;
    item->w = w;
    w->setObjectName(QStringLiteral("Signal_Picture"));
    w->setGeometry(mimic::signalRect(r));
    w->setProperty("Type_Signal", mimic::signalType(r));
    w->setProperty("ForeColor", static_cast<int>(r.colourOff));
    w->setProperty("Border_Style", static_cast<int>(r.borderStyle));
    w->show();
}

void MimicPages::createSignalText(int page, int slot, const SignalTextRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Text_Signal_Picture, page, slot);
    auto *item = Elements::claim(elements_->signalTexts, index);
    if (!item)
        return;
    item->rec = r;
    auto *l = new QLabel(SCADA_Picture(page));
    l->setObjectName(QStringLiteral("Text_Signal_Picture"));
    item->w = l;
    l->move(r.left, r.top());
    setColours(l, r.foreColor, r.backColor);
    setBorder(l, r.borderStyle);
    QFont f = l->font();
    f.setPointSize(pointSizeOr(r.fontSize, TextDefaultSize));
    l->setFont(f);
    l->setText(r.textOff);
    l->adjustSize();
    l->show();
}

void MimicPages::createLevel(int page, int slot, const LevelRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Level_Picture, page, slot);
    auto *item = Elements::claim(elements_->levels, index);
    if (!item)
        return;
    item->rec = r;
    item->box = mimic::elementRect(r.left, r.top, r.width, r.height);
    const bool horizontal = mimic::isHorizontalBar(r);
    auto makeBox = [&](const char *name, std::int32_t colour) {
        auto *b = new QLabel(SCADA_Picture(page));
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(item->box);
        setColours(b, 0, colour);
        setBorder(b, r.levelMode & 1);
        return b;
    };
    item->frame = makeBox("Level_Picture", horizontal ? r.colourB : r.colourA);
    item->cover = makeBox("Level_Picture_1", horizontal ? r.colourA : r.colourB);
    item->frame->show();
    item->cover->show();
}

void MimicPages::createGoBlock(int page, int slot, const GoBlockRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Go_Block_Label, page, slot);
    auto *item = Elements::claim(elements_->goBlocks, index);
    if (!item)
        return;
    auto *l = new ElementLabel(index, SCADA_Picture(page));
    l->setObjectName(QStringLiteral("Go_Block_Label"));
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
    const int index = mimic::arrayIndex(ElementKind::Contour1, page, slot);
    if (!controls_ || Elements::at(elements_->contours, index))
        return;
    QWidget *w = controls_(QStringLiteral("Contour1.Contour"), SCADA_Picture(page));
    if (!w)
        return;
    auto *item = Elements::claim(elements_->contours, index);
    if (!item) {
        delete w;
        return;
    }
    item->w = w;
    w->setObjectName(QStringLiteral("Contour1"));
    w->setGeometry(mimic::elementRect(r.left, r.top, r.width, r.height));
    w->setProperty("BorderColor", static_cast<int>(r.borderColor));
    w->setProperty("BorderWidth", static_cast<int>(r.borderWidth));
    w->setProperty("Shape", static_cast<int>(r.shape));
    w->show();
}

void MimicPages::createEquipment(int page, int slot, const EquipmentRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot);
    if (Elements::at(elements_->equipment, index) || !anim::equipmentKind(r.equipmentKind))
        return;
    auto *item = Elements::claim(elements_->equipment, index);
    if (!item)
        return;
    item->e = EquipmentElement::create(art_, r.equipmentKind,
                                       mimic::elementRect(r.left, r.top, r.width, r.height),
                                       SCADA_Picture(page));
}

void MimicPages::createText(int page, int slot, const TextRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Text_Label_Label, page, slot);
    auto *item = Elements::claim(elements_->texts, index);
    if (!item)
        return;
    auto *l = new QLabel(SCADA_Picture(page));
    l->setObjectName(QStringLiteral("Text_Label_Label"));
    item->w = l;
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
    auto *l = new QLabel(SCADA_Picture(page));
    l->setObjectName(QStringLiteral("Grafik_Image"));
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
        auto *l = new QLabel(SCADA_Picture(page));
        l->setObjectName(QString::fromLatin1(name));
        QFont f = l->font();
        f.setPointSize(TextDefaultSize);
        f.setBold(true);
        l->setFont(f);
        l->move(r.left, top);
        return l;
    };
    item->clock = make("Real_Clock", r.top);
    item->date = make("Real_Time", r.top + 22);
    const QDateTime now = QDateTime::currentDateTime();
    item->clock->setText(now.toString(QStringLiteral("hh:mm")));
    item->date->setText(now.toString(QStringLiteral("dd.MM.yy")));
    item->clock->adjustSize();
    item->date->adjustSize();
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
    auto *l = new ElementLabel(index, SCADA_Picture(page));
    l->setObjectName(QStringLiteral("Control_Image"));
    item->w = l;
    l->setGeometry(mimic::controlRect(r));
    l->setScaledContents(true);
    l->setPixmap(Artwork::isSwitchPicture(r.picture) ? art_.switchOffImage(r.picture) : picture);
    l->setCursor(Qt::PointingHandCursor);
    if (!r.text.isEmpty())
        l->setToolTip(r.text);
    connect(l, &ElementLabel::pressed, this, &MimicPages::Control_Image_MouseDown);
    connect(l, &ElementLabel::released, this, &MimicPages::Control_Image_MouseUp);
    l->raise();
    l->show();
}

void MimicPages::createMenu(int page, int slot, const MenuRec &r)
{
    const int index = mimic::arrayIndex(ElementKind::Menu_Image, page, slot);
    auto *item = Elements::claim(elements_->menus, index);
    if (!item)
        return;
    auto *image = new ElementLabel(index, SCADA_Picture(page));
    image->setObjectName(QStringLiteral("Menu_Image"));
    item->image = image;
    image->setPixmap(art_.menuPlate());
    image->setGeometry(QRect(mimic::menuImagePos(r), art_.menuPlate().size()));
    image->setCursor(Qt::PointingHandCursor);
    connect(image, &ElementLabel::clicked, this, &MimicPages::Menu_Image_Click);

    auto *text = new ElementLabel(index, SCADA_Picture(page));
    text->setObjectName(QStringLiteral("Menu_Text"));
    item->text = text;
    text->setText(r.text);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setColours(text, 0, 0xFFFFFF);
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
    const Elements &e = *elements_;
    switch (kind) {
    case ElementKind::Parametr_Label:
        if (auto *v = Elements::at(e.valueLabels, index)) return v->w;
        break;
    case ElementKind::Signal_Picture:
        if (auto *v = Elements::at(e.signals_, index)) return v->w;
        break;
    case ElementKind::Text_Signal_Picture:
        if (auto *v = Elements::at(e.signalTexts, index)) return v->w;
        break;
    case ElementKind::Level_Picture:
        if (auto *v = Elements::at(e.levels, index)) return part == 0 ? v->frame : v->cover;
        break;
    case ElementKind::Go_Block_Label:
        if (auto *v = Elements::at(e.goBlocks, index)) return v->w;
        break;
    case ElementKind::Contour1:
        if (auto *v = Elements::at(e.contours, index)) return v->w;
        break;
    case ElementKind::Ventilator_Picture:
        if (auto *v = Elements::at(e.equipment, index); v && v->e)
            return part == 0 ? static_cast<QWidget *>(v->e->box()) : static_cast<QWidget *>(v->e->inner());
        break;
    case ElementKind::Text_Label_Label:
        if (auto *v = Elements::at(e.texts, index)) return v->w;
        break;
    case ElementKind::Control_Image:
        if (auto *v = Elements::at(e.controls, index)) return v->w;
        break;
    case ElementKind::Menu_Image:
        if (auto *v = Elements::at(e.menus, index)) return part == 0 ? v->image : v->text;
        break;
    case ElementKind::Grafik_Image:
        if (auto *v = Elements::at(e.trendIcons, index)) return v->w;
        break;
    case ElementKind::Real_Clock:
        if (auto *v = Elements::at(e.clocks, index)) return part == 0 ? v->clock : v->date;
        break;
    }
    return nullptr;
}

// ----- live values ---------------------------------------------------------------------------

void MimicPages::applyValue(ElementKind kind, int slot, std::int32_t v)
{
    const int page = station_.project.currentPage;
    if (page < 0 || page >= OnScreenPages || slot < 1 || slot > 32)
        return;
    const int index = mimic::arrayIndex(kind, page, slot);
    Elements &e = *elements_;
    switch (kind) {
    case ElementKind::Parametr_Label:
        if (auto *item = Elements::at(e.valueLabels, index); item && item->w) {
            // Fixed size from the placeholder; grown (never shrunk) when a value needs more room.
            item->w->setText(valueText(v));
            const QSize hint = item->w->sizeHint();
            if (hint.width() > item->w->width() || hint.height() > item->w->height())
                item->w->resize(std::max(hint.width(), item->w->width()),
                                std::max(hint.height(), item->w->height()));
        }
        break;
    case ElementKind::Signal_Picture:
        if (auto *item = Elements::at(e.signals_, index); item && item->w)
            item->w->setProperty("ForeColor", static_cast<int>(v == 0 ? item->rec.colourOff : item->rec.colourOn));
        break;
    case ElementKind::Text_Signal_Picture:
        if (auto *item = Elements::at(e.signalTexts, index); item && item->w) {
            const mimic::TextSignalView view = mimic::textSignalView(item->rec, v);
            if (!view.visible) {
                item->w->hide();
                break;
            }
            QFont f = item->w->font();
            f.setPointSize(pointSizeOr(item->rec.fontSize, TextDefaultSize));
            item->w->setFont(f);
            item->w->setText(view.on ? item->rec.textOn : item->rec.textOff);
            item->w->adjustSize();
            item->w->show();
        }
        break;
    case ElementKind::Level_Picture:
        if (auto *item = Elements::at(e.levels, index); item && item->cover) {
            if (auto cover = mimic::levelCover(item->box, item->rec, v))
                item->cover->setGeometry(*cover);
        }
        break;
    case ElementKind::Control_Image:
        if (auto *item = Elements::at(e.controls, index);
            item && item->w && Artwork::isSwitchPicture(item->rec.picture))
            item->w->setPixmap(v != 0 ? art_.stopImage(item->rec.picture)
                                      : art_.switchOffImage(item->rec.picture));
        break;
    case ElementKind::Ventilator_Picture:
        station_.project.equipmentState[static_cast<std::size_t>(page)][static_cast<std::size_t>(slot)] =
            static_cast<std::int16_t>(v);
        break;
    default:
        break;
    }
}

void MimicPages::inspectorOutput(int index, const QString &text)
{
    if (station_.inspectorVisible)
        inspector_->setOutput(index, text);
}

void MimicPages::inspectorInput(int index, const QString &text)
{
    if (station_.inspectorVisible)
        inspector_->setInput(index, text);
}

void MimicPages::alarmWord(const std::array<std::uint8_t, 4> &bytes) { Q_EMIT alarmWordReceived(bytes); }
void MimicPages::reportTrigger() { Q_EMIT reportTriggerRequested(); }
void MimicPages::crcMismatch() { Q_EMIT crcMismatchOccurred(); }
void MimicPages::linkAnswering(bool answering) { Q_EMIT linkAnsweringChanged(answering); }

// ----- clicks --------------------------------------------------------------------------------

void MimicPages::Block_IMAGE_Click(int index)
{
    if (index == 1) {
        mnuSCADA_Click();
        return;
    }
    if (index == 2 || index == 3) {
        station_.inspectorBlockType = index == 2 ? 41 : 42;
        station_.inspectedBlock = index == 2 ? 98 : 99;
        return;
    }
    const int n = mimic::schema::blockOfCell(index);
    if (index < mimic::schema::FirstBlockCell || n > 99)
        return;
    const int type = station_.project.blockType[static_cast<std::size_t>(n)];
    station_.inspectorBlockType = type;
    station_.inspectedBlock = n;
    if (type == 50 || type < 1 || type > BlockCatalogue::TypeCount)
        return;   // a TOU block has nothing to inspect
    openInspector(n);
}

void MimicPages::openInspector(int block)
{
    const int type = station_.project.blockType[static_cast<std::size_t>(block)];
    inspector_->showBlock(block, station_.catalogue.codeOf(type), art_.blockPicture(type),
                          mimic::inspectorPins(station_.catalogue, station_.project, block));
    station_.inspectorVisible = true;
    inspector_->show();
    inspector_->raise();
    Q_EMIT inspectorOpened(block);
}

void MimicPages::Go_Block_Label_Click(int index)
{
    const int page = station_.project.currentPage;
    if (page < 0 || page >= OnScreenPages)
        return;
    const int s = mimic::slotOfIndex(index);
    const GoBlockRec &rec = station_.project.goBlocks[static_cast<std::size_t>(page)][static_cast<std::size_t>(s)];
    const mimic::NavTarget target = mimic::navigationTarget(rec.target);
    using A = mimic::NavTarget::Action;
    switch (target.action) {
    case A::Page:
        selectPage(target.value);
        break;
    case A::Trend:
        if (station_.Graf_PageCount == 0) {
            station_.Graf_Group = static_cast<std::int16_t>(target.value);
            station_.Graf_PageCount = 1;
            Q_EMIT trendRequested(target.value);
        }
        break;
    case A::Journal:
        station_.Jurnal_Page = 200;
        station_.Jurnal_Find = 0;
        station_.Jurnal_Request = 1;
        Q_EMIT journalRequested();
        break;
    case A::SetPoint: {
        const int type = station_.project.blockType[static_cast<std::size_t>(target.value)];
        if (!mimic::isSetPointType(type))
            break;
        const QRect nav = mimic::goBlockRect(rec);
        std::vector<mimic::ValueLabelSpot> spots;
        for (int j = 1; j <= 32; ++j) {
            const auto *v = Elements::at(elements_->valueLabels,
                                         mimic::arrayIndex(ElementKind::Parametr_Label, page, j));
            if (v && v->w)
                spots.push_back({j, v->w->x(), v->w->y(), v->rec.block});
        }
        QString start;
        if (auto j = mimic::findSetPointLabel(spots, nav.left(), nav.top(), station_.project.blockType))
            start = static_cast<QLabel *>(element(ElementKind::Parametr_Label, page, *j))->text();
        Q_EMIT setPointRequested(target.value, rec.targetPin, start);
        break;
    }
    case A::None:
        break;
    }
}

void MimicPages::Menu_Image_Click(int index)
{
    const int page = station_.project.currentPage;
    if (page < 0 || page >= OnScreenPages)
        return;
    const int item = mimic::menuItemOfIndex(index);
    const int target = station_.project.menus[static_cast<std::size_t>(page)][static_cast<std::size_t>(item)].targetPage;
    if (target < OnScreenPages)
        selectPage(target);
}

void MimicPages::Menu_Text_Click(int index)
{
    Menu_Image_Click(index);
}

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
        const auto *item = Elements::at(elements_->equipment,
                                        mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot));
        kinds[static_cast<std::size_t>(slot)] = item && item->e ? item->e->kind() : anim::MechanismAnimation::NoElement;
    }
    return kinds;
}

void MimicPages::Timer_Vent_Timer()
{
    const int page = station_.project.currentPage;
    if (page < 0 || page >= OnScreenPages)
        return;
    const auto kinds = equipmentKinds(page);
    const auto &states = station_.project.equipmentState[static_cast<std::size_t>(page)];
    const auto tick = animation_.tickVent(kinds, states);
    for (int slot = 0; slot < anim::MechanismAnimation::Slots; ++slot) {
        const auto &f = tick.frames[static_cast<std::size_t>(slot)];
        if (!f)
            continue;
        if (auto *item = Elements::at(elements_->equipment,
                                      mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot));
            item && item->e)
            item->e->showFrame(*f);
    }
    if (tick.startTransport45)
        Q_EMIT startTransport45();
}

void MimicPages::Timer_Transport45_Timer()
{
    const int page = station_.project.currentPage;
    if (page < 0 || page >= OnScreenPages)
        return;
    const auto kinds = equipmentKinds(page);
    const auto &states = station_.project.equipmentState[static_cast<std::size_t>(page)];
    const auto frames = animation_.tickTransport45(kinds, states);
    for (int slot = 0; slot < anim::MechanismAnimation::Slots; ++slot) {
        const auto &f = frames[static_cast<std::size_t>(slot)];
        if (!f)
            continue;
        if (auto *item = Elements::at(elements_->equipment,
                                      mimic::arrayIndex(ElementKind::Ventilator_Picture, page, slot));
            item && item->e)
            item->e->showFrame(*f);
    }
}

QLabel *MimicPages::Real_Clock(int k) const
{
    const auto *item = Elements::at(elements_->clocks, k);
    return item ? item->clock.data() : nullptr;
}

QLabel *MimicPages::Real_Time(int k) const
{
    const auto *item = Elements::at(elements_->clocks, k);
    return item ? item->date.data() : nullptr;
}

void MimicPages::showClock(const QDateTime &now)
{
    const int k = station_.project.currentPage + 1;
    if (QLabel *c = Real_Clock(k)) {
        c->setText(now.toString(QStringLiteral("hh:mm")));
        c->adjustSize();
    }
    if (QLabel *d = Real_Time(k)) {
        d->setText(now.toString(QStringLiteral("dd.MM.yy")));
        d->adjustSize();
    }
}
