#include "ui/RowWindows.h"

#include <utility>

CVelButton* CRowWindows::Add(std::unique_ptr<CVelButton> pRow)
{
    m_listRows.push_back(std::move(pRow));
    return m_listRows.back().get();
}

void CRowWindows::Clear()
{
    CRowList rows;
    rows.swap(m_listRows);
    m_nFirst = 0;
    DeleteLater(rows);
}

void CRowWindows::DeleteNow()
{
    m_listRows.clear();
    m_nFirst = 0;
}

void CRowWindows::ShowRange(std::size_t nFirst, std::size_t nEnd, const FMakeRowWindow& fnMake)
{
    const std::size_t nOldFirst = m_nFirst;
    const std::size_t nOldEnd = nOldFirst + m_listRows.size();
    if (nFirst == nOldFirst && nEnd == nOldEnd)
        return;
    CRowList rows;
    rows.reserve(nEnd > nFirst ? nEnd - nFirst : 0);
    for (std::size_t i = nFirst; i < nEnd; ++i)
    {
        if (i >= nOldFirst && i < nOldEnd)
            rows.push_back(std::move(m_listRows[i - nOldFirst]));
        else
            rows.push_back(fnMake(i));
    }
    rows.swap(m_listRows);
    m_nFirst = nFirst;
    // What is left of the old list went out of range; one of them may be the row whose message
    // is being handled.
    DeleteLater(rows);
}

void CRowWindows::DeleteLater(CRowList& rows)
{
    for (std::unique_ptr<CVelButton>& pRow : rows)
    {
        if (pRow != nullptr)
            AfxDeleteLater(std::move(pRow));
    }
    rows.clear();
}
