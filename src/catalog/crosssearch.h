#pragma once

#include "catalog/producttable.h"

#include <QList>
#include <QObject>

class QComboBox;
class QLabel;
class QListWidget;
class QWidget;
struct AppContext;

// The cross-reference search and its match list.
class CrossSearch : public QObject {
    Q_OBJECT
public:
    CrossSearch(AppContext& context, QWidget* parent);
    // The "BYCROSSREFERENCE" page: title and match list.
    QWidget* widget() const { return m_widget; }
    QWidget* searchWidget() const { return m_searchWidget; }
    QList<QWidget*> searchTabChain() const;

    void ComboBox1KeyPress(int key);
    void ListBox3DblClick();
    void ListBox3KeyPress(int key);

signals:
    // "Search results" is to be expanded if "Catalog results" is.
    void searchResultsRequested();
    void catalogPageRequested();
    // A match is being opened: the common start of a listing comes before its request, the
    // products after its answer.
    void listingStarted();
    void productsListed(const ProductRows& records);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QWidget* m_searchWidget = nullptr;
    QComboBox* m_ComboBox1 = nullptr;
    QLabel* m_Label19 = nullptr;
    QListWidget* m_ListBox3 = nullptr;
};
