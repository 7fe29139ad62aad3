#include "terminal/KeyDecoder.h"

#include <string_view>

constexpr unsigned char ESC = 0x1b;
constexpr int PASTE_START = 200;  // ESC [ 200 ~ and ESC [ 201 ~ bracket a paste
constexpr int PASTE_END = 201;

// One key's bytes at the front of the input.
struct Decoded {
    size_t length;   // bytes taken; 0 when the input ends before the key does
    CommandKey key;  // KEY_ACTION_NONE: the bytes are taken without a key
};

// Control characters the prompt uses, after the terminal's own erase and
// kill characters; every other one is ignored.
static const struct {
    unsigned char byte;
    KeyAction action;
} CONTROL_KEYS[] = {
    {'\n', KEY_ACTION_ENTER},         {'\r', KEY_ACTION_ENTER},       {0x7f, KEY_ACTION_ERASE},
    {'\b', KEY_ACTION_ERASE},         {0x15, KEY_ACTION_KILL},        {0x17, KEY_ACTION_ERASE_WORD},
    {0x0b, KEY_ACTION_KILL_TO_END},   {0x01, KEY_ACTION_HOME},        {0x05, KEY_ACTION_END},
    {0x02, KEY_ACTION_LEFT},          {0x06, KEY_ACTION_RIGHT},       {0x10, KEY_ACTION_OLDER},
    {0x0e, KEY_ACTION_NEWER},         {'\t', KEY_ACTION_COMPLETE},    {0x0c, KEY_ACTION_REDRAW},
    {0x04, KEY_ACTION_END_OF_INPUT},  {0x12, KEY_ACTION_SEARCH},      {0x07, KEY_ACTION_CANCEL},
    {0x19, KEY_ACTION_YANK},
};

// Alt and a key, sent as Esc and the key.
static const struct {
    unsigned char byte;
    KeyAction action;
} ALT_KEYS[] = {
    {'b', KEY_ACTION_WORD_LEFT},        {'B', KEY_ACTION_WORD_LEFT},      {'f', KEY_ACTION_WORD_RIGHT},
    {'F', KEY_ACTION_WORD_RIGHT},       {'d', KEY_ACTION_KILL_WORD_AFTER}, {'D', KEY_ACTION_KILL_WORD_AFTER},
    {0x7f, KEY_ACTION_KILL_WORD_BEFORE}, {'\b', KEY_ACTION_KILL_WORD_BEFORE},
};

// Keys named by the final byte of ESC [ or ESC O: the xterm and
// application-mode forms. Ctrl or Alt on Left and Right moves by words.
static const struct {
    char final;
    KeyAction action;
    KeyAction modified;
} LETTER_KEYS[] = {
    {'A', KEY_ACTION_OLDER, KEY_ACTION_OLDER}, {'B', KEY_ACTION_NEWER, KEY_ACTION_NEWER},
    {'C', KEY_ACTION_RIGHT, KEY_ACTION_WORD_RIGHT}, {'D', KEY_ACTION_LEFT, KEY_ACTION_WORD_LEFT},
    {'H', KEY_ACTION_HOME, KEY_ACTION_HOME}, {'F', KEY_ACTION_END, KEY_ACTION_END},
    {'P', KEY_ACTION_HELP, KEY_ACTION_HELP},
};

// Keys that only ESC O names: rxvt's Ctrl-Right and Ctrl-Left, the keypad's
// Enter; the keypad's other keys in application mode are their characters.
static const struct {
    char final;
    KeyAction action;
    wchar_t character;
} SS3_KEYS[] = {
    {'c', KEY_ACTION_WORD_RIGHT, 0}, {'d', KEY_ACTION_WORD_LEFT, 0}, {'M', KEY_ACTION_ENTER, 0},
    {'j', KEY_ACTION_INSERT, L'*'},  {'k', KEY_ACTION_INSERT, L'+'}, {'l', KEY_ACTION_INSERT, L','},
    {'m', KEY_ACTION_INSERT, L'-'},  {'n', KEY_ACTION_INSERT, L'.'}, {'o', KEY_ACTION_INSERT, L'/'},
    {'X', KEY_ACTION_INSERT, L'='},
};

