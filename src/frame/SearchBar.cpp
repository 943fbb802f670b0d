#include "SearchBar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace {
// The bar's template in dialog units: label, edit, ">" and "Buscar siguiente".
struct DialogItem
{
    int x, y, w, h;
};
constexpr DialogItem kLabel{8, 6, 36, 8};
constexpr DialogItem kEdit{49, 4, 113, 12};
constexpr DialogItem kFields{168, 4, 13, 12};
constexpr DialogItem kFindNext{185, 3, 56, 14};
constexpr int kBarWidth = 245;
constexpr int kBarHeight = 20;

// Dialog units scale with the font the way dialog templates do: a horizontal unit
// is a quarter of the average character width, a vertical unit an eighth of the
// line height.
struct DialogUnits
{
    explicit DialogUnits(const QFontMetrics& fm)
        : ux(fm.averageCharWidth() / 4.0)
        , uy(fm.height() / 8.0)
    {}
    int X(int v) const { return qRound(v * ux); }
    int Y(int v) const { return qRound(v * uy); }
    double ux, uy;
};

// The width a push button needs to show its whole text in the current style. The
// style's own size hint is not used: it gives every text button a minimum width
// meant for dialog buttons, far too wide for ">".
int ButtonTextWidth(const QPushButton* button)
{
    const QStyle* style = button->style();
    int margins = 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
                  + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    if (button->isDefault() || button->autoDefault())
        margins += 2 * style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, nullptr, button);
    return button->fontMetrics().horizontalAdvance(button->text()) + margins + 4;
}
} // namespace

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

    LayOut();

    for (QWidget* w : {static_cast<QWidget*>(m_pEdit), static_cast<QWidget*>(m_pFields),
                       static_cast<QWidget*>(m_pFindNext)})
        w->installEventFilter(this);

    connect(m_pFields, &QPushButton::clicked, this, [this] { ShowFieldMenu(); });
    connect(m_pFindNext, &QPushButton::clicked, this, [this] { Post(ID_FIND_NEXT); });
}

void CSearchBar::LayOut()
{
    // The template's positions scaled to the font; a control that needs more room
    // than its template gives it to show its text grows, and the controls after it
    // move right by as much, keeping the template's gaps. All share one centre line.
    const DialogUnits du(fontMetrics());
    struct Placed
    {
        QWidget* widget;
        DialogItem item;
        int width;
        int height;
    };
    Placed placed[] = {
        {m_pLabel, kLabel, std::max(du.X(kLabel.w), m_pLabel->sizeHint().width()),
         m_pLabel->sizeHint().height()},
        {m_pEdit, kEdit, du.X(kEdit.w), std::max(du.Y(kEdit.h), m_pEdit->sizeHint().height())},
        {m_pFields, kFields, std::max(du.X(kFields.w), ButtonTextWidth(m_pFields)),
         std::max(du.Y(kFields.h), m_pFields->sizeHint().height())},
        {m_pFindNext, kFindNext, std::max(du.X(kFindNext.w), ButtonTextWidth(m_pFindNext)),
         std::max(du.Y(kFindNext.h), m_pFindNext->sizeHint().height())},
    };
    int tallest = 0;
    for (const Placed& p : placed)
        tallest = std::max(tallest, p.height);
    const int margin = du.Y(kFindNext.y);
    const int height = std::max(du.Y(kBarHeight), tallest + 2 * margin);
    int right = 0;
    int templateRight = 0;
    for (const Placed& p : placed) {
        const int x = right == 0 ? du.X(p.item.x) : right + du.X(p.item.x - templateRight);
        p.widget->setGeometry(x, (height - p.height) / 2, p.width, p.height);
        right = x + p.width;
        templateRight = p.item.x + p.item.w;
    }
    const int width = std::max(du.X(kBarWidth), right + du.X(kBarWidth - templateRight));
    setFixedSize(width, height);
}

void CSearchBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        LayOut();
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

bool CSearchBar::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab both run the one cycle inside the bar.
    if (isAncestorOf(focusWidget())) {
        CycleFocus();
        return true;
    }
    return QWidget::focusNextPrevChild(next);
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
            // Only a plain Return searches; Alt+Return and the like stay the
            // window's accelerators.
            if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
                break;
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
