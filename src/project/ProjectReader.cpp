#include "project/ProjectReader.h"

#include "app/Blocks.h"
#include "app/Messages.h"
#include "app/Pages.h"
#include "project/ProjectStation.h"
#include "project/NetlistTokens.h"
#include "project/ProjectPaths.h"
#include "text/LineFile.h"
#include "text/Numbers.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>

namespace {

// Reading stops here: the line number (1-based) and why.
struct ReadStop {
    int line;
    QString reason;
};

QString shortened(const QString &s) { return s.size() > 40 ? s.left(40) + QStringLiteral("…") : s; }

}   // namespace

// The project file's lines, one at a time, with the four conversions of the format. Every
// failure throws ReadStop naming the line.
class LineCursor {
public:
    explicit LineCursor(text::LineReader &r) : r_(r) {}

    int line() const { return line_; }

    QString text() { return view().toString(); }
    // The next line without a copy, valid while the reader lives; most lines are numbers.
    QStringView view()
    {
        QStringView s;
        if (!r_.readLine(s))
            throw ReadStop{line_ + 1, QStringLiteral("файл закінчився")};
        ++line_;
        return s;
    }
    void skip(int n)
    {
        for (int i = 0; i < n; ++i)
            view();
    }
    std::int16_t i16() { return whole(text::toInt16); }
    std::int32_t i32() { return whole(text::toInt32); }
    std::uint8_t u8() { return whole(text::toByte); }

    // Val of the line taken to the nearest integer of type T; overflow stops the reading.
    template <class T>
    T val()
    {
        const QStringView s = view();
        return fit<T>(std::nearbyint(text::val(s)), s);
    }
    template <class T>
    T fit(double v, QStringView s) const
    {
        if (!std::isfinite(v) || v < double(std::numeric_limits<T>::min()) || v > double(std::numeric_limits<T>::max()))
            throw bad(s);
        return static_cast<T>(v);
    }
    ReadStop bad(QStringView s) const
    {
        return ReadStop{line_, QStringLiteral("невірне число \"%1\"").arg(shortened(s.toString()))};
    }

private:
    template <class T>
    T whole(std::optional<T> (*convert)(QStringView))
    {
        const QStringView s = view();
        const auto v = convert(s);
        if (!v)
            throw bad(s);
        return *v;
    }

    text::LineReader &r_;
    int line_ = 0;
};

QString ProjectFiles::resolve(const QString &folder, const QString &name) const
{
    return resolveProjectPath(folder, name);
}

std::optional<QByteArray> ProjectFiles::readNetlist(const QString &path) const
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A read error part-way leaves the bytes read so far, as a short file would.
    return f.readAll();
}

ProjectReader::ProjectReader(ProjectStation station, ProjectView &view, LoadHost &host)
    : st_(station), view_(view), host_(host)
{
}

QString ProjectReader::defaultPageCaption(int p) { return QStringLiteral("Сторінка ") + QString::number(p + 1); }

QString ProjectReader::pageCaption(const QString &pictureName)
{
    return pictureName.mid(1, std::max<qsizetype>(0, pictureName.size() - 5));
}

QString ProjectReader::valueLabelCaption(int slot, int digits, const QString &previous)
{
    if (digits < 0 || digits > 4)
        return previous;
    return QStringLiteral("%1").arg(slot, digits + 2, 10, QLatin1Char('0'));
}

bool ProjectReader::openProject()
{
    host_.hideLogo();
    const QString path = host_.chooseProjectFile();
    if (path.isEmpty()) {
        failedLine_ = 0;
        failure_.clear();
        host_.setAnimationTimer(true);
        st_.project.projectLoaded = 0;
        return false;
    }
    return load(path);
}

bool ProjectReader::fail(const QString &message)
{
    failure_ = message;
    host_.setAnimationTimer(true);
    st_.project.projectLoaded = 0;
    host_.showMessage(message);
    return false;
}

void ProjectReader::applyVersion(double v)
{
    ProjectModel &m = st_.project;
    BlockCatalogue &cat = st_.catalogue;
    m.formatVersion = v;
    auto set = [&](int code, LoadHost::VersionMenu item, int touLines, int rs4Extra) {
        m.versionCode = code;
        host_.checkVersionMenu(item);
        cat.setSettingsLines(50, touLines);
        cat.setExtraSettingsLines(5, rs4Extra);
    };
    if (v == 0 || v == 1)
        set(1, LoadHost::VersionMenu::Help1, 0, 0);
    else if (v == 2)
        set(0, LoadHost::VersionMenu::Help2, 0, 0);
    else if (v == 3 || v == 4)
        set(3, LoadHost::VersionMenu::Help3, 1, 0);
    else if (v == 5)
        set(5, LoadHost::VersionMenu::None, 1, 48);
    else
        m.versionCode.reset();
}

