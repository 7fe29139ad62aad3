// Fuzz target: bytes as a terminal sends them, through the key decoder
// and the prompt: the line editor, the history, Ctrl-R and completion
// over a fixed set of users and a small directory kept in memory.
//
// The input's first byte chooses how the rest is cut into the bites that
// arrive together, and how long each waits after the one before: at once,
// within the escape delay, past it, or after a silence. After every key the
// line keeps its bounds, and a key that changed nothing left it as it was;
// once a bite, the whole line must be at most 2047 bytes with no control
// byte but the tab, valid UTF-8, with the cursor on a character boundary.
#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "fuzz/FuzzSupport.h"
#include "terminal/prompt/KeyDecoder.h"
#include "terminal/prompt/Prompt.h"

static Prompt s_prompt;
static KeyDecoder s_decoder;

// How long after the bite before each one arrives: at once, as a slow link
// splits a sequence within the escape delay and past it, and after a
// silence that ends a paste or a control string.
static const int64_t GAPS_MS[] = {1, 1, 1, 1, ESCAPE_DELAY_MS / 2, ESCAPE_DELAY_MS, INPUT_SILENCE_MS};

// True when the bytes decode whole in the locale's encoding.
static bool DecodesWhole(const char *bytes, size_t length)
{
    mbstate_t state = {};
    for (size_t at = 0; at < length;) {
        size_t count = mbrtowc(nullptr, bytes + at, length - at, &state);
        if (count == 0 || count > length - at)
            return false;
        at += count;
    }
    return true;
}

static void CheckLine(const LineEditor *editor)
{
    if (editor->length > MAX_COMMAND_LINE_BYTES || strlen(editor->bytes) != editor->length)
        FuzzFailure("the line is longer than its bytes or its bound");
    for (size_t i = 0; i < editor->length; i++) {
        unsigned char byte = static_cast<unsigned char>(editor->bytes[i]);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f)
            FuzzFailure("a control byte in the line");
    }
    if (editor->cursor > editor->charCount)
        FuzzFailure("the cursor is past the line");
    size_t offset = 0;
    for (size_t i = 0; i < editor->charCount; i++) {
        bool isAscii = editor->charBytes[i] == 1 && static_cast<unsigned char>(editor->bytes[offset]) < 0x80;
        if (editor->charBytes[i] == 0 || (!isAscii && !DecodesWhole(editor->bytes + offset, editor->charBytes[i])))
            FuzzFailure("a character of the line is not whole characters of the encoding");
        offset += editor->charBytes[i];
    }
    if (offset != editor->length)
        FuzzFailure("the characters do not add up to the line");
}

struct LineShape {
    size_t length, cursor, charCount;
};

static LineShape ShapeOf(const LineEditor *editor)
{
    return {editor->length, editor->cursor, editor->charCount};
}

// After each key, what costs little: a key that the prompt says changed
// nothing left the line as it was, and a changed line keeps its bounds.
// The whole line is checked once a bite, if a key changed it.
static bool CheckKey(PromptOutcome outcome, LineShape before)
{
    const LineEditor *editor = &s_prompt.editor;
    LineShape after = ShapeOf(editor);
    bool isUntouched = outcome == PROMPT_UNCHANGED || outcome == PROMPT_REFUSED;
    if (isUntouched && (after.length != before.length || after.cursor != before.cursor ||
                        after.charCount != before.charCount))
        FuzzFailure("a key that changed nothing changed the line");
    if (after.length > MAX_COMMAND_LINE_BYTES || after.cursor > after.charCount || after.charCount > after.length)
        FuzzFailure("the line is past its bounds");
    return !isUntouched;
}

// The suggestion is the rest of a line entered, after the whole line
// typed, with the cursor at its end.
static void CheckSuggestion()
{
    const char *suggestion = Prompt_Suggestion(&s_prompt);
    if (suggestion == nullptr)
        return;
    const LineEditor *editor = &s_prompt.editor;
    if (editor->cursor != editor->charCount || editor->length == 0 || *suggestion == '\0')
        FuzzFailure("a suggestion away from the line's end, or an empty one");
    std::string whole = std::string(editor->bytes) + suggestion;
    for (size_t age = 1; const char *line = History_Line(&s_prompt.history, age); age++) {
        if (whole == line)
            return;
    }
    FuzzFailure("a suggestion that no line entered ends with");
}

