#include "ui/main/MainMenus.h"

#include "shell/LanguageState.h"
#include "shell/StringIds.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

// A menu or submenu; the menu and the entry that opens it both carry the control name.
template <typename Parent>
QMenu* addMenu(Parent* parent, const char* name)
{
    QMenu* menu = parent->addMenu(QString());
    menu->setObjectName(QString::fromUtf8(name));
    menu->menuAction()->setObjectName(QString::fromUtf8(name));
    return menu;
}

QAction* addItem(QMenu* menu, const char* name, const QKeySequence& shortcut = {}, bool checked = false,
                 bool checkable = false)
{
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(shortcut);
    action->setCheckable(checkable || checked);
    action->setChecked(checked);
    return action;
}

QAction* addOption(QMenu* menu, const char* name, const QKeySequence& shortcut)
{
    return addItem(menu, name, shortcut, true, true);
}

QAction* addSeparator(QMenu* menu, const char* name)
{
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromUtf8(name));
    return separator;
}

} // namespace

MainMenus MainMenus::build(QMenuBar* bar)
{
    MainMenus m;
    m.mnuHra = addMenu(bar, "mnuHra");
    m.mnuNova = addItem(m.mnuHra, "mnuNová", QKeySequence(Qt::CTRL | Qt::Key_N));
    m.mnuInfo = addItem(m.mnuHra, "mnuInfo", QKeySequence(Qt::CTRL | Qt::Key_I));
    m.mnuVysledky = addItem(m.mnuHra, "mnuVýsledky", QKeySequence(Qt::CTRL | Qt::Key_V));
    m.mnuLine1 = addSeparator(m.mnuHra, "mnuLine1");
    m.mnuKonec = addItem(m.mnuHra, "mnuKonec");

    m.mnuNastaveni = addMenu(bar, "mnuNastavení");
    m.mnuZvuky = addOption(m.mnuNastaveni, "mnuZvuky", QKeySequence(Qt::CTRL | Qt::Key_Z));
    m.mnuLine6 = addSeparator(m.mnuNastaveni, "mnuLine6");
    m.mnuJazyky = addMenu(m.mnuNastaveni, "mnuJazyky");
    m.addLanguageItem(1, QStringLiteral("<jazyk>"));

    m.mnuZobrazeni = addMenu(bar, "mnuZobrazení");
    m.mnuTrajektorie = addOption(m.mnuZobrazeni, "mnuTrajektorie", QKeySequence(Qt::CTRL | Qt::Key_T));
    m.mnuSilaTrajektorie = addMenu(m.mnuZobrazeni, "mnuSílaTrajektorie");
    for (int width = 1; width <= 4; ++width) {
        QAction* item = addItem(m.mnuSilaTrajektorie, "mnuSíla", {}, false, true);
        item->setProperty("Index", width);
        m.mnuSila[static_cast<std::size_t>(width - 1)] = item;
    }
    m.mnuJen = addOption(m.mnuZobrazeni, "mnuJen", QKeySequence(Qt::CTRL | Qt::Key_P));
    m.mnuCentrovat = addOption(m.mnuZobrazeni, "mnuCentrovat", QKeySequence(Qt::CTRL | Qt::Key_C));
    m.mnuLine4 = addSeparator(m.mnuZobrazeni, "mnuLine4");
    m.mnuScrollbary = addOption(m.mnuZobrazeni, "mnuScrollbary", QKeySequence(Qt::CTRL | Qt::Key_S));
    m.mnuStatusbar = addOption(m.mnuZobrazeni, "mnuStatusbar", QKeySequence(Qt::CTRL | Qt::Key_B));
    m.mnuLine5 = addSeparator(m.mnuZobrazeni, "mnuLine5");
    for (int index = 0; index < 10; ++index) {
        QAction* item = addItem(m.mnuZobrazeni, "mnuProcent",
                                index == 0 ? QKeySequence(Qt::CTRL | Qt::Key_O) : QKeySequence());
        item->setText(QString::number(100 - 10 * index) + QLatin1Char('%'));
        item->setProperty("Index", index);
        m.mnuProcent[static_cast<std::size_t>(index)] = item;
    }
    m.mnuJine = addItem(m.mnuZobrazeni, "mnuJiné", QKeySequence(Qt::CTRL | Qt::Key_J));
    m.mnuBestFit = addItem(m.mnuZobrazeni, "mnuBestFit", QKeySequence(Qt::CTRL | Qt::Key_W));
    m.mnuLine3 = addSeparator(m.mnuZobrazeni, "mnuLine3");
    m.mnuObnovit = addItem(m.mnuZobrazeni, "mnuObnovit", QKeySequence(Qt::CTRL | Qt::Key_R));
    m.mnuZpet = addItem(m.mnuZobrazeni, "mnuZpět");

    m.mnuNapoveda = addMenu(bar, "mnuNápověda");
    m.mnuO = addItem(m.mnuNapoveda, "mnuO");
    m.mnuPravidla = addItem(m.mnuNapoveda, "mnuPravidla", QKeySequence(Qt::Key_F1));
    return m;
}

QAction* MainMenus::addLanguageItem(int index, const QString& caption)
{
    QAction* item = addItem(mnuJazyky, "mnuJazyk", {}, false, true);
    item->setText(caption);
    item->setProperty("Index", index);
    mnuJazyk.push_back(item);
    return item;
}

void MainMenus::applyCaptions(const LanguageState& language)
{
    const auto caption = [&](QAction* action, qint32 id) { action->setText(LoadText(language, id)); };
    caption(mnuHra->menuAction(), StringId::GameMenu);
    caption(mnuNova, StringId::NewRaceItem);
    caption(mnuInfo, StringId::RaceInformationItem);
    caption(mnuVysledky, StringId::ResultsItem);
    caption(mnuKonec, StringId::ExitItem);
    caption(mnuNastaveni->menuAction(), StringId::SettingsMenu);
    caption(mnuJen, StringId::AllowedMoveOnlyItem);
    caption(mnuCentrovat, StringId::AutoCentreItem);
    caption(mnuZvuky, StringId::SoundsItem);
    caption(mnuJazyky->menuAction(), StringId::LanguageMenu);
    caption(mnuZobrazeni->menuAction(), StringId::ViewMenu);
    caption(mnuTrajektorie, StringId::TrajectoriesItem);
    caption(mnuSilaTrajektorie->menuAction(), StringId::TrajectoryWidthMenu);
    for (std::size_t i = 0; i < mnuSila.size(); ++i)
        caption(mnuSila[i], StringId::FirstTrajectoryWidth + static_cast<qint32>(i));
    caption(mnuScrollbary, StringId::ScrollBarsItem);
    caption(mnuStatusbar, StringId::StatusBarItem);
    caption(mnuJine, StringId::OtherZoomItem);
    caption(mnuBestFit, StringId::BestFitItem);
    caption(mnuObnovit, StringId::RedrawItem);
    caption(mnuZpet, StringId::BackItem);
    caption(mnuNapoveda->menuAction(), StringId::HelpMenu);
    caption(mnuO, StringId::AboutItem);
    caption(mnuPravidla, StringId::HelpContentsItem);
}
