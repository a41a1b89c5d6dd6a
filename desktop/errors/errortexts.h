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
