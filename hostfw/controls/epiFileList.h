#pragma once

#include "hostfw/controls/epiUiSystemButton.h"

#include <functional>
#include <string>
#include <vector>

// The file dialog's list of a folder's entries, one row each: a press selects
// a row and a press on the selected row opens it; with the focus, Up and Down
// move the selection and Return opens it. The wheel scrolls three rows a
// notch.
class epiFileList : public epiUiSystemButton {
public:
    static constexpr int kRowHeight = 16;

    // The row and whether it was opened (else only selected).
    using Listener = std::function<void(int row, bool opened)>;

    epiFourCC getKind() const override { return epiCode("iSfl"); }
    std::vector<epiFourCC> allowedParentKinds() const override { return {}; }

    void setRows(std::vector<std::string> rows);
    const std::vector<std::string>& rows() const { return rows_; }
    void setListener(Listener listener) { listener_ = std::move(listener); }
    int selection() const { return selection_; }
    void select(int row);
    int firstShown() const { return first_; }

    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint&) override {}
    void onMouseUp(const epiPoint&) override {}
    void onMouseWheel(const epiPoint& point, int notches) override;
    void onKeyDown(int code) override;
    void onKeyRepeat(int code) override { onKeyDown(code); }
    void draw(const epiRect& clip) override;

private:
    int shownRows() const;
    void reveal(int row);

    std::vector<std::string> rows_;
    int selection_ = -1;
    int first_ = 0;
    Listener listener_;
};
