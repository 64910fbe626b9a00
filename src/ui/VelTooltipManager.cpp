#include "ui/VelTooltipManager.h"

CVelTooltipManager* g_pTooltipManager = nullptr;
