#include "terminal/prompt/LineEditor.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <cwctype>

constexpr size_t MAX_CHARACTER_BYTES = UINT8_MAX;  // a character and its combining marks

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

// Characters on their way into the line: their bytes, and each one's byte
// and cell counts, as many as the line could hold. Combining marks that
// come first join the character before the place they go (`joinedBytes`).
struct NewCharacters {
    char bytes[MAX_COMMAND_LINE_BYTES];
    uint8_t charBytes[MAX_COMMAND_LINE_BYTES];
    uint8_t charCells[MAX_COMMAND_LINE_BYTES];
    size_t length = 0;     // of bytes
    size_t charCount = 0;  // of charBytes and charCells
    size_t joinedBytes = 0;
};

// Adds one character of `count` bytes. A combining mark joins the
// character before it, so the cursor never stands between the two; it
// stands alone when that character is already at its largest. False when
// the character cannot be shown, or more than a line would hold.
static bool AddCharacter(NewCharacters *added, wchar_t character, const char *bytes, size_t count,
                         size_t bytesBefore)
{
    int cells = CharacterCells(character);
    if (cells < 0 || count == 0 || added->length + count > MAX_COMMAND_LINE_BYTES)
        return false;
    memcpy(added->bytes + added->length, bytes, count);
    added->length += count;
    uint8_t *last = added->charCount > 0 ? &added->charBytes[added->charCount - 1] : nullptr;
    size_t lastBytes = last != nullptr ? *last : bytesBefore > 0 ? bytesBefore + added->joinedBytes : 0;
    if (cells == 0 && lastBytes > 0 && lastBytes + count <= MAX_CHARACTER_BYTES) {
        if (last != nullptr)
            *last = static_cast<uint8_t>(lastBytes + count);
        else
            added->joinedBytes += count;
        return true;
    }
    added->charBytes[added->charCount] = static_cast<uint8_t>(count);
    added->charCells[added->charCount] = static_cast<uint8_t>(cells);
    added->charCount++;
    return true;
}

// Puts the characters in at character `index`, which the cursor then
// stands after. The caller has checked that they fit.
static void Splice(LineEditor *editor, size_t index, const NewCharacters &added)
{
    size_t offset = LineEditor_ByteOffset(editor, index);
    memmove(editor->bytes + offset + added.length, editor->bytes + offset, editor->length - offset + 1);
    memcpy(editor->bytes + offset, added.bytes, added.length);
    editor->length += added.length;
    if (added.joinedBytes > 0)
        editor->charBytes[index - 1] = static_cast<uint8_t>(editor->charBytes[index - 1] + added.joinedBytes);
    size_t after = editor->charCount - index;
    memmove(editor->charBytes + index + added.charCount, editor->charBytes + index, after);
    memmove(editor->charCells + index + added.charCount, editor->charCells + index, after);
    memcpy(editor->charBytes + index, added.charBytes, added.charCount);
    memcpy(editor->charCells + index, added.charCells, added.charCount);
    editor->charCount += added.charCount;
    editor->cursor = index + added.charCount;
}

// Removes `count` characters from `index` on, keeping the cursor on the
// character it stood before.
static void RemoveCharacters(LineEditor *editor, size_t index, size_t count)
{
    size_t offset = LineEditor_ByteOffset(editor, index);
    size_t bytes = LineEditor_ByteOffset(editor, index + count) - offset;
    memmove(editor->bytes + offset, editor->bytes + offset + bytes, editor->length - offset - bytes + 1);
    editor->length -= bytes;
    size_t after = editor->charCount - index - count;
    memmove(editor->charBytes + index, editor->charBytes + index + count, after);
    memmove(editor->charCells + index, editor->charCells + index + count, after);
    editor->charCount -= count;
    if (editor->cursor > index + count)
        editor->cursor -= count;
    else if (editor->cursor > index)
        editor->cursor = index;
}

EditResult LineEditor_Insert(LineEditor *editor, wchar_t character)
{
    char encoded[MB_LEN_MAX];
    mbstate_t state = {};
    size_t count = wcrtomb(encoded, character, &state);
    if (count == static_cast<size_t>(-1))
        return EDIT_REFUSED;
    size_t cursor = editor->cursor;
    NewCharacters added;
    if (!AddCharacter(&added, character, encoded, count, cursor > 0 ? editor->charBytes[cursor - 1] : 0) ||
        editor->length + added.length > MAX_COMMAND_LINE_BYTES)
        return EDIT_REFUSED;
    Splice(editor, cursor, added);
    return EDIT_CHANGED;
}

