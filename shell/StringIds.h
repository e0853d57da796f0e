#pragma once

#include <QtGlobal>

// The ids of the texts in the string table (resources/strings.txt), named by what they say. The
// Czech text follows each id; every language keeps its text under the same base id. Where a run of
// ids is read by counting from its first, the name says so and the comment lists the run.
namespace StringId {

// The table itself.
inline constexpr qint32 LanguageCount = 1;  // how many languages the table holds
inline constexpr qint32 LanguageStep = 2;   // the distance between the ids of two languages
inline constexpr qint32 LanguageName = 11;  // "čeština"
inline constexpr qint32 ProgramTitle = 12;  // "Trasovky - Kladivnice Cup"

// Main window menus.
inline constexpr qint32 GameMenu = 13;            // "&Hra"
inline constexpr qint32 NewRaceItem = 14;         // "&Nový závod..."
inline constexpr qint32 RaceInformationItem = 15; // "&Informace o závodu..."
inline constexpr qint32 ExitItem = 16;            // "&Konec"
inline constexpr qint32 ResultsItem = 17;         // "&Výsledky závodu..."
inline constexpr qint32 SettingsMenu = 20;        // "Na&stavení"
inline constexpr qint32 SoundsItem = 22;          // "&Zvuky"
inline constexpr qint32 LanguageMenu = 23;        // "&Jazyk"
inline constexpr qint32 ViewMenu = 30;            // "&Zobrazení"
inline constexpr qint32 TrajectoriesItem = 31;    // "&Trajektorie"
inline constexpr qint32 TrajectoryWidthMenu = 32; // "Sí&la trajektorie"
inline constexpr qint32 FirstTrajectoryWidth = 33;// 33 ... 36: "&tenká", "&normální", "&silná", "&velmi silná"
inline constexpr qint32 ScrollBarsItem = 37;      // "&Posuvníky"
inline constexpr qint32 StatusBarItem = 38;       // "&Stavový řádek"
inline constexpr qint32 OtherZoomItem = 39;       // "&Jiné..."
inline constexpr qint32 BestFitItem = 40;         // "&Do okna"
inline constexpr qint32 RedrawItem = 41;          // "&Obnovit"
inline constexpr qint32 BackItem = 42;            // "&Zpět"
inline constexpr qint32 AllowedMoveOnlyItem = 43; // "Je&n povolený tah"
inline constexpr qint32 AutoCentreItem = 44;      // "&Automaticky centrovat"
inline constexpr qint32 HelpMenu = 50;            // "&Nápověda"
inline constexpr qint32 AboutItem = 51;           // "&O aplikaci..."
inline constexpr qint32 HelpContentsItem = 52;    // "Obsah &nápovědy..."
inline constexpr qint32 HelpFileDialogTitle = 60; // "Soubor..."
inline constexpr qint32 HelpFileFilter = 61;      // "Dokumenty Word "

// The new race dialog.
inline constexpr qint32 NewRaceCaption = 100;        // "Nový závod..."
inline constexpr qint32 RaceInformationCaption = 101;// "Informace o závodu..."
inline constexpr qint32 PlayersFrame = 102;          // "Hráči..."
inline constexpr qint32 DefaultPlayerName = 103;     // "Hráč"
inline constexpr qint32 HideTrajectoryBox = 104;     // "nezobrazovat trajektorii"
inline constexpr qint32 FirstDriverKind = 105;       // 105 ... 108: "člověk", "začátečník", "závodník", "mistr"
inline constexpr qint32 TrackFrame = 110;            // "Trať..."; its labels follow at 111 ... 117
inline constexpr qint32 OtherTrackButton = 126;      // "&Jiná trať..."
inline constexpr qint32 MoreAboutRecordButton = 127; // "&Více o rekordu..."
inline constexpr qint32 StartButton = 130;           // "&Start"
inline constexpr qint32 DialogBackButton = 131;      // "&Zpět"
inline constexpr qint32 CheckRecordButton = 132;     // "&Zkontrolovat"
inline constexpr qint32 TrackFileDialogTitle = 140;  // "Načti trať..."
inline constexpr qint32 TrackFileFilter = 141;       // "Definiční soubory tratí "

// The results.
inline constexpr qint32 ResultsCaption = 200;      // "Výsledky závodu"
inline constexpr qint32 ResultsDisplayFrame = 201; // "Zobrazení výsledků"
inline constexpr qint32 FirstResultsMode = 202;    // 202, 203: "absolutně", "relativně k vítězi"
inline constexpr qint32 NewGameButton = 204;       // "&Nová hra"
inline constexpr qint32 HideButton = 205;          // "&Skrýt"
inline constexpr qint32 ExitButton = 206;          // "&Konec"
inline constexpr qint32 FirstResultsHeader = 207;  // 207 ... 211: "Pořadí", "Jméno", "Tahů", "Max. rychlost", "Poznámky"
inline constexpr qint32 CopyButton = 212;          // "&Zkopírovat do schránky"
inline constexpr qint32 DisqualifiedNote = 213;    // "diskvalifikován"
inline constexpr qint32 CrashedOutNote = 214;      // "havaroval"
inline constexpr qint32 NewRecordNote = 215;       // "nový rekord"
inline constexpr qint32 FinishedNote = 216;        // "dojel"
inline constexpr qint32 ComputerMark = 217;        // " (počítač)"

// The record dialog.
inline constexpr qint32 RecordInformationCaption = 220; // "Rekord na trati..."
inline constexpr qint32 NewRecordCaption = 221;         // "Nový rekord..."
inline constexpr qint32 SaveButton = 222;               // "&Uložit"
inline constexpr qint32 RecordBackButton = 223;         // "&Zpět"
inline constexpr qint32 ShowRideButton = 224;           // "Zobraz &jízdu"; the labels follow at 225 ... 228

// The zoom and about dialogs.
inline constexpr qint32 ZoomCaption = 240;   // "Velikost zobrazení..."
inline constexpr qint32 ApplyButton = 241;   // "&Použít"
inline constexpr qint32 CancelButton = 242;  // "&Storno"
inline constexpr qint32 AboutCaption = 260;  // "O programu..."
inline constexpr qint32 AboutBackButton = 262; // "&Zpět"
inline constexpr qint32 VersionText = 263;   // "Verze 1.0"
inline constexpr qint32 AuthorsText = 264;   // "Napsali vývojáři Trasovek. ..."

// Messages and the status bar.
inline constexpr qint32 ErrorTitle = 500;          // "Chyba!"
inline constexpr qint32 ExitQuestion = 501;        // "Opravdu chcete skončit?"
inline constexpr qint32 ExitTitle = 502;           // "Konec"
inline constexpr qint32 NewGameQuestion = 503;     // "Opravdu chcete ukončit tuto hru a začít novou?"
inline constexpr qint32 NewGameTitle = 504;        // "Nová hra..."
inline constexpr qint32 MoveLabel = 505;           // "Tah "
inline constexpr qint32 WarningTitle = 506;        // "Pozor!"
inline constexpr qint32 FirstSitOutNote = 507;     // 507 ... 509: one, two, three turns still to sit out
inline constexpr qint32 CircleOffTrackText = 510;  // "Vaše kružnice je mimo obrázek trati. ..."
inline constexpr qint32 CrashSpeedText = 511;      // "V tomto tahu se nabouráte v rychlosti "
inline constexpr qint32 CarDamagedText = 512;      // "Vaše auto je vážně poškozeno! ..."
inline constexpr qint32 FirstPenaltyText = 513;    // 513 ... 515: one, two, three turns lost
inline constexpr qint32 CrashOutText = 516;        // ", která je bohužel tak velká, ..."
inline constexpr qint32 CrashTitle = 517;          // "Havárie"
inline constexpr qint32 WrongCheckpointText = 518; // "Projíždíte nesprávnou kontrolou. ..."
inline constexpr qint32 DisqualifiedText = 519;    // "Byl jste diskvalifikován! Závod pro Vás skončil."
inline constexpr qint32 DisqualifiedTitle = 520;   // "Diskvalifikace"
inline constexpr qint32 FinishText = 521;          // "Sláva! Projel jste cílem v tahu "
inline constexpr qint32 FinishTitle = 522;         // "Cíl"
inline constexpr qint32 SitOutTitle = 523;         // "Nehrajete..."
inline constexpr qint32 PointerXLabel = 524;       // "X = "
inline constexpr qint32 PointerYLabel = 525;       // "Y = "
inline constexpr qint32 SpeedLabel = 526;          // "v = "
inline constexpr qint32 RecordNotSavedText = 527;  // "Rekord se nepodařilo uložit do souboru "
inline constexpr qint32 CannotFindText = 528;      // " nelze najít. Zkusíte soubor najít sami?"
inline constexpr qint32 BarRefusedText = 530;      // "Jméno ani datum nesmí obsahovat znak "
inline constexpr qint32 YesButton = 531;           // "&Ano"
inline constexpr qint32 NoButton = 532;            // "&Ne"
inline constexpr qint32 OkButton = 533;            // "OK"
inline constexpr qint32 RecordSuffix = 550;        // " - rekord"
inline constexpr qint32 NoSpeedLimit = 551;        // "neomezená"
inline constexpr qint32 FileText = 552;            // "Soubor "
inline constexpr qint32 NotFoundText = 553;        // " nenalezen!"
inline constexpr qint32 DamagedText = 554;         // " obsahuje neplatné údaje nebo je poškozen!"
inline constexpr qint32 NoRecord = 555;            // "není"
inline constexpr qint32 CheckingRecord = 556;      // "probíhá kontrola..."
inline constexpr qint32 RecordTitle = 557;         // "Rekord..."
inline constexpr qint32 RecordInvalidText = 558;   // "Rekord obsahuje neplatné ůdaje."
inline constexpr qint32 RecordValidText = 559;     // "Kontrola rekordu proběhla úspěšně."

}  // namespace StringId
