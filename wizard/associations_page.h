// AssociationsPage (template 104): the file types to associate with the
// viewer, in a check-box list that can be used only while 3311 is ticked,
// which on Windows 11 it cannot be. The ready page asks it for its selection.
#pragma once

#include <windows.h>

#include <optional>

#include "integration/format_table.h"
#include "wizard/wiz_property_page.h"

namespace pixelmoor {

class AssociationsPage final : public CWizPropertyPage {
public:
    explicit AssociationsPage(CWizPropertySheet& sheet) noexcept;

    // The file types chosen in the list; none while it is disabled, or
    // before the page was first shown.
    [[nodiscard]] AssociationSelection Selection() const;

protected:
    BOOL OnSetActive() noexcept override;
    bool OnCommand(int id, int code, HWND control) noexcept override;

private:
    struct ListColours {
        COLORREF background;
        COLORREF text;
    };
    // The list while it cannot be used: silver with orange text.
    static constexpr ListColours kDisabledColours = {RGB(192, 192, 192), RGB(255, 128, 0)};

    void SetUpList(HWND list);
    void EnableList(bool enable, const ListColours& colours) const noexcept;
    void OnWriteAssociationsClicked() const noexcept;

    // The list view 1579 (the dialog owns it), once the first activation
    // has set it up and filled it: its check marks then last for the run.
    HWND list_ = nullptr;
    // The list's own colours, taken once before the page changes them.
    std::optional<ListColours> savedColours_;
};

}  // namespace pixelmoor
