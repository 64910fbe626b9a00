// CRowWindows: the windows of a scrolling list's rows, in list order, owned until they go. A
// list may keep windows for all its rows (Add, Clear) or only for a range of a longer list that
// moves with the view (ShowRange). Rows that leave are deleted after the message being handled:
// the click of one of them may be what empties or rebuilds the list. The destructor and
// DeleteNow delete at once, for an owner whose windows are already gone. User-interface thread
// only.
#pragma once

#include "ui/VelButton.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class CRowWindows
{
public:
    using CRowList = std::vector<std::unique_ptr<CVelButton>>;
    // Makes the window of the row at an index of the longer list.
    using FMakeRowWindow = std::function<std::unique_ptr<CVelButton>(std::size_t)>;

    // Takes a row's window after the last; returns it.
    CVelButton* Add(std::unique_ptr<CVelButton> pRow);
    // Every window goes, later; the range starts over at 0.
    void Clear();
    // Every window goes now.
    void DeleteNow();
    // Keeps windows for rows nFirst to nEnd - 1 of the longer list: those it has already are
    // kept, the others made by fnMake; the windows outside the range go, later.
    void ShowRange(std::size_t nFirst, std::size_t nEnd, const FMakeRowWindow& fnMake);
    // The index in the longer list of the first window.
    std::size_t GetFirstIndex() const { return m_nFirst; }

    const CRowList& GetRows() const { return m_listRows; }
    std::size_t size() const { return m_listRows.size(); }
    bool empty() const { return m_listRows.empty(); }
    const std::unique_ptr<CVelButton>& operator[](std::size_t i) const { return m_listRows[i]; }
    const std::unique_ptr<CVelButton>& front() const { return m_listRows.front(); }
    const std::unique_ptr<CVelButton>& back() const { return m_listRows.back(); }
    CRowList::const_iterator begin() const { return m_listRows.begin(); }
    CRowList::const_iterator end() const { return m_listRows.end(); }

private:
    static void DeleteLater(CRowList& rows);

    CRowList m_listRows;
    std::size_t m_nFirst = 0;
};