EditResult LineEditor_Erase(LineEditor *editor)
{
    if (editor->cursor == 0)
        return EDIT_UNCHANGED;
    RemoveCharacters(editor, editor->cursor - 1, 1);
    return EDIT_CHANGED;
}

EditResult LineEditor_Delete(LineEditor *editor)
{
    if (editor->cursor == editor->charCount)
        return EDIT_UNCHANGED;
    RemoveCharacters(editor, editor->cursor, 1);
    return EDIT_CHANGED;
}

static bool IsCharacterBlank(const LineEditor *editor, size_t index)
{
    char first = editor->bytes[LineEditor_ByteOffset(editor, index)];
    return editor->charBytes[index] == 1 && (first == ' ' || first == '\t');
}

// Removes the characters from `first` up to the cursor or from the cursor
// up to `end`, whichever side of the cursor the range lies; its bytes go
// to *killed when given.
static EditResult KillCharacters(LineEditor *editor, size_t first, size_t end, std::string *killed)
{
    if (first == end)
        return EDIT_UNCHANGED;
    if (killed != nullptr) {
        size_t offset = LineEditor_ByteOffset(editor, first);
        killed->assign(editor->bytes + offset, LineEditor_ByteOffset(editor, end) - offset);
    }
    RemoveCharacters(editor, first, end - first);
    return EDIT_CHANGED;
}

EditResult LineEditor_EraseWord(LineEditor *editor, std::string *killed)
{
    size_t first = editor->cursor;
    while (first > 0 && IsCharacterBlank(editor, first - 1))
        first--;
    while (first > 0 && !IsCharacterBlank(editor, first - 1))
        first--;
    return KillCharacters(editor, first, editor->cursor, killed);
}

EditResult LineEditor_Kill(LineEditor *editor, std::string *killed)
{
    editor->cursor = editor->charCount;
    return KillCharacters(editor, 0, editor->charCount, killed);
}

EditResult LineEditor_KillToEnd(LineEditor *editor, std::string *killed)
{
    return KillCharacters(editor, editor->cursor, editor->charCount, killed);
}

// True when the character starting at byte `offset` is a letter or a
// digit: what a word is made of for the word moves and kills.
static bool IsWordCharacter(const LineEditor *editor, size_t index, size_t offset)
{
    unsigned char first = static_cast<unsigned char>(editor->bytes[offset]);
    if (editor->charBytes[index] == 1 && first < 0x80)
        return isalnum(first);
    wchar_t character;
    mbstate_t state = {};
    size_t count = mbrtowc(&character, editor->bytes + offset, editor->charBytes[index], &state);
    return count > 0 && count <= editor->charBytes[index] && iswalnum(static_cast<wint_t>(character));
}

// The start of the word before the cursor: back over what is not a word,
// then over the word.
static size_t WordStartBefore(const LineEditor *editor)
{
    size_t index = editor->cursor;
    size_t offset = LineEditor_ByteOffset(editor, index);
    bool isInWord = false;
    while (index > 0) {
        size_t previous = offset - editor->charBytes[index - 1];
        bool isWord = IsWordCharacter(editor, index - 1, previous);
        if (isInWord && !isWord)
            break;
        isInWord = isInWord || isWord;
        index--;
        offset = previous;
    }
    return index;
}

// The end of the word after the cursor: on over what is not a word, then
// over the word.
static size_t WordEndAfter(const LineEditor *editor)
{
    size_t index = editor->cursor;
    size_t offset = LineEditor_ByteOffset(editor, index);
    bool isInWord = false;
    while (index < editor->charCount) {
        bool isWord = IsWordCharacter(editor, index, offset);
        if (isInWord && !isWord)
            break;
        isInWord = isInWord || isWord;
        offset += editor->charBytes[index];
        index++;
    }
    return index;
}

EditResult LineEditor_KillWordBefore(LineEditor *editor, std::string *killed)
{
    return KillCharacters(editor, WordStartBefore(editor), editor->cursor, killed);
}

EditResult LineEditor_KillWordAfter(LineEditor *editor, std::string *killed)
{
    return KillCharacters(editor, editor->cursor, WordEndAfter(editor), killed);
}

// Puts the cursor before character `index`.
static EditResult MoveCursorTo(LineEditor *editor, size_t index)
{
    if (index == editor->cursor)
        return EDIT_UNCHANGED;
    editor->cursor = index;
    return EDIT_CHANGED;
}

EditResult LineEditor_MoveLeft(LineEditor *editor)
{
    return MoveCursorTo(editor, editor->cursor > 0 ? editor->cursor - 1 : 0);
}

