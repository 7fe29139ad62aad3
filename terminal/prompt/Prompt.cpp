#include "terminal/prompt/Prompt.h"

#include <climits>
#include <cstring>

#include "common/Text.h"
#include "engine/Printer.h"
#include "terminal/prompt/PromptWords.h"

constexpr size_t MAX_SEARCH_BYTES = 256;  // a longer query is refused

// The prompt's own outcome of an entered line, or PROMPT_ENTERED for a
// command.
static PromptOutcome ClassifyEnteredLine(const char *line)
{
    const PromptWord *word = FindPromptWord(line);
    if (word == nullptr)
        return PROMPT_ENTERED;
    return word->isLeave ? PROMPT_LEAVE : PROMPT_OPEN_HELP;
}

void Prompt_Init(Prompt *prompt, const PromptFiles *files)
{
    prompt->files = files;
    History_Clear(&prompt->history);
    prompt->isHelpOpen = false;
    prompt->killed.clear();
    prompt->isLeaveAsked = false;
    prompt->unfinishedJobs = 0;
    Prompt_StartLine(prompt);
}

void Prompt_StartLine(Prompt *prompt)
{
    LineEditor_Clear(&prompt->editor);
    prompt->historyAge = 0;
    prompt->draft.clear();
    prompt->candidates.clear();
    prompt->candidateCount = 0;
    prompt->isCandidateListCut = false;
    prompt->isListPending = false;
    prompt->isSearching = false;
    prompt->searchQuery.clear();
    prompt->searchAge = 0;
    prompt->isSearchFailing = false;
}

static PromptOutcome FromEdit(EditResult result)
{
    switch (result) {
    case EDIT_CHANGED: return PROMPT_CHANGED;
    case EDIT_REFUSED: return PROMPT_REFUSED;
    case EDIT_UNCHANGED: break;
    }
    return PROMPT_UNCHANGED;
}

// Shows the line `step` places older (negative: newer) in the history. The
// line being typed is kept aside while another is shown; a recalled line's
// edits are dropped when the walk goes on.
static PromptOutcome WalkHistory(Prompt *prompt, int step)
{
    size_t age = prompt->historyAge + step;
    if (step < 0 ? prompt->historyAge == 0 : History_Line(&prompt->history, age) == nullptr)
        return PROMPT_REFUSED;
    if (prompt->historyAge == 0)
        prompt->draft = prompt->editor.bytes;
    prompt->historyAge = age;
    const char *text = age == 0 ? prompt->draft.c_str() : History_Line(&prompt->history, age);
    LineEditor_SetText(&prompt->editor, text);
    return PROMPT_CHANGED;
}

// Tab: one candidate is completed; several complete to what they all
// share, and a second Tab lists them; none beeps. When the directory was
// too large to look at whole, nothing is completed: what is missing might
// not share it.
static PromptOutcome Complete(Prompt *prompt, bool isSecondTab)
{
    LineEditor *editor = &prompt->editor;
    if (isSecondTab) {
        prompt->isListPending = true;
        return PROMPT_LIST_CANDIDATES;
    }
    size_t cursor = LineEditor_ByteOffset(editor, editor->cursor);
    Completion completion = FindCompletions(editor->bytes, cursor, prompt->files);
    if (completion.candidates.empty())
        return PROMPT_REFUSED;
    size_t first = LineEditor_CharacterAt(editor, completion.wordStart);
    if (completion.matchCount == 1 && !completion.isCut) {
        const CompletionCandidate &only = completion.candidates.front();
        std::string text = only.isWord ? only.text + " " : only.text;
        return FromEdit(LineEditor_ReplaceBeforeCursor(editor, first, text.c_str()));
    }
    prompt->candidates = completion.candidates;
    prompt->candidateCount = completion.matchCount;
    prompt->isCandidateListCut = completion.isCut;
    prompt->isListPending = true;
    if (completion.isCut || completion.common.size() <= cursor - completion.wordStart)
        return PROMPT_REFUSED;
    return FromEdit(LineEditor_ReplaceBeforeCursor(editor, first, completion.common.c_str()));
}