void ProjectReader::linkSetup()
{
    ProjectModel &m = st_.project;
    if (m.linkKind == 9) {
        // The connection comes up (or fails) later; the timings belong to the link kind.
        host_.connectTcp(m.ipAddress, m.tcpPort);
        m.linkTimingFactor = 10;
    } else {
        host_.closeTcp();
        m.linkTimingFactor = 1;
    }
}

void ProjectReader::clearElements()
{
    ProjectModel &m = st_.project;
    view_.removeElements();
    m.valueLabels = {};
    m.signals = {};
    m.signalTexts = {};
    m.levels = {};
    m.goBlocks = {};
    m.contours = {};
    m.equipment = {};
    m.texts = {};
    m.controls = {};
    m.menus = {};
    m.trendIcons = {};
    m.clocks = {};
    for (auto &page : m.equipmentState)
        page.fill(0);
}

void ProjectReader::readPages(LineCursor &in, const QString &folder)
{
    ProjectModel &m = st_.project;
    for (auto &name : m.pagePicture)
        name = in.text();
    for (auto &flag : m.pageEnabled)
        flag = in.val<std::uint8_t>();
    for (int p = 0; p < pages::OnScreen; ++p) {
        const QString &name = m.pagePicture[static_cast<std::size_t>(p)];
        const bool enabled = m.pageEnabled[static_cast<std::size_t>(p)] == 1;
        if (enabled && !name.isEmpty()) {
            if (view_.setupPage(p, pageCaption(name), files_->resolve(folder, name), true))
                view_.selectPage(p);
            else
                view_.setupPage(p, defaultPageCaption(p), QString(), false);
        } else {
            view_.setupPage(p, defaultPageCaption(p), QString(), false);
        }
    }
}

void ProjectReader::readSlotBlock(LineCursor &in)
{
    ProjectModel &m = st_.project;
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            const auto P = static_cast<std::size_t>(p), I = static_cast<std::size_t>(i);
            ValueLabelRec &v = m.valueLabels[P][I];
            in.skip(1);
            v.present = in.i16();
            v.left = in.i16();
            v.top = in.i16();
            v.foreColor = in.i32();
            v.backColor = in.i32();
            v.borderStyle = in.u8();
            v.fontSize = in.u8();
            v.digits = in.u8();
            v.block = in.u8();
            v.pin = in.u8();
            if (v.present == 1)
                view_.createElement(ElementKind::Parametr_Label, p, i, m);

            SignalRec &s = m.signals[P][I];
            in.skip(1);
            s.present = in.i16();
            s.left = in.i16();
            s.topField = in.i16();
            s.widthField = in.i16();
            s.heightField = in.i16();
            s.colourOff = in.i32();
            s.colourOn = in.i32();
            s.borderStyle = in.u8();
            s.spare = in.u8();
            s.block = in.u8();
            s.pin = in.u8();
            if (s.present == 1)
                view_.createElement(ElementKind::Signal_Picture, p, i, m);

            SignalTextRec &t = m.signalTexts[P][I];
            in.skip(1);
            t.present = in.i16();
            t.left = in.i16();
            t.topField = in.i16();
            t.fontSize = in.u8();
            t.foreColor = in.i32();
            t.backColor = in.i32();
            t.textOff = in.text();
            t.textOn = in.text();
            t.borderStyle = in.u8();
            t.spare = in.u8();
            t.block = in.u8();
            t.pin = in.u8();
            if (t.present == 1)
                view_.createElement(ElementKind::Text_Signal_Picture, p, i, m);

            LevelRec &l = m.levels[P][I];
            in.skip(1);
            l.present = in.i16();
            l.left = in.i16();
            l.top = in.i16();
            l.width = in.i16();
            l.height = in.i16();
            l.fullScale = in.i32();
            l.colourA = in.i32();
            l.colourB = in.i32();
            l.levelMode = in.u8();
            l.block = in.u8();
            l.pin = in.u8();
            if (l.present == 1)
                view_.createElement(ElementKind::Level_Picture, p, i, m);

            GoBlockRec &g = m.goBlocks[P][I];
            in.skip(1);
            g.present = in.i16();
            g.x = in.i16();
            g.y = in.i16();
            g.target = in.i16();
            g.targetPin = in.i16();
            if (g.present == 1)
                view_.createElement(ElementKind::Go_Block_Label, p, i, m);

            ContourRec &c = m.contours[P][I];
            in.skip(1);
            c.present = in.i16();
            c.left = in.i16();
            c.top = in.i16();
            c.width = in.i16();
            c.height = in.i16();
            c.borderColor = in.i32();
            c.shape = in.i16();
            c.borderWidth = in.i16();
            if (c.present == 1)
                view_.createElement(ElementKind::Contour1, p, i, m);
        }
    }
}

