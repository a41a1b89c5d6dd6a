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
