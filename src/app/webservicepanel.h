#pragma once

#include "service/serviceclient.h"

#include <QObject>

class QComboBox;
class QLineEdit;
class QToolButton;
class QWidget;
class ClickableLabel;
struct AppContext;

// "Connect to WebService": the catalog account the requests carry, and its information links.
class WebServicePanel : public QObject, public AccountSource {
    Q_OBJECT
public:
    static const QStringList kLanguages;

    WebServicePanel(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    QList<QWidget*> tabChain() const;

    QString email() const override;
    QString seccode() const override;
    // The shown language code; empty while no language is selected.
    QString lang() const override;
    void setAccount(const QString& email, const QString& seccode) override;
    // What the request log masks: the security code in the forms it may take.
    QStringList secrets() const;

    // The information links; their addresses do not follow the switch to the demo server.
    void Label35Click();
    void Label36Click();
    void Label37Click();
    // "Create test account".
    void SpeedButton59Click();

    // Account status of the catalog service, and its purchase page.
    void SpeedButton7Click();
    void SpeedButton8Click();

private:
    void buildUi(QWidget* parent);
    void openLink(const QString& address);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QLineEdit* m_Edit3 = nullptr;
    QLineEdit* m_Edit4 = nullptr;
    QComboBox* m_ComboBox11 = nullptr;
    QToolButton* m_SpeedButton59 = nullptr;
    QToolButton* m_SpeedButton7 = nullptr;
    QToolButton* m_SpeedButton8 = nullptr;
};
