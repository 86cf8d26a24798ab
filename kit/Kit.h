#pragma once
// Everything of the control kit in one include.

#include "kit/AccountBoxes.h"
#include "kit/CodeEditBox.h"
#include "kit/ConnectionCache.h"
#include "kit/Control.h"
#include "kit/Event.h"
#include "kit/Form.h"
#include "kit/GridNavigator.h"
#include "kit/QueryGrid.h"
#include "kit/RecordFrame.h"
#include "kit/SimpleControls.h"
#include "kit/WindowSystem.h"
