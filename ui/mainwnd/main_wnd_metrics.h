#pragma once
// The main window's design sizes, in pixels at 96 DPI; at other DPIs they are scaled in
// proportion (Tessel::ScaleForDpi).
inline constexpr int kMinWidth = 719; // outer size: the window opens at its minimum size
inline constexpr int kMinHeight = 437;
inline constexpr int kHostColumnWidth = 230;
inline constexpr int kAddressColumnWidth = 180; // until the list is placed: then it fits the list