// Keys named by the number of ESC [ n ~ (VT220, PuTTY; rxvt ends them with
// ^, $ or @ for Ctrl and Shift). F2 to F12, Insert and the page keys are
// known and do nothing.
static const struct {
    int number;
    KeyAction action;
} NUMBERED_KEYS[] = {
    {1, KEY_ACTION_HOME}, {3, KEY_ACTION_DELETE}, {4, KEY_ACTION_END},
    {7, KEY_ACTION_HOME}, {8, KEY_ACTION_END},    {11, KEY_ACTION_HELP},
};

// A sequence's parameters: the first two numbers; a private marker ('<',
// '=', '>', '?') makes the sequence a report no key sends.
struct Parameters {
    int first;       // 0 when absent
    int second;      // 0 when absent
    bool isPrivate;
};

static Parameters ReadParameters(std::string_view text)
{
    Parameters parameters = {0, 0, !text.empty() && text[0] >= '<' && text[0] <= '?'};
    int *number = &parameters.first;
    for (char c : text) {
        if (c == ';' && number == &parameters.first) {
            number = &parameters.second;
        } else if (c >= '0' && c <= '9' && *number < 100000) {
            *number = *number * 10 + (c - '0');
        }
    }
    return parameters;
}

// True when an xterm modifier parameter holds Alt or Ctrl.
static bool IsWordModifier(int modifier)
{
    return modifier > 1 && ((modifier - 1) & 6) != 0;
}

static CommandKey Key(KeyAction action)
{
    return {action, 0};
}

// The key of a whole sequence: its introducer ('[' or 'O'), its parameter
// bytes and its final byte. Alt before it (Esc Esc [ ...) as Ctrl does.
static CommandKey SequenceKey(KeyDecoder *decoder, char introducer, std::string_view parameterText, char final,
                              bool isAlt)
{
    Parameters parameters = ReadParameters(parameterText);
    if (parameters.isPrivate)
        return Key(KEY_ACTION_IGNORE);
    bool isNumbered = introducer == '[' && (final == '~' || final == '^' || final == '$' || final == '@');
    if (isNumbered) {
        if (parameters.first == PASTE_START || parameters.first == PASTE_END) {
            decoder->isPasting = parameters.first == PASTE_START;
            decoder->marksPastes = true;
            return Key(KEY_ACTION_NONE);
        }
        for (const auto &row : NUMBERED_KEYS) {
            if (row.number == parameters.first)
                return Key(row.action);
        }
        return Key(KEY_ACTION_IGNORE);
    }
    int modifier = parameters.second != 0 ? parameters.second : parameters.first;
    bool isModified = isAlt || IsWordModifier(modifier);
    for (const auto &row : LETTER_KEYS) {
        if (row.final == final)
            return Key(isModified ? row.modified : row.action);
    }
    if (introducer == 'O') {
        for (const auto &row : SS3_KEYS) {
            if (row.final == final)
                return {row.action, row.character};
        }
        if (final >= 'p' && final <= 'y')  // the keypad's digits
            return {KEY_ACTION_INSERT, static_cast<wchar_t>(L'0' + (final - 'p'))};
    }
    return Key(KEY_ACTION_IGNORE);
}

static bool IsParameterByte(unsigned char c)
{
    return c >= 0x30 && c <= 0x3f;
}

static bool IsIntermediateByte(unsigned char c)
{
    return c >= 0x20 && c <= 0x2f && c != '$';
}

// rxvt ends Shift-modified keys with '$', an intermediate byte by shape;
// no key sends '$' as an intermediate, so it ends a sequence here.
static bool IsFinalByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7e) || c == '$';
}

