#pragma once

namespace tessival {

// How many items a run in the window converts side by side, kept between sessions in the
// application's settings. One, the default, is the classic run: one item after the other.
inline constexpr int kMostItemsAtOnce = 8;

// The kept count, 1 when none was kept or the settings cannot be read.
int LoadItemsAtOnce();
// Keeps count (cut to 1 to kMostItemsAtOnce). Only a process that names its organisation keeps it.
void SaveItemsAtOnce(int count);
// count cut to 1 to kMostItemsAtOnce.
int BoundItemsAtOnce(int count);

}  // namespace tessival
