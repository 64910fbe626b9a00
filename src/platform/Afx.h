// Everything the window framework layer offers, in one include.
#pragma once

#include "platform/Button.h"
#include "platform/Dc.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/Geometry.h"
#include "platform/System.h"
#include "platform/WinConst.h"
#include "platform/WinMessages.h"
#include "platform/WinTypes.h"
#include "platform/Wnd.h"