static void TakeKeys()
{
    bool isChanged = false;
    while (!s_decoder.keys.empty()) {
        CommandKey key = s_decoder.keys.front();
        s_decoder.keys.pop_front();
        LineShape before = ShapeOf(&s_prompt.editor);
        PromptOutcome outcome = Prompt_HandleKey(&s_prompt, key);
        isChanged = CheckKey(outcome, before) || isChanged;
        if (outcome == PROMPT_ENTERED || outcome == PROMPT_LEAVE) {
            CheckLine(&s_prompt.editor);
            Prompt_StartLine(&s_prompt);
            isChanged = false;
        }
        const char *match = Prompt_SearchMatch(&s_prompt);
        bool isFound = match != nullptr && !s_prompt.isSearchFailing;  // a failing search shows the last line found
        if (isFound && strstr(match, s_prompt.searchQuery.c_str()) == nullptr)
            FuzzFailure("the search shows a line without its query");
    }
    if (isChanged)
        CheckLine(&s_prompt.editor);
    CheckSuggestion();
}

// A small directory kept in memory for completion: names alike at their
// start, one not in ASCII, a directory and what is in it, a hidden file,
// and names with a tab and a byte that does not decode, which completion
// must never offer.
static const struct {
    const char *directory;
    const char *name;
} FILES[] = {
    {"", "notes.txt"}, {"", "notes-2.txt"}, {"", "n\xC3\xA9.txt"}, {"", "docs"}, {"", ".hidden"},
    {"", "tab\tname"}, {"", "bad\xff"},   {"docs/", "plan.txt"}, {"docs/", "pix.txt"},
};

static bool ListNames(const std::string &directory, const std::function<bool(const char *name)> &take)
{
    for (const auto &file : FILES) {
        if (directory == file.directory && !take(file.name))
            break;
    }
    return directory.empty() || directory == "docs/";
}

static bool IsDirectory(const std::string &path)
{
    return path == "docs";
}

static int64_t Stamp(const std::string &directory)
{
    return directory.empty() || directory == "docs/" ? 0 : -1;
}

// Every file of the directory is a small one.
static AdmissionForecast Forecast(const char *fileName)
{
    for (const auto &file : FILES) {
        if (std::string(file.directory) + file.name == fileName && !IsDirectory(fileName))
            return {PRINT_FILE_REGULAR, 100, true, 40, 2, Printer_SuppliesMessage(40, 2)};
    }
    return {IsDirectory(fileName) ? PRINT_FILE_DIRECTORY : PRINT_FILE_MISSING, 0, false, 0, 0,
            "request file fopen failed."};
}

static const PromptFiles MEMORY_FILES = {ListNames, IsDirectory, Stamp, Forecast};

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (setlocale(LC_ALL, "C.UTF-8") == nullptr)
        FuzzFailure("no C.UTF-8 locale");
    InitAdmin();
    for (const char *name : {"ann", "anna", "bob", "\xED\x95\x9C"})
        AddUser(name);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    Prompt_Init(&s_prompt, &MEMORY_FILES);
    KeyDecoder_Init(&s_decoder, 0x7f, 0x15);
    unsigned cut = data[0];
    int64_t nowMs = 0;
    for (size_t at = 1; at < size;) {
        cut = cut * 1103515245u + 12345u;
        size_t bite = std::min<size_t>(size - at, 1 + (cut >> 16) % 64);
        nowMs += GAPS_MS[(cut >> 8) % (sizeof GAPS_MS / sizeof GAPS_MS[0])];
        KeyDecoder_Flush(&s_decoder, nowMs - 1);  // the loop looked just before the bite came
        KeyDecoder_Feed(&s_decoder, reinterpret_cast<const char *>(data + at), bite, nowMs);
        KeyDecoder_Flush(&s_decoder, nowMs);
        TakeKeys();
        at += bite;
    }
    KeyDecoder_Flush(&s_decoder, nowMs + INPUT_SILENCE_MS);
    TakeKeys();
    if (!s_decoder.held.empty())
        FuzzFailure("bytes are held after every delay has passed");
    return 0;
}
