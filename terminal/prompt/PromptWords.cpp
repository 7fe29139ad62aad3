#include "terminal/prompt/PromptWords.h"

static const PromptWord PROMPT_WORDS[] = {
    {"help", true, false},
    {"?", true, false},
    {"quit", false, true},
    {"exit", false, true},
};

std::span<const PromptWord> PromptWords()
{
    return PROMPT_WORDS;
}
