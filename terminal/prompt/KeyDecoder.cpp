#include "terminal/prompt/KeyDecoder.h"

#include <string_view>

constexpr unsigned char ESC = 0x1b;
constexpr unsigned char BEL = 0x07;
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
            decoder->pasteBytes = 0;
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

// The bytes after ESC that open a control string: OSC, DCS, APC, PM, SOS.
static bool IsControlStringIntroducer(unsigned char byte)
{
    return byte == ']' || byte == 'P' || byte == '_' || byte == '^' || byte == 'X';
}

// Drops the bytes of a control string up to its terminator: BEL (xterm's
// for OSC) or ST (ESC \). An ESC before anything else ends the string and
// begins a sequence of its own; past MAX_CONTROL_STRING_BYTES the string is
// taken as ended. The bytes taken: an ESC at the end waits for the next
// byte, unless `isFinal`.
static size_t SkipControlString(KeyDecoder *decoder, std::string_view in, bool isFinal)
{
    for (size_t at = 0; at < in.size(); at++) {
        unsigned char byte = static_cast<unsigned char>(in[at]);
        if (decoder->controlStringBytes >= MAX_CONTROL_STRING_BYTES) {
            decoder->isInControlString = false;
            return at;
        }
        if (byte == BEL) {
            decoder->isInControlString = false;
            return at + 1;
        }
        if (byte == ESC) {
            bool isLast = at + 1 == in.size();
            if (isLast && !isFinal)
                return at;
            decoder->isInControlString = false;
            if (isLast)
                return at + 1;  // the string's own ESC, its next byte never came
            return in[at + 1] == '\\' ? at + 2 : at;
        }
        decoder->controlStringBytes++;
    }
    return in.size();
}

// Esc and what follows it: a sequence, a control string, Alt and a key,
// or Escape alone.
static Decoded DecodeEscape(KeyDecoder *decoder, std::string_view in, bool isFinal)
{
    if (in.size() < 2)
        return isFinal ? Decoded{1, Key(KEY_ACTION_ESCAPE)} : Decoded{0, {}};
    unsigned char next = static_cast<unsigned char>(in[1]);
    if (IsControlStringIntroducer(next)) {
        decoder->isInControlString = true;
        decoder->controlStringBytes = 0;
        return {2, Key(KEY_ACTION_NONE)};
    }
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

// One key's bytes at the front of `in`. Inside a paste an escape sequence
// is no key: pasted text may hold one, and it must not move the cursor.
static Decoded DecodeOne(KeyDecoder *decoder, std::string_view in, bool isFinal)
{
    if (static_cast<unsigned char>(in[0]) != ESC)
        return DecodeCharacter(decoder, in, isFinal);
    bool wasPasting = decoder->isPasting;
    Decoded one = DecodeEscape(decoder, in, isFinal);
    if (wasPasting)
        one.key = Key(KEY_ACTION_NONE);
    return one;
}

// Counts pasted bytes; a paste past its bound has ended.
static void NotePasted(KeyDecoder *decoder, size_t count)
{
    if (!decoder->isPasting)
        return;
    decoder->pasteBytes += count;
    if (decoder->pasteBytes > MAX_PASTE_BYTES)
        decoder->isPasting = false;
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
        if (decoder->isInControlString) {
            size_t skipped = SkipControlString(decoder, rest, isFinal);
            if (skipped == 0 && decoder->isInControlString)
                break;  // its ESC waits for the next byte
            at += skipped;
            continue;
        }
        Decoded one = DecodeOne(decoder, rest, isFinal);
        if (one.length == 0) {
            if (rest.size() <= MAX_SEQUENCE_BYTES)
                break;
            decoder->isSkipping = true;
            return in.size();
        }
        if (one.key.action != KEY_ACTION_NONE)
            decoder->keys.push_back(one.key);
        NotePasted(decoder, one.length);
        at += one.length;
    }
    return at;
}

// A terminal that does not mark pastes sends pasted text as one burst;
// keys typed, even quickly or over a slow link, come a few at a time. So a
// tab is text only in a burst of more than a few printable characters with
// nothing in it but text, tabs and line ends, and only with a key behind
// it; any other tab is a Tab, and completes.
static void MakePastedTabsText(KeyDecoder *decoder, size_t firstKey)
{
    if (decoder->marksPastes)
        return;
    size_t printable = 0;
    for (size_t i = firstKey; i < decoder->keys.size(); i++) {
        KeyAction action = decoder->keys[i].action;
        if (action == KEY_ACTION_INSERT)
            printable++;
        else if (action != KEY_ACTION_COMPLETE && action != KEY_ACTION_ENTER)
            return;
    }
    if (printable <= PASTE_BURST_CHARACTERS)
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
    decoder->lastFedMs = 0;
    decoder->isSkipping = false;
    decoder->isInControlString = false;
    decoder->controlStringBytes = 0;
    decoder->isPasting = false;
    decoder->pasteBytes = 0;
    decoder->marksPastes = false;
    decoder->eraseByte = eraseByte;
    decoder->killByte = killByte;
}

void KeyDecoder_Feed(KeyDecoder *decoder, const char *bytes, size_t count, int64_t nowMs)
{
    if (nowMs - decoder->lastFedMs >= INPUT_SILENCE_MS) {  // a paste or string whose end never came
        decoder->isPasting = false;
        decoder->isInControlString = false;
    }
    decoder->lastFedMs = nowMs;
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

// How long held bytes wait for the rest. Inside a paste or a control
// string an ESC is never the Esc key, only the start of the end marker or
// of the terminator, so it waits as long as the paste or string does.
static int64_t HoldMs(const KeyDecoder *decoder)
{
    return decoder->isPasting || decoder->isInControlString ? INPUT_SILENCE_MS : ESCAPE_DELAY_MS;
}

void KeyDecoder_Flush(KeyDecoder *decoder, int64_t nowMs)
{
    if (decoder->held.empty() || nowMs - decoder->heldSinceMs < HoldMs(decoder))
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
    int64_t left = decoder->heldSinceMs + HoldMs(decoder) - nowMs;
    return left > 0 ? static_cast<int>(left) : 0;
}
