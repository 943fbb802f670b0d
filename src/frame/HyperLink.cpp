#include "HyperLink.h"

#include "integration/UrlOpener.h"
#include "integration/XdgBrowser.h"

#include <QMouseEvent>
#include <QPainter>

#include <string>

CHyperLink::CHyperLink(QWidget* parent) : CHyperLink(QString(), parent) {}

CHyperLink::CHyperLink(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_hCursor(Qt::PointingHandCursor)
{
    setTextFormat(Qt::PlainText);
    // Moves are needed without a button held to show the hand over the text.
    setMouseTracking(true);
}

QFont CHyperLink::LinkFont() const
{
    QFont font = parentWidget() ? parentWidget()->font() : this->font();
    font.setUnderline(true);
    return font;
}

void CHyperLink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client = rect();
    m_strText = text();

    painter.setPen(QColor(0, 0, 255));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFont font = LinkFont();
    painter.setFont(font);

    // Single line, at the top of the control, like the static text it replaces.
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(m_strText);
    m_rcText = QRect(client.left(), client.top(), width, metrics.height());
    if (alignment() & Qt::AlignHCenter) {
        painter.drawText(client, Qt::AlignTop | Qt::AlignHCenter | Qt::TextSingleLine, m_strText);
        // The measured box starts at the left; move it over the centred text. The
        // division truncates toward zero, so a text wider than the control still
        // gets a box over what is visible of it.
        m_rcText.translate((client.right() + 1 - client.left() - width) / 2, 0);
    } else {
        painter.drawText(client, Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine, m_strText);
    }
}

bool CHyperLink::HitTest(const QPoint& clientPoint) const
{
    // Only the horizontal position counts; an empty box (no paint yet, or no text)
    // takes nothing.
    if (m_rcText.isEmpty())
        return false;
    return clientPoint.x() >= m_rcText.left() && clientPoint.x() <= m_rcText.left() + m_rcText.width();
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event)
{
    if (HitTest(event->position().toPoint()))
        setCursor(m_hCursor);
    else
        unsetCursor();
    QLabel::mouseMoveEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event)
{
    unsetCursor();
    QLabel::leaveEvent(event);
}

void CHyperLink::mousePressEvent(QMouseEvent* event)
{
    if (!HitTest(event->position().toPoint())) {
        // Beside the text the click belongs to the window below.
        event->ignore();
        return;
    }
    event->accept();
    if (event->button() == Qt::LeftButton)
        OpenLink();
}

void CHyperLink::OpenLink() const
{
    // The desktop may have changed its browser since start-up, so ask again. No
    // registered browser: the click does nothing.
    std::string command;
    if (GetDefaultBrowserCommand(command))
        LaunchCommandWithUrl(command, text().toStdString());
}
