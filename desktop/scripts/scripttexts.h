// The texts the script workflows show, as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vt::desktop::texts {

inline constexpr std::string_view kNoCommandsAdded = "В скрипт не добавлена ни одна команда.";
inline constexpr std::string_view kWrongPassword = "Пароль раскодирования неверен.";
inline constexpr std::string_view kPasswordNotConfirmed = "Пароль подтвержден неверно.";
inline constexpr std::string_view kOverwriteQuestion =
    "Файл с таким именем уже существует. Перезаписать?";
inline constexpr std::string_view kRemoveKindQuestion = "Удалить вид скрипта ?";
inline constexpr std::string_view kOutputIsInput =
    "Файл для записи совпадает с исходным файлом. Укажите другое имя.";

inline constexpr std::string_view kOperationDone = "Операция выполнена успешно.";

// The operations of the data transfer, in list order.
inline constexpr std::string_view kBatchOperations[] = {
    "Добавление записей", "Изменение записей", "Добавление и изменение записей",
    "Создание новой таблицы", "Удаление записей"};
inline constexpr std::string_view kBatchCancelled =
    "Перенос данных прерван. Приемник оставлен без изменений.";

// TFormBatch.
inline constexpr std::string_view kBatchCaption = "Перенос данных";
inline constexpr std::string_view kBatchSource = " Источник ";
inline constexpr std::string_view kBatchDestination = " Приемник ";
inline constexpr std::string_view kBatchColumns = " Колонки ";
inline constexpr std::string_view kBatchSourceAlias = "&База данных:";
inline constexpr std::string_view kBatchDestinationAlias = "База &данных:";
inline constexpr std::string_view kBatchTable = "&Таблица:";
inline constexpr std::string_view kBatchOperation = "&Операция:";
inline constexpr std::string_view kBatchTabTable = "Таблица";
inline constexpr std::string_view kBatchTabQuery = "Запрос";
inline constexpr std::string_view kBatchFill = "<< &Заполнить";
inline constexpr std::string_view kBatchClear = "О&чистить";
// The progress of a move: rows done of all (%1, %2), or rows done alone.
inline constexpr std::string_view kBatchProgress = "Перенесено записей: %1 из %2";
inline constexpr std::string_view kBatchProgressOpen = "Перенесено записей: %1";

// "Файл <name> не существует."
inline std::string fileMissing(std::string_view fileName) {
    return "Файл " + std::string(fileName) + " не существует.";
}

// "Строка <n> SQL-скрипта содержит нулевой байт."
inline std::string nulByte(std::size_t line) {
    return "Строка " + std::to_string(line) + " SQL-скрипта содержит нулевой байт.";
}

// "Строка <n> SQL-скрипта длиннее <limit> байт."
inline std::string lineTooLong(std::size_t line, std::size_t limit) {
    return "Строка " + std::to_string(line) + " SQL-скрипта длиннее " + std::to_string(limit) +
           " байт.";
}

// "Неизвестный диалект SQL "<name>": допустимы SQLite и PostgreSQL."
inline std::string unknownDialect(std::string_view name) {
    return "Неизвестный диалект SQL \"" + std::string(name) + "\": допустимы SQLite и PostgreSQL.";
}

} // namespace vt::desktop::texts

// Login components and their dialog.
namespace vt::desktop::texts {

inline constexpr const char* kLoginDialog = "Подключение";
inline constexpr const char* kLoginResource = "&Ресурс:";
inline constexpr const char* kLoginDatabase = "&База данных:";
inline constexpr const char* kLoginUser = "&Имя:";
inline constexpr const char* kLoginPassword = "&Пароль:";
inline constexpr const char* kLoginHelpFile = "VTCOMP.HLP";
inline constexpr const char* kLoginForgetUser = "Забыть это имя";
// Registry value names and Params keys of the login values.
inline constexpr const char* kResourceValue = "Resource";
inline constexpr const char* kDatabaseValue = "Database";
inline constexpr const char* kUserValue = "User";
inline constexpr const char* kParamResource = "Resource_Name";
inline constexpr const char* kParamUser = "User_Name";
inline constexpr const char* kParamPassword = "Password";
// The animation played beside the program while a login is tried.
inline constexpr const char* kConnectAnimation = "rconnect.gif";

} // namespace vt::desktop::texts

// The script execution window. "%1" stands for the value filled in.
namespace vt::desktop::texts {

inline constexpr const char* kPluginFile = "vtutils.so";
inline constexpr const char* kCannotLoadLibrary = "Не могу загрузить библиотеку %1.";
inline constexpr const char* kFunctionNotDescribed = "Функция '%1' не описана в данной библиотеке.";
inline constexpr const char* kReuseConnection = "Выполнить скрипт, используя текущее соединение?";
inline constexpr const char* kInitQuestion =
    "Необходимо выполнить инициализационный скрипт. Выполнить его сейчас?";
inline constexpr const char* kAbortQuestion = "Прервать выполнение скрипта?";
inline constexpr const char* kCommandError = "В результате выполнения скрипта произошла ошибка:";
inline constexpr const char* kAbortedByUser = "Выполнение скрипта прервано пользователем.";
inline constexpr const char* kCompleted = "Операция выполнена успешно.";
inline constexpr const char* kDatabaseCaption = " БД: %1 ";
inline constexpr const char* kCommandsLeft = " (%1 команд)";
inline constexpr const char* kErrorInCommand = " (ошибка в %1 команде)";

} // namespace vt::desktop::texts

