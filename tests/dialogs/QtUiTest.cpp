// The program's own CUi with Qt's widget file dialog on the offscreen screen: the
// names a person types, the question before a file is replaced, the files each
// picker lists. Each modal window is answered from inside its own loop.
#include "framework/QtUi.h"
#include "res/Strings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace {

// Meets the modal windows in the order they open. Each step sees its window as it is
// shown, before its loop runs, and answers later from inside that loop (Later, or
// once the file dialog has read its folder).
class CModalSteps : public QObject
{
public:
    explicit CModalSteps(std::deque<std::function<void(QWidget*)>> steps)
        : m_steps(std::move(steps))
    {
        qApp->installEventFilter(this);
    }
    ~CModalSteps() override { qApp->removeEventFilter(this); }
    bool Done() const { return m_steps.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && window && window->isWindow() && window->isModal()
            && !m_steps.empty()) {
            auto step = std::move(m_steps.front());
            m_steps.pop_front();
            step(window);
        }
        return false;
    }

private:
    std::deque<std::function<void(QWidget*)>> m_steps;
};

// The dialog's OK, with the dialog's own checks, as the button runs it.
void Accept(QDialog* dialog) { dialog->accept(); }

// Runs once the window's own loop runs.
void Later(QWidget* window, std::function<void()> action)
{
    QTimer::singleShot(0, window, std::move(action));
}

// The names the dialog lists in its folder once it has read it: the filter at work.
// Other folders (the one it starts from) may be read first.
void WhenListed(QFileDialog* dialog, const QString& dir, std::function<void(QStringList)> then)
{
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(
        model, &QFileSystemModel::directoryLoaded, dialog,
        [model, dir, then, connection](const QString& path) {
            if (QDir(path) != QDir(dir))
                return;
            QObject::disconnect(*connection);
            const QModelIndex parent = model->index(dir);
            QStringList names;
            for (int r = 0; r < model->rowCount(parent); ++r)
                names << model->index(r, 0, parent).data().toString();
            names.sort();
            then(names);
        });
}

void Touch(const QString& path, const QByteArray& bytes = "old")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class QtUiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        KivStrings::SetLanguage(KivStrings::Lang1033);
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"old.html", "bookmarks.htm", "hotlist.adr", "notes.txt"})
            Touch(m_dir.filePath(QString::fromLatin1(name)));
        QDir(m_dir.path()).mkdir(QStringLiteral("sub"));
    }

    QTemporaryDir m_dir;
    CQtUi m_ui;
};

}  // namespace

// The extension is added to a name typed without it; the question about replacing
// must name the file that would really be replaced. No keeps the dialog open with
// the name, Yes takes it.
TEST_F(QtUiTest, SaveAsksBeforeReplacingTheFileWithTheNameItWillHave)
{
    QStringList questions;
    QStringList listed;
    QStringList filters;
    const auto answer = [&questions](QMessageBox::StandardButton button) {
        return [&questions, button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            questions << box->text();
            Later(box, [box, button] { box->button(button)->click(); });
        };
    };
    CModalSteps steps({
        [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            WhenListed(dialog, m_dir.path(), [&, dialog](const QStringList& names) {
                listed = names;
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                    ->setText(QStringLiteral("old"));
                Accept(dialog);
            });
        },
        answer(QMessageBox::No),
        [](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            Later(dialog, [dialog] { Accept(dialog); });
        },
        answer(QMessageBox::Yes),
    });
    const QString path = m_ui.GetSaveFileName(
        QStringLiteral("Html Files (*.html;*.htm)|*.html; *.htm||"), QStringLiteral("html"),
        m_dir.path());
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(path, m_dir.filePath(QStringLiteral("old.html")));
    const QString question = QStringLiteral("old.html already exists.\nDo you want to replace it?");
    EXPECT_EQ(questions, (QStringList{question, question}));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Html Files (*.html *.htm)"),
                                    QStringLiteral("Todos los archivos (*)")}));
    EXPECT_EQ(listed, (QStringList{QStringLiteral("bookmarks.htm"), QStringLiteral("old.html"),
                                   QStringLiteral("sub")}));

    // A new name is taken without a question.
    CModalSteps fresh({[](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        Later(dialog, [dialog] {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("new"));
            Accept(dialog);
        });
    }});
    EXPECT_EQ(m_ui.GetSaveFileName(QStringLiteral("Hotlist (*.adr)|*.adr||"), QStringLiteral("adr"),
                                   m_dir.path()),
              m_dir.filePath(QStringLiteral("new.adr")));
    EXPECT_TRUE(fresh.Done());
}

// The import picker of a Netscape file lists the .html files browsers write, next
// to .htm; every picker offers all files as well.
TEST_F(QtUiTest, OpenPickersListTheFilesTheirFormatUses)
{
    const struct
    {
        const char* filter;
        QStringList listed;
    } cases[] = {
        {"Bookmark Files (*.htm)|*.htm||", {"bookmarks.htm", "old.html", "sub"}},
        {"Opera Files (*.adr)|*.adr||", {"hotlist.adr", "sub"}},
        {"Kiv Files (*.kiv)|*.kiv||", {"sub"}},
    };
    for (const auto& c : cases) {
        QStringList listed;
        QString last;
        CModalSteps steps({[&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            last = dialog->nameFilters().last();
            WhenListed(dialog, m_dir.path(), [&, dialog](const QStringList& names) {
                listed = names;
                dialog->reject();
            });
        }});
        EXPECT_EQ(m_ui.GetOpenFileName(QString::fromLatin1(c.filter), QString(), m_dir.path()),
                  QString());
        EXPECT_TRUE(steps.Done());
        EXPECT_EQ(listed, c.listed) << c.filter;
        EXPECT_EQ(last, QStringLiteral("Todos los archivos (*)")) << c.filter;
    }
}
