#include "SearchBar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {
// Dialog units of the bar's template scaled by the widget font, the way dialog
// templates scale: a horizontal unit is a quarter of the average character width,
// a vertical unit an eighth of the line height.
QRect DialogRect(const QFontMetrics& fm, int x, int y, int w, int h)
{
    const double ux = fm.averageCharWidth() / 4.0;
    const double uy = fm.height() / 8.0;
    return QRect(qRound(x * ux), qRound(y * uy), qRound(w * ux), qRound(h * uy));
}
}  // namespace

CSearchBar::CSearchBar(QWidget* parent)
    : QWidget(parent)
    , m_pLabel(new QLabel(QStringLiteral("Buscar"), this))
    , m_pEdit(new QLineEdit(this))
    , m_pFields(new QPushButton(QStringLiteral(">"), this))
    , m_pFindNext(new QPushButton(QStringLiteral("Buscar siguiente"), this))
{
    setObjectName(QStringLiteral("dialogbar%1").arg(ID_BAR));
    m_pEdit->setObjectName(QStringLiteral("edit%1").arg(ID_EDIT));
    m_pFields->setObjectName(QStringLiteral("button%1").arg(ID_FIELDS));
    m_pFindNext->setObjectName(QStringLiteral("button%1").arg(ID_FIND_NEXT));
    m_pFindNext->setDefault(true);
    m_pFields->setAutoDefault(false);

    const QFontMetrics fm(font());
    m_pLabel->setGeometry(DialogRect(fm, 8, 6, 36, 8).adjusted(0, -2, 0, 2));
    m_pEdit->setGeometry(DialogRect(fm, 49, 4, 113, 12).adjusted(0, -2, 0, 2));
    m_pFields->setGeometry(DialogRect(fm, 168, 4, 13, 12).adjusted(0, -2, 0, 2));
    m_pFindNext->setGeometry(DialogRect(fm, 185, 3, 56, 14).adjusted(0, -2, 0, 2));
    const QRect whole = DialogRect(fm, 0, 0, 245, 20);
    setFixedHeight(std::max(whole.height(), m_pFindNext->geometry().bottom() + 4));
    setMinimumWidth(whole.width());

    for (QWidget* w : {static_cast<QWidget*>(m_pEdit), static_cast<QWidget*>(m_pFields),
                       static_cast<QWidget*>(m_pFindNext)})
        w->installEventFilter(this);

    connect(m_pFields, &QPushButton::clicked, this, [this] { ShowFieldMenu(); });
    connect(m_pFindNext, &QPushButton::clicked, this, [this] { Post(ID_FIND_NEXT); });
}

void CSearchBar::Post(unsigned id)
{
    if (m_postCommand)
        m_postCommand(id);
}

QString CSearchBar::GetSearchText()
{
    m_strSearchText = m_pEdit->text();
    return m_strSearchText;
}

void CSearchBar::FocusText()
{
    m_pEdit->setFocus(Qt::ShortcutFocusReason);
    m_pEdit->selectAll();
}

QPoint CSearchBar::FieldMenuPosition() const
{
    return m_pFields->mapToGlobal(QPoint(m_pFields->width(), 0));
}

void CSearchBar::ShowFieldMenu()
{
    if (!m_menuFactory)
        return;
    delete m_pLastMenu;
    m_pLastMenu = m_menuFactory(IDR_FIELD_MENU);
    if (!m_pLastMenu)
        return;
    m_pLastMenu->popup(FieldMenuPosition());
}

void CSearchBar::CycleFocus()
{
    QWidget* focus = focusWidget();
    if (focus == m_pFindNext)
        m_pEdit->setFocus(Qt::TabFocusReason);
    else if (focus == m_pFields)
        m_pFindNext->setFocus(Qt::TabFocusReason);
    else
        m_pFields->setFocus(Qt::TabFocusReason);
}

bool CSearchBar::focusNextPrevChild(bool)
{
    // Tab and Shift+Tab both run the one cycle.
    if (isAncestorOf(focusWidget())) {
        CycleFocus();
        return true;
    }
    return QWidget::focusNextPrevChild(true);
}

bool CSearchBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (event->type() == QEvent::KeyPress)
                CycleFocus();
            event->accept();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->type() == QEvent::KeyPress)
                Post(ID_FIND_NEXT);
            event->accept();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
