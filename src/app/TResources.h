#pragma once

// Makes the program's pictures and desktop files reachable under ":/". They live in a static
// library, whose resource table the linker would otherwise leave out.
void InitResources();
