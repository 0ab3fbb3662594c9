#include "DemoPlant.h"

#include "Blocks.h"
#include "Pages.h"

#include "app/BlockCatalogue.h"
#include "project/NetlistImport.h"

namespace demo {

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
}   // namespace

const std::array<QString, 32> &trendChannelNames()
{
    static const std::array<QString, 32> names = {
        // Group 1: boiler 1
        u("Тиск пари К-1"),
        u("Рівень у барабані К-1"),
        u("Розрідження в топці К-1"),
        u("Т димових газів К-1"),
        // Group 2: boiler 2
        u("Тиск пари К-2"),
        u("Рівень у барабані К-2"),
        u("Розрідження в топці К-2"),
        u("Т димових газів К-2"),
        // Group 3: heating network
        u("Т прямої води"),
        u("Т зворотної води"),
        u("Тиск прямої води"),
        u("Тиск зворотної води"),
        // Group 4: deaerator and feed water
        u("Рівень у деаераторі"),
        u("Тиск живильної води"),
        u("Т зовнішнього повітря"),
        u("Т повітря в котельні"),
        // Group 5: draught and air
        u("Тиск повітря К-1"),
        u("Тиск повітря К-2"),
        u("Розрідження перед ДС-1"),
        u("Розрідження перед ДС-2"),
        // Group 6: regulators
        u("Вихід регулятора К-1"),
        u("Вихід регулятора К-2"),
        u("Клапан пари на ПСВ"),
        u("Уставка Т прямої води"),
        // Group 7: fuel
        u("Паливо в бункері К-1"),
        u("Паливо в бункері К-2"),
        u("Швидкість шнека Ш-1"),
        u("Швидкість шнека Ш-2"),
        // Group 8: heat output
        u("Перепад Т мережі"),
        u("Теплова потужність"),
        u("Витрата мережевої води"),
        u("Витрата живильної води"),
    };
    return names;
}

const std::array<QString, 32> &journalEventNames()
{
    static const std::array<QString, 32> names = {
        u("Тиск пари К-1 високий"),
        u("Рівень у барабані К-1 низький"),
        u("Рівень у барабані К-1 високий"),
        u("Немає розрідження в топці К-1"),
        u("Тиск пари К-2 високий"),
        u("Рівень у барабані К-2 низький"),
        u("Рівень у барабані К-2 високий"),
        u("Немає розрідження в топці К-2"),
        u("Зупинка дуттьового вентилятора ДВ-1"),
        u("Зупинка дуттьового вентилятора ДВ-2"),
        u("Зупинка димососа ДС-1"),
        u("Зупинка димососа ДС-2"),
        u("Т димових газів висока"),
        u("Т прямої води висока"),
        u("Тиск у прямій мережі низький"),
        u("Тиск у зворотній мережі низький"),
        u("Аварія мережевого насоса МН-1"),
        u("Аварія мережевого насоса МН-2"),
        u("Аварія живильного насоса ЖН-1"),
        u("Аварія живильного насоса ЖН-2"),
        u("Рівень у деаераторі низький"),
        u("Рівень у деаераторі високий"),
        u("Тиск живильної води низький"),
        u("Зупинка стрічкового конвеєра"),
        u("Зупинка норії"),
        u("Завал шнека Ш-1"),
        u("Завал шнека Ш-2"),
        u("Мало палива в бункерах"),
        u("Обрив фази живлення"),
        u("Несправність датчика"),
        u("Пожежна сигналізація"),
        u("Загазованість котельні"),
    };
    return names;
}

int blockTypeOf(const BlockCatalogue &catalogue, const QString &library)
{
    if (const auto t = catalogue.typeOf(library.left(3)))
        return *t;
    // Two-letter codes end in '_' ("OR_") while the library names carry a digit there.
    for (int t = 1; t <= BlockCatalogue::TypeCount; ++t) {
        if (catalogue.codeOf(t).left(2) == library.left(2) && NetlistImport::modeOf(t, library))
            return t;
    }
    return 0;
}

QString trendTitle() { return u("Котельня № 3: тренди"); }
QString journalTitle() { return u("Журнал подій котельні"); }

Plant buildPlant()
{
    Plant plant;
    ProjectModel &m = plant.model;
    m.formatVersion = 5;
    m.versionCode = 5;
    m.projectName = u("Котельня № 3 (демонстраційний проект)");
    m.linkKind = 9;
    m.ipAddress = QStringLiteral("127.0.0.1");
    m.tcpPort = 4001;
    m.controllerAddress = 1;
    m.netlistPath = QStringLiteral("\\") + NetlistFileName;
    m.schemaSetting = {0, 1, 0, 1, 0};

    buildPages(plant);
    plant.parts = buildBlocks();
    const BlockCatalogue catalogue;
    for (const NetPart &part : plant.parts) {
        const int t = blockTypeOf(catalogue, part.library);
        if (t == 0)
            plant.problems << QStringLiteral("block %1: no type for %2").arg(part.number).arg(part.library);
        else if (part.number >= 1 && part.number <= 99)
            m.blockType[static_cast<std::size_t>(part.number)] = static_cast<std::int16_t>(t);
    }
    return plant;
}

}   // namespace demo
