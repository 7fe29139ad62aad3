// What was typed, taken from the terminal in bounded bites so that a long
// paste never holds the engine up, decoded into keys and fed to the
// prompt; then drawn. Curses reads no keys: this is the only reader.
#include "terminal/Prompt.h"

#include <chrono>
#include <cstdio>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "common/BuildSettings.h"
#include "common/Report.h"
#include "terminal/Help.h"
#include "terminal/display.h"

static KeyDecoder s_keys;          // bytes read and not yet taken as keys
static int s_inputFd = STDIN_FILENO;
static bool s_isInputReady;        // s_keys knows the terminal's erase and kill characters
static bool s_isInRefusedBurst;    // the last call refused keys and more of the same burst followed: no second beep

static int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The terminal's own erase and kill characters act as Backspace and ^U.
static void PrepareInput()
{
    if (s_isInputReady)
        return;
    struct termios modes;
    bool hasModes = tcgetattr(s_inputFd, &modes) == 0;
    KeyDecoder_Init(&s_keys, hasModes ? modes.c_cc[VERASE] : 0x7f, hasModes ? modes.c_cc[VKILL] : 0x15);
    s_isInputReady = true;
}

void Prompt_SetInput(int fd)
{
    s_inputFd = fd;
    s_isInputReady = false;
    s_isInRefusedBurst = false;
}

// Reads at most one bite of what is typed, without waiting, and decodes it.
// The bytes read; 0 when nothing was there.
static size_t ReadBite()
{
    PrepareInput();
    struct pollfd input = {s_inputFd, POLLIN, 0};
    if (poll(&input, 1, 0) <= 0 || !(input.revents & POLLIN))
        return 0;
    char bite[KEY_BITE_BYTES];
    ssize_t count = read(s_inputFd, bite, sizeof bite);
    if (count <= 0)
        return 0;  // a hang-up shows in the loop's own poll
    KeyDecoder_Feed(&s_keys, bite, static_cast<size_t>(count), NowMs());
    return static_cast<size_t>(count);
}

// New bytes first, since they may complete what is held (a late link, or
// a busy pass that read them late); then whatever is still held past the
// escape delay ends. The bytes read.
static size_t ReadAndFlush()
{
    size_t bite = ReadBite();
    KeyDecoder_Flush(&s_keys, NowMs());
    return bite;
}

// The keys of the bite before when some are left; otherwise a new bite.
// The bytes read.
static size_t FillKeys()
{
    PrepareInput();
    if (!s_keys.keys.empty())
        return 0;
    return ReadAndFlush();
}

static std::vector<std::string> CandidateLabels(const Prompt *prompt)
{
    std::vector<std::string> labels;
    for (const CompletionCandidate &candidate : prompt->candidates)
        labels.push_back(candidate.label);
    return labels;
}

// Says on the error row what leaving now would drop.
static void ReportUnfinishedJobs(int count)
{
    char message[MESSAGE_BUFFER_SIZE];
    if (count == 1)
        snprintf(message, sizeof message, "1 job not finished; quit again to leave it");
    else
        snprintf(message, sizeof message, "%d jobs not finished; quit again to leave them", count);
    DisplayError(message);
}

// What the keys of one call asked to be drawn. It is drawn once, after the
// last of them: a burst of Ctrl-L or Tab costs one repaint, not one each,
// so no burst of keys can flood the terminal.
struct KeysDrawn {
    bool isAnyKey;         // a key was handled: the completion list follows the last one
    bool isLineChanged;    // the line or the cursor changed
    bool isRefused;        // a key was refused: beep
    bool isListAsked;      // the last key asked for the list of completion choices
    bool isRepaintAsked;   // draw the whole screen again
};

static void NoteOutcome(Prompt *prompt, PromptOutcome outcome, KeysDrawn *drawn)
{
    drawn->isListAsked = false;
    switch (outcome) {
    case PROMPT_UNCHANGED: break;
    case PROMPT_CHANGED: drawn->isLineChanged = true; break;
    case PROMPT_REFUSED: drawn->isRefused = true; break;
    case PROMPT_ENTERED:
    case PROMPT_LEAVE: break;
    case PROMPT_LIST_CANDIDATES: drawn->isListAsked = true; break;
    case PROMPT_REDRAW_SCREEN: drawn->isRepaintAsked = true; break;
    case PROMPT_OPEN_HELP:
    case PROMPT_CLOSE_HELP: drawn->isLineChanged = true; break;
    case PROMPT_CONFIRM_LEAVE:
        ReportUnfinishedJobs(prompt->unfinishedJobs);
        drawn->isLineChanged = true;
        break;
    }
}

static void DrawTypedLine(const Prompt *prompt)
{
    if (prompt->isSearching)
        DrawSearchLine(prompt->searchQuery.c_str(), Prompt_SearchMatch(prompt));
    else
        DrawCommandLine(&prompt->editor);
}

static void DrawKeys(const Prompt *prompt, const KeysDrawn &drawn, bool wasHelpOpen)
{
    if (drawn.isListAsked)
        ShowCandidates(CandidateLabels(prompt), prompt->candidateCount, prompt->isCandidateListCut);
    else if (drawn.isAnyKey)
        HideCandidates();
    if (prompt->isHelpOpen && !wasHelpOpen)
        OpenHelpView(HelpViewLines(g_BuildSettings.grammar));
    else if (!prompt->isHelpOpen && wasHelpOpen)
        CloseHelpView();
    if (drawn.isLineChanged)
        DrawTypedLine(prompt);
    if (drawn.isRepaintAsked)
        RedrawScreen();
}

PromptRead Prompt_TakeTypedKeys(Prompt *prompt)
{
    bool wasInRefusedBurst = s_isInRefusedBurst;
    bool wasHelpOpen = prompt->isHelpOpen;
    size_t bite = FillKeys();
    const int64_t endMs = NowMs() + KEY_WORK_MS;
    KeysDrawn drawn = {};
    PromptRead read = PROMPT_READ_PENDING;
    while (read == PROMPT_READ_PENDING && !s_keys.keys.empty() && NowMs() < endMs) {
        CommandKey key = s_keys.keys.front();
        s_keys.keys.pop_front();
        PromptOutcome outcome = Prompt_HandleKey(prompt, key);
        drawn.isAnyKey = true;
        NoteOutcome(prompt, outcome, &drawn);
        if (outcome == PROMPT_ENTERED)
            read = PROMPT_READ_ENTERED;
        else if (outcome == PROMPT_LEAVE)
            read = PROMPT_READ_LEAVE;
    }
    DrawKeys(prompt, drawn, wasHelpOpen);
    if (drawn.isRefused && !wasInRefusedBurst)
        Beep();  // once for a burst, not once per key of a long paste
    bool isBurstGoingOn = bite == KEY_BITE_BYTES || !s_keys.keys.empty() || (bite == 0 && wasInRefusedBurst);
    s_isInRefusedBurst = drawn.isRefused && isBurstGoingOn;
    return read;
}

int Prompt_InputWaitMs(const Prompt *)
{
    return KeyDecoder_WaitMs(&s_keys, NowMs());
}

bool TakeEscapeKey()
{
    PrepareInput();
    if (s_keys.keys.size() < KEY_BITE_BYTES)
        ReadAndFlush();
    else
        KeyDecoder_Flush(&s_keys, NowMs());
    for (auto key = s_keys.keys.begin(); key != s_keys.keys.end(); ++key) {
        if (key->action == KEY_ACTION_ESCAPE) {
            s_keys.keys.erase(key);
            return true;
        }
    }
    return false;
}
