// Captions and hints of the main window.
#pragma once

namespace vt::desktop::texts {

inline constexpr const char* kApplicationTitle = "Vantrel Utilities";
// The product resource library and the version it must have at least.
inline constexpr const char* kResourceLibrary = "vtres.so";
inline constexpr const char* kResourceLibraryMinVersion = "2.0.7";
// The document of "Что нового?", in the program folder.
inline constexpr const char* kChangesFile = "changes.txt";

inline constexpr const char* kMenuDataBase = "&База данных";
inline constexpr const char* kMenuService = "С&ервис";
inline constexpr const char* kMenuTools = "&Инструменты";
inline constexpr const char* kMenuHelp = "&Справка";

inline constexpr const char* kExecrSQL = "Вы&полнить скрипт...";
inline constexpr const char* kBatch = "&Перенос данных...";
inline constexpr const char* kExit = "&Выход";
inline constexpr const char* kINIConvert = "Преобразование в &rSQL...";
inline constexpr const char* kSQLConvert = "Преобразование в &SQL...";
inline constexpr const char* kScriptSetup = "&Настройка видов скриптов...";
inline constexpr const char* kToolEdit = "&Настройка...";
inline constexpr const char* kContents = "&Содержание";
inline constexpr const char* kIndex = "&Указатель";
inline constexpr const char* kWhatsNew = "Что нового?";
inline constexpr const char* kAbout = "&О программе...";

// Tool-button hints: the tool tip before the bar, the status-line text after it.
inline constexpr const char* kHintExecSQL = "Выполнить скрипт...|Выполнить скрипт...";
inline constexpr const char* kHintImport = "Перенос данных...|Перенос данных...";
inline constexpr const char* kHintExit = "Выход|Выход";
inline constexpr const char* kHintINIConvert = "Преобразование в rSQL...|Преобразование в rSQL...";
inline constexpr const char* kHintSQLConvert = "Преобразование в SQL...|Преобразование в SQL...";
inline constexpr const char* kHintSQLParams =
    "Настройка видов скриптов...|Настройка видов скриптов...";
inline constexpr const char* kHintTools = "Настройка инструментов|Настройка инструментов";

} // namespace vt::desktop::texts
