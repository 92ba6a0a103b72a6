#pragma once

#include <cstddef>
#include <cstdint>

// Reads one element line: five integers separated by commas, with spaces (and only spaces)
// around them and an optional sign on each. Returns false for a line that is not an element
// line, which readers skip quietly. A number beyond the 32-bit range is an error the user must
// see, raised as soon as the number is read: "'<number>' n'est pas une valeur entière correcte",
// a number of more than 40 characters shortened as ShortQuote does.
bool ReadElementLine(const char* begin, const char* end, int32_t values[5]);
