// What's-new page (position 1, template 108): the release notes. Back is
// enabled by the Next press that leads here; the page sets no button itself.
#include <windows.h>

#include <span>

#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"

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

// The notes are put into the box on every activation; without them the box
// keeps its text.
void WhatsNewOnSetActive(CWizPropertyPage& page) noexcept {
    const std::span<const unsigned char> notes = ReleaseNotesBytes();
    if (notes.data() == nullptr) return;
    page.SetDlgItemText(IDC_WHATS_NEW_TEXT, WhatsNewText(notes));
}

}  // namespace pixelmoor
