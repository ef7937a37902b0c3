#pragma once
// Shared set-up for the tests: a fresh table and game state, sound muted, the data files in a
// temporary directory, pauses shortened.
#include "DataFiles.h"
#include "ModVariables.h"
#include "Sound.h"
#include "Table.h"
#include "Waits.h"

#include <QTemporaryDir>

namespace TestSupport {

inline void FreshState(const QString& dataDir, double pace = 0.0) {
    if (TableExists()) DestroyTableForm();
    Waits::Reset();
    Waits::PaceScale = pace;
    ResetGameState();
    Sound::SetMuted(true);
    DataFiles::SetDataDirOverride(dataDir);
    ExitHook = [] {};
}

} // namespace TestSupport
