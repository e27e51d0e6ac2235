#pragma once
// The bridge's own messages. They are fixed in the program, not taken from the
// language files, so they show even when no language could be loaded.
namespace quillfen {

inline constexpr const char* kXmlNotInitialized = "XML-данные не инициализированы";
inline constexpr const char* kUnknownDataType = "Неизвестный тип данных: ";
inline constexpr const char* kUnknownCommand = "Неизвестная команда ";
inline constexpr const char* kProcedureCallError = "Ошибка вызова процедуры";

// The exit code of the program after a fatal error of the codec.
inline constexpr int kCodecFailureExitCode = 1;

}  // namespace quillfen
