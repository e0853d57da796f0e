#pragma once

#include <QString>
#include <array>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
struct LanguageState;

// The menu tree of the main window. Every entry carries its control name as objectName; entries of
// a control array (mnuJazyk, mnuSila, mnuProcent) share the name and carry their number in the
// property "Index". The check marks of the option entries are the options' only storage.
struct MainMenus {
    QMenu* mnuHra = nullptr;
    QAction* mnuNova = nullptr;
    QAction* mnuInfo = nullptr;
    QAction* mnuVysledky = nullptr;
    QAction* mnuLine1 = nullptr;
    QAction* mnuKonec = nullptr;

    QMenu* mnuNastaveni = nullptr;
    QAction* mnuZvuky = nullptr;
    QAction* mnuLine6 = nullptr;
    QMenu* mnuJazyky = nullptr;
    std::vector<QAction*> mnuJazyk;  // language L is element L - 1

    QMenu* mnuZobrazeni = nullptr;
    QAction* mnuTrajektorie = nullptr;
    QMenu* mnuSilaTrajektorie = nullptr;
    std::array<QAction*, 4> mnuSila{};  // width w is element w - 1
    QAction* mnuJen = nullptr;
    QAction* mnuCentrovat = nullptr;
    QAction* mnuLine4 = nullptr;
    QAction* mnuScrollbary = nullptr;
    QAction* mnuStatusbar = nullptr;
    QAction* mnuLine5 = nullptr;
    std::array<QAction*, 10> mnuProcent{};  // "100%" is index 0 ... "10%" index 9
    QAction* mnuJine = nullptr;
    QAction* mnuBestFit = nullptr;
    QAction* mnuLine3 = nullptr;
    QAction* mnuObnovit = nullptr;
    QAction* mnuZpet = nullptr;

    QMenu* mnuNapoveda = nullptr;
    QAction* mnuO = nullptr;
    QAction* mnuPravidla = nullptr;

    // Builds the whole tree in the menu bar with the initial check marks and one language entry.
    static MainMenus build(QMenuBar* bar);

    // Adds the entry of language number index to the language submenu, with the given caption.
    QAction* addLanguageItem(int index, const QString& caption);

    // Puts the captions of the chosen language on every entry but the zoom and language entries.
    void applyCaptions(const LanguageState& language);
};
