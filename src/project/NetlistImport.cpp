#include "project/NetlistImport.h"

#include "app/BlockCatalogue.h"
#include "app/Blocks.h"
#include "app/Messages.h"
#include "text/Numbers.h"

#include <cfloat>
#include <cmath>

namespace {

struct ModeName {
    int type;
    const char16_t *name;
    int mode;
};

constexpr ModeName ModeNames[] = {
    {block::SUM, u"SUM2_4", 0},      {block::SUM, u"SUM2_3", 1},          {block::SUM, u"SUM8_1", 2},
    {block::AND, u"AND2_4", 0},      {block::AND, u"AND4_2", 1},          {block::AND, u"AND8_1", 2},
    {block::OR_, u"OR2_4", 0},       {block::OR_, u"OR4_2", 1},           {block::OR_, u"OR8_1", 2},
    {block::PID, u"PID_ANALOG1", 0}, {block::PID, u"PID21_ANALOG", 1},    {block::PID, u"PID_IMPULS", 2},
    {block::PID, u"PID_IMPULS1", 3}, {block::PID, u"PID_RELAY", 4},       {block::MUX, u"MUX1_6", 0},
    {block::MUX, u"MUX2_3", 1},      {block::MUX, u"MUXD1_8", 2},         {block::MUX, u"MUXD2_4", 3},
    {block::PAN, u"PAN_OFF_ON", 0},  {block::PAN, u"PAN_OFF_ON2", 1},     {block::PAN, u"PAN_HAND_AUT", 2},
    {block::PAN, u"PAN_INC_DEC", 4}, {block::PAN, u"PAN_INC_DEC_REG", 5}, {block::MIN, u"MIN_MAX_MIN", 0},
    {block::MIN, u"MIN_MAX_MAX", 1}, {block::TIM, u"TIMER_4", 0},         {block::TIM, u"TIMER_2", 1},
    {block::OSC, u"OSC4_ONE", 0},    {block::OSC, u"OSC4_GEN", 1},        {block::OSC, u"OSC2_ONE", 2},
    {block::OSC, u"OSC2_GEN", 3},
};

constexpr int OscNumbers[4] = {4, 8, 2, 4};

// Val of a short text taken to the nearest integer; 0 for anything that is not a sane number.
int valInt(QStringView s)
{
    const double v = text::val(s);
    if (!std::isfinite(v) || v > 1e6 || v < -1e6)
        return 0;
    return static_cast<int>(std::nearbyint(v));
}

// The whole number of an instance name in a "(compInst" token ("U150" gives 150). Block
// numbers are 1..99; a part numbered otherwise would be taken for the block its first two
// digits name (U100 for U10), so it ends the import instead.
int instanceNumber(const QString &compInst)
{
    const qsizetype open = compInst.indexOf(u'"');
    if (open < 0)
        return 0;
    qsizetype i = open + 1;
    while (i < compInst.size() && !compInst[i].isDigit() && compInst[i] != u'"')
        ++i;
    qsizetype j = i;
    while (j < compInst.size() && compInst[j].isDigit() && j - i < 7)
        ++j;
    return valInt(QStringView(compInst).mid(i, j - i));
}

}   // namespace

NetlistImport::NetlistImport(ProjectModel &model, BlockCatalogue &catalogue, NetlistListener &listener)
    : m_(model), cat_(catalogue), listener_(listener)
{
}

QString NetlistImport::parameterErrorText(int block) { return msg::NetlistParameterError + QString::number(block); }

QString NetlistImport::netlistErrorText() { return msg::NetlistError; }

std::optional<int> NetlistImport::modeOf(int t, const QString &libraryName)
{
    for (const ModeName &mn : ModeNames) {
        if (mn.type == t && libraryName == QStringView(mn.name))
            return mn.mode;
    }
    return std::nullopt;
}

int NetlistImport::areaSize(const BlockCatalogue &catalogue, int t)
{
    const int lines = catalogue.settingsLines(t);
    return t == block::JUR ? std::max(lines, 83) : lines;
}

const QString *NetlistImport::token(int t) const
{
    if (t < 1 || t > stored_)
        return nullptr;
    return &m_.netTokens[static_cast<std::size_t>(t - 1)];
}

void NetlistImport::stop() { throw Stop{}; }

