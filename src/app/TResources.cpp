#include "TResources.h"

#include <QtGlobal>

void InitResources() { Q_INIT_RESOURCE(ferrolume); }
