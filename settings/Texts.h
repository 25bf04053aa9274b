#pragma once

// Every text of the program that a user sees or that the log holds, in one place, so that the two front ends, the
// shell and the watchdog say the same thing in the same words. The texts are UTF-8; the Windows front end widens
// them at the call. The log's lines must stay byte for byte as they are: the month files of earlier runs, the
// README's table of log lines and whoever reads the log between lines compare them as written.

namespace ovin::texts {

// --- The application's names ---------------------------------------------------------------------------------

/// The application's title while the entry runs, and from the main window's creation on (the icon's tip, the
/// caption of error reports).
inline constexpr const char* kEntryTitle = "TrovanWatch";
inline constexpr const char* kApplicationTitle = "Trovan Watch";
/// The main window's caption.
inline constexpr const char* kMainCaption = "OVIN v. 3.3";
/// What a later start hands to the running instance to have its window shown (compared exactly).
inline constexpr const char* kShowForm = "showform";

// --- The tray icon's menu --------------------------------------------------------------------------------------

inline constexpr const char* kMenuOpen = "Otevřít";
inline constexpr const char* kMenuStopAll = "Ukončit Trovan + Ovin";
inline constexpr const char* kMenuExit = "Konec";
/// Written upward along the menu's left edge.
inline constexpr const char* kMenuBanner = "OVIN";

// --- Questions ---------------------------------------------------------------------------------------------------

/// The question of "Ukončit Trovan + Ovin"; logged with `kAnsweredYes` after it when the answer is yes.
inline constexpr const char* kStopAllQuestion = "Opravdu chcete ukončit programy Trovan a Ovin ?";
inline constexpr const char* kAnsweredYes = " - ANO";
/// The plain box of "Konec".
inline constexpr const char* kExitCaption = "Ukončení";
inline constexpr const char* kExitQuestion = "Ukončit program Ovin ?";
/// The question dialog's caption and its buttons; the letter after "&" is the accelerator.
inline constexpr const char* kConfirmCaption = "Dotaz:";
inline constexpr const char* kYes = "&Ano";
inline constexpr const char* kNo = "&Ne";
/// The same buttons in debug mode.
inline constexpr const char* kYesDebug = "&Ofšemže";
inline constexpr const char* kNoDebug = "&Jistě že ne";

// --- The log view's find bar -----------------------------------------------------------------------------------

inline constexpr const char* kFindLabel = "Najít:";
inline constexpr const char* kFindPrevious = "Předchozí";
inline constexpr const char* kFindNext = "Další";
inline constexpr const char* kFindClose = "×";
/// Beside the buttons when the text was not found.
inline constexpr const char* kNotFound = "Nenalezeno";

// --- The settings panel ------------------------------------------------------------------------------------------

inline constexpr const char* kHlidatTrovanCaption = "Hlídat zda je Trovan spuštěný";
inline constexpr const char* kHlidatTrovanHint =
    "V nastaveném intervalu ověřuje zda je process Trovan spuštěn a pokud není tak ho spustí.";
inline constexpr const char* kMazatRqCaption = "Mazat request.cfg";
inline constexpr const char* kMazatRqHint =
    "Před násilným ukončením Trovanu smaže soubor request.cfg ! Nemá vliv na nastavení Max stáří request";
inline constexpr const char* kZobrazitIkonuCaption = "Zobrazit ikonu programu";
inline constexpr const char* kMaxOldCaption = "Max stáří request";
inline constexpr const char* kMaxOldHint = "Stáří request.cfg před spustěním Trovanu aby došlo k jeho smazání";
inline constexpr const char* kMaxSameCaption = "Max stejných request";
inline constexpr const char* kMaxSameHint =
    "Určuje kolikrát musí být soubor request.cfg stejný než dojde k rozhodnutí ukončit Trovan";
inline constexpr const char* kMaxRadkuCaption = "Max řádků request";
inline constexpr const char* kMaxRadkuHint =
    "Určuje kolik řádků musí obsahovat request.cfg aby došlo k jejich zaznamu do logu";
inline constexpr const char* kIntervalCaption = "Startovní interval";
inline constexpr const char* kIntervalHint = "Určuje jak dlouho po startu porgram vyčká než spustí hlavní cyklus";
inline constexpr const char* kWaitCaption = "Čekat na spuštění Trovan";
inline constexpr const char* kSecondsUnit = "sec";
inline constexpr const char* kSaveCaption = "ULOŽIT";
inline constexpr const char* kJinyAdrReqCaption = "Jiný adresář request.cfg";
inline constexpr const char* kPathToHint = "Cesta k request.cfg";
inline constexpr const char* kFindFolderCaption = "Najít ...";

// --- Failures reported to the user -------------------------------------------------------------------------------

/// A start that failed on a system error: followed by the system's code, a full stop, a line break and the
/// system's own text.
inline constexpr const char* kSystemErrorCode = "Systémová chyba. Kód: ";
/// The admitted instance cannot listen for later starts: followed by the system's reason.
inline constexpr const char* kCannotListen = "Další spuštění programu nebude moci otevřít jeho okno: ";
/// A later start could not hand over to the running instance: followed by the reason.
inline constexpr const char* kHandOverFailed = "Běžícímu programu Ovin se nepodařilo předat spuštění: ";
/// The reasons of a failed hand-over that the system does not name itself.
inline constexpr const char* kNoWindowToHandOverTo = "jeho okno nebylo nalezeno";
inline constexpr const char* kNoAnswerToHandOver = "neodpověděl včas";

}  // namespace ovin::texts