// A sequence whose introducer stands at in[1] (in[0] being the Esc, or the
// second Esc of an Alt): parameters, intermediates and final byte, or for
// the Linux console's F1 to F5 ESC [ [ and a letter. A byte of no place in
// the shape ends the sequence before it, without a key.
static Decoded DecodeSequence(KeyDecoder *decoder, std::string_view in, size_t introducerAt, bool isAlt)
{
    char introducer = in[introducerAt];
    size_t at = introducerAt + 1;
    if (introducer == '[' && at < in.size() && in[at] == '[') {
        if (at + 1 >= in.size())
            return {0, {}};
        return {at + 2, Key(in[at + 1] == 'A' ? KEY_ACTION_HELP : KEY_ACTION_IGNORE)};
    }
    size_t parametersAt = at;
    while (at < in.size() && IsParameterByte(in[at]))
        at++;
    size_t parametersEnd = at;
    while (at < in.size() && IsIntermediateByte(in[at]))
        at++;
    if (at >= in.size())
        return {0, {}};
    if (!IsFinalByte(in[at]))
        return {at, Key(KEY_ACTION_IGNORE)};
    std::string_view parameters = in.substr(parametersAt, parametersEnd - parametersAt);
    return {at + 1, SequenceKey(decoder, introducer, parameters, in[at], isAlt)};
}

// An ASCII byte's key. Inside a paste every control character but the tab
// and the line ends is dropped, and the tab is text.
static CommandKey ByteKey(const KeyDecoder *decoder, unsigned char byte)
{
    if (byte >= 0x20 && byte < 0x7f)
        return {KEY_ACTION_INSERT, static_cast<wchar_t>(byte)};
    if (decoder->isPasting) {
        if (byte == '\t')
            return {KEY_ACTION_INSERT, L'\t'};
        return Key(byte == '\n' || byte == '\r' ? KEY_ACTION_ENTER : KEY_ACTION_IGNORE);
    }
    if (byte != 0 && byte == decoder->eraseByte)
        return Key(KEY_ACTION_ERASE);
    if (byte != 0 && byte == decoder->killByte)
        return Key(KEY_ACTION_KILL);
    for (const auto &row : CONTROL_KEYS) {
        if (row.byte == byte)
            return Key(row.action);
    }
    return Key(KEY_ACTION_IGNORE);
}

// A character that is not an escape sequence, in the locale's encoding. A
// byte that cannot begin one is refused alone, and the next byte starts
// afresh.
static Decoded DecodeCharacter(const KeyDecoder *decoder, std::string_view in, bool isFinal)
{
    unsigned char first = static_cast<unsigned char>(in[0]);
    if (first < 0x80)
        return {1, ByteKey(decoder, first)};
    wchar_t character;
    mbstate_t state = {};
    size_t count = mbrtowc(&character, in.data(), in.size(), &state);
    if (count == static_cast<size_t>(-2))
        return isFinal ? Decoded{1, Key(KEY_ACTION_REFUSED)} : Decoded{0, {}};
    if (count == static_cast<size_t>(-1) || count == 0)
        return {1, Key(KEY_ACTION_REFUSED)};
    bool isControl = character < L'\xa0';  // C1 controls
    return {count, isControl ? Key(KEY_ACTION_IGNORE) : CommandKey{KEY_ACTION_INSERT, character}};
}

// Esc and what follows it: a sequence, Alt and a key, or Escape alone.
static Decoded DecodeEscape(KeyDecoder *decoder, std::string_view in, bool isFinal)
{
    if (in.size() < 2)
        return isFinal ? Decoded{1, Key(KEY_ACTION_ESCAPE)} : Decoded{0, {}};
    unsigned char next = static_cast<unsigned char>(in[1]);
    if (next == '[' || next == 'O') {
        Decoded sequence = DecodeSequence(decoder, in, 1, false);
        if (sequence.length == 0 && isFinal)
            return {in.size(), Key(KEY_ACTION_IGNORE)};
        return sequence;
    }
    if (next == ESC) {
        bool isAltSequence = in.size() > 2 && (in[2] == '[' || in[2] == 'O');
        if (!isAltSequence)
            return in.size() == 2 && !isFinal ? Decoded{0, {}} : Decoded{1, Key(KEY_ACTION_ESCAPE)};
        Decoded sequence = DecodeSequence(decoder, in, 2, true);
        if (sequence.length == 0 && isFinal)
            return {in.size(), Key(KEY_ACTION_IGNORE)};
        return sequence;
    }
    Decoded character = DecodeCharacter(decoder, in.substr(1), isFinal);
    if (character.length == 0)
        return {0, {}};
    for (const auto &row : ALT_KEYS) {
        if (row.byte == next || (next != 0 && next == decoder->eraseByte && row.action == KEY_ACTION_KILL_WORD_BEFORE))
            return {1 + character.length, Key(row.action)};
    }
    return {1 + character.length, Key(KEY_ACTION_IGNORE)};
}

