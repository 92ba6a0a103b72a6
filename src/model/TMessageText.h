#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

// Text from outside the program (a number as a file wrote it, a file's path, a printer's name)
// quoted in a message. A file can hold a number of a million digits, and a message box lays its
// text out as one line: quoted whole, it would hang the window for seconds and still be cut off.
// A text of up to `limit` characters is kept as it is; a longer one keeps its first limit / 2
// and last limit / 4 characters around "…", so the start and the end the user recognises stay.

// Every number a board can hold, and any realistic typo in one, is shorter.
constexpr size_t QuotedNumberLimit = 40;
// About as much as a message box shows on one line of a small screen.
constexpr size_t QuotedNameLimit = 100;

// Characters are counted in UTF-8 and never cut in the middle.
std::string ShortQuote(std::string_view utf8, size_t limit);
QString ShortQuote(const QString& text, size_t limit);

// The text the error box shows, and the converter prints: the message with a full stop added
// when its last character sorts after "." ("Invalid file extention" gets one; a message ending
// in ")" or "!" is left alone).
QString ErrorBoxText(const QString& message);
