#include "ViewSupport.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSplitter>

#include "views/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <array>

namespace KivImages {

namespace {

QPixmap Canvas(int w, int h)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap DrawFolder(bool open)
{
    QPixmap pm = Canvas(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor edge(150, 110, 20);
    p.setPen(edge);
    p.setBrush(QColor(240, 200, 80));
    // Tab and back.
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 4.5);
    back.lineTo(14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(255, 225, 120));
    if (open) {
        QPolygonF front({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5),
                         QPointF(1.5, 13.5)});
        p.drawPolygon(front);
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13, 7));
    }
    return pm;
}

QPixmap DrawDesktop()
{
    QPixmap pm = Canvas(16, 16);
    QPainter p(&pm);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(60, 120, 200));
    p.drawRect(1, 2, 13, 9); // screen
    p.setBrush(QColor(120, 190, 90));
    p.setPen(Qt::NoPen);
    p.drawRect(2, 8, 12, 3); // landscape on the screen
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(6, 12, 4, 1); // foot
    p.drawRect(3, 14, 10, 1);
    return pm;
}

QPixmap DrawBin(QColor body, bool full)
{
    QPixmap pm = Canvas(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(body.darker(180));
    p.setBrush(body);
    QPolygonF can({QPointF(3.5, 4.5), QPointF(12.5, 4.5), QPointF(11.5, 14.5),
                   QPointF(4.5, 14.5)});
    p.drawPolygon(can);
    p.drawLine(QPointF(6.5, 6.5), QPointF(6.5, 12.5));
    p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
    if (full) {
        // Papers sticking out of the top.
        p.setBrush(Qt::white);
        p.setPen(QColor(90, 90, 90));
        p.drawRect(QRectF(4.5, 0.5, 4, 4));
        p.drawRect(QRectF(8.5, 1.5, 4, 3));
    } else {
        p.drawRect(QRectF(2.5, 2.5, 11, 2)); // lid
    }
    return pm;
}

QPixmap DrawPage(int size, bool globe)
{
    QPixmap pm = Canvas(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    p.scale(s, s);
    p.setPen(QPen(QColor(90, 90, 90), 1.0 / s));
    p.setBrush(Qt::white);
    QPolygonF page({QPointF(2.5, 0.5), QPointF(10.5, 0.5), QPointF(13.5, 3.5),
                    QPointF(13.5, 15.5), QPointF(2.5, 15.5)});
    p.drawPolygon(page);
    p.setPen(QPen(QColor(120, 140, 200), 1.0 / s));
    for (qreal y = 5.5; y < 14; y += 2)
        p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
    if (globe) {
        p.setPen(QPen(QColor(20, 80, 40), 1.0 / s));
        p.setBrush(QColor(60, 160, 220));
        p.drawEllipse(QPointF(10, 11), 4.5, 4.5);
        p.setBrush(QColor(70, 170, 70));
        p.drawEllipse(QPointF(9, 10), 2, 1.5);
        p.drawEllipse(QPointF(12, 13), 1.5, 1);
    }
    return pm;
}

}  // namespace

QIcon Tree(int index)
{
    static const std::array<QIcon, IMG_TREE_COUNT> images = [] {
        return std::array<QIcon, IMG_TREE_COUNT>{
            QIcon(DrawFolder(false)),
            QIcon(DrawFolder(true)),
            QIcon(DrawDesktop()),
            QIcon(DrawBin(QColor(170, 180, 190), false)),
            QIcon(DrawBin(QColor(170, 180, 190), true)),
            QIcon(DrawBin(QColor(245, 215, 60), false)),
            QIcon(DrawBin(QColor(245, 215, 60), true)),
        };
    }();
    return index >= 0 && index < IMG_TREE_COUNT ? images[static_cast<size_t>(index)] : QIcon();
}

QIcon Row()
{
    static const QIcon icon = [] {
        QIcon i;
        i.addPixmap(DrawPage(16, false));
        i.addPixmap(DrawPage(24, true));
        i.addPixmap(DrawPage(32, true));
        return i;
    }();
    return icon;
}

}  // namespace KivImages

namespace KivPanes {

bool ActivateNextPane(QWidget* from)
{
    QWidget* pane = from;
    while (pane && !qobject_cast<QSplitter*>(pane->parentWidget()))
        pane = pane->parentWidget();
    if (!pane)
        return false;
    auto* splitter = static_cast<QSplitter*>(pane->parentWidget());
    const int count = splitter->count();
    const int here = splitter->indexOf(pane);
    for (int step = 1; step <= count; ++step) {
        QWidget* next = splitter->widget((here + step) % count);
        const QWidget* taker = next && next->focusProxy() ? next->focusProxy() : next;
        if (taker && next->isVisible() && taker->focusPolicy() != Qt::NoFocus) {
            next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

}  // namespace KivPanes

namespace KivViewClipboard {

void Put(const QByteArray& payload, const std::vector<std::string>& urls)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (payload.isEmpty() || !clipboard)
        return;
    clipboard->setMimeData(KivClipboard::MakeMimeData(payload, urls));
}

}  // namespace KivViewClipboard
