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

// --- The Event log -------------------------------------------------------------------------------------------------
// Values follow a text as they are appended in the code: paths, decimal numbers.

/// The start block: an empty line, the separator, the date and time followed by `kLogStart`, then `kLogSettings`.
inline constexpr const char* kLogStart = " START";
inline constexpr const char* kLogSettings = "Nastaveni:";
/// The settings summary's paths, each followed by the path and a closing quote.
inline constexpr const char* kLogRequestPath = "RequestPath: \"";
inline constexpr const char* kLogRouterPath = "Trovan: \"";
/// After the router's path when there is no router beside the program.
inline constexpr const char* kLogRouterNotFound = " NENALEZEN !";
/// The end of the session.
inline constexpr const char* kLogClosing = "UKONCENI PROGRAMU";
/// The priority set at the start, one line per class; a priority the system refused: followed by its reason.
inline constexpr const char* kLogPriorityIdle = "Nastavena priorita: Nízká";
inline constexpr const char* kLogPriorityNormal = "Nastavena priorita: Normální";
inline constexpr const char* kLogPriorityHigh = "Nastavena priorita: Vysoká";
inline constexpr const char* kLogPriorityRealTime = "Nastavena priorita: Realtime";
inline constexpr const char* kLogPriorityRefused = "Prioritu nelze nastavit - ";

/// The request file's stall: after its path, then the counter; the limit, followed by `MaxStejnyRequest`.
inline constexpr const char* kLogStillSame = " je stale stejny: ";
inline constexpr const char* kLogLimitReached = "Prekrocen limit stari souboru ";
/// Followed by the file's path.
inline constexpr const char* kLogDeleting = "Mazu soubor ";
inline constexpr const char* kLogEndingRouter = "Ukoncuji Trovan";
inline constexpr const char* kLogNothingToEnd = "Trovan neni spusten - nemam co ukoncit";
/// The system refused to end the router: followed by its reason.
inline constexpr const char* kLogEndRefused = "Nelze ukoncit Trovan - ";

/// The router's start; the two refusals are followed by the router's path.
inline constexpr const char* kLogStartingRouter = "Trovan neni spusten - pokusim se ho spustit";
inline constexpr const char* kLogRouterMissing = "Nelze spustit Trovan - soubor nenalezen ";
inline constexpr const char* kLogRouterForeign = "Nelze spustit Trovan - soubor muze menit jiny uzivatel ";
/// The system refused to start the router: followed by its reason.
inline constexpr const char* kLogStartRefused = "Nelze spustit Trovan - ";
/// The wait for the router's process: `kLogWaiting`, the second, `kLogWaitingUnit`.
inline constexpr const char* kLogWaiting = "Čekám na spuštění Trovan ";
inline constexpr const char* kLogWaitingUnit = " s";
inline constexpr const char* kLogRouterStarted = "Trovan spusten";

/// A leftover request file before a start: followed by its path; then its lines against `MaxRadkuRequest` and its
/// age against `MaxStariRequest`, each number between the pieces in this order.
inline constexpr const char* kLogLeftoverFound = "Pred spustenim nalezen ";
inline constexpr const char* kLogLinesCount = "Radku v request.cfg (";
inline constexpr const char* kLogLinesLimit = ")   >=   MaxRadkuRequest(";
inline constexpr const char* kLogLinesEnd = ")";
inline constexpr const char* kLogDeleteAlways = "MaxStariRequest nastaven na 0 = Mazu vzdy";
inline constexpr const char* kLogAge = "Stari request.cfg (";
inline constexpr const char* kLogYoungerThan = "s)  <  MaxStariRequest (";
inline constexpr const char* kLogNotYoungerThan = "s)  >=  MaxStariRequest (";
inline constexpr const char* kLogAgeEnd = "s)";
inline constexpr const char* kLogKeeping = "Nechavam soubor request.cfg na disku";

/// The pause between restarts of a router that keeps dying: `kLogPauseBegins`, the seconds, `kLogWaitingUnit`.
inline constexpr const char* kLogPauseBegins = "Trovan opakovane pada - dalsi pokus za ";
inline constexpr const char* kLogPauseHealthy = "Trovan bezi - utlum ukoncen";
inline constexpr const char* kLogPauseCleared = "Utlum zrusen - Trovan se zkusi spustit hned";
/// The tray's tip during a pause: followed by the local time of the next attempt (hh:mm:ss).
inline constexpr const char* kPauseNotice = "Trovan opakovaně padá - další pokus v ";

/// The metrics file: a folder that cannot be used (`kLogMetricsOff`, the folder, `kLogMetricsOffWhy`, the
/// system's reason); a failed write (`kLogMetricsFailed`, the file, " - ", the reason) and the first write after
/// it (`kLogMetricsBack`, the file, `kLogMetricsBackEnd`).
inline constexpr const char* kLogMetricsOff = "Metriky vypnuty - slozku ";
inline constexpr const char* kLogMetricsOffWhy = " nelze pouzit: ";
inline constexpr const char* kLogMetricsFailed = "Nelze zapsat metriky ";
inline constexpr const char* kLogMetricsBack = "Metriky ";
inline constexpr const char* kLogMetricsBackEnd = " se opet zapisuji";
/// To the system log only, when it could not keep up: followed by the number of lines left out.
inline constexpr const char* kSystemLogLost = "Systemovy log nestihal - vynechano radku: ";

