// Captions and messages of the shell's windows.
#pragma once

namespace vt::desktop::texts {

// Buttons shared by the windows.
inline constexpr const char* kSave = "Сохранить";
inline constexpr const char* kCancel = "Отмена";
inline constexpr const char* kHelp = "&Справка";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kClose = "Закрыть";
inline constexpr const char* kExecute = "Выполнить";

// TFormTools.
inline constexpr const char* kToolsCaption = "Инструмент";
inline constexpr const char* kToolsLabel = "Инструменты:";
inline constexpr const char* kToolsAdd = "&Добавить";
inline constexpr const char* kToolsRemove = "&Удалить";
inline constexpr const char* kToolsEdit = "&Изменить";
inline constexpr const char* kToolsRemoveQuestion = "Удалить инструмент ?";

// TFormToolEdit.
inline constexpr const char* kToolEditCaption = "Настройка";
inline constexpr const char* kToolEditGroup = " Параметры ";
inline constexpr const char* kToolEditName = "&Наименование:";
inline constexpr const char* kToolEditProgram = "&Программа:";
inline constexpr const char* kToolEditWorkDir = "Рабочий &каталог:";
inline constexpr const char* kToolEditParams = "Па&раметры:";
inline constexpr const char* kChooseProgram = "Выбор программы";
inline constexpr const char* kProgramFilter = "Все файлы (*.*)|*.*";
inline constexpr const char* kChooseFolder = "Выбор рабочего каталога";

// TFormMemo.
inline constexpr const char* kViewerCaption = "Просмотр";
inline constexpr const char* kChooseFile = "Выбор файла";

} // namespace vt::desktop::texts
