#include "catalog/treeloader.h"
#include "service/errors.h"
#include "support/windowfixture.h"

#include <QTest>
#include <QTreeWidget>

namespace {

// The tree as "caption=data" lines, one ">" per level.
QStringList dump(const QTreeWidget& tree) {
    QStringList out;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int level) {
        out << QString(level, u'>') + item->text(0) + '=' + QString::number(nodeData(item));
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), level + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        walk(tree.topLevelItem(i), 0);
    return out;
}

} // namespace

class TestTreeLoader : public QObject {
    Q_OBJECT
private slots:
    void nodesFollowTheirDepth();
    void firstLineIsARootWhateverItsDepth();
    void captionsCannotMoveNodes();
    void tooDeepLineLeavesTreeEmptyAndThrows();
    void expandSwitchAppliesOnEveryLoad();
    void rootFontGoesToRootsOnly();
};

void TestTreeLoader::nodesFollowTheirDepth() {
    QTreeWidget tree;
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"old"}));
    LoadTreeText(
        &tree, {{0, "a", 1}, {1, "b", 2}, {2, "c", 3}, {1, "d", 4}, {0, "e", 5}, {1, "f", 6}, {2, "g", 7}, {0, "h", 8}},
        false);
    QCOMPARE(dump(tree), (QStringList{"a=1", ">b=2", ">>c=3", ">d=4", "e=5", ">f=6", ">>g=7", "h=8"}));
}

void TestTreeLoader::firstLineIsARootWhateverItsDepth() {
    // Trade groups whose first assembly is empty start with a group line.
    QTreeWidget tree;
    LoadTreeText(&tree, {{1, "g1", 1}, {1, "g2", 2}, {0, "B", 0}, {1, "g3", 3}}, false);
    QCOMPARE(dump(tree), (QStringList{"g1=1", ">g2=2", "B=0", ">g3=3"}));
}

void TestTreeLoader::captionsCannotMoveNodes() {
    QTreeWidget tree;
    LoadTreeText(&tree, {{0, "Engine", 1}, {1, "  Belt\tdrive", 2}, {1, "Line\r\nbreak", 3}, {0, "\tRoot", 4}}, false);
    QCOMPARE(dump(tree), (QStringList{"Engine=1", ">  Belt drive=2", ">Line break=3", " Root=4"}));
}

void TestTreeLoader::tooDeepLineLeavesTreeEmptyAndThrows() {
    QTreeWidget tree;
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"old"}));
    QString message;
    try {
        LoadTreeText(&tree, {{0, "a", 1}, {2, "Too deep", 2}}, true);
    } catch (const ActionError& e) {
        message = e.message();
    }
    QVERIFY(message.contains("\"Too deep\""));
    QVERIFY(message.contains('2'));
    QCOMPARE(tree.topLevelItemCount(), 0);
}

void TestTreeLoader::expandSwitchAppliesOnEveryLoad() {
    QTreeWidget tree;
    const QList<TreeLine> lines{{0, "a", 1}, {1, "b", 2}, {2, "c", 3}, {0, "d", 4}, {1, "e", 5}};
    LoadTreeText(&tree, lines, true);
    QVERIFY(allExpanded(&tree, true));
    LoadTreeText(&tree, lines, false);
    QVERIFY(allExpanded(&tree, false));
}

void TestTreeLoader::rootFontGoesToRootsOnly() {
    QTreeWidget tree;
    QFont bold = tree.font();
    bold.setBold(true);
    LoadTreeText(&tree, {{0, "a", 1}, {1, "b", 0}, {0, "c", 2}}, false, &bold);
    QVERIFY(tree.topLevelItem(0)->font(0).bold());
    QVERIFY(tree.topLevelItem(1)->font(0).bold());
    QVERIFY(!tree.topLevelItem(0)->child(0)->font(0).bold());
}

QTEST_MAIN(TestTreeLoader)
#include "tst_treeloader.moc"
