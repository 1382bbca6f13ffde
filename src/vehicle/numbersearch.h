#pragma once

#include <QObject>

class QWidget;
struct AppContext;

// The K-type, KBA and MIME number searches of the "Search by" section.
class NumberSearch : public QObject {
    Q_OBJECT
public:
    NumberSearch(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
};
