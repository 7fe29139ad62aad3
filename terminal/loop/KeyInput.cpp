#include "terminal/loop/KeyInput.h"

#include <chrono>
#include <cstdio>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "common/BuildSettings.h"
#include "common/Report.h"
#include "terminal/prompt/Help.h"
#include "terminal/prompt/LineHint.h"
#include "terminal/prompt/Prompt.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/Overlays.h"
#include "terminal/screen/Screen.h"

static int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void KeyInput_Init(KeyInput *input, int fd)
{
    struct termios modes;
    bool hasModes = tcgetattr(fd, &modes) == 0;
    input->fd = fd;
    KeyDecoder_Init(&input->decoder, hasModes ? modes.c_cc[VERASE] : 0x7f, hasModes ? modes.c_cc[VKILL] : 0x15);
    input->isInRefusedBurst = false;
}

// Reads at most one bite of what is typed, without waiting, and decodes it.
// The bytes read; 0 when nothing was there.
static size_t ReadBite(KeyInput *input)
{
    struct pollfd typed = {input->fd, POLLIN, 0};
    if (poll(&typed, 1, 0) <= 0 || !(typed.revents & POLLIN))
        return 0;
    char bite[KEY_BITE_BYTES];
    ssize_t count = read(input->fd, bite, sizeof bite);
    if (count <= 0)
        return 0;  // a hang-up shows in the loop's own poll
    KeyDecoder_Feed(&input->decoder, bite, static_cast<size_t>(count), NowMs());
    return static_cast<size_t>(count);
}

// New bytes first, since they may complete what is held (a late link, or
// a busy pass that read them late); then whatever is still held past the
// escape delay ends. The bytes read.
static size_t ReadAndFlush(KeyInput *input)
{
    size_t bite = ReadBite(input);
    KeyDecoder_Flush(&input->decoder, NowMs());
    return bite;
}

// The keys of the bite before when some are left; otherwise a new bite.
// The bytes read.
static size_t FillKeys(KeyInput *input)
{
    if (!input->decoder.keys.empty())
        return 0;
    return ReadAndFlush(input);
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

// The line typed, or the search; and in quillbay the hint, whose row the
// earlier programs keep for their echo.
static void DrawTypedLine(const Prompt *prompt)
{
    if (!g_BuildSettings.echoesCommand)
        DrawHint(Prompt_Hint(prompt));
    if (prompt->isSearching)
        DrawSearchLine(prompt->searchQuery.c_str(), Prompt_SearchMatch(prompt), prompt->isSearchFailing);
    else
        DrawCommandLine(&prompt->editor, Prompt_Suggestion(prompt));
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
        RepaintScreen(REPAINT_ASKED);
}

PromptRead KeyInput_TakeTypedKeys(KeyInput *input, Prompt *prompt)
{
    bool wasInRefusedBurst = input->isInRefusedBurst;
    bool wasHelpOpen = prompt->isHelpOpen;
    size_t bite = FillKeys(input);
    std::deque<CommandKey> &keys = input->decoder.keys;
    const int64_t endMs = NowMs() + KEY_WORK_MS;
    KeysDrawn drawn = {};
    PromptRead read = PROMPT_READ_PENDING;
    while (read == PROMPT_READ_PENDING && !keys.empty() && NowMs() < endMs) {
        CommandKey key = keys.front();
        keys.pop_front();
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
    bool isBurstGoingOn = bite == KEY_BITE_BYTES || !keys.empty() || (bite == 0 && wasInRefusedBurst);
    input->isInRefusedBurst = drawn.isRefused && isBurstGoingOn;
    return read;
}

void KeyInput_FollowRecords(const Prompt *prompt)
{
    if (g_BuildSettings.echoesCommand)
        return;
    DrawHint(Prompt_Hint(prompt));
    RefreshWindow(g_pCommandWindow);
}

int KeyInput_WaitMs(const KeyInput *input)
{
    return KeyDecoder_WaitMs(&input->decoder, NowMs());
}

bool KeyInput_TakeEscapeKey(KeyInput *input)
{
    std::deque<CommandKey> &keys = input->decoder.keys;
    if (keys.size() < KEY_BITE_BYTES)
        ReadAndFlush(input);
    else
        KeyDecoder_Flush(&input->decoder, NowMs());
    for (auto key = keys.begin(); key != keys.end(); ++key) {
        if (key->action == KEY_ACTION_ESCAPE) {
            keys.erase(key);
            return true;
        }
    }
    return false;
}
