#pragma once

// The equipment mask database as an editable tree: groups, bands, channel spacings, masks and
// their points are added, edited, copied, pasted and deleted through the tree's context menu;
// the four lookup lists have their own dialogs; a mask is copied into the 7G mask fields of
// the current record of the FS editor the main window names.

#include <QDialog>
#include <QList>
#include <QPair>
#include <QPersistentModelIndex>
#include <functional>
#include <memory>

class MaskStore;
class QAction;
class QItemDelegate;
class QMenu;
class QPushButton;
class QSqlQueryModel;
class QTreeView;
class TreeModel;
class hcmEditMDI;
class myRelationalEditor;

class maskDialog : public QDialog {
    Q_OBJECT

public:
    // the database file is opened by openDatabase()
    explicit maskDialog(const QString& databasePath, QWidget* parent = nullptr);
    ~maskDialog() override;

    // Opens the file and builds the tree; when it cannot be opened (no file, no database, not
    // the mask tables) says so and shows an empty tree. False then.
    bool openDatabase();
    bool isOpen() const;
    QString databasePath() const { return m_path; }

    // the FS editor a mask is copied into: the main window's current "hcmEdit" window, null
    // when the current window is of another kind
    void setEditorProvider(std::function<hcmEditMDI*()> provider) {
        m_editor = std::move(provider);
    }

    TreeModel* model() const { return m_model; }
    QTreeView* tree() const { return m_tree; }
    QMenu* contextMenu() const { return m_menu; }
    QSqlQueryModel* lookupModel() const { return m_lookup; }
    myRelationalEditor* relationalEditor() const { return m_relational; }
    // the context menu's entries in their order (the separator included)
    QList<QAction*> menuActions() const;

public slots:
    void s_maskgroup_add();
    void s_band_add();
    void s_channel_add();
    void s_bitrate_add();
    void s_item_delete();
    void s_manage_points();
    void s_copy();
    void s_paste();
    void s_copy_mask();
    void s_manage_bands();
    void s_manage_channel();
    void s_manage_bitrates();
    void s_manage_classes();
    void s_change_item(const QModelIndex& index);
    void s_item_clicked(const QModelIndex& index);
    void s_showTreeContextMenu(const QPoint& position);
    // the visibility of the context menu's entries for the current item
    void s_menu_show();
    void s_showErrorMessage(const QString& text);
    void s_resize(const QModelIndex& index);

private:
    void buildUi();
    QModelIndex currentRow() const; // column 0 of the current item's row
    // the current mask, or the mask of the current point; invalid for anything else
    QModelIndex currentMask() const;
    // the item of this level at or above the current one (the root for level 0)
    QModelIndex currentAt(int level) const;
    void addChildOf(const QModelIndex& parent);
    // where the copied item may be pasted for the current item: the parent of the copy, or
    // invalid with `allowed` false
    QModelIndex pasteTarget(bool* allowed) const;
    void managePicker(int list);
    void warn(const QString& title, const QString& text);

    QString m_path;
    std::unique_ptr<MaskStore> m_store;
    TreeModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QSqlQueryModel* m_lookup = nullptr;
    myRelationalEditor* m_relational = nullptr;
    QItemDelegate* m_plain = nullptr;
    QPushButton* m_copyButton = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_addGroup = nullptr;
    QAction* m_deleteGroup = nullptr;
    QAction* m_addBand = nullptr;
    QAction* m_deleteBand = nullptr;
    QAction* m_addChannel = nullptr;
    QAction* m_deleteChannel = nullptr;
    QAction* m_addBitrate = nullptr;
    QAction* m_deleteBitrate = nullptr;
    QAction* m_points = nullptr;
    QAction* m_separator = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QPersistentModelIndex m_copied;
    std::function<hcmEditMDI*()> m_editor;
};
