#pragma once

#include <QString>
#include <cstdint>

// Pad and hole sizes as the user reads and types them: millimetres, where one board unit is
// exactly 0.15875 mm (16 units make the 2.54 mm base step). A typed size is rounded to whole
// board units, since that is all a board file can hold.

// The smallest and largest pad across (1.27 mm to 3.81 mm) and hole a user can choose; the hole
// stays below the largest pad.
constexpr int32_t MinPadUnits = 8;
constexpr int32_t MaxPadUnits = 24;
constexpr int32_t MinHoleUnits = 1;
constexpr int32_t MaxHoleUnits = MaxPadUnits - 1;

// The sides a surface-mount pad may have, from 0.32 mm (the smallest chip pads) to 10.16 mm (the
// tab of a power package).
constexpr int32_t MinSmdUnits = 2;
constexpr int32_t MaxSmdUnits = 64;

// The sizes the boxes offer, in board units.
constexpr int32_t PadSizeChoices[] = {8, 10, 12, 14, 16, 20, 24};
constexpr int32_t HoleSizeChoices[] = {4, 5, 6, 7, 8, 10};
// 0.64 mm is a SOIC pad across, 1.43 mm an 0805 pad, 1.91 mm a SOIC pad along.
constexpr int32_t SmdSizeChoices[] = {3, 4, 5, 6, 8, 9, 10, 12, 16, 20};

// A size in board units as millimetres with two decimals, rounded half up: 12 -> "1.91".
QString MillimetreText(int32_t units);

// A typed size: a number of millimetres with "." or "," before the decimals and an optional
// "mm" after, rounded to the nearest board unit and checked against the limits. Anything else
// raises a message saying what the box takes.
int32_t ReadPadSize(const QString& text);
int32_t ReadHoleSize(const QString& text);
int32_t ReadSmdSize(const QString& text);

// A hole must be smaller than its pad, or the drill takes all of the copper with it.
void CheckHoleFits(int32_t hole, int32_t pad);