void NetlistImport::importNetlist(int tokenCount)
{
    tokenCount_ = tokenCount;
    stored_ = std::clamp(tokenCount - 1, 0, static_cast<int>(m_.netTokens.size()));
    stored_ = std::min(stored_, ProjectModel::MaxTokens);

    for (auto &c : m_.netComponent)
        c = NetComponent{};
    m_.attrTokenIndex.fill(0);
    std::fill(m_.blockParams.begin(), m_.blockParams.end(), 0.0f);
    for (auto &s : m_.blockTexts)
        s.clear();
    m_.blockParams.resize(ProjectModel::ParamCount, 0.0f);
    m_.blockTexts.resize(ProjectModel::TextCount);
    m_.blockParamBase.fill(0);
    m_.blockTextBase.fill(0);
    m_.textTotal = 0;
    m_.Event_Base = 0;
    attrRun_.fill(-1);
    reported_.fill(false);

    try {
        componentPass(stored_);
        if (m_.netTokensOverflow || tokenCount - 1 > ProjectModel::MaxTokens)
            stop();
        typePass();
        settingsPass();
    } catch (const Stop &) {
        listener_.netlistError(netlistErrorText());
    }
}

void NetlistImport::componentPass(int stored)
{
    int k = 1;
    for (int t = 1; t <= stored; ++t) {
        const QString &tok = *token(t);
        if (tok.startsWith(u"(compInst")) {
            if (k > 100)
                stop();
            m_.netComponent[static_cast<std::size_t>(k)].instanceName = tok.mid(11, 3);
        } else if (tok.startsWith(u"(originalName") && tok.mid(15, 3) != u"INV") {
            if (k > 100)
                stop();
            const QString *inst = token(t - 2);
            if (!inst)
                stop();
            m_.netComponent[static_cast<std::size_t>(k)].typeCode = tok.mid(15, 3);
            const int n = valInt(QStringView(*inst).mid(std::min<qsizetype>(12, inst->size()), 2));
            if (n < 1 || n > 100 || instanceNumber(*inst) < 1 || instanceNumber(*inst) > block::Last)
                stop();
            m_.netComponent[static_cast<std::size_t>(n)].libraryName =
                tok.mid(15, std::max<qsizetype>(0, tok.size() - 17));
            ++k;
            const QString *next = token(t + 1);
            if (next && next->startsWith(u"(attr")) {
                int n2 = valInt(QStringView(*inst).right(3));
                if (n2 == 0)
                    n2 = valInt(QStringView(*inst).right(2));
                if (n2 < 1 || n2 > 100)
                    stop();
                m_.attrTokenIndex[static_cast<std::size_t>(n2)] = t + 1;
            }
        }
    }
}

