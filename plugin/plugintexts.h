// The plug-in's own messages and the SQL texts of the version table, declared once.
//
// Messages stand here as UTF-8 and are converted to the ANSI code page (platform::ansi) where
// they become an error text of the interface. A "%s" is filled by fillTemplate (pluginerror.h).
#pragma once

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

// The optional parameter of openDatabase that carries the user name.
inline constexpr std::string_view kUserNameParam = "USER NAME";

} // namespace vt::plugin::texts