void ProjectReader::readEquipment(LineCursor &in)
{
    ProjectModel &m = st_.project;
    if (m.versionCode == 1) {
        for (auto &page : m.equipment)
            for (auto &e : page) {
                e.present = 0;
                e.left = 0;
                e.top = 0;
            }
        return;
    }
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            EquipmentRec &e = m.equipment[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            in.skip(1);
            e.present = in.i16();
            e.left = in.i16();
            e.top = in.i16();
            e.width = in.i16();
            e.height = in.i16();
            e.equipmentKind = in.i32();
            e.block = in.u8();
            e.pin = in.u8();
            in.skip(16);
            if (e.present == 1)
                view_.createElement(ElementKind::Ventilator_Picture, p, i, m);
        }
    }
}

void ProjectReader::readTexts(LineCursor &in)
{
    ProjectModel &m = st_.project;
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 0; i < ProjectModel::TextSlots; ++i) {
            TextRec &t = m.texts[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            in.skip(1);
            t.present = in.i16();
            t.left = in.i16();
            t.top = in.i16();
            t.foreColor = in.i32();
            t.caption = in.text();
            t.fontName = in.text();
            t.fontBold = in.i16();
            t.fontItalic = in.i16();
            t.fontSize = in.u8();
            if (t.present == 1)
                view_.createElement(ElementKind::Text_Label_Label, p, i, m);
        }
    }
}

void ProjectReader::readPageColours(LineCursor &in)
{
    for (int p = 0; p < pages::OnScreen; ++p) {
        in.skip(1);
        view_.setPageColour(p, in.i32());
    }
}

void ProjectReader::readTrendIconsAndClocks(LineCursor &in)
{
    ProjectModel &m = st_.project;
    for (int k = 0; k < ProjectModel::Pages; ++k) {
        TrendIconRec &g = m.trendIcons[static_cast<std::size_t>(k)];
        in.skip(1);
        g.present = in.i16();
        g.left = in.i16();
        g.top = in.i16();
        g.width = in.i16();
        g.height = in.i16();
        g.spare = in.u8();
        if (g.present == 1)
            view_.createElement(ElementKind::Grafik_Image, k - 1, k, m);
    }
    for (int k = 0; k < ProjectModel::Pages; ++k) {
        ClockRec &c = m.clocks[static_cast<std::size_t>(k)];
        in.skip(1);
        c.present = in.i16();
        c.left = in.i16();
        c.top = in.i16();
        if (c.present == 1)
            view_.createElement(ElementKind::Real_Clock, k - 1, k, m);
    }
}

void ProjectReader::readControls(LineCursor &in)
{
    ProjectModel &m = st_.project;
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            ControlRec &c = m.controls[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            in.skip(1);
            c.present = in.i16();
            c.left = in.i16();
            c.top = in.i16();
            c.block = in.u8();
            c.key = in.u8();
            c.text = in.text();
            c.width = in.i16();
            c.height = in.i16();
            c.picture = in.u8();
            if (c.present == 1)
                view_.createElement(ElementKind::Control_Image, p, i, m);
        }
    }
}

void ProjectReader::readMenus(LineCursor &in)
{
    ProjectModel &m = st_.project;
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 0; i < ProjectModel::MenuSlots; ++i) {
            MenuRec &r = m.menus[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)];
            in.skip(1);
            r.present = in.i16();
            r.x = in.i16();
            r.y = in.i16();
            r.text = in.text();
            r.targetPage = in.u8();
            if (r.present == 1)
                view_.createElement(ElementKind::Menu_Image, p, i, m);
        }
    }
}

