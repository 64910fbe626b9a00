#include "ui/GeneralSubWindow2.h"

BOOL CGeneralSubWindow2::Create(int nLeft, int nTop, int nRight, int nBottom, CWnd* pParent)
{
    return CreatePanel(nLeft, nTop, nRight - nLeft, nBottom - nTop, pParent);
}