/// Alerts by command and web hook: a setting that turns its channel off, each followed by the path or address.
inline constexpr const char* kLogCommandMissing = "Upozorneni prikazem vypnuto - soubor nenalezen ";
inline constexpr const char* kLogCommandForeign = "Upozorneni prikazem vypnuto - soubor muze menit jiny uzivatel ";
inline constexpr const char* kLogHookNotHttp =
    "Upozorneni webhookem vypnuto - adresa nezacina http:// ani https:// s nazvem serveru: ";
/// A failed delivery: `kLogHookFailed`, the cause, " (", the hook's scheme, host and port, ")".
inline constexpr const char* kLogHookFailed = "Upozorneni webhookem selhalo - ";
/// The causes: `kHookNoAnswer` followed by the seconds and `kLogWaitingUnit`; `kHookHttpError` by the status.
inline constexpr const char* kHookNoAnswer = "server neodpovedel do ";
inline constexpr const char* kHookRefused = "spojeni odmitnuto";
inline constexpr const char* kHookHttpError = "server vratil HTTP ";
inline constexpr const char* kLogAlertDropped = "Upozorneni zahozeno - fronta upozorneni je plna";
/// Followed by the command, ": " and the system's reason.
inline constexpr const char* kLogCommandFailed = "Upozorneni prikazem selhalo - nelze spustit ";

/// What an alert says on its own (its `text`): `kAlertOn`, the machine, ": ", the headline; then how many were
/// held back (`kAlertHeldBefore`, the count, `kAlertHeldAfter`), the log line, today's figures and the counter.
inline constexpr const char* kAlertOn = "Ovin na ";
inline constexpr const char* kAlertStall = "Trovan se zasekl a byl ukoncen";
inline constexpr const char* kAlertCrash = "Trovan spadl";
inline constexpr const char* kAlertLaunchFailed = "Trovan se nepodarilo spustit";
inline constexpr const char* kAlertMissingExe = "Chybi soubor Trovanu";
/// Followed by `kAlertUntil` and the time of the next attempt when known.
inline constexpr const char* kAlertCrashLoop = "Trovan stale pada - restarty se odkladaji";
inline constexpr const char* kAlertUntil = " do ";
inline constexpr const char* kAlertCrashLoopOver = "Odklad restartu Trovanu skoncil";
/// Followed by `kAlertDownFor` and how long the router was down when known.
inline constexpr const char* kAlertRecovered = "Trovan opet bezi";
inline constexpr const char* kAlertDownFor = ", byl mimo provoz ";
inline constexpr const char* kAlertWatchdogStart = "Ovin spusten";
inline constexpr const char* kAlertWatchdogEnd = "Ovin ukoncen";
inline constexpr const char* kAlertHeldBefore = " (a ";
inline constexpr const char* kAlertHeldAfter = " dalsich)";
inline constexpr const char* kAlertStallsToday = "\nZaseknuti dnes: ";
inline constexpr const char* kAlertCrashesToday = ", pady dnes: ";
inline constexpr const char* kAlertCounter = ", citac ";

/// A value of the section [dohled] that cannot be used: `kLogInvalidDohled`, the key, "=", the value,
/// `kLogInvalidExpected`, what the key takes, `kLogInvalidHolds`, the value that holds instead.
inline constexpr const char* kLogInvalidDohled = "Neplatne nastaveni [dohled] ";
inline constexpr const char* kLogInvalidExpected = " (";
inline constexpr const char* kLogInvalidHolds = ") - plati ";
/// What a flag and a number of [dohled] take: `kDohledNumberFrom`, the least, `kDohledNumberTo`, the most.
inline constexpr const char* kDohledFlag = "0 nebo 1";
inline constexpr const char* kDohledNumberFrom = "cislo ";
inline constexpr const char* kDohledNumberTo = " az ";

// --- The runtime's error reports -----------------------------------------------------------------------------------
// In the words of the runtime the program was first built with, which its users know.

inline constexpr const char* kErrorMemoCapacity = "Text exceeds memo capacity";
/// Followed by the settings file's full name.
inline constexpr const char* kErrorUnableToWrite = "Unable to write to ";
/// Each followed by the file's path, `kErrorPathEnd` and the system's own text.
inline constexpr const char* kErrorCannotOpen = "Cannot open file \"";
inline constexpr const char* kErrorCannotCreate = "Cannot create file \"";
inline constexpr const char* kErrorPathEnd = "\". ";
/// Followed by the file's path and `kErrorDateEnd`.
inline constexpr const char* kErrorCannotReadDate = "Cannot read the date of file \"";
inline constexpr const char* kErrorDateEnd = "\".";
/// Followed by the file's path and a closing quote.
inline constexpr const char* kErrorInvalidDateStamp = "Invalid date stamp of \"";

}  // namespace ovin::texts
