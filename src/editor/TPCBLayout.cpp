#include "TPCBLayout.h"
