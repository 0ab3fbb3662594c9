#include "FuzzRig.h"
#include "station/Station.h"

#include "text/LineFile.h"

namespace fuzz {

using namespace fixture;

QString MemoryFiles::resolve(const QString &folder, const QString &name) const
{
    QString rel = name;
    rel.replace(u'\\', u'/');
    while (rel.startsWith(u'/'))
        rel.remove(0, 1);
    return rel.isEmpty() ? folder : folder + u'/' + rel;
}

std::optional<QByteArray> MemoryFiles::readNetlist(const QString &path) const
{
    if (!path.endsWith(QLatin1String(".net"), Qt::CaseInsensitive))
        return std::nullopt;
    return netlist;
}

bool QuietView::setupPage(int p, const QString &, const QString &picturePath, bool)
{
    FUZZ_CHECK(p >= 0 && p < 8);
    return picturePath.isEmpty() || picturePath.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
}

void QuietView::createElement(ElementKind kind, int page, int slot, const ProjectModel &)
{
    // Trend icons and clocks: record k lives on page k - 1.
    const bool perPage = kind == ElementKind::Grafik_Image || kind == ElementKind::Real_Clock;
    FUZZ_CHECK(perPage ? (slot >= 0 && slot < ProjectModel::Pages && page == slot - 1)
                       : (page >= 0 && page < ProjectModel::Pages && slot >= 0 && slot < 65));
    ++created;
}

PrtProject plantProject()
{
    PrtProject p;
    p.version = 5;
    p.linkKind = 1;
    p.netlist = QStringLiteral("\\plant.net");
    p.pagePicture[0] = QStringLiteral("\\Boiler.bmp");
    p.pageEnabled[0] = 1;
    p.pagePicture[1] = QStringLiteral("\\Pumps.gif");
    p.pageEnabled[1] = 1;
    ProjectModel &m = p.elements;
    // Slots 1..6 of page 0 and slot 32: one of every polled kind on blocks that exist.
    for (int s : {1, 2, 3, 4, 5, 6, 32}) {
        const auto S = static_cast<std::size_t>(s);
        const auto pin = static_cast<std::uint8_t>(s % 4);
        m.valueLabels[0][S] = {1, std::int16_t(10 * s), 20, 0xff, 0, 1, 10, std::uint8_t(s % 5), 1, pin};
        m.levels[0][S] = {1, std::int16_t(10 * s), 60, 20, 80, 100, 0xff00, 0, 0, 26, 1};
        m.signals[0][S] = {1, std::int16_t(10 * s), 100, 24, 24, 0xff, 0xff00, 0, 0, 4, std::uint8_t(s % 8)};
        m.signalTexts[0][S] = {1,
                               std::int16_t(10 * s),
                               std::int16_t(s == 3 ? 140 + 2048 : 140),
                               10,
                               0,
                               0xffffff,
                               QStringLiteral("Стоп"),
                               QStringLiteral("Пуск"),
                               0,
                               0,
                               std::uint8_t(s == 2 ? 48 : 4),
                               pin};
        m.controls[0][S] = {1,  std::int16_t(10 * s),        180, 29, std::uint8_t(s), QStringLiteral("Кн"), 40,
                            20, std::uint8_t(s % 2 ? 4 : 12)};
        m.equipment[0][S] = {1, std::int16_t(10 * s), 220, 40, 40, s % 8, 4, std::uint8_t(s % 8)};
        m.goBlocks[0][S] = {1, std::int16_t(10 * s), 260, 26, 1};
    }
    m.texts[0][1] = {1, 5, 5, 0, QStringLiteral("Котельня"), QStringLiteral("Arial"), 1, 0, 12};
    m.menus[0][1] = {1, 700, 10, QStringLiteral("Далі"), 2};
    m.trendIcons[1] = {1, 600, 10, 32, 32, 0};
    m.clocks[1] = {1, 650, 450};
    const std::pair<int, int> blocks[] = {{1, 1},   {4, 4},   {25, 25}, {26, 26}, {29, 29}, {36, 36},
                                          {48, 48}, {50, 50}, {97, 43}, {98, 41}, {99, 42}};
    for (const auto &[n, t] : blocks)
        m.blockType[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(t);
    p.reportModeLine = QStringLiteral(" 1 ");
    return p;
}

NetList plantNetlist()
{
    NetList net;
    std::array<AnalogChannel, 4> channels;
    for (int c = 0; c < 4; ++c)
        channels[static_cast<std::size_t>(c)] = {QStringLiteral("100П"), {0, 100, double(c), 10, 90, 1}};
    std::array<SetPoint, 8> points;
    for (int j = 0; j < 8; ++j)
        points[static_cast<std::size_t>(j)] = {QStringLiteral("Уставка %1").arg(j), 10.5 * j};
    std::array<NamedPair, 32> items;
    for (int c = 0; c < 32; ++c)
        items[static_cast<std::size_t>(c)] = {double(c), double(100 + c), QStringLiteral("Канал %1").arg(c)};
    net.parts.push_back(part(1, QStringLiteral("A_I"), analogInputValues(1, channels)));
    net.parts.push_back(
        part(4, QStringLiteral("D_O"), digitalOutputValues(1, {true, false, true, false, true, false, true, false})));
    net.parts.push_back(part(25, QStringLiteral("S_P"), setPointValues(QStringLiteral("Уставки"), points)));
    net.parts.push_back(part(26, QStringLiteral("PID"), numberValues({55, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
    net.parts.push_back(part(29, QStringLiteral("PAN_INC_DEC_REG"),
                             panelValues({QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"),
                                          QStringLiteral("Г"), QStringLiteral("Д")},
                                         {0, 100, 5, 0, 100, 5, 0, 100, 5, 0, 100, 5, 1})));
    net.parts.push_back(part(36, QStringLiteral("TIM"), numberValues({5, 1, 2, 3})));
    net.parts.push_back(part(48, QStringLiteral("REP")));
    net.parts.push_back(part(50, QStringLiteral("TOU")));
    net.parts.push_back(part(98, QStringLiteral("GRA"), archiveValues(0, QStringLiteral("Тренди"), items)));
    net.parts.push_back(part(99, QStringLiteral("JUR"), archiveValues(0, QStringLiteral("Журнал"), items)));
    net.nets.push_back({QStringLiteral("N1"), {{QStringLiteral("U1"), 2}, {QStringLiteral("U26"), 1}}});
    return net;
}

QByteArray projectBytes(const PrtProject &p)
{
    return text::encode1251(prtLines(p).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QByteArray netlistBytes(const NetList &n)
{
    return text::encode1251(netLines(n).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void loadPlant(Station &station)
{
    MemoryFiles files;
    files.netlist = netlistBytes(plantNetlist());
    QuietView view;
    QuietHost host;
    ProjectReader reader(station, view, host);
    const bool ok = reader.loadContent(projectBytes(plantProject()), QStringLiteral("/plant/plant.prt"), files);
    if (!ok || host.netlistErrors || host.parameterErrors) {
        std::fprintf(stderr, "fuzz: the plant project does not load: %s (%d netlist, %d parameter errors)\n",
                     qPrintable(reader.failure()), host.netlistErrors, host.parameterErrors);
        std::abort();
    }
}

void checkTables(const Station &st)
{
    const ProjectModel &m = st.project;
    FUZZ_CHECK(st.poll.Graf_Image.size() == 30006);
    FUZZ_CHECK(m.blockParams.size() == static_cast<std::size_t>(ProjectModel::ParamCount));
    FUZZ_CHECK(m.blockTexts.size() == static_cast<std::size_t>(ProjectModel::TextCount));
    FUZZ_CHECK(m.netTokens.size() <= static_cast<std::size_t>(ProjectModel::MaxTokens));
    for (int n = 1; n <= 99; ++n) {
        const auto N = static_cast<std::size_t>(n);
        FUZZ_CHECK(m.blockParamBase[N] >= 0 && m.blockParamBase[N] <= ProjectModel::ParamCount);
        FUZZ_CHECK(m.blockTextBase[N] >= 0 && m.blockTextBase[N] <= ProjectModel::TextCount);
    }
}

}   // namespace fuzz