// Drops the bytes of an over-long sequence up to its final byte; true
// while they last.
static bool SkipOverlongSequence(KeyDecoder *decoder, unsigned char byte)
{
    if (byte >= 0x20 && byte <= 0x3f)
        return true;
    decoder->isSkipping = false;
    return IsFinalByte(byte);
}

// Decodes as much of `in` as makes whole keys; the bytes taken. With
// `isFinal` nothing more will come, so everything is taken.
static size_t DecodeKeys(KeyDecoder *decoder, std::string_view in, bool isFinal)
{
    size_t at = 0;
    while (at < in.size()) {
        if (decoder->isSkipping && SkipOverlongSequence(decoder, static_cast<unsigned char>(in[at]))) {
            at++;
            continue;
        }
        std::string_view rest = in.substr(at);
        Decoded one = static_cast<unsigned char>(rest[0]) == ESC ? DecodeEscape(decoder, rest, isFinal)
                                                                 : DecodeCharacter(decoder, rest, isFinal);
        if (one.length == 0) {
            if (rest.size() <= MAX_SEQUENCE_BYTES)
                break;
            decoder->isSkipping = true;
            return in.size();
        }
        if (one.key.action != KEY_ACTION_NONE)
            decoder->keys.push_back(one.key);
        at += one.length;
    }
    return at;
}

// A terminal that does not mark pastes sends a pasted tab with the text
// after it; a Tab typed twice quickly may arrive as two tabs alone.
static void MakePastedTabsText(KeyDecoder *decoder, size_t firstKey)
{
    if (decoder->marksPastes)
        return;
    bool isOnlyTabs = true;
    for (size_t i = firstKey; i < decoder->keys.size(); i++)
        isOnlyTabs = isOnlyTabs && decoder->keys[i].action == KEY_ACTION_COMPLETE;
    if (isOnlyTabs)
        return;
    for (size_t i = firstKey; i + 1 < decoder->keys.size(); i++) {
        if (decoder->keys[i].action == KEY_ACTION_COMPLETE)
            decoder->keys[i] = {KEY_ACTION_INSERT, L'\t'};
    }
}

void KeyDecoder_Init(KeyDecoder *decoder, unsigned char eraseByte, unsigned char killByte)
{
    decoder->keys.clear();
    decoder->held.clear();
    decoder->heldSinceMs = 0;
    decoder->isSkipping = false;
    decoder->isPasting = false;
    decoder->marksPastes = false;
    decoder->eraseByte = eraseByte;
    decoder->killByte = killByte;
}

void KeyDecoder_Feed(KeyDecoder *decoder, const char *bytes, size_t count, int64_t nowMs)
{
    std::string input = std::move(decoder->held);
    input.append(bytes, count);
    decoder->held.clear();
    size_t firstKey = decoder->keys.size();
    size_t taken = DecodeKeys(decoder, input, false);
    if (taken < input.size()) {
        decoder->held = input.substr(taken);
        decoder->heldSinceMs = nowMs;
    }
    MakePastedTabsText(decoder, firstKey);
}

void KeyDecoder_Flush(KeyDecoder *decoder, int64_t nowMs)
{
    if (decoder->held.empty() || nowMs - decoder->heldSinceMs < ESCAPE_DELAY_MS)
        return;
    std::string input = std::move(decoder->held);
    decoder->held.clear();
    DecodeKeys(decoder, input, true);
}

int KeyDecoder_WaitMs(const KeyDecoder *decoder, int64_t nowMs)
{
    if (!decoder->keys.empty())
        return 0;
    if (decoder->held.empty())
        return -1;
    int64_t left = decoder->heldSinceMs + ESCAPE_DELAY_MS - nowMs;
    return left > 0 ? static_cast<int>(left) : 0;
}
