#include "main/ConfigScada.h"
#include "app/Logo.h"
#include "app/ModalWindow.h"
#include "station/Station.h"
#include <QAction>
#include <QCloseEvent>
#include "app/FileDialogs.h"
#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

namespace {

struct MenuItem {
    const char *name;
    const char *caption;   // nullptr: separator
    const char *parent;    // nullptr: on the menu bar
    bool submenu;
    bool visible;
};

// The menu in order, with captions and start visibility.
const MenuItem menuItems[] = {
    {"mnuFile", "&Файл", nullptr, true, true},
    {"mnuLoad", "&Відкрити проект", "mnuFile", false, true},
    {"mnu1", nullptr, "mnuFile", false, true},
    {"mnuGRAFIK", "&Відкрити графік", "mnuFile", false, false},
    {"mnu12", nullptr, "mnuFile", false, false},
    {"mnuJurnalOpen", "&Відкрити журнал", "mnuFile", false, false},
    {"mnu13", nullptr, "mnuFile", false, false},
    {"mnuExit", "&Вихід", "mnuFile", false, true},
    {"mnuNastrojki", "&Налаштування", nullptr, false, true},
    {"mnuVid", "&Вид", nullptr, true, true},
    {"mnuSchema", "&Схема", "mnuVid", false, true},
    {"mnuSCADA", "&SCADA", "mnuVid", false, true},
    {"mnuReport", "&Звіт", nullptr, true, false},
    {"mnuReportEXCEL", "&Звіт EXCEL", "mnuReport", false, true},
    {"mnuJurnal", "&Журнал", "mnuReport", false, true},
    {"mnuIstorija", "&Історія", "mnuReport", false, true},
    {"mnuHelp", "&Довідка", nullptr, true, true},
    {"mnuHelp3", "&Версія 5.0  (01/09/19) ", "mnuHelp", false, true},
    {"mnuHelp1", "&Версія 2.0  (01/03/15) ", "mnuHelp", false, true},
    {"mnuHelp2", "&Версія 1.2 (01.10.14)", "mnuHelp", false, true},
    {"mnu14", nullptr, "mnuHelp", false, true},
    {"mnuAbout", "&Про програму", "mnuHelp", false, true},
};

const char *const versionItems[] = {"mnuHelp3", "mnuHelp1", "mnuHelp2"};

// The letters on the same key of a PC keyboard in the Latin (QWERTY), Ukrainian and Russian
// layouts, lower case.
const char16_t *const sameKey[] = {
    u"qй",  u"wц", u"eу",  u"rк", u"tе", u"yн", u"uг", u"iш", u"oщ", u"pз", u"[х",
    u"]їъ", u"aф", u"sіы", u"dв", u"fа", u"gп", u"hр", u"jо", u"kл", u"lд", u";ж",
    u"'єэ", u"zя", u"xч",  u"cс", u"vм", u"bи", u"nт", u"mь", u",б", u".ю", u"`ґё",
};

// The other letters of the key that types `c` (upper case), empty when it is not listed.
QString keyTwins(QChar c)
{
    const QChar lower = c.toLower();
    for (const char16_t *key : sameKey) {
        const QString letters = QString::fromUtf16(key);
        if (letters.contains(lower))
            return letters.toUpper().remove(lower.toUpper());
    }
    return {};
}

// The access key of a caption ("&Файл" gives Ф), null when it has none.
QChar accessKey(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1) != u'&')
            return caption.at(i + 1).toUpper();
        ++i;
    }
    return {};
}

// The first visible, enabled action of `actions` whose access key is `key`.
QAction *actionWithKey(const QList<QAction *> &actions, QChar key)
{
    for (QAction *a : actions)
        if (a->isVisible() && a->isEnabled() && !a->isSeparator() && accessKey(a->text()) == key)
            return a;
    return nullptr;
}

