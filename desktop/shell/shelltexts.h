// The desktop shell's own texts: messages of the settings and utility routines.
#pragma once

namespace vt::desktop::texts {

// Resource lookups that fail; %1 is the normalised resource name.
inline constexpr const char* kResourceNotFound = "Ресурс %1 не найден";
// A resource whose bytes hold no picture the program can read; %1 is the resource name.
inline constexpr const char* kInvalidGraphic = "Ресурс %1 не содержит изображения";
// CompareVersions with a version text that ParseVersion rejects.
inline constexpr const char* kVersionFormat = "Ошибка формата версии.";
// LoadResourceLibrary when the library cannot be loaded: file name, then the loader's text.
inline constexpr const char* kCannotLoad = "Не могу загрузить %1.\\r\\r%2";
// LoadResourceLibrary when the library is older than required: file name, minimum version.
inline constexpr const char* kLibraryTooOld = "Требуется версия библиотеки \"%1\" не ниже %2.";
// StrToFloatDot when the text is no number; %1 is the text.
inline constexpr const char* kInvalidFloat = "'%1' не является числом с плавающей точкой";
// A registry value that cannot be written; %1 is the value name.
inline constexpr const char* kRegistryWriteFailed = "Не удалось записать значение '%1' в реестр";
// A registry value that cannot be deleted; %1 is the value name.
inline constexpr const char* kRegistryDeleteFailed = "Не удалось удалить значение '%1' из реестра";
// A registry operation without an open key.
inline constexpr const char* kRegistryNoKey = "Раздел реестра не открыт";

// TLauncher failures; %1 is the program name or working directory in capital letters.
inline constexpr const char* kLaunchNotFound = "Файл '%1' не найден.";
inline constexpr const char* kLaunchNotProgram = "Файл '%1' не является программой.";
inline constexpr const char* kLaunchBadWorkDir = "Неверный рабочий каталог (%1).";
// Shell execution when no program of the desktop takes the document or the verb.
inline constexpr const char* kLaunchNoAssociation =
    "Для указанной операции нет приложения, сопоставленного с данным файлом.";

// The script viewer.
inline constexpr const char* kFileNotFound = "Файл %1 не найден.";
inline constexpr const char* kFilterRsql = "rSQL-скрипты (*.rsql)|*.rsql|Все файлы (*.*)|*.*";
inline constexpr const char* kFilterSql = "SQL-скрипты (*.sql)|*.sql|Все файлы (*.*)|*.*";
inline constexpr const char* kOverwriteQuestion =
    "Файл с таким именем уже существует. Перезаписать?";
inline constexpr const char* kSaveChangesQuestion = "В документ были внесены изменения. Сохранить?";

// The splash and the about window.
inline constexpr const char* kVersionPrefix = "Версия ";
inline constexpr const char* kAllRightsReserved = "Все права защищены.";
inline constexpr const char* kAboutCaption = "О программе";
inline constexpr const char* kEMailLabel = "E-mail:";
inline constexpr const char* kSplashFinalStep = "Запуск";
inline constexpr const char* kHomePageErrorTitle = "Ошибка показа веб-страницы:";
inline constexpr const char* kHomePageErrorMessage = "Не могу запустить веб-броузер.";
inline constexpr const char* kHomePageErrorDetails = "Web browser error #%1.\r\n%2";
inline constexpr const char* kEMailErrorTitle = "Ошибка отправки письма:";
inline constexpr const char* kEMailErrorMessage = "Не могу запустить почтового клиента.";
inline constexpr const char* kEMailErrorDetails = "E-mail client error #%1.\r\n%2";

// Captions of the message-box buttons, as the platform shows them in Russian.
inline constexpr const char* kButtonOk = "ОК";
inline constexpr const char* kButtonCancel = "Отмена";
inline constexpr const char* kButtonAbort = "Прервать";
inline constexpr const char* kButtonRetry = "Повтор";
inline constexpr const char* kButtonIgnore = "Пропустить";
inline constexpr const char* kButtonYes = "Да";
inline constexpr const char* kButtonNo = "Нет";

} // namespace vt::desktop::texts
