#pragma once
// Loading and saving RecordSettings in Config.ini.
#include "platform/core/types.h"
#include "platform/core/wave_format.h"
#include "settings/record_settings.h"

#include <string>

namespace settings {

// The main window centred on the primary screen without resizing (divisions truncate toward
// zero); its rectangle is the default recorded region.
platform::Rect CentredWindowRect(int screenWidth, int screenHeight, int windowWidth,
                                 int windowHeight);

// Fills every member from the INI file, each with its default when missing or empty. The seven
// compressed-format keys go into `compressed` and are skipped when it is null.
void LoadSettings(RecordSettings& s, const std::string& iniPath, const platform::Rect& centredWindow,
                  platform::WAVEFORMATEX* compressed);

// Writes [Area Settings], [Output Settings], [Video Settings] and [Audio Settings]. False when
// any key could not be written (the caller reports it); the values stay in memory.
bool SaveSettings(const RecordSettings& s, const std::string& iniPath,
                  const platform::WAVEFORMATEX* compressed);

// Reads the hot keys' flags, codes and masks from [Global Options] (the Options dialog's
// opening), each with its default when missing or empty; the other members stay.
void LoadHotKeyOptions(RecordSettings& s, const std::string& iniPath);

// Writes [Global Options] (the Options dialog's OK). False as above.
bool SaveGlobalOptions(const RecordSettings& s, const std::string& iniPath);

}  // namespace settings
