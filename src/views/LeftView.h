#pragma once

#include "FolderTreeModel.h"
#include "framework/CmdTarget.h"
#include "framework/Document.h"

#include <QPersistentModelIndex>
#include <QTreeView>

class CFolderNode;
class CKivDoc;

// The folder tree, left pane of the main window: "Escritorio" with its folders, then
// "Comprobar" and "Papelera". The selected folder is the document's current folder.
class CLeftView : public QTreeView, public CView, public CCmdTarget
{
    Q_OBJECT

public:
    using Item = CFolderTreeModel::Item;

    CLeftView(CKivDoc& doc, QWidget* parent = nullptr);
    ~CLeftView() override;

    using QTreeView::edit;

    // CView
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, int hint, void* object) override;
    intptr_t OnRelay(unsigned message, const QPoint& screenPoint) override;

    // Commands.
    void OnNewFolder();   // 32777
    void OnDeleteFolder(); // 32778 and the Delete key
    void OnEditLabel();   // 32782
    void OnEditCopy();    // 57634: the selected folder with everything below it

    CFolderTreeModel& TreeModel() { return m_model; }
    Item* SelectedItem() const;
    CFolderNode* SelectedFolder() const;
    // The folder of the item under a screen point, or null.
    CFolderNode* FolderAt(const QPoint& screenPoint) const;
    // Selects the item of a folder, making it current; false when it has none.
    bool SelectFolder(const CFolderNode* folder);

signals:
    // The tree asks for context menu `menuId` (131) at a screen position; the frame
    // shows it so that the chosen command is routed like a main-menu command.
    void ContextMenuRequested(unsigned menuId, const QPoint& globalPos);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Fill();
    void RefreshImages();
    void Rename(Item* item, const std::string& text);
    void SelectItem(Item* item);
    void ShowContextMenu();

    CKivDoc& m_doc;
    CFolderTreeModel m_model;
    bool m_bFilling = false;
    QPersistentModelIndex m_editIndex;   // the item whose label is being edited
    bool m_bRenamePending = false;
    QString m_strEditedText;
};