// Captions of the script execution window.
namespace vt::desktop::texts {

inline constexpr const char* kExecCaption = "Выполнить скрипт";
inline constexpr const char* kScriptFileLabel = "rSQL-&файл :";
inline constexpr const char* kLookFileHint = "Изменить (F4)";
inline constexpr const char* kCodeLabel = "Код БД:";
inline constexpr const char* kOldVersionLabel = "Старая версия:";
inline constexpr const char* kNewVersionLabel = "Новая версия:";
inline constexpr const char* kCountLabel = "Всего команд:";
inline constexpr const char* kCommentsLabel = "Комментарии:";
inline constexpr const char* kFontButton = "  Шрифт";
inline constexpr const char* kDbCodeLabel = "Код:";
inline constexpr const char* kDbVersionLabel = "Версия:";
inline constexpr const char* kCommandLabel = "Команда:";
inline constexpr const char* kDatabaseGroup = " БД: ";
inline constexpr const char* kChooseScript = "Выбор rSQL-скрипта";
inline constexpr const char* kScriptFilter = "rSQL-скрипты (*.rsql)|*.rsql|Все файлы (*.*)|*.*";

} // namespace vt::desktop::texts

// The script-kind and conversion windows.
namespace vt::desktop::texts {

// Shared by the kind and conversion windows.
inline constexpr const char* kSqlFileLabel = "SQL-ф&айл :";
inline constexpr const char* kSqlFilter = "SQL-скрипты (*.sql)|*.sql|Все файлы (*.*)|*.*";
inline constexpr const char* kScriptKindLabel = "Тип ск&рипта:";
inline constexpr const char* kChooseScriptFolder = "Выбор каталога скриптов";

// TFormSQLTools.
inline constexpr const char* kSqlToolsCaption = "Настройка SQL скриптов";
inline constexpr const char* kSqlToolsLabel = "Типы скриптов:";
inline constexpr const char* kSqlToolsAdd = "&Добавить";
inline constexpr const char* kSqlToolsRemove = "&Удалить";
inline constexpr const char* kSqlToolsEdit = "&Изменить";

// TFormSQLEdit.
inline constexpr const char* kSqlEditCaption = "Параметры SQL скрипта";
inline constexpr const char* kSqlEditName = "Н&аименование:";
inline constexpr const char* kSqlEditUseDefault = "Использовать данный вид скрипта по &умолчанию";
inline constexpr const char* kSqlEditDelimiterGroup = " Разделитель ";
inline constexpr const char* kSqlEditDelimiter = "Осно&вной:";
inline constexpr const char* kSqlEditCommand = "&Команда установки:";
inline constexpr const char* kSqlEditIgnore = "&Игнорируемые команды:";
inline constexpr const char* kSqlEditUser = "&Пользователь:";
inline constexpr const char* kSqlEditPath = "П&уть к файлам:";
inline constexpr const char* kSqlEditCommentGroup = " Комментарии ";
inline constexpr const char* kSqlEditCommentBegin = "Команда &начала:";
inline constexpr const char* kSqlEditCommentEnd = "Ко&манда конца:";
inline constexpr const char* kSqlEditDialect = "&Диалект:";
inline constexpr const char* kSqlEditCancel = "&Отмена";

// TFormConvert1.
inline constexpr const char* kConvert1Caption = "Преобразование в rSQL";
inline constexpr const char* kConvert1Versions = " Версии ";
inline constexpr const char* kConvert1OldVersion = "С&тарая:";
inline constexpr const char* kConvert1NewVersion = "&Новая:";
inline constexpr const char* kConvert1Crypt = "&Использовать кодирование ";
inline constexpr const char* kConvert1Confirmation = "По&дтверждение:";
inline constexpr const char* kConvert1User = "П&ользователь:";
inline constexpr const char* kConvert1Code = "&Код БД:";
inline constexpr const char* kConvert1Comments = "&Комментарии:";

// TFormConvert2.
inline constexpr const char* kConvert2Caption = "Преобразование в SQL";
inline constexpr const char* kConvert2Terminator = "Раз&делитель команд :";
inline constexpr const char* kConvert2InitialTerminator = "^";

} // namespace vt::desktop::texts

// Help contexts of the script-kind and conversion windows.
namespace vt::desktop::helpctx {

inline constexpr int kConvert1 = 100300;
inline constexpr int kConvert2 = 100500;
inline constexpr int kSqlEdit = 100600;
inline constexpr int kSqlTools = 100700;

} // namespace vt::desktop::helpctx
