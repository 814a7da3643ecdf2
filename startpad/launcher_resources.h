// The resources compiled into startpad: the launcher dialog's pictures and the program's
// icon, under the numbers the dialog refers to them by.
#pragma once

#include <QIcon>

#include "lobby/ui/cached_bitmap.h"

namespace zrt {

inline constexpr int kLauncherDialogId = 102;
inline constexpr int kBackgroundBitmap = 154;  // 406 x 561, 256 colours
inline constexpr int kIconGroup = 156;
inline constexpr int kMultiplayerBitmap = 157;  // 366 x 13, 256 colours
inline constexpr int kTrainingBitmap = 159;     // 60 x 13, 2 colours
inline constexpr int kWebSiteBitmap = 160;      // 192 x 13, 2 colours
inline constexpr int kQuitBitmap = 161;         // 31 x 13, 2 colours

// Loads bitmap `id` from the program's resources; an empty bitmap when there is none.
CachedBitmap LoadLauncherBitmap(int id);

// Icon group 156: the program's icon in 16, 32 and 48 pixels.
QIcon LauncherIcon();

}  // namespace zrt
