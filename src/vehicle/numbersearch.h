#pragma once

#include "service/records.h"

#include <QObject>

class QComboBox;
class QWidget;
class TForm2;
struct AppContext;

// The K-type, KBA and MIME number searches of the "Search by" section.
class NumberSearch : public QObject {
    Q_OBJECT
public:
    NumberSearch(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // The "Select car" dialog for numbers with several hits.
    // A line chosen there is searched by its K-type number as if typed into the K-type box.
    void setSelectCarDialog(TForm2* dialog);

    // Key handlers of the three boxes; they act on Enter only.
    void ComboBox4KeyPress(int key);
    void ComboBox3KeyPress(int key);
    void ComboBox2KeyPress(int key);

signals:
    // A number found this vehicle; it is to be put into the cascade.
    void vehicleChosen(const TCarInfoRec& car);

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
    TForm2* m_Form2 = nullptr;
    QWidget* m_widget = nullptr;
    QComboBox* m_ComboBox4 = nullptr;
    QComboBox* m_ComboBox3 = nullptr;
    QComboBox* m_ComboBox2 = nullptr;
};
