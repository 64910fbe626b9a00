#include "platform/internal/ModalLoops.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

std::vector<modal::CLoop*> g_loops;
// The main window whose close ends the program; null while the program is not ending.
const CWnd* g_pEndingMain = nullptr;

} // namespace

namespace modal
{

CLoop::CLoop(const CWnd* pOwner, std::function<void()> fnEnd)
    : m_pOwner(pOwner), m_fnEnd(std::move(fnEnd))
{
    g_loops.push_back(this);
}

CLoop::~CLoop()
{
    g_loops.erase(std::remove(g_loops.begin(), g_loops.end(), this), g_loops.end());
}

void EndAllBut(const CWnd* pMain)
{
    g_pEndingMain = pMain;
    // Ending a loop only asks it to return once control is back in it, so the list does not
    // change meanwhile; a copy is walked all the same.
    const std::vector<CLoop*> loops = g_loops;
    for (auto it = loops.rbegin(); it != loops.rend(); ++it)
    {
        if ((*it)->m_pOwner != pMain &&
            std::find(g_loops.begin(), g_loops.end(), *it) != g_loops.end())
            (*it)->m_fnEnd();
    }
}

bool EndsAtOnce(const CWnd* pOwner)
{
    return g_pEndingMain != nullptr && pOwner != g_pEndingMain;
}

void EndedLoopOf(const CWnd* pOwner)
{
    if (pOwner != nullptr && pOwner == g_pEndingMain)
        g_pEndingMain = nullptr;
}

void Reset()
{
    g_pEndingMain = nullptr;
}

} // namespace modal