// A line that asks to leave. While jobs are unfinished it only asks, and
// the very next line leaves if it asks again.
static PromptOutcome AskToLeave(Prompt *prompt)
{
    int unfinished = Printer_UnfinishedJobs();
    if (unfinished == 0 || prompt->isLeaveAsked)
        return PROMPT_LEAVE;
    prompt->isLeaveAsked = true;
    prompt->unfinishedJobs = unfinished;
    Prompt_StartLine(prompt);
    return PROMPT_CONFIRM_LEAVE;
}

// Enter: a command line, or a line the prompt takes for itself. Every line
// goes into the history.
static PromptOutcome EnterLine(Prompt *prompt)
{
    History_Add(&prompt->history, prompt->editor.bytes);
    PromptOutcome outcome = ClassifyEnteredLine(prompt->editor.bytes);
    if (outcome == PROMPT_LEAVE)
        return AskToLeave(prompt);
    prompt->isLeaveAsked = false;
    if (outcome == PROMPT_OPEN_HELP) {
        Prompt_StartLine(prompt);
        prompt->isHelpOpen = true;
    }
    return outcome;
}

static PromptOutcome OpenHelp(Prompt *prompt)
{
    prompt->isHelpOpen = true;
    return PROMPT_OPEN_HELP;
}

// ^D: on an empty line it asks to leave, as a line would; otherwise it
// deletes under the cursor.
static PromptOutcome EndOfInput(Prompt *prompt)
{
    if (prompt->editor.charCount != 0)
        return FromEdit(LineEditor_Delete(&prompt->editor));
    return AskToLeave(prompt);
}

// ^Y: the text killed last goes in at the cursor.
static PromptOutcome Yank(Prompt *prompt)
{
    if (prompt->killed.empty())
        return PROMPT_UNCHANGED;
    return FromEdit(LineEditor_InsertText(&prompt->editor, prompt->killed.c_str()));
}

// ---------------------------------------------------------------- search

const char *Prompt_SearchMatch(const Prompt *prompt)
{
    return prompt->searchAge == 0 ? nullptr : History_Line(&prompt->history, prompt->searchAge);
}

// The newest history line from `age` on that holds query; 0 for none.
static size_t FindMatch(const Prompt *prompt, const std::string &query, size_t age)
{
    for (const char *line; (line = History_Line(&prompt->history, age)) != nullptr; age++) {
        if (strstr(line, query.c_str()) != nullptr)
            return age;
    }
    return 0;
}

// Looks for query from history line `age` on. When no line holds it the
// search fails, as readline's does: the query keeps what was typed, and the
// line found last stays until the query is found again.
static PromptOutcome SearchFor(Prompt *prompt, const std::string &query, size_t age)
{
    size_t found = query.empty() ? 0 : FindMatch(prompt, query, age);
    prompt->searchQuery = query;
    prompt->isSearchFailing = found == 0 && !query.empty();
    if (!prompt->isSearchFailing)
        prompt->searchAge = found;
    return PROMPT_CHANGED;
}

// The query without its last character.
static std::string WithoutLastCharacter(const std::string &text)
{
    mbstate_t state = {};
    size_t last = 0;
    for (size_t at = 0; at < text.size();) {
        size_t count = mbrtowc(nullptr, text.data() + at, text.size() - at, &state);
        if (count == 0 || count > text.size() - at)
            count = 1;
        last = at;
        at += count;
    }
    return text.substr(0, last);
}

static PromptOutcome ExtendSearch(Prompt *prompt, wchar_t character)
{
    char encoded[MB_LEN_MAX];
    mbstate_t state = {};
    size_t count = wcrtomb(encoded, character, &state);
    if (count == static_cast<size_t>(-1) || prompt->searchQuery.size() + count > MAX_SEARCH_BYTES)
        return PROMPT_REFUSED;
    size_t from = prompt->searchAge == 0 ? 1 : prompt->searchAge;
    return SearchFor(prompt, prompt->searchQuery + std::string(encoded, count), from);
}

