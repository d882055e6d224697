// The private channel between the uninstaller that the user or a deployment
// tool started and the copy of it that does the work: an unnamed section of
// shared memory that only the copy inherits. The starter writes a random
// token into it and hands the copy the section's handle and the token on its
// command line; the copy acts as the worker only when the two agree, so that
// "/worker" on anyone else's command line is an ordinary start. The copy
// writes its report back through the same section.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "framework/unique_handle.h"
#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

// Characters of the copy's report that the channel carries.
inline constexpr std::size_t kWorkerReportLimit = 16383;

// count hex digits from the system's random numbers; nothing when it has none.
[[nodiscard]] std::optional<std::wstring> RandomHexDigits(std::size_t count);

class WorkerChannel {
public:
    // The starter's side: a new section, inheritable, holding a fresh token.
    [[nodiscard]] static std::optional<WorkerChannel> Create();
    // The copy's side: the channel that a "/worker=" value names, when the
    // handle is a section that holds the token.
    [[nodiscard]] static std::optional<WorkerChannel> Open(std::wstring_view proofText);

    // The "/worker=" value for the copy.
    [[nodiscard]] std::wstring ProofText() const { return WorkerProofText(proof_); }

    // The copy's report (what stays and why), cut at kWorkerReportLimit.
    void WriteReport(std::wstring_view report);
    [[nodiscard]] std::wstring ReadReport() const;

private:
    WorkerChannel(UniqueHandle section, UniqueMappedView view, WorkerProof proof)
        : section_(std::move(section)), view_(std::move(view)), proof_(std::move(proof)) {}

    [[nodiscard]] wchar_t* Text() const noexcept;

    UniqueHandle section_;
    UniqueMappedView view_;
    WorkerProof proof_;
};

}  // namespace pixelmoor
