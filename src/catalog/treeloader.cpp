#include "catalog/treeloader.h"

#include "service/errors.h"

#include <QButtonGroup>
#include <QToolButton>
#include <QTreeWidget>

void LoadTreeText(QTreeWidget* tree, const QList<TreeLine>& lines, bool fullExpand, const QFont* rootFont) {
    tree->clear();
    const QString error = treeLinesError(lines);
    if (!error.isEmpty())
        throw ActionError(error);

    // Nodes are made parentless and handed to the tree in one step: far cheaper than inserting
    // each one into a live tree.
    QList<QTreeWidgetItem*> roots;
    QList<QTreeWidgetItem*> path; // path[d]: the last node made at depth d
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TreeLine& line = lines.at(i);
        const int depth = i == 0 ? 0 : std::max(line.depth, 0);
        auto* item = new QTreeWidgetItem(QStringList{captionText(line.caption)});
        item->setData(0, Qt::UserRole, line.data);
        path.resize(depth);
        if (depth == 0) {
            // Set before the node joins the tree: a font set afterwards makes the view measure
            // the node again, which dominates the fill of a long list.
            if (rootFont)
                item->setFont(0, *rootFont);
            roots.append(item);
        } else
            path.at(depth - 1)->addChild(item);
        path.append(item);
    }
    tree->addTopLevelItems(roots);
    if (fullExpand)
        tree->expandAll();
    else
        tree->collapseAll();
}

int nodeData(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

void makeSwitchPair(QToolButton* expand, QToolButton* collapse, QObject* owner) {
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (QToolButton* b : {expand, collapse}) {
        b->setCheckable(true);
        group->addButton(b);
    }
    collapse->setChecked(true);
}

void applySwitch(QToolButton* pressed, QToolButton* expand, QTreeView* tree) {
    pressed->setChecked(true);
    if (expand->isChecked())
        tree->expandAll();
    else
        tree->collapseAll();
}
