// The desktop base's units the window builds on.
#pragma once
#include "AppInfoUnit.h"
#include "FileListRulesUnit.h"
#include "FormStateUnit.h"
#include "MonitorFitUnit.h"
#include "Settings.h"
#include "BaseStandIns.h"
