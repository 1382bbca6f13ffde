#pragma once

#include "catalog/treetext.h"

#include <QList>

class QFont;
class QObject;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

// Replaces the tree's nodes by one node per line, the line's data in column 0 under
// Qt::UserRole, then expands or collapses every node. Lines that cannot form a tree (see
// treeLinesError) leave the tree empty and throw ActionError with the reason. Root nodes get
// `rootFont` when one is given.
void LoadTreeText(QTreeWidget* tree, const QList<TreeLine>& lines, bool fullExpand, const QFont* rootFont = nullptr);

// The data value of a node (0 without a node).
int nodeData(const QTreeWidgetItem* item);

// A "FullExpand"/"FullCollapse" pair: two checkable buttons of which exactly one is down,
// "FullCollapse" at start.
void makeSwitchPair(QToolButton* expand, QToolButton* collapse, QObject* owner);
// Leaves `pressed` down and expands or collapses the tree as the pair now says.
void applySwitch(QToolButton* pressed, QToolButton* expand, QTreeView* tree);