void NetlistImport::typePass()
{
    m_.blockType.fill(0);
    for (int j = block::First; j <= block::Last; ++j) {
        const NetComponent &c = m_.netComponent[static_cast<std::size_t>(j)];
        if (c.typeCode.isEmpty())
            continue;
        std::optional<int> t = cat_.typeOf(c.typeCode);
        if (!t) {
            // Two-letter codes end in '_' ("OR_"), while their library names carry a digit
            // there ("OR2_4"): a listed library name names its type.
            const int n = valInt(QStringView(c.instanceName).right(2));
            if (n >= block::First && n <= block::Last) {
                const QString &lib = m_.netComponent[static_cast<std::size_t>(n)].libraryName;
                for (const ModeName &mn : ModeNames) {
                    if (lib == QStringView(mn.name) && cat_.codeOf(mn.type).left(2) == c.typeCode.left(2)) {
                        t = mn.type;
                        break;
                    }
                }
            }
        }
        if (!t)
            continue;
        const int n = valInt(QStringView(c.instanceName).right(2));
        if (n >= block::First && n <= block::Last)
            m_.blockType[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(*t);
    }
    m_.blockType[block::PanelStation] = block::SCA;
    m_.blockType[block::Trend] = block::GRA;
    m_.blockType[block::Journal] = block::JUR;
}

void NetlistImport::settingsPass()
{
    int base = 0;
    int textBase = 0;
    for (int n = block::First; n <= block::Last; ++n) {
        const int type = m_.blockType[static_cast<std::size_t>(n)];
        if (type < 1 || type > BlockCatalogue::TypeCount)
            continue;
        const int size = areaSize(cat_, type);
        const int extra = cat_.extraSettingsLines(type);
        const bool readsTexts = type == block::S_P || type == block::PAN || type == block::GRA || type == block::JUR;
        if (base + size > ProjectModel::ParamCount)
            stop();
        if (readsTexts && textBase + extra > ProjectModel::TextCount)
            stop();
        m_.blockParamBase[static_cast<std::size_t>(n)] = base;
        m_.blockTextBase[static_cast<std::size_t>(n)] = textBase;
        if (n == block::Journal)
            m_.Event_Base = textBase + cat_.textSlot(4, block::JUR);
        readBlock(n, type);
        base += size;
        textBase += extra;
        if (type == block::S_P || type == block::PAN || type == block::GRA)
            m_.textTotal += 17 * extra;
        else if (type == block::JUR)
            m_.textTotal += 40 * extra;
    }
}

int NetlistImport::attrRun(int n)
{
    int &run = attrRun_[static_cast<std::size_t>(n)];
    if (run >= 0)
        return run;
    run = 0;
    const int first = m_.attrTokenIndex[static_cast<std::size_t>(n)];
    if (first < 1)
        return run;
    for (const QString *tok = token(first); tok && tok->startsWith(u"(attr"); tok = token(first + run))
        ++run;
    return run;
}

bool NetlistImport::valueOf(int n, int k, QStringView &tok, qsizetype &start)
{
    if (k < 0 || k >= attrRun(n))
        return false;
    const QString *s = token(m_.attrTokenIndex[static_cast<std::size_t>(n)] + k);
    if (!s)
        return false;
    int quotes = 0;
    const qsizetype last = std::min<qsizetype>(32, s->size());
    for (qsizetype pos = 5; pos <= last; ++pos) {
        if ((*s)[pos - 1] == u'"' && ++quotes == 3) {
            tok = *s;
            start = pos;   // 0-based index of the character after the quote
            return true;
        }
    }
    return false;
}

void NetlistImport::failAttribute(int n)
{
    bool &done = reported_[static_cast<std::size_t>(n)];
    if (!done) {
        done = true;
        listener_.parameterError(parameterErrorText(n));
    }
}

void NetlistImport::storeParam(int n, int type, int k, float v)
{
    const int at = m_.blockParamBase[static_cast<std::size_t>(n)] + cat_.paramSlot(k, type);
    if (at < 0 || at >= static_cast<int>(m_.blockParams.size()))
        stop();
    m_.blockParams[static_cast<std::size_t>(at)] = v;
}

void NetlistImport::readNumber(int n, int type, int k)
{
    QStringView tok;
    qsizetype start = 0;
    if (!valueOf(n, k, tok, start)) {
        failAttribute(n);
        return;
    }
    const double v = text::val(tok.mid(start, 7));
    if (!std::isfinite(v) || std::fabs(v) > double(FLT_MAX)) {
        failAttribute(n);
        return;
    }
    storeParam(n, type, k, static_cast<float>(v));
}

static QString textValue(QStringView tok, qsizetype start)
{
    QStringView rest = tok.mid(start);
    const qsizetype q = rest.indexOf(u'"');
    if (q >= 0)
        rest = rest.left(q);
    return rest.left(42).toString();
}

void NetlistImport::readFlag(int n, int type, int k, const QString &onText)
{
    QStringView tok;
    qsizetype start = 0;
    if (!valueOf(n, k, tok, start)) {
        failAttribute(n);
        return;
    }
    storeParam(n, type, k, textValue(tok, start) == onText ? 1.0f : 0.0f);
}

void NetlistImport::readSensor(int n, int type, int k)
{
    QStringView tok;
    qsizetype start = 0;
    if (!valueOf(n, k, tok, start)) {
        failAttribute(n);
        return;
    }
    const QString value = textValue(tok, start);
    for (int s = 0; s <= 14; ++s) {
        if (cat_.sensorTypeName(s).startsWith(value)) {
            storeParam(n, type, k, static_cast<float>(s));
            return;
        }
    }
    failAttribute(n);
}

void NetlistImport::readText(int n, int type, int k)
{
    QStringView tok;
    qsizetype start = 0;
    if (!valueOf(n, k, tok, start)) {
        failAttribute(n);
        return;
    }
    const int at = m_.blockTextBase[static_cast<std::size_t>(n)] + cat_.textSlot(k, type);
    if (at < 0 || at >= static_cast<int>(m_.blockTexts.size()))
        stop();
    m_.blockTexts[static_cast<std::size_t>(at)] = textValue(tok, start);
}

void NetlistImport::readBlock(int n, int type)
{
    const NetComponent &comp = m_.netComponent[static_cast<std::size_t>(n)];
    const std::optional<int> mode = modeOf(type, comp.libraryName);
    const int base = m_.blockParamBase[static_cast<std::size_t>(n)];
    const int modeAt = type == block::SUM ? 9 : 0;
    if (mode && modeAt < areaSize(cat_, type))
        m_.blockParams[static_cast<std::size_t>(base + modeAt)] = static_cast<float>(*mode);

    // A block the netlist does not describe (97..99 are typed whatever the netlist holds) has
    // nothing to read; one that is described must carry its attributes.
    if (comp.libraryName.isEmpty() && m_.attrTokenIndex[static_cast<std::size_t>(n)] == 0)
        return;

    auto numbers = [&](int from, int to) {
        for (int k = from; k <= to; ++k)
            readNumber(n, type, k);
    };

    switch (type) {
    case block::A_I:
        readNumber(n, type, 0);
        for (int c = 0; c < 4; ++c) {
            readSensor(n, type, 7 * c + 1);
            numbers(7 * c + 2, 7 * c + 7);
        }
        break;
    case block::A_O:
    case block::D_I: readNumber(n, type, 0); break;
    case block::D_O:
        readNumber(n, type, 0);
        for (int k = 1; k <= 8; ++k)
            readFlag(n, type, k, QStringLiteral("Реле"));
        break;
    case block::MUL:
    case block::DIV:
    case block::SQR:
    case block::LIM: numbers(0, 3); break;
    case block::SUM: numbers(0, 8); break;
    case block::REG: readFlag(n, type, 0, QStringLiteral("Фронт")); break;
    case block::S_P:
        readText(n, type, 0);
        for (int j = 0; j < 8; ++j) {
            readText(n, type, 2 * j + 1);
            readNumber(n, type, 2 * j + 2);
        }
        readText(n, type, 17);
        break;
    case block::PID:
        // Nine settings make a complete regulator; parts that carry two more have them read
        // into the following slots, and parts without them are not faulted.
        numbers(0, 8);
        for (int k = 9; k <= 10 && k < attrRun(n); ++k)
            readNumber(n, type, k);
        break;
    case block::PRO: numbers(0, 128); break;
    case block::PAN: {
        const int count = mode == 4 ? 12 : mode == 5 ? 13 : 0;
        if (count > 0) {
            for (int k = 0; k < BlockCatalogue::SlotRows; ++k)
                cat_.setParamSlot(k, block::PAN, static_cast<std::uint8_t>(k >= 5 && k < 5 + count ? k - 4 : 0));
            numbers(5, 4 + count);
        }
        for (int k = 0; k <= 4; ++k)
            readText(n, type, k);
        break;
    }
    case block::RTC:
    case block::CMP: numbers(0, 5); break;
    case block::COD: numbers(0, 96); break;
    case block::TIM: numbers(0, mode == 1 ? 1 : 3); break;
    case block::COU: numbers(0, 2); break;
    case block::OSC: {
        const int count = OscNumbers[std::clamp(mode.value_or(0), 0, 3)];
        for (int k = 0; k < BlockCatalogue::SlotRows; ++k)
            cat_.setParamSlot(k, block::OSC, static_cast<std::uint8_t>(k < count ? k + 1 : 0));
        numbers(0, count - 1);
        break;
    }
    case block::GRA:
    case block::JUR:
        readNumber(n, type, 0);
        readText(n, type, 1);
        for (int c = 0; c < 32; ++c) {
            readNumber(n, type, 3 * c + 2);
            readNumber(n, type, 3 * c + 3);
            readText(n, type, 3 * c + 4);
        }
        break;
    case block::LOG:
        for (int k = 0; k <= 2; ++k)
            readFlag(n, type, k, QStringLiteral("SP"));
        numbers(3, 8);
        break;
    default: break;
    }
}

float blockSetting(const ProjectModel &m, const BlockCatalogue &c, int n, int k)
{
    if (n < block::First || n > block::Last || m.blockType[static_cast<std::size_t>(n)] < 1)
        return 0.0f;
    const int at =
        m.blockParamBase[static_cast<std::size_t>(n)] + c.paramSlot(k, m.blockType[static_cast<std::size_t>(n)]);
    if (at < 0 || at >= static_cast<int>(m.blockParams.size()))
        return 0.0f;
    return m.blockParams[static_cast<std::size_t>(at)];
}

QString blockText(const ProjectModel &m, const BlockCatalogue &c, int n, int k)
{
    if (n < block::First || n > block::Last || m.blockType[static_cast<std::size_t>(n)] < 1)
        return {};
    const int at =
        m.blockTextBase[static_cast<std::size_t>(n)] + c.textSlot(k, m.blockType[static_cast<std::size_t>(n)]);
    if (at < 0 || at >= static_cast<int>(m.blockTexts.size()))
        return {};
    return m.blockTexts[static_cast<std::size_t>(at)];
}