// Access keys in any keyboard layout. The captions are Cyrillic; under a Latin layout the key
// of a Cyrillic letter types its Latin twin, which Qt matches against nothing (and "&SCADA"
// the other way round). A key whose own letter is no access key is tried as the letters on
// the same key in the other layouts: on the menu bar with Alt (or in its keyboard mode) and
// in an open menu.
class LayoutAccessKeys : public QObject {
public:
    explicit LayoutAccessKeys(QMainWindow *window) : QObject(window), window_(window)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || synthesising_)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->text().size() != 1 || (mods != Qt::NoModifier && mods != Qt::AltModifier && mods != Qt::ShiftModifier))
            return false;
        const QChar typed = key->text().at(0).toUpper();
        const QString twins = keyTwins(typed);
        if (twins.isEmpty())
            return false;
        QMenuBar *bar = window_->menuBar();

        if (auto *menu = qobject_cast<QMenu *>(watched); menu && belongsToBar(menu, bar)) {
            if (actionWithKey(menu->actions(), typed))
                return false;
            for (QChar twin : twins) {
                if (!actionWithKey(menu->actions(), twin))
                    continue;
                // The menu's own access-key handling, with the letter the caption shows.
                QKeyEvent again(QEvent::KeyPress, twin.unicode(), key->modifiers(), QString(twin));
                synthesising_ = true;
                QCoreApplication::sendEvent(menu, &again);
                synthesising_ = false;
                return true;
            }
            return false;
        }

        auto *widget = qobject_cast<QWidget *>(watched);
        const bool onBar = watched == bar && mods == Qt::NoModifier;
        const bool withAlt = mods == Qt::AltModifier && widget && widget->window() == window_;
        if (!onBar && !withAlt)
            return false;
        if (actionWithKey(bar->actions(), typed))
            return false;
        for (QChar twin : twins) {
            QAction *a = actionWithKey(bar->actions(), twin);
            if (!a)
                continue;
            if (a->menu())
                bar->setActiveAction(a);
            else
                a->trigger();
            return true;
        }
        return false;
    }

private:
    static bool belongsToBar(const QWidget *menu, const QWidget *bar)
    {
        for (const QWidget *p = menu->parentWidget(); p; p = p->parentWidget())
            if (p == bar)
                return true;
        return false;
    }

    QMainWindow *window_;
    bool synthesising_ = false;
};

}   // namespace

ConfigScada::ConfigScada(Station &station, QWidget *parent)
    : QMainWindow(parent), station_(station), keyRepeat_(station)
{
    setObjectName(QStringLiteral("Config_SCADA"));
    setWindowTitle(QStringLiteral("SCADA Ж7-301 5.1"));

    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    auto *layout = new QGridLayout(clientArea_);
    logo_ = new Logo(clientArea_);
    layout->addWidget(logo_, 0, 0, Qt::AlignCenter);
    startHint_ = new QLabel(startHintText(), clientArea_);
    startHint_->setObjectName(QStringLiteral("startHint"));
    startHint_->setAlignment(Qt::AlignCenter);
    startHint_->setMargin(16);
    layout->addWidget(startHint_, 0, 0, Qt::AlignHCenter | Qt::AlignBottom);
    setCentralWidget(clientArea_);

    buildMenu();
    new LayoutAccessKeys(this);
    runStartup();
    buildTimers();
}

ConfigScada::~ConfigScada()
{
    for (auto &entry : windows_)
        delete entry.second.data();
    for (QPointer<QWidget> &w : unloaded_)
        delete w.data();   // deferred deletion may not have run before the event loop ended
}

void ConfigScada::runStartup()
{
    ProjectModel &project = station_.project;

    // 1
    project.projectLoaded = 0;
    station_.alarm.Sound_On = 1;
    // 2
    station_.catalogue = BlockCatalogue();
    // 3
    resize(WidthTwips / TwipsPerPixel, HeightTwips / TwipsPerPixel);
    // 4
    project.linkKind = 1;
    project.controllerAddress = 1;
    station_.inspector.inspectorBlockType = 1;
    // 5
    project.pagePicture.fill(QString());
    for (auto &page : project.valueLabels)
        for (auto &rec : page)
            rec.fontSize = 8;
    for (auto &page : project.signalTexts)
        for (auto &rec : page)
            rec.fontSize = 10;
    // 6
    project.currentPage = 0;
    project.netlistPath = QStringLiteral("Пусто");
    // 8
    station_.trend.Graf_Style[0] = 1;
    station_.key.position = {0, 0, 0, 0};
}

