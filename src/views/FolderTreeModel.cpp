#include "FolderTreeModel.h"

#include "ViewSupport.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <map>

using Item = CFolderTreeModel::Item;

namespace {

// The picture of an item: its normal image, and its selected image while selected.
QIcon Icon(int image, int selectedImage)
{
    if (image == selectedImage)
        return KivImages::Tree(image);
    static std::map<std::pair<int, int>, QIcon> cache;
    QIcon& icon = cache[{image, selectedImage}];
    if (icon.isNull()) {
        const QSize size(16, 16);
        icon.addPixmap(KivImages::Tree(image).pixmap(size), QIcon::Normal);
        icon.addPixmap(KivImages::Tree(selectedImage).pixmap(size), QIcon::Selected);
    }
    return icon;
}

}  // namespace

CFolderTreeModel::CFolderTreeModel(CKivDoc& doc, QObject* parent)
    : QAbstractItemModel(parent), m_doc(doc)
{
}

CFolderTreeModel::~CFolderTreeModel() = default;

// --- QAbstractItemModel ----------------------------------------------------------------

QModelIndex CFolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const auto& list = parent.isValid() ? ItemOf(parent)->children : m_topLevel;
    if (static_cast<size_t>(row) >= list.size())
        return {};
    return createIndex(row, 0, list[static_cast<size_t>(row)].get());
}

QModelIndex CFolderTreeModel::parent(const QModelIndex& child) const
{
    const Item* item = ItemOf(child);
    return item ? IndexOf(item->parent) : QModelIndex();
}

int CFolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const auto& list = parent.isValid() ? ItemOf(parent)->children : m_topLevel;
    return static_cast<int>(list.size());
}

int CFolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CFolderTreeModel::data(const QModelIndex& index, int role) const
{
    const Item* item = ItemOf(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // The built-in labels come from the string table, never from the folders.
        if (item == m_pRootItem)
            return KivStrings::Load(IDS_ROOT);
        if (item == m_pCheckItem)
            return KivStrings::Load(IDS_CHECK);
        if (item == m_pTrashItem)
            return KivStrings::Load(IDS_TRASH);
        return QString::fromStdString(item->folder->m_strName);
    case Qt::DecorationRole:
        return Icon(item->image, item->selectedImage);
    case Qt::BackgroundRole:
        if (item == m_pDropHighlight)
            return QGuiApplication::palette().brush(QPalette::Highlight);
        return {};
    case Qt::ForegroundRole:
        if (item == m_pDropHighlight)
            return QGuiApplication::palette().brush(QPalette::HighlightedText);
        return {};
    case FolderRole:
        return QVariant::fromValue(reinterpret_cast<quintptr>(item->folder));
    case ImageRole:
        return item->image;
    case SelectedImageRole:
        return item->selectedImage;
    case DropHighlightRole:
        return item == m_pDropHighlight;
    default:
        return {};
    }
}

Qt::ItemFlags CFolderTreeModel::flags(const QModelIndex& index) const
{
    const Item* item = ItemOf(index);
    if (!item)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The three built-in items keep their labels.
    if (!IsTopLevel(item))
        f |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return f;
}

// --- items -----------------------------------------------------------------------------

QModelIndex CFolderTreeModel::IndexOf(const Item* item) const
{
    return item ? createIndex(item->row, 0, const_cast<Item*>(item)) : QModelIndex();
}

Item* CFolderTreeModel::ItemOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Item*>(index.internalPointer());
}

CFolderNode* CFolderTreeModel::FolderOf(const QModelIndex& index)
{
    if (!index.isValid())
        return nullptr;
    return reinterpret_cast<CFolderNode*>(index.data(FolderRole).value<quintptr>());
}

std::vector<std::unique_ptr<Item>>& CFolderTreeModel::ChildrenOf(Item* parent)
{
    return parent ? parent->children : m_topLevel;
}

void CFolderTreeModel::Renumber(Item* parent, size_t from)
{
    auto& list = ChildrenOf(parent);
    for (size_t k = from; k < list.size(); ++k)
        list[k]->row = static_cast<int>(k);
}

Item* CFolderTreeModel::MakeItem(Item* parent, int row, CFolderNode* folder)
{
    auto& list = ChildrenOf(parent);
    auto item = std::make_unique<Item>();
    item->folder = folder;
    item->parent = parent;
    Item* raw = item.get();
    list.insert(list.begin() + row, std::move(item));
    Renumber(parent, static_cast<size_t>(row));
    return raw;
}

void CFolderTreeModel::BuildChildren(Item* item, CFolderNode* folder)
{
    int row = 0;
    for (CFolderNode* c = folder->m_pFirstChild; c; c = c->m_pNext) {
        Item* child = MakeItem(item, row++, c);
        if (c->m_pFirstChild)
            BuildChildren(child, c);
    }
}

