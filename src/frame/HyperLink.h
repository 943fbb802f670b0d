#pragma once

#include <QCursor>
#include <QLabel>
#include <QRect>
#include <QString>

// A static text drawn as a link: blue, underlined, in the parent's font. Only the
// drawn text takes the mouse (horizontally; the whole height of the control counts);
// beside it the mouse goes through to the window below. A click hands the text to
// the desktop's registered web browser, whatever browser the preferences choose.
class CHyperLink : public QLabel
{
public:
    explicit CHyperLink(QWidget* parent = nullptr);
    CHyperLink(const QString& text, QWidget* parent);

    // True when a point in the control's own coordinates lies over the drawn text,
    // left and right edges included. Before the first paint nothing is drawn yet, so
    // nothing takes the mouse.
    bool HitTest(const QPoint& clientPoint) const;

    // Where the text was drawn at the last paint, in the control's coordinates.
    QRect TextRect() const { return m_rcText; }

    // The font the text is drawn in: the parent's, underlined.
    QFont LinkFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Opens the text with the registered browser command, looked up afresh.
    void OpenLink() const;

    QCursor m_hCursor;
    QString m_strText;
    QRect m_rcText; // empty until the first paint
};
