#pragma once

#include <QString>
#include <string>
#include <string_view>

// The board file keeps text one byte a character, in Windows-1252: what the user types is turned
// into those bytes and back here.

// The bytes of TEXT, its line breaks ("\r\n", "\r" or "\n") as '\n'. False when a character is
// not one copper text can hold (see TCopperText::Printable; a character Windows-1252 has no code
// for included); then *REFUSEDAT, when given, is its position in TEXT and OUT is left as it was.
bool ToWindows1252(const QString& text, std::string& out, qsizetype* refusedAt = nullptr);
// The characters of the bytes, '\n' kept.
QString FromWindows1252(std::string_view bytes);
