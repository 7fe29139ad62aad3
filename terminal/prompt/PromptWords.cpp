#include "terminal/prompt/PromptWords.h"

#include "common/Text.h"

static const PromptWord PROMPT_WORDS[] = {
    {"help", false},
    {"?", false},
    {"quit", true},
    {"exit", true},
};

std::span<const PromptWord> PromptWords()
{
    return PROMPT_WORDS;
}

const PromptWord *FindPromptWord(const char *line)
{
    for (const PromptWord &row : PROMPT_WORDS) {
        if (StartsWithKeyword(line, row.word) && *AfterKeyword(line, row.word) == '\0')
            return &row;
    }
    return nullptr;
}