void CFolderTreeModel::Fill()
{
    beginResetModel();
    m_topLevel.clear();
    m_pDropHighlight = nullptr;
    m_pRootItem = MakeItem(nullptr, 0, &m_doc.m_root);
    m_pRootItem->image = m_pRootItem->selectedImage = KivImages::IMG_DESKTOP;
    m_pCheckItem = MakeItem(nullptr, 1, &m_doc.m_check);
    m_pCheckItem->image = m_pCheckItem->selectedImage = KivImages::IMG_CHECK_EMPTY;
    m_pTrashItem = MakeItem(nullptr, 2, &m_doc.m_trash);
    m_pTrashItem->image = m_pTrashItem->selectedImage = KivImages::IMG_TRASH_EMPTY;
    BuildChildren(m_pRootItem, &m_doc.m_root);
    endResetModel();
}

Item* CFolderTreeModel::InsertItem(Item* parent, int row, CFolderNode* folder)
{
    const int count = static_cast<int>(ChildrenOf(parent).size());
    row = std::clamp(row, 0, count);
    beginInsertRows(IndexOf(parent), row, row);
    Item* item = MakeItem(parent, row, folder);
    // The subtree comes in with the item, inside the same insertion.
    if (folder->m_pFirstChild)
        BuildChildren(item, folder);
    endInsertRows();
    return item;
}

bool CFolderTreeModel::Contains(const Item* ancestor, const Item* item) const
{
    for (; item; item = item->parent)
        if (item == ancestor)
            return true;
    return false;
}

void CFolderTreeModel::RemoveItem(Item* item)
{
    if (!item)
        return;
    Item* parent = item->parent;
    const int row = item->row;
    if (Contains(item, m_pDropHighlight))
        m_pDropHighlight = nullptr;
    beginRemoveRows(IndexOf(parent), row, row);
    auto& list = ChildrenOf(parent);
    list.erase(list.begin() + row);
    Renumber(parent, static_cast<size_t>(row));
    endRemoveRows();
}

void CFolderTreeModel::SyncChildren(Item* item, CFolderNode* folder)
{
    size_t pos = 0; // the item `a` of the walk, by position
    for (CFolderNode* c = folder->m_pFirstChild; c; c = c->m_pNext, ++pos) {
        const auto& list = item->children;
        if (pos >= list.size() || list[pos]->folder != c)
            InsertItem(item, static_cast<int>(pos), c);
    }
    // What is left shows folders that no longer belong here.
    const auto count = item->children.size();
    if (pos < count) {
        if (m_pDropHighlight)
            for (size_t k = pos; k < count; ++k)
                if (Contains(item->children[k].get(), m_pDropHighlight))
                    m_pDropHighlight = nullptr;
        beginRemoveRows(IndexOf(item), static_cast<int>(pos), static_cast<int>(count - 1));
        item->children.resize(pos);
        endRemoveRows();
    }
}

Item* CFolderTreeModel::FindTreeItem(const CFolderNode* folder) const
{
    if (!folder)
        return nullptr;
    if (folder == &m_doc.m_root)
        return m_pRootItem;
    if (folder == &m_doc.m_trash)
        return m_pTrashItem;
    if (folder == &m_doc.m_check)
        return m_pCheckItem;
    std::vector<const CFolderNode*> path;
    const CFolderNode* top = folder;
    for (; top->m_pParent; top = top->m_pParent)
        path.push_back(top);
    if (top != &m_doc.m_root || !m_pRootItem)
        return nullptr;
    Item* current = m_pRootItem;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        Item* next = nullptr;
        for (const auto& child : current->children)
            if (child->folder == *it) {
                next = child.get();
                break;
            }
        if (!next)
            return nullptr;
        current = next;
    }
    return current;
}

void CFolderTreeModel::SetImage(Item* item, int image)
{
    if (!item || (item->image == image && item->selectedImage == image))
        return;
    item->image = item->selectedImage = image;
    const QModelIndex at = IndexOf(item);
    emit dataChanged(at, at, {Qt::DecorationRole, ImageRole, SelectedImageRole});
}

void CFolderTreeModel::SetDropHighlight(Item* item)
{
    if (item == m_pDropHighlight)
        return;
    Item* old = m_pDropHighlight;
    m_pDropHighlight = item;
    const QList<int> roles{Qt::BackgroundRole, Qt::ForegroundRole, DropHighlightRole};
    if (old)
        emit dataChanged(IndexOf(old), IndexOf(old), roles);
    if (item)
        emit dataChanged(IndexOf(item), IndexOf(item), roles);
}
