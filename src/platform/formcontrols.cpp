#include "platform/formcontrols.h"

QLineEdit* makeEdit(const QString& objectName, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(objectName);
    return edit;
}

void MaskWithStars(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

QCheckBox* makeCheck(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

QRadioButton* makeRadio(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(objectName);
    return radio;
}

QListWidget* makeList(const QString& objectName, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    return list;
}

QPlainTextEdit* makeMemo(const QString& objectName, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(objectName);
    memo->setReadOnly(true);
    return memo;
}
