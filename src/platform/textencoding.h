#pragma once
// The two encodings text files of this tool come in: UTF-8, and the Windows
// code page 1252 of files written by the older Windows program (umlauts as
// single bytes). Decoding a 1252 file and encoding it back gives the same
// bytes, so an edit elsewhere in the file changes nothing else.
#include <string>
#include <string_view>

namespace velmora::platform {

enum class TextEncoding { Utf8, Windows1252 };

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
[[nodiscard]] bool IsValidUtf8(std::string_view bytes);
// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
[[nodiscard]] TextEncoding DetectEncoding(std::string_view bytes);

// The file's bytes as UTF-8 text. The five bytes code page 1252 leaves
// undefined become the control characters of the same number, as Windows
// reads them, so they survive the way back.
[[nodiscard]] std::string DecodeText(std::string_view bytes, TextEncoding encoding);
// UTF-8 text as the file's bytes; a character code page 1252 lacks becomes "?".
[[nodiscard]] std::string EncodeText(std::string_view utf8, TextEncoding encoding);

}  // namespace velmora::platform
