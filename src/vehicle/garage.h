#pragma once

#include <QObject>

class QLabel;
class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;

// "My garage": the saved vehicles.
class Garage : public QObject {
    Q_OBJECT
public:
    // The header (Label18) and the add button (SpeedButton2) sit in the frame of the left column.
    Garage(AppContext& context, QLabel* header, QToolButton* addButton, QWidget* parent);
    QWidget* widget() const { return m_widget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QLabel* m_Label18;
    QToolButton* m_SpeedButton2;
    QWidget* m_widget = nullptr;
    QListWidget* m_ListBox4 = nullptr;
    QToolButton* m_SpeedButton39 = nullptr;
    QToolButton* m_SpeedButton40 = nullptr;
};
