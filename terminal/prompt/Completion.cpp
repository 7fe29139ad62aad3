#include "terminal/prompt/Completion.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwchar>

#include "administration/Administrator.h"
#include "common/BuildSettings.h"
#include "common/Text.h"
#include "engine/Printer.h"
#include "terminal/prompt/PromptWords.h"

// Where in a command line the word being completed stands.
enum CompletionContext {
    CONTEXT_LINE_START,      // the first word
    CONTEXT_AFTER_ADMIN,     // after the administrator's word
    CONTEXT_AFTER_PRINTER,   // after "Printer"
    CONTEXT_AFTER_USER,      // after a registered user's name
    CONTEXT_USER_NAME,       // a registered user's name as an argument
    CONTEXT_FILE_NAME,       // the file to print
    CONTEXT_REFILL_AMOUNTS,  // Refill's KEY=VALUE pairs: the key of the last one
    CONTEXT_NOTHING,         // free text: nothing to offer
};

// A keyword or name that may stand at a place, and what comes after it.
struct Phrase {
    std::string text;
    bool ignoresCase;          // keywords do; names compare byte for byte
    bool isWord;               // more words follow it
    CompletionContext next;
};

static CompletionContext AdminArgumentContext(AdminCommand command)
{
    switch (command) {
    case ADMIN_DEL_USER: return CONTEXT_USER_NAME;
    case ADMIN_REFILL: return CONTEXT_REFILL_AMOUNTS;
    default: return CONTEXT_NOTHING;
    }
}

// The keys of Refill's pairs, with the equals sign the amount follows.
static const char *const REFILL_KEYS[] = {"Ink=", "Paper="};

static CompletionContext PrinterArgumentContext(PrinterCommand command)
{
    return command == PRINTER_PRINT ? CONTEXT_FILE_NAME : CONTEXT_NOTHING;
}

static void AddAdminCommands(std::vector<Phrase> &phrases)
{
    for (const AdminCommandRow &row : AdminCommandTable())
        phrases.push_back({row.keyword, true, *row.arguments != '\0', AdminArgumentContext(row.command)});
}

static void AddPrinterCommands(std::span<const PrinterCommandRow> rows, std::vector<Phrase> &phrases)
{
    for (const PrinterCommandRow &row : rows)
        phrases.push_back({row.keyword, true, *row.arguments != '\0', PrinterArgumentContext(row.command)});
}

// True when every character of text can be typed and shown at the prompt.
static bool IsTypable(const std::string &text)
{
    mbstate_t state = {};
    for (size_t i = 0; i < text.size();) {
        wchar_t character;
        size_t count = mbrtowc(&character, text.data() + i, text.size() - i, &state);
        if (count == 0 || count > text.size() - i || wcwidth(character) < 0)
            return false;
        i += count;
    }
    return true;
}

// Registered names; as the first word of a line only those without a blank,
// since a user line's first word ends at its first blank.
static void AddUserNames(bool isFirstWord, std::vector<Phrase> &phrases)
{
    for (ListNode *node = GetFirstNode(&g_UserInfoList); node != nullptr && !IsTailer(&g_UserInfoList, node);
         node = GetNextNode(node)) {
        const char *name = static_cast<const UserInfo *>(node->pData)->userName;
        if ((isFirstWord && strchr(name, ' ') != nullptr) || !IsTypable(name))
            continue;
        phrases.push_back({name, false, isFirstWord, isFirstWord ? CONTEXT_AFTER_USER : CONTEXT_NOTHING});
    }
}

// The earlier grammars take the administrator's keywords without the word.
static std::vector<Phrase> PhrasesFor(CompletionContext context)
{
    bool isEarlier = g_BuildSettings.grammar != GRAMMAR_CURRENT;
    std::vector<Phrase> phrases;
    switch (context) {
    case CONTEXT_LINE_START:
        for (const PromptWord &row : PromptWords()) {
            if (isalpha(static_cast<unsigned char>(row.word[0])))
                phrases.push_back({row.word, true, false, CONTEXT_NOTHING});
        }
        phrases.push_back({ADMIN_WORD, true, true, CONTEXT_AFTER_ADMIN});
        phrases.push_back({PRINTER_WORD, true, true, CONTEXT_AFTER_PRINTER});
        if (isEarlier)
            AddAdminCommands(phrases);
        AddUserNames(true, phrases);
        break;
    case CONTEXT_AFTER_ADMIN:
        AddAdminCommands(phrases);
        if (isEarlier)
            AddUserNames(true, phrases);
        break;
    case CONTEXT_AFTER_PRINTER: AddPrinterCommands(AdminPrinterCommands(), phrases); break;
    case CONTEXT_AFTER_USER: AddPrinterCommands(UserPrinterCommands(), phrases); break;
    case CONTEXT_USER_NAME: AddUserNames(false, phrases); break;
    case CONTEXT_REFILL_AMOUNTS:
        for (const char *key : REFILL_KEYS)
            phrases.push_back({key, true, false, CONTEXT_NOTHING});
        break;
    case CONTEXT_FILE_NAME:
    case CONTEXT_NOTHING: break;
    }
    return phrases;
}

