#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// The one-line search bar: the text to look for, the ">" button that drops the
// field-choice menu, and "Buscar siguiente". Tab cycles edit -> ">" -> find next ->
// edit whatever Shift says; Enter runs find next like the button.
class CSearchBar : public QWidget
{
public:
    enum : unsigned {
        IDD = 128,
        ID_EDIT = 1003,
        ID_FIELDS = 32785,
        ID_FIND_NEXT = 32786,
        ID_BAR = 32784,
        IDR_FIELD_MENU = 137
    };

    explicit CSearchBar(QWidget* parent = nullptr);

    // Where the bar's commands go (the frame's router).
    std::function<void(unsigned)> m_postCommand;
    // Builds the popup of menu resource 137 with its check marks set; the caller owns it.
    std::function<QMenu*(unsigned)> m_menuFactory;

    // The search text, as the dialog data exchange hands it over.
    QString GetSearchText();
    // Focus into the edit with its whole text selected and the caret in view.
    void FocusText();
    // Where the field-choice menu opens: the ">" button's top-right corner.
    QPoint FieldMenuPosition() const;
    void ShowFieldMenu();

    QLineEdit* Edit() const { return m_pEdit; }
    QPushButton* FieldsButton() const { return m_pFields; }
    QPushButton* FindNextButton() const { return m_pFindNext; }
    QMenu* LastMenu() const { return m_pLastMenu; }

    QString m_strSearchText;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Places the controls from the bar's template, scaled to the font.
    void LayOut();
    void Post(unsigned id);
    void CycleFocus();

    QLabel* m_pLabel;
    QLineEdit* m_pEdit;
    QPushButton* m_pFields;
    QPushButton* m_pFindNext;
    QMenu* m_pLastMenu = nullptr;
};