void ConfigScada::buildMenu()
{
    QMenuBar *bar = menuBar();
    for (const MenuItem &item : menuItems) {
        const QString name = QString::fromLatin1(item.name);
        QAction *action = nullptr;
        if (item.submenu) {
            QMenu *m = bar->addMenu(QString::fromUtf8(item.caption));
            m->setObjectName(name);
            menus_.insert(name, m);
            action = m->menuAction();
        } else {
            QMenu *into = item.parent ? menus_.value(QString::fromLatin1(item.parent)) : nullptr;
            QWidget *where = into ? static_cast<QWidget *>(into) : static_cast<QWidget *>(bar);
            action = new QAction(where);
            if (item.caption)
                action->setText(QString::fromUtf8(item.caption));
            else
                action->setSeparator(true);
            where->addAction(action);
        }
        action->setObjectName(name);
        action->setVisible(item.visible);
        actions_.insert(name, action);
    }

    // The version items only show which protocol the project uses: a click changes nothing.
    for (const char *name : versionItems) {
        QAction *a = actions_.value(QString::fromLatin1(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, a, [a](bool checked) { a->setChecked(!checked); });
    }
    actions_.value(QStringLiteral("mnuHelp1"))->setChecked(true);

    connect(action(QStringLiteral("mnuLoad")), &QAction::triggered, this, &ConfigScada::chooseProjectFile);
    connect(action(QStringLiteral("mnuExit")), &QAction::triggered, this, &QWidget::close);
    connect(action(QStringLiteral("mnuNastrojki")), &QAction::triggered, this, &ConfigScada::projectSettingsRequested);
    connect(action(QStringLiteral("mnuGRAFIK")), &QAction::triggered, this, &ConfigScada::trendFileRequested);
    connect(action(QStringLiteral("mnuJurnalOpen")), &QAction::triggered, this, &ConfigScada::journalFileRequested);
    connect(action(QStringLiteral("mnuReportEXCEL")), &QAction::triggered, this, &ConfigScada::reportWindowRequested);
    connect(action(QStringLiteral("mnuJurnal")), &QAction::triggered, this, &ConfigScada::journalWindowRequested);
    connect(action(QStringLiteral("mnuIstorija")), &QAction::triggered, this, &ConfigScada::historyRequested);
    connect(action(QStringLiteral("mnuSchema")), &QAction::triggered, this, &ConfigScada::schemaRequested);
    connect(action(QStringLiteral("mnuSCADA")), &QAction::triggered, this, &ConfigScada::scadaRequested);
    connect(action(QStringLiteral("mnuAbout")), &QAction::triggered, this, &ConfigScada::showAbout);
}

void ConfigScada::buildTimers()
{
    auto make = [this](const char *name, int interval, bool enabled) {
        auto *t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        if (enabled)
            t->start();
        return t;
    };
    timer1_ = make("Timer1", 250, true);
    timerKeyPause_ = make("Timer_Key_Pause", KeyRepeat::StartInterval, keyRepeat_.enabled());
    timer05_ = make("Timer_05", 30, false);
    timer05_->setTimerType(Qt::PreciseTimer);
    timerTransport45_ = make("Timer_Transport45", 10, false);
    timerVent_ = make("Timer_Vent", 70, true);

    connect(timer1_, &QTimer::timeout, this, [this] { tickClock(QDateTime::currentDateTime()); });
    connect(timerKeyPause_, &QTimer::timeout, this, [this] { keyRepeat_.tick(); });
    keyRepeat_.setTimerListener([this] { syncKeyTimer(); });
}

void ConfigScada::syncKeyTimer()
{
    if (timerKeyPause_->interval() != keyRepeat_.interval())
        timerKeyPause_->setInterval(keyRepeat_.interval());
    if (keyRepeat_.enabled() && !timerKeyPause_->isActive())
        timerKeyPause_->start();
    else if (!keyRepeat_.enabled() && timerKeyPause_->isActive())
        timerKeyPause_->stop();
}

QAction *ConfigScada::action(const QString &name) const { return actions_.value(name); }

QMenu *ConfigScada::menu(const QString &name) const { return menus_.value(name); }

QStringList ConfigScada::menuItemNames()
{
    QStringList names;
    for (const MenuItem &item : menuItems)
        names << QString::fromLatin1(item.name);
    return names;
}

void ConfigScada::hideLogo()
{
    logo_->hide();
    startHint_->hide();
}

QString ConfigScada::startHintText()
{
    return QStringLiteral("Щоб почати, відкрийте проект: «Файл» → «Відкрити проект» (Alt+Ф, В).\n"
                          "Без контролера можна запустити демонстрацію: tablo --demo.");
}

QString ConfigScada::aboutText() const
{
    QString used;
    for (const char *name : versionItems)
        if (QAction *a = actions_.value(QString::fromLatin1(name)); a && a->isChecked())
            used = a->text().remove(u'&').trimmed();
    QStringList versions;
    for (const char *name : versionItems)
        versions << actions_.value(QString::fromLatin1(name))->text().remove(u'&').trimmed();
    return QStringLiteral("Tablo 5.1 (SCADA Ж7-301 5.1)\n"
                          "Станція оператора для програмованих контролерів сімейства Ж7: мнемосхеми, "
                          "графіки, журнал подій, звіти.\n\n"
                          "Протоколи контролера: %1.\nПроект використовує: %2.\n\n"
                          "Ліцензія: власницька, усі права застережено (2026, розробники Tablo); програма "
                          "надається операторам установок разом із контролерами, які вона обслуговує.\n\n"
                          "Дані: проект (*.prt) і схема P-CAD (*.net) читаються з тієї теки, де їх відкрито; "
                          "програма їх не змінює і власних налаштувань не зберігає.\n"
                          "Історія: архіви графіків, журналу подій і звітів зберігаються в контролері; на "
                          "комп'ютері лишаються тільки файли, які зберіг оператор (*.grf, *.jur, *.rep, "
                          "*.xlsx, *.csv), там, де він їх зберіг.")
        .arg(versions.join(QStringLiteral(", ")), used.isEmpty() ? QStringLiteral("—") : used);
}

QWidget *ConfigScada::aboutWindow() const { return about_.data(); }

void ConfigScada::showAbout()
{
    if (!about_) {
        about_ = new QMessageBox(QMessageBox::Information, QStringLiteral("Про програму"), QString(), QMessageBox::Ok);
        about_->setObjectName(QStringLiteral("About"));
        about_->setTextFormat(Qt::PlainText);
        registerWindow(QStringLiteral("About"), about_);
    }
    about_->setText(aboutText());
    openModal(about_);
}

void ConfigScada::setClockLabels(int k, QLabel *clock, QLabel *date)
{
    if (!clock && !date)
        clocks_.erase(k);
    else
        clocks_[k] = ClockPair{clock, date};
}

void ConfigScada::clearClockLabels() { clocks_.clear(); }

void ConfigScada::tickClock(const QDateTime &now)
{
    const auto it = clocks_.find(station_.project.currentPage + 1);
    if (it != clocks_.end()) {
        if (it->second.clock)
            it->second.clock->setText(now.toString(QStringLiteral("hh:mm")));
        if (it->second.date)
            it->second.date->setText(now.toString(QStringLiteral("dd.MM.yy")));
    }
    if (logo_->isVisible())
        logo_->setDateTime(now);
}

void ConfigScada::pressKey(int elementIndex) { keyRepeat_.press(elementIndex); }

void ConfigScada::releaseKey() { keyRepeat_.release(); }

void ConfigScada::setCurrentPage(int page)
{
    if (page >= 0 && page <= 7)
        station_.project.currentPage = static_cast<std::int16_t>(page);
}

void ConfigScada::loadProject(const QString &path)
{
    requestedProjectPath_ = path;
    hideLogo();
}

void ConfigScada::chooseProjectFile()
{
    FileDialogs::open(this, QStringLiteral("Відкрити проект"), QStringLiteral("project file (*.prt)"),
                      [this](const QString &path) {
                          if (!path.isEmpty())
                              loadProject(path);
                      });
}

QStringList ConfigScada::shutdownOrder()
{
    return {QStringLiteral("Config_Project"),   QStringLiteral("GO"),
            QStringLiteral("Go_Jurnal"),        QStringLiteral("Vent"),
            QStringLiteral("Set_SP_US1"),       QStringLiteral("Input_Output_Block"),
            QStringLiteral("Report"),           QStringLiteral("Jurnal_ALARM_ON"),
            QStringLiteral("Find_GRAFIK_DATA"), QStringLiteral("Find_JURNAL_DATA"),
            QStringLiteral("Name_sobytie"),     QStringLiteral("JURNAL_sheet"),
            QStringLiteral("GRAFIK_sheet")};
}

void ConfigScada::registerWindow(const QString &name, QWidget *window)
{
    for (auto &entry : windows_) {
        if (entry.first == name) {
            entry.second = window;
            return;
        }
    }
    windows_.emplace_back(name, window);
}

QWidget *ConfigScada::registeredWindow(const QString &name) const
{
    for (const auto &entry : windows_)
        if (entry.first == name)
            return entry.second.data();
    return nullptr;
}

void ConfigScada::openModal(QWidget *window) { ModalWindow::show(this, window); }

void ConfigScada::unloadWindows()
{
    std::vector<QPointer<QWidget>> order;
    for (const QString &name : shutdownOrder())
        if (QWidget *w = registeredWindow(name))
            order.emplace_back(w);
    const QStringList known = shutdownOrder();
    for (const auto &entry : windows_)
        if (!known.contains(entry.first) && entry.second)
            order.push_back(entry.second);
    windows_.clear();

    for (const QPointer<QWidget> &w : order) {
        if (!w)
            continue;   // went with an earlier one
        w->close();
        if (w)
            w->hide();   // even if it refused to close
        if (w) {
            w->deleteLater();
            unloaded_.push_back(w);
        }
    }
}

void ConfigScada::closeEvent(QCloseEvent *event)
{
    unloadWindows();
    event->accept();
    Q_EMIT shutDown();
}
