#include "terminal/LineEditor.h"

#include <climits>
#include <cstring>

void LineEditor_Clear(LineEditor *editor)
{
    memset(editor, 0, sizeof *editor);
}

// The display cells of a character, or -1 when it cannot be shown.
static int CharacterCells(wchar_t character)
{
    if (character == L'\t')
        return 1;
    return wcwidth(character);
}

EditResult LineEditor_Insert(LineEditor *editor, wchar_t character)
{
    int cells = CharacterCells(character);
    if (cells < 0)
        return EDIT_REFUSED;
    char encoded[MB_LEN_MAX];
    mbstate_t state = {};
    size_t count = wcrtomb(encoded, character, &state);
    if (count == static_cast<size_t>(-1) || count == 0)
        return EDIT_REFUSED;
    if (editor->length + count > MAX_COMMAND_LINE_BYTES)
        return EDIT_REFUSED;
    memcpy(editor->bytes + editor->length, encoded, count);
    editor->length += count;
    editor->bytes[editor->length] = '\0';
    editor->charBytes[editor->charCount] = static_cast<uint8_t>(count);
    editor->charCells[editor->charCount] = static_cast<uint8_t>(cells);
    editor->charCount++;
    return EDIT_CHANGED;
}

EditResult LineEditor_Erase(LineEditor *editor)
{
    if (editor->charCount == 0)
        return EDIT_UNCHANGED;
    editor->charCount--;
    editor->length -= editor->charBytes[editor->charCount];
    editor->bytes[editor->length] = '\0';
    return EDIT_CHANGED;
}

static bool IsLastCharacterBlank(const LineEditor *editor)
{
    char last = editor->bytes[editor->length - 1];
    return editor->charBytes[editor->charCount - 1] == 1 && (last == ' ' || last == '\t');
}

EditResult LineEditor_EraseWord(LineEditor *editor)
{
    if (editor->charCount == 0)
        return EDIT_UNCHANGED;
    while (editor->charCount > 0 && IsLastCharacterBlank(editor))
        LineEditor_Erase(editor);
    while (editor->charCount > 0 && !IsLastCharacterBlank(editor))
        LineEditor_Erase(editor);
    return EDIT_CHANGED;
}

EditResult LineEditor_Kill(LineEditor *editor)
{
    if (editor->charCount == 0)
        return EDIT_UNCHANGED;
    LineEditor_Clear(editor);
    return EDIT_CHANGED;
}

size_t LineEditor_VisibleFrom(const LineEditor *editor, int cells, int *usedCells)
{
    size_t first = editor->charCount;
    int used = 0;
    while (first > 0 && used + editor->charCells[first - 1] <= cells) {
        first--;
        used += editor->charCells[first];
    }
    *usedCells = used;
    return first;
}

size_t LineEditor_ByteOffset(const LineEditor *editor, size_t index)
{
    size_t offset = 0;
    for (size_t i = 0; i < index; i++)
        offset += editor->charBytes[i];
    return offset;
}
