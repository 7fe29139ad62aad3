// What opens over the status window: the help view, and the list of
// completion choices just above the command window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The help view over the status window, the given lines inside a frame.
// While it is open the status window is kept up to date unseen; closing it
// shows the status window whole again.
void OpenHelpView(const std::vector<std::string> &lines);
void CloseHelpView();
// A short list of completion choices just above the command window, until
// HideCandidates (which does nothing when no list is shown). `total` counts
// the choices found, shown or not; `isCut` says more may exist uncounted.
void ShowCandidates(const std::vector<std::string> &labels, size_t total, bool isCut);
void HideCandidates();
// Puts the overlays back over the status window, the help view on top.
void PutOverlays();
// Moves the overlays back to their places after a resize.
void KeepOverlaysInPlace();
// Forgets the overlays when curses closes.
void ForgetOverlays();