EditResult LineEditor_MoveRight(LineEditor *editor)
{
    return MoveCursorTo(editor, editor->cursor < editor->charCount ? editor->cursor + 1 : editor->charCount);
}

EditResult LineEditor_MoveHome(LineEditor *editor)
{
    return MoveCursorTo(editor, 0);
}

EditResult LineEditor_MoveEnd(LineEditor *editor)
{
    return MoveCursorTo(editor, editor->charCount);
}

EditResult LineEditor_MoveWordLeft(LineEditor *editor)
{
    return MoveCursorTo(editor, WordStartBefore(editor));
}

EditResult LineEditor_MoveWordRight(LineEditor *editor)
{
    return MoveCursorTo(editor, WordEndAfter(editor));
}

// The characters of a text, to go in after character `index`. False when
// one cannot be decoded or shown.
static bool DecodeText(const LineEditor *editor, size_t index, const char *text, NewCharacters *added)
{
    mbstate_t state = {};
    size_t bytesBefore = index > 0 ? editor->charBytes[index - 1] : 0;
    for (size_t left = strlen(text); left > 0;) {
        wchar_t character;
        size_t count = mbrtowc(&character, text, left, &state);
        if (count == 0 || count > left || !AddCharacter(added, character, text, count, bytesBefore))
            return false;
        text += count;
        left -= count;
    }
    return true;
}

EditResult LineEditor_SetText(LineEditor *editor, const char *text)
{
    size_t cursor = editor->cursor;
    editor->cursor = editor->charCount;
    EditResult result = LineEditor_ReplaceBeforeCursor(editor, 0, text);
    if (result == EDIT_REFUSED)
        editor->cursor = cursor;
    return result;
}

EditResult LineEditor_InsertText(LineEditor *editor, const char *text)
{
    return LineEditor_ReplaceBeforeCursor(editor, editor->cursor, text);
}

EditResult LineEditor_ReplaceBeforeCursor(LineEditor *editor, size_t first, const char *text)
{
    NewCharacters added;
    size_t removed = LineEditor_ByteOffset(editor, editor->cursor) - LineEditor_ByteOffset(editor, first);
    if (!DecodeText(editor, first, text, &added) ||
        editor->length - removed + added.length > MAX_COMMAND_LINE_BYTES)
        return EDIT_REFUSED;
    RemoveCharacters(editor, first, editor->cursor - first);
    Splice(editor, first, added);
    return EDIT_CHANGED;
}

// The cells of the characters from `first` up to (not including) `end`.
static int CellsBetween(const LineEditor *editor, size_t first, size_t end)
{
    int cells = 0;
    for (size_t i = first; i < end; i++)
        cells += editor->charCells[i];
    return cells;
}

size_t LineEditor_VisibleFrom(const LineEditor *editor, int cells, int *usedCells)
{
    size_t first = editor->cursor;
    int used = 0;
    while (first > 0 && used + editor->charCells[first - 1] <= cells) {
        first--;
        used += editor->charCells[first];
    }
    *usedCells = used;
    return first;
}

size_t LineEditor_ViewStart(const LineEditor *editor, size_t previousFirst, int cells)
{
    int used = 0;
    size_t tailFirst = LineEditor_VisibleFrom(editor, cells, &used);
    if (previousFirst < tailFirst)
        return tailFirst;  // the cursor went past the right edge
    size_t first = previousFirst > editor->cursor ? editor->cursor : previousFirst;
    // Scroll back when the end of the line leaves room, as after an erase.
    int shown = CellsBetween(editor, first, editor->charCount);
    while (first > 0 && shown + editor->charCells[first - 1] <= cells) {
        first--;
        shown += editor->charCells[first];
    }
    return first;
}

// Counted from the nearer end: most keys act at the end of the line, where
// this costs nothing.
size_t LineEditor_ByteOffset(const LineEditor *editor, size_t index)
{
    if (index > editor->charCount / 2) {
        size_t offset = editor->length;
        for (size_t i = index; i < editor->charCount; i++)
            offset -= editor->charBytes[i];
        return offset;
    }
    size_t offset = 0;
    for (size_t i = 0; i < index; i++)
        offset += editor->charBytes[i];
    return offset;
}

size_t LineEditor_CharacterAt(const LineEditor *editor, size_t offset)
{
    size_t index = 0;
    for (size_t bytes = 0; index < editor->charCount && bytes < offset; index++)
        bytes += editor->charBytes[index];
    return index;
}
