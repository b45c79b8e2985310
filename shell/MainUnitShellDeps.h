// The desktop base's units the window builds on.
#pragma once
#include "AppInfoUnit.h"
#include "FileListRulesUnit.h"
#include "FormStateUnit.h"
#include "GuiProgressatorUnit.h"
#include "MonitorFitUnit.h"
#include "RunFoldersUnit.h"
#include "Settings.h"
