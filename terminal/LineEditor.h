// The command window's line editor: a per-key state machine over its own
// bounded buffer. It knows nothing of curses; the display module reads the
// keys, classifies them and draws what the editor holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "engine/PrinterRecords.h"

constexpr size_t MAX_COMMAND_LINE_BYTES = LINE_BUFFER_SIZE - 1;  // 2047

struct LineEditor {
    char bytes[LINE_BUFFER_SIZE];              // typed text in the locale's encoding, NUL-terminated
    size_t length;                             // bytes in use
    uint8_t charBytes[MAX_COMMAND_LINE_BYTES]; // byte count of each typed character
    uint8_t charCells[MAX_COMMAND_LINE_BYTES]; // display cells of each typed character
    size_t charCount;                          // characters typed
};

enum EditResult {
    EDIT_CHANGED,    // the text changed; redraw it
    EDIT_UNCHANGED,  // nothing to do (erase on an empty line, say)
    EDIT_REFUSED,    // the key cannot be taken; beep
};

// Empties the line.
void LineEditor_Clear(LineEditor *editor);
// Appends one character. Refused when its bytes would carry the line past
// 2047 bytes, or when the locale cannot encode or show it. A tab is kept as
// itself and shown as one blank cell.
EditResult LineEditor_Insert(LineEditor *editor, wchar_t character);
// Removes the last character, all of its bytes.
EditResult LineEditor_Erase(LineEditor *editor);
// Removes the last word and the blanks after it.
EditResult LineEditor_EraseWord(LineEditor *editor);
// Removes the whole line.
EditResult LineEditor_Kill(LineEditor *editor);

// The tail of the line that fits in `cells` columns, for a line wider than
// the window: the index of its first character. *usedCells gets its width.
size_t LineEditor_VisibleFrom(const LineEditor *editor, int cells, int *usedCells);
// The byte offset at which character `index` starts.
size_t LineEditor_ByteOffset(const LineEditor *editor, size_t index);
