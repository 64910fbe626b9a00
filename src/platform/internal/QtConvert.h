// Conversions between the framework's values and Qt's. Only the layer's own sources include this.
#pragma once

#include "platform/Geometry.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <string>

inline QRgb ToQRgb(COLORREF cr)
{
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

inline COLORREF FromQRgb(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

inline QColor ToQColor(COLORREF cr)
{
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

inline QRect ToQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

inline CRect FromQRect(const QRect& r)
{
    return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

inline QPoint ToQPoint(POINT p)
{
    return QPoint(p.x, p.y);
}

inline CPoint FromQPoint(QPoint p)
{
    return CPoint(p.x(), p.y());
}

inline QString ToQString(const std::wstring& s)
{
    return QString::fromStdWString(s);
}

inline std::wstring FromQString(const QString& s)
{
    return s.toStdWString();
}
