// The texts the script workflows show, as UTF-8.
#pragma once

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

} // namespace vt::desktop::texts