// True when phrase begins with the typed text.
static bool PhraseBeginsWith(const Phrase &phrase, const std::string &typed)
{
    if (phrase.ignoresCase)
        return StartsWithKeyword(phrase.text.c_str(), typed.c_str());
    return phrase.text.compare(0, typed.size(), typed) == 0 && typed.size() <= phrase.text.size();
}

// The longest phrase typed in full and followed by a blank; NULL for none.
static const Phrase *FindTypedPhrase(const std::vector<Phrase> &phrases, const std::string &rest)
{
    const Phrase *found = nullptr;
    for (const Phrase &phrase : phrases) {
        size_t length = phrase.text.size();
        bool isTyped = rest.size() > length && rest[length] == ' ' &&
                       (phrase.ignoresCase ? StartsWithKeyword(rest.c_str(), phrase.text.c_str())
                                           : rest.compare(0, length, phrase.text) == 0);
        if (isTyped && (found == nullptr || length > found->text.size()))
            found = &phrase;
    }
    return found;
}

// The length of the longest run of whole characters within text's first
// `length` bytes.
static size_t WholeCharacters(const std::string &text, size_t length)
{
    mbstate_t state = {};
    size_t whole = 0;
    while (whole < length) {
        size_t count = mbrtowc(nullptr, text.data() + whole, length - whole, &state);
        if (count == 0 || count > length - whole)
            break;
        whole += count;
    }
    return whole;
}

// Narrows the beginning that all matches share to what text shares too.
static void NoteMatch(Completion *completion, const std::string &text)
{
    if (completion->matchCount++ == 0) {
        completion->common = text;
        return;
    }
    size_t same = 0;
    while (same < completion->common.size() && same < text.size() && completion->common[same] == text[same])
        same++;
    completion->common.resize(same);
}

// Sorts names and keeps the first MAX_COMPLETION_CANDIDATES of them.
static void KeepFirstNames(std::vector<std::string> &names)
{
    size_t kept = std::min(names.size(), MAX_COMPLETION_CANDIDATES);
    std::partial_sort(names.begin(), names.begin() + kept, names.end());
    names.resize(kept);
}

// The entries of the word's directory that begin with its last part. Hidden
// entries only when that part begins with a dot. Every entry up to the cap
// counts for the shared beginning; only the first names in sort order are
// kept as candidates.
static void AddFileNames(const std::string &word, const PromptFiles &files, Completion *completion)
{
    size_t slash = word.rfind('/');
    std::string directory = slash == std::string::npos ? "" : word.substr(0, slash + 1);
    std::string start = word.substr(directory.size());
    std::vector<std::string> names;
    size_t seen = 0;
    bool isListed = files.listNames(directory, [&](const char *entry) {
        if (seen++ == MAX_DIRECTORY_ENTRIES) {
            completion->isCut = true;
            return false;
        }
        std::string name = entry;
        if (name == "." || name == ".." || (name[0] == '.' && start.empty()))
            return true;
        if (name.compare(0, start.size(), start) != 0 || !IsTypable(name))
            return true;
        NoteMatch(completion, directory + name);
        names.push_back(std::move(name));
        if (names.size() == 2 * MAX_COMPLETION_CANDIDATES)
            KeepFirstNames(names);
        return true;
    });
    if (!isListed)
        return;
    KeepFirstNames(names);
    for (const std::string &name : names) {
        std::string suffix = files.isDirectory(directory + name) ? "/" : "";
        completion->candidates.push_back({directory + name + suffix, name + suffix, false});
    }
    if (completion->matchCount == 1)
        completion->common = completion->candidates.front().text;
}

// The keywords or names of a place that begin with the typed text.
static void AddPhrases(const std::vector<Phrase> &phrases, const std::string &typed, Completion *completion)
{
    for (const Phrase &phrase : phrases) {
        if (PhraseBeginsWith(phrase, typed))
            completion->candidates.push_back({phrase.text, phrase.text, phrase.isWord});
    }
    std::sort(completion->candidates.begin(), completion->candidates.end(),
              [](const CompletionCandidate &a, const CompletionCandidate &b) { return a.text < b.text; });
    for (const CompletionCandidate &candidate : completion->candidates)
        NoteMatch(completion, candidate.text);
}

static size_t SkipBlanks(const std::string &text, size_t position)
{
    return LTrim(text.c_str() + position) - text.c_str();
}

Completion FindCompletions(const char *line, size_t cursor, const PromptFiles *files)
{
    const std::string text(line, cursor);
    Completion completion = {};
    size_t position = SkipBlanks(text, 0);
    CompletionContext context = CONTEXT_LINE_START;
    for (;;) {
        std::string rest = text.substr(position);
        if (context == CONTEXT_FILE_NAME) {
            if (files != nullptr)
                AddFileNames(rest, *files, &completion);
            break;
        }
        if (context == CONTEXT_REFILL_AMOUNTS && rest.rfind(' ') != std::string::npos) {
            position += rest.rfind(' ') + 1;
            continue;
        }
        std::vector<Phrase> phrases = PhrasesFor(context);
        const Phrase *typed = FindTypedPhrase(phrases, rest);
        if (typed == nullptr) {
            AddPhrases(phrases, rest, &completion);
            break;
        }
        position = SkipBlanks(text, position + typed->text.size());
        context = typed->next;
    }
    completion.wordStart = position;
    completion.common.resize(WholeCharacters(completion.common, completion.common.size()));
    return completion;
}
