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

inline constexpr std::string_view kOperationDone = "Операция выполнена успешно.";

// The operations of the data transfer, in list order.
inline constexpr std::string_view kBatchOperations[] = {
    "Добавление записей", "Изменение записей", "Добавление и изменение записей",
    "Создание новой таблицы", "Удаление записей"};
inline constexpr std::string_view kBatchCancelled =
    "Перенос данных прерван. Приемник оставлен без изменений.";

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
