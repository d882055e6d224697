#include "framework/resource_strings.h"

#include <windows.h>

#include "framework/text_rules.h"

namespace pixelmoor {

std::wstring LoadResourceString(int id, std::size_t limit) {
    // With a buffer size of 0, LoadStringW hands out a pointer to the string
    // inside the mapped resource and its length, so no copy buffer is needed.
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return CutAt(std::wstring_view(text, static_cast<std::size_t>(length)), limit);
}

std::wstring LoadMessageText(int id) { return LoadResourceString(id, kMessageTextLimit); }

}  // namespace pixelmoor
