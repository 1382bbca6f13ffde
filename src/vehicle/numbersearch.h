#pragma once

#include "service/records.h"

#include <QObject>
#include <QStringList>

class QComboBox;
class QWidget;
struct AppContext;

// The K-type, KBA and MIME number searches of the "Search by" section.
class NumberSearch : public QObject {
    Q_OBJECT
public:
    NumberSearch(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    QList<QWidget*> tabChain() const;
    // A K-type number chosen elsewhere (a line of "Select car"), searched as if typed into the K-type box.
    void searchChosenKType(const QString& ktype);

    // Key handlers of the three boxes; they act on Enter only.
    void ComboBox4KeyPress(int key);
    void ComboBox3KeyPress(int key);
    void ComboBox2KeyPress(int key);

signals:
    // A number found this vehicle; it is to be put into the cascade.
    void vehicleChosen(const TCarInfoRec& car);
    // A KBA or MIME number fits several vehicles: their candidate lines, for the user to choose from.
    void severalVehiclesFound(const QStringList& lines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct NumberKind {
        QString function; // "getSearchKBA"
        QString key;      // "kba"
        QString notFound; // message when no type id comes back
    };

    void buildUi(QWidget* parent);
    void searchKType(QComboBox* box);
    void searchTypids(QComboBox* box, const NumberKind& kind);
    // Tells that the number found nothing, or that the service did not answer.
    void notFound(const QString& message);
    static void remember(QComboBox* box, const QString& number);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QComboBox* m_ComboBox4 = nullptr;
    QComboBox* m_ComboBox3 = nullptr;
    QComboBox* m_ComboBox2 = nullptr;
};