// Leaves the search. With `keepsMatch`, the line found becomes the line
// being typed; otherwise the line stays as it was before the search.
static void EndSearch(Prompt *prompt, bool keepsMatch)
{
    const char *match = Prompt_SearchMatch(prompt);
    if (keepsMatch && match != nullptr && LineEditor_SetText(&prompt->editor, match) == EDIT_CHANGED) {
        prompt->historyAge = 0;
        prompt->draft.clear();
    }
    prompt->isSearching = false;
    prompt->searchQuery.clear();
    prompt->searchAge = 0;
    prompt->isSearchFailing = false;
}

static PromptOutcome StartSearch(Prompt *prompt)
{
    prompt->isSearching = true;
    prompt->searchQuery.clear();
    prompt->searchAge = 0;
    prompt->isSearchFailing = false;
    return PROMPT_CHANGED;
}

const char *Prompt_Suggestion(const Prompt *prompt)
{
    const LineEditor *editor = &prompt->editor;
    if (prompt->isSearching || prompt->isListPending || editor->length == 0 || editor->cursor != editor->charCount)
        return nullptr;
    for (size_t age = 1; const char *line = History_Line(&prompt->history, age); age++) {
        if (strncmp(line, editor->bytes, editor->length) == 0 && line[editor->length] != '\0')
            return line + editor->length;
    }
    return nullptr;
}

// Takes the suggestion: whole, or up to the end of its next word, as Alt-F
// would move over it once it were typed.
static PromptOutcome TakeSuggestion(Prompt *prompt, const char *suggestion, bool isWordOnly)
{
    LineEditor whole = prompt->editor;
    size_t end = whole.cursor;
    if (LineEditor_InsertText(&whole, suggestion) != EDIT_CHANGED)
        return PROMPT_REFUSED;
    if (isWordOnly) {
        whole.cursor = end;
        LineEditor_MoveWordRight(&whole);
        std::string rest;
        LineEditor_KillToEnd(&whole, &rest);
    }
    prompt->editor = whole;
    return PROMPT_CHANGED;
}

static PromptOutcome HandleLineKey(Prompt *prompt, CommandKey key, bool isSecondTab);

// While searching: characters and erase change the query, ^R finds an
// older line, Enter runs the line found, Esc and ^G go back to the line as
// it was. Any other key takes the line found and then acts on it.
static PromptOutcome HandleSearchKey(Prompt *prompt, CommandKey key)
{
    switch (key.action) {
    case KEY_ACTION_INSERT: return ExtendSearch(prompt, key.character);
    case KEY_ACTION_ERASE:
        if (prompt->searchQuery.empty())
            return PROMPT_UNCHANGED;
        return SearchFor(prompt, WithoutLastCharacter(prompt->searchQuery), 1);
    case KEY_ACTION_SEARCH:
        if (prompt->searchAge == 0)
            return PROMPT_REFUSED;
        return SearchFor(prompt, prompt->searchQuery, prompt->searchAge + 1);
    case KEY_ACTION_ESCAPE:
    case KEY_ACTION_CANCEL: EndSearch(prompt, false); return PROMPT_CHANGED;
    case KEY_ACTION_REFUSED: return PROMPT_REFUSED;
    case KEY_ACTION_IGNORE:
    case KEY_ACTION_NONE: return PROMPT_UNCHANGED;
    default: break;
    }
    EndSearch(prompt, true);
    PromptOutcome outcome = HandleLineKey(prompt, key, false);
    // The line found was taken, so it is drawn even when the key did nothing.
    return outcome == PROMPT_UNCHANGED || outcome == PROMPT_REFUSED ? PROMPT_CHANGED : outcome;
}

// ---------------------------------------------------------------- keys

