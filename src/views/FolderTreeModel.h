#pragma once

#include <QAbstractItemModel>

#include <memory>
#include <vector>

class CFolderNode;
class CKivDoc;

// The items of the folder tree. Each item carries only a pointer to the folder it
// shows, as a tree control's item data would; names are read from the folders and
// the built-in labels from the string table. The view decides when items follow
// the folders (SyncChildren), so a fresh folder can sit first until its parent is
// re-synced.
class CFolderTreeModel : public QAbstractItemModel
{
public:
    enum Role {
        FolderRole = Qt::UserRole + 1, // the folder, as quintptr
        ImageRole,                     // image index when not selected
        SelectedImageRole,             // image index when selected
        DropHighlightRole,             // true for the drop-highlighted item
    };

    struct Item
    {
        CFolderNode* folder = nullptr;
        Item* parent = nullptr;
        int row = 0;
        int image = 0;
        int selectedImage = 1;
        std::vector<std::unique_ptr<Item>> children;
    };

    explicit CFolderTreeModel(CKivDoc& doc, QObject* parent = nullptr);
    ~CFolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // --- tree operations -------------------------------------------------------------
    // Builds the three top-level items and everything below the root in one reset.
    void Fill();
    Item* RootItem() const { return m_pRootItem; }
    Item* CheckItem() const { return m_pCheckItem; }
    Item* TrashItem() const { return m_pTrashItem; }

    // Inserts an item for `folder` as child number `row` of `parent`.
    Item* InsertItem(Item* parent, int row, CFolderNode* folder);
    // Removes an item with its subtree.
    void RemoveItem(Item* item);
    // Makes the children of `item` match the folder's child chain, keeping the items
    // that are already right.
    void SyncChildren(Item* item, CFolderNode* folder);
    // The item that shows `folder`; null for folders below the trash or the Check
    // folder, and for folders the tree has not been synced to.
    Item* FindTreeItem(const CFolderNode* folder) const;
    // Sets the images of a built-in item (normal and selected alike).
    void SetImage(Item* item, int image);
    void SetDropHighlight(Item* item);
    Item* DropHighlight() const { return m_pDropHighlight; }

    QModelIndex IndexOf(const Item* item) const;
    Item* ItemOf(const QModelIndex& index) const;
    static CFolderNode* FolderOf(const QModelIndex& index);
    bool IsTopLevel(const Item* item) const { return item && !item->parent; }

private:
    Item* MakeItem(Item* parent, int row, CFolderNode* folder);
    void BuildChildren(Item* item, CFolderNode* folder);
    void Renumber(Item* parent, size_t from);
    std::vector<std::unique_ptr<Item>>& ChildrenOf(Item* parent);
    bool Contains(const Item* ancestor, const Item* item) const;

    CKivDoc& m_doc;
    std::vector<std::unique_ptr<Item>> m_topLevel;
    Item* m_pRootItem = nullptr;
    Item* m_pCheckItem = nullptr;
    Item* m_pTrashItem = nullptr;
    Item* m_pDropHighlight = nullptr;
};
