// The process's current directory.
#pragma once

#include <string>

namespace pixelmoor {

// The current directory as the system names it; empty when it cannot be read.
[[nodiscard]] std::wstring CurrentDirectory();

// The current directory, remembered when a scope begins and put back when it
// ends, whatever happened in between.
class CurrentDirectoryScope {
public:
    CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;
    ~CurrentDirectoryScope();

    // The directory set within the scope stays after it.
    void Keep() noexcept { saved_.clear(); }

private:
    std::wstring saved_;
};

}  // namespace pixelmoor
