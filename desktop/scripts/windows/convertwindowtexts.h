// Captions, hints, file filters and help contexts of the script-kind and conversion windows.
#pragma once

namespace vt::desktop::texts {

// Shared by the windows of this folder.
inline constexpr const char* kEditHint = "Изменить (F4)";
inline constexpr const char* kSqlFilter = "SQL-скрипты (*.sql)|*.sql|Все файлы (*.*)|*.*";
inline constexpr const char* kRsqlFilter = "rSQL-скрипты (*.rsql)|*.rsql|Все файлы (*.*)|*.*";
inline constexpr const char* kScriptKindLabel = "Тип ск&рипта:";
inline constexpr const char* kPassword = "&Пароль:";
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
inline constexpr const char* kSqlEditDBCode = "Код БД:";
inline constexpr const char* kSqlEditDialect = "&Диалект:";
inline constexpr const char* kSqlEditCancel = "&Отмена";

// TFormConvert1.
inline constexpr const char* kConvert1Caption = "Преобразование в rSQL";
inline constexpr const char* kConvert1SqlFile = "SQL-ф&айл :";
inline constexpr const char* kConvert1RsqlFile = "rSQL-&файл :";
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
inline constexpr const char* kConvert2RsqlFile = "rSQL-&файл :";
inline constexpr const char* kConvert2SqlFile = "SQL-ф&айл :";
inline constexpr const char* kConvert2Terminator = "Раз&делитель команд :";
inline constexpr const char* kConvert2InitialTerminator = "^";

} // namespace vt::desktop::texts

namespace vt::desktop::helpctx {

inline constexpr int kConvert1 = 100300;
inline constexpr int kConvert2 = 100500;
inline constexpr int kSqlEdit = 100600;
inline constexpr int kSqlTools = 100700;

} // namespace vt::desktop::helpctx