// While the help view is open, only the keys that close it do anything.
static PromptOutcome HandleHelpKey(Prompt *prompt, CommandKey key)
{
    bool isClosing = key.action == KEY_ACTION_ESCAPE || key.action == KEY_ACTION_HELP ||
                     key.action == KEY_ACTION_ENTER || (key.action == KEY_ACTION_INSERT && key.character == L'q');
    if (!isClosing)
        return PROMPT_UNCHANGED;
    prompt->isHelpOpen = false;
    return PROMPT_CLOSE_HELP;
}

static PromptOutcome HandleLineKey(Prompt *prompt, CommandKey key, bool isSecondTab)
{
    LineEditor *editor = &prompt->editor;
    std::string *killed = &prompt->killed;
    switch (key.action) {
    case KEY_ACTION_INSERT: return FromEdit(LineEditor_Insert(editor, key.character));
    case KEY_ACTION_ERASE: return FromEdit(LineEditor_Erase(editor));
    case KEY_ACTION_DELETE: return FromEdit(LineEditor_Delete(editor));
    case KEY_ACTION_ERASE_WORD: return FromEdit(LineEditor_EraseWord(editor, killed));
    case KEY_ACTION_KILL: return FromEdit(LineEditor_Kill(editor, killed));
    case KEY_ACTION_KILL_TO_END: return FromEdit(LineEditor_KillToEnd(editor, killed));
    case KEY_ACTION_KILL_WORD_BEFORE: return FromEdit(LineEditor_KillWordBefore(editor, killed));
    case KEY_ACTION_KILL_WORD_AFTER: return FromEdit(LineEditor_KillWordAfter(editor, killed));
    case KEY_ACTION_YANK: return Yank(prompt);
    case KEY_ACTION_LEFT: return FromEdit(LineEditor_MoveLeft(editor));
    case KEY_ACTION_RIGHT:
        if (const char *suggestion = Prompt_Suggestion(prompt))
            return TakeSuggestion(prompt, suggestion, false);
        return FromEdit(LineEditor_MoveRight(editor));
    case KEY_ACTION_WORD_LEFT: return FromEdit(LineEditor_MoveWordLeft(editor));
    case KEY_ACTION_WORD_RIGHT:
        if (const char *suggestion = Prompt_Suggestion(prompt))
            return TakeSuggestion(prompt, suggestion, true);
        return FromEdit(LineEditor_MoveWordRight(editor));
    case KEY_ACTION_HOME: return FromEdit(LineEditor_MoveHome(editor));
    case KEY_ACTION_END:
        if (const char *suggestion = Prompt_Suggestion(prompt))
            return TakeSuggestion(prompt, suggestion, false);
        return FromEdit(LineEditor_MoveEnd(editor));
    case KEY_ACTION_OLDER: return WalkHistory(prompt, 1);
    case KEY_ACTION_NEWER: return WalkHistory(prompt, -1);
    case KEY_ACTION_SEARCH: return StartSearch(prompt);
    case KEY_ACTION_COMPLETE: return Complete(prompt, isSecondTab);
    case KEY_ACTION_REDRAW: return PROMPT_REDRAW_SCREEN;
    case KEY_ACTION_HELP: return OpenHelp(prompt);
    case KEY_ACTION_END_OF_INPUT: return EndOfInput(prompt);
    case KEY_ACTION_ENTER: return EnterLine(prompt);
    case KEY_ACTION_REFUSED: return PROMPT_REFUSED;
    case KEY_ACTION_CANCEL:
    case KEY_ACTION_ESCAPE:
    case KEY_ACTION_IGNORE:
    case KEY_ACTION_NONE: break;
    }
    return PROMPT_UNCHANGED;
}

PromptOutcome Prompt_HandleKey(Prompt *prompt, CommandKey key)
{
    if (prompt->isHelpOpen)
        return HandleHelpKey(prompt, key);
    bool isSecondTab = prompt->isListPending && key.action == KEY_ACTION_COMPLETE;
    prompt->isListPending = false;
    if (prompt->isSearching)
        return HandleSearchKey(prompt, key);
    return HandleLineKey(prompt, key, isSecondTab);
}
