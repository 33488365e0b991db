#pragma once

// One item of the mask tree: its level, the ROWID of its row, its column texts as last read
// from the database, its parent and its children in the order shown.

#include "maskstore.h"

#include <QStringList>
#include <memory>
#include <vector>

struct TreeItem {
    MaskLevel level = MaskLevel::Root;
    qint64 id = 0;
    QStringList texts;
    TreeItem* parent = nullptr;
    int row = 0; // among the parent's children
    std::vector<std::unique_ptr<TreeItem>> children;

    TreeItem* append(std::unique_ptr<TreeItem> child) {
        child->parent = this;
        child->row = int(children.size());
        children.push_back(std::move(child));
        return children.back().get();
    }
    void renumberFrom(int first) {
        for (int i = first; i < int(children.size()); ++i)
            children[size_t(i)]->row = i;
    }
};
