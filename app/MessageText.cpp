#include "app/MessageText.h"

std::wstring WithFullStop(std::wstring text) {
    if (!text.empty() && text.back() > L'.')
        text.push_back(L'.');
    return text;
}