void ProjectReader::readBlocks(LineCursor &in)
{
    ProjectModel &m = st_.project;
    const BlockCatalogue &cat = st_.catalogue;

    // Section 9: block types.
    in.skip(1);
    std::array<int, ProjectModel::Blocks> typeLine{};
    for (int n = block::First; n <= block::Last; ++n) {
        m.blockType[static_cast<std::size_t>(n)] = in.val<std::int16_t>();
        typeLine[static_cast<std::size_t>(n)] = in.line();
    }

    // Section 10: block settings, skipped by their catalogue counts.
    for (int n = block::First; n <= block::Last; ++n) {
        const int t = m.blockType[static_cast<std::size_t>(n)];
        if (t == 0)
            continue;
        if (t < 1 || t > BlockCatalogue::TypeCount)
            throw ReadStop{typeLine[static_cast<std::size_t>(n)],
                           QStringLiteral("невідомий тип блоку %1 (блок U%2)").arg(t).arg(n)};
        in.skip(1 + cat.settingsLines(t) + 1);
    }

    // Section 11: the report mode from the first report block.
    m.reportMode = 0;
    for (int n = block::First; n <= block::Last; ++n) {
        if (m.blockType[static_cast<std::size_t>(n)] == block::REP) {
            const QStringView s = in.view();
            m.reportMode = in.fit<std::int16_t>(std::trunc(std::fabs(text::val(s))), s);
            in.skip(17);
            break;
        }
    }

    // Section 12: extra settings.
    in.skip(1);
    for (int n = block::First; n <= block::Last; ++n) {
        const int t = m.blockType[static_cast<std::size_t>(n)];
        if (t == block::S_P || t == block::PAN || t == block::GRA || t == block::JUR)
            in.skip(1 + cat.extraSettingsLines(t));
    }
}

bool ProjectReader::readNetlist()
{
    ProjectModel &m = st_.project;
    const std::optional<QByteArray> bytes = files_->readNetlist(m.netlistPath);
    if (!bytes) {
        failedLine_ = 0;
        return fail(msg::NetlistUnopened.arg(m.netlistPath));
    }
    NetlistTokens t = NetlistTokens::parse(*bytes, ProjectModel::MaxTokens);
    m.netTokens = std::move(t.tokens);
    m.netTokensOverflow = t.overflow;
    m.netTokenCount = static_cast<int>(m.netTokens.size()) + 1;
    NetlistImport(m, st_.catalogue, host_).importNetlist(m.netTokenCount);
    return true;
}

bool ProjectReader::load(const QString &path)
{
    failedLine_ = 0;
    failure_.clear();

    text::LineReader reader;
    if (!QFileInfo(path).isFile() || !reader.open(path))
        return fail(msg::ProjectUnopened.arg(path));
    static const ProjectFiles disk;
    files_ = &disk;
    const bool ok = loadLines(reader, path, QFileInfo(path).absolutePath());
    files_ = nullptr;
    return ok;
}

bool ProjectReader::loadContent(const QByteArray &content, const QString &path, const ProjectFiles &files)
{
    failedLine_ = 0;
    failure_.clear();

    text::LineReader reader;
    reader.setContent(content);
    files_ = &files;
    const bool ok = loadLines(reader, path, QFileInfo(path).absolutePath());
    files_ = nullptr;
    return ok;
}

bool ProjectReader::loadLines(text::LineReader &reader, const QString &path, const QString &folder)
{
    ProjectModel &m = st_.project;
    LineCursor in(reader);

    try {
        // Version, then the header up to the link set-up.
        {
            applyVersion(text::val(in.view()));
        }
        host_.setAnimationTimer(false);
        m.projectName = in.text();
        m.linkKind = in.val<std::int16_t>();
        m.ipAddress = in.text();
        m.tcpPort = in.val<std::int32_t>();
        host_.forgetDownloads();
        linkSetup();
        m.controllerAddress = in.val<std::int16_t>();
        m.netlistPath = files_->resolve(folder, in.text());

        clearElements();
        readPages(in, folder);

        view_.selectPage(0);
        m.currentPage = 0;
        in.skip(1);
        for (int k = 1; k <= 4; ++k)
            m.schemaSetting[static_cast<std::size_t>(k)] = in.i16();

        readSlotBlock(in);
        readEquipment(in);
        readTexts(in);
        readPageColours(in);
        readTrendIconsAndClocks(in);
        readControls(in);
        readMenus(in);
        readBlocks(in);
    } catch (const ReadStop &stop) {
        failedLine_ = stop.line;
        return fail(msg::ProjectReadError.arg(path).arg(stop.line).arg(stop.reason));
    }

    if (!readNetlist())
        return false;

    host_.enableMainWindow();
    host_.setCaption(QStringLiteral("SCADA Ж7 - ") + m.netlistPath);

    m.currentPage = 0;
    view_.selectPage(0);
    host_.layoutPageArea();
    view_.activatePage();

    host_.setPollTimer(true);
    host_.setAnimationTimer(true);
    host_.showProjectMenus();
    m.projectLoaded = 1;
    return true;
}
