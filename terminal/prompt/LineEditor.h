// The command window's line editor: a per-key state machine over its own
// bounded buffer. It knows nothing of curses: the loop's key input reads
// the keys, the prompt says what each does, and the command window draws
// what the editor holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>

#include "common/Commands.h"

// A character here is what the cursor steps over: one printable character
// with the zero-width characters (combining marks) typed after it.
struct LineEditor {
    char bytes[MAX_COMMAND_LINE_BYTES + 1];            // typed text in the locale's encoding, NUL-terminated
    size_t length;                             // bytes in use
    uint8_t charBytes[MAX_COMMAND_LINE_BYTES]; // byte count of each typed character
    uint8_t charCells[MAX_COMMAND_LINE_BYTES]; // display cells of each typed character
    size_t charCount;                          // characters typed
    size_t cursor;                             // characters before the cursor
};

enum EditResult {
    EDIT_CHANGED,    // the text or the cursor changed; redraw it
    EDIT_UNCHANGED,  // nothing to do (erase on an empty line, say)
    EDIT_REFUSED,    // the key cannot be taken; beep
};

// Empties the line.
void LineEditor_Clear(LineEditor *editor);
// Inserts one character at the cursor. Refused when its bytes would carry
// the line past 2047 bytes, or when the locale cannot encode or show it. A
// tab is kept as itself and shown as one blank cell.
EditResult LineEditor_Insert(LineEditor *editor, wchar_t character);
// Removes the character before the cursor, all of its bytes.
EditResult LineEditor_Erase(LineEditor *editor);
// Removes the character under the cursor.
EditResult LineEditor_Delete(LineEditor *editor);
// The kills below put the bytes they removed into *killed when it is
// given, for a later yank; a kill that removes nothing leaves it alone.
// Removes the word before the cursor and the blanks after it (a word here
// runs to a blank).
EditResult LineEditor_EraseWord(LineEditor *editor, std::string *killed = nullptr);
// Removes the whole line.
EditResult LineEditor_Kill(LineEditor *editor, std::string *killed = nullptr);
// Removes everything from the cursor to the end of the line.
EditResult LineEditor_KillToEnd(LineEditor *editor, std::string *killed = nullptr);
// Removes from the start of the word before the cursor to the cursor, and
// from the cursor to the end of the word after it. Here a word is a run of
// letters and digits, as for the word moves.
EditResult LineEditor_KillWordBefore(LineEditor *editor, std::string *killed = nullptr);
EditResult LineEditor_KillWordAfter(LineEditor *editor, std::string *killed = nullptr);

// Cursor movement by one character, or to either end of the line.
EditResult LineEditor_MoveLeft(LineEditor *editor);
EditResult LineEditor_MoveRight(LineEditor *editor);
EditResult LineEditor_MoveHome(LineEditor *editor);
EditResult LineEditor_MoveEnd(LineEditor *editor);
// Cursor movement to the start of the word before it, or past the end of
// the word after it.
EditResult LineEditor_MoveWordLeft(LineEditor *editor);
EditResult LineEditor_MoveWordRight(LineEditor *editor);

// Replaces the whole line by text (in the locale's encoding), cursor at its
// end. Refused, and the line left as it was, when text cannot be typed.
EditResult LineEditor_SetText(LineEditor *editor, const char *text);
// Inserts text at the cursor, cursor after it. Refused, and the line left
// as it was, when text cannot be typed or would not fit.
EditResult LineEditor_InsertText(LineEditor *editor, const char *text);
// Replaces the characters from `first` to the cursor by text, cursor after
// it. Refused, and the line left as it was, when text cannot be typed or
// would not fit.
EditResult LineEditor_ReplaceBeforeCursor(LineEditor *editor, size_t first, const char *text);

// The tail of the text before the cursor that fits in `cells` columns: the
// index of its first character. *usedCells gets its width.
size_t LineEditor_VisibleFrom(const LineEditor *editor, int cells, int *usedCells);
// The first character to show in a field `cells` wide: the one shown last
// time (`previousFirst`) while that keeps the cursor in the field and
// leaves no room unused at the end.
size_t LineEditor_ViewStart(const LineEditor *editor, size_t previousFirst, int cells);
// The byte offset at which character `index` starts.
size_t LineEditor_ByteOffset(const LineEditor *editor, size_t index);
// The index of the character that starts at or after byte `offset`.
size_t LineEditor_CharacterAt(const LineEditor *editor, size_t offset);
