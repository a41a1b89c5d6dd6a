// The texts of the error descriptions and the reserved names of the message file.
#pragma once

namespace vt::desktop::texts {

// Titles of the descriptions.
inline constexpr const char* kTitleInternal = "Ошибка в программе:";
inline constexpr const char* kTitleSystem = "Системная ошибка:";
inline constexpr const char* kTitleInOut = "Ошибка ввода/вывода:";
inline constexpr const char* kTitleRange = "Ошибка выхода за границы диапазона:";
inline constexpr const char* kTitleConvert = "Ошибка преобразования данных:";
inline constexpr const char* kTitleEngine = "Ошибка при работе с базой данных:";
inline constexpr const char* kTitleData = "Ошибка при работе с данными:";

// Message and detail templates; they pass through ExpandEscapes before %1... are filled in.
inline constexpr const char* kInternalMessage =
    "%1\\r\\rЕсли это сообщение будет появляться еще,\\rобратитесь в службу поддержки.";
inline constexpr const char* kInternalDetails = "Ошибка %1: %2";
inline constexpr const char* kSystemDetails = "Системная ошибка %1: %2";
inline constexpr const char* kInOutDetails = "Ошибка ввода/вывода %1: %2";
inline constexpr const char* kConvertMessage =
    "%1\\r\\rЕсли Вы уверены в правильности введенных данных,\\rобратитесь в службу поддержки.";
inline constexpr const char* kServerError = "Ошибка сервера %1: %2";
inline constexpr const char* kEngineError = "Ошибка BDE %1 (категория: %2, код: %3): %4";
inline constexpr const char* kOpenDatabases = "Открытые БД: %1";

// Reserved names of the message file.
inline constexpr const char* kConstantsSection = "<CONSTANTS>";
inline constexpr const char* kDefaultKey = "<DEFAULT>";
inline constexpr const char* kLoggingKey = "<LOGGING>";
inline constexpr const char* kMessageToken = "<MESSAGE>";

} // namespace vt::desktop::texts

namespace vt::desktop::texts {

// Lines of an error log entry: user and computer; program path and version; library path and
// version.
inline constexpr const char* kLogUserLine = "Пользователь: %1, Компьютер: %2";
inline constexpr const char* kLogProgramLine = "Программа: %1 (%2)";
inline constexpr const char* kLogLibraryLine = "Библиотека: %1 (%2)";
// The context of the active window ("Форма: name, caption") and its active control.
inline constexpr const char* kLogFormContext = "Форма: %1, %2";
inline constexpr const char* kLogControlContext = "Элемент: %1";
// A log entry that could not be written; %1 is the reason. Passes through ExpandEscapes.
inline constexpr const char* kLogWriteFailed = "Ошибка записи в файл протокола:\\r%1";
// GetLogUserName: a database user, and the operating-system account.
inline constexpr const char* kDatabaseUser = "%1 (БД)";
inline constexpr const char* kSystemUser = "%1 (ОС)";
// An exception that is no std::exception, as the application's exception event sees it.
inline constexpr const char* kUnknownException = "Неизвестное исключение";
// The text that stands for a password wherever an error is shown or logged.
inline constexpr const char* kPasswordMask = "***";

// The error dialog's buttons and its message box's popup menu item.
inline constexpr const char* kOkCaption = "&OK";
inline constexpr const char* kMoreDetails = "&Подробнее >>";
inline constexpr const char* kLessDetails = "&Кратко <<";
inline constexpr const char* kCopyToClipboard = "&Копировать";

} // namespace vt::desktop::texts
