#include "wizard/whats_new_page.h"

#include <span>

#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"

namespace pixelmoor {

namespace {

// The bytes of the release notes among the program's resources; empty when
// the resource, its data or its lock is missing.
std::span<const unsigned char> ReleaseNotesBytes() noexcept {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(res::kWhatsNewId), res::kWhatsNewType);
    if (found == nullptr) return {};
    const HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return {static_cast<const unsigned char*>(data), ::SizeofResource(module, found)};
}

}  // namespace

WhatsNewPage::WhatsNewPage(CWizPropertySheet& sheet) noexcept : CWizPropertyPage(IDD_WHATS_NEW, sheet) {}

// The notes are put into the box on every activation; without them the box
// keeps its text.
BOOL WhatsNewPage::OnSetActive() noexcept {
    const std::span<const unsigned char> notes = ReleaseNotesBytes();
    if (notes.data() != nullptr) SetDlgItemText(IDC_WHATS_NEW_TEXT, WhatsNewText(notes));
    return CWizPropertyPage::OnSetActive();
}

}  // namespace pixelmoor
