// The plug-in's own messages and the SQL texts of the version table, declared once.
//
// Messages stand here as UTF-8 and are converted to the ANSI code page (platform::ansi) where
// they become an error text of the interface. A "%s" is filled by fillTemplate (pluginerror.h).
#pragma once

#include <cstddef>
#include <string_view>

namespace vt::plugin::texts {

// Message texts.
inline constexpr std::string_view kUnknownDllError = "Неизвестная ошибка DLL";
inline constexpr std::string_view kUnsupportedScriptVersion =
    "Скрипт версии %s не поддерживается данной версией библиотеки.";
inline constexpr std::string_view kAliasListFailed =
    "Database aliases list has not been created successfully";
inline constexpr std::string_view kMissingDatabaseCode = "Отсутствует код базы данных.";
inline constexpr std::string_view kWrongDatabaseCode = "Неверный код базы данных.";
inline constexpr std::string_view kVersionMismatch =
    "Версия БД (%s) не совпадает с требуемой (старой) версией (%s).";
inline constexpr std::string_view kPreviousScriptFailed =
    "Предыдущий скрипт был выполнен с ошибками.";
inline constexpr std::string_view kAlreadyExecuted = "Скрипт данной версии уже был выполнен на БД.";
// A script a run must not trust.
inline constexpr std::string_view kScriptNotFound = "Файл скрипта %s не найден.";
inline constexpr std::string_view kScriptNotRegularFile =
    "%s не является обычным файлом и не может быть скриптом.";
inline constexpr std::string_view kScriptWithoutContent =
    "Файл %s не является rSQL-скриптом: в нём нет ни раздела [DataBase], ни команд.";
inline constexpr std::string_view kBadCommandCount =
    "Неверное число команд в заголовке скрипта: Commands = '%s'.";
inline constexpr std::string_view kMissingCommandSection =
    "В скрипте нет раздела [Command%s], хотя заголовок объявляет %s команд.";
inline constexpr std::string_view kStrayCommandSection =
    "Раздел [%s] не входит в команды скрипта: заголовок объявляет %s команд.";
inline constexpr std::string_view kCommandLineCut =
    "Строка %s команды %s превышает предел формата rSQL (2046 символов) и была бы прочитана не "
    "полностью.";
inline constexpr std::string_view kCommandHoldsNul = "Команда %s содержит нулевой байт.";
inline constexpr std::string_view kHeaderValueTooLong =
    "Значение %s скрипта ('%s') длиннее 10 символов, допустимых в таблице R_VERSION.";
inline constexpr std::string_view kTooManyCommands =
    "Скрипт содержит %s команд, а счётчик таблицы R_VERSION вмещает не более 32767.";

// Progress records and the run lock.
inline constexpr std::string_view kDamagedCounter =
    "Счётчик R_VERSION (%s) повреждён: в скрипте %s команд.";
inline constexpr std::string_view kResumeMismatch =
    "Команда %s скрипта отличается от команды, выполненной на БД при прерванном запуске: "
    "продолжить выполнение этим скриптом нельзя.";
inline constexpr std::string_view kConcurrentRun =
    "Другой запуск изменил ход выполнения скрипта на БД (счётчик R_VERSION %s вместо %s); "
    "выполнение остановлено, команда не сохранена.";
inline constexpr std::string_view kRunLockWait =
    "База данных %s занята другим запуском скрипта (с %s); ожидание до %s с...";
// Fills the "since" of the two above when the holder does not say since when it holds the lock.
inline constexpr std::string_view kUnknownSince = "неизвестного времени";
inline constexpr std::string_view kRunLockTimeout =
    "База данных %s занята другим запуском скрипта (с %s); ожидание прекращено через %s с.";
inline constexpr std::string_view kUnclosedTransaction =
    "Скрипт не завершил транзакцию, начатую командой %s: изменения, начиная с этой команды, не "
    "сохранены.";
// Follows the error that cost a group of commands its commit.
inline constexpr std::string_view kGroupNotSaved =
    "Изменения, начиная с команды %s, не сохранены; выполнение остановлено. Запустите скрипт "
    "заново: он продолжится с этой команды.";
inline constexpr std::string_view kLostInTransaction =
    "Соединение с БД потеряно внутри транзакции, начатой командой %s: изменения, начиная с этой "
    "команды, не сохранены. Запустите скрипт заново.";

// Engine failure without any text; %s is the code in four or more upper-case hex digits.
inline constexpr std::string_view kEngineErrorCode = "Ошибка BDE $%s";

// The version table and its statements. Values are bound to the '?' markers, never pasted in.
inline constexpr std::string_view kVersionTable = "R_VERSION";
inline constexpr std::string_view kCreateTable =
    "Create Table R_Version (Version Char(10), DBCode Char(10), Counter Smallint)";
inline constexpr std::string_view kInsertFirstRow = "Insert Into R_Version(DBCode) Values(?)";
inline constexpr std::string_view kSelectRows = "Select VERSION, DBCODE, COUNTER from R_VERSION";
inline constexpr std::string_view kUpdateCounter =
    "Update R_VERSION Set Counter = ? where DBCODE = ?";
inline constexpr std::string_view kUpdateVersion =
    "Update R_VERSION Set Version = ? where DBCODE = ?";

// The progress of a versioned run: a row per commit, whose Hash is the chained fingerprint of
// the script's commands up to its Step (rows of earlier releases, one per command, hold the
// command's own fingerprint); the first command of a new run clears the rows of an earlier one. The
// Hash of a row is only set while R_VERSION's Counter still holds the value the run expects, so a
// row insert of a run whose progress another run has changed fails and takes its command with it.
inline constexpr std::string_view kStepsTable = "R_VERSION_STEPS";
inline constexpr std::string_view kCreateStepsTable =
    "Create Table If Not Exists R_VERSION_STEPS (DBCode VarChar(10) Not Null, "
    "Step Integer Not Null, Hash Char(16) Not Null, Primary Key (DBCode, Step))";
inline constexpr std::string_view kInsertStep =
    "Insert Into R_VERSION_STEPS (DBCode, Step, Hash) Values (?, ?, Case When Exists "
    "(Select 1 From R_VERSION Where DBCODE = ? And Coalesce(Counter, 0) = ?) Then ? End)";
inline constexpr std::string_view kClearSteps = "Delete From R_VERSION_STEPS where DBCODE = ?";
inline constexpr std::string_view kSelectSteps =
    "Select Step, Hash From R_VERSION_STEPS where DBCODE = ? Order By Step";
inline constexpr std::string_view kSelectCounter =
    "Select Coalesce(Counter, 0) From R_VERSION where DBCODE = ?";

// What R_VERSION holds where the database enforces its column types: Char(10) and Smallint.
inline constexpr std::size_t kVersionTableWidth = 10;
inline constexpr int kMaxCounter = 32767;

// The optional parameter of openDatabase that carries the user name.
inline constexpr std::string_view kUserNameParam = "USER NAME";
// The alias key that turns group commit off with "0".
inline constexpr std::string_view kGroupCommitParam = "GROUP COMMIT";

} // namespace vt::plugin::texts
