// The process's current directory, remembered when a scope begins and put
// back when it ends, whatever happened in between.
#pragma once

#include <string>

namespace pixelmoor {

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
