#include "TPCBLayout.h"

// Stand-ins until the printing code joins this branch.
void TPCBLayout::Print() {}
void TPCBLayout::ExportPdf(const QString&) {}
