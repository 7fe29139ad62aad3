#include "terminal/Prompt.h"

#include <cstring>

#include "common/BuildSettings.h"
#include "common/Text.h"
#include "terminal/Help.h"

// Lines that the prompt takes for itself. The command language ignores
// each of them without a message, so none of them ever was a command.
static const struct {
    const char *word;
    bool allowsBlanks;  // blanks around the word are allowed
    PromptOutcome outcome;
} PROMPT_WORDS[] = {
    {"help", true, PROMPT_OPEN_HELP},
    {"?", true, PROMPT_OPEN_HELP},
    {"quit", false, PROMPT_LEAVE},
    {"exit", false, PROMPT_LEAVE},
};

// The prompt's own outcome of an entered line, or PROMPT_ENTERED for a
// command.
static PromptOutcome ClassifyEnteredLine(const char *line)
{
    for (const auto &row : PROMPT_WORDS) {
        const char *start = row.allowsBlanks ? LTrim(line) : line;
        if (!StartsWithKeyword(start, row.word))
            continue;
        const char *after = AfterKeyword(start, row.word);
        const char *end = row.allowsBlanks ? LTrim(after) : after;
        if (*end == '\0')
            return row.outcome;
    }
    return PROMPT_ENTERED;
}

void Prompt_Init(Prompt *prompt)
{
    History_Clear(&prompt->history);
    prompt->isHelpOpen = false;
    Prompt_StartLine(prompt);
}

void Prompt_StartLine(Prompt *prompt)
{
    LineEditor_Clear(&prompt->editor);
    prompt->historyAge = 0;
    prompt->draft.clear();
    prompt->candidates.clear();
    prompt->isListPending = false;
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

// Tab: one candidate is completed; several complete to what they share, and
// a second Tab lists them; none beeps.
static PromptOutcome Complete(Prompt *prompt, bool isSecondTab)
{
    LineEditor *editor = &prompt->editor;
    if (isSecondTab) {
        prompt->isListPending = true;
        return PROMPT_LIST_CANDIDATES;
    }
    size_t cursor = LineEditor_ByteOffset(editor, editor->cursor);
    Completion completion = FindCompletions(editor->bytes, cursor);
    if (completion.candidates.empty())
        return PROMPT_REFUSED;
    size_t first = LineEditor_CharacterAt(editor, completion.wordStart);
    if (completion.candidates.size() == 1) {
        const CompletionCandidate &only = completion.candidates.front();
        std::string text = only.isWord ? only.text + " " : only.text;
        return FromEdit(LineEditor_ReplaceBeforeCursor(editor, first, text.c_str()));
    }
    prompt->candidates = completion.candidates;
    prompt->isListPending = true;
    std::string common = CommonCompletionPrefix(completion.candidates);
    if (common.size() <= cursor - completion.wordStart)
        return PROMPT_REFUSED;
    return FromEdit(LineEditor_ReplaceBeforeCursor(editor, first, common.c_str()));
}

// Enter: a command line, or a line the prompt takes for itself. Every line
// goes into the history.
static PromptOutcome EnterLine(Prompt *prompt)
{
    History_Add(&prompt->history, prompt->editor.bytes);
    PromptOutcome outcome = ClassifyEnteredLine(prompt->editor.bytes);
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

PromptOutcome Prompt_HandleKey(Prompt *prompt, CommandKey key)
{
    if (prompt->isHelpOpen)
        return HandleHelpKey(prompt, key);
    bool isSecondTab = prompt->isListPending && key.action == KEY_ACTION_COMPLETE;
    prompt->isListPending = false;
    LineEditor *editor = &prompt->editor;
    switch (key.action) {
    case KEY_ACTION_INSERT: return FromEdit(LineEditor_Insert(editor, key.character));
    case KEY_ACTION_ERASE: return FromEdit(LineEditor_Erase(editor));
    case KEY_ACTION_DELETE: return FromEdit(LineEditor_Delete(editor));
    case KEY_ACTION_ERASE_WORD: return FromEdit(LineEditor_EraseWord(editor));
    case KEY_ACTION_KILL: return FromEdit(LineEditor_Kill(editor));
    case KEY_ACTION_KILL_TO_END: return FromEdit(LineEditor_KillToEnd(editor));
    case KEY_ACTION_LEFT: return FromEdit(LineEditor_MoveLeft(editor));
    case KEY_ACTION_RIGHT: return FromEdit(LineEditor_MoveRight(editor));
    case KEY_ACTION_HOME: return FromEdit(LineEditor_MoveHome(editor));
    case KEY_ACTION_END: return FromEdit(LineEditor_MoveEnd(editor));
    case KEY_ACTION_OLDER: return WalkHistory(prompt, 1);
    case KEY_ACTION_NEWER: return WalkHistory(prompt, -1);
    case KEY_ACTION_COMPLETE: return Complete(prompt, isSecondTab);
    case KEY_ACTION_REDRAW: return PROMPT_REDRAW_SCREEN;
    case KEY_ACTION_HELP: return OpenHelp(prompt);
    case KEY_ACTION_END_OF_INPUT:
        return editor->charCount == 0 ? PROMPT_LEAVE : FromEdit(LineEditor_Delete(editor));
    case KEY_ACTION_ENTER: return EnterLine(prompt);
    case KEY_ACTION_ESCAPE:
    case KEY_ACTION_IGNORE:
    case KEY_ACTION_NONE: break;
    }
    return PROMPT_UNCHANGED;
}

static std::vector<std::string> CandidateLabels(const Prompt *prompt)
{
    std::vector<std::string> labels;
    for (const CompletionCandidate &candidate : prompt->candidates)
        labels.push_back(candidate.label);
    return labels;
}

PromptRead Prompt_TakeTypedKeys(Prompt *prompt)
{
    bool isChanged = false;
    bool isRefused = false;
    PromptRead read = PROMPT_READ_PENDING;
    while (read == PROMPT_READ_PENDING) {
        CommandKey key = ReadCommandKey();
        if (key.action == KEY_ACTION_NONE)
            break;
        HideCandidates();  // the list goes at the next key
        switch (Prompt_HandleKey(prompt, key)) {
        case PROMPT_UNCHANGED: break;
        case PROMPT_CHANGED: isChanged = true; break;
        case PROMPT_REFUSED: isRefused = true; break;
        case PROMPT_ENTERED: read = PROMPT_READ_ENTERED; break;
        case PROMPT_LEAVE: read = PROMPT_READ_LEAVE; break;
        case PROMPT_LIST_CANDIDATES: ShowCandidates(CandidateLabels(prompt)); break;
        case PROMPT_REDRAW_SCREEN: RedrawScreen(); break;
        case PROMPT_OPEN_HELP:
            OpenHelpView(HelpViewLines(g_BuildSettings.grammar));
            isChanged = true;
            break;
        case PROMPT_CLOSE_HELP: CloseHelpView(); break;
        }
    }
    if (isChanged)
        DrawCommandLine(&prompt->editor);
    if (isRefused)
        Beep();  // once for a burst, not once per key of a long paste
    return read;
}

int Prompt_InputWaitMs(const Prompt *)
{
    return -1;  // curses reads Esc and its sequences whole
}
