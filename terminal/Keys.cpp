// Key decoding: what each key typed at the prompt does, and the look for
// Esc during a long measuring that leaves every other key in its place.
#include "terminal/display.h"

#include <termios.h>
#include <unistd.h>

#include "terminal/DisplayParts.h"

constexpr int HELD_KEYS_MAX = 32;  // keys looked at behind the Esc; curses pushes back about 130 bytes

static WINDOW *s_keyWindow;            // never drawn, so reading keys never refreshes anything
static wchar_t s_eraseKey, s_killKey;  // the terminal's own editing keys

void ReadEditingKeys()
{
    wchar_t key;
    s_eraseKey = erasewchar(&key) == OK ? key : L'\x7f';
    s_killKey = killwchar(&key) == OK ? key : L'\x15';
}

void UseEditingKeysOf(const struct termios &modes)
{
    if (modes.c_cc[VERASE] != _POSIX_VDISABLE)
        s_eraseKey = modes.c_cc[VERASE];
    if (modes.c_cc[VKILL] != _POSIX_VDISABLE)
        s_killKey = modes.c_cc[VKILL];
}

void OpenKeyWindow()
{
    s_keyWindow = newwin(1, 1, 0, 0);
    keypad(s_keyWindow, TRUE);
    nodelay(s_keyWindow, TRUE);
    wnoutrefresh(s_keyWindow);
}

void ForgetKeyWindow()
{
    s_keyWindow = nullptr;
}

// Function keys the prompt uses; every other one is ignored. Terminals send
// Home and End as the keys that some descriptions call Find and Select.
static const struct {
    int key;
    KeyAction action;
} FUNCTION_KEYS[] = {
    {KEY_BACKSPACE, KEY_ACTION_ERASE}, {KEY_DC, KEY_ACTION_DELETE},   {KEY_ENTER, KEY_ACTION_ENTER},
    {KEY_LEFT, KEY_ACTION_LEFT},       {KEY_RIGHT, KEY_ACTION_RIGHT}, {KEY_HOME, KEY_ACTION_HOME},
    {KEY_FIND, KEY_ACTION_HOME},       {KEY_END, KEY_ACTION_END},     {KEY_SELECT, KEY_ACTION_END},
    {KEY_UP, KEY_ACTION_OLDER},        {KEY_DOWN, KEY_ACTION_NEWER},  {KEY_F(1), KEY_ACTION_HELP},
};

// Control characters the prompt uses, after the terminal's own erase and
// kill keys; every other one is ignored.
static const struct {
    wchar_t key;
    KeyAction action;
} CONTROL_KEYS[] = {
    {L'\n', KEY_ACTION_ENTER},        {L'\r', KEY_ACTION_ENTER},       {L'\x7f', KEY_ACTION_ERASE},
    {L'\b', KEY_ACTION_ERASE},        {L'\x15', KEY_ACTION_KILL},      {L'\x17', KEY_ACTION_ERASE_WORD},
    {L'\x0b', KEY_ACTION_KILL_TO_END}, {L'\x01', KEY_ACTION_HOME},      {L'\x05', KEY_ACTION_END},
    {L'\x02', KEY_ACTION_LEFT},       {L'\x06', KEY_ACTION_RIGHT},     {L'\x10', KEY_ACTION_OLDER},
    {L'\x0e', KEY_ACTION_NEWER},      {L'\t', KEY_ACTION_COMPLETE},    {L'\x0c', KEY_ACTION_REDRAW},
    {L'\x04', KEY_ACTION_END_OF_INPUT}, {L'\x1b', KEY_ACTION_ESCAPE},
};

static CommandKey ClassifyFunctionKey(wint_t key)
{
    for (const auto &row : FUNCTION_KEYS) {
        if (static_cast<wint_t>(row.key) == key)
            return {row.action, 0};
    }
    return {KEY_ACTION_IGNORE, 0};
}

static CommandKey ClassifyCharacter(wchar_t key)
{
    if (key == s_eraseKey)
        return {KEY_ACTION_ERASE, 0};
    if (key == s_killKey)
        return {KEY_ACTION_KILL, 0};
    for (const auto &row : CONTROL_KEYS) {
        if (row.key == key)
            return {row.action, 0};
    }
    bool isControl = key < L' ' || (key >= L'\x7f' && key < L'\xa0');
    if (isControl)
        return {KEY_ACTION_IGNORE, 0};
    return {KEY_ACTION_INSERT, key};
}

// True when another key has arrived already; it stays to be read.
static bool IsKeyPending()
{
    wint_t next;
    int status = wget_wch(s_keyWindow, &next);
    if (status == ERR)
        return false;
    if (status == KEY_CODE_YES)
        ungetch(static_cast<int>(next));
    else
        unget_wch(static_cast<wchar_t>(next));
    return true;
}

CommandKey ReadCommandKey()
{
    wint_t key;
    int status = wget_wch(s_keyWindow, &key);
    if (status == ERR)
        return {KEY_ACTION_NONE, 0};
    if (status == KEY_CODE_YES)
        return ClassifyFunctionKey(key);
    CommandKey command = ClassifyCharacter(static_cast<wchar_t>(key));
    // An Esc that came with a key behind it (curses waited for that key) is
    // Alt and that key: both are ignored.
    wint_t next;
    if (command.action == KEY_ACTION_ESCAPE && wget_wch(s_keyWindow, &next) != ERR)
        return {KEY_ACTION_IGNORE, 0};
    // A tab with more keys right behind it was pasted, not pressed: it is
    // part of the text.
    if (command.action == KEY_ACTION_COMPLETE && IsKeyPending())
        return {KEY_ACTION_INSERT, L'\t'};
    return command;
}

// Reads the keys typed so far and pushes them back, last first, so they
// come again in their order. Keys past HELD_KEYS_MAX stay unread behind
// them; an Esc among those is seen once the earlier keys are read.
bool TakeEscapeKey()
{
    wint_t keys[HELD_KEYS_MAX];
    bool isFunctionKey[HELD_KEYS_MAX];
    int count = 0;
    bool isEscape = false;
    while (count < HELD_KEYS_MAX && !isEscape) {
        wint_t key;
        int status = wget_wch(s_keyWindow, &key);
        if (status == ERR)
            break;
        isEscape = status == OK && key == L'\x1b';
        if (!isEscape) {
            keys[count] = key;
            isFunctionKey[count++] = status == KEY_CODE_YES;
        }
    }
    while (count-- > 0) {
        if (isFunctionKey[count])
            ungetch(static_cast<int>(keys[count]));
        else
            unget_wch(static_cast<wchar_t>(keys[count]));
    }
    return isEscape;
}
