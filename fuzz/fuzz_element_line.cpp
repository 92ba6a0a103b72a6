// The element-line grammar on any bytes: it must never crash, and a line it accepts must come
// back the same when its values are written as a wire line and a pad line and read again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "TBoardError.h"
#include "TElementLine.h"
#include "TElementList.h"
#include "TSolder.h"
#include "TWire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* begin = reinterpret_cast<const char*>(data);
  int32_t v[5];
  try {
    if (!ReadElementLine(begin, begin + size, v)) return 0;
  } catch (const EBoardError&) {
    return 0;
  }
  TWire wire(nullptr, {v[0], v[1]}, {v[2], v[3]}, TWire::ReadWidthDivisor(v[4]));
  TSolder pad(nullptr, {v[0], v[1]}, v[2], v[3], static_cast<uint8_t>(v[4]));
  for (const std::string& text : {wire.ToText(), pad.ToText()}) {
    int32_t again[5];
    if (!ReadElementLine(text.data(), text.data() + text.size(), again)) std::abort();
    for (int i = 0; i < 4; ++i)
      if (again[i] != v[i]) std::abort();
  }
  return 0;
}
